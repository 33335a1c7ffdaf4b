#pragma once

#include "table/datetime_text.h"
#include "table/packed_record.h"
#include "table/values.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Where the records read from a file go, one line after another.
class TRecordSink {
public:
    virtual ~TRecordSink() = default;
    // Called before each line is read.
    virtual void BeginRecord() = 0;
    virtual void AddRecord(TPackedRecord record) = 0;
    // The record of a line that failed after a field of it was read; the
    // line's failure is thrown after it.
    virtual void AddPartRecord(TPackedRecord record) = 0;
};

// How one column of the file is read: into the field at index, of the type
// and size, or not at all.
struct TCsvColumn {
    bool read = false;
    std::size_t index = 0;
    TFieldType type = ftUnknown;
    int size = 0;
    std::string name;  // the field's name, for errors
};

struct TCsvRecordLayout {
    char quote = '"';
    char delimiter = ',';
    std::string trueText;
    int year = 2000;  // of a date written without one
    TTimeFormat timeFormat;
    std::size_t fieldCount = 0;
    std::vector<TCsvColumn> columns;
};

// Reads the record lines of a table file. A line is the run of bytes before
// the first CR, LF or NUL, so lines are read independently of each other and
// a file may be read in parts at once.
class TCsvRecordReader {
public:
    explicit TCsvRecordReader(const TCsvRecordLayout& layout) : m_layout(layout) { }

    // Reads every line of bytes into sink. The byte just after bytes must be
    // readable and a line end.
    void ReadLines(std::string_view bytes, TRecordSink& sink);

private:
    class TMarks;
    const char* ReadLine(const char* p, TMarks& marks, TRecordSink& sink);
    const char* ReadValues(const char* p, TMarks& marks, bool& assigned);
    const char* Undoubled(const char* p, TMarks& marks);
    void StoreString(const TCsvColumn& column, std::string_view text);
    void StoreMemo(const TCsvColumn& column, std::string_view text);
    void StoreGraphic(const TCsvColumn& column, std::string_view text);
    void StoreOtherInteger(const TCsvColumn& column, std::string_view text);
    void StoreDate(const TCsvColumn& column, std::string_view text);

    const TCsvRecordLayout& m_layout;
    TPackedRecordBuilder m_record;  // the record being read
    std::string m_undoubled;  // a quoted value with doubled quotes, undoubled
};
