#pragma once

#include "desktop/instance_command.h"

#include <QObject>
#include <QString>

// Tells whether another copy of the program runs for this user, and lets the
// copies talk. Create it once, early in main, before the main form: it
// decides at once. Copies are the same program when their program files
// have the same name in upper case (the folder does not count); the
// environment variable VIKORA_INSTANCE_KEY replaces that name (tests).
//
// The first copy listens on a socket private to the user and emits
// activationRequested() when a later copy asks it to come forward, or
// commandRequested() with any command a later copy hands over.
class TAppInstance : public QObject {
    Q_OBJECT

public:
    // Needs the application object, which runs the socket's events.
    explicit TAppInstance(const QString& programFilePath, QObject* parent = nullptr);

    // The name copies are matched by.
    static QString KeyFor(const QString& programFilePath);

    const QString& Key() const { return m_key; }
    // False when another copy was already running at start. A copy that
    // cannot take part (no private folder, the socket cannot be made) counts
    // as the first one.
    bool IsFirst() const { return m_isFirst; }

    // Asks the running copy to come forward. True when the request reached
    // it; when it did not (it has just ended), nothing else is done.
    bool ActivateOtherInstance();
    // Hands a command to the running copy; true when it reached it.
    bool SendCommand(TInstanceCommand command);

signals:
    void activationRequested();
    void commandRequested(TInstanceCommand command);

private:
    QString m_key;
    QString m_serverName;
    bool m_isFirst = true;
};
