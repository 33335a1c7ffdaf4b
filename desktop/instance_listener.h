#pragma once

#include "desktop/instance_command.h"

#include <QByteArray>
#include <QObject>

class QLocalServer;
class QLocalSocket;

// The running copy's end of the single-instance socket. It understands only
// the fixed messages of InstanceMessage(), one per connection; a connection
// that sends anything else, more than that, or nothing for a while is
// dropped without an answer.
class TInstanceListener : public QObject {
    Q_OBJECT

public:
    explicit TInstanceListener(QObject* parent = nullptr);

    // Listens on the socket path. A socket file that is in the way is taken
    // for one left by a copy that was killed: call this only after a
    // connection to the name has been refused.
    bool Listen(const QString& serverName);

signals:
    void commandReceived(TInstanceCommand command);

private:
    void AcceptPending();
    void Read(QLocalSocket* socket);

    QLocalServer* m_server;
    int m_openConnections = 0;
};
