// The HTTP output against a small HTTP server inside the test: the request
// that arrives, a server that never answers (aborted after the timeout
// while the event loop keeps running), refused and unreachable servers.
#include "io/http.h"
#include "tests/io/testhttpserver.h"

#include <QtTest>

namespace
{

const QByteArray kOk = TestHttpServer::answer(200, "OK", "ok");

} // namespace

class TestHttp : public QObject
{
    Q_OBJECT
private slots:
    void requestArrives()
    {
        TestHttpServer server(kOk);
        QVERIFY(server.listen());
        http h;
        h.requestUrl(server.url() + "/", "/dimmer?ch=1&v=200");
        QCOMPARE(h.pendingCount(), 1);
        QTRY_COMPARE(server.requestLines, QStringList{"GET /dimmer?ch=1&v=200 HTTP/1.1"});
        QTRY_COMPARE(h.pendingCount(), 0);      // answered requests leave the list
        h.requestUrl(server.url(), "scene/%1"); // a "%" goes out percent-encoded
        QTRY_COMPARE(server.requestLines.value(1), QStringLiteral("GET /scene/%251 HTTP/1.1"));
    }

    void silentServerIsAbortedWithoutBlocking()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        http h;
        QCOMPARE(h.requestTimeout(), 10000);
        h.setRequestTimeout(400);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);
        QElapsedTimer elapsed;
        elapsed.start();
        h.requestUrl(server.url(), "never");
        QVERIFY(elapsed.elapsed() < 100);
        QTRY_COMPARE(server.requestLines.size(), 1);
        QCOMPARE(h.pendingCount(), 1);
        // No further request: the request is still aborted when its time is up.
        QTRY_COMPARE_WITH_TIMEOUT(h.pendingCount(), 0, 3000);
        QVERIFY2(elapsed.elapsed() >= 390, qPrintable(QString::number(elapsed.elapsed())));
        QTRY_COMPARE(server.closedByClient, 1);
        QVERIFY2(ticks >= 10, "the event loop must keep running while a request is open");
    }

    void staleRequestAbortedAtNextRequest()
    {
        TestHttpServer silent;
        TestHttpServer answering(kOk);
        QVERIFY(silent.listen());
        QVERIFY(answering.listen());
        http h;
        h.setRequestTimeout(300);
        h.requestUrl(silent.url(), "a");
        QTRY_COMPARE(silent.requestLines.size(), 1);
        QTest::qSleep(350); // time passes without the event loop
        h.requestUrl(answering.url(), "b");
        QCOMPARE(h.pendingCount(), 1); // the stale one went at once
        QTRY_COMPARE(answering.requestLines, QStringList{"GET /b HTTP/1.1"});
        QTRY_COMPARE(silent.closedByClient, 1);
    }

    void destructionWithOpenRequests()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        {
            http h;
            for (int i = 0; i < 10; ++i)
                h.requestUrl(server.url(), QString::number(i));
            QTRY_VERIFY(server.requestLines.size() >= 6); // six connections per host at most
        }
        QTRY_COMPARE(server.closedByClient, server.connections);
    }

    void refusedAtOnce_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const char *server, const char *link,
                            const char *error) {
            QTest::newRow(name) << QString(server) << QString(link) << QString(error);
        };
        row("no server", "", "relative/path", "not an http or https URL: /relative/path");
        row("other scheme", "gopher://127.0.0.1/", "x",
            "not an http or https URL: gopher://127.0.0.1/x");
        row("no host", "http:", "x", "not an http or https URL: http:/x");
        row("broken host", "http://[::1", "x", "not a valid URL: http://[::1/x");
    }

    void refusedAtOnce()
    {
        QFETCH(QString, server);
        QFETCH(QString, link);
        QFETCH(QString, error);
        http h;
        QTest::ignoreMessage(QtWarningMsg, qPrintable("GET not sent: " + error));
        QVERIFY(!h.requestUrl(server, link));
        QCOMPARE(h.errorString(), error);
        QCOMPARE(h.pendingCount(), 0);
        TestHttpServer answering(kOk);
        QVERIFY(answering.listen());
        QVERIFY(h.requestUrl(answering.url(), "x"));
        QVERIFY(h.errorString().isEmpty());
    }

    void laterFailureWarned()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QString server = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        http h;
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression("^GET " + QRegularExpression::escape(server) + "/x failed: .+"));
        QVERIFY(h.requestUrl(server, "x"));
        QTRY_COMPARE(h.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestHttp)
#include "tst_http.moc"
