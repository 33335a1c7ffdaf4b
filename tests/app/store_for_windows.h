#pragma once

// The note windows' view of the note store, as the program wires it, and a
// test fixture around it.

#include "app/note_store.h"
#include "notes/ablak.h"
#include "notes/note_actions.h"
#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/mem_table.h"

#include <QDateTime>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class StoreForWindows final : public INoteStore {
public:
    explicit StoreForWindows(TNoteStore& store) : m_store(store) { }
    void SaveNotePosition(int az, const TNotePlace& place) override
    {
        m_store.SaveNotePosition(az, place);
    }
    void SaveNoteText(int az, const QString& text) override { m_store.SaveNoteText(az, text); }
    void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol) override
    {
        m_store.SaveNoteFlagAndDate(az, latszik, tol);
    }
    void DeleteNote(int az) override { m_store.DeleteNote(az); }
    void SaveNoteFont(int az, const TFontSpec& font) override { m_store.SaveNoteFont(az, font); }
    void SaveNoteColor(int az, std::int32_t color) override { m_store.SaveNoteColor(az, color); }
    void SaveNoteAlignment(int az, int alignment) override
    {
        m_store.SaveNoteAlignment(az, alignment);
    }

private:
    TNoteStore& m_store;
};

// A note store over an empty notes table in a private home, with note
// windows wired as the program wires them; the clock at 2026-12-10 10:30,
// every message box answered OK, the defaults of a fresh settings file.
// A test derives from it and calls StartStore in init, StopStore in cleanup.
class TStoreWithWindowsTest : public QObject {
protected:
    using TOnOpen = std::function<void(const TNote& note, bool isNew)>;

    // False when no temporary folder could be made. Opening a note calls
    // onOpen, or opens its window when onOpen is empty.
    bool StartStore(const TOnOpen& onOpen = {})
    {
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid())
            return false;
        qputenv("HOME", m_dir->path().toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir->path() + "/data").toUtf8());
        ResolveGlobals(m_dir->path() + "/bin/vikora", QRect(0, 0, 1024, 768));
        SetClockForTests([] { return QDateTime(QDate(2026, 12, 10), QTime(10, 30)); });
        SetMessageBoxAnswerer([](const TMessageBoxRequest&) { return QMessageBox::Ok; });
        Beall = TBeall{};
        Beall.Font = TFontSpec{QStringLiteral("Liberation Sans"), 12, 0, false, false, false};
        m_windows.clear();

        m_table = std::make_unique<TqorMemTable>("Tbl");
        DefineNoteFields(*m_table);
        m_table->DefaultFormat = &m_format;
        m_source = std::make_unique<TDataSource>(m_table.get());
        m_store = std::make_unique<TNoteStore>(*m_table, NotesFile(),
                                               [this, onOpen](const TNote& note, bool isNew) {
                                                   if (onOpen)
                                                       onOpen(note, isNew);
                                                   else
                                                       AddWindow(note, isNew);
                                               });
        m_windowsStore = std::make_unique<StoreForWindows>(*m_store);
        m_hooks = {};
        m_hooks.Store = m_windowsStore.get();
        m_hooks.EditProperties = [this](int az, QWidget*) {
            return m_store->EditProperties(*m_source, az);
        };
        m_store->LoadNotes();
        return true;
    }

    void StopStore()
    {
        for (const QPointer<Tfrm_Ablak>& window : m_windows)
            delete window.data();
        SetPropertiesRunnerForTests({});
        SetClockForTests({});
        SetMessageBoxAnswerer({});
        m_store.reset();
        m_source.reset();
        m_table.reset();
    }

    void AddWindow(const TNote& note, bool isNew)
    {
        m_windows << OpenNoteWindow(m_hooks, note, isNew);
    }

    QString NotesFile() const { return DataFolder + QStringLiteral("/Vikora.csv"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqorMemTable> m_table;
    std::unique_ptr<TDataSource> m_source;
    TqorCSVStreamFormat m_format;
    std::unique_ptr<TNoteStore> m_store;
    std::unique_ptr<StoreForWindows> m_windowsStore;
    TNoteWindowHooks m_hooks;
    QList<QPointer<Tfrm_Ablak>> m_windows;
};
