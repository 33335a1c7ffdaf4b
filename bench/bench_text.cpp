// The per-value codecs of the table file over the values of realistic notes:
// the reader decodes each text with UnescapeTextInto, the writer escapes it and
// doubles its quotes; date-times and pictures have text forms of their own.

#include <benchmark/benchmark.h>

#include "bench/notes_fixture.h"
#include "table/byte_search.h"
#include "table/datetime_text.h"
#include "table/int_text.h"
#include "table/sixbit.h"
#include "table/text_escape.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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
            benchmark::DoNotOptimize(DoubleQuotes(out.data(), end, Quote));
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

// The date-times of the notes: a day, and one in three with a time of day.
static std::vector<double> NoteDateTimes()
{
    std::vector<double> values;
    for (int i = 0; i < NoteCount; ++i) {
        for (const TValue& value : NoteValues(i)) {
            if (const auto* dateTime = std::get_if<TDateTime>(&value))
                values.push_back(dateTime->value);
        }
    }
    return values;
}

static void BM_AppendFileDateTime(benchmark::State& state)
{
    const std::vector<double> values = NoteDateTimes();
    std::string out;
    for (auto _ : state) {
        for (const double value : values) {
            out.clear();
            AppendFileDateTime(out, value);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_AppendFileDateTime);

static void BM_ParseFileDateTime(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (const double value : NoteDateTimes())
        texts.push_back(FormatFileDateTime(value));
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(ParseFileDateTime(text, 2026));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_ParseFileDateTime);

// The two forms apart: a day alone, and a day with a time of day.
static void ParseDateTimesOfShape(benchmark::State& state, bool withTime)
{
    std::vector<std::string> texts;
    for (const double value : NoteDateTimes()) {
        std::string text = FormatFileDateTime(value);
        if ((text.size() > 10) == withTime)
            texts.push_back(std::move(text));
    }
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(ParseFileDateTime(text, 2026));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

static void BM_ParseFileDate(benchmark::State& state)
{
    ParseDateTimesOfShape(state, false);
}
BENCHMARK(BM_ParseFileDate);

static void BM_ParseFileDateWithTime(benchmark::State& state)
{
    ParseDateTimesOfShape(state, true);
}
BENCHMARK(BM_ParseFileDateWithTime);

// The integers of the notes as the file writes them: mostly one to three
// digits, and a seven-digit colour.
static void BM_ReadShortDecimal(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (int i = 0; i < NoteCount; ++i) {
        for (const TValue& value : NoteValues(i)) {
            if (const auto* integer = std::get_if<std::int32_t>(&value))
                texts.push_back(IntegerToText(*integer));
        }
    }
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(ReadShortDecimal(text));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_ReadShortDecimal);

static void BM_ReadShortDecimalSevenDigits(benchmark::State& state)
{
    std::vector<std::string> texts;
    texts.reserve(NoteCount);
    for (int i = 0; i < NoteCount; ++i)
        texts.push_back(IntegerToText(std::get<std::int32_t>(NoteValues(i)[1])));
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(ReadShortDecimal(text));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_ReadShortDecimalSevenDigits);

// The pictures of the notes that have one.
static std::vector<std::string> NotePictures()
{
    std::vector<std::string> pictures;
    for (int i = 0; i < NoteCount; i += 20)
        pictures.push_back(std::get<std::string>(NoteValues(i).front()));
    return pictures;
}

static void BM_WriteSixBit(benchmark::State& state)
{
    const std::vector<std::string> pictures = NotePictures();
    std::string out(SixBitSize(LongestSize(pictures)), '\0');
    for (auto _ : state) {
        for (const std::string& picture : pictures)
            benchmark::DoNotOptimize(WriteSixBit(out.data(), picture));
        benchmark::ClobberMemory();
    }
    Report(state, pictures);
}
BENCHMARK(BM_WriteSixBit);

static void BM_DecodeSixBit(benchmark::State& state)
{
    std::vector<std::string> encoded;
    for (const std::string& picture : NotePictures())
        encoded.push_back(EncodeSixBit(picture));
    for (auto _ : state) {
        for (const std::string& chars : encoded)
            benchmark::DoNotOptimize(DecodeSixBit(chars));
    }
    Report(state, encoded);
}
BENCHMARK(BM_DecodeSixBit);
