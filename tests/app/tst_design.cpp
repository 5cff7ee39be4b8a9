// Design mode through the window: the controls send nothing, a drag moves
// by whole grid steps and is one undo step, handles resize, the rubber band
// and Ctrl-click select, shortcuts act on the selection while a spin box has
// focus, a group frame carries its controls, and the lock leaves the mode.
#include "app/designmode.h"
#include "app/pultora.h"
#include "app/typepalette.h"
#include "dialogs/overviewmodel.h"
#include "dialogs/settings.h"
#include "dialogs/settingsoverview.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// Stretch 100, grid 10. Buttons A and B, a spin box S, a frame G holding
// the label L.
const char *const kShow =
    "<PultoraConfig>\n"
    " <background version=\"1\" size_x=\"700\" size_y=\"500\"/>\n"
    " <control version=\"1\" name=\"A\" control_type=\"button_push\" position_x=\"20\" "
    "position_y=\"20\" size_x=\"60\" size_y=\"40\" protocol_type=\"Art-Net\"/>\n"
    " <control version=\"1\" name=\"B\" control_type=\"button_push\" position_x=\"200\" "
    "position_y=\"20\" size_x=\"60\" size_y=\"40\"/>\n"
    " <control version=\"1\" name=\"S\" control_type=\"direct_value\" position_x=\"20\" "
    "position_y=\"300\" size_x=\"80\" size_y=\"30\"/>\n"
    " <control version=\"1\" name=\"G\" control_type=\"group\" position_x=\"300\" "
    "position_y=\"150\" size_x=\"200\" size_y=\"150\"/>\n"
    " <control version=\"1\" name=\"L\" control_type=\"label\" position_x=\"320\" "
    "position_y=\"180\" size_x=\"50\" size_y=\"30\"/>\n"
    "</PultoraConfig>\n";

} // namespace

