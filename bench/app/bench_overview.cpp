// bench_overview [--short]: the controls overview on a show of 10,000
// controls (1,000 with --short) on the offscreen platform: opening it, one
// batch Set on every Channel cell (applied, redrawn, undone) and filtering
// (targets: 500 ms each, filtering 50 ms). Reports the times; fails only
// when a result is wrong.
#include "dialogs/overviewmodel.h"
#include "dialogs/settingsoverview.h"
#include "model/batchchange.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

#include <cstdio>

namespace
{

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char *what, double ms, double target)
{
    std::printf("%-34s %9.1f ms  (target < %.0f ms)%s\n", what, ms, target,
                ms < target ? "" : "  OVER");
}

void settle()
{
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = app.arguments().contains(QStringLiteral("--short")) ? 1000 : 10000;

    ShowDocument document;
    QList<SettingStruct> records;
    for (int i = 0; i < count; ++i) {
        SettingStruct r;
        r.control_type = quint8(i % 15);
        r.name = QStringLiteral("Control %1").arg(i + 1);
        r.position_x = quint32(i % 100) * 20;
        r.position_y = quint32(i / 100) * 20;
        r.dmx_out.protocol_type = i % 2 ? PT_ARTNET : PT_ACN;
        r.dmx_out.dmx_universe = quint16(i / 512);
        r.dmx_out.dmx_channel = quint16(i % 512);
        records.append(r);
    }
    document.push(new AddControls(document, records, -1, QStringLiteral("Add")));
    document.undoStack().clear();
    std::printf("controls: %d\n", count);

    QElapsedTimer timer;
    timer.start();
    SettingsOverview overview(document);
    overview.show();
    settle();
    report("open the overview", msSince(timer), 500);

    QTableView *view = overview.view();
    const int channel = column::positionOf(column::CHANNEL);
    view->selectionModel()->select(
        QItemSelection(view->model()->index(0, channel),
                       view->model()->index(view->model()->rowCount() - 1, channel)),
        QItemSelectionModel::ClearAndSelect);
    overview.valueField()->setText(QStringLiteral("5"));
    timer.restart();
    const int changed = overview.applyToSelection(BA_SET);
    report("batch Set on every Channel cell", msSince(timer), 500);
    timer.restart();
    view->viewport()->repaint();
    settle();
    report("redraw after the batch", msSince(timer), 500);
    bool ok = changed == count && document.undoStack().count() == 1;
    for (const SettingStruct &r : document.controls())
        ok = ok && r.dmx_out.dmx_channel == 4;

    timer.restart();
    document.undoStack().undo();
    view->viewport()->repaint();
    settle();
    report("undo the batch (and redraw)", msSince(timer), 500);
    for (int i = 0; i < count; ++i)
        ok = ok && document.controls().at(i).dmx_out.dmx_channel == i % 512;

    timer.restart();
    overview.filterField()->setText(QStringLiteral("art-net 3"));
    const int shown = view->model()->rowCount();
    report("filter \"art-net 3\"", msSince(timer), 50);
    int expected = 0;
    for (const SettingStruct &r : document.controls())
        expected += OverviewFilter::matches(r, {QStringLiteral("art-net"), QStringLiteral("3")});
    ok = ok && shown == expected && shown > 0;
    timer.restart();
    overview.filterField()->clear();
    report("clear the filter", msSince(timer), 50);
    ok = ok && view->model()->rowCount() == count;

    std::printf("results %s\n", ok ? "correct" : "WRONG");
    return ok ? 0 : 1;
}
