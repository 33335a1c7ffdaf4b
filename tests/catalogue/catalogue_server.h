#pragma once

// A small HTTP server on 127.0.0.1 for the download tests: each path gives a
// fixed answer, an answer cut short, or no answer at all.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

struct TServedAnswer {
    enum Kind { Whole, CutShort, Silent };
    Kind How = Whole;
    int Status = 200;
    QByteArray Body;
};

class TCatalogueServer : public QTcpServer {
public:
    TCatalogueServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                m_sockets << socket;
                connect(socket, &QTcpSocket::readyRead, socket,
                        [this, socket] { Answer(*socket); });
            }
        });
        listen(QHostAddress::LocalHost);
    }

    void Serve(const QByteArray& path, const TServedAnswer& answer) { m_answers[path] = answer; }
    QString Url(const QByteArray& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(serverPort())
            .arg(QString::fromLatin1(path));
    }
    int Requests() const { return m_requests; }

private:
    void Answer(QTcpSocket& socket)
    {
        QByteArray& request = m_pending[&socket];
        request += socket.readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        ++m_requests;
        const QByteArray path = request.split(' ').value(1);
        request.clear();
        const TServedAnswer answer =
            m_answers.value(path, TServedAnswer{TServedAnswer::Whole, 404, "no"});
        if (answer.How == TServedAnswer::Silent)
            return;
        const QByteArray reason = answer.Status == 200 ? "OK" : "Error";
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.Status) + " " + reason +
                           "\r\nContent-Type: text/csv; charset=utf-8\r\nConnection: close\r\n";
        if (answer.How == TServedAnswer::CutShort) {
            reply += "Content-Length: " + QByteArray::number(answer.Body.size() * 2) + "\r\n\r\n";
        } else {
            reply += "Content-Length: " + QByteArray::number(answer.Body.size()) + "\r\n\r\n";
        }
        reply += answer.Body;
        socket.write(reply);
        socket.flush();
        socket.disconnectFromHost();
    }

    QHash<QByteArray, TServedAnswer> m_answers;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<QPointer<QTcpSocket>> m_sockets;
    int m_requests = 0;
};

// A port on 127.0.0.1 where nothing listens.
inline quint16 RefusingPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}
