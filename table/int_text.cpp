#include "int_text.h"

#include <charconv>
#include <iterator>
#include <type_traits>

#include "byte_load.h"

namespace {

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (IsDecimalDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Length of the hexadecimal prefix at the start of text, 0 when there is none.
std::size_t HexPrefixLength(std::string_view text)
{
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        return 1;
    if (text.starts_with("0x") || text.starts_with("0X"))
        return 2;
    return 0;
}

// The magnitude as an unsigned value no larger than limit, or nullopt when
// digits is empty, holds a non-digit or exceeds limit.
std::optional<std::uint64_t> ReadMagnitude(std::string_view digits, unsigned base,
                                           std::uint64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = base == 16 ? HexDigitValue(c) : (IsDecimalDigit(c) ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// The first Size bytes at p (Size 1, 2 or 4) as an unsigned number, p[0] in
// the lowest byte.
template <std::size_t Size>
std::uint32_t LoadSmall(const char* p)
{
    using Word = std::conditional_t<Size == 1, std::uint8_t,
                                    std::conditional_t<Size == 2, std::uint16_t, std::uint32_t>>;
    static_assert(sizeof(Word) == Size);
    return LoadLowFirst<Word>(p);
}

// The first Size bytes at p (1 to 8) as an unsigned word, p[0] in the lowest
// byte; the bytes above are zero. Built from whole loads in registers, two
// four-byte ones overlapping where Size is 7, never reading past p + Size.
template <typename Word, std::size_t Size>
Word LoadBytes(const char* p)
{
    static_assert(Size >= 1 && Size <= sizeof(Word));
    if constexpr (Size == 1 || Size == 2 || Size == 4) {
        return LoadSmall<Size>(p);
    } else if constexpr (Size == 3) {
        return LoadSmall<2>(p) | Word{LoadSmall<1>(p + 2)} << 16;
    } else if constexpr (Size <= 6) {
        return LoadSmall<4>(p) | Word{LoadSmall<Size - 4>(p + 4)} << 32;
    } else {
        return LoadSmall<4>(p) | Word{LoadSmall<4>(p + Size - 4)} << (8 * (Size - 4));
    }
}

template <typename Word>
constexpr Word EveryByte(unsigned char byte)
{
    return static_cast<Word>(~Word{0} / 0xFF * byte);
}

// Given to a text that is not all digits.
constexpr std::uint32_t NotDigits = ~std::uint32_t{0};

// The value of the Size digits at p, or NotDigits when one of them is not a
// digit. The digits are placed at the top of a word, as if padded in front
// with zeros, and read all at once.
template <std::size_t Size>
std::uint32_t DigitsValue(const char* p)
{
    using Word = std::conditional_t<(Size <= 4), std::uint32_t, std::uint64_t>;
    constexpr std::size_t Padding = 8 * (sizeof(Word) - Size);
    // A digit's byte becomes 0 to 9 and every other byte something else; the
    // padding becomes zero.
    Word digits = (LoadBytes<Word, Size>(p) << Padding) ^ (EveryByte<Word>('0') << Padding);
    // Adding 0x76 carries a byte above 9 into its top bit, as the top bit
    // itself shows one above 0x7F.
    if (((digits + EveryByte<Word>(0x76)) | digits) & EveryByte<Word>(0x80))
        return NotDigits;
    // Pairs of digits in the even bytes, first digit first.
    digits = digits * 10 + (digits >> 8);
    if constexpr (sizeof(Word) == 4) {
        return (digits & 0xFF) * 100 + ((digits >> 16) & 0xFF);
    } else {
        // The four pairs times their weights, gathered in the upper half of
        // two products.
        constexpr std::uint64_t PairMask = 0x0000'00FF'0000'00FFu;
        return static_cast<std::uint32_t>(((digits & PairMask) * (100 + (1'000'000ull << 32)) +
                                           ((digits >> 16) & PairMask) * (1 + (10'000ull << 32))) >>
                                          32);
    }
}

std::uint32_t NineDigitsValue(const char* p)
{
    const std::uint32_t first = DigitsValue<1>(p);
    const std::uint32_t rest = DigitsValue<8>(p + 1);
    if (first == NotDigits || rest == NotDigits)
        return NotDigits;
    return first * 100'000'000u + rest;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view text)
{
    // Most values are a few plain digits, which can neither overflow nor
    // carry a prefix.
    if (const std::optional<std::int32_t> value = ReadShortDecimal(text))
        return value;
    while (text.starts_with(' '))
        text.remove_prefix(1);
    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    if (const std::size_t prefix = HexPrefixLength(text)) {
        const auto bits = ReadMagnitude(text.substr(prefix), 16, 0xFFFFFFFFu);
        if (!bits)
            return std::nullopt;
        std::uint32_t pattern = static_cast<std::uint32_t>(*bits);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }

    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    const auto magnitude = ReadMagnitude(text, 10, limit);
    if (!magnitude)
        return std::nullopt;
    const auto value = static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<std::int32_t> ReadShortDecimal(std::string_view text)
{
    // Each length is read with loads and shifts of its own.
    const char* p = text.data();
    std::uint32_t value = NotDigits;
    switch (text.size()) {
    case 1:
        value = DigitsValue<1>(p);
        break;
    case 2:
        value = DigitsValue<2>(p);
        break;
    case 3:
        value = DigitsValue<3>(p);
        break;
    case 4:
        value = DigitsValue<4>(p);
        break;
    case 5:
        value = DigitsValue<5>(p);
        break;
    case 6:
        value = DigitsValue<6>(p);
        break;
    case 7:
        value = DigitsValue<7>(p);
        break;
    case 8:
        value = DigitsValue<8>(p);
        break;
    case 9:
        value = NineDigitsValue(p);
        break;
    default:
        break;  // empty, or too long to be sure to fit
    }
    if (value == NotDigits)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string IntegerToText(std::int32_t value)
{
    return std::to_string(value);
}

void AppendIntegerText(std::string& out, std::int32_t value)
{
    char digits[16];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, end);
}
