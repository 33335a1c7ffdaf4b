#pragma once

// Notes tables of any size with realistic, deterministic content.

#include "table/mem_table.h"

#include <memory>
#include <string>
#include <vector>

// A title with Hungarian accents that sorts in no relation to i (the string
// field the sort benchmarks order by).
std::string NoteTitle(int i);

// The values of note i, one for each field in field order; az is null, as
// the table assigns it.
std::vector<TValue> NoteValues(int i);

// Sets every field but az of the record being inserted.
void SetNoteValues(TqorMemTable& table, const std::vector<TValue>& values);

// An open notes table with no records.
std::unique_ptr<TqorMemTable> MakeEmptyNotesTable();

// An open notes table holding notes 0 to count - 1.
std::unique_ptr<TqorMemTable> MakeNotesTable(int count);
