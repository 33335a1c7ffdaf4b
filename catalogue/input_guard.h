#pragma once

#include <QObject>

class QWidget;

// While it exists, the program's other windows take no mouse or keyboard
// input, except modal dialogs, popup menus and the tray icon: a modal window
// that leaves the tray menu working, which Qt's application modality does
// not (it blocks the tray icon's window as well).
class TInputGuard : public QObject {
    Q_OBJECT

public:
    explicit TInputGuard(QWidget* window);
    ~TInputGuard() override;

    // Whether input for `target` is let through.
    bool Allows(const QWidget* target) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
};
