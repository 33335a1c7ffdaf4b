// Writing a table as a CSV table file.
#include "table/csv_format.h"

#include "table/byte_search.h"
#include "table/cp1250.h"
#include "table/csv_line_reader.h"
#include "table/csv_record_parts.h"
#include "table/int_text.h"
#include "table/mem_table.h"
#include "table/sixbit.h"
#include "table/stream.h"
#include "table/text_escape.h"
#include "table/write_block.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <exception>
#include <functional>
#include <variant>
#include <vector>

namespace {
const char* const LineEnd = "\r\n";

// Records written on a thread of their own, kept until the ones before them
// are in the stream.
struct TWritePart {
    int begin = 0;
    int end = 0;
    TWriteBlock out;
    std::string scratch;
    std::exception_ptr failure;
};

int SystemYear()
{
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// The most characters of a 32-bit integer: a sign and ten digits.
constexpr std::size_t MaxIntegerText = 11;

// The text of a string, memo or graphic value; another kind in such a field
// fails as reading it from a TValue would.
std::string_view TextOf(const TPackedRecord& record, std::size_t index)
{
    if (record.Kind(index) != vkText)
        throw std::bad_variant_access();
    return record.Text(index);
}

// Display name, edit mask and default expression are always quoted with '"'.
std::string DoubleQuoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    out.push_back('"');
    return out;
}
}  // namespace

TqorCSVStreamFormat::TqorCSVStreamFormat() : CurrentYear(SystemYear) { }

TqorCSVStreamFormat::~TqorCSVStreamFormat() = default;

std::string TqorCSVStreamFormat::Quote(std::string_view text) const
{
    std::string out(1, CSVQuote);
    out.reserve(text.size() + 2);
    for (char c : text) {
        out.push_back(c);
        if (c == CSVQuote)
            out.push_back(CSVQuote);
    }
    out.push_back(CSVQuote);
    return out;
}

void TqorCSVStreamFormat::BeforeSave(TqorMemTable& table, TStream& stream)
{
    TqorCustomStreamFormat::BeforeSave(table, stream);
    m_quotedTrue = Quote(CSVTrueString);
    m_quotedFalse = Quote(CSVFalseString);
    m_quoteInIntegers = QuoteInIntegers();
    m_writtenFields.clear();
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TFieldKind kind = table.Fields(i).FieldKind;
        if (kind == fkData || kind == fkInternalCalc)
            m_writtenFields.push_back(i);
    }
}

void TqorCSVStreamFormat::AfterSave(TqorMemTable& table, TStream& stream)
{
    m_writtenFields.clear();
    TqorCustomStreamFormat::AfterSave(table, stream);
}

std::string TqorCSVStreamFormat::FieldDefinitionLine(const TField& field) const
{
    std::string text = Utf8ToCp1250(field.FieldName) + "=" + FieldTypeName(field.DataType) + "," +
                       IntegerToText(field.Size) + "," +
                       DoubleQuoted(Utf8ToCp1250(field.DisplayName())) + "," +
                       DoubleQuoted(Utf8ToCp1250(field.EditMask)) + "," +
                       IntegerToText(field.EffectiveDisplayWidth());
    if (field.Required)
        text += ",REQ";
    if (field.ReadOnly)
        text += ",RO";
    if (!field.Visible)
        text += ",INV";
    text += ",";
    text += FieldKindName(field.FieldKind);
    text += ",";
    text += DoubleQuoted(Utf8ToCp1250(field.DefaultExpression));
    return Quote(text);
}

