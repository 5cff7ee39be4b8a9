// The whole-surface consistency check (all five tests) on a show of 10,000
// controls: a console of fader banks and button grids in group frames, with
// some overlaps, shared outputs and controls outside the background. Prints
// the median time of the check and, beside it, the time of the pairwise
// version over every pair; fails only when the two disagree.
//   bench_consistency [--short]
#include "model/consistency.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

constexpr double kTargetMs = 100.0;
// As many findings as the console lists.
constexpr int kListed = 1000;

QList<SettingStruct> makeControls(int count)
{
    QList<SettingStruct> controls;
    controls.reserve(count);
    // Pages of 10 x 10 controls, 60 units apart, each page in a group frame.
    const int perPage = 100;
    for (int i = 0; i < count; ++i) {
        const int page = i / perPage, slot = i % perPage;
        SettingStruct c;
        c.id = quint32(i + 1);
        c.name = QStringLiteral("Control %1").arg(i + 1);
        if (slot == 0) {
            c.control_type = CT_GROUP;
            c.position_x = quint32((page % 10) * 650);
            c.position_y = quint32((page / 10) * 650);
            c.size_x = c.size_y = 640;
        } else {
            c.control_type = slot % 3 == 0 ? CT_FADER_VERTICAL_MIDDLE : CT_BUTTON_PUSH;
            c.position_x = quint32((page % 10) * 650 + 20 + (slot % 10) * 60);
            c.position_y = quint32((page / 10) * 650 + 20 + (slot / 10) * 60);
            c.size_x = c.size_y = 50;
            c.dmx_out.protocol_type = quint8(PT_ARTNET + i % 3);
            c.dmx_out.dmx_universe = quint16(i / 512);
            c.dmx_out.dmx_channel = quint16(i % 512);
            c.dmx_out.dmx_midi_type = MT_CONTROL_CHANGE;
            c.dmx_out_advanced.protocol_type = PT_ACN;
            c.dmx_out_advanced.dmx_universe = 100;
            c.dmx_out_advanced.dmx_channel = quint16(i % 512);
        }
        // Now and then a control slid onto its neighbour.
        if (slot % 37 == 5)
            c.position_x += 30;
        controls.append(c);
    }
    return controls;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--short") == 0;
    const int count = quick ? 2000 : 10000;
    const int runs = quick ? 3 : 9;

    const QList<SettingStruct> controls = makeControls(count);
    BackgroundStruct background;
    // The last row of pages hangs over the lower edge.
    background.size_x = 6500;
    background.size_y = quint32((count / 1000) * 650 - 300);
    const ConsistenceCheckStruct all;

    std::vector<double> times;
    ConsistencyResult result;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        result = Consistency::checkAll(controls, background, all, {}, kListed);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    QElapsedTimer timer;
    timer.start();
    const QList<ConsistencyFinding> pairwise =
        Consistency::checkAllPairwise(controls, background, all, kListed);
    const double pairwiseMs = timer.nsecsElapsed() / 1e6;

    const double checkMs = median(times);
    std::printf("controls: %d, findings: %d (%d listed), runs: %d\n", count, result.total,
                int(result.findings.size()), runs);
    std::printf("whole-surface check: median %.1f ms, best %.1f ms (target < %.0f ms for 10000)\n",
                checkMs, *std::min_element(times.begin(), times.end()), kTargetMs);
    std::printf("pairwise version:    %.1f ms (one run)\n", pairwiseMs);
    if (!(result.findings == pairwise) || result.skipped) {
        std::printf("WRONG RESULT: %d findings, the pairwise version %d\n",
                    int(result.findings.size()), int(pairwise.size()));
        return 1;
    }
    if (!quick && checkMs > kTargetMs)
        std::printf("TARGET MISSED\n");
    return 0;
}
