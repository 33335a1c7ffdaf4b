// The properties dialog's work on the note record: holding it in edit
// state, the formatting commands, OK and cancel.
#include "notes/tulajdonsag.h"

#include "notes/datumbe.h"
#include "record/note.h"
#include "record/notes_table.h"
#include "seged/clock.h"
#include "seged/colors.h"
#include "seged/db_check_box.h"
#include "seged/db_memo.h"
#include "seged/font_dialog.h"
#include "seged/message_boxes.h"
#include "seged/note_font.h"
#include "seged/note_format.h"
#include "seged/table_values.h"
#include "table/data_link.h"
#include "table/mem_table.h"

#include <QDateEdit>
#include <QTextDocument>
#include <QTextOption>

#include <cmath>

namespace {
TPropertiesRunner& Runner()
{
    static TPropertiesRunner runner;
    return runner;
}

bool FlagOf(const TValue& value)
{
    const auto* flag = std::get_if<bool>(&value);
    return flag && *flag;
}
}  // namespace

void SetPropertiesRunnerForTests(TPropertiesRunner runner)
{
    Runner() = std::move(runner);
}

TqorMemTable* Tfrm_Tulajdonsag::EditedTable() const
{
    TqorMemTable* table = m_source.DataSet();
    if (!m_prepared || m_abandoned || !table || !table->Active())
        return nullptr;
    return table->State() == dsEdit ? table : nullptr;
}

bool Tfrm_Tulajdonsag::Prepare(int az)
{
    TqorMemTable* table = m_source.DataSet();
    if (!table || !table->Active() || !table->FindByValue(NoteField::az, az))
        return false;
    table->Edit();
    try {
        DateTimePicker1->setDate(
            DayOfDateTime(NullToDate(table->GetValue(NoteField::tol), Today())));
        m_color = NullToInt(table->GetValue(NoteField::szin), 0);
        m_font.Name = NullToStr(table->GetValue(NoteField::fontname), QString());
        m_font.Size = NullToInt(table->GetValue(NoteField::fontsize), 0);
        m_font.Color = NullToInt(table->GetValue(NoteField::fontcolor), 0);
        m_font.Bold = FlagOf(table->GetValue(NoteField::isbold));
        m_font.Italic = FlagOf(table->GetValue(NoteField::isitalic));
        m_font.Underline = FlagOf(table->GetValue(NoteField::isunderline));
        m_igazit = NullToInt(table->GetValue(NoteField::igazit), 0);
    } catch (...) {
        table->Cancel();
        throw;
    }
    m_prepared = true;
    DressMemo();
    return true;
}

void Tfrm_Tulajdonsag::DressMemo()
{
    QPalette look = DBMemo1->palette();
    look.setColor(QPalette::Base, ColorToQColor(m_color));
    look.setColor(QPalette::Window, ColorToQColor(m_color));
    look.setColor(QPalette::Text, ColorToQColor(m_font.Color));
    DBMemo1->setPalette(look);
    QFont font = FontFromSpec(m_font);
    font.setStrikeOut(m_strikeOut);
    DBMemo1->setFont(font);
    QTextOption option = DBMemo1->document()->defaultTextOption();
    option.setAlignment(HorizontalAlignment(m_igazit));
    DBMemo1->document()->setDefaultTextOption(option);
}

void Tfrm_Tulajdonsag::aBetutipusExecute()
{
    TFontSpec font = m_font;
    bool strikeOut = m_strikeOut;
    if (!ChooseFont(this, font, &strikeOut))
        return;
    m_font = font;
    m_strikeOut = strikeOut;
    DressMemo();
    if (TqorMemTable* table = EditedTable())
        WriteNoteFont(*table, NoteFontOf(m_font));
}

void Tfrm_Tulajdonsag::aHatterszinExecute()
{
    std::int32_t color = m_color;
    if (!ChooseColor(this, color))
        return;
    m_color = color;
    DressMemo();
    if (TqorMemTable* table = EditedTable())
        table->SetValue(NoteField::szin, m_color);
}

