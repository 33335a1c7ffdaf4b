#include "table/stream_format.h"

#include "table/mem_table.h"

void TqorCustomStreamFormat::BeforeSave(TqorMemTable& table, TStream&)
{
    table.DisableControls();
    table.SetSaving(true);
}

void TqorCustomStreamFormat::AfterSave(TqorMemTable& table, TStream&)
{
    table.SetSaving(false);
    table.EnableControls();
}

void TqorCustomStreamFormat::BeforeLoad(TqorMemTable& table, TStream&)
{
    table.DisableControls();
    table.BeginLoad();
}

void TqorCustomStreamFormat::AfterLoad(TqorMemTable& table, TStream&)
{
    // Controls are released even when ending the read fails.
    struct Release {
        TqorMemTable& t;
        ~Release() { t.EnableControls(); }
    } release{table};
    table.EndLoad();
}
