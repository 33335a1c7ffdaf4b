#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The 6-bit form of graphic values. The bytes are read as one bit string,
// least significant bit of the first byte first, and cut into 6-bit groups;
// the last group holds the 2 or 4 bits left over. Each group v is written as
// the character 32 + v, so n bytes take (4n + 2) / 3 characters.
std::string EncodeSixBit(std::string_view bytes);
constexpr std::size_t SixBitSize(std::size_t byteCount)
{
    return (4 * byteCount + 2) / 3;
}
// Writes EncodeSixBit(bytes) at out, which has room for
// SixBitSize(bytes.size()) characters, and returns the end.
char* WriteSixBit(char* out, std::string_view bytes);

// The inverse: m characters give (3m) / 4 bytes, each character contributing
// (c - 32) & 63. Any input is accepted; spare bits at the end are ignored.
std::string DecodeSixBit(std::string_view chars);
