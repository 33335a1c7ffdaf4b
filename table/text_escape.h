#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// String and memo values as the table file stores them: Windows-1250 bytes in
// which NUL, LF, CR and '%' are written "%0", "%n", "%c" and "%%", and a
// character the code page lacks is written "%u<upper-case hex>;" (U+2192 is
// "%u2192;"). An invalid UTF-8 byte becomes '?'.
std::string EscapeText(std::string_view utf8);
// EscapeText(utf8) appended to out.
void AppendEscapedText(std::string& out, std::string_view utf8);
// The most bytes EscapeText gives for text of the size: a two-byte sequence
// outside the code page becomes the six of "%uXXX;".
constexpr std::size_t MaxEscapedSize(std::size_t utf8Size)
{
    return 3 * utf8Size;
}
// Writes EscapeText(utf8) at out, which has room for
// MaxEscapedSize(utf8.size()) bytes, and returns the end.
char* WriteEscapedText(char* out, std::string_view utf8);
// Writes EscapeText(utf8) with every byte equal to quote in it doubled, at
// out, which has room for 2 * MaxEscapedSize(utf8.size()) bytes, and returns
// the end.
char* WriteEscapedQuotedText(char* out, std::string_view utf8, char quote);

// The inverse of EscapeText, back to UTF-8. "%u" not followed by 1 to 6 hex
// digits, ';' and a valid code point, and '%' before any other byte, stand
// for the byte after the '%'; a lone '%' at the very end is dropped.
std::string UnescapeText(std::string_view bytes);
// The most bytes UnescapeText gives for text of the size.
constexpr std::size_t MaxUnescapedSize(std::size_t escapedSize)
{
    return 3 * escapedSize;
}
// Writes UnescapeText(bytes) at out, which has room for
// MaxUnescapedSize(bytes.size()) bytes, and returns its size.
std::size_t UnescapeTextInto(char* out, std::string_view bytes);
