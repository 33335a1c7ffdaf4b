// Editing, searching and sorting the notes table.
#include "bench/notes_fixture.h"
#include "record/notes_table.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
std::vector<std::vector<TValue>> ManyNoteValues(int first, int count)
{
    std::vector<std::vector<TValue>> notes;
    notes.reserve(static_cast<std::size_t>(count));
    for (int i = first; i < first + count; ++i)
        notes.push_back(NoteValues(i));
    return notes;
}

// AddAtEnd, a value for every field and Post, n times into an empty table.
void BM_InsertPost(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto notes = ManyNoteValues(0, n);
    for (auto _ : state) {
        state.PauseTiming();
        auto table = MakeEmptyNotesTable();
        state.ResumeTiming();
        for (const auto& values : notes) {
            table->AddAtEnd();
            SetNoteValues(*table, values);
            table->Post();
        }
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_InsertPost)->ArgName("n")->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The worst cases of a search by az: the last record, and no record at all.
void BM_FindByValue(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const bool missing = state.range(1) != 0;
    const auto table = MakeNotesTable(n);
    const TValue wanted = std::int32_t(missing ? n : n - 1);
    for (auto _ : state) {
        if (table->FindByValue(NoteField::az, wanted) == missing) {
            state.SkipWithError("search gave the wrong answer");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FindByValue)
    ->ArgNames({"n", "missing"})
    ->ArgsProduct({{1000, 100000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Sorting by the accented titles, from the row order each time.
void BM_ApplySort(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto table = MakeNotesTable(n);
    for (auto _ : state) {
        state.PauseTiming();
        table->SortFields.clear();
        table->ApplySort();
        table->SortFields = NoteField::fontname;
        state.ResumeTiming();
        table->ApplySort();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ApplySort)->ArgName("n")->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Posts new notes one by one into a table of n notes that was just sorted:
// each takes its place in the sort order without a new sort. Between rounds
// the new notes are deleted and the table sorted again, untimed. With
// sorted=0 the same happens in row order, for comparison.
void BM_PostIntoSorted(benchmark::State& state)
{
    constexpr int PerRound = 100;
    const int n = static_cast<int>(state.range(0));
    const auto table = MakeNotesTable(n);
    if (state.range(1) != 0)
        table->SortFields = NoteField::fontname;
    const auto notes = ManyNoteValues(n, PerRound);
    std::vector<TValue> posted;
    for (auto _ : state) {
        state.PauseTiming();
        for (const TValue& az : posted) {
            table->FindByValue(NoteField::az, az);
            table->Delete();
        }
        posted.clear();
        table->ApplySort();
        state.ResumeTiming();
        for (const auto& values : notes) {
            table->AddAtEnd();
            SetNoteValues(*table, values);
            table->Post();
            posted.push_back(table->GetValue(NoteField::az));
        }
    }
    state.SetItemsProcessed(state.iterations() * PerRound);
    state.counters["per_post"] = benchmark::Counter(
        PerRound, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// Fixed rounds: the untimed sort between rounds would otherwise take minutes.
BENCHMARK(BM_PostIntoSorted)
    ->ArgNames({"n", "sorted"})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostIntoSorted)
    ->ArgNames({"n", "sorted"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Iterations(10)
    ->Unit(benchmark::kMicrosecond);
}  // namespace
