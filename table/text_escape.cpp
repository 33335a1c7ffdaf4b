#include "text_escape.h"

#include <optional>

#include "cp1250.h"
#include "utf8.h"

namespace {

void AppendCodePointEscape(std::string& out, char32_t cp)
{
    static constexpr char HexDigits[] = "0123456789ABCDEF";
    char digits[8];
    int count = 0;
    do {
        digits[count++] = HexDigits[cp & 0xF];
        cp >>= 4;
    } while (cp != 0);
    out += "%u";
    while (count > 0)
        out += digits[--count];
    out += ';';
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

void AppendCp1250Byte(std::string& out, char byte)
{
    // Most bytes are ASCII, which UTF-8 keeps as it is; reading files spends
    // much of its time here.
    if (static_cast<unsigned char>(byte) < 0x80) {
        out += byte;
        return;
    }
    AppendUtf8(out, Cp1250CodePoint(static_cast<unsigned char>(byte)));
}

}  // namespace

std::string EscapeText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    char32_t cp;
    bool valid = false;
    while (NextCodePoint(utf8, pos, cp, &valid)) {
        if (!valid) {
            out += '?';
            continue;
        }
        switch (cp) {
        case U'\0':
            out += "%0";
            continue;
        case U'\n':
            out += "%n";
            continue;
        case U'\r':
            out += "%c";
            continue;
        case U'%':
            out += "%%";
            continue;
        default:
            break;
        }
        if (const std::optional<unsigned char> byte = Cp1250ByteFor(cp))
            out += static_cast<char>(*byte);
        else
            AppendCodePointEscape(out, cp);
    }
    return out;
}

std::string UnescapeText(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const char c = bytes[pos++];
        if (c != '%') {
            AppendCp1250Byte(out, c);
            continue;
        }
        if (pos == bytes.size())
            break;
        const char code = bytes[pos++];
        switch (code) {
        case '0':
            out += '\0';
            break;
        case 'n':
            out += '\n';
            break;
        case 'c':
            out += '\r';
            break;
        case 'u':
            if (const std::optional<char32_t> cp = ReadCodePointEscape(bytes, pos))
                AppendUtf8(out, *cp);
            else
                out += 'u';
            break;
        default:
            AppendCp1250Byte(out, code);
            break;
        }
    }
    return out;
}
