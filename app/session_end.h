#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

// Ends the program when the session ends or a signal asks it to, from any
// state: every open dialog, message box and menu is cancelled as its close
// box would cancel it, no new box shows, and once the event loops of those
// windows have returned (or after GiveUpWaiting at the latest) the exit runs
// and the application's event loops end. Nothing in it waits for a person.
class TSessionEnd : public QObject {
    Q_OBJECT

public:
    static constexpr int GiveUpWaiting = 1500;  // milliseconds

    // runExit writes what must be written; it must not throw or ask.
    explicit TSessionEnd(std::function<void()> runExit, QObject* parent = nullptr);

    void Begin();
    bool Begun() const { return m_begun; }

private:
    void Step();

    std::function<void()> m_runExit;
    QTimer* m_step = nullptr;
    QElapsedTimer m_since;
    bool m_begun = false;
};

// Cancels every visible dialog, message box and menu as its close box would.
void CancelOpenWindows();
