// The editing commands on a console: the menu position picks the control,
// every edit is one undo step with the modified marker following the saved
// state, moves snap to the grid, and the lock lets only its own commands
// through.
#include "app/appinfo.h"
#include "app/pultora.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include "dialogs/settings.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace
{

// Three labels at (20,20), (100,20) and (60,20) 50x50: the last overlaps
// both others; stretch 200.
const char *const kShow =
    "<PultoraConfig>\n"
    " <background version=\"1\" size_x=\"300\" size_y=\"200\" stretch_factor=\"200\"/>\n"
    " <control version=\"1\" name=\"A\" control_type=\"label\" position_x=\"20\" "
    "position_y=\"20\"/>\n"
    " <control version=\"1\" name=\"B\" control_type=\"label\" position_x=\"100\" "
    "position_y=\"20\"/>\n"
    " <control version=\"1\" name=\"C\" control_type=\"label\" position_x=\"60\" "
    "position_y=\"20\"/>\n"
    "</PultoraConfig>\n";

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter;

    std::unique_ptr<Pultora> start(const char *show = kShow)
    {
        return startConsoleOn(m_dir.filePath(QStringLiteral("show.ptra")), show, m_prompter);
    }
    // Opens the menu at a window point as a right click does, and closes it.
    static void menuAt(Pultora &console, const QPoint &at)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, console.mapToGlobal(at));
        QCoreApplication::sendEvent(&console, &event);
        console.commands().mainMenu->hide();
    }
    static QStringList names(const Pultora &console)
    {
        QStringList list;
        for (const SettingStruct &r : console.document().controls())
            list << r.name + QLatin1Char('@') + QString::number(r.position_x);
        return list;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() { m_prompter = std::make_shared<ScriptedPrompter>(); }

    // Each chain ends, undone, where it began; redone, where it went.
    void editChainsUndoAndRedo_data()
    {
        QTest::addColumn<QPoint>("at"); // window point (stretch 200)
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("delete the upper of two")
            << QPoint(130, 60) << QStringList{"slotDelete"} << QStringList{"A@20", "B@100"};
        QTest::newRow("cut and paste at the click")
            << QPoint(150, 45) << QStringList{"slotCut", "slotPaste"}
            << QStringList{"A@20", "B@100", "C@75"};
        QTest::newRow("copy and paste") << QPoint(41, 41) << QStringList{"slotCopy", "slotPaste"}
                                        << QStringList{"A@20", "B@100", "C@60", "A@20"};
        QTest::newRow("nothing under the click")
            << QPoint(10, 300) << QStringList{"slotDelete", "slotCut", "slotCopy"}
            << QStringList{"A@20", "B@100", "C@60"};
    }
    void editChainsUndoAndRedo()
    {
        QFETCH(QPoint, at);
        QFETCH(QStringList, commands);
        QFETCH(QStringList, after);
        auto console = start();
        QVERIFY(console && !console->isWindowModified());
        const QStringList before = names(*console);
        menuAt(*console, at);
        for (const QString &slot : commands)
            QVERIFY(call(*console, qPrintable(slot)));
        QCOMPARE(names(*console), after);
        QCOMPARE(console->isWindowModified(), after != before);
        QCOMPARE(console->surface().widgetCount(), after.size());
        while (console->document().undoStack().canUndo())
            console->commands().undo->trigger();
        QCOMPARE(names(*console), before);
        QVERIFY(!console->isWindowModified());
        while (console->document().undoStack().canRedo())
            console->commands().redo->trigger();
        QCOMPARE(names(*console), after);
    }

    void pasteOnAnEmptySurface()
    {
        auto console = start();
        menuAt(*console, QPoint(50, 50));
        QVERIFY(call(*console, "slotCut"));
        menuAt(*console, QPoint(210, 50));
        QVERIFY(call(*console, "slotCut"));
        menuAt(*console, QPoint(250, 50));
        QVERIFY(call(*console, "slotCut"));
        QVERIFY(console->document().controls().isEmpty());
        menuAt(*console, QPoint(10, 10));
        QVERIFY(console->commands().paste->isEnabled());
        QVERIFY(call(*console, "slotPaste"));
        QCOMPARE(names(*console), QStringList{"B@5"});
        QCOMPARE(console->commands().undo->text(), QStringLiteral("Undo Paste Control"));
    }

    void moveSnapsAndCancels()
    {
        auto console = start();
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        menuAt(*console, QPoint(50, 50)); // A
        QVERIFY(call(*console, "slotMove"));
        // The window point (87, 65) is (43, 32) stored: it snaps to (40, 30).
        QTest::mouseMove(console.get(), QPoint(87, 65));
        const QWidget *a = console->surface().widget(console->document().controls().first().id);
        QCOMPARE(a->pos(), QPoint(80, 60));
        QTest::keyClick(console.get(), Qt::Key_Right); // one grid step
        QCOMPARE(a->pos(), QPoint(100, 60));
        QTest::mouseClick(console.get(), Qt::LeftButton, Qt::NoModifier, QPoint(87, 65));
        QCOMPARE(console->document().controls().first().position_x, 40u);
        QCOMPARE(console->document().controls().first().position_y, 30u);
        QCOMPARE(console->commands().undo->text(), QStringLiteral("Undo Move Control"));

        // Escape puts it back where it was.
        menuAt(*console, QPoint(85, 65));
        QVERIFY(call(*console, "slotMove"));
        QTest::mouseMove(console.get(), QPoint(300, 300));
        QTest::keyClick(console.get(), Qt::Key_Escape);
        QCOMPARE(a->pos(), QPoint(80, 60));
        QCOMPARE(console->document().undoStack().count(), 1);
    }

    void lockLetsOnlyItsCommandsThrough()
    {
        auto console = start();
        m_prompter->answers = {QMessageBox::Yes};
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        // The question names the keys as the menu does.
        const QKeySequence keys = console->commands().lockScreen->shortcut();
        QVERIFY(m_prompter->asked.last().text.contains(keys.toString(QKeySequence::NativeText)));
        QVERIFY(console->document().preferences().lock_screen);
        QVERIFY(!console->commands().undo->isEnabled());
        // Five right clicks pass silently; the sixth within 20 s tells.
        m_prompter->asked.clear();
        for (int i = 0; i < 5; ++i)
            menuAt(*console, QPoint(50, 50));
        QVERIFY(m_prompter->asked.isEmpty());
        menuAt(*console, QPoint(50, 50));
        QCOMPARE(m_prompter->asked.size(), 1);
        QCOMPARE(m_prompter->asked.at(0).text, QStringLiteral("The Screen is locked!"));
        for (const char *slot : {"slotDelete", "slotCut", "slotPaste", "slotAdd", "slotMove"})
            QVERIFY(call(*console, slot));
        QCOMPARE(console->document().controls().size(), 3);
        // The shortcut unlocks without a question.
        m_prompter->asked.clear();
        QVERIFY(call(*console, "slotLockUnlockScreen"));
        QVERIFY(m_prompter->asked.isEmpty());
        QVERIFY(!console->document().preferences().lock_screen);
        // Nor does an undo lock it again: the lock is no step of the history.
        QCOMPARE(console->document().undoStack().count(), 0);
    }

    // Spin boxes have a menu of their own and LEDs take no mouse: both
    // still open the console's menu, for the control under the click.
    void spinBoxAndLedOpenTheMenu_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("spin box") << "direct_value";
        QTest::newRow("LED") << "led";
    }
    void spinBoxAndLedOpenTheMenu()
    {
        QFETCH(QString, type);
        const QByteArray show =
            QStringLiteral(
                "<PultoraConfig><control version=\"1\" control_type=\"%1\" position_x=\"40\" "
                "position_y=\"40\"/></PultoraConfig>")
                .arg(type)
                .toUtf8();
        auto console = start(show.constData());
        QWidget *control = console->surface().widget(console->document().controls().first().id);
        QWidget *target = control->focusProxy() ? control->focusProxy() : control;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(target, &event);
        QVERIFY(console->commands().mainMenu->isVisible());
        console->commands().mainMenu->hide();
        QVERIFY(console->commands().remove->isEnabled());
    }

    // Added where the menu opened; "Add & Next" goes on right of
    // the control just added, and below the row, at its start, where the
    // background ends; what a newly chosen type does not use starts from
    // its defaults; OK adds the last and closes.
    void addAndNext_data()
    {
        QTest::addColumn<QPoint>("at");    // the menu's, for the first (stretch 200)
        QTest::addColumn<int>("nextType"); // chosen for the second and third
        QTest::addColumn<QList<QPoint>>("added");
        QTest::addColumn<int>("nextInput"); // input protocol of the second
        QTest::newRow("a row from the left")
            << QPoint(40, 40) << int(CT_BUTTON_PUSH) << QList<QPoint>{{20, 20}, {80, 20}, {140, 20}}
            << int(PT_ACN);
        QTest::newRow("a clock, then below at the row's start")
            << QPoint(300, 40) << int(CT_TIME) << QList<QPoint>{{150, 20}, {210, 20}, {150, 80}}
            << int(PT_NONE);
    }
    void addAndNext()
    {
        QFETCH(QPoint, at);
        QFETCH(int, nextType);
        QFETCH(QList<QPoint>, added);
        QFETCH(int, nextInput);
        auto console = start("<PultoraConfig><background version=\"1\" size_x=\"300\" "
                             "size_y=\"200\" stretch_factor=\"200\"/></PultoraConfig>");
        menuAt(*console, at);
        QVERIFY(call(*console, "slotAdd"));
        auto *editor = console->findChild<Settings *>();
        QVERIFY(editor && editor->isVisible() && editor->isAddMode());
        editor->findChild<QTextEdit *>(QStringLiteral("name"))->setPlainText(QStringLiteral("A 1"));
        auto choose = [editor](const char *list, int value, QWidget *in = nullptr) {
            auto *combo = (in ? in : editor)->findChild<QComboBox *>(QLatin1String(list));
            combo->setCurrentIndex(combo->findData(value));
        };
        // HTTP outputs share no channel: the check finds no duplicates.
        choose("protocol", PT_HTTP, editor->findChild<QWidget *>(QStringLiteral("dmxOut")));
        choose("inProtocol", PT_ACN);
        auto *next = editor->findChild<QPushButton *>(QStringLiteral("apply"));
        next->click();
        choose("type", nextType);
        next->click();
        QCOMPARE(editor->workingRecord().id, 0u);
        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        const QList<SettingStruct> &controls = console->document().controls();
        QList<QPoint> places;
        for (const SettingStruct &r : controls)
            places << QPoint(int(r.position_x), int(r.position_y));
        QCOMPARE(places, added);
        QCOMPARE(controls.at(0).name, QStringLiteral("A 1"));
        QCOMPARE(int(controls.at(1).control_type), nextType);
        QCOMPARE(int(controls.at(1).dmx_in.protocol_type_in), nextInput);
        QCOMPARE(controls.at(1).dmx_out.protocol_type != PT_NONE, nextType == CT_BUTTON_PUSH);
        for (int i = 0; i < 3; ++i)
            console->commands().undo->trigger();
        QVERIFY(console->document().controls().isEmpty());
    }

    // The control the shortcuts act on is framed from the menu's opening
    // until the next editing command or Escape, and never while locked.
    void shortcutTargetIsFramed_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Copy") << "slotCopy";
        QTest::newRow("Edit") << "slotEdit";
        QTest::newRow("lock") << "slotLockUnlockScreen";
    }
    void shortcutTargetIsFramed()
    {
        QFETCH(QString, end);
        auto console = start();
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
        const QWidget *frame = console->findChild<QWidget *>(QStringLiteral("targetFrame"));
        const QWidget *b = console->surface().widget(console->document().controls().at(1).id);
        menuAt(*console, QPoint(250, 100)); // B, where C does not reach
        QVERIFY(frame->isVisible());
        QVERIFY(frame->geometry().contains(b->geometry()));
        QVERIFY(!frame->geometry().adjusted(8, 8, -8, -8).contains(b->geometry()));
        menuAt(*console, QPoint(10, 300)); // nothing there
        QVERIFY(!frame->isVisible());
        menuAt(*console, QPoint(250, 100));
        m_prompter->answers = {QMessageBox::Yes};
        if (end == "escape")
            QTest::keyClick(console.get(), Qt::Key_Escape);
        else
            QVERIFY(call(*console, qPrintable(end)));
        QVERIFY(!frame->isVisible());
        if (end == "escape" || end == "slotCopy") { // nothing unframed is deleted
            QVERIFY(call(*console, "slotDelete"));
            QCOMPARE(console->document().controls().size(), 3);
        }
        menuAt(*console, QPoint(250, 100));
        QCOMPARE(frame->isVisible(), end != "slotLockUnlockScreen");
        if (end == "slotLockUnlockScreen") {
            QVERIFY(call(*console, "slotLockUnlockScreen"));
            menuAt(*console, QPoint(250, 100));
            QVERIFY(frame->isVisible());
        }
    }

    void menuHintUntilTheFirstMenu()
    {
        QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication()).clear();
        auto console = start();
        QVERIFY(console->findChild<QLabel *>(QStringLiteral("menuHint")));
        menuAt(*console, QPoint(5, 5));
        QVERIFY(!console->findChild<QLabel *>(QStringLiteral("menuHint")));
        console.reset();
        console = start();
        QVERIFY(!console->findChild<QLabel *>(QStringLiteral("menuHint")));
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
