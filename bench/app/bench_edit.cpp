// bench_edit [--short]: editing a console of 2,000 controls on the offscreen
// platform: opening the control editor, applying an edit, one step of a
// move, one undo (target: each under 16 ms, one frame at 60 Hz). Reports
// medians; fails only when an edit does not arrive.
#include "consolestart.h"
#include "scriptedprompter.h"

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

namespace
{

QByteArray show(int count)
{
    const char *types[] = {"button_push", "fader_vertical", "knob", "led", "label", "direct_value"};
    QByteArray text("<PultoraConfig>\n <background version=\"1\" size_x=\"3000\" size_y=\"2500\"/>\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral(" <control version=\"1\" name=\"C%1\" control_type=\"%2\" "
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
    QContextMenuEvent first(QContextMenuEvent::Mouse, QPoint(5, 5), console.mapToGlobal(QPoint(5, 5)));
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
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), console.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&console, &menu);
    console.commands().mainMenu->hide();
    QMetaObject::invokeMethod(&console, "slotMove");
    for (int i = 0; i < runs; ++i) {
        const QPoint at(20 + i * 7, 20 + i * 3);
        QMouseEvent step(QEvent::MouseMove, at, console.mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
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
    console.setModified(false, false);
    return 0;
}
