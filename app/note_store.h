#pragma once

#include <QString>
#include <QStringList>

#include "notes/note_actions.h"
#include "record/note.h"
#include "seged/beall.h"
#include "table/values.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QTimer;
class QWidget;
class TDataSource;
class TqorMemTable;
class Tfrm_Tulajdonsag;

// Opens the window of one note; the note window plugs in here. A new note
// opens in edit mode.
using TOpenNoteWindow = std::function<void(const TNote& note, bool IsNew)>;

// The operations through which every change to a note reaches the notes
// table, and the one place that writes the table file.
class TNoteStore {
public:
    TNoteStore(TqorMemTable& table, QString tableFile, TOpenNoteWindow openNoteWindow,
               QWidget* errorOwner = nullptr);
    ~TNoteStore();
    TNoteStore(const TNoteStore&) = delete;
    TNoteStore& operator=(const TNoteStore&) = delete;

    // Every change to the table writes the table file at most this long
    // after it; the changes made meanwhile go with the same write
    // (milliseconds; tests shorten it).
    static constexpr int DefaultWriteDelay = 2000;
    void SetWriteDelay(int milliseconds);
    // True while a debounced write waits for its time.
    bool WritePending() const;

    // "Új ablak készítés": a new note with the defaults, its window in edit mode.
    void aUjExecute();
    // Opens the table, reads the table file when there is one and opens the
    // window of every due note.
    void LoadNotes();
    void OpenNoteIfDue(int az);

    void SaveNotePosition(int az, const TNotePlace& place);
    void SaveNoteText(int az, const QString& text);
    // The text of a note still edited in place when the program ends: into
    // the table only, for the exit's own write to take to the file.
    void KeepNoteText(int az, const QString& text);
    void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol);
    void DeleteNote(int az);
    void SaveNoteFont(int az, const TFontSpec& font);
    void SaveNoteColor(int az, std::int32_t color);
    void SaveNoteAlignment(int az, int alignment);

    // Writes the whole table to the table file, replacing it in one step.
    // A properties dialog still open is cancelled first and the changes
    // waiting for it are applied, so that the file holds them.
    void WriteTableFile();

    // The exit's write. An exit the user started (sessionEnds false) throws
    // as WriteTableFile does and may be retried. At the end of the session
    // changes that cannot be written to the table file are written to a
    // rescue copy instead (see WriteRescueCopy) and nothing is thrown: the
    // process ends either way. A table file that could not be read is never
    // written; changes go to a rescue copy on every exit.
    void WriteAtExit(bool sessionEnds);
    // Writes the table beside the table file as Vikora.csv.unsaved-STAMP or,
    // when that fails, into the user's cache folder; returns the file
    // written. Throws when neither can be written.
    QString WriteRescueCopy();
    // The rescue copies that earlier exits left, beside the table file and
    // in the cache folder; the start-up tells the user about them.
    QStringList RescueCopies() const;
    void TellAboutRescueCopies();
    // The user's cache folder for rescue copies ($XDG_CACHE_HOME/Vikora).
    static QString RescueFolder();

    // The properties dialog of note az, with the table held for it: until
    // it closes, the changes above wait and are then applied in the order
    // they came. A value when the user confirmed. Only one dialog at a
    // time; a second call while one is open does nothing.
    std::optional<TNoteProperties> EditProperties(TDataSource& source, int az,
                                                  std::function<void()> showHelp = {});
    bool TableHeld() const { return m_held; }

    const QString& TableFile() const { return m_tableFile; }
    // True after the table file failed to read, until its bytes are kept
    // under another name before the first write.
    bool TableFileDamaged() const { return m_tableFileDamaged; }
    // True when the table file exists but could not be opened for reading
    // (permissions): it is never written over.
    bool TableFileUnreadable() const { return m_tableFileUnreadable; }
    // True while a change has not reached the table file.
    bool HasUnwrittenChanges() const { return m_unwritten; }

private:
    void ScheduleWrite();
    void WriteInBackground();
    void ChangeNote(int az, const std::function<void()>& setFields);
    void KeepDamagedTableFile();
    // True when the table is held: the change is kept to be applied later.
    bool Waits(std::function<void()> change);
    void LetGoOfTable();
    void ApplyWaitingChanges();

    TqorMemTable& Tbl;
    QString m_tableFile;
    TOpenNoteWindow m_openNoteWindow;
    QWidget* m_errorOwner;
    bool m_tableFileDamaged = false;
    bool m_tableFileUnreadable = false;
    bool m_loaded = false;
    bool m_unwritten = false;
    bool m_reporting = false;
    // The last failure of a write: a background write reports a failure
    // only when its cause differs, not once every two seconds.
    QString m_lastWriteFailure;
    std::unique_ptr<QTimer> m_writeTimer;
    bool m_held = false;
    Tfrm_Tulajdonsag* m_holder = nullptr;
    std::deque<std::function<void()>> m_waiting;
};
