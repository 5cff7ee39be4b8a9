// The console's background, preferences and About windows and its update
// check: what the slots open, the lock, and where reports go. The update
// check asks a server inside this test (loopback only).
#include "app/pultora.h"
#include "app/usersettings.h"
#include "dialogs/aboutinfo.h"
#include "dialogs/backgrounddialog.h"
#include "dialogs/preferencesdialog.h"
#include "dialogs/updatecheck.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"
#include "tests/io/testhttpserver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsDialogs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter;

    // A console on a file holding `preferences` attributes.
    std::unique_ptr<Pultora> makeConsole(const QString &preferences = QString())
    {
        return startConsoleOn(
            m_dir.filePath(QStringLiteral("show.ptra")),
            QStringLiteral("<!DOCTYPE Pultora><PultoraConfig version=\"1\" author=\"pultora\">"
                           "<preferences version=\"1\" %1/></PultoraConfig>")
                .arg(preferences)
                .toUtf8(),
            m_prompter);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void init() { m_prompter = std::make_shared<ScriptedPrompter>(); }

    void lockInPreferencesAsksLikeTheLockCommand_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }

    void lockInPreferencesAsksLikeTheLockCommand()
    {
        QFETCH(int, answer);
        auto console = makeConsole();
        QVERIFY(call(*console, "slotBackground"));
        QVERIFY(call(*console, "slotPreferences"));
        auto *dialog = topLevel<Preferences>();
        QVERIFY(dialog);
        m_prompter->answers = {QMessageBox::StandardButton(answer)};
        dialog->findChild<QCheckBox *>("lock")->click();
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(m_prompter->asked.first().text.contains("\"Ctrl+Alt+Shift+F11\""));
        dialog->findChild<QPushButton *>("ok")->click();
        const bool locked = answer == QMessageBox::Yes;
        QCOMPARE(console->document().preferences().lock_screen, locked);
        // Locking closes the windows; a locked console opens none. About
        // names the running toolkit.
        QTRY_COMPARE(topLevel<SettingsBackground>() == nullptr, locked);
        for (const char *slot : {"slotBackground", "slotPreferences", "slotAbout"})
            QVERIFY(call(*console, slot));
        auto *about = topLevel<AboutInfo>();
        QCOMPARE(!topLevel<SettingsBackground>() && !topLevel<Preferences>() && !about, locked);
        if (!locked)
            QVERIFY(about->findChild<QLabel *>("toolkit")->text().contains(
                        QStringLiteral("Qt (%1)").arg(qVersion())) &&
                    about->findChild<QLabel *>("credits")->text().contains(
                        QRegularExpression("0\\.8\\.0\\.0<br>Date: [A-Z][a-z]+day, ")));
    }

    // The check at start-up is the user's to switch on; a show file cannot.
    void startupCheckFollowsTheUser_data()
    {
        QTest::addColumn<bool>("user");
        QTest::addColumn<QString>("preferences");
        QTest::addColumn<bool>("scheduled");
        QTest::newRow("off by default") << false << "" << false;
        QTest::newRow("a show cannot switch it on") << false << "check_updates=\"1\"" << false;
        QTest::newRow("a show cannot switch it off") << true << "check_updates=\"0\"" << true;
    }

    void startupCheckFollowsTheUser()
    {
        QFETCH(bool, user);
        QFETCH(QString, preferences);
        QFETCH(bool, scheduled);
        UserPreferences set;
        set.check_updates = user;
        usersettings::writePreferences(set);
        auto cleanup = qScopeGuard([] { usersettings::writePreferences(UserPreferences()); });
        auto console = makeConsole(preferences);
        QCOMPARE(console->findChild<CheckSoftwareUpdate *>() != nullptr, scheduled);
        // Asked for, the check runs whatever the setting.
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotCheckForSoftwareUpdate"));
        QVERIFY(console->findChild<CheckSoftwareUpdate *>());
    }

    void updateReportGoesToStatusLineWhenLocked_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("unlocked: a box") << false;
        QTest::newRow("locked: the status line") << true;
    }

    void updateReportGoesToStatusLineWhenLocked()
    {
        QFETCH(bool, locked);
        TestHttpServer server(TestHttpServer::answer(200, "OK", "version: 0.9.0.0\n"));
        QVERIFY(server.listen());
        const QString url = server.url() + QLatin1Char('/');
        const QByteArray saved = qgetenv("PULTORA_UPDATE_CHECK_URL");
        qputenv("PULTORA_UPDATE_CHECK_URL", url.toUtf8());
        auto console = makeConsole(locked ? "lock_screen=\"1\"" : "");
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotCheckForSoftwareUpdate",
                                          Q_ARG(bool, true)));
        qputenv("PULTORA_UPDATE_CHECK_URL", saved);
        auto *check = console->findChild<CheckSoftwareUpdate *>();
        QVERIFY(check);
        QTRY_COMPARE(check->outcome(), CheckSoftwareUpdate::Outcome::NewVersion);
        if (locked) {
            QVERIFY(m_prompter->asked.isEmpty());
            QVERIFY(console->statusBar()->currentMessage().contains("A new version 0.9.0.0"));
        } else {
            QCOMPARE(m_prompter->asked.size(), 1);
            QCOMPARE(m_prompter->asked.first().title, QStringLiteral("Check for Updates"));
            QVERIFY(m_prompter->asked.first().text.contains("0.9.0.0"));
            QVERIFY(!m_prompter->asked.first().text.contains("</b>"));
        }
    }
};

QTEST_MAIN(TestSettingsDialogs)
#include "tst_settingsdialogs.moc"
