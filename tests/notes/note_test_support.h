#pragma once

// A recording note store and a note window opened with plain values.

#include "notes/ablak.h"
#include "notes/note_actions.h"
#include "seged/beall.h"
#include "seged/globals.h"

#include <QStringList>

class TRecordingStore final : public INoteStore {
public:
    QStringList Calls;

    void SaveNotePosition(int az, int left, int top, int width, int height) override
    {
        Calls << QStringLiteral("position %1 %2 %3 %4 %5")
                     .arg(az)
                     .arg(left)
                     .arg(top)
                     .arg(width)
                     .arg(height);
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

struct TNoteValues {
    bool IsNew = false;
    int az = 7;
    int left = 100;
    int top = 100;
    int width = 200;
    int height = 120;
    std::int32_t szin = 0x0080FFFF;  // light yellow
    TFontSpec font{QStringLiteral("Liberation Sans"), 12, 0x00000000, false, false, false};
    QString szoveg = QStringLiteral("Tej\r\nKenyér");
    int igazit = 2;
    bool latszik = false;
    TDateTime tol{46000.0};
};

inline Tfrm_Ablak* Open(TRecordingStore& store, const TNoteValues& v = {},
                        TNoteWindowHooks hooks = {})
{
    hooks.Store = &store;
    return OpenNoteWindow(hooks, v.IsNew, v.az, v.left, v.top, v.width, v.height, v.szin, v.font,
                          v.szoveg, v.igazit, v.latszik, v.tol);
}

// A work area well inside the offscreen screen.
inline void UseWorkArea()
{
    WorkArea = QRect(0, 0, 1000, 700);
}
