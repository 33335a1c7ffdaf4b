#pragma once

class TqorMemTable;

// Gives the notes table its fields, in the order the table file lists them.
void DefineNoteFields(TqorMemTable& table);
