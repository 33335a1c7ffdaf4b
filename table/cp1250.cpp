#include "cp1250.h"

#include <algorithm>
#include <array>
#include <utility>

#include "utf8.h"

namespace {

// Code points of the bytes 0x80 to 0xFF; 0x00 to 0x7F are ASCII.
constexpr std::array<char32_t, 128> HighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

using TReverseEntry = std::pair<char32_t, unsigned char>;

// HighHalf sorted by code point, for looking bytes up.
constexpr std::array<TReverseEntry, 128> MakeReverseTable()
{
    std::array<TReverseEntry, 128> entries{};
    for (std::size_t i = 0; i < HighHalf.size(); ++i)
        entries[i] = {HighHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(entries.begin(), entries.end());
    return entries;
}

constexpr std::array<TReverseEntry, 128> ReverseTable = MakeReverseTable();

// The bytes of the code points U+0080 to U+017F (Latin-1 and Latin
// Extended-A, where the Hungarian letters are) by direct look-up; 0 where the
// code page has none.
constexpr char32_t NearFirst = 0x80;
constexpr char32_t NearEnd = 0x180;

constexpr std::array<unsigned char, NearEnd - NearFirst> MakeNearTable()
{
    std::array<unsigned char, NearEnd - NearFirst> bytes{};
    for (std::size_t i = 0; i < HighHalf.size(); ++i) {
        if (HighHalf[i] >= NearFirst && HighHalf[i] < NearEnd)
            bytes[HighHalf[i] - NearFirst] = static_cast<unsigned char>(0x80 + i);
    }
    return bytes;
}

constexpr std::array<unsigned char, NearEnd - NearFirst> NearTable = MakeNearTable();

}  // namespace

namespace {
constexpr std::array<TCp1250Utf8Form, 256> MakeUtf8Forms()
{
    std::array<TCp1250Utf8Form, 256> forms{};
    for (std::size_t b = 0; b < forms.size(); ++b) {
        const char32_t cp = b < 0x80 ? static_cast<char32_t>(b) : HighHalf[b - 0x80];
        TCp1250Utf8Form& form = forms[b];
        if (cp < 0x80) {
            form.bytes[0] = static_cast<char>(cp);
            form.size = 1;
        } else if (cp < 0x800) {
            form.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            form.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            form.size = 2;
        } else {
            form.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            form.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            form.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            form.size = 3;
        }
    }
    return forms;
}
}  // namespace

constinit const std::array<unsigned char, 0x100> Cp1250BytesFromU0080 = NearTable;

// Every code point of the code page is below U+10000: three bytes at most.
constinit const std::array<TCp1250Utf8Form, 256> Cp1250Utf8Forms = MakeUtf8Forms();

char32_t Cp1250CodePoint(unsigned char byte)
{
    return byte < 0x80 ? byte : HighHalf[byte - 0x80];
}

std::string Cp1250ToUtf8(std::string_view bytes)
{
    std::string out(3 * bytes.size(), '\0');
    char* end = out.data();
    for (const char c : bytes)
        end = WriteCp1250ByteAsUtf8(end, static_cast<unsigned char>(c));
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::optional<unsigned char> Cp1250ByteFor(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<unsigned char>(cp);
    if (cp < NearEnd) {
        if (const unsigned char byte = NearTable[cp - NearFirst])
            return byte;
        return std::nullopt;
    }
    const auto byCodePoint = [](const TReverseEntry& e, char32_t key) { return e.first < key; };
    const auto it = std::lower_bound(ReverseTable.begin(), ReverseTable.end(), cp, byCodePoint);
    if (it == ReverseTable.end() || it->first != cp)
        return std::nullopt;
    return it->second;
}

std::string Utf8ToCp1250(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    char32_t cp;
    bool valid = false;
    while (NextCodePoint(utf8, pos, cp, &valid)) {
        const std::optional<unsigned char> byte = Cp1250ByteFor(cp);
        out += valid && byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}
