#include "text_escape.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "cp1250.h"
#include "utf8.h"

namespace {

char* WriteCodePointEscape(char* out, char32_t cp)
{
    static constexpr char HexDigits[] = "0123456789ABCDEF";
    char digits[8];
    int count = 0;
    do {
        digits[count++] = HexDigits[cp & 0xF];
        cp >>= 4;
    } while (cp != 0);
    *out++ = '%';
    *out++ = 'u';
    while (count > 0)
        *out++ = digits[--count];
    *out++ = ';';
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads "<1 to 6 hex digits>;" at bytes[pos]. On success returns the code
// point and moves pos past the ';'.
std::optional<char32_t> ReadCodePointEscape(std::string_view bytes, std::size_t& pos)
{
    constexpr std::size_t MaxDigits = 6;
    std::size_t end = pos;
    char32_t cp = 0;
    while (end < bytes.size() && end - pos < MaxDigits && HexValue(bytes[end]) >= 0)
        cp = (cp << 4) | static_cast<char32_t>(HexValue(bytes[end++]));
    if (end == pos || end >= bytes.size() || bytes[end] != ';')
        return std::nullopt;
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    pos = end + 1;
    return cp;
}

constexpr std::uint64_t Ones = 0x0101010101010101u;
constexpr std::uint64_t Highs = 0x8080808080808080u;

// A mark in the top bit of each byte of the word (read in memory order) that
// is '%'. Only the lowest mark is sure: a '%' may add false ones above itself.
std::uint64_t PercentMarks(std::uint64_t word)
{
    static_assert(std::endian::native == std::endian::little, "the lowest byte comes first");
    const std::uint64_t percent = word ^ (Ones * static_cast<unsigned char>('%'));
    return (percent - Ones) & ~percent & Highs;
}

// The bytes EscapeText copies as they are.
constexpr std::array<bool, 256> PlainAscii = [] {
    std::array<bool, 256> plain{};
    for (std::size_t c = 1; c < 0x80; ++c)
        plain[c] = c != '\n' && c != '\r' && c != '%';
    return plain;
}();

bool IsPlainAscii(unsigned char c)
{
    return PlainAscii[c];
}

}  // namespace

std::string EscapeText(std::string_view utf8)
{
    std::string out;
    AppendEscapedText(out, utf8);
    return out;
}

void AppendEscapedText(std::string& out, std::string_view utf8)
{
    const std::size_t start = out.size();
    out.resize(start + MaxEscapedSize(utf8.size()));
    char* const end = WriteEscapedText(out.data() + start, utf8);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

char* WriteEscapedText(char* out, std::string_view utf8)
{
    const char* const begin = utf8.data();
    const char* const end = begin + utf8.size();
    const char* p = begin;
    while (p != end) {
        while (p != end && IsPlainAscii(static_cast<unsigned char>(*p)))
            *out++ = *p++;
        if (p == end)
            break;
        switch (*p) {
        case '\0':
            *out++ = '%';
            *out++ = '0';
            ++p;
            continue;
        case '\n':
            *out++ = '%';
            *out++ = 'n';
            ++p;
            continue;
        case '\r':
            *out++ = '%';
            *out++ = 'c';
            ++p;
            continue;
        case '%':
            *out++ = '%';
            *out++ = '%';
            ++p;
            continue;
        default:
            break;
        }
        // Two-byte sequences, where the letters of the code page are, are
        // decoded here; the rest by NextCodePoint.
        const auto lead = static_cast<unsigned char>(*p);
        if (lead >= 0xC2 && lead <= 0xDF && end - p >= 2 &&
            (static_cast<unsigned char>(p[1]) & 0xC0) == 0x80) {
            const char32_t cp = (static_cast<char32_t>(lead & 0x1F) << 6) |
                                (static_cast<unsigned char>(p[1]) & 0x3F);
            p += 2;
            const unsigned char near =
                cp - 0x80 < Cp1250BytesFromU0080.size() ? Cp1250BytesFromU0080[cp - 0x80] : 0;
            if (near != 0)
                *out++ = static_cast<char>(near);
            else if (const std::optional<unsigned char> byte = Cp1250ByteFor(cp))
                *out++ = static_cast<char>(*byte);
            else
                out = WriteCodePointEscape(out, cp);
            continue;
        }
        std::size_t pos = static_cast<std::size_t>(p - begin);
        char32_t cp;
        bool valid = false;
        NextCodePoint(utf8, pos, cp, &valid);
        p = begin + pos;
        if (!valid)
            *out++ = '?';
        else if (const std::optional<unsigned char> byte = Cp1250ByteFor(cp))
            *out++ = static_cast<char>(*byte);
        else
            out = WriteCodePointEscape(out, cp);
    }
    return out;
}

std::string UnescapeText(std::string_view bytes)
{
    std::string out(MaxUnescapedSize(bytes.size()), '\0');
    out.resize(UnescapeTextInto(out.data(), bytes));
    out.shrink_to_fit();
    return out;
}

std::size_t UnescapeTextInto(char* out, std::string_view bytes)
{
    // A byte gives at most three UTF-8 bytes and a "%u" escape fewer than it
    // takes, so the text never outgrows MaxUnescapedSize.
    char* to = out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Plain ASCII is copied eight bytes at a time up to the next byte that
        // needs decoding. The copy may write past that byte, which the byte's
        // own output then overwrites; the room is there because the output
        // never runs ahead of three bytes per byte read.
        while (bytes.size() - pos >= sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + pos, sizeof word);
            std::memcpy(to, &word, sizeof word);
            const std::uint64_t percent = PercentMarks(word);
            const std::uint64_t special = (word & Highs) | percent;
            if (special == 0) {
                pos += sizeof word;
                to += sizeof word;
                continue;
            }
            // Letters of the code page among plain bytes: each byte by the
            // table, without a branch on which it is.
            if (percent == 0) {
                for (std::size_t i = 0; i < sizeof word; ++i)
                    to = WriteCp1250ByteAsUtf8(to, static_cast<unsigned char>(bytes[pos + i]));
                pos += sizeof word;
                continue;
            }
            const auto plain = static_cast<std::size_t>(std::countr_zero(special) / 8);
            pos += plain;
            to += plain;
            break;
        }
        if (pos == bytes.size())
            break;
        const auto c = static_cast<unsigned char>(bytes[pos++]);
        if (c < 0x80 && c != '%') {
            *to++ = static_cast<char>(c);
            continue;
        }
        if (c != '%') {
            to = WriteCp1250ByteAsUtf8(to, c);
            continue;
        }
        if (pos == bytes.size())
            break;
        const char code = bytes[pos++];
        switch (code) {
        case '0':
            *to++ = '\0';
            break;
        case 'n':
            *to++ = '\n';
            break;
        case 'c':
            *to++ = '\r';
            break;
        case 'u':
            if (const std::optional<char32_t> cp = ReadCodePointEscape(bytes, pos))
                to = WriteUtf8(to, *cp);
            else
                *to++ = 'u';
            break;
        default:
            to = WriteCp1250ByteAsUtf8(to, static_cast<unsigned char>(code));
            break;
        }
    }
    return static_cast<std::size_t>(to - out);
}
