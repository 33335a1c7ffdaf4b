// Reading a CSV table file into a table.
#include "table/csv_format.h"

#include "table/cp1250.h"
#include "table/csv_line_reader.h"
#include "table/int_text.h"
#include "table/mem_table.h"
#include "table/sixbit.h"
#include "table/text_escape.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {
const TFieldType RefusedTypes[] = {ftUnknown, ftCursor,    ftReference, ftDataSet,
                                   ftVariant, ftInterface, ftIDispatch};

std::optional<TFieldType> AcceptedFieldType(const std::string& name)
{
    for (int i = 0; i < FieldTypeCount; ++i) {
        const auto type = static_cast<TFieldType>(i);
        if (name == FieldTypeName(type)) {
            if (std::find(std::begin(RefusedTypes), std::end(RefusedTypes), type) !=
                std::end(RefusedTypes))
                return std::nullopt;
            // The table keeps the seven types its files use; other names are
            // refused the same way.
            if (!TqorMemTable::IsSupportedFieldType(type))
                return std::nullopt;
            return type;
        }
    }
    return std::nullopt;
}

TFieldKind KindFromName(const std::string& name)
{
    for (int i = 0; i < FieldKindCount; ++i) {
        const auto kind = static_cast<TFieldKind>(i);
        if (name == FieldKindName(kind))
            return kind;
    }
    return fkData;
}

int DefinitionInteger(const std::string& text)
{
    if (const auto n = ParseIntegerText(text))
        return *n;
    throw EConvertError("'" + Cp1250ToUtf8(text) + "' is not a valid integer value");
}

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The value of 1 to 9 decimal digits, the form nearly every integer in a file
// has; other text is left to ParseIntegerText.
std::optional<std::int32_t> ShortDecimal(std::string_view text)
{
    constexpr std::size_t MaxDigits = 9;
    if (text.empty() || text.size() > MaxDigits)
        return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

[[noreturn]] void RaiseInvalidInteger(std::string_view text, const TField& field)
{
    throw EDatabaseError("'" + Cp1250ToUtf8(text) + "' is not a valid integer value for field '" +
                         field.DisplayName() + "'");
}

[[noreturn]] void RaiseInvalidDateTime(std::string_view text)
{
    throw EConvertError("'" + Cp1250ToUtf8(text) + "' is not a valid date and time");
}

// Only the letters a to z are folded; every other byte must match exactly.
bool SameHeaderName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareBytes(a, b, true) == 0;
}
}  // namespace

void TqorCSVStreamFormat::BeforeLoad(TqorMemTable& table, TStream& stream)
{
    TqorCustomStreamFormat::BeforeLoad(table, stream);
    m_lines = std::make_unique<TCsvLineReader>(stream);
    m_headerLine.clear();
    m_columnFields.clear();
    m_emptyFile = m_lines->StreamWasEmpty();
}

void TqorCSVStreamFormat::AfterLoad(TqorMemTable& table, TStream& stream)
{
    m_lines.reset();
    m_headerLine.clear();
    m_columnFields.clear();
    m_record = TPackedRecordBuilder();
    TqorCustomStreamFormat::AfterLoad(table, stream);
}

void TqorCSVStreamFormat::LoadDefinitions(TqorMemTable& table, TStream&)
{
    if (m_emptyFile)
        return;
    bool inDefinitions = false;
    bool inIndexes = false;
    for (;;) {
        const std::string_view line = m_lines->ReadLine();
        if (line.empty())
            return;
        TCsvValueReader values(line, CSVQuote, CSVFieldDelimiter);
        bool isNull = false;
        const std::string first(values.Next(isNull));
        if (first == "@@FILE VERSION@@") {
            values.Next(isNull);
        } else if (first == "@@TABLEDEF START@@") {
            inDefinitions = true;
            table.Close();
            table.FieldDefs.clear();
            table.ClearFields();
        } else if (first == "@@INDEXDEF START@@") {
            inIndexes = true;
            table.IndexDefs.clear();
        } else if (first == "@@INDEXDEF END@@") {
            inIndexes = false;
        } else if (first == "@@TABLEDEF END@@") {
            inDefinitions = false;
            table.Open();
        } else if (!inDefinitions) {
            m_headerLine = line;
            return;
        } else if (inIndexes) {
            ReadIndexDefinition(table, line[0] == CSVQuote ? first : std::string());
        } else {
            ReadFieldDefinition(table, line[0] == CSVQuote ? first : std::string());
        }
    }
}

