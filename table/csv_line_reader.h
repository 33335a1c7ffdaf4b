#pragma once

#include "table/byte_search.h"

#include <array>
#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TStream;

// CR, LF and NUL end a line.
inline bool IsCsvLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// Splits a stream into lines. A line is the run of bytes before the first CR,
// LF or NUL; the whole run of such bytes after it is its line end. The file
// is taken in blocks of 8192 bytes and a line may span blocks.
class TCsvLineReader {
public:
    explicit TCsvLineReader(TStream& stream);

    // The next line, valid until the next call; an empty line at the end of
    // the stream (and as the first line of a stream that begins with a line
    // end).
    std::string_view ReadLine();
    // True when the stream held no byte at all.
    bool StreamWasEmpty();
    // About how many bytes are left, as far as the stream can tell.
    std::size_t SizeLeft() const;
    // The next run of whole lines, of about size bytes or more, in one block
    // whose byte just after is a line end; empty at the end of the stream.
    // A read that fails sets failure after the whole lines before it; the
    // line it cuts short is not read. No line is read with ReadLine after.
    std::string_view ReadWholeLines(std::size_t size, std::exception_ptr& failure);

private:
    bool Fill();
    void Grow(std::size_t capacity);

    TStream& m_stream;
    std::array<char, 8192> m_block{};
    std::size_t m_pos = 0;
    std::size_t m_size = 0;
    bool m_exhausted = false;
    bool m_afterLineEnd = false;
    bool m_readAnything = false;
    std::string m_line;  // a line that spans blocks
    // The run of whole lines last given, and the start of a line after it.
    std::unique_ptr<char[]> m_run;
    std::size_t m_runCapacity = 0;
    std::size_t m_runSize = 0;
    std::size_t m_runEnd = 0;
};

// Reads the values of one line one after another.
class TCsvValueReader {
public:
    TCsvValueReader(std::string_view line, char quote, char delimiter)
        : m_line(line), m_quote(quote), m_delimiter(delimiter)
    { }

    bool HasMore() const { return m_pos < m_line.size(); }
    // The next value, valid until the next call; isNull is set for a
    // missing (not quoted) value. A quoted value runs to its closing quote,
    // after which one byte (the delimiter) is skipped; an unclosed quote
    // takes the rest of the line.
    std::string_view Next(bool& isNull)
    {
        isNull = false;
        const char* const begin = m_line.data();
        const char* const end = begin + m_line.size();
        const char* p = begin + m_pos;
        if (p == end) {
            isNull = true;
            return {};
        }
        if (*p == m_quote) {
            const std::size_t start = m_pos + 1;
            const std::size_t q = FindQuote(start);
            if (q == m_line.size()) {
                m_pos = m_line.size();
                return m_line.substr(start);
            }
            if (q + 1 != m_line.size() && m_line[q + 1] == m_quote)
                return NextWithDoubledQuotes();
            m_pos = q + 2 < m_line.size() ? q + 2 : m_line.size();
            return m_line.substr(start, q - start);
        }
        if (*p == m_delimiter) {
            ++m_pos;
            isNull = true;
            return {};
        }
        const char* d = FindByte(p, end, m_delimiter);
        m_pos = d == end ? m_line.size() : static_cast<std::size_t>(d + 1 - begin);
        return {p, static_cast<std::size_t>(d - p)};
    }

private:
    std::string_view NextWithDoubledQuotes();
    // The first quote at or after from, or the line's size.
    std::size_t FindQuote(std::size_t from) const
    {
        const char* const end = m_line.data() + m_line.size();
        return static_cast<std::size_t>(FindByte(m_line.data() + from, end, m_quote) -
                                        m_line.data());
    }

    std::string_view m_line;
    char m_quote;
    char m_delimiter;
    std::size_t m_pos = 0;
    std::string m_value;  // a quoted value with doubled quotes, undoubled
};

// The items of a definition: separated by ',', an item starting with '"' is
// quoted with doubled quotes inside, an unquoted item ends at ',' or a blank,
// blanks between items are skipped, and a ',' at the end adds an empty item.
std::vector<std::string> SplitCommaList(std::string_view text);
