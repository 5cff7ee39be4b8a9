// The web remote's server: the request reader at its limits and on hostile
// paths, the PIN guard on a fake clock, PIN storage, client message
// validation, and the server over real loopback sockets (page, PIN, cookie,
// lock-out, WebSocket upgrade, moves, broadcast, sessions ending).
#include "remote/pinguard.h"
#include "remote/remotehttp.h"
#include "remote/remotemessage.h"
#include "remote/remoteserver.h"

#include <QNetworkInterface>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

using remotehttp::RequestReader;
using remotehttp::Route;

namespace
{

const QByteArray HOST = "Host: h\r\n";

QByteArray get(const QByteArray &target, const QByteArray &headers = HOST)
{
    return "GET " + target + " HTTP/1.1\r\n" + headers + "\r\n";
}

QByteArray post(const QByteArray &target, const QByteArray &body)
{
    return "POST " + target + " HTTP/1.1\r\n" + HOST +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A request whose head (blank line included) is exactly `size` bytes.
QByteArray headOfSize(int size)
{
    const QByteArray start = "GET / HTTP/1.1\r\n" + HOST + "X: ";
    return start + QByteArray(size - start.size() - 4, 'a') + "\r\n\r\n";
}

// "route N" for a complete request, "status N" for a refused one.
QString verdict(RequestReader &r, RequestReader::State s)
{
    if (s == RequestReader::Complete)
        return QStringLiteral("route %1").arg(int(remotehttp::route(r.request())));
    return s == RequestReader::Refused ? QStringLiteral("status %1").arg(r.status())
                                       : QStringLiteral("incomplete");
}

QString routed(Route r)
{
    return QStringLiteral("route %1").arg(int(r));
}

// The whole answer of one request over loopback (the server closes).
QByteArray exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    s.write(request);
    QByteArray out;
    for (int i = 0; i < 500 && s.state() != QAbstractSocket::UnconnectedState; ++i) {
        QTest::qWait(10);
        out += s.readAll();
    }
    return out + s.readAll();
}

QByteArray upgrade(quint16 port, const QByteArray &headers)
{
    return get("/ws", "Host: 127.0.0.1:" + QByteArray::number(port) +
                          "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                          "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: "
                          "dGhlIHNhbXBsZSBub25jZQ==\r\n" +
                          headers);
}

QByteArray statusLine(const QByteArray &answer)
{
    return answer.left(answer.indexOf("\r\n"));
}

} // namespace

class TestRemote : public QObject
{
    Q_OBJECT

    qint64 m_now = 0;
    std::unique_ptr<RemoteServer> m_server;
    QByteArray m_cookie; // "pultora_session=..." after login()

    quint16 port() const { return m_server->port(); }

    void login()
    {
        const QByteArray answer = exchange(port(), post("/pin", "pin=2468"));
        QCOMPARE(statusLine(answer), "HTTP/1.1 204 No Content");
        const qsizetype at = answer.indexOf("pultora_session=");
        m_cookie = answer.mid(at, answer.indexOf(';', at) - at);
    }

