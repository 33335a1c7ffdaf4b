#pragma once

#include "desktop/instance_command.h"

#include <QObject>
#include <QString>

// Keeps one running copy of the program per user. Create it once, early in
// main, before the main form: it decides at once whether another copy runs.
// Copies are the same program when their program files have the same name in
// upper case (the folder does not count); the environment variable
// VIKORA_INSTANCE_KEY replaces that name (tests).
//
// The first copy listens on a socket private to the user and emits
// activationRequested() when a later copy asks it to come forward, and
// commandRequested() with every command a later copy hands over.
class TSingleInstance : public QObject {
    Q_OBJECT

public:
    // Needs the application object, which runs the socket's events.
    explicit TSingleInstance(const QString& programFilePath, QObject* parent = nullptr);

    // The name copies are matched by.
    static QString KeyFor(const QString& programFilePath);

    // False when another copy was already running at start. A copy that
    // cannot take part (no private folder, the socket cannot be made) counts
    // as the first one.
    bool IsFirst() const { return m_isFirst; }

    // In a later copy, hands the command (by default, to come forward) to the
    // running copy and returns true: the caller must then end the program
    // with exit code 0 before it reads or writes any file, whether the
    // running copy was reached or not. In the first copy, does nothing and
    // returns false. Shows nothing.
    [[nodiscard]] bool HandOver(TInstanceCommand command = TInstanceCommand::ComeForward);

    // Hands a command to the running copy; true when it reached it.
    bool SendCommand(TInstanceCommand command);

signals:
    void activationRequested();
    void commandRequested(TInstanceCommand command);

private:
    QString m_serverName;
    bool m_isFirst = true;
};
