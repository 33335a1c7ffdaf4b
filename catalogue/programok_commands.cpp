// The catalogue window's grid handlers, its commands and its opening from
// the tray.
#include "catalogue/programok.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QUrl>

#include "catalogue/input_guard.h"
#include "desktop/open_address.h"
#include "desktop/safe_address.h"
#include "seged/reported.h"
#include "seged/table_values.h"

namespace {
constexpr int IngyenesColumn = 3;
constexpr int PictureLeft = 36;
const QColor FreeRowColor(0xC1, 0xFF, 0xE0);  // 0x00E0FFC1
}  // namespace

// --- grid ---

void Tfrm_Programok::DBGrid1DrawColumnCell(TCellCanvas& canvas, int row, int column, bool selected)
{
    const TDBGridModel& model = *DBGrid1->GridModel();
    const bool free = model.FieldText(row, QStringLiteral("ingyenes")) == QLatin1String("I");
    if (free && !selected)
        canvas.Brush = FreeRowColor;
    if (column == IngyenesColumn) {
        canvas.Painter.fillRect(canvas.Rect, canvas.Brush);
        const QPixmap& picture = free ? m_tick : m_cross;
        // Centred in the row's height, whatever height the desktop's font
        // gives the rows.
        const int pictureHeight = qRound(picture.deviceIndependentSize().height());
        canvas.Painter.drawPixmap(canvas.Rect.left() + PictureLeft,
                                  canvas.Rect.top() + (canvas.Rect.height() - pictureHeight) / 2,
                                  picture);
        return;
    }
    const QString fieldName = model.Columns().at(static_cast<std::size_t>(column)).FieldName;
    DefaultDrawColumnCell(canvas, model.FieldText(row, fieldName));
}

void Tfrm_Programok::DBGrid1TitleClick(int column)
{
    const auto& columns = DBGrid1->GridModel()->Columns();
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return;
    Tbl.SortFields = columns[static_cast<std::size_t>(column)].FieldName.toStdString();
    Tbl.SortOptions.clear();
    Tbl.ApplySort();
    HighlightColumn(*DBGrid1, column);
    TblAfterScroll();
}

void Tfrm_Programok::TblAfterScroll()
{
    if (!Tbl.Active()) {
        StatusPanel1->clear();
        DBText2->clear();
        return;
    }
    const int number = Tbl.RecordNumber();
    StatusPanel1->setText(QStringLiteral("%1: %2").arg(Tbl.CountRecords()).arg(qMax(0, number)));
    DBText2->setText(Tbl.FindField("link") ? CurrentText("link") : QString());
    DBText2->adjustSize();
}

QString Tfrm_Programok::CurrentText(const char* fieldName) const
{
    if (!Tbl.Active())
        return {};
    return NullToStr(Tbl.GetValue(fieldName), QString());
}

// --- commands ---

void Tfrm_Programok::Launch(const QString& address)
{
    // Only a plain web address from the downloaded list is opened, and the
    // address as parsed, never the raw text.
    QUrl url;
    if (!IsSafeCatalogueAddress(address, &url))
        return;
    const QString normalised = url.toString(QUrl::FullyEncoded);
    if (m_hooks.LaunchAddress) {
        m_hooks.LaunchAddress(normalised);
        return;
    }
    OpenAddress(normalised);
}

void Tfrm_Programok::aFrissitExecute()
{
    RefreshList();
}

void Tfrm_Programok::aLetoltExecute()
{
    Launch(CurrentText("link"));
}

void Tfrm_Programok::DBText2Click()
{
    Launch(CurrentText("link"));
}

void Tfrm_Programok::aMasolExecute()
{
    const QString description = CurrentText("leiras");
    QApplication::clipboard()->setText(description);
}

void Tfrm_Programok::aBezarExecute()
{
    close();
}

bool Tfrm_Programok::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBText2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        RunReported([this] { DBText2Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- opening from the tray ---

void ShowProgramok(const TProgramokHooks& hooks)
{
    if (hooks.CatalogueOpen)
        *hooks.CatalogueOpen = true;
    // However the window ends (an error while it is made included), the
    // command must be able to open it again.
    const auto cleared = qScopeGuard([&hooks] {
        frm_Programok = nullptr;
        if (hooks.CatalogueOpen)
            *hooks.CatalogueOpen = false;
    });
    Tfrm_Programok form(hooks);
    frm_Programok = &form;
    // Modal by its own guard, so that the tray menu keeps working.
    form.setWindowModality(Qt::WindowModal);
    TInputGuard guard(&form);
    form.exec();
}

void ProgramokCommand(const TProgramokHooks& hooks)
{
    if (hooks.CatalogueOpen && *hooks.CatalogueOpen) {
        if (frm_Programok) {
            frm_Programok->show();
            frm_Programok->raise();
            frm_Programok->activateWindow();
        }
        return;
    }
    ShowProgramok(hooks);
}
