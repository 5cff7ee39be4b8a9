// bench_input [--short]: the input side of the console, in one process on
// the offscreen platform, with its real nodes on loopback (run it inside
// scripts/netns.sh; scripts/dev.sh bench does).
//   1. CPU of one poll tick with 1,000 controls listening to DMX-IN (mixed
//      Art-Net, streaming ACN and MIDI), all with data received (target
//      below 1 ms).
//   2. Latency from a datagram leaving a sender to an LED showing its new
//      colour, over 200 changes at random moments (bounded by the 200 ms
//      tick): median and worst.
//   3. What a configuration whose inputs span universes 0 and 60000 costs:
//      set-up time per control and resident memory.
#include "tests/app/consolestart.h"
#include "tests/app/datagrams.h"
#include "tests/app/scriptedprompter.h"

#include "controls/dmxpushbutton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

std::unique_ptr<Pultora> startConsole(const QString &dir, const QString &controls)
{
    // Checks off: their pair test is not what is measured.
    return startConsoleOn(
        dir + QStringLiteral("/bench.ptra"),
        QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig>\n <consistence_check "
                       "version=\"1\" check_1=\"0\" check_2=\"0\" check_3=\"0\" "
                       "check_4=\"0\" check_5=\"0\"/>\n <background version=\"1\" "
                       "size_x=\"4000\" size_y=\"4000\"/>\n%1</PultoraConfig>\n")
            .arg(controls)
            .toUtf8(),
        std::make_shared<ScriptedPrompter>()); // answers nothing: escape
}

QString control(const QString &attributes)
{
    return QStringLiteral(" <control version=\"1\" %1/>\n").arg(attributes);
}

// 1. ------------------------------------------------------------------------
void pollTick(const QString &dir, bool shortRun)
{
    const int count = 1000;
    const char *types[] = {"fader_vertical",          "button_push",  "led", "direct_value",
                           "fader_horizontal_middle", "button_switch"};
    QString controls;
    for (int i = 0; i < count; ++i) {
        const int kind = i % 3; // Art-Net, streaming ACN, MIDI
        const QString in =
            kind == 0 ? QStringLiteral("protocol_type_in=\"Art-Net\" dmx_in_universe=\"%1\" "
                                       "dmx_in_channel=\"%2\"")
                            .arg(i % 8)
                            .arg(i % 512)
            : kind == 1
                ? QStringLiteral("protocol_type_in=\"streaming ACN\" dmx_in_universe=\"%1\" "
                                 "dmx_in_channel=\"%2\"")
                      .arg(i % 8)
                      .arg(i % 512)
                : QStringLiteral("protocol_type_in=\"Midi\" dmx_in_midi_type=\"note_on\" "
                                 "dmx_in_channel=\"%1\"")
                      .arg(i % 128);
        controls += control(QStringLiteral("control_type=\"%1\" position_x=\"%2\" "
                                           "position_y=\"%3\" size_x=\"30\" size_y=\"30\" %4")
                                .arg(QLatin1String(types[i % 6]))
                                .arg((i % 40) * 35)
                                .arg((i / 40) * 35)
                                .arg(in));
    }
    QElapsedTimer load;
    load.start();
    auto console = startConsole(dir, controls);
    const qint64 loadMs = load.elapsed();

    // Every universe has data, so every lookup finds a value.
    QUdpSocket sender;
    QByteArray levels(512, '\0');
    for (int u = 0; u < 8; ++u) {
        for (int c = 0; c < 512; ++c)
            levels[c] = char((u * 31 + c) & 0xff);
        sender.writeDatagram(artDmxDatagram(u, levels),
                             QHostAddress(QStringLiteral("127.255.255.255")), 6454);
        sender.writeDatagram(e131Datagram(u + 1, levels, 1),
                             QHostAddress(QStringLiteral("239.255.0.%1").arg(u + 1)), 5568);
    }
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }

    const int ticks = shortRun ? 50 : 500;
    // The first ticks move the widgets to their inputs; measure steady ones.
    for (int i = 0; i < 5; ++i)
        QMetaObject::invokeMethod(console.get(), "checkDmxIn");
    QList<double> perTick;
    for (int i = 0; i < ticks; ++i) {
        const double t0 = cpuMs();
        QMetaObject::invokeMethod(console.get(), "checkDmxIn");
        perTick.append(cpuMs() - t0);
    }
    std::sort(perTick.begin(), perTick.end());
    std::printf("poll tick, %d controls listening (1/3 Art-Net, 1/3 sACN, 1/3 MIDI):\n", count);
    std::printf("  load: %lld ms\n", static_cast<long long>(loadMs));
    std::printf("  CPU per tick: median %.3f ms, p99 %.3f ms, max %.3f ms (target < 1 ms)\n",
                perTick.at(perTick.size() / 2), perTick.at(perTick.size() * 99 / 100),
                perTick.last());
}

