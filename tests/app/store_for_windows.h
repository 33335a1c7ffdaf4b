#pragma once

// The note windows' view of the note store, as the program wires it.

#include "app/note_store.h"
#include "notes/note_actions.h"

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
