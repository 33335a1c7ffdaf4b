#pragma once

#include <QString>

#include "record/note.h"
#include "seged/beall.h"
#include "table/values.h"

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QWidget;

// The note operations a note window writes through; app/ hands the note
// store in behind this, so the window needs nothing from app/.
class INoteStore {
public:
    virtual ~INoteStore() = default;
    virtual void SaveNotePosition(int az, const TNotePlace& place) = 0;
    virtual void SaveNoteText(int az, const QString& text) = 0;
    virtual void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol) = 0;
    virtual void DeleteNote(int az) = 0;
    virtual void SaveNoteFont(int az, const TFontSpec& font) = 0;
    virtual void SaveNoteColor(int az, std::int32_t color) = 0;
    virtual void SaveNoteAlignment(int az, int alignment) = 0;
};

// What the properties dialog gives back when the user confirms it.
struct TNoteProperties {
    std::int32_t Color = 0;
    TFontSpec Font;
    TDateTime Tol;
    bool Latszik = false;
    int Alignment = 0;
    QString Text;  // as stored (CR LF line ends)
};

// Everything a note window reaches outside notes/. Store must outlive the
// windows; the rest is optional.
struct TNoteWindowHooks {
    INoteStore* Store = nullptr;
    // "Új ablak készítés" of the main form, offered in the note's menu.
    QAction* NewNote = nullptr;
    // Shows the properties dialog of note az; a value when the user confirmed.
    std::function<std::optional<TNoteProperties>(int az, QWidget* owner)> EditProperties;
    // Opens a help window without waiting.
    std::function<void()> ShowHelp;
};