// 2. ------------------------------------------------------------------------
class PaletteWatch : public QObject
{
public:
    QElapsedTimer clock;
    qint64 changedAt = -1;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::PaletteChange && changedAt < 0)
            changedAt = clock.nsecsElapsed();
        return false;
    }
};

void inputLatency(const QString &dir, bool shortRun)
{
    auto console = startConsole(
        dir, control("control_type=\"led\" protocol_type_in=\"Art-Net\" dmx_in_universe=\"3\" "
                     "dmx_in_channel=\"0\" dmx_in_value_1=\"10\" dmx_in_value_2=\"20\""));
    auto *led = qobject_cast<DmxPushButton *>(
        console->surface().widget(console->document().controls().at(0).id));
    PaletteWatch watch;
    watch.clock.start();
    led->installEventFilter(&watch);
    QUdpSocket sender;
    const QHostAddress broadcast(QStringLiteral("127.255.255.255"));
    const int changes = shortRun ? 20 : 200;
    QList<double> latency;
    int lost = 0;
    for (int i = 0; i < changes; ++i) {
        // A random moment within the tick period.
        const qint64 wait = QRandomGenerator::global()->bounded(50, 260);
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < wait)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        watch.changedAt = -1;
        const qint64 sentAt = watch.clock.nsecsElapsed();
        sender.writeDatagram(artDmxDatagram(3, QByteArray(2, char(i % 2 ? 10 : 20))), broadcast,
                             6454);
        QElapsedTimer limit;
        limit.start();
        while (watch.changedAt < 0 && limit.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
        if (watch.changedAt < 0)
            ++lost;
        else
            latency.append((watch.changedAt - sentAt) / 1e6);
    }
    std::sort(latency.begin(), latency.end());
    std::printf("input path, datagram sent -> LED recoloured, %d changes:\n", changes);
    if (latency.isEmpty()) {
        std::printf("  no change arrived\n");
        return;
    }
    std::printf("  median %.1f ms, worst %.1f ms, missed %d (bounded by the 200 ms tick)\n",
                latency.at(latency.size() / 2), latency.last(), lost);
}

// 3. ------------------------------------------------------------------------
void wideRange(const QString &dir)
{
    const int perProtocol = 50;
    QString controls;
    for (int i = 0; i < perProtocol; ++i)
        for (const char *protocol : {"Art-Net", "streaming ACN"})
            controls += control(QStringLiteral("control_type=\"fader_vertical\" position_x=\"%1\" "
                                               "protocol_type_in=\"%2\" dmx_in_universe=\"%3\"")
                                    .arg(i * 30)
                                    .arg(QLatin1String(protocol))
                                    .arg(i % 2 ? 60000 : 0));
    const long before = rssKb();
    QElapsedTimer load;
    load.start();
    const double cpu0 = cpuMs();
    auto console = startConsole(dir, controls);
    const double cpu = cpuMs() - cpu0;
    const qint64 ms = load.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("inputs spanning universes 0 and 60000 (%d controls, Art-Net and sACN):\n",
                2 * perProtocol);
    std::printf("  load %lld ms (CPU %.0f ms, %.2f ms per control set-up), resident +%ld MB, "
                "peak %ld MB\n",
                static_cast<long long>(ms), cpu, cpu / (2 * perProtocol), (rssKb() - before) / 1024,
                usage.ru_maxrss / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool shortRun = app.arguments().contains(QStringLiteral("--short"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    pollTick(dir.path(), shortRun);
    inputLatency(dir.path(), shortRun);
    wideRange(dir.path());
    return 0;
}
