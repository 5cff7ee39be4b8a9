// bench_osc_path [--short]: OSC into the console, in one process on the
// offscreen platform with its real nodes on loopback (run it inside
// scripts/netns.sh; scripts/dev.sh bench does).
// A show of 1,000 faders with Art-Net outputs listens to 100 OSC addresses,
// 10 faders each, on the port a run is started with (--osc-in-port). A
// sender thread floods 99 of the addresses with 10,000 messages a second;
// a probe thread meanwhile sends the 100th address a new level at random
// moments and times it from leaving to the ArtDmx that carries the level
// of a fader listening to it (targets, those of the DMX input path: median
// below 5 ms, p99 below 20 ms), beside a bare echo of a datagram through a
// socket on the console's event loop under the same flood. Also reported:
// the CPU of the console's thread per flood message.
// It fails (exit code 1) only on what is wrong whatever the load: a probe
// whose level never left although the kernel dropped nothing on the OSC
// port.
#include "bench/benchsupport.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include "net/oscpacket.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

namespace
{

constexpr quint16 kOscPort = 9000;
constexpr quint16 kArtNetPort = 6454;
constexpr int kAddresses = 100, kListenersPerAddress = 10;
constexpr int kFloodRate = 10000;   // messages a second, the probes among them
constexpr int kProbeUniverse = 5;   // the probe address's faders, channels 0..9
constexpr int kArtDmxHeader = 18;   // ArtDmx levels start here
constexpr int kArtDmxUniverse = 14; // SubUni, Net

double seconds(clockid_t clock = CLOCK_MONOTONIC)
{
    return clockSeconds(clock);
}

QByteArray addressOf(int i)
{
    return QByteArray("/bench/fader/") + QByteArray::number(i);
}

// Fader k listens to address k % 100 and sends its level as Art-Net: the
// probe address's faders on universe 5, the others on universes 0 and 1.
QString show()
{
    QString controls;
    for (int k = 0; k < kAddresses * kListenersPerAddress; ++k) {
        const int address = k % kAddresses;
        const int universe = address == 0 ? kProbeUniverse : k / 512;
        const int channel = address == 0 ? k / kAddresses : k % 512;
        controls += QStringLiteral(" <control version=\"1\" control_type=\"fader_vertical\" "
                                   "position_x=\"%1\" position_y=\"%2\" size_x=\"20\" "
                                   "size_y=\"100\" protocol_type=\"Art-Net\" dmx_value_1=\"0\" "
                                   "dmx_value_2=\"255\" dmx_universe=\"%3\" dmx_channel=\"%4\" "
                                   "protocol_type_in=\"OSC\" dmx_in_osc_address=\"%5\"/>\n")
                        .arg((k % 50) * 22)
                        .arg((k / 50) * 105)
                        .arg(universe)
                        .arg(channel)
                        .arg(QString::fromLatin1(addressOf(address)));
    }
    // Checks off: their pair test is not what is measured.
    return QStringLiteral("<!DOCTYPE Pultora>\n<PultoraConfig>\n <consistence_check version=\"1\" "
                          "check_1=\"0\" check_2=\"0\" check_3=\"0\" check_4=\"0\" "
                          "check_5=\"0\"/>\n <background version=\"1\" size_x=\"1200\" "
                          "size_y=\"2200\"/>\n%1</PultoraConfig>\n")
        .arg(controls);
}

struct Figures {
    std::vector<double> oscMs, echoMs;
    int oscLost = 0, echoLost = 0;
    long long floodSent = 0;
    long long floodFrames = 0; // ArtDmx of the flooded universes seen by the probe
    double floodSeconds = 0;
};

// Waits up to 2 s on `fd` for a datagram `accept` takes; the time it came,
// or -1.
template <typename F> double waitFor(int fd, F accept)
{
    const double end = seconds() + 2;
    char buffer[1500];
    while (seconds() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0)
            continue;
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < 0)
                break;
            if (accept(buffer, int(n)))
                return seconds();
        }
    }
    return -1;
}

// The probes: an OSC level to the probe address until its ArtDmx leaves,
// then a datagram through the echo socket, at random moments.
void probe(int probes, quint16 echoPort, int tap, Figures &f, std::atomic_bool &done)
{
    const int out = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int echoed = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in any = loopback(0);
    ::bind(echoed, reinterpret_cast<const sockaddr *>(&any), sizeof any);
    const sockaddr_in osc = loopback(kOscPort), echo = loopback(echoPort);
    for (int i = 0; i < probes; ++i) {
        usleep(useconds_t(QRandomGenerator::global()->bounded(20, 120) * 1000));
        const quint8 level = i % 2 ? 51 : 153; // 0.2 and 0.6 of the range
        const QByteArray message = oscpacket::message(addressOf(0), float(level) / 255.0f);
        const double sent = seconds();
        ::sendto(out, message.constData(), size_t(message.size()), 0,
                 reinterpret_cast<const sockaddr *>(&osc), sizeof osc);
        const double arrived = waitFor(tap, [level, &f](const char *d, int n) {
            if (n <= kArtDmxHeader || quint8(d[9]) != 0x50 || d[15] != 0)
                return false;
            f.floodFrames += quint8(d[kArtDmxUniverse]) < 2 ? 1 : 0;
            return quint8(d[kArtDmxUniverse]) == kProbeUniverse &&
                   quint8(d[kArtDmxHeader]) == level;
        });
        if (arrived < 0)
            ++f.oscLost;
        else
            f.oscMs.push_back((arrived - sent) * 1e3);

        usleep(5000);
        const double echoSent = seconds();
        ::sendto(echoed, message.constData(), size_t(message.size()), 0,
                 reinterpret_cast<const sockaddr *>(&echo), sizeof echo);
        const double back = waitFor(echoed, [](const char *, int) { return true; });
        if (back < 0)
            ++f.echoLost;
        else
            f.echoMs.push_back((back - echoSent) * 1e3);
    }
    ::close(out);
    ::close(echoed);
    done = true;
}

