// bench_edit [--short]: editing a console of 2,000 controls on the offscreen
// platform: opening the control editor, applying an edit, one step of a
// move, one undo; in design mode one step of a drag of 500 controls, one
// step of a rubber band over all of them, one undo of such a drag, aligning
// and distributing 500 (target: each under 16 ms, one frame at 60 Hz). Then a surface of 4,000
// controls with its I/O side: deleting every second one in one command, undoing and redoing that
// (target: the undo under 200 ms until the command returned; the paint after it is reported
// beside). Reports medians; fails only when an edit does not arrive, a control is lost or a drag or
// its undo does not put the controls where they belong.
#include "app/consoleio.h"
#include "app/designmode.h"
#include "app/surface.h"
#include "controls/controlwidget.h"
#include "model/showcommands.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{

QByteArray show(int count)
{
    const char *types[] = {"button_push", "fader_vertical", "knob", "led", "label", "direct_value"};
    QByteArray text(
        "<PultoraConfig>\n <background version=\"1\" size_x=\"3000\" size_y=\"2500\"/>\n");
    for (int i = 0; i < count; ++i)
        text +=
            QStringLiteral(" <control version=\"1\" name=\"C%1\" control_type=\"%2\" "
                           "position_x=\"%3\" position_y=\"%4\" protocol_type=\"Art-Net\" "
                           "dmx_channel=\"%5\" protocol_type_in=\"%6\" dmx_in_universe=\"%7\"/>\n")
                .arg(i)
                .arg(QLatin1String(types[i % 6]))
                .arg((i % 50) * 60)
                .arg((i / 50) * 60)
                .arg(i % 512)
                .arg(i % 2 ? QStringLiteral("Art-Net") : QStringLiteral("None"))
                .arg(i % 8)
                .toUtf8();
    return text + "</PultoraConfig>\n";
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
}

void report(const char *what, const QList<double> &ms)
{
    const double m = median(ms);
    std::printf("%-28s median %6.2f ms, worst %6.2f ms (target < 16 ms: %s)\n", what, m,
                *std::max_element(ms.cbegin(), ms.cend()), m < 16.0 ? "met" : "MISSED");
}

