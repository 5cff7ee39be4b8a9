// The command output: how the command line is formed, and real detached
// processes started with and without a command folder.
#include "io/command.h"

#include <QtTest>

class TestCommand : public QObject
{
    Q_OBJECT
private slots:
    void commandLineCases()
    {
        const QString sep = QDir::separator();
        const struct {
            QString path, commandText;
            QStringList words;
        } cases[] = {
            {"", "prog a 200", {"prog", "a", "200"}}, // no path: the command as it is
            {"/opt/show", "prog a", {"/opt/show" + sep + "prog", "a"}},
            {"/my shows", "prog \"x y\"", {"/my shows" + sep + "prog", "x y"}}, // blank: one word
            {"", "\"run me\" 1", {"run me", "1"}},
            {"/opt", "", {}},
            {"", "   ", {}},
        };
        for (const auto &c : cases)
            QCOMPARE(command::commandLine(c.path, c.commandText), c.words);
    }

    // Started without waiting for it, named by its full path or within
    // the command folder (blanks in its name).
    void startsDetached()
    {
        const QString folder = m_dir.path() + "/folder with blanks";
        const QString script = writeMarkerScript(folder);
        QVERIFY(!script.isEmpty());
        const QString out = m_dir.path() + "/out";
        command c;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(c.runCommand(QString(), "\"" + script + "\" " + out + "1 value=200 \"two words\""));
        QVERIFY2(timer.elapsed() < 2000, "the start must not wait for the process");
        QCOMPARE(waitForMarker(out + "1"), (QStringList{"value=200", "two words"}));
        QVERIFY(c.runCommand(folder, "marker.sh " + out + "2 42 42"));
        QCOMPARE(waitForMarker(out + "2"), (QStringList{"42", "42"}));
    }

    void failureReasons_data()
    {
        QTest::addColumn<bool>("inFolder");
        QTest::addColumn<QString>("commandText");
        QTest::addColumn<QString>("error"); // the start of errorString()
        QTest::newRow("empty") << false << "  "
                               << "empty command";
        QTest::newRow("no such program in the folder")
            << true << "no-such-program-here 1"
            << "cannot start " + m_dir.path() + QDir::separator() + "no-such-program-here: ";
        QTest::newRow("no such program") << false << "/nonexistent/program"
                                         << "cannot start /nonexistent/program: ";
    }

    void failureReasons()
    {
        QFETCH(bool, inFolder);
        QFETCH(QString, commandText);
        QFETCH(QString, error);
        command c;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^command not started: " +
                                                              QRegularExpression::escape(error)));
        QVERIFY(!c.runCommand(inFolder ? m_dir.path() : QString(), commandText));
        QVERIFY2(c.errorString().startsWith(error), qPrintable(c.errorString()));
        if (error.endsWith(QLatin1String(": ")))
            QVERIFY2(c.errorString().size() > error.size(), "the reason is given");
        QVERIFY(c.runCommand(QString(), "true")); // a start clears the reason
        QVERIFY(c.errorString().isEmpty());
    }

private:
    // Writes a script that records its arguments, one a line, into the
    // file named by its first argument.
    QString writeMarkerScript(const QString &folder)
    {
        QDir().mkpath(folder);
        const QString script = folder + "/marker.sh";
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write("#!/bin/sh\nout=\"$1\"\nshift\nprintf '%s\\n' \"$@\" > \"$out.tmp\"\n"
                   "mv \"$out.tmp\" \"$out\"\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return script;
    }

    static QStringList waitForMarker(const QString &file)
    {
        QFile marker(file);
        for (int i = 0; i < 100 && !marker.exists(); ++i)
            QTest::qWait(50);
        if (!marker.open(QIODevice::ReadOnly))
            return {"<no marker file>"};
        return QString::fromUtf8(marker.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCommand)
#include "tst_command.moc"
