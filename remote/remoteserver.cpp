#include "remote/remoteserver.h"
#include "remote/remotelog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkCookie>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>

#include <memory>

Q_LOGGING_CATEGORY(lcRemote, "pultora.remote", QtInfoMsg)

namespace
{

constexpr char PAGE_RESOURCE[] = ":/remote/index.html";
constexpr QByteArrayView TEXTS_PLACEHOLDER("/*PULTORA_TEXTS*/null");
// The close code that asks a client to come back later.
constexpr int CLOSE_TRY_AGAIN_LATER = 1013;
// How long a client whose session ended may take to answer the close.
constexpr int CLOSE_WAIT_MS = 2000;

const char *refusalFor(int status)
{
    switch (status) {
    case remotehttp::STATUS_METHOD_NOT_ALLOWED:
        return "method not allowed";
    case remotehttp::STATUS_LENGTH_REQUIRED:
        return "length required";
    case remotehttp::STATUS_PAYLOAD_TOO_LARGE:
        return "body too large";
    case remotehttp::STATUS_URI_TOO_LONG:
        return "request line too long";
    case remotehttp::STATUS_HEADERS_TOO_LARGE:
        return "headers too large";
    }
    return "malformed request";
}

} // namespace

RemoteServer::RemoteServer(QObject *parent, std::function<qint64()> clockMs)
    : QObject(parent), m_clock(std::move(clockMs))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
    QFile file(QString::fromLatin1(PAGE_RESOURCE));
    if (file.open(QIODevice::ReadOnly))
        m_pageTemplate = file.readAll();
    else
        qCWarning(lcRemote) << "the remote page is missing from the resources";

    m_ws = new QWebSocketServer(QStringLiteral("Pultora"), QWebSocketServer::NonSecureMode, this);
    m_ws->setMaxPendingConnections(MAX_CLIENTS);
    connect(m_ws, &QWebSocketServer::newConnection, this, &RemoteServer::takeClients);
    m_sweep.setInterval(SWEEP_MS);
    connect(&m_sweep, &QTimer::timeout, this, &RemoteServer::sweep);
}

RemoteServer::~RemoteServer()
{
    stop();
}

bool RemoteServer::start(const Settings &settings, QString *error)
{
    stop();
    m_pinHash = settings.pinHash;
    m_operate = settings.operate;
    QList<QHostAddress> addresses;
    for (const QHostAddress &a : settings.addresses) {
        if (!a.isNull() && !addresses.contains(a))
            addresses << a;
    }
    if (addresses.isEmpty()) {
        if (error)
            *error = tr("No address to listen on for port %1").arg(settings.port);
        return false;
    }
    quint16 port = settings.port;
    for (const QHostAddress &a : addresses) {
        auto *listener = new QTcpServer(this);
        if (!listener->listen(a, port)) {
            if (error) {
                *error = tr("Cannot listen on %1 port %2: %3")
                             .arg(a.toString())
                             .arg(port)
                             .arg(listener->errorString());
            }
            delete listener;
            stop();
            return false;
        }
        port = listener->serverPort();
        connect(listener, &QTcpServer::newConnection, this, [this, listener] { accept(listener); });
        m_listeners << listener;
    }
    m_port = port;
    qCDebug(lcRemote) << "listening on port" << port << "of" << addresses;
    return true;
}

void RemoteServer::stop()
{
    endSessions();
    for (QTcpSocket *socket : m_http.keys()) {
        socket->disconnect(this);
        socket->abort();
        delete m_http.take(socket);
        socket->deleteLater();
    }
    qDeleteAll(m_listeners);
    m_listeners.clear();
    m_sweep.stop();
    m_port = 0;
}

void RemoteServer::setPinHash(const QByteArray &hash)
{
    if (hash == m_pinHash)
        return;
    m_pinHash = hash;
    endSessions();
}

void RemoteServer::endSessions()
{
    m_sessions.clear();
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_handshaking)) {
        if (socket)
            socket->abort();
    }
    m_handshaking.clear();
    // The page learns why from the close code; a client that does not
    // answer the close is cut off.
    const QList<QWebSocket *> clients = std::exchange(m_clients, {});
    for (QWebSocket *ws : clients) {
        ws->disconnect(this);
        connect(ws, &QWebSocket::disconnected, ws, &QObject::deleteLater);
        QTimer::singleShot(CLOSE_WAIT_MS, ws, &QWebSocket::abort);
        ws->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("session ended"));
    }
    if (!clients.isEmpty())
        emit clientsChanged(0);
}

void RemoteServer::setLayout(const QByteArray &json)
{
    m_layout = json;
    broadcast(json);
}

void RemoteServer::broadcast(const QByteArray &json)
{
    const QString text = QString::fromUtf8(json);
    for (QWebSocket *ws : std::as_const(m_clients))
        ws->sendTextMessage(text);
}