    std::unique_ptr<QWebSocket> client()
    {
        const QString origin = QStringLiteral("http://127.0.0.1:%1").arg(port());
        auto ws = std::make_unique<QWebSocket>(origin);
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port())));
        request.setRawHeader("Cookie", "other=1; " + m_cookie);
        ws->open(request);
        return ws;
    }

    // Started by the tests over sockets.
    void startServer()
    {
        m_server = std::make_unique<RemoteServer>(nullptr, [this] { return m_now; });
        RemoteServer::Settings s;
        s.port = 0;
        s.addresses = {QHostAddress(QHostAddress::LocalHost), QHostAddress("127.0.0.2")};
        s.pinHash = pinhash::hashPin(QStringLiteral("2468"), 100);
        QString error;
        QVERIFY2(m_server->start(s, &error), qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
            if (!(i.flags() & QNetworkInterface::IsLoopBack))
                QFAIL("network tests run only inside the private namespace of scripts/netns.sh");
        }
    }

    void cleanup() { m_server.reset(); }

    void reader_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("expected");
        QTest::newRow("page") << get("/") << routed(Route::Page);
        QTest::newRow("page by name, query") << get("/index.html?x=1") << routed(Route::Page);
        QTest::newRow("decoded once") << get("/%69ndex.html") << routed(Route::Page);
        QTest::newRow("picture") << get("/background?v=3") << routed(Route::Background);
        QTest::newRow("control picture")
            << get("/picture/4294967295?v=2") << routed(Route::Picture);
        QTest::newRow("control picture, no id") << get("/picture/") << routed(Route::NotFound);
        QTest::newRow("control picture, not digits")
            << get("/picture/1a") << routed(Route::NotFound);
        QTest::newRow("control picture, past 32 bits")
            << get("/picture/4294967296") << routed(Route::NotFound);
        QTest::newRow("socket") << get("/ws") << routed(Route::WebSocket);
        QTest::newRow("head 8192") << headOfSize(8192) << routed(Route::Page);
        QTest::newRow("head 8193") << headOfSize(8193) << "status 431";
        QTest::newRow("endless request line") << "GET /" + QByteArray(8200, 'a') << "status 414";
        QTest::newRow("endless header")
            << "GET / HTTP/1.1\r\nX: " + QByteArray(8200, 'a') << "status 431";
        QTest::newRow("pin body 64") << post("/pin", QByteArray(64, '1')) << routed(Route::Pin);
        QTest::newRow("pin body 65") << post("/pin", QByteArray(65, '1')) << "status 413";
        QTest::newRow("pin no length")
            << QByteArray("POST /pin HTTP/1.1\r\n" + HOST + "\r\n") << "status 411";
        QTest::newRow("chunked") << QByteArray("POST /pin HTTP/1.1\r\n" + HOST +
                                               "Transfer-Encoding: chunked\r\n\r\n")
                                 << "status 400";
        QTest::newRow("put") << QByteArray("PUT / HTTP/1.1\r\n" + HOST + "\r\n") << "status 405";
        QTest::newRow("head") << QByteArray("HEAD / HTTP/1.1\r\n" + HOST + "\r\n") << "status 405";
        QTest::newRow("post page") << post("/", "1") << routed(Route::MethodNotAllowed);
        QTest::newRow("get pin") << get("/pin") << routed(Route::MethodNotAllowed);
        QTest::newRow("bare LF") << QByteArray("GET / HTTP/1.1\n" + HOST + "\r\n") << "status 400";
        QTest::newRow("no host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << "status 400";
        QTest::newRow("HTTP/2") << QByteArray("GET / HTTP/2\r\n" + HOST + "\r\n") << "status 400";
        QTest::newRow("dot dot") << get("/../index.html") << routed(Route::NotFound);
        QTest::newRow("encoded dot dot") << get("/%2e%2e/index.html") << routed(Route::NotFound);
        QTest::newRow("encoded slash") << get("/%2fws") << routed(Route::NotFound);
        QTest::newRow("backslash") << get("/..%5cindex.html") << routed(Route::NotFound);
        QTest::newRow("NUL") << get("/index.html%00") << routed(Route::NotFound);
        QTest::newRow("double encoded") << get("/%252e%252e/ws") << routed(Route::NotFound);
        QTest::newRow("broken escape") << get("/ws%2") << routed(Route::NotFound);
        QTest::newRow("other file") << get("/etc/passwd") << routed(Route::NotFound);
    }

    void reader()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, expected);
        RequestReader whole;
        QCOMPARE(verdict(whole, whole.feed(request)), expected);
        RequestReader bytewise; // the same verdict however the bytes arrive
        RequestReader::State s = RequestReader::Incomplete;
        for (int i = 0; i < request.size() && s == RequestReader::Incomplete; ++i)
            s = bytewise.feed(QByteArrayView(request).sliced(i, 1));
        QCOMPARE(verdict(bytewise, s), expected);
    }

    // A ".." segment is refused after decoding, where it would climb.
    void decodedPath()
    {
        QVERIFY(remotehttp::decodePath("/%2e%2e/ws").isNull());
        QVERIFY(remotehttp::decodePath("/a/%2E./b").isNull());
        QCOMPARE(remotehttp::decodePath("/a..b/"), QByteArray("/a..b/"));
    }

    void guardPerAddress()
    {
        PinGuard g;
        const QHostAddress a("10.0.0.1"), b("10.0.0.2");
        for (int i = 0; i < 4; ++i)
            g.failed(a, 1000);
        QCOMPARE(g.refusedFor(a, 1000), 0);
        g.failed(a, 1000); // the 5th
        QCOMPARE(g.refusedFor(a, 1000), 30);
        QCOMPARE(g.refusedFor(a, 30999), 1);
        QCOMPARE(g.refusedFor(b, 1000), 0);
        QCOMPARE(g.refusedFor(a, 31000), 0); // the way back: counting starts afresh
        for (int i = 0; i < 4; ++i)
            g.failed(a, 31000);
        QCOMPARE(g.refusedFor(a, 31000), 0);
        g.succeeded(a); // a right PIN resets
        for (int i = 0; i < 4; ++i)
            g.failed(a, 32000);
        QCOMPARE(g.refusedFor(a, 32000), 0);
    }

    void guardGlobal()
    {
        PinGuard g;
        const QHostAddress other("10.9.9.9");
        for (int i = 0; i < 19; ++i)
            g.failed(QHostAddress(quint32(0x0a000000 + i)), i * 1000);
        g.failed(QHostAddress(quint32(0x0b000000)), 60000); // the first one left the window
        QCOMPARE(g.refusedFor(other, 60000), 0);
        g.failed(QHostAddress(quint32(0x0b000001)), 60000); // 20 within 60 s
        QCOMPARE(g.refusedFor(other, 60000), 30);
        QCOMPARE(g.refusedFor(other, 90000), 0);
        for (int i = 0; i < PinGuard::MAX_ADDRESSES + 5; ++i)
            g.failed(QHostAddress(quint32(0x0c000000 + i)), 1000000 + i * 10000);
        QCOMPARE(g.addressCount(), PinGuard::MAX_ADDRESSES);
    }

    void pinHash_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("matches");
        const QByteArray h = pinhash::hashPin(QStringLiteral("12345678"), 10);
        QVERIFY(h.startsWith("pbkdf2-sha256$10$"));
        QTest::newRow("right") << h << "12345678" << true;
        QTest::newRow("wrong") << h << "12345679" << false;
        QTest::newRow("too short a pin")
            << pinhash::hashPin(QStringLiteral("123"), 10) << "123" << false;
        QByteArray other = h;
        other.replace("$10$", "$11$");
        QTest::newRow("other count") << other << "12345678" << false;
        QTest::newRow("zero count") << QByteArray(h).replace("$10$", "$0$") << "12345678" << false;
        QTest::newRow("huge count")
            << QByteArray(h).replace("$10$", "$9999999$") << "12345678" << false;
        QTest::newRow("short hash") << h.chopped(2) << "12345678" << false;
        QTest::newRow("other kind")
            << QByteArray(h).replace("sha256", "sha1") << "12345678" << false;
        QTest::newRow("empty") << QByteArray() << "12345678" << false;
    }

    void pinHash()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, pin);
        QFETCH(bool, matches);
        QCOMPARE(pinhash::pinMatches(stored, pin), matches);
    }

    void pinForm()
    {
        QVERIFY(pinhash::isValidPin(QStringLiteral("1234")));
        QVERIFY(pinhash::isValidPin(QStringLiteral("12345678")));
        QVERIFY(!pinhash::isValidPin(QStringLiteral("123")));
        QVERIFY(!pinhash::isValidPin(QStringLiteral("123456789")));
        QVERIFY(!pinhash::isValidPin(QStringLiteral("12a4")));
        QVERIFY(!pinhash::isValidPin(QString::fromUtf8("١٢٣٤"))); // Arabic-Indic digits
        QCOMPARE(pinhash::pinFromBody("pin=0042"), QStringLiteral("0042"));
        QCOMPARE(pinhash::pinFromBody("0042"), QStringLiteral("0042"));
    }

    void message_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected"); // "set id v", "press id down" or the refusal
        QTest::newRow("set") << QByteArray(R"({"t":"set","id":7,"v":-5})") << "set 7 -5";
        QTest::newRow("press") << QByteArray(R"({"down":true,"t":"press","id":1})") << "press 1 1";
        QTest::newRow("release") << QByteArray(R"({"t":"press","id":2,"down":false})")
                                 << "press 2 0";
        QTest::newRow("id max") << QByteArray(R"({"t":"set","id":4294967295,"v":0})")
                                << "set 4294967295 0";
        QTest::newRow("id 0") << QByteArray(R"({"t":"set","id":0,"v":0})") << "bad id";
        QTest::newRow("id max+1") << QByteArray(R"({"t":"set","id":4294967296,"v":0})") << "bad id";
        QTest::newRow("id text") << QByteArray(R"({"t":"set","id":"1","v":0})") << "bad id";
        QTest::newRow("v max") << QByteArray(R"({"t":"set","id":1,"v":1000000})")
                               << "set 1 1000000";
        QTest::newRow("v min") << QByteArray(R"({"t":"set","id":1,"v":-1000000})")
                               << "set 1 -1000000";
        QTest::newRow("v max+1") << QByteArray(R"({"t":"set","id":1,"v":1000001})") << "bad value";
        QTest::newRow("v fraction") << QByteArray(R"({"t":"set","id":1,"v":3.5})") << "bad value";
        QTest::newRow("v huge") << QByteArray(R"({"t":"set","id":1,"v":1e300})") << "bad value";
        QTest::newRow("down 1") << QByteArray(R"({"t":"press","id":1,"down":1})") << "bad down";
        QTest::newRow("extra key") << QByteArray(R"({"t":"set","id":1,"v":1,"x":0})") << "bad keys";
        QTest::newRow("v of press") << QByteArray(R"({"t":"press","id":1,"v":1})") << "bad keys";
        QTest::newRow("unknown t") << QByteArray(R"({"t":"move","id":1,"v":1})") << "unknown type";
        QTest::newRow("array") << QByteArray("[1]") << "not json";
        QTest::newRow("garbage") << QByteArray("{\"t\":") << "not json";
        const QByteArray set = R"({"t":"set","id":1,"v":1})";
        QTest::newRow("4096 bytes") << set + QByteArray(4096 - set.size(), ' ') << "set 1 1";
        QTest::newRow("4097 bytes") << set + QByteArray(4097 - set.size(), ' ') << "oversized";
    }

    void message()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        remotemessage::Refusal why = remotemessage::Refusal::NotJson;
        const auto m = remotemessage::decode(json, &why);
        const QString got = !m ? remotemessage::refusalName(why)
                            : m->kind == remotemessage::Move::Set
                                ? QStringLiteral("set %1 %2").arg(m->id).arg(m->value)
                                : QStringLiteral("press %1 %2").arg(m->id).arg(int(m->down));
        QCOMPARE(got, expected);
    }

    void listening()
    {
        startServer();
        QVERIFY(m_server->listening());
        QTcpSocket second; // the second address, same port
        second.connectToHost(QHostAddress("127.0.0.2"), port());
        QVERIFY(second.waitForConnected(2000));
        RemoteServer other;
        QString error;
        RemoteServer::Settings s;
        s.port = port();
        s.addresses = {QHostAddress("127.0.0.3"), QHostAddress(QHostAddress::LocalHost)};
        QVERIFY(!other.start(s, &error));
        QVERIFY2(error.contains(QStringLiteral("127.0.0.1")) &&
                     error.contains(QString::number(port())),
                 qPrintable(error));
        QVERIFY(!other.listening());
    }

    void page()
    {
        startServer();
        m_server->setTexts(R"({"title":"Fernbedienung</script>"})");
        const QByteArray answer = exchange(port(), get("/"));
        QCOMPARE(statusLine(answer), "HTTP/1.1 200 OK");
        QVERIFY(answer.contains("\r\nContent-Security-Policy: default-src 'self';"));
        QVERIFY(answer.contains("\r\nX-Content-Type-Options: nosniff\r\n"));
        QVERIFY(answer.contains(R"(= {"title":"Fernbedienung<\/script>"};)"));
        QVERIFY(!answer.contains("/*PULTORA_TEXTS*/"));
        QCOMPARE(statusLine(exchange(port(), get("/%2e%2e/"))), "HTTP/1.1 404 Not Found");
        QCOMPARE(m_server->refusals().value(QStringLiteral("not found")), 1u);
    }

    void pinAndLockout()
    {
        startServer();
        QCOMPARE(statusLine(exchange(port(), get("/background"))), "HTTP/1.1 403 Forbidden");
        for (int i = 0; i < PinGuard::ADDRESS_FAILURES; ++i)
            QCOMPARE(statusLine(exchange(port(), post("/pin", "1357"))), "HTTP/1.1 403 Forbidden");
        const QByteArray locked = exchange(port(), post("/pin", "2468"));
        QCOMPARE(statusLine(locked), "HTTP/1.1 429 Too Many Requests");
        QVERIFY(locked.contains("\r\nRetry-After: 30\r\n"));
        m_now += PinGuard::LOCK_MS; // the way back
        const QByteArray answer = exchange(port(), post("/pin", "pin=2468"));
        QVERIFY(answer.contains("Set-Cookie: pultora_session="));
        QVERIFY(answer.contains("HttpOnly"));
        QVERIFY(answer.contains("SameSite=Strict"));
        login();
        QCOMPARE(m_cookie.size(), 16 + 32);
        const QByteArray cookie = "Cookie: " + m_cookie + "\r\n" + HOST;
        QCOMPARE(statusLine(exchange(port(), get("/background", cookie))),
                 "HTTP/1.1 404 Not Found");
        m_server->setBackgroundPicture("PNG!");
        QVERIFY(exchange(port(), get("/background", cookie)).endsWith("\r\n\r\nPNG!"));
        m_server->setControlPictures({{7, "ICON"}});
        QVERIFY(exchange(port(), get("/picture/7", cookie)).endsWith("\r\n\r\nICON"));
        QCOMPARE(statusLine(exchange(port(), get("/picture/8", cookie))), "HTTP/1.1 404 Not Found");
        QCOMPARE(statusLine(exchange(port(), get("/picture/7"))), "HTTP/1.1 403 Forbidden");
    }

    void httpConnections()
    {
        startServer();
        std::vector<std::unique_ptr<QTcpSocket>> waiting; // requests never finished
        for (int i = 0; i < RemoteServer::MAX_HTTP_CONNECTIONS + 1; ++i) {
            waiting.push_back(std::make_unique<QTcpSocket>());
            waiting.back()->connectToHost(QHostAddress::LocalHost, port());
            waiting.back()->write("GET / HTTP/1.1\r\n");
        }
        const auto closed = [&waiting] {
            return std::count_if(waiting.begin(), waiting.end(), [](const auto &s) {
                return s->state() == QAbstractSocket::UnconnectedState;
            });
        };
        QTRY_COMPARE(m_server->refusals().value(QStringLiteral("too many connections")), 1u);
        QTRY_COMPARE(closed(), 1);
        m_now += RemoteServer::IDLE_MS;
        QTRY_COMPARE(closed(), RemoteServer::MAX_HTTP_CONNECTIONS + 1);
        QCOMPARE(m_server->refusals().value(QStringLiteral("idle")),
                 quint64(RemoteServer::MAX_HTTP_CONNECTIONS));
        QCOMPARE(statusLine(exchange(port(), get("/"))), "HTTP/1.1 200 OK");
    }

    void upgradeRefused_data()
    {
        QTest::addColumn<bool>("cookie");
        QTest::addColumn<QByteArray>("origin");
        QTest::newRow("no cookie") << false << QByteArray("http://127.0.0.1:%1");
        QTest::newRow("foreign origin") << true << QByteArray("http://evil.example");
        QTest::newRow("no origin") << true << QByteArray();
        QTest::newRow("other port") << true << QByteArray("http://127.0.0.1:1");
    }

    void upgradeRefused()
    {
        startServer();
        QFETCH(bool, cookie);
        QFETCH(QByteArray, origin);
        login();
        QByteArray headers = cookie ? "Cookie: " + m_cookie + "\r\n" : QByteArray();
        if (!origin.isEmpty())
            headers += "Origin: " + origin.replace("%1", QByteArray::number(port())) + "\r\n";
        QCOMPARE(statusLine(exchange(port(), upgrade(port(), headers))), "HTTP/1.1 403 Forbidden");
        QCOMPARE(m_server->clientCount(), 0);
    }

    void clients()
    {
        startServer();
        login();
        m_server->setLayout(R"({"t":"layout"})");
        auto a = client(), b = client();
        QList<QString> gotA, gotB;
        connect(a.get(), &QWebSocket::textMessageReceived, this,
                [&](const QString &m) { gotA << m; });
        connect(b.get(), &QWebSocket::textMessageReceived, this,
                [&](const QString &m) { gotB << m; });
        QTRY_COMPARE(m_server->clientCount(), 2);
        m_server->broadcast("{\"t\":\"bg\",\"color\":\"#102030\"}");
        const QStringList both = {R"({"t":"layout"})", "{\"t\":\"bg\",\"color\":\"#102030\"}"};
        QTRY_COMPARE(gotA, both);
        QTRY_COMPARE(gotB, both);

        QSignalSpy moves(m_server.get(), &RemoteServer::moveArrived);
        a->sendTextMessage(R"({"t":"set","id":7,"v":3.5})");
        a->sendTextMessage(R"({"t":"set","id":7,"v":-5})");
        QTRY_COMPARE(moves.size(), 1);
        const auto move = moves.first().first().value<remotemessage::Move>();
        QCOMPARE(move.id, 7u);
        QCOMPARE(move.value, -5);
        QCOMPARE(m_server->refusals().value(QStringLiteral("bad value")), 1u);
        m_server->setOperate(false);
        b->sendTextMessage(R"({"t":"press","id":7,"down":true})");
        QTRY_COMPARE(m_server->refusals().value(QStringLiteral("not operating")), 1u);
        QCOMPARE(moves.size(), 1);

        // A new PIN ends every session.
        QSignalSpy goneA(a.get(), &QWebSocket::disconnected);
        QSignalSpy goneB(b.get(), &QWebSocket::disconnected);
        m_server->setPinHash(pinhash::hashPin(QStringLiteral("1111"), 100));
        QTRY_COMPARE(goneA.size(), 1);
        QTRY_COMPARE(goneB.size(), 1);
        QCOMPARE(a->closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);
        QCOMPARE(m_server->clientCount(), 0);
        QCOMPARE(
            statusLine(exchange(port(), get("/background", "Cookie: " + m_cookie + "\r\n" + HOST))),
            "HTTP/1.1 403 Forbidden");
    }

    void clientLimit()
    {
        startServer();
        login();
        std::vector<std::unique_ptr<QWebSocket>> all;
        // In groups: more than MAX_HTTP_CONNECTIONS at once would be turned away.
        for (int i = 0; i < RemoteServer::MAX_CLIENTS; ++i) {
            all.push_back(client());
            if (all.size() % 16 == 0)
                QTRY_COMPARE(m_server->clientCount(), int(all.size()));
        }
        const QByteArray headers = "Cookie: " + m_cookie +
                                   "\r\nOrigin: http://127.0.0.1:" + QByteArray::number(port()) +
                                   "\r\n";
        QCOMPARE(statusLine(exchange(port(), upgrade(port(), headers))),
                 "HTTP/1.1 503 Service Unavailable");
        all.pop_back(); // the way back: one leaves, one more may come
        QTRY_COMPARE(m_server->clientCount(), RemoteServer::MAX_CLIENTS - 1);
        all.push_back(client());
        QTRY_COMPARE(m_server->clientCount(), RemoteServer::MAX_CLIENTS);
    }
};

QTEST_GUILESS_MAIN(TestRemote)
#include "tst_remote.moc"
