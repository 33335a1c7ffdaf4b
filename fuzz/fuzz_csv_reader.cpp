// Reads arbitrary bytes as a CSV table file. The table may refuse them with an
// exception; a crash, a sanitizer report, a hang or a leak is a fault. A table
// that was read must write out into a file that reads back.
#include "record/notes_table.h"
#include "table/csv_format.h"
#include "table/mem_table.h"
#include "table/stream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {
// A date read without a year takes the current one; a fixed year keeps a
// finding reproducible next year too.
void UseFixedYear(TqorCSVStreamFormat& format)
{
    format.CurrentYear = [] { return 2010; };
}

bool Read(TqorMemTable& table, const std::string& bytes)
{
    TqorCSVStreamFormat format;
    UseFixedYear(format);
    table.DefaultFormat = &format;
    TStringStream stream(bytes);
    try {
        table.LoadFromStream(stream);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Making a table loads the user's locale, which costs more than reading most
// inputs; the tables are made once and emptied before each use instead.
void Reset(TqorMemTable& table)
{
    table.Close();
    table.ClearFields();
    table.FieldDefs.clear();
    table.IndexDefs.clear();
    table.SortFields.clear();
    table.SortOptions.clear();
}

TqorMemTable& ReadBackTable()
{
    static TqorMemTable table;
    Reset(table);
    return table;
}

[[noreturn]] void Fail(const char* what, const std::string& detail, const std::string& file)
{
    std::fprintf(stderr, "%s: %s\n--- file written ---\n%s\n---\n", what, detail.c_str(),
                 file.c_str());
    std::abort();
}

bool WritesAnyField(const TqorMemTable& table)
{
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TFieldKind kind = table.Fields(i).FieldKind;
        if (kind == fkData || kind == fkInternalCalc)
            return true;
    }
    return false;
}

// Writes the table and reads the result into a table without fields: the
// writer must produce a file its own reader accepts.
void CheckWriteBack(TqorMemTable& table)
{
    if (!table.Active())
        return;  // a definitions section without its end leaves the table closed
    // With no field of a written kind the writer refuses the table.
    if (!WritesAnyField(table))
        return;
    TqorCSVStreamFormat format;
    UseFixedYear(format);
    table.DefaultFormat = &format;
    TStringStream written;
    try {
        table.SaveToStream(written);
    } catch (const std::exception& e) {
        Fail("writing a table that was read failed", e.what(), written.Bytes());
    }
    TqorMemTable& again = ReadBackTable();
    again.DefaultFormat = &format;
    TStringStream stream(written.Bytes());
    try {
        again.LoadFromStream(stream);
    } catch (const std::exception& e) {
        Fail("reading back what the writer wrote failed", e.what(), written.Bytes());
    }
}

void ReadAndWriteBack(TqorMemTable& table, const std::string& bytes)
{
    if (Read(table, bytes))
        CheckWriteBack(table);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The collation of sorts and searches is the user's; pin the one the
    // program is used with.
    setenv("LC_ALL", "hu_HU.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    static TqorMemTable table;

    // The notes table as the program opens it before reading its file.
    Reset(table);
    DefineNoteFields(table);
    table.Open();
    ReadAndWriteBack(table, bytes);

    // A table that is read while sorted keeps its sort and rebuilds it.
    Reset(table);
    DefineNoteFields(table);
    table.Open();
    table.SortFields = NoteField::fontname;
    table.ApplySort();
    ReadAndWriteBack(table, bytes);

    // A closed table without fields takes them from the file.
    Reset(table);
    ReadAndWriteBack(table, bytes);
    return 0;
}
