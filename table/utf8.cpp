#include "utf8.h"

namespace {

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Length of a well-formed sequence starting at s[pos] (decoded into cp), or 0.
std::size_t DecodeSequence(std::string_view s, std::size_t pos, char32_t& cp)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    // 0xC0, 0xC1 and 0xF5 and above can only start overlong or too large forms.
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if (!IsContinuation(b))
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp, bool* valid)
{
    if (pos >= s.size())
        return false;
    const std::size_t length = DecodeSequence(s, pos, cp);
    if (valid)
        *valid = length != 0;
    if (length == 0) {
        cp = 0xFFFD;
        ++pos;
    } else {
        pos += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    char bytes[4];
    out.append(bytes, WriteUtf8(bytes, cp));
}

char* WriteUtf8(char* out, char32_t cp)
{
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool IsValidUtf8(std::string_view s)
{
    std::size_t pos = 0;
    char32_t cp;
    bool valid = true;
    while (NextCodePoint(s, pos, cp, &valid)) {
        if (!valid)
            return false;
    }
    return true;
}

std::size_t Utf8Length(std::string_view s)
{
    std::size_t pos = 0, count = 0;
    char32_t cp;
    while (NextCodePoint(s, pos, cp))
        ++count;
    return count;
}

std::string Utf8Left(std::string_view s, std::size_t chars)
{
    return std::string(s.substr(0, Utf8LeftSize(s, chars)));
}

std::size_t Utf8LeftSize(std::string_view s, std::size_t chars)
{
    // Every code point takes at least one byte.
    if (s.size() <= chars)
        return s.size();
    std::size_t pos = 0;
    char32_t cp;
    for (std::size_t i = 0; i < chars && NextCodePoint(s, pos, cp); ++i) {
    }
    return pos;
}
