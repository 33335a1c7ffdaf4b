#include "catalogue/input_guard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {
bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}
}  // namespace

TInputGuard::TInputGuard(QWidget* window) : m_window(window)
{
    qApp->installEventFilter(this);
}

TInputGuard::~TInputGuard()
{
    qApp->removeEventFilter(this);
}

bool TInputGuard::Allows(const QWidget* target) const
{
    const QWidget* top = target->window();
    if (top == m_window || m_window->isAncestorOf(top) || top->isModal())
        return true;
    if (top->windowType() == Qt::Popup || top->windowType() == Qt::ToolTip)
        return true;
    // The tray icon's own window where the desktop embeds it (XEmbed).
    return top->inherits("QSystemTrayIconSys");
}

bool TInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (IsInput(event->type()) && watched->isWidgetType() &&
        !Allows(static_cast<const QWidget*>(watched)))
        return true;
    return QObject::eventFilter(watched, event);
}
