#include "table/csv_line_reader.h"

#include "table/stream.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
bool IsBlank(char c)
{
    return c >= 1 && c <= ' ';
}

// The first CR, LF or NUL in [begin, end), or end, sixteen bytes at a time.
const char* FindLineEnd(const char* begin, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; end - begin >= 16; begin += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
        const __m128i ends =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                         _mm_cmpeq_epi8(bytes, nul));
        if (const int marks = _mm_movemask_epi8(ends))
            return begin + std::countr_zero(static_cast<unsigned>(marks));
    }
#endif
    return std::find_if(begin, end, IsCsvLineEnd);
}

}  // namespace

TCsvLineReader::TCsvLineReader(TStream& stream) : m_stream(stream) { }

bool TCsvLineReader::Fill()
{
    if (m_pos < m_size)
        return true;
    if (m_exhausted)
        return false;
    m_size = m_stream.Read(m_block.data(), m_block.size());
    m_pos = 0;
    if (m_size == 0) {
        m_exhausted = true;
        return false;
    }
    m_readAnything = true;
    return true;
}

bool TCsvLineReader::StreamWasEmpty()
{
    Fill();
    return !m_readAnything;
}

std::string_view TCsvLineReader::ReadLine()
{
    if (m_afterLineEnd) {
        while (Fill()) {
            const char* begin = m_block.data() + m_pos;
            const char* end = m_block.data() + m_size;
            const char* stop = std::find_if_not(begin, end, IsCsvLineEnd);
            m_pos += static_cast<std::size_t>(stop - begin);
            if (stop != end)
                break;
        }
        m_afterLineEnd = false;
    }
    // Most lines end inside the block they start in and are read in place.
    if (Fill()) {
        const char* begin = m_block.data() + m_pos;
        const char* end = m_block.data() + m_size;
        const char* stop = FindLineEnd(begin, end);
        if (stop != end) {
            m_pos += static_cast<std::size_t>(stop - begin);
            m_afterLineEnd = true;
            return {begin, static_cast<std::size_t>(stop - begin)};
        }
    }
    m_line.clear();
    while (Fill()) {
        const char* begin = m_block.data() + m_pos;
        const char* end = m_block.data() + m_size;
        const char* stop = FindLineEnd(begin, end);
        m_line.append(begin, stop);
        m_pos += static_cast<std::size_t>(stop - begin);
        if (stop != end) {
            m_afterLineEnd = true;
            break;
        }
    }
    return m_line;
}

std::size_t TCsvLineReader::SizeLeft() const
{
    return m_size - m_pos + (m_exhausted ? 0 : m_stream.SizeHint());
}

std::string_view TCsvLineReader::ReadWholeLines(std::size_t size, std::exception_ptr& failure)
{
    // The start of a line the last run did not end comes first.
    const std::size_t kept = m_runSize - m_runEnd;
    if (kept > 0)
        std::memmove(m_run.get(), m_run.get() + m_runEnd, kept);
    m_runSize = kept;
    if (m_runCapacity < size + 1)
        Grow(size + 1);
    // The bytes of the block not read as lines yet.
    const std::size_t inBlock = m_size - m_pos;
    if (inBlock > 0) {
        if (m_runCapacity - 1 - m_runSize < inBlock)
            Grow(m_runSize + inBlock + 1);
        std::memcpy(m_run.get() + m_runSize, m_block.data() + m_pos, inBlock);
        m_runSize += inBlock;
        m_pos = m_size;
    }
    const auto lastLineEnd = [this] {
        const std::string_view bytes(m_run.get(), m_runSize);
        return bytes.find_last_of(std::string_view("\r\n\0", 3));
    };
    while (!m_exhausted) {
        if (m_runSize == m_runCapacity - 1) {
            // A run ends at a line end after its first byte, so that it is
            // never empty; a line longer than the room gets more.
            if (const std::size_t end = lastLineEnd(); end != std::string_view::npos && end > 0)
                break;
            Grow(2 * m_runCapacity);
        }
        std::size_t got = 0;
        try {
            got = m_stream.Read(m_run.get() + m_runSize, m_runCapacity - 1 - m_runSize);
        } catch (...) {
            failure = std::current_exception();
            m_exhausted = true;
            break;
        }
        if (got == 0)
            m_exhausted = true;
        m_runSize += got;
    }
    if (m_exhausted && !failure) {
        m_run[m_runSize] = '\0';
        m_runEnd = m_runSize;
    } else {
        // A line cut short by a failed read is not read.
        const std::size_t end = lastLineEnd();
        m_runEnd = end == std::string_view::npos ? 0 : end;
    }
    return {m_run.get(), m_runEnd};
}

void TCsvLineReader::Grow(std::size_t capacity)
{
    auto run = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_runSize > 0)
        std::memcpy(run.get(), m_run.get(), m_runSize);
    m_run = std::move(run);
    m_runCapacity = capacity;
}

std::string_view TCsvValueReader::NextWithDoubledQuotes()
{
    m_value.clear();
    ++m_pos;
    while (m_pos < m_line.size()) {
        const std::size_t q = m_line.find(m_quote, m_pos);
        if (q == std::string_view::npos) {
            m_value.append(m_line.substr(m_pos));
            m_pos = m_line.size();
            return m_value;
        }
        m_value.append(m_line.substr(m_pos, q - m_pos));
        if (q + 1 < m_line.size() && m_line[q + 1] == m_quote) {
            m_value.push_back(m_quote);
            m_pos = q + 2;
        } else {
            m_pos = std::min(q + 2, m_line.size());
            return m_value;
        }
    }
    return m_value;
}

std::vector<std::string> SplitCommaList(std::string_view text)
{
    std::vector<std::string> items;
    text = text.substr(0, text.find('\0'));  // a NUL ends the text
    std::size_t p = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.push_back(text[p++]);
            }
        } else {
            const std::size_t start = p;
            while (p < n && !IsBlank(text[p]) && text[p] != ',')
                ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 == n)
                items.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return items;
}