// Deletes every second of 4,000 controls in one command, undoes and redoes
// it `runs` times. False when a control is lost on the way.
bool bulkDelete(int runs)
{
    const quint8 types[] = {CT_BUTTON_PUSH, CT_FADER_VERTICAL, CT_KNOB,
                            CT_LED,         CT_LABEL,          CT_DIRECT_VALUE};
    ShowContent content;
    content.background.size_x = 3000;
    content.background.size_y = 2500;
    for (int i = 0; i < 4000; ++i) {
        SettingStruct r;
        resetSetting(&r);
        // A group frame now and then, behind the controls it holds.
        r.control_type = i % 200 == 0 ? quint8(CT_GROUP) : types[i % 6];
        r.name = QStringLiteral("C%1").arg(i);
        r.position_x = quint32(i % 50) * 60;
        r.position_y = quint32(i / 50) * 30;
        r.dmx_out.protocol_type = PT_ARTNET;
        r.dmx_out.dmx_channel = quint16(i % 512);
        r.dmx_in.protocol_type_in = i % 2 ? PT_ARTNET : PT_NONE;
        r.dmx_in.dmx_in_universe = quint16(i % 8);
        content.controls.append(r);
    }
    ShowDocument document;
    SilentConsole window; // stands in for the console window
    Surface surface(&window, document);
    ConsoleIo io(document, surface);
    QObject::connect(&surface, &Surface::widgetsChanged, [&io] { io.setUpInputs(); });
    document.push(new ReplaceShow(document, content, QStringLiteral("Open")));
    window.show();
    QCoreApplication::processEvents();
    const QList<quint32> all = document.ids();
    QList<quint32> gone;
    for (int i = 1; i < all.size(); i += 2)
        gone.append(all.at(i));

    // Each step is timed until the command returned (document, widgets,
    // I/O plan) and until the window was painted after it.
    QElapsedTimer clock;
    QList<double> command[3], painted[3];
    const auto timed = [&clock, &command, &painted](int which, const std::function<void()> &step) {
        clock.start();
        step();
        command[which].append(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        painted[which].append(clock.nsecsElapsed() / 1e6);
    };
    const auto count = [&](int expected) {
        return document.controls().size() == expected && surface.widgetCount() == expected;
    };
    for (int i = 0; i < runs; ++i) {
        timed(0,
              [&] { document.push(new RemoveControls(document, gone, QStringLiteral("Delete"))); });
        if (!count(2000))
            return false;
        timed(1, [&] { document.undoStack().undo(); });
        if (!count(4000) || document.ids() != all)
            return false;
        timed(2, [&] { document.undoStack().redo(); });
        if (!count(2000))
            return false;
        document.undoStack().undo();
        QCoreApplication::processEvents();
    }
    std::printf("deleting 2,000 of 4,000 controls in one command (%d runs)\n", runs);
    const char *names[] = {"delete", "undo", "redo"};
    const char *target =
        median(command[1]) < 200.0 ? " (target < 200 ms: met)" : " (target < 200 ms: MISSED)";
    for (int i = 0; i < 3; ++i)
        std::printf("%-28s median %7.2f ms%s, painted after %7.2f ms\n", names[i],
                    median(command[i]), i == 1 ? target : "", median(painted[i]));
    return true;
}

// Design mode on the console of 2,000 controls: one step of a drag of 500
// selected controls (guides included), one step of a rubber band growing
// over all 2,000, one undo of the 500-control drag (redone between). False
// when the drag or its undo did not put the controls where they belong.
bool designMode(Pultora &console, int runs)
{
    DesignMode &mode = console.design();
    const ShowDocument &document = console.document();
    const QList<quint32> all = document.ids();
    // Positions stored, and the widgets shown there.
    const auto positions = [&] {
        QList<QPoint> at;
        for (quint32 id : all) {
            const SettingStruct *r = document.control(id);
            const QWidget *w = console.surface().widget(id);
            if (!r || !w || w->pos() != console.surface().shownRect(*r).topLeft())
                return QList<QPoint>();
            at.append(QPoint(int(r->position_x), int(r->position_y)));
        }
        return at;
    };
    const auto mouse = [&console](QWidget *to, QEvent::Type type, const QPoint &at) {
        QMouseEvent event(type, to->mapFrom(&console, at), console.mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(to, &event);
    };
    const QList<QPoint> before = positions();
    if (before.size() != all.size() || !mode.setOn(true)) {
        std::printf("a control was lost or design mode did not start\n");
        return false;
    }
    mode.select(all.mid(0, 500));
    QCoreApplication::processEvents(); // the first paint of the mode is no step
    const int steps = console.document().undoStack().index();
    QWidget *first = console.surface().widget(all.first());
    const QPoint from = first->mapTo(&console, first->rect().center());
    QElapsedTimer clock;
    QList<double> drag, band, undo, painted;
    mouse(first, QEvent::MouseButtonPress, from);
    for (int i = 1; i <= 50; ++i) {
        clock.start();
        mouse(&console, QEvent::MouseMove, from + QPoint(3 * i, 2 * i));
        QCoreApplication::processEvents();
        drag.append(clock.nsecsElapsed() / 1e6);
    }
    mouse(&console, QEvent::MouseButtonRelease, from + QPoint(150, 100));
    QList<QPoint> moved = before;
    const QPoint shift = positions().value(0) - before.at(0);
    for (int i = 0; i < 500; ++i)
        moved[i] += shift;
    if (shift.isNull() || positions() != moved ||
        console.document().undoStack().index() != steps + 1) {
        std::printf("the drag did not move the 500 controls\n");
        return false;
    }
    for (int i = 0; i < qMax(5, runs / 4); ++i) {
        clock.start();
        console.commands().undo->trigger();
        undo.append(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        painted.append(clock.nsecsElapsed() / 1e6);
        const bool restored = positions() == before;
        console.commands().redo->trigger();
        QCoreApplication::processEvents();
        if (!restored || positions() != moved) {
            std::printf("the undo or redo of the drag did not restore the 500 controls\n");
            return false;
        }
    }
    // The band from below right of every control up to the window's corner.
    const QPoint corner(3100, 2600);
    mouse(&console, QEvent::MouseButtonPress, corner);
    for (int i = 1; i <= 50; ++i) {
        clock.start();
        mouse(&console, QEvent::MouseMove, corner - corner * i / 50);
        QCoreApplication::processEvents();
        band.append(clock.nsecsElapsed() / 1e6);
    }
    mouse(&console, QEvent::MouseButtonRelease, QPoint());
    if (mode.selection() != all) {
        std::printf("the rubber band did not select every control\n");
        return false;
    }
    // Align and distribute 500, each one step, taken back before the next.
    mode.select(all.mid(0, 500));
    QList<double> arranged;
    const int base = console.document().undoStack().index();
    for (int i = 0; i < qMax(6, runs / 4); ++i) {
        const auto how = i % 2 ? geometry::Arrange::DistributeX : geometry::Arrange::Left;
        clock.start();
        mode.arrange(how);
        arranged.append(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        const int pushed = console.document().undoStack().index() - base;
        if (pushed == 1)
            console.commands().undo->trigger();
        QCoreApplication::processEvents();
        if (pushed > 1 || positions() != moved) {
            std::printf("arranging was not one step taken back whole\n");
            return false;
        }
    }
    mode.setOn(false);
    std::printf("design mode on the same console\n");
    report("drag 500 controls, one step", drag);
    report("rubber band, one step", band);
    report("undo a 500-control drag", undo);
    std::printf("%-28s median %6.2f ms\n", "  painted after", median(painted));
    report("align/distribute 500", arranged);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = app.arguments().contains(QStringLiteral("--short")) ? 20 : 100;
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    // Answers nothing: every question gets its escape button.
    auto started = startConsoleOn(dir.filePath(QStringLiteral("edit.ptra")), show(2000),
                                  std::make_shared<ScriptedPrompter>());
    if (!started)
        return 1;
    Pultora &console = *started;
    console.show();
    app.processEvents();
    if (console.document().controls().size() != 2000)
        return 1;

    QElapsedTimer clock;
    QList<double> open, edit, move, undo;
    // The editor on the control under the window point (5, 5), each time
    // anew (the first opening also builds the window).
    QContextMenuEvent first(QContextMenuEvent::Mouse, QPoint(5, 5),
                            console.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&console, &first);
    console.commands().mainMenu->hide();
    for (int i = 0; i < runs; ++i) {
        clock.start();
        QMetaObject::invokeMethod(&console, "slotEdit");
        app.processEvents();
        open.append(clock.nsecsElapsed() / 1e6);
    }
    if (console.editRecord()->id != console.document().controls().first().id) {
        std::printf("the editor did not open on the control\n");
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        *console.editRecord() = console.document().controls().at(1000 + i);
        console.editRecord()->name = QStringLiteral("Edited %1").arg(i);
        clock.start();
        QMetaObject::invokeMethod(&console, "slotSettingsChanged", Q_ARG(bool, true));
        app.processEvents();
        edit.append(clock.nsecsElapsed() / 1e6);
        if (console.document().controls().at(1000 + i).name != console.editRecord()->name) {
            std::printf("an edit did not arrive\n");
            return 1;
        }
    }

    // A move of the control at the window point (5, 5), step by step.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           console.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&console, &menu);
    console.commands().mainMenu->hide();
    QMetaObject::invokeMethod(&console, "slotMove");
    for (int i = 0; i < runs; ++i) {
        const QPoint at(20 + i * 7, 20 + i * 3);
        QMouseEvent step(QEvent::MouseMove, at, console.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        clock.start();
        QCoreApplication::sendEvent(&console, &step);
        app.processEvents();
        move.append(clock.nsecsElapsed() / 1e6);
    }
    const QPoint end(300, 200);
    QMouseEvent place(QEvent::MouseButtonPress, end, console.mapToGlobal(end), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&console, &place);

    const int steps = int(console.document().undoStack().count());
    for (int i = 0; i < steps; ++i) {
        clock.start();
        console.commands().undo->trigger();
        app.processEvents();
        undo.append(clock.nsecsElapsed() / 1e6);
    }
    if (console.document().undoStack().canUndo()) {
        std::printf("an undo did not arrive\n");
        return 1;
    }
    std::printf("editing a console of 2,000 controls (%d runs)\n", runs);
    report("open the control editor", open);
    report("apply an edit", edit);
    report("one step of a move", move);
    report("one undo", undo);
    if (!designMode(console, runs))
        return 1;
    console.setModified(false, false);

    if (!bulkDelete(qMax(3, runs / 10))) {
        std::printf("a control was lost in a bulk delete, its undo or its redo\n");
        return 1;
    }
    return 0;
}
