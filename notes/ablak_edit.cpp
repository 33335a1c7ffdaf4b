// Edit mode, the clipboard, closing and deleting.
#include "notes/ablak.h"

#include "seged/editor_text.h"
#include "seged/message_boxes.h"
#include "seged/note_format.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>

void Tfrm_Ablak::aSzerkesztExecute()
{
    if (EditMode())
        return;
    ShowImportantMarker(false);
    aAtmeretez->trigger();
    SetHeight(m_geometry.height() + EditModeExtraHeight);
    EnsureMemo();
    Memo1->show();
    Memo1->raise();
    Memo1->setFocus();
    m_dragging = false;
    EnsureToolBar();
    CoolBar1->show();
    LayoutParts();
    ScheduleMask();
}

void Tfrm_Ablak::aElmentExecute()
{
    if (EditMode()) {
        const QString stored = EditorText(*Memo1);
        // A failed file write leaves the note in edit mode: the error report
        // takes over from here.
        m_hooks.Store->SaveNoteText(az, stored);
        m_text = stored;
        Label1->setText(StoredToShown(stored));
        LeaveEditMode();
    }
    m_dragging = false;
    ShowImportantMarker(true);
    if (CoolBar1)
        CoolBar1->hide();
    LayoutParts();
}

void Tfrm_Ablak::aMegsemExecute()
{
    if (EditMode()) {
        // The next edit starts from the stored text.
        SetEditorText(*Memo1, m_text);
        LeaveEditMode();
    }
    m_dragging = false;
    ShowImportantMarker(true);
    if (CoolBar1)
        CoolBar1->hide();
    LayoutParts();
}

std::optional<QString> Tfrm_Ablak::UnsavedEdit() const
{
    if (!EditMode())
        return std::nullopt;
    QString text = EditorText(*Memo1);
    if (text == m_text)
        return std::nullopt;
    return text;
}

void Tfrm_Ablak::TakeStoredText(const QString& text)
{
    m_text = text;
    Label1->setText(StoredToShown(text));
}

void Tfrm_Ablak::LeaveEditMode()
{
    Memo1->lower();
    Memo1->hide();
    SetFrame(false);
    SetHeight(m_geometry.height() - EditModeExtraHeight);
}

void Tfrm_Ablak::aKivagExecute()
{
    if (EditMode())
        Memo1->cut();
    m_dragging = false;
}

void Tfrm_Ablak::aMasolExecute()
{
    if (EditMode())
        Memo1->copy();
    m_dragging = false;
}

void Tfrm_Ablak::aBeillesztExecute()
{
    if (EditMode())
        Memo1->paste();
    m_dragging = false;
}

void Tfrm_Ablak::aMindetKijelolExecute()
{
    if (EditMode())
        Memo1->selectAll();
    m_dragging = false;
}

void Tfrm_Ablak::aBezarExecute()
{
    if (!EditMode())
        close();
}

void Tfrm_Ablak::aTorolExecute()
{
    if (EditMode())
        return;
    ++m_standardDialogs;
    const bool yes = AskYesNo(QStringLiteral("Valóban töröljem az ablakot?"),
                              QStringLiteral("Megerősítés"), this);
    --m_standardDialogs;
    if (!yes)
        return;
    m_hooks.Store->DeleteNote(az);
    close();
}
