#pragma once

class TqorMemTable;

// The names of the notes table's fields, as the table file spells them.
namespace NoteField {
inline constexpr const char* kep = "kep";  // picture, kept as read
inline constexpr const char* szin = "szin";  // background colour, 0x00BBGGRR
inline constexpr const char* left = "left";
inline constexpr const char* top = "top";
inline constexpr const char* height = "height";
inline constexpr const char* width = "width";
inline constexpr const char* tol = "tol";  // shown from this day on
inline constexpr const char* figyelmeztet = "figyelmeztet";  // kept as read
inline constexpr const char* latszik = "latszik";  // important
inline constexpr const char* fontname = "fontname";
inline constexpr const char* fontsize = "fontsize";
inline constexpr const char* fontcolor = "fontcolor";
inline constexpr const char* isbold = "isbold";
inline constexpr const char* isitalic = "isitalic";
inline constexpr const char* isunderline = "isunderline";
inline constexpr const char* az = "az";  // the identifier
inline constexpr const char* igazit = "igazit";  // alignment: 0 left, 1 right, 2 centre
inline constexpr const char* szoveg = "szoveg";  // the text, CR LF line ends
}  // namespace NoteField

// The longest font name the table holds (characters).
inline constexpr int FontNameSize = 30;

// Gives the notes table its fields, in the order the table file lists them.
// Plain C++ (library vikora_notes_record), so tests, benchmarks and fuzz
// targets build the same table as the program.
void DefineNoteFields(TqorMemTable& table);
