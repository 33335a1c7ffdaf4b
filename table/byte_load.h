#pragma once

#include <bit>
#include <cstring>

// The sizeof(Word) bytes at p as an unsigned number, p[0] its lowest byte:
// text read a word at a time keeps its first byte at the bottom.
template <typename Word>
Word LoadLowFirst(const char* p)
{
    static_assert(std::endian::native == std::endian::little, "the lowest byte comes first");
    Word word;
    std::memcpy(&word, p, sizeof word);
    return word;
}
