#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The first c in [begin, end), or end. The first bytes are taken eight at a
// time, which beats a call to memchr for the short values of a table file;
// memchr takes the rest of a long one.
inline const char* FindByte(const char* begin, const char* end, char c)
{
    static_assert(std::endian::native == std::endian::little, "the lowest byte comes first");
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t Highs = 0x8080808080808080u;
    constexpr std::ptrdiff_t Short = 64;
    const std::uint64_t pattern = Ones * static_cast<unsigned char>(c);
    const char* const shortEnd = end - begin > Short ? begin + Short : end;
    while (shortEnd - begin >= static_cast<std::ptrdiff_t>(sizeof(std::uint64_t))) {
        std::uint64_t word;
        std::memcpy(&word, begin, sizeof word);
        word ^= pattern;
        // The lowest mark is the first byte equal to c.
        if (const std::uint64_t marks = (word - Ones) & ~word & Highs)
            return begin + std::countr_zero(marks) / 8;
        begin += sizeof word;
    }
    if (shortEnd != end) {
        const void* found = std::memchr(begin, c, static_cast<std::size_t>(end - begin));
        return found ? static_cast<const char*>(found) : end;
    }
    for (; begin != end; ++begin) {
        if (*begin == c)
            return begin;
    }
    return end;
}

// Doubles each quote in [begin, end), which has room after it for as many
// bytes again, and returns the new end.
inline char* DoubleQuotes(char* begin, char* end, char quote)
{
    const char* first = FindByte(begin, end, quote);
    if (first == end)
        return end;
    std::size_t quotes = 0;
    for (const char* p = first; p != end; ++p)
        quotes += *p == quote ? 1 : 0;
    char* to = end + quotes;
    char* const newEnd = to;
    for (char* from = end; from != first;) {
        *--to = *--from;
        if (*from == quote)
            *--to = quote;
    }
    return newEnd;
}