void TqorCSVStreamFormat::SaveDefinitions(TqorMemTable& table, TStream& stream)
{
    // A file without a field definition could not be read back.
    if (m_writtenFields.empty())
        throw EMemTableError("There must be at least one field");
    std::string out = Quote("@@FILE VERSION@@") + CSVFieldDelimiter + Quote("251") + LineEnd;
    out += Quote("@@TABLEDEF START@@") + LineEnd;
    for (int index : m_writtenFields)
        out += FieldDefinitionLine(table.Fields(index)) + LineEnd;
    out += Quote("@@INDEXDEF START@@") + LineEnd;
    for (const TIndexDef& def : table.IndexDefs) {
        std::string text = Utf8ToCp1250(def.Name) + "=" + Quote(Utf8ToCp1250(def.Fields)) + "," +
                           Quote(Utf8ToCp1250(def.DisplayName));
        if (def.Descending)
            text += ",DESC";
        if (def.CaseInsensitive)
            text += ",CASE";
        if (def.NonMaintained)
            text += ",NONMT";
        if (def.Unique)
            text += ",UNIQ";
        out += Quote(text) + LineEnd;
    }
    out += Quote("@@INDEXDEF END@@") + LineEnd;
    out += Quote("@@TABLEDEF END@@") + LineEnd;
    stream.Write(out);
}

// Opens a quoted value with room for text of up to size bytes, each of
// which may be a quote that is doubled, and returns where the text goes.
char* TqorCSVStreamFormat::OpenQuoted(TWriteBlock& out, std::size_t size) const
{
    char* const quote = out.Room(2 * size + 2);
    *quote = CSVQuote;
    return quote + 1;
}

void TqorCSVStreamFormat::CloseQuoted(TWriteBlock& out, char* text, char* end) const
{
    end = DoubleQuotes(text, end, CSVQuote);
    *end++ = CSVQuote;
    out.Commit(end);
}

void TqorCSVStreamFormat::WriteQuoted(TWriteBlock& out, std::string_view text) const
{
    char* const to = OpenQuoted(out, text.size());
    std::memcpy(to, text.data(), text.size());
    CloseQuoted(out, to, to + text.size());
}

// An integer is written without looking for quotes to double when no digit
// and no minus sign is the quote.
bool TqorCSVStreamFormat::QuoteInIntegers() const
{
    return CSVQuote == '-' || (CSVQuote >= '0' && CSVQuote <= '9');
}

void TqorCSVStreamFormat::WriteRecordValue(TWriteBlock& out, std::string& scratch,
                                           const TField& field, const TPackedRecord& record,
                                           std::size_t index) const
{
    const TValueKind kind = record.Kind(index);
    switch (field.DataType) {
    case ftString:
    case ftMemo: {
        const std::string_view text = TextOf(record, index);
        char* const to = OpenQuoted(out, MaxEscapedSize(text.size()));
        char* const end = WriteEscapedQuotedText(to, text, CSVQuote);
        *end = CSVQuote;
        out.Commit(end + 1);
        return;
    }
    case ftGraphic: {
        const std::string_view bytes = TextOf(record, index);
        char* const to = OpenQuoted(out, SixBitSize(bytes.size()));
        CloseQuoted(out, to, WriteSixBit(to, bytes));
        return;
    }
    case ftBoolean:
        if (kind != vkBoolean)
            throw std::bad_variant_access();
        out.Append(record.Boolean(index) ? m_quotedTrue : m_quotedFalse);
        return;
    case ftDateTime:
        if (kind != vkDate)
            throw std::bad_variant_access();
        scratch.clear();
        AppendFileDateTime(scratch, record.Date(index).value, TimeFormat);
        WriteQuoted(out, scratch);
        return;
    case ftInteger:
    case ftAutoInc:
        if (kind == vkInteger) {
            char* const to = OpenQuoted(out, MaxIntegerText);
            char* const end = std::to_chars(to, to + MaxIntegerText, record.Integer(index)).ptr;
            if (m_quoteInIntegers) {
                CloseQuoted(out, to, end);
            } else {
                *end = CSVQuote;
                out.Commit(end + 1);
            }
            return;
        }
        break;
    default:
        break;
    }
    WriteQuoted(out, field.ToText(record.Value(index)));
}

void TqorCSVStreamFormat::AppendQuoted(std::string& line, std::string_view text) const
{
    line += CSVQuote;
    const std::size_t start = line.size();
    line += text;
    CloseQuote(line, start);
}

