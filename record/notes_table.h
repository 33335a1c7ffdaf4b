#pragma once

class TqorMemTable;

// Gives the notes table its fields, in the order the table file lists them.
// Plain C++ (library vikora_notes_record), so tests, benchmarks and fuzz
// targets build the same table as the program.
void DefineNoteFields(TqorMemTable& table);
