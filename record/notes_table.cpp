#include "record/notes_table.h"

#include "table/mem_table.h"

void DefineNoteFields(TqorMemTable& table)
{
    table.AddField(NoteField::kep, ftGraphic);
    table.AddField(NoteField::szin, ftInteger);
    table.AddField(NoteField::left, ftInteger);
    table.AddField(NoteField::top, ftInteger);
    table.AddField(NoteField::height, ftInteger);
    table.AddField(NoteField::width, ftInteger);
    table.AddField(NoteField::tol, ftDateTime);
    table.AddField(NoteField::figyelmeztet, ftDateTime);
    table.AddField(NoteField::latszik, ftBoolean);
    table.AddField(NoteField::fontname, ftString, FontNameSize);
    table.AddField(NoteField::fontsize, ftInteger);
    table.AddField(NoteField::fontcolor, ftInteger);
    table.AddField(NoteField::isbold, ftBoolean);
    table.AddField(NoteField::isitalic, ftBoolean);
    table.AddField(NoteField::isunderline, ftBoolean);
    table.AddField(NoteField::az, ftAutoInc);
    table.AddField(NoteField::igazit, ftInteger);
    table.AddField(NoteField::szoveg, ftMemo);
}
