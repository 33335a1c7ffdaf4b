#include "catalogue/catalogue_text.h"

#include "seged/utf8_to_text.h"
#include "table/csv_format.h"
#include "table/mem_table.h"
#include "table/stream.h"

#include <QList>

#include <exception>

QByteArray CatalogueTextFromDownload(const QByteArray& download)
{
    QByteArray text = download;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    // Line ends as a list of lines reads them: CR LF, LF or CR alone.
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    text.replace("\n", "\r\n");
    return Utf8ToText(text);
}

bool ReadsAsCatalogue(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    TqorMemTable table("Tbl");
    TqorCSVStreamFormat format;
    table.DefaultFormat = &format;
    // A placeholder: only a file that defines its own fields replaces it.
    table.AddField("-", ftString, 1);
    try {
        table.Open();
        TStringStream stream(text.toStdString());
        table.LoadFromStream(stream);
    } catch (const std::exception&) {
        return false;
    }
    return table.FindField("programok") != nullptr;
}

void DefineCatalogueFields(TqorMemTable& table)
{
    table.AddField("programok", ftString, 50);
    table.AddField("rovid", ftString, 255);
    table.AddField("link", ftString, 255);
    table.AddField("kategoria", ftString, 25);
    table.AddField("ingyenes", ftString, 1).DisplayWidth = 1;
}
