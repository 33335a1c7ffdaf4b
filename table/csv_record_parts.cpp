#include "table/csv_record_parts.h"

#include "table/csv_line_reader.h"
#include "table/mem_table.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Below these a part is not worth a thread of its own.
constexpr std::size_t MinPartSize = 64 * 1024;
constexpr std::size_t MinPartRecords = 256;
constexpr std::size_t MaxParts = 8;

// A part read on a thread of its own, kept until the parts before it are in
// the table.
struct TPart {
    std::string_view lines;
    std::vector<TPackedRecord> records;
    std::optional<TPackedRecord> partRecord;
    std::exception_ptr failure;
};

class TPartSink : public TRecordSink {
public:
    explicit TPartSink(TPart& part) : m_part(part) { }
    void BeginRecord() override { }
    void AddRecord(TPackedRecord record) override { m_part.records.push_back(std::move(record)); }
    void AddPartRecord(TPackedRecord record) override { m_part.partRecord = std::move(record); }

private:
    TPart& m_part;
};

void ReadPart(const TCsvRecordLayout& layout, TPart& part)
{
    try {
        TCsvRecordReader reader(layout);
        TPartSink sink(part);
        reader.ReadLines(part.lines, sink);
    } catch (...) {
        part.failure = std::current_exception();
    }
}

// Adds a part's records as a read of its lines into the table would have.
void AddPart(TPart& part, TqorMemTable& table)
{
    for (TPackedRecord& record : part.records) {
        table.BeginReadRecord();
        table.AddReadRecord(std::move(record));
    }
    if (!part.failure)
        return;
    table.BeginReadRecord();
    if (part.partRecord) {
        try {
            table.AddReadRecord(std::move(*part.partRecord));
        } catch (...) {
            // The line's own failure is the one to report.
        }
    }
    std::rethrow_exception(part.failure);
}

// At most one part a core; the cores are counted once, and only for a file
// large enough to be read in parts, as counting them reads a system file.
std::size_t Parts(std::size_t wanted)
{
    if (wanted < 2)
        return 1;
    static const std::size_t most =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), MaxParts);
    return std::min(wanted, most);
}

// Cuts lines into about count parts at line ends: a line is never split, and
// each part but the last ends just before a line end.
std::vector<std::string_view> CutAtLineEnds(std::string_view lines, std::size_t count)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t k = 1; k < count; ++k) {
        std::size_t cut = std::max(start, lines.size() / count * k);
        while (cut < lines.size() && !IsCsvLineEnd(lines[cut]))
            ++cut;
        if (cut >= lines.size())
            break;
        parts.push_back(lines.substr(start, cut - start));
        start = cut;
    }
    parts.push_back(lines.substr(start));
    return parts;
}

}  // namespace

void TTableSink::BeginRecord()
{
    m_table.BeginReadRecord();
}

void TTableSink::AddRecord(TPackedRecord record)
{
    m_table.AddReadRecord(std::move(record));
}

void TTableSink::AddPartRecord(TPackedRecord record)
{
    m_table.AddReadRecord(std::move(record));
}

std::size_t PartCount(std::size_t size)
{
    return Parts(size / MinPartSize);
}

std::size_t WritePartCount(std::size_t count)
{
    return Parts(count / MinPartRecords);
}

void ReadRecordLinesInParts(const TCsvRecordLayout& layout, std::string_view lines,
                            std::size_t count, TqorMemTable& table)
{
    TTableSink tableSink(table);
    const std::vector<std::string_view> cuts = CutAtLineEnds(lines, count);
    std::vector<TPart> parts(cuts.size() - 1);
    for (std::size_t k = 0; k < parts.size(); ++k)
        parts[k].lines = cuts[k + 1];
    std::vector<std::function<void()>> tasks;
    tasks.reserve(parts.size());
    for (TPart& part : parts)
        tasks.emplace_back([&layout, &part] { ReadPart(layout, part); });
    const std::vector<bool> ran =
        RunAlongside(tasks, [&] { TCsvRecordReader(layout).ReadLines(cuts.front(), tableSink); });
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (ran[k])
            AddPart(parts[k], table);
        else
            TCsvRecordReader(layout).ReadLines(parts[k].lines, tableSink);
    }
}

std::vector<bool> RunAlongside(const std::vector<std::function<void()>>& tasks,
                               const std::function<void()>& here)
{
    std::vector<bool> ran(tasks.size(), false);
    // Joined when they go, also when here throws.
    std::vector<std::jthread> threads;
    threads.reserve(tasks.size());
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        try {
            threads.emplace_back(tasks[k]);
            ran[k] = true;
        } catch (const std::system_error&) {
            break;
        }
    }
    here();
    return ran;
}
