// bench_input [--short] [latency] [ramp] [idle] [wide]: the input side of the console, in one
// process on the offscreen platform, with its real nodes on loopback (run it inside
// scripts/netns.sh; scripts/dev.sh bench does).
//   1. Latency from an ArtDmx leaving a sender to the fader that listens to
//      it moving and its own output leaving as ArtDmx, over changes at
//      random moments (targets: median below 5 ms, p99 below 20 ms), beside
//      a bare echo of a datagram through one socket in the same run.
//   2. A ramp of 80 levels at 40 frames a second on 20 faders: how many
//      levels reach the output (target: all), and the CPU per received
//      packet, for the ramp and for the same frame repeated, beyond what
//      the console costs with nothing arriving.
//   3. Idle CPU of a show of 20,000 controls, 10,000 of them listening to
//      Art-Net and streaming ACN with no input arriving (target below 0.5 %
//      of a core).
//   4. What a configuration whose inputs span universes 0 and 60000 costs:
//      set-up time per control and resident memory.
// It fails (exit code 1) only on what is wrong whatever the load: a level
// that never reaches the output although every frame was sent on time.
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"
#include "tests/net/fakenet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

constexpr quint16 kArtNetPort = 6454;
const QHostAddress kBroadcast(QStringLiteral("127.255.255.255"));

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

// A fader listening to Art-Net (in universe, in channel) whose own output
// is Art-Net (out universe, out channel), levels 0..255 both ways.
QString echoFader(int inUniverse, int inChannel, int outUniverse, int outChannel, int x)
{
    return control(QStringLiteral("control_type=\"fader_vertical\" position_x=\"%1\" "
                                  "size_x=\"20\" size_y=\"100\" protocol_type=\"Art-Net\" "
                                  "dmx_value_1=\"0\" dmx_value_2=\"255\" dmx_universe=\"%2\" "
                                  "dmx_channel=\"%3\" protocol_type_in=\"Art-Net\" "
                                  "dmx_in_universe=\"%4\" dmx_in_channel=\"%5\"")
                       .arg(x)
                       .arg(outUniverse)
                       .arg(outChannel)
                       .arg(inUniverse)
                       .arg(inChannel));
}

