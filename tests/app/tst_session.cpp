// The last session and the recovery copy in the data folder (the test-mode
// one, emptied before each test), with a fresh working folder each time.
#include "app/appinfo.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QByteArray show(int controls)
{
    QByteArray text("<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n");
    for (int i = 0; i < controls; ++i)
        text += " <control version=\"1\" name=\"C" + QByteArray::number(i) +
                "\" control_type=\"button_push\" position_x=\"10\" position_y=\"10\"/>\n";
    return text + "</PultoraConfig>\n";
}

QString data(const QString &name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(name);
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_work;
    std::shared_ptr<ScriptedPrompter> m_prompter;

    QString work(const QString &name) const { return m_work->filePath(name); }
    std::unique_ptr<Pultora> start(int controls, const QString &name = QStringLiteral("show.ptra"))
    {
        return startConsoleOn(work(name), show(controls), m_prompter);
    }
    // Renames the first control: one edit.
    static void edit(Pultora &console, const QString &name)
    {
        *console.editRecord() = console.document().controls().at(0);
        console.editRecord()->name = name;
        QVERIFY(call(console, "slotSettingsChanged"));
    }
    // What a console that ended uncleanly leaves.
    static void plantRecovery(const QString &copy, int controls, const QString &original,
                              const QDateTime &written)
    {
        QVERIFY(writeBytes(copy, show(controls)));
        QString side = copy;
        side.replace(QStringLiteral(".ptra"), QStringLiteral(".json"));
        const QJsonObject o{{QStringLiteral("file"), original},
                            {QStringLiteral("written"), written.toString(Qt::ISODateWithMs)}};
        QVERIFY(writeBytes(side, QJsonDocument(o).toJson()));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QVERIFY(QDir(data(QString())).removeRecursively() && QDir().mkpath(data(QString())));
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_work->path()));
        m_prompter = std::make_shared<ScriptedPrompter>();
    }

    void lastSessionIsNeverWrittenThroughALink()
    {
        QVERIFY(writeBytes(work(QStringLiteral("victim")), "keep me"));
        QVERIFY(QFile::link(work(QStringLiteral("victim")), data(appinfo::lastSessionFileName())));
        start(2).reset();
        QCOMPARE(readBytes(work(QStringLiteral("victim"))), QByteArray("keep me"));
        // The link gave way to a file of the console's own.
        const QFileInfo session(data(appinfo::lastSessionFileName()));
        QVERIFY(session.isFile() && !session.isSymLink());
        QCOMPARE(controlsIn(session.filePath()), 2);
        QVERIFY(!QFile::exists(work(appinfo::lastSessionFileName())));
    }

    void oldLastSessionIsCopiedOnceAndOpened()
    {
        const QString old = work(appinfo::lastSessionFileName());
        QVERIFY(writeBytes(old, show(3)));
        {
            std::unique_ptr<Pultora> console = start(1);
            QCOMPARE(console->lastSessionFile(), data(appinfo::lastSessionFileName()));
            // Copied, not loaded.
            QCOMPARE(readBytes(console->lastSessionFile()), show(3));
            QCOMPARE(console->document().controls().size(), 1);
            const CommandTable &c = console->commands();
            QVERIFY(c.openLastSession->isEnabled() && c.recentMenu->isEnabled());
            c.openLastSession->trigger();
            QCOMPARE(console->document().controls().size(), 3);
            // The file is the console's: Save asks for a name of the user's.
            QVERIFY(console->currentFile().isEmpty());
            QVERIFY(console->document().isModified());
            edit(*console, QStringLiteral("changed"));
        }
        QVERIFY(readBytes(data(appinfo::lastSessionFileName())).contains("changed"));
        // Once: the data folder's file is not replaced by the old one again.
        const std::unique_ptr<Pultora> again = start(1);
        QVERIFY(readBytes(data(appinfo::lastSessionFileName())).contains("changed"));
        QCOMPARE(readBytes(old), show(3));
    }

    void recoveryCopyFollowsTheShow()
    {
        std::unique_ptr<Pultora> console = start(2);
        const QString copy = console->recoveryFile();
        QCOMPARE(copy, data(appinfo::recoveryFileName()));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(!QFile::exists(copy)); // nothing unsaved
        edit(*console, QStringLiteral("first"));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(readBytes(copy).contains("first"));
        QVERIFY(readBytes(data(QStringLiteral("config_recovery.json"))).contains("show.ptra"));
        QVERIFY(QFile::remove(copy));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(!QFile::exists(copy)); // nothing changed since the last copy
        // Undone back to the file, saved, ended: each time the copy goes.
        edit(*console, QStringLiteral("second"));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(QFile::exists(copy));
        console->commands().undo->trigger();
        console->commands().undo->trigger();
        QVERIFY(!QFile::exists(copy));
        edit(*console, QStringLiteral("saved"));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(saved(*console) && !QFile::exists(copy));
        edit(*console, QStringLiteral("quit"));
        QVERIFY(call(*console, "slotWriteRecovery"));
        QVERIFY(QFile::exists(copy));
        console.reset();
        QVERIFY(!QFile::exists(copy));
        // A clean end leaves nothing to offer.
        start(1).reset();
        QVERIFY(m_prompter->asked.isEmpty());
    }

    void recoveryIsOfferedAfterAnUncleanEnd_data()
    {
        QTest::addColumn<QString>("copy");
        QTest::addColumn<int>("answer");
        QTest::newRow("own, restored") << appinfo::recoveryFileName() << int(QMessageBox::Yes);
        QTest::newRow("own, dropped") << appinfo::recoveryFileName() << int(QMessageBox::No);
        QTest::newRow("another's, restored")
            << QStringLiteral("config_recovery-2.ptra") << int(QMessageBox::Yes);
    }

    void recoveryIsOfferedAfterAnUncleanEnd()
    {
        QFETCH(QString, copy);
        QFETCH(int, answer);
        const QString original = work(QStringLiteral("gig.ptra"));
        QVERIFY(writeBytes(original, show(1)));
        const QDateTime written = QDateTime::currentDateTimeUtc().addSecs(-3600);
        plantRecovery(data(copy), 4, original, written);
        m_prompter->answers = {QMessageBox::StandardButton(answer)};
        std::unique_ptr<Pultora> console = start(2);
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral("Restore the unsaved changes of gig.ptra from %1?")
                     .arg(written.toLocalTime().toString(QStringLiteral("HH:mm"))));
        if (answer == QMessageBox::No) {
            QCOMPARE(console->document().controls().size(), 2); // the start file
            QVERIFY(!QFile::exists(data(copy)));
            QVERIFY(!QFile::exists(data(QStringLiteral("config_recovery.json"))));
            return;
        }
        QCOMPARE(console->document().controls().size(), 4);
        QCOMPARE(console->currentFile(), original);
        QVERIFY(console->isWindowModified());
        // The changes are this console's to keep until they are saved.
        QCOMPARE(controlsIn(console->recoveryFile()), 4);
        QCOMPARE(QFile::exists(data(copy)), data(copy) == console->recoveryFile());
        QVERIFY(saved(*console));
        QCOMPARE(controlsIn(original), 4);
        QVERIFY(!QFile::exists(console->recoveryFile()));
    }

    void recoveryOfARunningConsoleIsNotOffered()
    {
        plantRecovery(data(appinfo::recoveryFileName()), 3, QString(),
                      QDateTime::currentDateTimeUtc());
        auto running = std::make_unique<QLockFile>(data(QStringLiteral("instance.lock")));
        QVERIFY(running->tryLock(0));
        std::unique_ptr<Pultora> console = start(1);
        QVERIFY(m_prompter->asked.isEmpty());
        QCOMPARE(console->lastSessionFile(), data(QStringLiteral("config_last_session-2.ptra")));
        QCOMPARE(console->recoveryFile(), data(QStringLiteral("config_recovery-2.ptra")));
        // Its clean end removes its own copy only.
        console.reset();
        QCOMPARE(controlsIn(data(appinfo::recoveryFileName())), 3);
        // That console gone uncleanly, the next start offers its copy.
        running.reset();
        m_prompter->answers = {QMessageBox::No};
        start(1).reset();
        QCOMPARE(m_prompter->asked.size(), 1);
        QVERIFY(m_prompter->asked.at(0).text.startsWith(
            QStringLiteral("Restore the unsaved changes of untitled from ")));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