void TqorCSVStreamFormat::ReadFieldDefinition(TqorMemTable& table, const std::string& definition)
{
    const std::size_t equals = definition.find('=');
    const std::string name = definition.substr(0, equals);
    std::vector<std::string> items = SplitCommaList(
        equals == std::string::npos ? std::string_view{}
                                    : std::string_view(definition).substr(equals + 1));

    std::string defaultExpression;
    std::string kindName = "Data";
    if (items.size() > 6) {
        defaultExpression = items.back();
        items.pop_back();
    }
    if (items.size() >= 6)
        kindName = items.back();

    const std::string typeName = items.empty() ? std::string() : items[0];
    const std::optional<TFieldType> type = AcceptedFieldType(typeName);
    if (!type)
        throw EMemTableError("Unknown field type (" + Cp1250ToUtf8(typeName) + ") in CSV file. (" +
                             Cp1250ToUtf8(definition) + ")");
    if (items.size() < 5)
        throw EStringListError("List index out of bounds (" + std::to_string(items.size()) + ")");
    const int size = DefinitionInteger(items[1]);
    const int displayWidth = DefinitionInteger(items[4]);

    TFieldDef def{Cp1250ToUtf8(name), *type, size, Contains(definition, ",REQ")};
    table.FieldDefs.push_back(def);
    TField& field = table.AddField(def.Name, def.DataType, def.Size);
    field.Required = def.Required;
    field.FieldKind = KindFromName(kindName);
    field.DisplayLabel = Cp1250ToUtf8(items[2]);
    field.EditMask = Cp1250ToUtf8(items[3]);
    field.ReadOnly = Contains(definition, ",RO");
    field.DisplayWidth = displayWidth;
    field.DefaultExpression = Cp1250ToUtf8(defaultExpression);
    field.Visible = !Contains(definition, ",INV");
}

void TqorCSVStreamFormat::ReadIndexDefinition(TqorMemTable& table, const std::string& definition)
{
    const std::size_t equals = definition.find('=');
    const std::vector<std::string> items = SplitCommaList(
        equals == std::string::npos ? std::string_view{}
                                    : std::string_view(definition).substr(equals + 1));
    if (items.size() < 2)
        throw EStringListError("List index out of bounds (" + std::to_string(items.size()) + ")");
    TIndexDef def;
    def.Fields = Cp1250ToUtf8(items[0]);
    def.DisplayName = Cp1250ToUtf8(items[1]);
    def.Name = def.DisplayName;
    def.CaseInsensitive = Contains(definition, ",CASE");
    def.NonMaintained = Contains(definition, ",NONMT");
    def.Descending = Contains(definition, ",DESC");
    def.Unique = Contains(definition, ",UNIQ");
    table.IndexDefs.push_back(std::move(def));
}

void TqorCSVStreamFormat::MatchColumns(TqorMemTable& table, TStream&)
{
    if (m_emptyFile)
        return;
    std::vector<std::string> names;
    if (!m_headerLine.empty()) {
        TCsvValueReader values(m_headerLine, CSVQuote, CSVFieldDelimiter);
        bool isNull = false;
        while (values.HasMore())
            names.push_back(Cp1250ToUtf8(values.Next(isNull)));
    } else {
        for (int i = 0; i < table.FieldCount(); ++i)
            names.push_back(table.Fields(i).DisplayName());
    }
    if (names.empty())
        throw EMemTableError("Couldnt determine field count for load.");

    m_columnFields.assign(names.size(), -1);
    for (std::size_t c = 0; c < names.size(); ++c) {
        for (int i = 0; i < table.FieldCount(); ++i) {
            const TField& field = table.Fields(i);
            if (!SameHeaderName(names[c], field.DisplayName()))
                continue;
            if (field.FieldKind == fkData || field.FieldKind == fkInternalCalc)
                m_columnFields[c] = i;
            break;
        }
    }
}

