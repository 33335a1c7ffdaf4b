#pragma once

// Helpers shared by the table engine's tests: the notes table's field list,
// a readable form of values and of the error an operation raises.

#include "failure_text.h"
#include "record/notes_table.h"
#include "table/errors.h"
#include "table/mem_table.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <string>

Q_DECLARE_METATYPE(TValue)

// The fields of the notes table, in their order.
inline void AddNoteFields(TqorMemTable& table)
{
    DefineNoteFields(table);
}

// "null", or the value's kind and its text, e.g. int(5), str(alma).
inline QString ValueText(const TValue& value)
{
    if (IsNull(value))
        return "null";
    if (const auto* s = std::get_if<std::string>(&value))
        return "str(" + QString::fromStdString(*s) + ")";
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return QString("int(%1)").arg(*n);
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? "bool(true)" : "bool(false)";
    return QString("date(%1)").arg(std::get<TDateTime>(value).value);
}

// One field's values in the current order, read without moving the cursor.
inline QStringList Column(const TqorMemTable& table, const std::string& fieldName)
{
    const int index = table.GetField(fieldName).Index();
    QStringList values;
    for (int i = 0; i < table.CountRecords(); ++i) {
        const TValue v = table.RecordValue(i, index);
        values << (IsNull(v) ? QString("null")
                             : QString::fromStdString(table.Fields(index).ToText(v)));
    }
    return values;
}

// Adds a record at the end with the given text values and stores it.
inline void AddRecord(TqorMemTable& table,
                      std::initializer_list<std::pair<const char*, TValue>> values)
{
    table.AddAtEnd();
    for (const auto& [name, value] : values)
        table.SetValue(name, value);
    table.Post();
}

// "<exception class> | <message>" of what fn raises, or "no error".
inline QString FailureOf(const std::function<void()>& fn)
{
    return FailureText(fn, " | ");
}
