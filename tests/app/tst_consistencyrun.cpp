// The consistency check on the console: silent after a load unless
// something is found, with information from the menu, for one control from
// the editor, the options as one undoable step, Skip on large shows.
#include "app/consistencyrunner.h"
#include "app/pultora.h"
#include "dialogs/consistencedialogs.h"
#include "model/showcommands.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QApplication>
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
    template <typename T> static T *window()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<T *>(w))
                return found;
        return nullptr;
    }
    static bool run(Pultora &console, const char *slot, bool info)
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

    void afterLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected"); // empty: no window shown
        QTest::newRow("clean") << show(label("A", 0, 0) + label("B", 50, 0)) << QStringList();
        QTest::newRow("overlap, once")
            << show(label("A", 0, 0) + label("B", 40, 0))
            << QStringList{"WARNING: Controls 'A' and 'B' - partial overlap of position (40/0) "
                           "with position (49/49)!"};
        QTest::newRow("outside")
            << show(label("A", 300, 0))
            << QStringList{"ERROR: Control 'A' with position (300/0) is located completely out of "
                           "the background size of (300x200)!",
                           "WARNING: Control 'A' with position (350/50) is located partially out "
                           "of the background size of (300x200)!"};
        QTest::newRow("outside, switched off")
            << show(label("A", 300, 0),
                    "<consistence_check version=\"1\" check_4=\"0\" check_5=\"0\"/>")
            << QStringList();
    }
    void afterLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        auto console = start(content);
        auto *results = window<ConsistenceCheckTable>();
        QCOMPARE(results && results->isVisible(), !expected.isEmpty());
        QCOMPARE(lines(results), expected);
        for (int row = 0; row < expected.size(); ++row)
            QVERIFY(!results->list()->item(row)->icon().pixmap(16).isNull());
        // A click on a pair's line makes both controls blink.
        if (results && expected.size() == 1) {
            QSignalSpy clicked(results, SIGNAL(selectLine(const QWidget *, const QWidget *)));
            results->slotTableClick(results->list()->item(0));
            QCOMPARE(clicked.count(), 1);
            QCOMPARE(clicked.at(0).at(0).value<const QWidget *>(),
                     console->surface().widget(console->document().controls().at(0).id));
        }
        QVERIFY(m_prompter->asked.isEmpty());
    }

    void fromTheMenu_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("clean") << show(label("A", 0, 0)) << true
                               << QStringList{"Consistency Check Successful!"};
        QTest::newRow("all off")
            << show(label("A", 300, 0), "<consistence_check version=\"1\" check_1=\"0\" "
                                        "check_2=\"0\" check_3=\"0\" check_4=\"0\" check_5=\"0\"/>")
            << true
            << QStringList{"All checks have been disabled!\nA consistency check is not required."};
        QTest::newRow("finding") << show(label("A", 0, 0) + label("B", 0, 0)) << false
                                 << QStringList{"ERROR: Controls 'A' and 'B' - complete overlap of "
                                                "position (0/0) with position (0/0)!",
                                                "WARNING: Controls 'A' and 'B' - partial overlap "
                                                "of position (0/0) with position (49/49)!"};
    }
    void fromTheMenu()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, passed);
        QFETCH(QStringList, expected);
        auto console = start(content);
        QCOMPARE(run(*console, "slotConsistenceCheckChanged", true), passed);
        auto *results = window<ConsistenceCheckTable>();
        QVERIFY(results && results->isVisible());
        QCOMPARE(lines(results), expected);
        QVERIFY(!results->findChild<QPushButton *>(QStringLiteral("checkAgain"))->isHidden());
    }

    void noControls()
    {
        auto console = start(show(QString()));
        QVERIFY(run(*console, "slotConsistenceCheckChanged", true));
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text,
                 QStringLiteral("No controls were found for a consistency check!"));
    }

    // OK in the options is one undoable step, then a run with information.
    void optionsAreOneUndoStep()
    {
        auto console = start(show(label("A", 300, 0)));
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotCheckConsistence"));
        auto *options = window<ConsistenceCheck>();
        QVERIFY(options && options->isVisible());
        options->findChild<QCheckBox *>(QStringLiteral("check_4"))->click();
        options->findChild<QCheckBox *>(QStringLiteral("check_5"))->click();
        const int before = console->document().undoStack().count();
        options->pressOk();
        QCOMPARE(console->document().undoStack().count(), before + 1);
        QVERIFY(!console->document().checks().check_4 && !console->document().checks().check_5);
        QVERIFY(console->isWindowModified());
        QCOMPARE(lines(window<ConsistenceCheckTable>()),
                 QStringList{"Consistency Check Successful!"});
        console->commands().undo->trigger();
        QVERIFY(console->document().checks() == ConsistenceCheckStruct());
        // Unchanged options push nothing.
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotCheckConsistence"));
        options->pressOk();
        QCOMPARE(console->document().undoStack().index(), before);
    }

    void lockedOpensNothing()
    {
        auto console = start(show(label("A", 0, 0)));
        m_prompter->answers = {QMessageBox::Yes};
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotLockUnlockScreen"));
        QVERIFY(console->document().preferences().lock_screen);
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotCheckConsistence"));
        QVERIFY(!window<ConsistenceCheck>());
    }

    // The editor's check of one control shows findings without Check Again.
    void oneControlFromTheEditor()
    {
        auto console = start(show(label("A", 0, 0) + label("B", 100, 0)));
        SettingStruct edited = console->document().controls().at(1);
        QVERIFY(console->checkConsitence(&edited));
        edited.position_x = 20;
        QVERIFY(!console->checkConsitence(&edited));
        auto *results = window<ConsistenceCheckTable>();
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
