#include "desktop/single_instance.h"

#include "desktop/instance_channel.h"
#include "desktop/instance_listener.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace {

constexpr int LockTimeoutMs = 5000;
// QLockFile's own waiting doubles its pause after each try, which makes the
// last of many simultaneous starts wait seconds; short even pauses do not.
constexpr int LockRetryMs = 5;
constexpr int ConnectTimeoutMs = 1000;
constexpr int WriteTimeoutMs = 1000;

enum class TProbe { Answered, Busy, NobodyListens };

bool TakeLock(QLockFile& lock)
{
    QDeadlineTimer deadline(LockTimeoutMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(LockRetryMs);
    }
    return true;
}

TProbe ProbeRunningCopy(const QString& serverName)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (socket.waitForConnected(ConnectTimeoutMs)) {
        socket.disconnectFromServer();
        return TProbe::Answered;
    }
    switch (socket.error()) {
    case QLocalSocket::SocketTimeoutError:
    case QLocalSocket::SocketResourceError:
        // Someone listens but does not take connections yet: a copy runs,
        // and its socket must not be taken for a stale one.
        return TProbe::Busy;
    default:
        return TProbe::NobodyListens;
    }
}

}  // namespace

TSingleInstance::TSingleInstance(const QString& programFilePath, QObject* parent) : QObject(parent)
{
    const std::optional<TInstanceChannel> channel = InstanceChannelFor(KeyFor(programFilePath));
    if (!channel)
        return;
    m_serverName = channel->ServerName;

    // Simultaneous starts pass this point one at a time, so exactly one of
    // them finds nobody and listens. A lock left by a killed copy is stale
    // (its process is gone) and is taken over; if the lock cannot be had at
    // all the check runs unguarded rather than not at all.
    QLockFile lock(channel->LockPath);
    TakeLock(lock);

    if (ProbeRunningCopy(m_serverName) != TProbe::NobodyListens) {
        m_isFirst = false;
        return;
    }
    auto* listener = new TInstanceListener(this);
    connect(listener, &TInstanceListener::commandReceived, this, [this](TInstanceCommand command) {
        if (command == TInstanceCommand::ComeForward)
            emit activationRequested();
        emit commandRequested(command);
    });
    // Without the socket this copy still runs as the first; later copies
    // just cannot find it.
    if (!listener->Listen(m_serverName))
        delete listener;
}

QString TSingleInstance::KeyFor(const QString& programFilePath)
{
    const QString overridden = qEnvironmentVariable("VIKORA_INSTANCE_KEY");
    if (!overridden.isEmpty())
        return overridden.toUpper();
    return QFileInfo(programFilePath).fileName().toUpper();
}

bool TSingleInstance::HandOver(TInstanceCommand command)
{
    if (m_isFirst)
        return false;
    // Whether the running copy was reached or not, this copy ends.
    SendCommand(command);
    return true;
}

bool TSingleInstance::SendCommand(TInstanceCommand command)
{
    if (m_isFirst || m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    const QByteArray message = InstanceMessage(command);
    if (socket.write(message) != message.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    return true;
}