// The flood: addresses 1..99 in turn, floats and ints, until `done`.
void flood(const std::atomic_bool &done, Figures &f)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in to = loopback(kOscPort);
    std::vector<QByteArray> messages;
    for (int i = 0; i < 2970; ++i) {
        const QByteArray address = addressOf(1 + i % (kAddresses - 1));
        messages.push_back(i % 3 ? oscpacket::message(address, float(i % 256) / 255.0f)
                                 : oscpacket::message(address, qint32(i % 256)));
    }
    const int perMs = kFloodRate / 1000;
    const double began = seconds();
    long long i = 0;
    for (; !done; ++i) {
        const QByteArray &m = messages[size_t(i) % messages.size()];
        ::sendto(fd, m.constData(), size_t(m.size()), 0, reinterpret_cast<const sockaddr *>(&to),
                 sizeof to);
        if ((i + 1) % perMs == 0) {
            const double wait = began + double(i + 1) / kFloodRate - seconds();
            if (wait > 0)
                usleep(useconds_t(wait * 1e6));
        }
    }
    f.floodSent = i;
    f.floodSeconds = seconds() - began;
    ::close(fd);
}

double at(const std::vector<double> &sorted, double fraction)
{
    return sorted.empty() ? 0
                          : sorted[std::min(sorted.size() - 1, size_t(sorted.size() * fraction))];
}

void printLatency(const char *what, std::vector<double> ms, int lost)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %s: median %.2f ms, p99 %.2f ms, worst %.2f ms, lost %d\n", what, at(ms, 0.5),
                at(ms, 0.99), ms.empty() ? 0.0 : ms.back(), lost);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool shortRun = app.arguments().contains(QStringLiteral("--short"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;

    // The tap hears every ArtDmx on loopback; opened first, so the console
    // shares the port with it.
    const int tap = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int one = 1, buffer = 4 * 1024 * 1024;
    ::setsockopt(tap, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ::setsockopt(tap, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(kArtNetPort);
    if (::bind(tap, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0) {
        std::printf("bench_osc_path: cannot listen to Art-Net\n");
        return 1;
    }

    ConsoleServices services;
    services.oscInPort = kOscPort;
    const double load0 = seconds();
    auto console = startConsoleOn(dir.filePath(QStringLiteral("osc.ptra")), show().toUtf8(),
                                  std::make_shared<ScriptedPrompter>(), services);
    if (!console)
        return 1;
    const double loadSeconds = seconds() - load0;
    // The bare echo: a datagram in, the same datagram back, on the
    // console's event loop.
    QUdpSocket echo;
    echo.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&echo, &QUdpSocket::readyRead, &echo, [&echo] {
        while (echo.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray d(int(echo.pendingDatagramSize()), '\0');
            echo.readDatagram(d.data(), d.size(), &from, &port);
            echo.writeDatagram(d, from, port);
        }
    });
    {
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
    }

    Figures f;
    std::atomic_bool done{false};
    const int probes = shortRun ? 40 : 200;
    const long long drops0 = socketDrops(kOscPort);
    const double cpu0 = seconds(CLOCK_THREAD_CPUTIME_ID);
    std::thread flooder(flood, std::cref(done), std::ref(f));
    std::thread prober(probe, probes, echo.localPort(), tap, std::ref(f), std::ref(done));
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    check.start(50);
    loop.exec();
    const double cpu = seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    prober.join();
    flooder.join();
    const long long drops = socketDrops(kOscPort) - drops0;
    ::close(tap);

    std::printf("OSC in -> fader -> Art-Net out: %d faders on %d addresses (show loaded in %.1f "
                "s), flood %lld messages in %.1f s (%.0f/s), %d probes (targets: median < 5 ms, "
                "p99 < 20 ms):\n",
                int(console->document().controls().size()), kAddresses, loadSeconds, f.floodSent,
                f.floodSeconds, f.floodSeconds > 0 ? double(f.floodSent) / f.floodSeconds : 0.0,
                probes);
    printLatency("console  ", f.oscMs, f.oscLost);
    printLatency("bare echo", f.echoMs, f.echoLost);
    std::printf(
        "  console thread CPU %.1f us per flood message (%.0f %% of a core), %lld dropped "
        "by the kernel on the OSC port; %lld ArtDmx of the flooded universes seen while probing\n",
        f.floodSent ? cpu * 1e6 / double(f.floodSent) : 0.0,
        f.floodSeconds > 0 ? 100 * cpu / f.floodSeconds : 0.0, drops, f.floodFrames);
    console->setModified(false, false);
    if (f.oscLost && drops == 0) {
        std::printf("FAILED: a probe's level never left although nothing was dropped\n");
        return 1;
    }
    return 0;
}
