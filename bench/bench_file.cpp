// Writing and reading the notes file, beside a plain pass over the same bytes
// (the bound a reader could reach).
#include "bench/notes_fixture.h"
#include "table/csv_format.h"
#include "table/file_io.h"
#include "table/stream.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <stdlib.h>

namespace {
class TTempDir {
public:
    TTempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vikora-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        m_path = pattern;
    }
    ~TTempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TqorCSVStreamFormat& Format()
{
    static TqorCSVStreamFormat format;
    return format;
}

struct TNotesFile {
    std::unique_ptr<TqorMemTable> table;
    std::string bytes;  // what SaveToStream writes
    std::string path;  // the same bytes on disk
};

// One table and file per size, made on first use and kept for every benchmark.
const TNotesFile& NotesFile(int n)
{
    static TTempDir dir;
    static std::map<int, TNotesFile> files;
    TNotesFile& file = files[n];
    if (!file.table) {
        file.table = MakeNotesTable(n);
        file.table->DefaultFormat = &Format();
        TStringStream out;
        file.table->SaveToStream(out);
        file.bytes = out.TakeBytes();
        file.path = dir.Path() + "/notes" + std::to_string(n) + ".csv";
        file.table->WriteToFile(file.path);
    }
    return file;
}

void CountBytes(benchmark::State& state, const TNotesFile& file)
{
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes.size()));
    state.counters["file_bytes"] = static_cast<double>(file.bytes.size());
}

void BM_SaveToStream(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TStringStream out;
        file.table->SaveToStream(out);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    CountBytes(state, file);
}

// Includes making the file durable (fsync of the file and its folder).
void BM_WriteToFile(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        file.table->WriteToFile(file.path);
    CountBytes(state, file);
}

// Reads into an open notes table, as the program does at start-up; making and
// freeing the table is not timed.
template <typename ReadFn>
void MeasureRead(benchmark::State& state, const TNotesFile& file, ReadFn read)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto table = MakeEmptyNotesTable();
        table->DefaultFormat = &Format();
        TStringStream in(file.bytes);
        state.ResumeTiming();
        read(*table, in);
        state.PauseTiming();
        if (table->CountRecords() != n)
            state.SkipWithError("the file did not read back whole");
        table.reset();
        state.ResumeTiming();
    }
    CountBytes(state, file);
}

void BM_LoadFromStream(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    MeasureRead(state, file,
                [](TqorMemTable& table, TStringStream& in) { table.LoadFromStream(in); });
}

void BM_ReadFromFile(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    MeasureRead(state, file,
                [&file](TqorMemTable& table, TStringStream&) { table.ReadFromFile(file.path); });
}

// Every CR LF line ends in LF; memchr skips the bytes between in wide steps.
std::int64_t CountLineEnds(const char* begin, const char* end)
{
    std::int64_t lines = 0;
    while (const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin))) {
        ++lines;
        begin = static_cast<const char*>(lf) + 1;
    }
    return lines;
}

// The bound for LoadFromStream: one pass over the bytes in memory.
void BM_PlainPassMemory(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const char* data = file.bytes.data();
        benchmark::DoNotOptimize(CountLineEnds(data, data + file.bytes.size()));
    }
    CountBytes(state, file);
}

// The bound for ReadFromFile: the same file read in the reader's block size.
void BM_PlainPassFile(benchmark::State& state)
{
    const TNotesFile& file = NotesFile(static_cast<int>(state.range(0)));
    char block[8192];
    for (auto _ : state) {
        TFileReader reader(file.path);
        std::int64_t lines = 0;
        while (const std::size_t got = reader.Read(block, sizeof block))
            lines += CountLineEnds(block, block + got);
        benchmark::DoNotOptimize(lines);
    }
    CountBytes(state, file);
}

// Wall-clock time, so that bytes/second includes waiting for the disk.
#define VIKORA_FILE_BENCHMARK(fn)                                                                  \
    BENCHMARK(fn)->ArgName("n")->Arg(100)->Arg(1000)->Arg(100000)->UseRealTime()->Unit(            \
        benchmark::kMillisecond)

VIKORA_FILE_BENCHMARK(BM_SaveToStream);
VIKORA_FILE_BENCHMARK(BM_WriteToFile);
VIKORA_FILE_BENCHMARK(BM_LoadFromStream);
VIKORA_FILE_BENCHMARK(BM_ReadFromFile);
VIKORA_FILE_BENCHMARK(BM_PlainPassMemory);
VIKORA_FILE_BENCHMARK(BM_PlainPassFile);
}  // namespace
