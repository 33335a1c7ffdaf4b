#include "app/session_end.h"

#include "seged/message_boxes.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <exception>

void CancelOpenWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            windows.append(window);
    // Closing one window may close or delete others.
    for (const QPointer<QWidget>& window : windows) {
        if (!window || !window->isVisible())
            continue;
        if (auto* box = qobject_cast<QMessageBox*>(window.data())) {
            // A Yes/No box has no close box; its close answer is No.
            box->done(CloseBoxAnswer(box->standardButtons()));
        } else if (qobject_cast<QDialog*>(window.data()) || qobject_cast<QMenu*>(window.data())) {
            // close() is the close box: a progress dialog cancels its download.
            window->close();
        }
    }
}

TSessionEnd::TSessionEnd(std::function<void()> runExit, QObject* parent)
    : QObject(parent), m_runExit(std::move(runExit)), m_step(new QTimer(this))
{
    m_step->setInterval(20);
    connect(m_step, &QTimer::timeout, this, &TSessionEnd::Step);
}

void TSessionEnd::Begin()
{
    if (m_begun)
        return;
    m_begun = true;
    EndMessageBoxes();
    m_since.start();
    m_step->start();
    Step();
}

void TSessionEnd::Step()
{
    CancelOpenWindows();
    // The handlers under a closed dialog finish first, so that the exit
    // writes what they leave behind rather than a half-made change.
    const bool nested = QThread::currentThread()->loopLevel() > 1;
    if (nested && m_since.elapsed() < GiveUpWaiting)
        return;
    m_step->stop();
    try {
        if (m_runExit)
            m_runExit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Vikora: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Vikora: unknown error at exit\n");
    }
    // Ends every event loop, nested ones too; later exec() calls return at once.
    QCoreApplication::exit(0);
}