class TestDesign : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedPrompter> m_prompter = std::make_shared<ScriptedPrompter>();
    std::unique_ptr<Pultora> m_console;

    Pultora &console() { return *m_console; }
    const SettingStruct &record(const char *name)
    {
        for (const SettingStruct &r : console().document().controls())
            if (r.name == QLatin1String(name))
                return r;
        static SettingStruct none;
        return none;
    }
    QWidget *widget(const char *name) { return console().surface().widget(record(name).id); }
    QRect stored(const char *name)
    {
        const SettingStruct &r = record(name);
        return QRect(int(r.position_x), int(r.position_y), int(r.size_x), int(r.size_y));
    }
    QString undoText() { return console().commands().undo->text(); }
    // A left drag in window points, in steps as a hand moves, `held` held
    // after the press.
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers held = Qt::NoModifier)
    {
        QWidget *target = console().childAt(from);
        if (!target)
            target = &console();
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(&console(), from));
        for (int i = 1; i <= 4; ++i) {
            const QPoint at = from + (to - from) * i / 4;
            QMouseEvent move(QEvent::MouseMove, at, console().mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, held);
            QApplication::sendEvent(&console(), &move);
        }
        QTest::mouseRelease(&console(), Qt::LeftButton, held, to);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init()
    {
        m_console = startConsoleOn(m_dir.filePath(QStringLiteral("show.ptra")), kShow, m_prompter);
        QVERIFY(m_console);
        console().show();
        console().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console()));
        QTest::keyClick(&console(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(console().design().isOn());
        console().statusBar()->clearMessage();
    }
    void cleanup() { m_console.reset(); }

    void clickSendsNothingAndDragIsOneStep()
    {
        QTest::mouseClick(widget("A"), Qt::LeftButton);
        QVERIFY(console().statusBar()->currentMessage().isEmpty());
        QCOMPARE(console().design().selection(), QList<quint32>{record("A").id});

        drag(QPoint(50, 40), QPoint(153, 40)); // 103 px: x 20 -> 120 on the grid
        QCOMPARE(stored("A"), QRect(120, 20, 60, 40));
        QCOMPARE(widget("A")->pos(), QPoint(120, 20));
        QCOMPARE(undoText(), QStringLiteral("Undo Move Control"));
        QVERIFY(console().isWindowModified());
        console().commands().undo->trigger();
        QCOMPARE(stored("A"), QRect(20, 20, 60, 40));
        QCOMPARE(widget("A")->pos(), QPoint(20, 20));

        // Shift drags freely, Escape takes a drag back.
        drag(QPoint(50, 40), QPoint(67, 40), Qt::ShiftModifier);
        QCOMPARE(stored("A").topLeft(), QPoint(37, 20));
        QTest::mousePress(widget("A"), Qt::LeftButton);
        QTest::mouseMove(&console(), QPoint(200, 200));
        QTest::keyClick(&console(), Qt::Key_Escape);
        QTest::mouseRelease(&console(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(stored("A").topLeft(), QPoint(37, 20));
        QCOMPARE(widget("A")->pos(), QPoint(37, 20));

        // Out of the mode the button operates again.
        QTest::keyClick(&console(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!console().design().isOn());
        QVERIFY(console().design().selection().isEmpty());
        QTest::mouseClick(widget("A"), Qt::LeftButton);
        QVERIFY(!console().statusBar()->currentMessage().isEmpty());
    }

    void handlesResize_data()
    {
        QTest::addColumn<QPoint>("handle"); // window point of B's handle
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QRect>("after");
        QTest::newRow("bottom-right")
            << QPoint(260, 60) << QPoint(30, 30) << QRect(200, 20, 90, 70);
        QTest::newRow("left, to a guide")
            << QPoint(200, 40) << QPoint(-118, 0) << QRect(80, 20, 180, 40); // A's right edge
        QTest::newRow("top, not below the minimum")
            << QPoint(230, 20) << QPoint(0, 100) << QRect(200, 52, 60, 8);
    }
    void handlesResize()
    {
        QFETCH(QPoint, handle);
        QFETCH(QPoint, by);
        QTest::mouseClick(widget("B"), Qt::LeftButton);
        drag(handle, handle + by);
        QTEST(stored("B"), "after");
        QCOMPARE(widget("B")->geometry(), stored("B"));
        QCOMPARE(undoText(), QStringLiteral("Undo Resize Control"));
        console().commands().undo->trigger();
        QCOMPARE(stored("B"), QRect(200, 20, 60, 40));
    }

    void bandAndCtrlClickSelect()
    {
        const QList<quint32> both{record("A").id, record("B").id};
        drag(QPoint(10, 5), QPoint(230, 30)); // touches A and B
        QCOMPARE(console().design().selection(), both);
        QTest::mouseClick(widget("B"), Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(console().design().selection(), QList<quint32>{record("A").id});
        QTest::mouseClick(widget("B"), Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(console().design().selection(), both);
        QVERIFY(!console().document().undoStack().canUndo()); // selecting is no edit
        QTest::keyClick(&console(), Qt::Key_Escape);
        QVERIFY(console().design().selection().isEmpty());
        QTest::keyClick(&console(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(console().design().selection().size(), 5);
    }

    void shortcutsActOnTheSelectionWithSpinFocus()
    {
        QWidget *spin = widget("S");
        spin->setFocus();
        QTRY_VERIFY(spin->hasFocus() || spin->isAncestorOf(QApplication::focusWidget()));
        QWidget *focus = QApplication::focusWidget();
        const QVariant value = spin->property("value");
        drag(QPoint(10, 5), QPoint(230, 30));
        QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(console().document().clipboard().size(), 2);
        QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
        // Beside the originals by one grid step, selected, one undo step.
        QCOMPARE(console().document().controls().size(), 7);
        QCOMPARE(undoText(), QStringLiteral("Undo Paste 2 Controls"));
        const QList<quint32> pasted = console().design().selection();
        QCOMPARE(pasted.size(), 2);
        QCOMPARE(console().document().control(pasted.at(0))->position_x, 30u);
        QCOMPARE(console().document().control(pasted.at(1))->position_x, 210u);
        QTest::keyClick(focus, Qt::Key_Right);
        QCOMPARE(console().document().control(pasted.at(0))->position_x, 40u);
        QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(console().document().control(pasted.at(0))->position_x, 41u);
        QTest::keyClick(focus, Qt::Key_Delete);
        QCOMPARE(console().document().controls().size(), 5);
        QCOMPARE(undoText(), QStringLiteral("Undo Delete 2 Controls"));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(console().document().controls().size(), 5);
        QVERIFY(!console().document().undoStack().canUndo());
        QCOMPARE(stored("A"), QRect(20, 20, 60, 40));
        QCOMPARE(spin->property("value"), value); // the spin box took no key
    }

    void frameCarriesItsControls()
    {
        drag(QPoint(480, 290), QPoint(530, 290)); // G's empty corner
        QCOMPARE(stored("G").topLeft(), QPoint(350, 150));
        QCOMPARE(stored("L").topLeft(), QPoint(370, 180));
        QCOMPARE(undoText(), QStringLiteral("Undo Move 2 Controls"));
        console().commands().undo->trigger();
        QCOMPARE(stored("L").topLeft(), QPoint(320, 180));
    }

    // Dropped from the palette: made where it lands, patched after the one
    // made before it, selected, one undo step each.
    void paletteDropsPatchedControls()
    {
        auto *palette = console().findChild<TypePalette *>();
        QVERIFY(palette && palette->isVisible());
        auto drop = [&](quint8 type, const QPoint &at) {
            QMimeData data;
            data.setData(QString::fromLatin1(TypePalette::MIME_TYPE), QByteArray::number(type));
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&console(), &enter);
            QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&console(), &event);
            return console().document().control(console().design().selection().value(0));
        };
        const SettingStruct *first = drop(CT_FADER_VERTICAL, QPoint(600, 400));
        QVERIFY(first);
        QCOMPARE(QPoint(int(first->position_x), int(first->position_y)), QPoint(580, 380));
        QCOMPARE(first->dmx_out.protocol_type, quint8(PT_ARTNET));
        QCOMPARE(first->dmx_out.dmx_channel, quint16(1)); // A sends on the first
        QCOMPARE(undoText(), QStringLiteral("Undo Add Control"));
        QCOMPARE(drop(CT_KNOB, QPoint(650, 400))->dmx_out.dmx_channel, quint16(2));
        QCOMPARE(drop(CT_LABEL, QPoint(650, 300))->dmx_out.protocol_type, quint8(PT_NONE));
        QCOMPARE(drop(CT_LED, QPoint(600, 300))->dmx_in.protocol_type_in, quint8(PT_ARTNET));

        // Another protocol picked starts at its first channel; a double
        // click makes the control in the middle.
        palette->findChild<QAbstractButton *>(QStringLiteral("patch%1").arg(PT_ACN))->click();
        auto *types = palette->findChild<QListWidget *>(QStringLiteral("types"));
        emit types->itemActivated(types->item(CT_FADER_HORIZONTAL));
        const SettingStruct *made =
            console().document().control(console().design().selection().value(0));
        QCOMPARE(made->control_type, quint8(CT_FADER_HORIZONTAL));
        QCOMPARE(made->dmx_out.protocol_type, quint8(PT_ACN));
        QCOMPARE(made->dmx_out.dmx_channel, quint16(0));
        QVERIFY(
            widget(qPrintable(made->name))
                ->geometry()
                .contains(
                    console().rect().adjusted(0, 0, 0, -console().statusBar()->height()).center()));
        for (int i = 0; i < 5; ++i)
            console().commands().undo->trigger();
        QCOMPARE(console().document().controls().size(), 5);
    }

    void arrangeDoubleClickAndEditMany()
    {
        const QList<quint32> both{record("A").id, record("S").id};
        console().design().select(both);
        console().design().arrange(geometry::Arrange::Right);
        QCOMPARE(stored("A"), QRect(40, 20, 60, 40)); // S's right edge at 100
        QCOMPARE(undoText(), QStringLiteral("Undo Align Right"));
        console().commands().undo->trigger();
        QCOMPARE(stored("A"), QRect(20, 20, 60, 40));

        // Edit on two: the overview lists those two alone.
        QVERIFY(call(console(), "slotEdit"));
        auto *overview = topLevel<SettingsOverview>();
        QVERIFY(overview && overview->isVisible());
        QCOMPARE(overview->filter()->rowCount(), 2);

        QTest::mouseDClick(widget("B"), Qt::LeftButton);
        QCOMPARE(console().design().selection(), QList<quint32>{record("B").id});
        auto *editor = topLevel<Settings>();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(console().editRecord()->name, QStringLiteral("B"));
    }

    void lockLeavesTheMode()
    {
        m_prompter->answers = {QMessageBox::Yes};
        QVERIFY(call(console(), "slotLockUnlockScreen"));
        QVERIFY(!console().design().isOn());
        QTest::keyClick(&console(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!console().design().isOn());
        QVERIFY(call(console(), "slotLockUnlockScreen"));
        QTest::keyClick(&console(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(console().design().isOn());
    }
};

QTEST_MAIN(TestDesign)
#include "tst_design.moc"