// The value is checked before it is stored, so a value that cannot be read
// leaves the record as it was.
inline void TqorCSVStreamFormat::StoreRecordValue(std::size_t index, const TField& field,
                                                  std::string_view text, int year)
{
    TPackedRecordBuilder& record = m_record;
    switch (field.DataType) {
    case ftString: {
        char* const to = record.TextRoom(MaxUnescapedSize(text.size()));
        const std::string_view value(to, UnescapeTextInto(to, text));
        record.CommitText(index, TStringField::FittedSize(value, field.Size));
        return;
    }
    case ftMemo: {
        char* const to = record.TextRoom(MaxUnescapedSize(text.size()));
        if (const std::size_t size = UnescapeTextInto(to, text))
            record.CommitText(index, size);
        else
            record.SetNull(index);
        return;
    }
    case ftGraphic: {
        const std::string value = DecodeSixBit(text);
        if (value.empty())
            record.SetNull(index);
        else
            record.SetText(index, value);
        return;
    }
    case ftBoolean:
        record.SetBoolean(index, text == CSVTrueString);
        return;
    case ftInteger:
    case ftAutoInc: {
        if (text.empty()) {
            record.SetNull(index);
            return;
        }
        if (const auto n = ShortDecimal(text)) {
            record.SetInteger(index, *n);
            return;
        }
        if (const auto n = ParseIntegerText(text)) {
            record.SetInteger(index, *n);
            return;
        }
        RaiseInvalidInteger(text, field);
    }
    case ftDateTime: {
        if (text.empty()) {
            record.SetNull(index);
            return;
        }
        if (const auto d = ParseFileDateTime(text, year, TimeFormat)) {
            record.SetDate(index, TDateTime{*d});
            return;
        }
        RaiseInvalidDateTime(text);
    }
    default:
        record.SetNull(index);
        return;
    }
}

void TqorCSVStreamFormat::LoadRecords(TqorMemTable& table, TStream&)
{
    if (m_emptyFile)
        return;
    // A file without definitions, or one whose definitions stop before their
    // end, leaves a closed table: that is a failed read even with no records.
    if (!table.Active())
        table.RaiseNamed("Cannot perform this operation on a closed dataset");
    table.ResetAutoIncCounter();
    const int year = CurrentYear ? CurrentYear() : 2000;
    // The field each column is read into; null for a column that is skipped.
    std::vector<const TField*> columnFields;
    for (const int index : m_columnFields) {
        const bool read = index >= 0 && table.Fields(index).FieldKind == fkData;
        columnFields.push_back(read ? &table.Fields(index) : nullptr);
    }
    const std::size_t columns = columnFields.size();
    const auto fieldCount = static_cast<std::size_t>(table.FieldCount());
    for (;;) {
        const std::string_view line = m_lines->ReadLine();
        if (line.empty())
            return;
        table.BeginReadRecord();
        m_record.Reset(fieldCount);
        // A record some field of which was read is kept when a later value
        // fails, as a record being edited is kept when the read ends.
        bool assigned = false;
        try {
            TCsvValueReader values(line, CSVQuote, CSVFieldDelimiter);
            for (std::size_t c = 0; c < columns && values.HasMore(); ++c) {
                bool isNull = false;
                const std::string_view text = values.Next(isNull);
                const TField* field = columnFields[c];
                if (!field)
                    continue;
                const auto index = static_cast<std::size_t>(field->Index());
                if (isNull)
                    m_record.SetNull(index);
                else
                    StoreRecordValue(index, *field, text, year);
                assigned = true;
            }
        } catch (...) {
            if (assigned) {
                try {
                    table.AddReadRecord(m_record.Build());
                } catch (...) {
                    // The value that could not be read is the failure to report.
                }
            }
            throw;
        }
        table.AddReadRecord(m_record.Build());
    }
}
