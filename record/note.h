#pragma once

#include "table/values.h"

#include <cstdint>
#include <string>

class TqorMemTable;

// Where a note stands on the desktop and its size, in pixels.
struct TNotePlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend bool operator==(const TNotePlace&, const TNotePlace&) = default;
};

// A note's font as the table holds it: name (UTF-8), size in points, colour
// (0x00BBGGRR) and style.
struct TNoteFont {
    std::string Name;
    int Size = 0;
    std::int32_t Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    friend bool operator==(const TNoteFont&, const TNoteFont&) = default;
};

// One note: a record of the notes table, apart from the fields kept only as
// read (kep, figyelmeztet).
struct TNote {
    int Az = 0;
    TNotePlace Place;
    std::int32_t Color = 0;  // background, 0x00BBGGRR
    TNoteFont Font;
    std::string Text;  // UTF-8, CR LF line ends
    int Alignment = 0;  // 0 left, 1 right, 2 centre
    bool Latszik = false;  // important
    TDateTime Tol;  // shown from this day on

    friend bool operator==(const TNote&, const TNote&) = default;
};

// The note of the table's current record. A null text or font name reads as
// empty and a null place, size, colour or font size as 0; a null identifier,
// style, alignment, flag or date, and a value that does not convert, raise
// the table's conversion error.
TNote ReadNote(const TqorMemTable& table);

// Set the fields of the record being edited or inserted; Post writes them.
// WriteNote sets every field of the note but its identifier (the table gives
// it) and its text (a new note has none until it is saved).
void WriteNote(TqorMemTable& table, const TNote& note);
void WriteNotePlace(TqorMemTable& table, const TNotePlace& place);
void WriteNoteFont(TqorMemTable& table, const TNoteFont& font);
