#include "int_text.h"

#include <charconv>
#include <iterator>

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

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view text)
{
    // Most values are a few plain digits, which can neither overflow nor
    // carry a prefix.
    constexpr std::size_t SafeDigits = 9;
    if (!text.empty() && text.size() <= SafeDigits) {
        std::int32_t value = 0;
        std::size_t digits = 0;
        while (digits < text.size() && IsDecimalDigit(text[digits]))
            value = value * 10 + (text[digits++] - '0');
        if (digits == text.size())
            return value;
    }
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
    constexpr std::size_t MaxDigits = 9;
    if (text.empty() || text.size() > MaxDigits)
        return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (!IsDecimalDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
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
