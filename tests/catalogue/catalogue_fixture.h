#pragma once

// Catalogue files as the maker's server sends them: a table file in UTF-8.

#include "catalogue/catalogue_text.h"
#include "table/cp1250.h"
#include "table/csv_format.h"
#include "table/mem_table.h"
#include "table/stream.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct TCatalogueRow {
    QString programok;
    QString kategoria;
    QString rovid;
    QString link;
    QString ingyenes;
    QString leiras;
};

inline QByteArray CatalogueDownload(const std::vector<TCatalogueRow>& rows)
{
    TqorMemTable table("Tbl");
    TqorCSVStreamFormat format;
    table.DefaultFormat = &format;
    DefineCatalogueFields(table);
    table.AddField("leiras", ftMemo);
    table.Open();
    for (const TCatalogueRow& row : rows) {
        table.AddAtEnd();
        const auto set = [&table](const char* name, const QString& value) {
            if (!value.isEmpty())
                table.SetValue(name, TValue{value.toStdString()});
        };
        set("programok", row.programok);
        set("kategoria", row.kategoria);
        set("rovid", row.rovid);
        set("link", row.link);
        set("ingyenes", row.ingyenes);
        set("leiras", row.leiras);
        table.Post();
    }
    TStringStream stream;
    table.SaveToStream(stream);
    return QByteArray::fromStdString(Cp1250ToUtf8(stream.Bytes()));
}

inline std::vector<TCatalogueRow> SampleCatalogue()
{
    return {
        {QStringLiteral("Vikora"), QStringLiteral("Iroda"), QStringLiteral("Emlékeztető cetlik"),
         QStringLiteral("https://www.zamolin.example/vikora"), QStringLiteral("I"),
         QStringLiteral("Öt űrlap és ötven őzike")},
        {QStringLiteral("Árvíztűrő"), QStringLiteral("Játék"), QStringLiteral("Tükörfúrógép"),
         QStringLiteral("https://www.zamolin.example/arviz"), QString(), QString()},
        {QStringLiteral("Betű"), QStringLiteral("Eszköz"), QStringLiteral("Kis betűk"),
         QStringLiteral("http://www.zamolin.example/betu"), QStringLiteral("i"), QString()},
    };
}
