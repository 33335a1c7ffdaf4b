// The catalogue window's refresh: download, check, store, reload.
#include "catalogue/programok.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include "catalogue/catalogue_text.h"
#include "catalogue/download_file.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "table/file_io.h"

#include <exception>

namespace {
const QString DeleteError = QStringLiteral("File törlési hiba.");
const QString DownloadError =
    QStringLiteral("Hiba letöltés közben\r\nKiszolgáló hiba, vagy speciális proxibeállítások");

std::chrono::milliseconds& RefreshPause()
{
    static std::chrono::milliseconds pause{500};
    return pause;
}
}  // namespace

void Tfrm_Programok::SetRefreshPauseForTests(std::chrono::milliseconds pause)
{
    RefreshPause() = pause;
}

QString Tfrm_Programok::TableFile()
{
    return DataFolder + QStringLiteral("/Programok.csv");
}

QString Tfrm_Programok::DownloadFileName()
{
    return DataFolder + QStringLiteral("/Programok.tmp");
}

void Tfrm_Programok::OpenTable()
{
    if (Tbl.Active())
        return;
    // A read that failed part-way may have left the table without fields.
    if (Tbl.FieldCount() == 0) {
        Tbl.FieldDefs.clear();
        DefineCatalogueFields(Tbl);
    }
    Tbl.Open();
}

void Tfrm_Programok::RefreshList()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    const auto finished = qScopeGuard([this] { m_refreshing = false; });

    const QString download = DownloadFileName();
    if (QFileInfo::exists(download) && !QFile::remove(download)) {
        ShowError(DeleteError, this);
        OpenTable();
        return;
    }
    // Nothing may have been saved yet; the download needs the folder.
    EnsureDataFolder();
    if (!DownloadFile(CatalogueUrl(), download, this)) {
        ShowError(DownloadError, this);
        return;
    }
    // The download is checked before the stored catalogue is touched: one
    // that is not UTF-8 or does not read as a catalogue is a failed download.
    QByteArray text;
    try {
        const std::string raw = ReadWholeFile(download.toStdString());
        text = CatalogueTextFromDownload(QByteArray::fromStdString(raw));
    } catch (const std::exception&) {
        text.clear();
    }
    if (!ReadsAsCatalogue(text)) {
        ShowError(DownloadError, this);
        return;
    }
    try {
        WriteFileAtomically(
            TableFile().toStdString(),
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()), this);
        OpenTable();
        return;
    }
    if (RefreshPause().count() > 0)
        QThread::msleep(static_cast<unsigned long>(RefreshPause().count()));
    OpenTable();
    Tbl.ReadFromFile(TableFile().toStdString());
    ShowInfo(QStringLiteral("Lista frissítése kész."), this);
}