void RemoteServer::count(const QString &reason, const QHostAddress &peer)
{
    ++m_refusals[reason];
    qCDebug(lcRemote) << "refused:" << reason << "from" << peer.toString();
}

void RemoteServer::accept(QTcpServer *listener)
{
    while (listener->hasPendingConnections()) {
        QTcpSocket *socket = listener->nextPendingConnection();
        if (m_http.size() >= MAX_HTTP_CONNECTIONS) {
            count(QStringLiteral("too many connections"), socket->peerAddress());
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *c = new Connection;
        c->socket = socket;
        c->since = m_clock();
        m_http.insert(socket, c);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, socket] { dropConnection(socket); });
        if (!m_sweep.isActive())
            m_sweep.start();
        read(socket);
    }
}

void RemoteServer::dropConnection(QTcpSocket *socket)
{
    delete m_http.take(socket);
    socket->disconnect(this);
    socket->deleteLater();
    if (m_http.isEmpty())
        m_sweep.stop();
}

void RemoteServer::sweep()
{
    const qint64 now = m_clock();
    for (Connection *c : m_http.values()) {
        if (now - c->since >= IDLE_MS) {
            if (!c->answered)
                count(QStringLiteral("idle"), c->socket->peerAddress());
            QTcpSocket *socket = c->socket;
            socket->abort();
            dropConnection(socket);
        }
    }
}

void RemoteServer::read(QTcpSocket *socket)
{
    Connection *c = m_http.value(socket);
    if (!c)
        return;
    if (c->answered) {
        socket->readAll();
        return;
    }
    // The bytes are only looked at, not taken: a WebSocket upgrade is read
    // once more by the WebSocket server.
    constexpr qint64 enough = remotehttp::MAX_HEAD + remotehttp::MAX_BODY + 1;
    const QByteArray bytes = socket->peek(std::min(socket->bytesAvailable(), enough));
    if (bytes.size() <= c->fed)
        return;
    const auto state = c->reader.feed(QByteArrayView(bytes).sliced(c->fed));
    c->fed = bytes.size();
    if (state == remotehttp::RequestReader::Refused) {
        const int status = c->reader.status();
        const QList<QPair<QByteArray, QByteArray>> allow = {{"Allow", "GET, POST"}};
        answer(*c,
               remotehttp::response(status, {}, {},
                                    status == remotehttp::STATUS_METHOD_NOT_ALLOWED
                                        ? allow
                                        : QList<QPair<QByteArray, QByteArray>>()),
               refusalFor(status));
    } else if (state == remotehttp::RequestReader::Complete) {
        serve(*c);
    }
}

void RemoteServer::answer(Connection &c, const QByteArray &response, const char *refusal)
{
    if (refusal)
        count(QString::fromLatin1(refusal), c.socket->peerAddress());
    c.answered = true;
    c.socket->readAll();
    c.socket->write(response);
    c.socket->disconnectFromHost();
}

bool RemoteServer::hasSession(const remotehttp::Request &request) const
{
    const QByteArray token = remotehttp::sessionCookie(request);
    return token.size() == 2 * SESSION_BYTES && m_sessions.contains(token);
}

QByteArray RemoteServer::page() const
{
    if (m_texts.isEmpty())
        return m_pageTemplate;
    // Inside a <script>, "</" could end it: JSON may write it as "<\/".
    QByteArray texts = m_texts;
    texts.replace("</", "<\\/");
    return QByteArray(m_pageTemplate).replace(TEXTS_PLACEHOLDER.toByteArray(), texts);
}

void RemoteServer::serve(Connection &c)
{
    using namespace remotehttp;
    const Request &r = c.reader.request();
    const Route routed = route(r);
    switch (routed) {
    case Route::Page:
        answer(c, response(STATUS_OK, "text/html; charset=utf-8", page()));
        return;
    case Route::Pin:
        servePin(c);
        return;
    case Route::Background:
    case Route::Picture: {
        // Pictures go to sessions only.
        const QByteArray png =
            routed == Route::Background ? m_picture : m_controlPictures.value(pictureId(r));
        if (!hasSession(r))
            answer(c, response(STATUS_FORBIDDEN), "no session");
        else if (png.isEmpty())
            answer(c, response(STATUS_NOT_FOUND), "no picture");
        else
            answer(c, response(STATUS_OK, "image/png", png));
        return;
    }
    case Route::WebSocket:
        upgrade(c);
        return;
    case Route::NotFound:
        answer(c, response(STATUS_NOT_FOUND), "not found");
        return;
    case Route::MethodNotAllowed:
        answer(c,
               response(STATUS_METHOD_NOT_ALLOWED, {}, {},
                        {{"Allow", r.path == "/pin" ? "POST" : "GET"}}),
               "method not allowed");
        return;
    }
}

