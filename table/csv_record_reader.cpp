#include "table/csv_record_reader.h"

#include "table/cp1250.h"
#include "table/csv_line_reader.h"
#include "table/errors.h"
#include "table/field.h"
#include "table/int_text.h"
#include "table/sixbit.h"
#include "table/text_escape.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
[[noreturn]] void RaiseInvalidInteger(std::string_view text, const TCsvColumn& column)
{
    throw EDatabaseError("'" + Cp1250ToUtf8(text) + "' is not a valid integer value for field '" +
                         column.name + "'");
}

[[noreturn]] void RaiseInvalidDateTime(std::string_view text)
{
    throw EConvertError("'" + Cp1250ToUtf8(text) + "' is not a valid date and time");
}
}  // namespace

// The quotes and line ends of the bytes, marked 64 at a time as the reader
// moves forward through them, so each byte is looked at once; which of the
// two a mark is, is told by the byte itself.
class TCsvRecordReader::TMarks {
public:
    TMarks(std::string_view bytes, char quote)
        : m_begin(bytes.data()),
          m_end(bytes.data() + bytes.size()),
          m_quote(quote),
          m_window(m_begin)
    {
        Mark(m_begin);
    }

    // The first quote or line end at or after p; the end when there is none.
    const char* NextQuoteOrLineEnd(const char* p)
    {
        for (;;) {
            const auto offset = static_cast<std::size_t>(p - m_window);
            if (offset < Window) {
                if (const std::uint64_t found = m_marks >> offset)
                    return p + std::countr_zero(found);
                if (m_end - m_window <= static_cast<std::ptrdiff_t>(Window))
                    return m_end;
                p = m_window + Window;
            }
            Mark(p);
        }
    }
    const char* NextLineEnd(const char* p)
    {
        for (;;) {
            p = NextQuoteOrLineEnd(p);
            if (IsCsvLineEnd(*p))
                return p;
            ++p;
        }
    }

private:
    static constexpr std::size_t Window = 64;

    // Marks the window that holds p. Bytes past the end count as line ends.
    void Mark(const char* p)
    {
        m_window = m_begin + (static_cast<std::size_t>(p - m_begin) & ~(Window - 1));
        const char* const bytes = m_window;
        const auto size = std::min(Window, static_cast<std::size_t>(m_end - bytes));
        std::uint64_t marks = 0;
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128i quote = _mm_set1_epi8(m_quote);
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i nul = _mm_setzero_si128();
        for (; i + 16 <= size; i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i found =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, cr)),
                             _mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, nul)));
            marks |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(found)))
                     << i;
        }
#endif
        for (; i < size; ++i)
            marks |= static_cast<std::uint64_t>(bytes[i] == m_quote || IsCsvLineEnd(bytes[i])) << i;
        if (size < Window)
            marks |= ~std::uint64_t{0} << size;
        m_marks = marks;
    }

    const char* m_begin;
    const char* m_end;
    char m_quote;
    const char* m_window;
    std::uint64_t m_marks = 0;
};

void TCsvRecordReader::ReadLines(std::string_view bytes, TRecordSink& sink)
{
    TMarks marks(bytes, m_layout.quote);
    const char* const end = bytes.data() + bytes.size();
    const char* p = bytes.data();
    for (;;) {
        while (p != end && IsCsvLineEnd(*p))
            ++p;
        if (p == end)
            return;
        p = ReadLine(p, marks, sink);
    }
}

const char* TCsvRecordReader::ReadLine(const char* p, TMarks& marks, TRecordSink& sink)
{
    sink.BeginRecord();
    m_record.Reset(m_layout.fieldCount);
    // A record some field of which was read is kept when a later value
    // fails, as a record being edited is kept when the read ends.
    bool assigned = false;
    try {
        p = ReadValues(p, marks, assigned);
    } catch (...) {
        if (assigned) {
            try {
                sink.AddPartRecord(m_record.Build());
            } catch (...) {
                // The value that could not be read is the failure to report.
            }
        }
        throw;
    }
    sink.AddRecord(m_record.Build());
    return marks.NextLineEnd(p);
}

