#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Windows-1250 bytes to UTF-8. Every byte maps to one code point; the five
// bytes the code page leaves undefined (0x81 0x83 0x88 0x90 0x98) map to the
// C1 control with the same number, so any byte string survives the trip back.
std::string Cp1250ToUtf8(std::string_view bytes);

// The code point of one Windows-1250 byte.
char32_t Cp1250CodePoint(unsigned char byte);

// The UTF-8 form of each Windows-1250 byte.
struct TCp1250Utf8Form {
    std::array<char, 3> bytes{};
    unsigned char size = 0;
};
extern const std::array<TCp1250Utf8Form, 256> Cp1250Utf8Forms;

// Writes the UTF-8 form of one Windows-1250 byte (1 to 3 bytes) at out and
// returns the end. Three bytes are always written: the caller leaves room.
inline char* WriteCp1250ByteAsUtf8(char* out, unsigned char byte)
{
    const TCp1250Utf8Form& form = Cp1250Utf8Forms[byte];
    out[0] = form.bytes[0];
    out[1] = form.bytes[1];
    out[2] = form.bytes[2];
    return out + form.size;
}

// The Windows-1250 byte of each code point from U+0080 to U+017F (Latin-1 and
// Latin Extended-A, where the Hungarian letters are); 0 where it has none.
extern const std::array<unsigned char, 0x100> Cp1250BytesFromU0080;

// The Windows-1250 byte for cp, including the five C1 controls above.
std::optional<unsigned char> Cp1250ByteFor(char32_t cp);

// UTF-8 to Windows-1250 for names and other text that has no escapes:
// characters without a byte and invalid UTF-8 bytes become '?'.
std::string Utf8ToCp1250(std::string_view utf8);
