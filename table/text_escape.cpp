#include "text_escape.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The count (1 to 8) bytes at p in the low bytes of a word, zeros above,
// reading nothing outside the text that starts at begin.
std::uint64_t LoadWord(const char* p, std::size_t count, const char* begin)
{
    std::uint64_t word = 0;
    if (count == sizeof word) {
        std::memcpy(&word, p, sizeof word);
    } else if (p + count - begin >= static_cast<std::ptrdiff_t>(sizeof word)) {
        // The last bytes of a longer text: the word that ends with them.
        std::memcpy(&word, p + count - sizeof word, sizeof word);
        word >>= 8 * (sizeof word - count);
    } else {
        std::memcpy(&word, p, count);
    }
    return word;
}

void StoreWord(char* to, std::uint64_t word)
{
    std::memcpy(to, &word, sizeof word);
}

// Writes the UTF-8 form of a Windows-1250 byte with one four-byte store (the
// size rides in the fourth) and returns its end.
char* WriteCp1250Form(char* to, unsigned char byte)
{
    static_assert(sizeof(TCp1250Utf8Form) == sizeof(std::uint32_t));
    std::uint32_t form;
    std::memcpy(&form, &Cp1250Utf8Forms[byte], sizeof form);
    std::memcpy(to, &form, sizeof form);
    return to + (form >> 24);
}

// The most DecodeWordBytes writes past its start: three bytes for each of
// the eight and a word stored at the end.
constexpr std::size_t MaxWordOutput = 3 * 8 + 8;

// Writes the UTF-8 form of the first count bytes of word, none of them '%'.
// The plain bytes are stored a word at a time, each store running on past the
// next byte that needs decoding, whose own output then overwrites it.
char* DecodeWordBytes(char* to, std::uint64_t word, std::size_t count)
{
    const std::uint64_t counted =
        count == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
    std::uint64_t highs = word & Highs & counted;
    StoreWord(to, word);
    std::size_t done = 0;
    while (highs != 0) {
        const auto at = static_cast<std::size_t>(std::countr_zero(highs) / 8);
        to += at - done;
        const std::uint64_t fromHigh = word >> (8 * at);
        to = WriteCp1250Form(to, static_cast<unsigned char>(fromHigh));
        StoreWord(to, fromHigh >> 8);
        done = at + 1;
        highs &= highs - 1;
    }
    return to + (count - done);
}

#if defined(__SSE2__)
// Writes the UTF-8 form of the sixteen bytes at p up to the first '%' and
// returns how many that is (16 without one). to has room for twice
// MaxWordOutput.
std::size_t DecodeBlockBytes(char*& to, const char* p)
{
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto percents =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('%'))));
    const std::size_t plain =
        percents == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(percents));
    std::uint64_t low;
    std::memcpy(&low, p, sizeof low);
    to = DecodeWordBytes(to, low, std::min<std::size_t>(plain, 8));
    if (plain > 8) {
        std::uint64_t high;
        std::memcpy(&high, p + 8, sizeof high);
        to = DecodeWordBytes(to, high, plain - 8);
    }
    return plain;
}
#endif

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

// The quotes WriteEscapedQuotedText doubles as it goes: those that EscapeText
// copies from the text and never writes in an escape or for a bad byte.
constexpr std::array<bool, 256> QuoteOnlyFromText = [] {
    std::array<bool, 256> only = PlainAscii;
    for (const char c : std::string_view("0123456789ABCDEFncu;?"))
        only[static_cast<unsigned char>(c)] = false;
    return only;
}();

// EscapeText(utf8) written at out; with Quoted, each quote in it doubled, for a
// quote that only plain bytes can give.
template <bool Quoted>
char* WriteEscaped(char* out, std::string_view utf8, char quote)
{
    const char* const begin = utf8.data();
    const char* const end = begin + utf8.size();
    const char* p = begin;
    while (p != end) {
        // Plain bytes and the two-byte letters of the code page, the common
        // characters, in one loop.
        while (p != end) {
            const auto c = static_cast<unsigned char>(*p);
            if (IsPlainAscii(c)) {
                if (Quoted && *p == quote) [[unlikely]]
                    break;
                *out++ = *p++;
                continue;
            }
            const unsigned lead = c - 0xC2u;
            if (lead >= 4 || end - p < 2 || (static_cast<unsigned char>(p[1]) & 0xC0) != 0x80)
                break;
            const unsigned char near =
                Cp1250BytesFromU0080[(lead << 6) | (static_cast<unsigned char>(p[1]) & 0x3Fu)];
            if (near == 0)
                break;
            *out++ = static_cast<char>(near);
            p += 2;
        }
        if (p == end)
            break;
        if (Quoted && *p == quote) {
            *out++ = quote;
            *out++ = quote;
            ++p;
            continue;
        }
        // The other two-byte sequences are decoded here; the rest by
        // NextCodePoint.
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
    return WriteEscaped<false>(out, utf8, '\0');
}

char* WriteEscapedQuotedText(char* out, std::string_view utf8, char quote)
{
    if (QuoteOnlyFromText[static_cast<unsigned char>(quote)])
        return WriteEscaped<true>(out, utf8, quote);
    // A quote an escape may hold: the text is escaped into the second half of
    // the room and copied to the front with its quotes doubled. The copy never
    // catches up with the bytes still to be read, since it writes at most two
    // bytes for each.
    char* const escaped = out + MaxEscapedSize(utf8.size());
    const char* const escapedEnd = WriteEscapedText(escaped, utf8);
    for (const char* p = escaped; p != escapedEnd; ++p) {
        *out++ = *p;
        if (*p == quote)
            *out++ = quote;
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
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    char* const outEnd = out + MaxUnescapedSize(bytes.size());
    const char* p = begin;
    char* to = out;
    while (p != end) {
        // The bytes up to the next '%', or the end of the bytes looked at,
        // have no escapes.
        std::size_t looked;
        std::size_t plain;
#if defined(__SSE2__)
        if (end - p >= 16 && outEnd - to >= static_cast<std::ptrdiff_t>(2 * MaxWordOutput)) {
            looked = 16;
            plain = DecodeBlockBytes(to, p);
        } else
#endif
        {
            looked = static_cast<std::size_t>(std::min<std::ptrdiff_t>(8, end - p));
            const std::uint64_t word = LoadWord(p, looked, begin);
            const std::uint64_t percent = PercentMarks(word);
            plain = percent == 0 ? looked : static_cast<std::size_t>(std::countr_zero(percent) / 8);
            if (outEnd - to >= static_cast<std::ptrdiff_t>(MaxWordOutput)) {
                to = DecodeWordBytes(to, word, plain);
            } else {
                for (std::size_t i = 0; i < plain; ++i)
                    to = WriteCp1250ByteAsUtf8(to, static_cast<unsigned char>(p[i]));
            }
        }
        p += plain;
        if (plain == looked)
            continue;
        // p is at a '%'.
        if (++p == end)
            break;
        const char code = *p++;
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
        case 'u': {
            auto pos = static_cast<std::size_t>(p - begin);
            if (const std::optional<char32_t> cp = ReadCodePointEscape(bytes, pos)) {
                to = WriteUtf8(to, *cp);
                p = begin + pos;
            } else {
                *to++ = 'u';
            }
            break;
        }
        default:
            to = WriteCp1250ByteAsUtf8(to, static_cast<unsigned char>(code));
            break;
        }
    }
    return static_cast<std::size_t>(to - out);
}