// Hears every ArtDmx on the loopback network, the console's included.
class ArtDmxTap
{
public:
    bool open()
    {
        return m_socket.bind(QHostAddress::AnyIPv4, kArtNetPort,
                             QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    }
    QUdpSocket &socket() { return m_socket; }
    // Calls f(levels) for each ArtDmx of `universe` read now.
    template <typename F> void read(int universe, F f)
    {
        while (m_socket.hasPendingDatagrams()) {
            QByteArray d(int(m_socket.pendingDatagramSize()), '\0');
            m_socket.readDatagram(d.data(), d.size());
            if (d.size() >= 18 && d.startsWith(QByteArray("Art-Net\0", 8)) &&
                quint8(d[9]) == 0x50 && quint8(d[14]) == (universe & 0xff) &&
                quint8(d[15]) == (universe >> 8))
                f(d.mid(18));
        }
    }

private:
    QUdpSocket m_socket;
};

// Processes events until `done` says so or `limitMs` passed; the
// nanoseconds on `clock` when done, -1 when it never was.
template <typename F> qint64 waitFor(const QElapsedTimer &clock, qint64 limitMs, F done)
{
    const qint64 end = clock.nsecsElapsed() + limitMs * 1000000;
    while (clock.nsecsElapsed() < end) {
        if (done())
            return clock.nsecsElapsed();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    }
    return done() ? clock.nsecsElapsed() : -1;
}

// Runs the event loop for `ms`, sleeping while nothing happens.
void idle(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(int(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double at(const QList<double> &sorted, double fraction)
{
    return sorted.at(std::min<qsizetype>(sorted.size() - 1, qsizetype(sorted.size() * fraction)));
}

void printLatency(const char *what, QList<double> latency, int lost)
{
    std::sort(latency.begin(), latency.end());
    if (latency.isEmpty()) {
        std::printf("  %s: nothing arrived (%d lost)\n", what, lost);
        return;
    }
    std::printf("  %s: median %.2f ms, p99 %.2f ms, worst %.2f ms, lost %d\n", what,
                at(latency, 0.5), at(latency, 0.99), latency.last(), lost);
}

// 1. ------------------------------------------------------------------------
void inputLatency(const QString &dir, bool shortRun)
{
    auto console = startConsole(dir, echoFader(3, 0, 0, 1, 0));
    ArtDmxTap tap;
    if (!tap.open()) {
        std::printf("input latency: cannot listen to Art-Net\n");
        return;
    }
    // The bare echo: a datagram in, the same datagram out, through the same
    // event loop.
    QUdpSocket echo, echoed, sender;
    const QHostAddress local(QHostAddress::LocalHost);
    echo.bind(local, 0);
    echoed.bind(local, 0);
    QObject::connect(&echo, &QUdpSocket::readyRead, &echo, [&] {
        while (echo.hasPendingDatagrams()) {
            QByteArray d(int(echo.pendingDatagramSize()), '\0');
            echo.readDatagram(d.data(), d.size());
            echo.writeDatagram(d, local, echoed.localPort());
        }
    });

    QElapsedTimer clock;
    clock.start();
    const int changes = shortRun ? 40 : 200;
    QList<double> ours, bare;
    int oursLost = 0, bareLost = 0;
    for (int i = 0; i < changes; ++i) {
        idle(QRandomGenerator::global()->bounded(20, 120));
        const char level = char(i % 2 ? 10 : 20);
        tap.read(0, [](const QByteArray &) {});
        qint64 sentAt = clock.nsecsElapsed();
        sender.writeDatagram(artDmx(3, QByteArray(2, level)), kBroadcast, kArtNetPort);
        bool seen = false;
        qint64 doneAt = waitFor(clock, 2000, [&] {
            tap.read(0, [&](const QByteArray &out) {
                seen = seen || (out.size() > 1 && out[1] == level);
            });
            return seen;
        });
        if (doneAt < 0)
            ++oursLost;
        else
            ours.append((doneAt - sentAt) / 1e6);

        idle(5);
        sentAt = clock.nsecsElapsed();
        echo.writeDatagram(artDmx(3, QByteArray(2, level)), local, echo.localPort());
        doneAt = waitFor(clock, 2000, [&] { return echoed.hasPendingDatagrams(); });
        while (echoed.hasPendingDatagrams())
            echoed.readDatagram(nullptr, 0);
        if (doneAt < 0)
            ++bareLost;
        else
            bare.append((doneAt - sentAt) / 1e6);
    }
    std::printf("input path, ArtDmx sent -> fader moved -> its output received, %d changes "
                "(targets: median < 5 ms, p99 < 20 ms):\n",
                changes);
    printLatency("console", ours, oursLost);
    printLatency("bare echo", bare, bareLost);
}

// 2. ------------------------------------------------------------------------
// Returns false when a level was lost although every frame left on time.
bool ramp(const QString &dir, bool shortRun)
{
    constexpr int faders = 20, levels = 80, periodMs = 25;
    QString controls;
    for (int c = 0; c < faders; ++c)
        controls += echoFader(1, c, 2, c, c * 30);
    auto console = startConsole(dir, controls);
    ArtDmxTap tap;
    if (!tap.open()) {
        std::printf("ramp: cannot listen to Art-Net\n");
        return true;
    }
    std::vector<std::set<int>> seen(faders);
    const auto collect = [&] {
        tap.read(2, [&](const QByteArray &out) {
            for (int c = 0; c < faders && c < out.size(); ++c)
                seen[size_t(c)].insert(quint8(out[c]));
        });
    };
    QObject::connect(&tap.socket(), &QUdpSocket::readyRead, &tap.socket(), collect);
    idle(300);
    for (auto &s : seen)
        s.clear();

    // Nothing sent, the ramp, then its last frame repeated as a desk keeps
    // sending it; a precise timer sends, the loop sleeps in between. Each
    // phase ends 300 ms after its last frame.
    QUdpSocket sender;
    QElapsedTimer clock;
    int late = 0;
    const int repeats = shortRun ? 200 : 800;
    const int frames[3] = {repeats, levels, repeats};
    double cpu[3] = {}, wall[3] = {};
    for (int phase = 0; phase < 3; ++phase) {
        const double cpu0 = cpuMs();
        clock.start();
        int k = 0;
        QEventLoop loop;
        QTimer pace;
        pace.setTimerType(Qt::PreciseTimer);
        QObject::connect(&pace, &QTimer::timeout, &loop, [&] {
            if (k == frames[phase]) {
                if (clock.elapsed() >= qint64(k) * periodMs + 300)
                    loop.quit();
                return;
            }
            if (clock.elapsed() > qint64(k + 1) * periodMs + periodMs / 2)
                ++late;
            const char level = char(phase == 1 ? k + 1 : levels);
            if (phase > 0)
                sender.writeDatagram(artDmx(1, QByteArray(faders, level)), kBroadcast, kArtNetPort);
            ++k;
        });
        pace.start(periodMs);
        loop.exec();
        cpu[phase] = cpuMs() - cpu0;
        wall[phase] = double(clock.nsecsElapsed()) / 1e6;
    }
    // What the console costs idle is taken off.
    const auto perPacket = [&](int phase) {
        return (cpu[phase] - cpu[0] / wall[0] * wall[phase]) / frames[phase];
    };
    int reached = 0;
    for (const auto &s : seen)
        for (int level = 1; level <= levels; ++level)
            reached += s.count(level) ? 1 : 0;
    std::printf("ramp of %d levels at %d frames/s on %d faders (target: every level):\n", levels,
                1000 / periodMs, faders);
    std::printf("  levels echoed: %d of %d, frames sent late: %d\n", reached, levels * faders,
                late);
    std::printf("  CPU per received packet, beyond the idle console's %.3f %% of a core: "
                "%.3f ms on the ramp, %.3f ms on %d repeats of a frame\n",
                100 * cpu[0] / wall[0], perPacket(1), perPacket(2), repeats);
    return reached == levels * faders || late > 0;
}

// 3. ------------------------------------------------------------------------
void idleShow(const QString &dir, bool shortRun)
{
    const int count = 20000;
    QString controls;
    controls.reserve(count * 200);
    for (int i = 0; i < count; ++i) {
        const QString where =
            QStringLiteral("position_x=\"%1\" position_y=\"%2\" size_x=\"18\" size_y=\"18\"")
                .arg((i % 200) * 20)
                .arg((i / 200) * 20);
        if (i % 2)
            controls += control(QStringLiteral("control_type=\"button_push\" %1").arg(where));
        else
            controls += control(QStringLiteral("control_type=\"%1\" %2 protocol_type_in=\"%3\" "
                                               "dmx_in_universe=\"%4\" dmx_in_channel=\"%5\"")
                                    .arg(QLatin1String(i % 4 ? "led" : "fader_vertical"), where,
                                         QLatin1String(i % 3 ? "Art-Net" : "streaming ACN"))
                                    .arg((i / 2) % 16)
                                    .arg((i / 32) % 512));
    }
    QElapsedTimer load;
    load.start();
    auto console = startConsole(dir, controls);
    const qint64 loadMs = load.elapsed();
    idle(1000);
    const qint64 wallMs = shortRun ? 3000 : 10000;
    const double cpu0 = cpuMs();
    QElapsedTimer wall;
    wall.start();
    idle(wallMs);
    const double cpu = cpuMs() - cpu0;
    std::printf("idle show of %d controls, %d listening (load %lld ms):\n",
                int(console->document().controls().size()), count / 2,
                static_cast<long long>(loadMs));
    std::printf("  CPU %.3f %% of a core over %lld ms (target < 0.5 %%)\n",
                100.0 * cpu / double(wall.elapsed()), static_cast<long long>(wall.elapsed()));
}

// 4. ------------------------------------------------------------------------
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
    // Sections named on the command line run alone.
    const QStringList args = app.arguments();
    const auto run = [&args](const char *name) {
        return args.contains(QLatin1String(name)) ||
               !(args.contains(QLatin1String("latency")) || args.contains(QLatin1String("ramp")) ||
                 args.contains(QLatin1String("idle")) || args.contains(QLatin1String("wide")));
    };
    if (run("latency"))
        inputLatency(dir.path(), shortRun);
    const bool allLevels = !run("ramp") || ramp(dir.path(), shortRun);
    if (run("idle"))
        idleShow(dir.path(), shortRun);
    if (run("wide"))
        wideRange(dir.path());
    if (!allLevels)
        std::printf("FAILED: a level of the ramp never reached the output\n");
    return allLevels ? 0 : 1;
}