void Tfrm_Tulajdonsag::SetAlignment(int igazit)
{
    m_igazit = igazit;
    DressMemo();
    if (TqorMemTable* table = EditedTable())
        table->SetValue(NoteField::igazit, m_igazit);
}

void Tfrm_Tulajdonsag::aBalraExecute()
{
    SetAlignment(0);
}

void Tfrm_Tulajdonsag::aKozepreExecute()
{
    SetAlignment(2);
}

void Tfrm_Tulajdonsag::aJobbraExecute()
{
    SetAlignment(1);
}

void Tfrm_Tulajdonsag::aKivagExecute()
{
    DBMemo1->cut();
}

void Tfrm_Tulajdonsag::aMasolExecute()
{
    DBMemo1->copy();
}

void Tfrm_Tulajdonsag::aBeillesztExecute()
{
    DBMemo1->paste();
}

void Tfrm_Tulajdonsag::aMindetJelolExecute()
{
    DBMemo1->selectAll();
}

void Tfrm_Tulajdonsag::aElmentExecute()
{
    accept();
}

void Tfrm_Tulajdonsag::aMegsemExecute()
{
    reject();
}

void Tfrm_Tulajdonsag::aSugoExecute()
{
    if (ShowHelp)
        ShowHelp();
}

void Tfrm_Tulajdonsag::Confirm()
{
    TqorMemTable* table = EditedTable();
    if (!table)
        return;
    table->SetValue(NoteField::tol, DateToDateTime(DateTimePicker1->date()));
    table->Post();
    m_confirmed = true;
    m_result.Color = m_color;
    m_result.Font = m_font;
    m_result.Text = NullToStr(table->GetValue(NoteField::szoveg), QString());
    m_result.Alignment = m_igazit;
    m_result.Latszik = FlagOf(table->GetValue(NoteField::latszik));
    const TDateTime tol = NullToDate(table->GetValue(NoteField::tol), Today());
    m_result.Tol = TDateTime{std::floor(tol.value)};
}

void Tfrm_Tulajdonsag::done(int result)
{
    if (result == QDialog::Accepted && !m_abandoned && !m_confirmed) {
        try {
            Confirm();
        } catch (const std::exception& error) {
            // The record stays in edit state with everything entered, so
            // that the user can try again or cancel.
            ShowError(QStringLiteral("Hiba az adat mentése közben\n") +
                          QString::fromUtf8(error.what()),
                      this);
            return;
        }
    }
    QDialog::done(result);
}

void Tfrm_Tulajdonsag::Abandon()
{
    if (m_abandoned)
        return;
    if (TqorMemTable* table = EditedTable())
        table->Cancel();
    m_abandoned = true;
    // From here on nothing typed or clicked may reach the table.
    DBMemo1->SetDataSource(nullptr);
    DBCheckBox1->SetDataSource(nullptr);
    QDialog::done(QDialog::Rejected);
}

std::optional<TNoteProperties> EditNoteProperties(TDataSource& DataSource1, int az,
                                                  const TPropertiesCall& call)
{
    Tfrm_Tulajdonsag dialog(DataSource1);
    dialog.ShowHelp = call.ShowHelp;
    if (!dialog.Prepare(az))
        return std::nullopt;

    struct Holding {
        const TPropertiesCall& call;
        explicit Holding(const TPropertiesCall& c, Tfrm_Tulajdonsag& d) : call(c)
        {
            if (call.Holding)
                call.Holding(&d);
        }
        ~Holding()
        {
            if (call.Holding)
                call.Holding(nullptr);
        }
    };
    {
        const Holding holding(call, dialog);
        const auto cancelEdit = [&] {
            TqorMemTable* table = DataSource1.DataSet();
            if (table && !dialog.Abandoned() && !dialog.Confirmed())
                table->Cancel();
        };
        try {
            if (Runner()) {
                dialog.show();
                Runner()(dialog);
                if (dialog.isVisible())
                    dialog.reject();
            } else {
                dialog.exec();
            }
        } catch (...) {
            cancelEdit();
            throw;
        }
        cancelEdit();
        if (!dialog.Confirmed())
            return std::nullopt;
    }
    return dialog.Result();
}
