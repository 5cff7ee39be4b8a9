// The command line before any window system: the toolkit's options go to
// the toolkit with their values, and a headless run gets the offscreen
// platform whatever was asked for.
#include "app/commandline.h"

#include <QTemporaryFile>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("toolkit");
        QTest::addColumn<QString>("console");
        QTest::newRow("value as next word") << "-platform offscreen a.ptra"
                                            << "-platform offscreen"
                                            << "a.ptra";
        QTest::newRow("two dashes, =value") << "--style=fusion --headless"
                                            << "--style=fusion"
                                            << "--headless";
        QTest::newRow("flag") << "-reverse --osc-in-port 9000"
                              << "-reverse"
                              << "--osc-in-port 9000";
        QTest::newRow("value missing at the end") << "a.ptra -stylesheet"
                                                  << "-stylesheet"
                                                  << "a.ptra";
        QTest::newRow("a flag takes no =value") << "-reverse=1"
                                                << ""
                                                << "-reverse=1";
        QTest::newRow("after --, the console's") << "-session s -- -style x"
                                                 << "-session s"
                                                 << "-- -style x";
        QTest::newRow("lone dash") << "-"
                                   << ""
                                   << "-";
        QTest::newRow("a longer name is ours") << "--platforms x"
                                               << ""
                                               << "--platforms x";
    }
    void split()
    {
        QFETCH(QString, words);
        QFETCH(QString, toolkit);
        QFETCH(QString, console);
        const SplitArguments split = splitToolkitArguments(words.split(QLatin1Char(' ')));
        QCOMPARE(split.toolkit.join(QLatin1Char(' ')), toolkit);
        QCOMPARE(split.console.join(QLatin1Char(' ')), console);
    }

    void headlessIsOffscreen_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::newRow("none") << "";
        QTest::newRow("xcb") << "-platform xcb ";
        QTest::newRow("wayland, =") << "--platform=wayland ";
    }
    void headlessIsOffscreen()
    {
        QFETCH(QString, asked);
        QTemporaryFile show;
        QVERIFY(show.open());
        const QString line = "pultora -reverse " + asked + "--headless " + show.fileName();
        StartOptions options;
        QCOMPARE(readCommandLine(line.split(QLatin1Char(' ')), &options), std::nullopt);
        QVERIFY(options.headless);
        QCOMPARE(options.file, show.fileName());
        QCOMPARE(options.toolkitArguments, QStringList({"-reverse", "-platform", "offscreen"}));
        // With a window the platform asked for stays.
        const QString windowed = "pultora " + asked + show.fileName();
        QCOMPARE(readCommandLine(windowed.split(QLatin1Char(' ')), &options), std::nullopt);
        QCOMPARE(options.toolkitArguments.join(QLatin1Char(' ')) + (asked.isEmpty() ? "" : " "),
                 asked);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
