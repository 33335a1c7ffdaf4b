#pragma once

#include "app/seged/beall.h"
#include "notes/note_actions.h"
#include "table/values.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class QWidget;
class TDataSource;
class TqorMemTable;
class Tfrm_Tulajdonsag;

// Opens the window of one note; the note window plugs in here.
using TOpenNoteWindow = std::function<void(
    bool IsNew, int az, int left, int top, int width, int height, std::int32_t color,
    const TFontSpec& font, const QString& text, int alignment, bool latszik, TDateTime tol)>;

// The operations through which every change to a note reaches the notes
// table, and the one place that writes the table file.
class TNoteStore {
public:
    TNoteStore(TqorMemTable& table, QString tableFile, TOpenNoteWindow openNoteWindow,
               QWidget* errorOwner = nullptr);

    // "Új ablak készítés": a new note with the defaults, its window in edit mode.
    void aUjExecute();
    // Opens the table, reads the table file when there is one and opens the
    // window of every due note.
    void LoadNotes();
    void OpenNoteIfDue(int az);

    void SaveNotePosition(int az, int left, int top, int width, int height);
    void SaveNoteText(int az, const QString& text);
    void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol);
    void DeleteNote(int az);
    void SaveNoteFont(int az, const TFontSpec& font);
    void SaveNoteColor(int az, std::int32_t color);
    void SaveNoteAlignment(int az, int alignment);

    // Writes the whole table to the table file, replacing it in one step.
    // A properties dialog still open is cancelled first and the changes
    // waiting for it are applied, so that the file holds them.
    void WriteTableFile();

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

private:
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
    bool m_held = false;
    Tfrm_Tulajdonsag* m_holder = nullptr;
    std::deque<std::function<void()>> m_waiting;
};
