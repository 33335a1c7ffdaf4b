#pragma once

#include "table/csv_record_reader.h"

#include <string_view>

class TqorMemTable;

// Reads the record lines into the table. A file of many lines is read in
// parts at once, one on each core; the records still go into the table in
// file order, and a failure is the first one in file order, with what came
// before it kept, as a read of one line after another gives. The byte just
// after lines must be readable and a line end.
void ReadRecordLines(const TCsvRecordLayout& layout, std::string_view lines, TqorMemTable& table);
