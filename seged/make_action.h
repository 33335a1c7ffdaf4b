#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QWidget;

// A command of a window: named for tests (objectName), its caption also as
// tool and status tip, its shortcuts acting anywhere in the window. The
// command runs through RunReported, so an error it raises is reported and
// never leaves the slot.
QAction* MakeAction(QWidget* window, const char* name, const QString& caption,
                    const QList<QKeySequence>& shortcuts, std::function<void()> command);

template <typename TWindow>
QAction* MakeAction(TWindow* window, const char* name, const QString& caption,
                    const QList<QKeySequence>& shortcuts, void (TWindow::*handler)())
{
    return MakeAction(window, name, caption, shortcuts,
                      [window, handler] { (window->*handler)(); });
}
