#pragma once

#include <QByteArray>

// The downloaded catalogue (UTF-8) as the program stores it: the lines joined
// with CR LF and a CR LF after the last, in Windows-1250. A byte-order mark
// at the start is left out. Text that is not well-formed UTF-8 gives the
// empty text.
QByteArray CatalogueTextFromDownload(const QByteArray& download);

// Whether stored catalogue text reads as a table file whose definitions
// include the `programok` field.
bool ReadsAsCatalogue(const QByteArray& text);

// Gives a catalogue table its fields before any file defines them.
class TqorMemTable;
void DefineCatalogueFields(TqorMemTable& table);
