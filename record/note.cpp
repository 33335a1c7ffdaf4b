#include "record/note.h"

#include "record/field_values.h"
#include "record/notes_table.h"
#include "table/mem_table.h"

TNote ReadNote(const TqorMemTable& table)
{
    // In this order: of several bad values, the first one read is reported.
    TNote note;
    note.Az = ValueToInt(table.GetValue(NoteField::az));
    note.Font.Name = NullToText(table.GetValue(NoteField::fontname), std::string());
    note.Font.Size = NullToInt(table.GetValue(NoteField::fontsize), 0);
    note.Font.Color = NullToInt(table.GetValue(NoteField::fontcolor), 0);
    note.Font.Bold = ValueToBool(table.GetValue(NoteField::isbold));
    note.Font.Italic = ValueToBool(table.GetValue(NoteField::isitalic));
    note.Font.Underline = ValueToBool(table.GetValue(NoteField::isunderline));
    note.Place.Top = NullToInt(table.GetValue(NoteField::top), 0);
    note.Place.Width = NullToInt(table.GetValue(NoteField::width), 0);
    note.Place.Height = NullToInt(table.GetValue(NoteField::height), 0);
    note.Color = NullToInt(table.GetValue(NoteField::szin), 0);
    note.Place.Left = NullToInt(table.GetValue(NoteField::left), 0);
    note.Text = NullToText(table.GetValue(NoteField::szoveg), std::string());
    note.Alignment = ValueToInt(table.GetValue(NoteField::igazit));
    note.Latszik = ValueToBool(table.GetValue(NoteField::latszik));
    note.Tol = ValueToDate(table.GetValue(NoteField::tol));
    return note;
}

void WriteNotePlace(TqorMemTable& table, const TNotePlace& place)
{
    table.SetValue(NoteField::left, place.Left);
    table.SetValue(NoteField::top, place.Top);
    table.SetValue(NoteField::width, place.Width);
    table.SetValue(NoteField::height, place.Height);
}

void WriteNoteFont(TqorMemTable& table, const TNoteFont& font)
{
    table.SetValue(NoteField::fontname, font.Name);
    table.SetValue(NoteField::fontsize, font.Size);
    table.SetValue(NoteField::fontcolor, font.Color);
    table.SetValue(NoteField::isbold, font.Bold);
    table.SetValue(NoteField::isitalic, font.Italic);
    table.SetValue(NoteField::isunderline, font.Underline);
}

void WriteNote(TqorMemTable& table, const TNote& note)
{
    table.SetValue(NoteField::szin, note.Color);
    WriteNotePlace(table, note.Place);
    table.SetValue(NoteField::tol, note.Tol);
    table.SetValue(NoteField::latszik, note.Latszik);
    WriteNoteFont(table, note.Font);
    table.SetValue(NoteField::igazit, note.Alignment);
}
