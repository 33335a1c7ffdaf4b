#pragma once

// A private data folder, recorded message boxes and opened addresses for the
// catalogue window's tests.

#include "catalogue/download_file.h"
#include "catalogue/programok.h"
#include "catalogue_fixture.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

class TCatalogueWindowFixture {
public:
    TCatalogueWindowFixture()
    {
        using namespace std::chrono_literals;
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir.path() + "/data").toUtf8());
        ResolveGlobals(m_dir.path() + "/bin/vikora", QRect(0, 0, 1024, 768));
        SetMessageBoxAnswerer([this](const TMessageBoxRequest& request) {
            Boxes << request.Caption + ": " + request.Text;
            return QMessageBox::Ok;
        });
        SetDownloadTimeoutForTests(1500ms);
        Tfrm_Programok::SetRefreshPauseForTests(0ms);
    }
    ~TCatalogueWindowFixture()
    {
        SetMessageBoxAnswerer({});
        SetDownloadTimeoutForTests(std::chrono::milliseconds{0});
        qunsetenv("VIKORA_CATALOGUE_URL");
    }

    // The boxes shown, as "caption: text".
    QStringList Boxes;
    QStringList Opened;

    static void UseAddress(const QString& address)
    {
        qputenv("VIKORA_CATALOGUE_URL", address.toUtf8());
    }

    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(DataFolder);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void StoreCatalogue(const std::vector<TCatalogueRow>& rows)
    {
        WriteFile(Tfrm_Programok::TableFile(), CatalogueTextFromDownload(CatalogueDownload(rows)));
    }

    std::unique_ptr<Tfrm_Programok> Open(bool* catalogueOpen = nullptr)
    {
        TProgramokHooks hooks;
        hooks.CatalogueOpen = catalogueOpen;
        hooks.LaunchAddress = [this](const QString& address) { Opened << address; };
        return std::make_unique<Tfrm_Programok>(hooks);
    }

    // The names in the grid, top to bottom.
    static QStringList Names(const Tfrm_Programok& form)
    {
        QStringList names;
        const TDBGridModel& model = *form.DBGrid1->GridModel();
        for (int row = 0; row < model.rowCount(); ++row)
            names << model.FieldText(row, QStringLiteral("programok"));
        return names;
    }

private:
    QTemporaryDir m_dir;
};

inline const QString DownloadErrorBox = QStringLiteral(
    "Hiba: Hiba letöltés közben\r\nKiszolgáló hiba, vagy speciális proxibeállítások");
inline const QString RefreshDoneBox = QStringLiteral("Üzenet: Lista frissítése kész.");
