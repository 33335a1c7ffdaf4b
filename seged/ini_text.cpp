#include "ini_text.h"

#include "table/cp1250.h"
#include "table/int_text.h"

#include <algorithm>

namespace {

constexpr std::string_view Blanks = " \t\v\f";
constexpr std::string_view LineEnd = "\r\n";
constexpr auto npos = std::string_view::npos;
// Editors that save as UTF-8 may put a byte order mark before the first
// section header; it is skipped when reading and kept in place.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(Blanks);
    if (first == npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(Blanks) == npos;
}

// Everything a reader sees: the bytes before the first NUL.
std::string_view ReadableText(std::string_view content)
{
    return content.substr(0, content.find('\0'));
}

struct TLine {
    std::size_t Begin = 0;
    std::size_t End = 0;  // end of the content, before the line end
    std::size_t Next = 0;  // start of the following line

    std::string_view In(std::string_view text) const { return text.substr(Begin, End - Begin); }
    bool HasLineEnd() const { return Next > End; }
};

TLine LineAt(std::string_view text, std::size_t begin)
{
    const auto end = text.find_first_of(LineEnd, begin);
    if (end == npos)
        return {begin, text.size(), text.size()};
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n')
        ++next;
    return {begin, end, next};
}

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
    TLineKind Kind = TLineKind::Other;
    std::optional<std::string_view> Name;  // empty for a section header without ']'
    std::size_t ValueBegin = 0;  // offset in the text, just after '='
};

TParsedLine Parse(std::string_view text, const TLine& line)
{
    const std::string_view content = line.In(text);
    const auto start = content.find_first_not_of(Blanks);
    if (start == npos || content[start] == ';')
        return {};
    if (content[start] == '[') {
        const auto close = content.find(']', start + 1);
        if (close == npos)
            return {TLineKind::Section, std::nullopt};
        return {TLineKind::Section, Trimmed(content.substr(start + 1, close - start - 1))};
    }
    const auto equals = content.find('=', start);
    if (equals == npos)
        return {};
    const std::string_view name = Trimmed(content.substr(start, equals - start));
    if (name.empty())
        return {};
    return {TLineKind::Key, name, line.Begin + equals + 1};
}

bool SameName(std::string_view fileName, const QString& name)
{
    return QString::fromStdString(Cp1250ToUtf8(fileName)).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a key is, or where it would go.
struct TKeySearch {
    std::optional<TLine> KeyLine;
    std::size_t ValueBegin = 0;
    bool SectionFound = false;
    std::size_t InsertAt = 0;  // after the last key of the first matching section
    bool InsertAfterOpenLine = false;  // the line before InsertAt has no line end
    bool EndsWithLineEnd = true;  // of the whole text
    bool EndsWithBlankLine = true;
};

TKeySearch FindKey(std::string_view text, const QString& section, const QString& key)
{
    TKeySearch search;
    bool inSection = false;
    bool inFirstSection = false;
    const auto noteInsertPoint = [&search](const TLine& line) {
        search.InsertAt = line.Next;
        search.InsertAfterOpenLine = !line.HasLineEnd();
    };
    for (std::size_t pos = text.starts_with(Utf8Bom) ? Utf8Bom.size() : 0; pos < text.size();) {
        const TLine line = LineAt(text, pos);
        const TParsedLine parsed = Parse(text, line);
        if (parsed.Kind == TLineKind::Section) {
            inSection = parsed.Name && SameName(*parsed.Name, section);
            inFirstSection = inSection && !search.SectionFound;
            if (inFirstSection) {
                search.SectionFound = true;
                noteInsertPoint(line);
            }
        } else if (parsed.Kind == TLineKind::Key && inSection) {
            if (SameName(*parsed.Name, key)) {
                search.KeyLine = line;
                search.ValueBegin = parsed.ValueBegin;
                return search;
            }
            if (inFirstSection)
                noteInsertPoint(line);
        }
        search.EndsWithLineEnd = line.HasLineEnd();
        search.EndsWithBlankLine = IsBlank(line.In(text));
        pos = line.Next;
    }
    return search;
}

// The name in Windows-1250, or nullopt when it cannot be a profile name.
std::optional<std::string> NameBytes(const QString& name, std::string_view forbidden)
{
    const std::string utf8 = name.toStdString();
    std::string bytes = Utf8ToCp1250(utf8);
    if (bytes.empty() || Cp1250ToUtf8(bytes) != utf8 ||
        bytes.find_first_of(forbidden) != std::string::npos)
        return std::nullopt;
    return bytes;
}

bool HoldsLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != npos;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view content, const QString& section,
                                        const QString& key)
{
    const std::string_view text = ReadableText(content);
    const TKeySearch search = FindKey(text, section.trimmed(), key.trimmed());
    if (!search.KeyLine)
        return std::nullopt;
    std::string_view value =
        Trimmed(text.substr(search.ValueBegin, search.KeyLine->End - search.ValueBegin));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool SetIniValue(std::string& content, const QString& section, const QString& key,
                 std::string_view value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    using namespace std::string_view_literals;
    const auto sectionBytes = NameBytes(sectionName, "]\r\n\0"sv);
    const auto keyBytes = NameBytes(keyName, "=\r\n\0"sv);
    if (!sectionBytes || !keyBytes || keyBytes->starts_with('[') || keyBytes->starts_with(';') ||
        HoldsLineBreakOrNul(value))
        return false;

    const std::string_view text = ReadableText(content);
    const TKeySearch search = FindKey(text, sectionName, keyName);
    if (search.KeyLine) {
        // Keep the blanks after '=' unless the old value was empty.
        std::size_t from = search.ValueBegin;
        const auto valueStart = text.find_first_not_of(Blanks, from);
        if (valueStart < search.KeyLine->End)
            from = valueStart;
        content.replace(from, search.KeyLine->End - from, value);
        return true;
    }

    const std::string keyLine = *keyBytes + "=" + std::string(value) + "\r\n";
    if (search.SectionFound) {
        content.insert(search.InsertAt, (search.InsertAfterOpenLine ? "\r\n" : "") + keyLine);
        return true;
    }
    std::string addition;
    if (!search.EndsWithLineEnd)
        addition += "\r\n";
    if (!search.EndsWithBlankLine)
        addition += "\r\n";
    addition += "[" + *sectionBytes + "]\r\n" + keyLine;
    content.insert(text.size(), addition);
    return true;
}

std::optional<std::int32_t> ParseIniInteger(std::string_view value)
{
    const auto isHexDigit = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string_view digits;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        digits = value.substr(2);
    else if (value.starts_with('$'))
        digits = value.substr(1);
    else {
        const std::string_view unsignedPart =
            value.starts_with('+') || value.starts_with('-') ? value.substr(1) : value;
        if (unsignedPart.empty() || !std::all_of(unsignedPart.begin(), unsignedPart.end(), isDigit))
            return std::nullopt;
        return ParseIntegerText(value);
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt;
    return ParseIntegerText("$" + std::string(digits));
}
