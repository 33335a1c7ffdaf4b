#include "notes/datumbe.h"

#include "assets/assets.h"
#include "notes/date_field.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/colors.h"
#include "seged/form_position.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgRenderer>
#include <QTimeEdit>

#include <algorithm>
#include <cmath>

namespace {

const QString FormSection = QStringLiteral("frm_Datumbe");
constexpr std::int32_t FocusColor = 0x00F0CAA6;  // light sky blue
const QDate FirstDay(1, 1, 1);
const QDate LastDay(9999, 12, 31);

TAskDateAnswerer& Answerer()
{
    static TAskDateAnswerer answerer;
    return answerer;
}

// The user's short date format, with the year always in full: a two-digit
// year would be read back into the wrong century.
QString ShortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QPixmap CalendarPicture(int side, qreal ratio)
{
    return RenderPicture(QStringLiteral(":/pictures/naptar.svg"), QSize(side, side), ratio);
}

}  // namespace

QDate DayOfDateTime(TDateTime value)
{
    if (std::isnan(value.value))
        return CurrentDateTime().date();
    static const QDate epoch(1899, 12, 30);
    // Before the epoch the whole part counts back while the fraction counts
    // forward, so the day is the whole part towards zero.
    const double first = static_cast<double>(epoch.daysTo(FirstDay));
    const double last = static_cast<double>(epoch.daysTo(LastDay));
    const double whole = std::trunc(std::clamp(value.value, first, last));
    return epoch.addDays(static_cast<qint64>(whole));
}

Tfrm_Datumbe::Tfrm_Datumbe(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_Datumbe"));
    setWindowTitle(QStringLiteral("Dátum megadása"));
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("Segoe UI"));
    setFont(dialogFont);
    setFixedSize(314, 127);

    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(16, 16, 186, 21);
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(ShortDateFormat());
    DateTimePicker1->setDateRange(FirstDay, LastDay);
    MakeDatePicker(DateTimePicker1);

    DateTimePicker2 = new QTimeEdit(this);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setGeometry(212, 16, 85, 21);
    DateTimePicker2->setDisplayFormat(QStringLiteral("HH:mm"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 52, 64, 64);
    Image1->setPixmap(CalendarPicture(64, devicePixelRatioF()));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(220, 60, 75, 25);
    Button1->setDefault(true);

    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(220, 92, 75, 25);

    setTabOrder(DateTimePicker1, DateTimePicker2);
    setTabOrder(DateTimePicker2, Button1);
    setTabOrder(Button1, Button2);
    DateTimePicker1->setFocus();

    m_plainPalette = DateTimePicker1->palette();
    DateTimePicker1->installEventFilter(this);
    DateTimePicker2->installEventFilter(this);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_Datumbe::Prepare(TDateTime date, const QString& caption)
{
    DateTimePicker2->hide();
    if (!caption.isEmpty())
        setWindowTitle(caption);
    DateTimePicker1->setDate(DayOfDateTime(date));
}

TDateTime Tfrm_Datumbe::ChosenDate() const
{
    return DateToDateTime(DateTimePicker1->date());
}

void Tfrm_Datumbe::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfrm_Datumbe::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Tfrm_Datumbe::FormShow()
{
    int left = 10;
    int top = 10;
    LoadFormPos(FormSection, left, top);
    KeepOnMonitors(left, top, width(), height());
    // The client area's place, as stored: the window manager's frame goes
    // around it (a frame-inclusive move would creep by the frame's size).
    setGeometry(QRect(QPoint(left, top), size()));
    if (Beall.DialogFontSize > 0) {
        QFont dialogFont = font();
        dialogFont.setPointSize(Beall.DialogFontSize);
        setFont(dialogFont);
    }
}

void Tfrm_Datumbe::FormClose()
{
    SaveFormPos(FormSection, geometry().x(), geometry().y());
}

bool Tfrm_Datumbe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DateTimePicker1 || watched == DateTimePicker2) {
        // The calendar popping up, or another program taking the focus,
        // does not leave the field.
        const auto reason = [event] { return static_cast<QFocusEvent*>(event)->reason(); };
        if (event->type() == QEvent::FocusIn)
            DateTimePicker1Enter();
        else if (event->type() == QEvent::FocusOut && reason() != Qt::PopupFocusReason &&
                 reason() != Qt::ActiveWindowFocusReason)
            DateTimePicker1Exit();
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Datumbe::DateTimePicker1Enter()
{
    QPalette highlighted = m_plainPalette;
    highlighted.setColor(QPalette::Base, ColorToQColor(FocusColor));
    DateTimePicker1->setPalette(highlighted);
}

void Tfrm_Datumbe::DateTimePicker1Exit()
{
    DateTimePicker1->setPalette(m_plainPalette);
}

void SetAskDateAnswererForTests(TAskDateAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

bool AskDate(TDateTime& date, const QString& caption)
{
    if (Answerer()) {
        const std::optional<QDate> chosen = Answerer()(DayOfDateTime(date), caption);
        if (!chosen || !chosen->isValid())
            return false;
        date = DateToDateTime(*chosen);
        return true;
    }
    Tfrm_Datumbe dialog;
    dialog.Prepare(date, caption);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = dialog.ChosenDate();
    return true;
}
