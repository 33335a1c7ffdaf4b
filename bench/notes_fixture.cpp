#include "bench/notes_fixture.h"

#include "record/notes_table.h"

#include <array>
#include <cstdint>

namespace {
constexpr std::array<const char*, 16> Words = {
    "árvíztűrő", "tükörfúrógép", "Ödön",   "Éva",   "őszi",     "Ülés",  "zöld",   "Ágnes",
    "csütörtök", "Öntözés",      "ügyfél", "Zsófi", "határidő", "Ünnep", "számla", "Őrs"};

constexpr std::array<const char*, 4> Texts = {
    "Bevásárlás: kenyér, tej, tojás\r\nFelhívni Évát a születésnapja miatt",
    "Ügyfél-találkozó a Kőrösi úton\r\nHozni: szerződés, számlák, pendrive",
    "Fogorvos csütörtökön 14:30-kor\r\nElőtte gyógyszertár (receptek!)",
    "Őszi gumicsere időpontja\r\nHatáridő: október vége, 100% biztos"};

// A fixed scramble of i, so neighbouring notes differ in every field.
std::uint32_t Scramble(int i)
{
    std::uint32_t x = static_cast<std::uint32_t>(i) * 2654435761u;
    x ^= x >> 15;
    return x * 2246822519u;
}

std::string PictureBytes(int i)
{
    std::string bytes(256, '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<char>(Scramble(i + static_cast<int>(k)) >> 24);
    return bytes;
}
}  // namespace

std::string NoteTitle(int i)
{
    const std::uint32_t h = Scramble(i);
    return std::string(Words[h % Words.size()]) + ' ' + Words[(h >> 8) % Words.size()] + ' ' +
           std::to_string(h % 100000);
}

std::vector<TValue> NoteValues(int i)
{
    const std::uint32_t h = Scramble(i);
    const double day = 40250.0 + i % 400;  // spring 2010 onwards
    // One note in twenty has a picture; two in three have no reminder time.
    return {
        i % 20 == 0 ? TValue{PictureBytes(i)} : TValue{},  // kep
        std::int32_t(8421631 + static_cast<std::int32_t>(h % 4096)),  // szin
        std::int32_t(300 + i % 500),  // left
        std::int32_t(75 + i % 300),  // top
        std::int32_t(100),  // height
        std::int32_t(330),  // width
        TDateTime{day},  // tol
        i % 3 == 0 ? TValue{TDateTime{day + (9 + i % 10) / 24.0}} : TValue{},  // figyelmeztet
        i % 7 == 0,  // latszik
        NoteTitle(i),  // fontname
        std::int32_t(10),  // fontsize
        std::int32_t(0),  // fontcolor
        i % 5 == 0,  // isbold
        false,  // isitalic
        false,  // isunderline
        TValue{},  // az
        std::int32_t(2),  // igazit
        std::string(Texts[h % Texts.size()]) + " #" + std::to_string(i),  // szoveg
    };
}

void SetNoteValues(TqorMemTable& table, const std::vector<TValue>& values)
{
    for (int f = 0; f < table.FieldCount(); ++f) {
        const TField& field = table.Fields(f);
        if (field.DataType != ftAutoInc)
            table.SetValue(field.FieldName, values[static_cast<std::size_t>(f)]);
    }
}

std::unique_ptr<TqorMemTable> MakeEmptyNotesTable()
{
    auto table = std::make_unique<TqorMemTable>("Tbl");
    DefineNoteFields(*table);
    table->Open();
    return table;
}

std::unique_ptr<TqorMemTable> MakeNotesTable(int count)
{
    auto table = MakeEmptyNotesTable();
    for (int i = 0; i < count; ++i) {
        table->AddAtEnd();
        SetNoteValues(*table, NoteValues(i));
        table->Post();
    }
    return table;
}