// A quoted value runs to its closing quote, after which one byte (the
// delimiter) is skipped; an unclosed quote takes the rest of the line. An
// unquoted value runs to the delimiter, and a missing one is null.
const char* TCsvRecordReader::ReadValues(const char* p, TMarks& marks, bool& assigned)
{
    const char quote = m_layout.quote;
    const char delimiter = m_layout.delimiter;
    for (const TCsvColumn& column : m_layout.columns) {
        const char first = *p;
        if (IsCsvLineEnd(first))
            break;
        std::string_view text;
        bool isNull = false;
        if (first == quote) {
            const char* const q = marks.NextQuoteOrLineEnd(p + 1);
            if (IsCsvLineEnd(*q)) {
                text = {p + 1, q};
                p = q;
            } else if (q[1] == quote) {
                p = Undoubled(p, marks);
                text = m_undoubled;
            } else {
                text = {p + 1, q};
                p = IsCsvLineEnd(q[1]) ? q + 1 : q + 2;
            }
        } else if (first == delimiter) {
            isNull = true;
            ++p;
        } else {
            const char* d = p;
            while (!IsCsvLineEnd(*d) && *d != delimiter)
                ++d;
            text = {p, d};
            p = IsCsvLineEnd(*d) ? d : d + 1;
        }
        if (!column.read)
            continue;
        // The value is checked before it is stored, so a value that cannot
        // be read leaves the record as it was.
        if (isNull) {
            m_record.SetNull(column.index);
            assigned = true;
            continue;
        }
        switch (column.type) {
        case ftInteger:
        case ftAutoInc:
            if (const auto n = ReadShortDecimal(text))
                m_record.SetInteger(column.index, *n);
            else
                StoreOtherInteger(column, text);
            break;
        case ftBoolean:
            m_record.SetBoolean(column.index, text == m_layout.trueText);
            break;
        case ftString:
            StoreString(column, text);
            break;
        case ftMemo:
            StoreMemo(column, text);
            break;
        case ftDateTime:
            StoreDate(column, text);
            break;
        case ftGraphic:
            StoreGraphic(column, text);
            break;
        default:
            m_record.SetNull(column.index);
            break;
        }
        assigned = true;
    }
    return p;
}

// The quoted value at p, in which a doubled quote stands for one.
const char* TCsvRecordReader::Undoubled(const char* p, TMarks& marks)
{
    const char quote = m_layout.quote;
    m_undoubled.clear();
    const char* from = p + 1;
    while (!IsCsvLineEnd(*from)) {
        const char* const q = marks.NextQuoteOrLineEnd(from);
        m_undoubled.append(from, q);
        if (IsCsvLineEnd(*q))
            return q;
        if (q[1] != quote)
            return IsCsvLineEnd(q[1]) ? q + 1 : q + 2;
        m_undoubled.push_back(quote);
        from = q + 2;
    }
    return from;
}

void TCsvRecordReader::StoreString(const TCsvColumn& column, std::string_view text)
{
    char* const to = m_record.TextRoom(MaxUnescapedSize(text.size()));
    const std::string_view value(to, UnescapeTextInto(to, text));
    m_record.CommitText(column.index, TStringField::FittedSize(value, column.size));
}

void TCsvRecordReader::StoreMemo(const TCsvColumn& column, std::string_view text)
{
    char* const to = m_record.TextRoom(MaxUnescapedSize(text.size()));
    if (const std::size_t size = UnescapeTextInto(to, text))
        m_record.CommitText(column.index, size);
    else
        m_record.SetNull(column.index);
}

void TCsvRecordReader::StoreGraphic(const TCsvColumn& column, std::string_view text)
{
    const std::string value = DecodeSixBit(text);
    if (value.empty())
        m_record.SetNull(column.index);
    else
        m_record.SetText(column.index, value);
}

// An integer that is not 1 to 9 digits.
void TCsvRecordReader::StoreOtherInteger(const TCsvColumn& column, std::string_view text)
{
    if (text.empty()) {
        m_record.SetNull(column.index);
        return;
    }
    if (const auto n = ParseIntegerText(text)) {
        m_record.SetInteger(column.index, *n);
        return;
    }
    RaiseInvalidInteger(text, column);
}

void TCsvRecordReader::StoreDate(const TCsvColumn& column, std::string_view text)
{
    if (text.empty()) {
        m_record.SetNull(column.index);
        return;
    }
    if (const auto d = ParseFileDateTime(text, m_layout.year, m_layout.timeFormat)) {
        m_record.SetDate(column.index, TDateTime{*d});
        return;
    }
    RaiseInvalidDateTime(text);
}
