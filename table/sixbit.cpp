#include "sixbit.h"

#include <cstdint>

namespace {

constexpr unsigned GroupBits = 6;
constexpr unsigned GroupMask = 0x3F;
constexpr unsigned Offset = 32;

}  // namespace

std::string EncodeSixBit(std::string_view bytes)
{
    std::string out(SixBitSize(bytes.size()), '\0');
    out.resize(static_cast<std::size_t>(WriteSixBit(out.data(), bytes) - out.data()));
    return out;
}

char* WriteSixBit(char* out, std::string_view bytes)
{
    // Three bytes make four whole groups, taken at once.
    const std::size_t whole = bytes.size() - bytes.size() % 3;
    for (std::size_t i = 0; i < whole; i += 3) {
        const std::uint32_t bits =
            static_cast<unsigned char>(bytes[i]) |
            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 2])) << 16;
        for (unsigned g = 0; g < 4; ++g)
            *out++ = static_cast<char>(Offset + ((bits >> (GroupBits * g)) & GroupMask));
    }
    bytes.remove_prefix(whole);
    std::uint32_t pending = 0;
    unsigned pendingBits = 0;
    for (const char c : bytes) {
        pending |= static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << pendingBits;
        pendingBits += 8;
        while (pendingBits >= GroupBits) {
            *out++ = static_cast<char>(Offset + (pending & GroupMask));
            pending >>= GroupBits;
            pendingBits -= GroupBits;
        }
    }
    if (pendingBits > 0)
        *out++ = static_cast<char>(Offset + (pending & GroupMask));
    return out;
}

std::string DecodeSixBit(std::string_view chars)
{
    std::string out(GroupBits * chars.size() / 8, '\0');
    char* to = out.data();
    // Four characters make three whole bytes, taken at once.
    const std::size_t whole = chars.size() - chars.size() % 4;
    for (std::size_t i = 0; i < whole; i += 4) {
        std::uint32_t bits = 0;
        for (unsigned g = 0; g < 4; ++g)
            bits |= ((static_cast<unsigned char>(chars[i + g]) - Offset) & GroupMask)
                    << (GroupBits * g);
        *to++ = static_cast<char>(bits & 0xFF);
        *to++ = static_cast<char>((bits >> 8) & 0xFF);
        *to++ = static_cast<char>((bits >> 16) & 0xFF);
    }
    chars.remove_prefix(whole);
    std::uint32_t pending = 0;
    unsigned pendingBits = 0;
    for (const char c : chars) {
        const std::uint32_t group = (static_cast<unsigned char>(c) - Offset) & GroupMask;
        pending |= group << pendingBits;
        pendingBits += GroupBits;
        if (pendingBits >= 8) {
            *to++ = static_cast<char>(pending & 0xFF);
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    return out;
}
