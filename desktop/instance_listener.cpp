#include "desktop/instance_listener.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

// Enough for a well-behaved sender; more only from something else.
constexpr int MaxOpenConnections = 8;
constexpr int IdleTimeoutMs = 5000;

void Drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

}  // namespace

TInstanceListener::TInstanceListener(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &TInstanceListener::AcceptPending);
}

bool TInstanceListener::Listen(const QString& serverName)
{
    if (m_server->listen(serverName))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(serverName);
    return m_server->listen(serverName);
}

void TInstanceListener::AcceptPending()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_openConnections >= MaxOpenConnections) {
            Drop(socket);
            continue;
        }
        ++m_openConnections;
        connect(socket, &QObject::destroyed, this, [this] { --m_openConnections; });
        // Qt stops taking bytes from the socket once one more than the
        // message has arrived, so a flood never grows the buffer.
        socket->setReadBufferSize(LongestInstanceMessage() + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(IdleTimeoutMs, socket, [socket] { Drop(socket); });
        if (socket->bytesAvailable() > 0)
            Read(socket);
    }
}

void TInstanceListener::Read(QLocalSocket* socket)
{
    const QByteArray received = socket->peek(LongestInstanceMessage() + 1);
    // Every message ends in a line break, so none is the start of another:
    // a whole message is acted on at once, anything that cannot grow into
    // one is dropped, and a part waits for the rest.
    if (const std::optional<TInstanceCommand> command = InstanceCommandFromMessage(received)) {
        Drop(socket);
        emit commandReceived(*command);
        return;
    }
    if (!BeginsInstanceMessage(received))
        Drop(socket);
}
