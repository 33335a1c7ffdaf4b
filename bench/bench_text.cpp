// The per-value codecs of the table file, over the string values of realistic
// notes: the reader decodes each with UnescapeTextInto, the writer escapes it
// and doubles its quotes.

#include <benchmark/benchmark.h>

#include "bench/notes_fixture.h"
#include "table/byte_search.h"
#include "table/text_escape.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace {
constexpr int NoteCount = 1000;
constexpr char Quote = '"';

// The title and the text of each note, as UTF-8.
std::vector<std::string> NoteTexts()
{
    std::vector<std::string> texts;
    for (int i = 0; i < NoteCount; ++i) {
        texts.push_back(NoteTitle(i));
        texts.push_back(std::get<std::string>(NoteValues(i).back()));
    }
    return texts;
}

std::size_t LongestSize(const std::vector<std::string>& texts)
{
    std::size_t longest = 0;
    for (const std::string& text : texts)
        longest = std::max(longest, text.size());
    return longest;
}

void Report(benchmark::State& state, const std::vector<std::string>& texts)
{
    std::size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += text.size();
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// The writer's quote doubling before the fused function: in place, from the end.
char* DoubleQuotesInPlace(char* begin, char* end, char quote)
{
    const char* first = FindByte(begin, end, quote);
    if (first == end)
        return end;
    std::size_t quotes = 0;
    for (const char* p = first; p != end; ++p)
        quotes += *p == quote ? 1 : 0;
    char* to = end + quotes;
    char* const newEnd = to;
    for (char* from = end; from != first;) {
        *--to = *--from;
        if (*from == quote)
            *--to = quote;
    }
    return newEnd;
}
}  // namespace

static void BM_UnescapeTextInto(benchmark::State& state)
{
    std::vector<std::string> escaped;
    for (const std::string& text : NoteTexts())
        escaped.push_back(EscapeText(text));
    std::string out(MaxUnescapedSize(LongestSize(escaped)), '\0');
    for (auto _ : state) {
        for (const std::string& text : escaped)
            benchmark::DoNotOptimize(UnescapeTextInto(out.data(), text));
        benchmark::ClobberMemory();
    }
    Report(state, escaped);
}
BENCHMARK(BM_UnescapeTextInto);

static void BM_WriteEscapedText(benchmark::State& state)
{
    const std::vector<std::string> texts = NoteTexts();
    std::string out(MaxEscapedSize(LongestSize(texts)), '\0');
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(WriteEscapedText(out.data(), text));
        benchmark::ClobberMemory();
    }
    Report(state, texts);
}
BENCHMARK(BM_WriteEscapedText);

static void BM_EscapeThenDoubleQuotes(benchmark::State& state)
{
    const std::vector<std::string> texts = NoteTexts();
    std::string out(2 * MaxEscapedSize(LongestSize(texts)), '\0');
    for (auto _ : state) {
        for (const std::string& text : texts) {
            char* const end = WriteEscapedText(out.data(), text);
            benchmark::DoNotOptimize(DoubleQuotesInPlace(out.data(), end, Quote));
        }
        benchmark::ClobberMemory();
    }
    Report(state, texts);
}
BENCHMARK(BM_EscapeThenDoubleQuotes);

static void BM_WriteEscapedQuotedText(benchmark::State& state)
{
    const std::vector<std::string> texts = NoteTexts();
    std::string out(2 * MaxEscapedSize(LongestSize(texts)), '\0');
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(WriteEscapedQuotedText(out.data(), text, Quote));
        benchmark::ClobberMemory();
    }
    Report(state, texts);
}
BENCHMARK(BM_WriteEscapedQuotedText);
