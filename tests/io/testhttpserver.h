// An HTTP server on a free loopback port for the tests: it records every
// request line and answers each request with `reply` (and `replyRest` 100 ms
// later, as a second network chunk), or never while `reply` is empty.
#pragma once

#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class TestHttpServer : public QObject
{
public:
    explicit TestHttpServer(QByteArray firstReply = {}) : reply(std::move(firstReply))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    ++closedByClient;
                    socket->deleteLater();
                });
            }
        });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    // A whole answer: status line, a plain-text body and its length.
    static QByteArray answer(int status, const QByteArray &reason, const QByteArray &body)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
               "\r\nContent-Type: text/plain\r\nContent-Length: " +
               QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

    QByteArray reply, replyRest;
    QStringList requestLines; // "GET /path HTTP/1.1"
    int connections = 0;
    int closedByClient = 0;

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = int(buffer.indexOf("\r\n\r\n"));
        if (end < 0)
            return;
        requestLines << QString::fromLatin1(buffer.left(buffer.indexOf("\r\n")));
        buffer.remove(0, end + 4);
        if (reply.isEmpty())
            return;
        socket->write(reply);
        if (!replyRest.isEmpty())
            QTimer::singleShot(100, socket, [this, socket] { socket->write(replyRest); });
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
