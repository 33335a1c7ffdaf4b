#include "seged/make_action.h"

#include "seged/reported.h"

#include <QWidget>

QAction* MakeAction(QWidget* window, const char* name, const QString& caption,
                    const QList<QKeySequence>& shortcuts, std::function<void()> command)
{
    auto* action = new QAction(caption, window);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(caption);
    action->setStatusTip(caption);
    if (!shortcuts.isEmpty()) {
        action->setShortcuts(shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    QObject::connect(action, &QAction::triggered, window,
                     [command = std::move(command)] { RunReported(command); });
    return action;
}
