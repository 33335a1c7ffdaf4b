#include "notes/date_field.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

bool OpensCalendar(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F4)
        return modifiers == Qt::NoModifier;
    return (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
           modifiers == Qt::AltModifier;
}

class TCalendarKeys : public QObject {
    Q_OBJECT

public:
    explicit TCalendarKeys(QDateEdit* field) : QObject(field), m_field(field) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_field)
            return false;
        if (event->type() == QEvent::ShortcutOverride &&
            OpensCalendar(static_cast<QKeyEvent*>(event))) {
            // The key is the field's even where a shortcut of the window has it.
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && OpensCalendar(static_cast<QKeyEvent*>(event))) {
            OpenCalendar(m_field);
            return true;
        }
        return false;
    }

private:
    QDateEdit* m_field;
};

}  // namespace

void MakeDatePicker(QDateEdit* field)
{
    field->installEventFilter(new TCalendarKeys(field));
    // The calendar window inherits the field's palette: its own background
    // keeps the field's focus colour from filling the whole calendar.
    QWidget* popup = field->calendarWidget()->window();
    if (popup != field->window()) {
        QPalette own;
        for (auto role : {QPalette::Base, QPalette::AlternateBase, QPalette::Window})
            own.setColor(role, QApplication::palette(field).color(role));
        popup->setPalette(own);
    }
}

void OpenCalendar(QDateEdit* field)
{
    if (!field->calendarPopup() || field->isReadOnly() || !field->isEnabled())
        return;
    // The field draws itself as a combo box while it has a calendar; the
    // calendar is opened, placed and wired by the field's own press handler.
    QStyleOptionComboBox option;
    option.initFrom(field);
    option.editable = true;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow = field->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxArrow, field);
    const QPoint at =
        arrow.isValid() ? arrow.center() : QPoint(field->width() - 4, field->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, field->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &press);
}

#include "date_field.moc"
