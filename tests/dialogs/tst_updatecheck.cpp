// The update check: parsing the endpoint's answer, and whole checks against
// a server in this test (loopback only) that answers as each case needs.
#include "dialogs/updatecheck.h"
#include "tests/io/testhttpserver.h"

#include <QSignalSpy>
#include <QtTest>

namespace
{

QByteArray http(int status, const QByteArray &reason, const QByteArray &body)
{
    return TestHttpServer::answer(status, reason, body);
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private slots:
    void newerVersion_data();
    void newerVersion();
    void check_data();
    void check();
};

void TestUpdateCheck::newerVersion_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("newer"); // empty: none
    QTest::newRow("capital V") << QByteArray("Version: 0.8.0.1") << "0.8.0.1";
    QTest::newRow("same, shorter") << QByteArray("version: 0.8") << "";
    QTest::newRow("piece skipped") << QByteArray("version: 1.x.2") << "1.2.0.0";
    QTest::newRow("second line") << QByteArray("version: 0.7\nversion: 0.9\n") << "0.9.0.0";
    QTest::newRow("CR LF") << QByteArray("name: pultora\r\nversion: 0.9.0.0\r\n") << "0.9.0.0";
    QTest::newRow("after a zero byte") << QByteArray("x\0version: 9.0", 14) << "";
    QTest::newRow("all zero") << QByteArray("version: 0.0.0.0") << "";
    QTest::newRow("no version line") << QByteArray("<html>Not Found</html>") << "";
}

void TestUpdateCheck::newerVersion()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, newer);
    const auto found = newerVersionIn(answer, {0, 8, 0, 0});
    QStringList parts;
    for (const auto part : found.value_or(SoftwareVersion{}))
        parts << QString::number(part);
    QCOMPARE(found ? parts.join('.') : QString(), newer);
}

void TestUpdateCheck::check_data()
{
    using O = CheckSoftwareUpdate::Outcome;
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<bool>("giveInfo");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("report"); // empty: nothing reported

    const auto row = [](const char *name, const QByteArray &first, bool giveInfo, O outcome,
                        const char *report, const QByteArray &second = {}, bool serverUp = true) {
        QTest::newRow(name) << first << second << serverUp << giveInfo << int(outcome)
                            << QString(report);
    };
    const QByteArray newer = http(200, "OK", "software: pultora\nversion: 0.9.1.0\n");
    const QByteArray same = http(200, "OK", "version: 0.8.0.0\n");
    const char *offline = "There is no internet connection available to check for updates!";
    row("newer", newer, true, O::NewVersion, "new 0.9.1.0");
    row("newer, silent", newer, false, O::NewVersion, "new 0.9.1.0");
    row("same", same, true, O::NoUpdate, "There is no update available!");
    row("same, silent", same, false, O::NoUpdate, "");
    const QByteArray split = http(200, "OK", "software: pultora\nversion: 0.8.0.1\n");
    const int cut = split.indexOf("sion:");
    row("split across chunks", split.left(cut), true, O::NewVersion, "new 0.8.0.1", split.mid(cut));
    row("error page", http(404, "Not Found", "version: 9.9.9.9\n"), true, O::Failed,
        "The check for updates failed: the server answered 404 Not Found.");
    row("error page, silent", http(500, "Internal Server Error", "oops"), false, O::Failed, "");
    row("too large", http(200, "OK", QByteArray(70 * 1024, 'x') + "\nversion: 1.0"), true,
        O::Failed, "The check for updates failed: the answer is larger than 64 KB.");
    row("no server", {}, true, O::NoConnection, offline, {}, false);
    row("never answers", {}, true, O::NoConnection, offline);
}

void TestUpdateCheck::check()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(bool, serverUp);
    QFETCH(bool, giveInfo);
    QFETCH(int, outcome);
    QFETCH(QString, report);

    QString url;
    TestHttpServer server(first);
    server.replyRest = second;
    {
        // A port nobody listens on: take one, then give it back.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        url = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    }
    if (serverUp) {
        QVERIFY(server.listen());
        url = server.url() + QStringLiteral("/update_check.php?software=pultora");
    }
    CheckSoftwareUpdate checker;
    QStringList reports;
    checker.setPresenter([&](const QString &text) { reports << text; });
    checker.setGiveInfo(giveInfo);
    checker.setUpdateText(QStringLiteral("new $$$VERSION$$$"));
    checker.setCurrentVersion(0, 8, 0, 0);
    checker.setTimeout(500);
    QSignalSpy finished(&checker, &CheckSoftwareUpdate::checkFinished);
    checker.CheckForUpdate(url, 0);
    QVERIFY(finished.wait(5000));
    QCOMPARE(int(checker.outcome()), outcome);
    QCOMPARE(reports, report.isEmpty() ? QStringList() : QStringList{report});
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