// The text from textStart on is doubled where it holds the quote and closed
// with one, as Quote writes it.
void TqorCSVStreamFormat::CloseQuote(std::string& line, std::size_t textStart) const
{
    if (line.find(CSVQuote, textStart) != std::string::npos) {
        const std::string text = line.substr(textStart);
        line.resize(textStart);
        for (const char c : text) {
            line.push_back(c);
            if (c == CSVQuote)
                line.push_back(CSVQuote);
        }
    }
    line += CSVQuote;
}

void TqorCSVStreamFormat::SaveRecords(TqorMemTable& table, TStream& stream)
{
    TWriteBlock out;
    for (std::size_t i = 0; i < m_writtenFields.size(); ++i) {
        if (i > 0)
            out.Append(CSVFieldDelimiter);
        std::string name;
        AppendQuoted(name, Utf8ToCp1250(table.Fields(m_writtenFields[i]).DisplayName()));
        out.Append(name);
    }
    out.Append(CSVRecordDelimiter);
    out.Append(LineEnd);

    std::vector<const TField*> fields;
    for (const int index : m_writtenFields)
        fields.push_back(&table.Fields(index));
    const int count = table.CountRecords();
    std::string scratch;
    const std::size_t partCount = WritePartCount(static_cast<std::size_t>(count));
    if (partCount <= 1) {
        WriteRecords(out, scratch, table, fields, 0, count, &stream);
        stream.Write(out.View());
        return;
    }
    // The first part is written here while the others are gathered on
    // threads of their own, then written in turn.
    std::vector<TWritePart> parts(partCount - 1);
    const int first = count / static_cast<int>(partCount);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k].begin = static_cast<int>(static_cast<std::int64_t>(count) * (k + 1) / partCount);
        parts[k].end = static_cast<int>(static_cast<std::int64_t>(count) * (k + 2) / partCount);
    }
    std::vector<std::function<void()>> tasks;
    tasks.reserve(parts.size());
    for (TWritePart& part : parts) {
        tasks.emplace_back([&, this] {
            try {
                WriteRecords(part.out, part.scratch, table, fields, part.begin, part.end, nullptr);
            } catch (...) {
                part.failure = std::current_exception();
            }
        });
    }
    const std::vector<bool> ran =
        RunAlongside(tasks, [&] { WriteRecords(out, scratch, table, fields, 0, first, &stream); });
    stream.Write(out.View());
    for (std::size_t k = 0; k < parts.size(); ++k) {
        TWritePart& part = parts[k];
        if (!ran[k]) {
            // Its thread could not be started.
            out.Clear();
            WriteRecords(out, scratch, table, fields, part.begin, part.end, &stream);
            stream.Write(out.View());
            continue;
        }
        stream.Write(part.out.View());
        if (part.failure)
            std::rethrow_exception(part.failure);
    }
}

void TqorCSVStreamFormat::WriteRecords(TWriteBlock& out, std::string& scratch,
                                       const TqorMemTable& table,
                                       const std::vector<const TField*>& fields, int begin, int end,
                                       TStream* stream) const
{
    // Records are gathered into blocks of about this size before each write.
    constexpr std::size_t BlockSize = 64 * 1024;
    for (int r = begin; r < end; ++r) {
        const TPackedRecord& values = table.StoredValues(r);
        const std::size_t recordStart = out.Size();
        try {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    out.Append(CSVFieldDelimiter);
                const auto index = static_cast<std::size_t>(m_writtenFields[i]);
                if (values.Kind(index) == vkNull)
                    continue;
                WriteRecordValue(out, scratch, *fields[i], values, index);
            }
        } catch (...) {
            // The stream gets every record before the one that cannot be
            // written, as when each record was written by itself.
            out.Shrink(recordStart);
            if (stream)
                stream->Write(out.View());
            throw;
        }
        out.Append(CSVRecordDelimiter);
        out.Append(LineEnd);
        if (stream && out.Size() >= BlockSize) {
            stream->Write(out.View());
            out.Clear();
        }
    }
}
