#pragma once

#include "table/csv_record_reader.h"

#include <functional>
#include <string_view>
#include <vector>

class TqorMemTable;

// Adds the records read to the table as they come.
class TTableSink : public TRecordSink {
public:
    explicit TTableSink(TqorMemTable& table) : m_table(table) { }
    void BeginRecord() override;
    void AddRecord(TPackedRecord record) override;
    void AddPartRecord(TPackedRecord record) override;

private:
    TqorMemTable& m_table;
};

// How many parts record lines of the size are best read in at once: one per
// core, each large enough to be worth a thread.
std::size_t PartCount(std::size_t size);

// Runs each task on a thread of its own while here runs on this one, and
// waits for them all, also when here throws. Returns whether each task ran:
// a thread that cannot be started leaves its task, and the ones after it,
// to the caller.
std::vector<bool> RunAlongside(const std::vector<std::function<void()>>& tasks,
                               const std::function<void()>& here);

// How many parts count records are best written in at once, alike.
std::size_t WritePartCount(std::size_t count);

// Reads the record lines into the table in about count parts at once, each on
// a thread of its own. The records still go into the table in file order,
// and a failure is the first one in file order, with what came before it
// kept, as a read of one line after another gives. The byte just after lines
// must be readable and a line end.
void ReadRecordLinesInParts(const TCsvRecordLayout& layout, std::string_view lines,
                            std::size_t count, TqorMemTable& table);
