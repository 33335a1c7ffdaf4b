#pragma once

// Fixtures of the CSV table file tests: the notes and catalogue tables, a
// table read from or written to bytes in memory, and readable forms of the
// records and of the error an operation raises.

#include "failure_text.h"
#include "record/notes_table.h"
#include "table/csv_format.h"
#include "table/datetime_text.h"
#include "table/errors.h"
#include "table/mem_table.h"
#include "table/stream.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

// A stream that gives its bytes a piece at a time and fails with EReadError
// once failAt bytes are given.
class TPieceStream : public TStream {
public:
    TPieceStream(std::string bytes, std::size_t piece, std::size_t failAt = std::string::npos)
        : m_bytes(std::move(bytes)), m_piece(piece), m_failAt(failAt)
    { }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        if (m_pos == m_failAt)
            throw EReadError("Read error at byte " + std::to_string(m_pos));
        const std::size_t n = std::min({size, m_piece, m_bytes.size() - m_pos, m_failAt - m_pos});
        std::memcpy(buffer, m_bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    void Write(std::string_view) override { }
    std::size_t SizeHint() const override { return m_bytes.size() - m_pos; }

private:
    std::string m_bytes;
    std::size_t m_piece;
    std::size_t m_failAt;
    std::size_t m_pos = 0;
};

// The notes table's fields, in file order.
inline void AddNotesFields(TqorMemTable& table)
{
    DefineNoteFields(table);
}

// The catalogue table's fields with their display labels.
inline void AddCatalogueFields(TqorMemTable& table)
{
    table.AddField("programok", ftString, 50).DisplayLabel = "Program neve";
    table.AddField("rovid", ftString, 255).DisplayLabel = "Leírás";
    table.AddField("link", ftString, 255).DisplayLabel = "Link";
    table.AddField("kategoria", ftString, 25).DisplayLabel = "Kategória";
    TField& ingyenes = table.AddField("ingyenes", ftString, 1);
    ingyenes.DisplayLabel = "Ingyenes?";
    ingyenes.DisplayWidth = 1;
}

inline QByteArray SaveTable(TqorMemTable& table)
{
    TStringStream stream;
    table.SaveToStream(stream);
    return QByteArray::fromStdString(stream.Bytes());
}

inline void LoadTable(TqorMemTable& table, const QByteArray& bytes)
{
    TStringStream stream(bytes.toStdString());
    table.LoadFromStream(stream);
}

inline QString DateTimeText(double value)
{
    int y, m, d, h, min, s, ms;
    DecodeDateTime(value, y, m, d, h, min, s, ms);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, min, s, ms);
}

// null, a quoted text, a number, True/False or "yyyy-mm-dd hh:mm:ss.zzz".
inline QString ValueText(const TValue& value)
{
    if (IsNull(value))
        return "null";
    if (const auto* s = std::get_if<std::string>(&value))
        return '"' + QString::fromStdString(*s) + '"';
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return QString::number(*n);
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? "True" : "False";
    return DateTimeText(std::get<TDateTime>(value).value);
}

// Every record in the current order as "value | value | ...", of the named
// fields or of all fields; none for a closed table.
inline QStringList Rows(const TqorMemTable& table, std::initializer_list<const char*> fields = {})
{
    if (!table.Active())
        return {};
    std::vector<int> columns;
    for (const char* name : fields)
        columns.push_back(table.GetField(name).Index());
    if (columns.empty()) {
        for (int i = 0; i < table.FieldCount(); ++i)
            columns.push_back(i);
    }
    QStringList rows;
    for (int r = 0; r < table.CountRecords(); ++r) {
        QStringList values;
        for (int c : columns)
            values << ValueText(table.RecordValue(r, c));
        rows << values.join(" | ");
    }
    return rows;
}

// The field list as "name:Type:size".
inline QStringList FieldList(const TqorMemTable& table)
{
    QStringList fields;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields(i);
        fields << QString("%1:%2:%3")
                      .arg(QString::fromStdString(field.FieldName), FieldTypeName(field.DataType))
                      .arg(field.Size);
    }
    return fields;
}

// "<exception class>: <message>" of what fn raises, or "no error".
inline QString FailureOf(const std::function<void()>& fn)
{
    return FailureText(fn, ": ");
}

// CR LF after every line, as the writer ends them.
inline QByteArray CrLfLines(std::initializer_list<QByteArray> lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}
