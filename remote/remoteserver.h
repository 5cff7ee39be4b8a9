// The web remote's server: the page, the PIN, the background picture and
// the WebSocket of every connected phone, on the addresses the console
// chooses. It knows nothing of the console: the console hands in the texts,
// the layout and the picture, sends what changes with broadcast(), and
// takes the moves from moveArrived().
//
// Promises:
// - Listens on exactly the addresses given, all on one port; never on every
//   interface unless that address is given. If one cannot be listened on,
//   none is.
// - No file system access: only the page compiled in (":/remote/index.html")
//   and the picture handed over are served.
// - Sessions live only in memory: a random 128-bit token per right PIN, at
//   most MAX_SESSIONS (a further one pushes out the oldest). A changed PIN
//   or stop() ends every session and disconnects every client.
// - A WebSocket is accepted only for a request with a valid session cookie
//   whose Origin is "http://" + its Host; at most MAX_CLIENTS at once (one
//   more: 503). A client message over remotemessage::MAX_MESSAGE bytes
//   closes its connection.
// - At most MAX_HTTP_CONNECTIONS HTTP connections at once (one more is
//   closed unanswered); one idle for IDLE_MS is closed.
// - moveArrived() carries only validated moves, and only while operating is
//   allowed. Every refused request and message is counted by reason
//   (refusals()) and logged at debug level on `pultora.remote`.
#pragma once

#include "remote/pinguard.h"
#include "remote/remotehttp.h"
#include "remote/remotemessage.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

class RemoteServer : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DEFAULT_PORT = 9080;
    static constexpr int MAX_CLIENTS = 64;
    static constexpr int MAX_HTTP_CONNECTIONS = 32;
    static constexpr qint64 IDLE_MS = 10000;
    static constexpr int SWEEP_MS = 1000;
    static constexpr int MAX_SESSIONS = 256;
    static constexpr int SESSION_BYTES = 16;

    struct Settings {
        quint16 port = DEFAULT_PORT;   // 0: any free port (see port())
        QList<QHostAddress> addresses; // each listened on
        QByteArray pinHash;            // pinhash::hashPin()
        bool operate = true;
    };

    // clockMs: a steady clock in milliseconds (for the PIN guard and idle
    // connections); unset: the system's monotonic clock.
    explicit RemoteServer(QObject *parent = nullptr, std::function<qint64()> clockMs = {});
    ~RemoteServer() override;

    // Listens anew; false, with an error naming the address and port, when
    // any address cannot be listened on (nothing listens then).
    bool start(const Settings &settings, QString *error);
    // Closes every listener, connection and client, and ends every session.
    void stop();
    bool listening() const { return !m_listeners.isEmpty(); }
    quint16 port() const { return m_port; }

    void setPinHash(const QByteArray &hash);
    void setOperate(bool operate) { m_operate = operate; }
    // A JSON object put in the page in place of /*PULTORA_TEXTS*/null.
    void setTexts(const QByteArray &textsJson) { m_texts = textsJson; }
    // Sent now to every client, and to each new one first.
    void setLayout(const QByteArray &json);
    // When set, a new client gets what it returns instead, before it joins
    // the clients that broadcasts reach.
    void setLayoutSource(std::function<QByteArray()> source) { m_layoutSource = std::move(source); }
    // PNG bytes; empty: /background answers 404.
    void setBackgroundPicture(const QByteArray &png) { m_picture = png; }
    // PNG bytes per control id, served as /picture/ID to clients with a
    // session; an id not here answers 404.
    void setControlPictures(const QHash<quint32, QByteArray> &pictures)
    {
        m_controlPictures = pictures;
    }
    void broadcast(const QByteArray &json);
    int clientCount() const { return int(m_clients.size()); }

    // Refused requests and messages by reason: "not found", "wrong pin",
    // "locked out", "no session", "foreign origin", "too many clients",
    // "not operating", the remotemessage reasons, ...
    QMap<QString, quint64> refusals() const { return m_refusals; }

signals:
    void clientsChanged(int count);
    void moveArrived(const remotemessage::Move &move);

private:
    struct Connection {
        QTcpSocket *socket = nullptr;
        remotehttp::RequestReader reader;
        qint64 since = 0;
        qsizetype fed = 0;
        bool answered = false;
    };

    void accept(QTcpServer *listener);
    void read(QTcpSocket *socket);
    void serve(Connection &c);
    void servePin(Connection &c);
    void upgrade(Connection &c);
    void answer(Connection &c, const QByteArray &response, const char *refusal = nullptr);
    void dropConnection(QTcpSocket *socket);
    void takeClients();
    void clientMessage(const QString &text);
    void sweep();
    void endSessions();
    void count(const QString &reason, const QHostAddress &peer);
    bool hasSession(const remotehttp::Request &request) const;
    QByteArray page() const;

    std::function<qint64()> m_clock;
    QList<QTcpServer *> m_listeners;
    QWebSocketServer *m_ws = nullptr;
    QHash<QTcpSocket *, Connection *> m_http;
    QList<QPointer<QTcpSocket>> m_handshaking;
    QList<QWebSocket *> m_clients;
    QList<QByteArray> m_sessions; // oldest first
    PinGuard m_guard;
    QTimer m_sweep;
    QMap<QString, quint64> m_refusals;
    QByteArray m_pageTemplate;
    QByteArray m_pinHash;
    QByteArray m_texts;
    QByteArray m_layout;
    std::function<QByteArray()> m_layoutSource;
    QByteArray m_picture;
    QHash<quint32, QByteArray> m_controlPictures;
    quint16 m_port = 0;
    bool m_operate = true;
};

Q_DECLARE_METATYPE(remotemessage::Move)
