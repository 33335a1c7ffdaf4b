// Reading a CSV table file into a table.
#include "table/csv_format.h"

#include "table/cp1250.h"
#include "table/csv_line_reader.h"
#include "table/csv_record_parts.h"
#include "table/int_text.h"
#include "table/mem_table.h"

#include <algorithm>
#include <exception>
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

void TqorCSVStreamFormat::LoadRecords(TqorMemTable& table, TStream&)
{
    if (m_emptyFile)
        return;
    // A file without definitions, or one whose definitions stop before their
    // end, leaves a closed table: that is a failed read even with no records.
    if (!table.Active())
        table.RaiseNamed("Cannot perform this operation on a closed dataset");
    table.ResetAutoIncCounter();
    TCsvRecordLayout layout;
    layout.quote = CSVQuote;
    layout.delimiter = CSVFieldDelimiter;
    layout.trueText = CSVTrueString;
    layout.year = CurrentYear ? CurrentYear() : 2000;
    layout.timeFormat = TimeFormat;
    layout.fieldCount = static_cast<std::size_t>(table.FieldCount());
    for (const int index : m_columnFields) {
        TCsvColumn& column = layout.columns.emplace_back();
        if (index < 0 || table.Fields(index).FieldKind != fkData)
            continue;
        const TField& field = table.Fields(index);
        column.read = true;
        column.index = static_cast<std::size_t>(index);
        column.type = field.DataType;
        column.size = field.Size;
        column.name = field.DisplayName();
    }
    // A file large enough to be read in parts is taken in runs of many
    // lines; a smaller one a block at a time.
    if (PartCount(m_lines->SizeLeft()) > 1) {
        constexpr std::size_t RunSize = std::size_t{4} << 20;
        std::exception_ptr failure;
        for (;;) {
            const std::string_view lines = m_lines->ReadWholeLines(RunSize, failure);
            if (lines.empty() && !failure)
                return;
            ReadRecordLinesInParts(layout, lines, PartCount(lines.size()), table);
            if (failure)
                std::rethrow_exception(failure);
        }
    }
    TCsvRecordReader reader(layout);
    TTableSink sink(table);
    for (;;) {
        const std::string_view line = m_lines->ReadLine();
        if (line.empty())
            return;
        reader.ReadLines(line, sink);
    }
}
