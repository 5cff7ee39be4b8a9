// The consistency check on the console: silent after a load unless
// something is found, with information from the menu, for one control from
// the editor, the options as one undoable step kept as saved, Skip on large
// shows.
#include "app/consistencyrunner.h"
#include "app/pultora.h"
#include "dialogs/consistencedialogs.h"
#include "model/showcommands.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QByteArray show(const QString &controls, const QString &checks = QString())
{
    return QStringLiteral("<PultoraConfig>%1<background version=\"1\" size_x=\"300\" "
                          "size_y=\"200\"/>%2</PultoraConfig>")
        .arg(checks, controls)
        .toUtf8();
}

QString label(const QString &name, int x, int y)
{
    return QStringLiteral("<control version=\"1\" name=\"%1\" control_type=\"label\" "
                          "position_x=\"%2\" position_y=\"%3\"/>")
        .arg(name)
        .arg(x)
        .arg(y);
}

QStringList lines(const ConsistenceCheckTable *table)
{
    QStringList list;
    for (int row = 0; table && row < table->list()->count(); ++row)
        list << table->list()->item(row)->text();
    return list;
}

} // namespace

class TestConsistencyRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter;

    std::unique_ptr<Pultora> start(const QByteArray &content)
    {
        return startConsoleOn(m_dir.filePath(QStringLiteral("show.ptra")), content, m_prompter);
    }
    static bool check(Pultora &console, const char *slot, bool info)
    {
        bool result = false;
        QMetaObject::invokeMethod(&console, slot, Q_RETURN_ARG(bool, result), Q_ARG(bool, info));
        return result;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() { m_prompter = std::make_shared<ScriptedPrompter>(); }

    // After a load the check is silent unless it finds something; from the
    // menu it always tells. Findings carry their severity and a picture, and
    // a pair's line makes both controls blink.
    void checkRuns_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QStringList>("expected"); // empty: no window shown
        const QString partial = "WARNING: Controls 'A' and 'B' - partial overlap of position "
                                "(%1/0) with position (49/49)!";
        QTest::newRow("load, overlap")
            << show(label("A", 0, 0) + label("B", 40, 0)) << false << QStringList{partial.arg(40)};
        QTest::newRow("load, outside but switched off")
            << show(label("A", 300, 0),
                    "<consistence_check version=\"1\" check_4=\"0\" check_5=\"0\"/>")
            << false << QStringList();
        QTest::newRow("menu, clean")
            << show(label("A", 0, 0)) << true << QStringList{"Consistency Check Successful!"};
        QTest::newRow("menu, all off")
            << show(label("A", 300, 0), "<consistence_check version=\"1\" check_1=\"0\" "
                                        "check_2=\"0\" check_3=\"0\" check_4=\"0\" check_5=\"0\"/>")
            << true
            << QStringList{"All checks have been disabled!\nA consistency check is not required."};
        QTest::newRow("menu, findings")
            << show(label("A", 0, 0) + label("B", 0, 0)) << true
            << QStringList{"ERROR: Controls 'A' and 'B' - complete overlap of position (0/0) with "
                           "position (0/0)!",
                           partial.arg(0)};
    }
    void checkRuns()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, menu);
        QFETCH(QStringList, expected);
        auto console = start(content);
        if (menu)
            QCOMPARE(check(*console, "slotConsistenceCheckChanged", true),
                     !expected.first().contains("overlap"));
        auto *results = topLevel<ConsistenceCheckTable>();
        QCOMPARE(results && results->isVisible(), !expected.isEmpty());
        QCOMPARE(lines(results), expected);
        QVERIFY(m_prompter->asked.isEmpty());
        if (expected.isEmpty())
            return;
        QVERIFY(!results->findChild<QPushButton *>(QStringLiteral("checkAgain"))->isHidden());
        if (!expected.first().contains("overlap"))
            return;
        for (int row = 0; row < expected.size(); ++row)
            QVERIFY(!results->list()->item(row)->icon().pixmap(16).isNull());
        QSignalSpy clicked(results, SIGNAL(selectLine(const QWidget *, const QWidget *)));
        results->slotTableClick(results->list()->item(0));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).value<const QWidget *>(), widgetAt(*console, 0));
    }

    void noControls()
    {
        auto console = start(show(QString()));
        QVERIFY(check(*console, "slotConsistenceCheckChanged", true));
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral("No controls were found for a consistency check!"));
    }

    // Locked, the options do not open; unlocked, OK in them is one undoable
    // step and a run with information. What was switched off (the lock, two
    // checks) stays off when saved and read again.
    void optionsAreOneUndoStepAndStayAsSaved()
    {
        auto console =
            start(show(label("A", 300, 0), "<preferences version=\"1\" lock_screen=\"1\"/>"));
        QVERIFY(console->document().preferences().lock_screen);
        QVERIFY(call(*console, "slotCheckConsistence"));
        QVERIFY(!topLevel<ConsistenceCheck>());
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        QVERIFY(call(*console, "slotCheckConsistence"));
        auto *options = topLevel<ConsistenceCheck>();
        QVERIFY(options && options->isVisible());
        options->findChild<QCheckBox *>(QStringLiteral("check_4"))->click();
        options->findChild<QCheckBox *>(QStringLiteral("check_5"))->click();
        const int before = console->document().undoStack().count();
        options->pressOk();
        QCOMPARE(console->document().undoStack().count(), before + 1);
        QCOMPARE(lines(topLevel<ConsistenceCheckTable>()),
                 QStringList{"Consistency Check Successful!"});
        console->commands().undo->trigger();
        QVERIFY(console->document().checks() == ConsistenceCheckStruct());
        console->commands().redo->trigger();
        // Unchanged options push nothing.
        QVERIFY(call(*console, "slotCheckConsistence"));
        options->pressOk();
        QCOMPARE(console->document().undoStack().index(), before + 1);

        QVERIFY(saved(*console));
        QVERIFY(call(*console, "slotConfigReload"));
        QVERIFY(!console->document().preferences().lock_screen);
        const ConsistenceCheckStruct &checks = console->document().checks();
        QVERIFY(checks.check_1 && checks.check_3 && !checks.check_4 && !checks.check_5);
    }

    // The editor's check of one control shows findings without Check Again.
    void oneControlFromTheEditor()
    {
        auto console = start(show(label("A", 0, 0) + label("B", 100, 0)));
        SettingStruct edited = console->document().controls().at(1);
        edited.position_x = 50; // edges touch
        QVERIFY(console->checkConsitence(&edited));
        edited.position_x = 20;
        QVERIFY(!console->checkConsitence(&edited));
        auto *results = topLevel<ConsistenceCheckTable>();
        QVERIFY(results && results->isVisible());
        QVERIFY(results->findChild<QPushButton *>(QStringLiteral("checkAgain"))->isHidden());
        QCOMPARE(lines(results),
                 QStringList{"WARNING: Controls 'B' and 'A' - partial overlap of position (20/0) "
                             "with position (49/49)!"});
        QVERIFY(console->checkConsitence(nullptr));
    }

    void skipOnALargeShow()
    {
        ShowDocument document;
        QWidget console;
        Surface surface(&console, document);
        ScriptedPrompter prompter;
        ConsistencyRunner runner(document, surface, prompter, &console);
        ShowContent content;
        for (int i = 0; i < 150; ++i) {
            SettingStruct c;
            c.position_x = quint32(i) * 60;
            content.controls.append(c);
        }
        document.push(new ReplaceShow(document, content, QStringLiteral("load")));
        int calls = 0;
        runner.setProgress([&](int done, int total) {
            ++calls;
            return done < total / 2;
        });
        QVERIFY(!runner.checkSurface(false));
        QVERIFY(calls > 0);
        QVERIFY(lines(runner.results())
                    .contains(QStringLiteral("ERROR: Consistency Check Skipped by User\n")));
    }
};

QTEST_MAIN(TestConsistencyRun)
#include "tst_consistencyrun.moc"
