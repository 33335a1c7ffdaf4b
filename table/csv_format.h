#pragma once

#include "table/datetime_text.h"
#include "table/packed_record.h"
#include "table/stream_format.h"
#include "table/values.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TField;
class TCsvLineReader;
class TWriteBlock;

// The CSV table file: a version line, a definitions section, a header line
// and one line per record. The file holds Windows-1250 bytes; text in memory
// is UTF-8.
class TqorCSVStreamFormat : public TqorCustomStreamFormat {
public:
    TqorCSVStreamFormat();
    ~TqorCSVStreamFormat() override;

    char CSVQuote = '"';
    char CSVFieldDelimiter = ',';
    char CSVRecordDelimiter = ',';
    std::string CSVTrueString = "True";
    std::string CSVFalseString = "False";
    // The user's long time format, used for the time of a date-time value.
    TTimeFormat TimeFormat;
    // The year of a date written without one; the current year by default.
    std::function<int()> CurrentYear;

    void BeforeSave(TqorMemTable& table, TStream& stream) override;
    void SaveDefinitions(TqorMemTable& table, TStream& stream) override;
    void SaveRecords(TqorMemTable& table, TStream& stream) override;
    void AfterSave(TqorMemTable& table, TStream& stream) override;

    void BeforeLoad(TqorMemTable& table, TStream& stream) override;
    void LoadDefinitions(TqorMemTable& table, TStream& stream) override;
    void MatchColumns(TqorMemTable& table, TStream& stream) override;
    void LoadRecords(TqorMemTable& table, TStream& stream) override;
    void AfterLoad(TqorMemTable& table, TStream& stream) override;

private:
    std::string Quote(std::string_view text) const;
    std::string FieldDefinitionLine(const TField& field) const;
    void ReadFieldDefinition(TqorMemTable& table, const std::string& line);
    void ReadIndexDefinition(TqorMemTable& table, const std::string& line);
    // Writes records begin to end at out; stream, when given, takes each block
    // gathered, and on a failure every record before the one that failed.
    void WriteRecords(TWriteBlock& out, std::string& scratch, const TqorMemTable& table,
                      const std::vector<const TField*>& fields, int begin, int end,
                      TStream* stream) const;
    // scratch holds a value's text on its way; each writer keeps its own.
    void WriteRecordValue(TWriteBlock& out, std::string& scratch, const TField& field,
                          const TPackedRecord& record, std::size_t index) const;
    bool QuoteInIntegers() const;
    char* OpenQuoted(TWriteBlock& out, std::size_t size) const;
    void CloseQuoted(TWriteBlock& out, char* text, char* end) const;
    void WriteQuoted(TWriteBlock& out, std::string_view text) const;
    void AppendQuoted(std::string& line, std::string_view text) const;
    void CloseQuote(std::string& line, std::size_t textStart) const;

    // State of one read or write.
    std::vector<int> m_writtenFields;
    std::string m_quotedTrue;  // CSVTrueString as written, quotes and all
    std::string m_quotedFalse;
    bool m_quoteInIntegers = false;
    std::unique_ptr<TCsvLineReader> m_lines;
    std::string m_headerLine;
    bool m_emptyFile = false;
    std::vector<int> m_columnFields;
};
