#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface
// thread, so that the program can save before it ends.
class TTerminationWatcher : public QObject {
    Q_OBJECT

public:
    explicit TTerminationWatcher(QObject* parent = nullptr);
    ~TTerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void Drain();
    QSocketNotifier* m_notifier = nullptr;
};
