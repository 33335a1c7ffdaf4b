#include "app/edits_at_exit.h"

#include "app/note_store.h"
#include "notes/ablak.h"

#include <QApplication>
#include <QPointer>

void KeepTextsBeingEdited(TNoteStore& store)
{
    QList<QPointer<Tfrm_Ablak>> notes;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* note = qobject_cast<Tfrm_Ablak*>(window))
            notes.append(note);
    for (const QPointer<Tfrm_Ablak>& note : notes) {
        if (!note)
            continue;
        if (const std::optional<QString> text = note->UnsavedEdit()) {
            store.KeepNoteText(note->az, *text);
            note->TakeStoredText(*text);
        }
    }
}
