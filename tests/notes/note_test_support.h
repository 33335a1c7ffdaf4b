#pragma once

// A recording note store and a note window opened from a note record.

#include "notes/ablak.h"
#include "notes/note_actions.h"
#include "record/note.h"
#include "seged/beall.h"
#include "seged/globals.h"
#include "seged/note_font.h"

#include <QStringList>

class TRecordingStore final : public INoteStore {
public:
    QStringList Calls;

    void SaveNotePosition(int az, const TNotePlace& place) override
    {
        Calls << QStringLiteral("position %1 %2 %3 %4 %5")
                     .arg(az)
                     .arg(place.Left)
                     .arg(place.Top)
                     .arg(place.Width)
                     .arg(place.Height);
    }
    void SaveNoteText(int az, const QString& text) override
    {
        Calls << QStringLiteral("text %1 ").arg(az) +
                     QString(text).replace("\r", "\\r").replace("\n", "\\n");
    }
    void SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol) override
    {
        Calls << QStringLiteral("flag %1 %2 %3").arg(az).arg(latszik).arg(tol.value);
    }
    void DeleteNote(int az) override { Calls << QStringLiteral("delete %1").arg(az); }
    void SaveNoteFont(int az, const TFontSpec& font) override
    {
        Calls << QStringLiteral("font %1 %2 %3 %4")
                     .arg(az)
                     .arg(font.Name)
                     .arg(font.Size)
                     .arg(font.Color);
    }
    void SaveNoteColor(int az, std::int32_t color) override
    {
        Calls << QStringLiteral("color %1 %2").arg(az).arg(color);
    }
    void SaveNoteAlignment(int az, int alignment) override
    {
        Calls << QStringLiteral("alignment %1 %2").arg(az).arg(alignment);
    }
};

// The note the window tests open unless they say otherwise.
inline TNote SampleNote()
{
    TNote note;
    note.Az = 7;
    note.Place = TNotePlace{100, 100, 200, 120};
    note.Color = 0x0080FFFF;  // light yellow
    note.Font = TNoteFont{"Liberation Sans", 12, 0x00000000, false, false, false};
    note.Text = "Tej\r\nKenyér";
    note.Alignment = 2;
    note.Latszik = false;
    note.Tol = TDateTime{46000.0};
    return note;
}

inline Tfrm_Ablak* Open(TRecordingStore& store, const TNote& note = SampleNote(),
                        TNoteWindowHooks hooks = {}, bool isNew = false)
{
    hooks.Store = &store;
    return OpenNoteWindow(hooks, note, isNew);
}

// A work area well inside the offscreen screen.
inline void UseWorkArea()
{
    WorkArea = QRect(0, 0, 1000, 700);
}
