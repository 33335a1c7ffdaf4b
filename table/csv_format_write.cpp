// Writing a table as a CSV table file.
#include "table/csv_format.h"

#include "table/cp1250.h"
#include "table/csv_line_reader.h"
#include "table/int_text.h"
#include "table/mem_table.h"
#include "table/sixbit.h"
#include "table/stream.h"
#include "table/text_escape.h"

#include <chrono>
#include <ctime>
#include <vector>

namespace {
const char* const LineEnd = "\r\n";

int SystemYear()
{
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
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

void TqorCSVStreamFormat::AppendRecordValueText(std::string& line, const TField& field,
                                                const TValue& value) const
{
    switch (field.DataType) {
    case ftString:
    case ftMemo:
        AppendEscapedText(line, std::get<std::string>(value));
        return;
    case ftGraphic:
        line += EncodeSixBit(std::get<std::string>(value));
        return;
    case ftBoolean:
        line += std::get<bool>(value) ? CSVTrueString : CSVFalseString;
        return;
    case ftDateTime:
        AppendFileDateTime(line, std::get<TDateTime>(value).value, TimeFormat);
        return;
    case ftInteger:
    case ftAutoInc:
        if (const auto* n = std::get_if<std::int32_t>(&value)) {
            AppendIntegerText(line, *n);
            return;
        }
        break;
    default:
        break;
    }
    line += field.ToText(value);
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
    std::string out;
    for (std::size_t i = 0; i < m_writtenFields.size(); ++i) {
        if (i > 0)
            out += CSVFieldDelimiter;
        AppendQuoted(out, Utf8ToCp1250(table.Fields(m_writtenFields[i]).DisplayName()));
    }
    out += CSVRecordDelimiter;
    out += LineEnd;

    // Records are gathered into blocks of about this size before each write.
    constexpr std::size_t BlockSize = 64 * 1024;
    std::vector<const TField*> fields;
    for (const int index : m_writtenFields)
        fields.push_back(&table.Fields(index));
    const int count = table.CountRecords();
    for (int r = 0; r < count; ++r) {
        const std::vector<TValue>& values = table.RecordValues(r);
        const std::size_t recordStart = out.size();
        try {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    out += CSVFieldDelimiter;
                const TValue& value = values[static_cast<std::size_t>(m_writtenFields[i])];
                if (IsNull(value))
                    continue;
                out += CSVQuote;
                const std::size_t start = out.size();
                AppendRecordValueText(out, *fields[i], value);
                CloseQuote(out, start);
            }
        } catch (...) {
            // The stream gets every record before the one that cannot be
            // written, as when each record was written by itself.
            out.resize(recordStart);
            stream.Write(out);
            throw;
        }
        out += CSVRecordDelimiter;
        out += LineEnd;
        if (out.size() >= BlockSize) {
            stream.Write(out);
            out.clear();
        }
    }
    stream.Write(out);
}
