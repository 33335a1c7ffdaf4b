#include "record/notes_table.h"

#include "table/mem_table.h"

void DefineNoteFields(TqorMemTable& table)
{
    table.AddField("kep", ftGraphic);
    table.AddField("szin", ftInteger);
    table.AddField("left", ftInteger);
    table.AddField("top", ftInteger);
    table.AddField("height", ftInteger);
    table.AddField("width", ftInteger);
    table.AddField("tol", ftDateTime);
    table.AddField("figyelmeztet", ftDateTime);
    table.AddField("latszik", ftBoolean);
    table.AddField("fontname", ftString, 30);
    table.AddField("fontsize", ftInteger);
    table.AddField("fontcolor", ftInteger);
    table.AddField("isbold", ftBoolean);
    table.AddField("isitalic", ftBoolean);
    table.AddField("isunderline", ftBoolean);
    table.AddField("az", ftAutoInc);
    table.AddField("igazit", ftInteger);
    table.AddField("szoveg", ftMemo);
}
