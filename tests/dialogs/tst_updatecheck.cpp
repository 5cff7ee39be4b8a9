// The update check: parsing the endpoint's answer, and whole checks against
// servers in this test (loopback only) that answer as each case needs.
#include "dialogs/updatecheck.h"
#include "tests/io/testhttpserver.h"

#include <QPointer>
#include <QtTest>

#include <memory>
#include <vector>

namespace
{

constexpr auto http = &TestHttpServer::answer;

// An answer standing for no server at all on the check's port.
const QByteArray kNoServer = "(no server)";

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private slots:
    void newerVersion_data()
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

    void newerVersion()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, newer);
        const auto found = newerVersionIn(answer, {0, 8, 0, 0});
        QStringList parts;
        for (const auto part : found.value_or(SoftwareVersion{}))
            parts << QString::number(part);
        QCOMPARE(found ? parts.join('.') : QString(), newer);
    }

    void check_data()
    {
        using O = CheckSoftwareUpdate::Outcome;
        QTest::addColumn<QByteArrayList>("answers"); // one check each, in turn; "|" splits
        QTest::addColumn<bool>("replace");           // the next starts while one runs
        QTest::addColumn<bool>("giveInfo");
        QTest::addColumn<int>("outcome"); // of the last check
        QTest::addColumn<QStringList>("reports");

        const auto row = [](const char *name, const QByteArrayList &answers, bool giveInfo,
                            O outcome, const QStringList &reports, bool replace = false) {
            QTest::newRow(name) << answers << replace << giveInfo << int(outcome) << reports;
        };
        const QByteArray newer = http(200, "OK", "software: pultora\nversion: 0.9.1.0\n");
        const QByteArray same = http(200, "OK", "version: 0.8.0.0\n");
        const QByteArray tooLarge = http(200, "OK", QByteArray(70 * 1024, 'x') + "\nversion: 1.0");
        const QByteArray never; // the server takes the request and stays silent
        const QByteArray atLimit = "version: 0.8.0.2\n";
        const QString offline = "There is no internet connection available to check for updates!";
        const QString noUpdate = "There is no update available!";
        const QString tooLargeText =
            "The check for updates failed: the answer is larger than 64 KB.";
        QByteArray split = http(200, "OK", "software: pultora\nversion: 0.8.0.1\n");
        split.insert(split.indexOf("sion:"), '|');

        row("newer", {newer}, true, O::NewVersion, {"new 0.9.1.0"});
        row("same", {same}, true, O::NoUpdate, {noUpdate});
        row("same, silent", {same}, false, O::NoUpdate, {});
        row("split across chunks", {split}, true, O::NewVersion, {"new 0.8.0.1"});
        row("error page", {http(404, "Not Found", "version: 9.9.9.9\n")}, true, O::HttpError,
            {"The check for updates failed: the server answered 404 Not Found."});
        row("too large", {tooLarge}, true, O::TooLarge, {tooLargeText});
        row("exactly the limit",
            {http(200, "OK",
                  atLimit + QByteArray(UPDATE_ANSWER_LIMIT_BYTES - atLimit.size(), 'x'))},
            false, O::NewVersion, {"new 0.8.0.2"});
        row("no server", {kNoServer}, true, O::NoConnection, {offline});
        row("never answers", {never}, true, O::NoConnection, {offline});
        // Way back: a failed check leaves nothing to the next.
        row("too large, then an answer", {tooLarge, same}, true, O::NoUpdate,
            {tooLargeText, noUpdate});
        // The replaced check reports nothing, not even its abort as a failure.
        row("replaced while running", {never, newer}, true, O::NewVersion, {"new 0.9.1.0"}, true);
        row("replaced while running, by a failing one", {never, tooLarge}, true, O::TooLarge,
            {tooLargeText}, true);
    }

    void check()
    {
        QFETCH(QByteArrayList, answers);
        QFETCH(bool, replace);
        QFETCH(bool, giveInfo);
        QFETCH(int, outcome);
        QFETCH(QStringList, reports);

        CheckSoftwareUpdate checker;
        QStringList seen;
        checker.setPresenter([&](const QString &text) { seen << text; });
        checker.setGiveInfo(giveInfo);
        checker.setUpdateText(QStringLiteral("new $$$VERSION$$$"));
        checker.setCurrentVersion(0, 8, 0, 0);
        checker.setTimeout(500);
        std::vector<std::unique_ptr<TestHttpServer>> servers;
        for (const QByteArray &answer : answers) {
            const QByteArrayList chunks = answer.split('|');
            auto &server = servers.emplace_back(std::make_unique<TestHttpServer>(chunks.first()));
            server->replyRest = chunks.value(1);
            QString url;
            if (answer == kNoServer) {
                // A port nobody listens on: take one, then give it back.
                QTcpServer closed;
                QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
                url = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
            } else {
                QVERIFY(server->listen());
                url = server->url() + QStringLiteral("/update_check.php?software=pultora");
            }
            const bool last = servers.size() == size_t(answers.size());
            const int reported = int(seen.size());
            checker.CheckForUpdate(url, 0);
            if (last)
                break;
            if (replace)
                QTRY_COMPARE(server->requestLines.size(), 1);
            else
                QTRY_COMPARE(seen.size(), reported + 1);
        }
        QTRY_COMPARE(int(checker.outcome()), outcome);
        if (replace)
            QTest::qWait(700); // past the replaced request's timeout
        QCOMPARE(seen, reports);
    }

    // Whoever answers the report may delete the check (a console closed while
    // its box is open) or start the next one, which then runs.
    void presenterMayDeleteTheCheck_data()
    {
        QTest::addColumn<bool>("again");
        QTest::newRow("deletes the check") << false;
        QTest::newRow("checks again") << true;
    }

    void presenterMayDeleteTheCheck()
    {
        QFETCH(bool, again);
        TestHttpServer server(http(200, "OK", "version: 0.9.1.0\n"));
        QVERIFY(server.listen());
        auto *checker = new CheckSoftwareUpdate;
        const QPointer<CheckSoftwareUpdate> alive(checker);
        checker->setCurrentVersion(0, 8, 0, 0);
        int reports = 0;
        checker->setPresenter([&, checker](const QString &) {
            if (!again || ++reports == 2)
                delete checker;
            else
                checker->CheckForUpdate(server.url() + QStringLiteral("/"), 0);
        });
        checker->CheckForUpdate(server.url() + QStringLiteral("/"), 0);
        QTRY_VERIFY(!alive);
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
