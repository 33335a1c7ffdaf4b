// Font, colours, alignment, the importance flag, the visible-from date, the
// properties dialog and help.
#include "notes/ablak.h"

#include "notes/datumbe.h"
#include "seged/clock.h"
#include "seged/editor_text.h"
#include "seged/font_dialog.h"
#include "seged/note_format.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <cmath>

void Tfrm_Ablak::SetText(const QString& stored)
{
    m_text = stored;
    Label1->setText(StoredToShown(stored));
    if (Memo1)
        SetEditorText(*Memo1, stored);
    ScheduleMask();
}

void Tfrm_Ablak::SetAlignment(int igazit)
{
    m_igazit = igazit;
    const Qt::Alignment horizontal = HorizontalAlignment(igazit);
    Label1->setAlignment(horizontal | Qt::AlignVCenter);
    if (Memo1) {
        QTextOption option = Memo1->document()->defaultTextOption();
        option.setAlignment(horizontal);
        Memo1->document()->setDefaultTextOption(option);
    }
    ScheduleMask();
}

void Tfrm_Ablak::SetNoteFont(const TFontSpec& font, const QFont& shown)
{
    m_font = font;
    m_shownFont = shown;
    ApplyColors();
    ApplyFont();
}

void Tfrm_Ablak::SetNoteColor(std::int32_t color)
{
    // The key colour stays what it was at creation.
    m_color = color;
    ApplyColors();
}

void Tfrm_Ablak::CloseIfAfterToday(TDateTime date)
{
    if (std::floor(date.value) > Today().value)
        close();
}

void Tfrm_Ablak::aBetutipusExecute()
{
    // The dialog starts from the font as shown, strike-out included; the
    // strike-out stays with the window and is never stored.
    TFontSpec font = m_font;
    bool strikeOut = m_shownFont.strikeOut();
    ++m_standardDialogs;
    const bool chosen = ChooseFont(this, font, &strikeOut);
    --m_standardDialogs;
    if (chosen) {
        QFont shown = FontFromSpec(font);
        shown.setStrikeOut(strikeOut);
        SetNoteFont(font, shown);
        m_hooks.Store->SaveNoteFont(az, m_font);
    }
    m_dragging = false;
}

void Tfrm_Ablak::aHatterszinExecute()
{
    std::int32_t color = m_color;
    ++m_standardDialogs;
    const bool chosen = ChooseColor(this, color);
    --m_standardDialogs;
    if (chosen) {
        SetNoteColor(color);
        m_hooks.Store->SaveNoteColor(az, color);
    }
    m_dragging = false;
}

void Tfrm_Ablak::aBalraExecute()
{
    SetAlignment(0);
    m_hooks.Store->SaveNoteAlignment(az, 0);
    m_dragging = false;
}

void Tfrm_Ablak::aKozepreExecute()
{
    SetAlignment(2);
    m_hooks.Store->SaveNoteAlignment(az, 2);
    m_dragging = false;
}

void Tfrm_Ablak::aJobbraExecute()
{
    SetAlignment(1);
    m_hooks.Store->SaveNoteAlignment(az, 1);
    m_dragging = false;
}

void Tfrm_Ablak::aFontosExecute()
{
    latszik = !latszik;
    m_hooks.Store->SaveNoteFlagAndDate(az, latszik, tol);
    ShowImportantMarker(latszik);
}

void Tfrm_Ablak::aDatumtolExecute()
{
    TDateTime date = tol;
    if (!AskDate(date, QString()))
        return;
    tol = date;
    m_hooks.Store->SaveNoteFlagAndDate(az, latszik, tol);
    CloseIfAfterToday(tol);
}

void Tfrm_Ablak::aTulajdonsagExecute()
{
    std::optional<TNoteProperties> changed;
    if (m_hooks.EditProperties)
        changed = m_hooks.EditProperties(az, this);
    if (changed) {
        m_color = changed->Color;
        // Strike-out is not stored: what the note shows stays until the
        // next start, as after the font command.
        QFont shown = FontFromSpec(changed->Font);
        shown.setStrikeOut(m_shownFont.strikeOut());
        SetNoteFont(changed->Font, shown);
        SetText(changed->Text);
        SetAlignment(changed->Alignment);
        latszik = changed->Latszik;
        tol = changed->Tol;
        ShowImportantMarker(true);
    }
    m_dragging = false;
    if (changed)
        CloseIfAfterToday(changed->Tol);
}

void Tfrm_Ablak::aSugoExecute()
{
    if (m_hooks.ShowHelp)
        m_hooks.ShowHelp();
    m_dragging = false;
}