void RemoteServer::servePin(Connection &c)
{
    using namespace remotehttp;
    const QHostAddress peer = c.socket->peerAddress();
    const qint64 now = m_clock();
    if (const int wait = m_guard.refusedFor(peer, now)) {
        answer(
            c,
            response(STATUS_TOO_MANY_REQUESTS, {}, {}, {{"Retry-After", QByteArray::number(wait)}}),
            "locked out");
        return;
    }
    const QString pin = pinhash::pinFromBody(c.reader.request().body);
    if (m_pinHash.isEmpty() || !pinhash::pinMatches(m_pinHash, pin)) {
        m_guard.failed(peer, now);
        answer(c, response(STATUS_FORBIDDEN), "wrong pin");
        return;
    }
    m_guard.succeeded(peer);
    QByteArray token(SESSION_BYTES, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(token.data()),
                                          SESSION_BYTES / int(sizeof(quint32)));
    token = token.toHex();
    if (m_sessions.size() >= MAX_SESSIONS)
        m_sessions.removeFirst();
    m_sessions << token;
    QNetworkCookie cookie(SESSION_COOKIE, token);
    cookie.setPath(QStringLiteral("/"));
    cookie.setHttpOnly(true);
    cookie.setSameSitePolicy(QNetworkCookie::SameSite::Strict);
    answer(c, response(STATUS_NO_CONTENT, {}, {}, {{"Set-Cookie", cookie.toRawForm()}}));
}

void RemoteServer::upgrade(Connection &c)
{
    using namespace remotehttp;
    const Request &r = c.reader.request();
    if (!isWebSocketUpgrade(r)) {
        answer(c, response(STATUS_BAD_REQUEST), "not an upgrade");
        return;
    }
    if (!hasSession(r)) {
        answer(c, response(STATUS_FORBIDDEN), "no session");
        return;
    }
    if (!isSameOrigin(r)) {
        answer(c, response(STATUS_FORBIDDEN), "foreign origin");
        return;
    }
    m_handshaking.removeIf([](const QPointer<QTcpSocket> &s) {
        return !s || s->state() != QAbstractSocket::ConnectedState;
    });
    if (m_clients.size() + m_handshaking.size() >= MAX_CLIENTS) {
        answer(c, response(STATUS_UNAVAILABLE), "too many clients");
        return;
    }
    // The WebSocket server reads the request again from the socket.
    QTcpSocket *socket = c.socket;
    socket->disconnect(this);
    delete m_http.take(socket);
    if (m_http.isEmpty())
        m_sweep.stop();
    socket->setParent(this);
    m_handshaking << socket;
    m_ws->handleConnection(socket);
}

void RemoteServer::takeClients()
{
    while (m_ws->hasPendingConnections()) {
        QWebSocket *ws = m_ws->nextPendingConnection();
        const QHostAddress peer = ws->peerAddress();
        const quint16 peerPort = ws->peerPort();
        m_handshaking.removeIf([&](const QPointer<QTcpSocket> &s) {
            return !s || (s->peerPort() == peerPort && s->peerAddress() == peer);
        });
        ws->setParent(this);
        if (m_clients.size() >= MAX_CLIENTS) {
            count(QStringLiteral("too many clients"), peer);
            connect(ws, &QWebSocket::disconnected, ws, &QObject::deleteLater);
            ws->close(QWebSocketProtocol::CloseCode(CLOSE_TRY_AGAIN_LATER));
            continue;
        }
        ws->setMaxAllowedIncomingMessageSize(remotemessage::MAX_MESSAGE);
        ws->setMaxAllowedIncomingFrameSize(remotemessage::MAX_MESSAGE);
        connect(ws, &QWebSocket::textMessageReceived, this, &RemoteServer::clientMessage);
        connect(ws, &QWebSocket::binaryMessageReceived, this,
                [this, ws] { count(QStringLiteral("binary message"), ws->peerAddress()); });
        connect(ws, &QWebSocket::disconnected, this, [this, ws] {
            m_clients.removeOne(ws);
            ws->disconnect(this);
            ws->deleteLater();
            emit clientsChanged(clientCount());
        });
        const QByteArray layout = m_layoutSource ? m_layoutSource() : m_layout;
        m_clients << ws;
        if (!layout.isEmpty())
            ws->sendTextMessage(QString::fromUtf8(layout));
        emit clientsChanged(clientCount());
    }
}

void RemoteServer::clientMessage(const QString &text)
{
    const auto *ws = qobject_cast<QWebSocket *>(sender());
    const QHostAddress peer = ws ? ws->peerAddress() : QHostAddress();
    remotemessage::Refusal why = remotemessage::Refusal::NotJson;
    const auto move = remotemessage::decode(text.toUtf8(), &why);
    if (!move)
        count(remotemessage::refusalName(why), peer);
    else if (!m_operate)
        count(QStringLiteral("not operating"), peer);
    else
        emit moveArrived(*move);
}
