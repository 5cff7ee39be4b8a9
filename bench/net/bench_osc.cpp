// bench_osc [--short] [send] [receive]: sections named run alone.
// Every figure stands beside a floor measured in the same run, and its
// ratio beside a target; a missed ratio is reported, never failed on.
// Send: CPU per message of OscNode::send() with one message per change,
// each change in a pass of the event loop of its own (as a fader move
// sends), to a receiver socket on loopback, for a target that wants plain
// messages and for one that gets bundles; against sendto() of the same
// datagram bytes in a pass of its own (target, plain: <= 1.2x), and beside
// a bare sendto() with no pass. Every message must arrive.
// Receive: a sender thread sends 10,000 messages a second over 100
// addresses (floats and ints, one in ten a pattern) to the node listening
// on loopback, whose handler looks each address up in an index of 1,000
// listeners (10 per address) and matches a pattern against all 100
// addresses; CPU of the receiving thread per message handled, against a
// bare socket emptied with recvmmsg() on the same flood (target <= 1.5x).
// Beside it, for the breakdown: decode and listeners without a socket, and
// the node on the same flood with a handler that only counts.
// Fails (exit code 1) only on what is wrong whatever the load: a message
// sent that never arrived, a datagram the kernel delivered that the
// handler never saw, a well-formed datagram dropped, or far fewer messages
// handled than sent while the sender kept its pace and the kernel dropped
// none.
// Run only inside scripts/netns.sh: everything stays on loopback.
#include "bench/benchsupport.h"
#include "net/oscnode.h"
#include "net/oscpacket.h"
#include "net/oscpattern.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkInterface>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace
{

constexpr int kAddresses = 100;
constexpr int kListenersPerAddress = 10;
constexpr int kPatternShare = 10; // one message in this many is a pattern
constexpr int kFloodRate = 10000; // messages a second

// A socket bound to 127.0.0.1 (`port`, or any free one) with a receive
// buffer large enough for a burst; -1 when it cannot be bound.
int boundSocket(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int buffer = 4 * 1024 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    const sockaddr_in a = loopback(port);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

quint16 localPort(int fd)
{
    sockaddr_in a{};
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    return ntohs(a.sin_port);
}

// Reads every datagram queued on `fd` now; how many.
long long drain(int fd)
{
    constexpr int kBatch = 64, kSlot = 1500;
    static std::vector<char> buffers(size_t(kBatch) * kSlot);
    mmsghdr headers[kBatch];
    iovec io[kBatch];
    long long read = 0;
    for (;;) {
        for (int i = 0; i < kBatch; ++i) {
            io[i] = {buffers.data() + size_t(i) * kSlot, kSlot};
            headers[i] = {};
            headers[i].msg_hdr.msg_iov = &io[i];
            headers[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = ::recvmmsg(fd, headers, kBatch, MSG_DONTWAIT, nullptr);
        if (n <= 0)
            return read;
        read += n;
    }
}

QByteArray addressOf(int i)
{
    return QByteArray("/pultora/fader/") + QByteArray::number(i) + "/level";
}

// The message of change i: the addresses in turn, floats and ints mixed.
QByteArray messageOf(int i, oscpacket::Value *value = nullptr)
{
    const QByteArray address = addressOf(i % kAddresses);
    const bool isFloat = i % 3 != 0;
    const oscpacket::Value v{isFloat ? oscpacket::Value::Float : oscpacket::Value::Int,
                             isFloat ? double(i % 1000) / 1000.0 : double(i % 256)};
    if (value)
        *value = v;
    return isFloat ? oscpacket::message(address, float(v.number))
                   : oscpacket::message(address, qint32(v.number));
}

// 1. ------------------------------------------------------------------------
struct SendFigures {
    double plainNs = 0, bundledNs = 0;       // node, per message, a pass each
    double rawPlainNs = 0, rawBundledNs = 0; // sendto of the same bytes, a pass each
    double barePlainNs = 0;                  // sendto of the plain bytes alone
    long long messages = 0;                  // per kind
    long long plainArrived = 0, bundledArrived = 0, rawArrived = 0;
    QString error;
};

SendFigures measureSend(int messages)
{
    SendFigures f;
    // The node's datagrams go to receivers of their own, the raw ones to a
    // third; each is emptied between rounds, outside the measurement.
    const int plainIn = boundSocket(0), bundledIn = boundSocket(0), rawIn = boundSocket(0);
    const int rawOut = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (plainIn < 0 || bundledIn < 0 || rawIn < 0 || rawOut < 0) {
        f.error = QStringLiteral("cannot open the sockets");
        return f;
    }
    const QString host = QStringLiteral("127.0.0.1");
    const quint16 plainPort = localPort(plainIn), bundledPort = localPort(bundledIn);
    OscNode node;
    node.setPlainTargets({host + QLatin1Char(':') + QString::number(plainPort)});

    // One cycle of the messages, prebuilt as each datagram leaves.
    constexpr int kCycle = 3000;
    std::vector<QByteArray> plain, bundled;
    std::vector<oscpacket::Value> values;
    for (int i = 0; i < kCycle; ++i) {
        oscpacket::Value v;
        plain.push_back(messageOf(i, &v));
        bundled.push_back(oscpacket::bundles({plain.back()}).value(0));
        values.push_back(v);
    }
    const sockaddr_in rawTo = loopback(localPort(rawIn));
    auto rawSend = [&](const QByteArray &d) {
        return ::sendto(rawOut, d.constData(), size_t(d.size()), 0,
                        reinterpret_cast<const sockaddr *>(&rawTo), sizeof rawTo) == d.size();
    };
    std::vector<QByteArray> addresses;
    for (int a = 0; a < kAddresses; ++a)
        addresses.push_back(addressOf(a));
    auto nodeSend = [&](quint16 port, int i) {
        return node.send(host, port, addresses[size_t(i % kAddresses)], values[size_t(i % kCycle)])
            .isEmpty();
    };
    // Opens the node's socket; the first datagrams are not counted.
    nodeSend(plainPort, 0);
    nodeSend(bundledPort, 0);
    QCoreApplication::processEvents();
    drain(plainIn);
    drain(bundledIn);

    // Rounds alternate the kinds so each sees the same machine state.
    const int rounds = 20;
    const int perRound = messages / rounds;
    double plainCpu = 0, bundledCpu = 0, rawPlainCpu = 0, rawBundledCpu = 0, bareCpu = 0;
    long long refused = 0, rawFailed = 0;
    for (int r = 0; r < rounds; ++r) {
        double t0 = threadCpuSeconds();
        for (int i = 0; i < perRound; ++i) {
            refused += nodeSend(plainPort, i) ? 0 : 1;
            QCoreApplication::processEvents();
        }
        plainCpu += threadCpuSeconds() - t0;
        f.plainArrived += drain(plainIn);

        t0 = threadCpuSeconds();
        for (int i = 0; i < perRound; ++i) {
            refused += nodeSend(bundledPort, i) ? 0 : 1;
            QCoreApplication::processEvents();
        }
        bundledCpu += threadCpuSeconds() - t0;
        f.bundledArrived += drain(bundledIn);

        t0 = threadCpuSeconds();
        for (int i = 0; i < perRound; ++i) {
            rawFailed += rawSend(plain[size_t(i % kCycle)]) ? 0 : 1;
            QCoreApplication::processEvents();
        }
        rawPlainCpu += threadCpuSeconds() - t0;
        f.rawArrived += drain(rawIn);

        t0 = threadCpuSeconds();
        for (int i = 0; i < perRound; ++i) {
            rawFailed += rawSend(bundled[size_t(i % kCycle)]) ? 0 : 1;
            QCoreApplication::processEvents();
        }
        rawBundledCpu += threadCpuSeconds() - t0;
        f.rawArrived += drain(rawIn);

        t0 = threadCpuSeconds();
        for (int i = 0; i < perRound; ++i)
            rawFailed += rawSend(plain[size_t(i % kCycle)]) ? 0 : 1;
        bareCpu += threadCpuSeconds() - t0;
        f.rawArrived += drain(rawIn);
    }
    f.messages = (long long)perRound * rounds;
    f.plainNs = plainCpu * 1e9 / double(f.messages);
    f.bundledNs = bundledCpu * 1e9 / double(f.messages);
    f.rawPlainNs = rawPlainCpu * 1e9 / double(f.messages);
    f.rawBundledNs = rawBundledCpu * 1e9 / double(f.messages);
    f.barePlainNs = bareCpu * 1e9 / double(f.messages);
    if (refused)
        f.error = QStringLiteral("the node refused %1 messages: %2")
                      .arg(refused)
                      .arg(node.lastSendError());
    else if (rawFailed)
        f.error = QStringLiteral("%1 raw sends failed").arg(rawFailed);
    for (int fd : {plainIn, bundledIn, rawIn, rawOut})
        ::close(fd);
    return f;
}

// 2. ------------------------------------------------------------------------
// The flood: the messages of kAddresses addresses in turn, one in
// kPatternShare a pattern naming a few of them.
std::vector<QByteArray> floodDatagrams()
{
    std::vector<QByteArray> d;
    for (int i = 0; i < 3000; ++i) {
        if (i % kPatternShare == kPatternShare - 1) {
            const QByteArray patterns[] = {"/pultora/fader/1?/level", "/pultora/fader/{3,4,5}/*",
                                           "/pultora/fader/[5-7]/level"};
            d.push_back(oscpacket::message(patterns[(i / kPatternShare) % 3], float(i % 7) / 7));
        } else {
            d.push_back(messageOf(i));
        }
    }
    return d;
}

struct Flood {
    FloodEnd done;
    std::atomic<long long> sent{0};
    double seconds = 0; // the sending took
    std::thread thread;
};

// Sends kFloodRate messages a second for `seconds` to 127.0.0.1:port, ten a
// millisecond.
void startFlood(Flood &flood, quint16 port, double seconds)
{
    flood.thread = std::thread([&flood, port, seconds] {
        const std::vector<QByteArray> datagrams = floodDatagrams();
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        const sockaddr_in to = loopback(port);
        const long long total = (long long)(kFloodRate * seconds);
        const int perMs = kFloodRate / 1000;
        const double began = wallSeconds();
        for (long long i = 0; i < total; ++i) {
            const QByteArray &d = datagrams[size_t(i) % datagrams.size()];
            if (::sendto(fd, d.constData(), size_t(d.size()), 0,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to) == d.size())
                ++flood.sent;
            if ((i + 1) % perMs == 0) {
                const double wait = began + double(i + 1) / kFloodRate - wallSeconds();
                if (wait > 0)
                    usleep(useconds_t(wait * 1e6));
            }
        }
        flood.seconds = wallSeconds() - began;
        ::close(fd);
        flood.done.set();
    });
}

struct ReceiveFigures {
    long long sent = 0, received = 0, handled = 0, kernelDrops = 0, matched = 0;
    quint64 nodeDrops = 0;
    double sendSeconds = 0;
    double usPerMessage = 0;
    bool listening = true;
};

// The console's side of a received message: the listeners of a literal
// address by a hash lookup, those of a pattern by matching it against
// every address.
class ListenerIndex
{
public:
    ListenerIndex() : m_levels(size_t(kAddresses) * kListenersPerAddress, 0.0)
    {
        for (int a = 0; a < kAddresses; ++a) {
            m_addresses.append(addressOf(a));
            QList<int> listeners;
            for (int l = 0; l < kListenersPerAddress; ++l)
                listeners.append(l * kAddresses + a);
            m_index.insert(m_addresses.last(), listeners);
        }
    }
    void handle(QByteArrayView address, const oscpacket::Value &value)
    {
        ++handled;
        if (oscpattern::isLiteral(address)) {
            const auto it =
                m_index.constFind(QByteArray::fromRawData(address.data(), address.size()));
            if (it != m_index.constEnd())
                move(*it, value.number);
            return;
        }
        const oscpattern::Pattern pattern(address);
        for (const QByteArray &a : std::as_const(m_addresses))
            if (pattern.match(a) == oscpattern::MatchResult::Match) {
                ++matched;
                move(m_index.value(a), value.number);
            }
    }
    long long handled = 0, matched = 0;

private:
    void move(const QList<int> &listeners, double level)
    {
        for (int l : listeners)
            m_levels[size_t(l)] = level;
    }
    QList<QByteArray> m_addresses;
    QHash<QByteArray, QList<int>> m_index;
    std::vector<double> m_levels;
};

// What decoding and the listeners cost without a socket, over the flood's
// datagrams: CPU per message of decode() alone, and of decode() with the
// listener index for a literal address and for a pattern.
struct DecodeFigures {
    double decodeUs = 0, literalUs = 0, patternUs = 0;
};

DecodeFigures measureDecode(int messages)
{
    DecodeFigures f;
    const std::vector<QByteArray> all = floodDatagrams();
    std::vector<QByteArray> literal, pattern;
    for (qsizetype i = 0; i < qsizetype(all.size()); ++i)
        (i % kPatternShare == kPatternShare - 1 ? pattern : literal).push_back(all[size_t(i)]);
    ListenerIndex index;
    long long seen = 0;
    const auto run = [&](const std::vector<QByteArray> &datagrams, bool listeners, int count) {
        const double t0 = threadCpuSeconds();
        for (int i = 0; i < count; ++i) {
            const QByteArray &d = datagrams[size_t(i) % datagrams.size()];
            oscpacket::decode(d.constData(), int(d.size()), [&](const oscpacket::Message &m) {
                if (listeners)
                    index.handle(m.address, m.value);
                else
                    seen += m.address.size();
            });
        }
        return (threadCpuSeconds() - t0) * 1e6 / double(count);
    };
    f.decodeUs = run(all, false, messages);
    f.literalUs = run(literal, true, messages);
    f.patternUs = run(pattern, true, qMax(1, messages / kPatternShare));
    return f;
}

// With `listeners` false the handler only counts: what the socket, the
// event loop and the decoder cost alone.
ReceiveFigures measureNodeReceive(quint16 port, double seconds, bool listeners = true)
{
    ReceiveFigures f;
    OscNode node;
    ListenerIndex index;
    if (listeners)
        node.setMessageHandler([&index](QByteArrayView address, const oscpacket::Value &v) {
            index.handle(address, v);
        });
    else
        node.setMessageHandler(
            [&index](QByteArrayView, const oscpacket::Value &) { ++index.handled; });
    if (!node.listen(port, QHostAddress())) {
        f.listening = false;
        return f;
    }
    runEventLoopFor(0.1);
    const long long drops0 = socketDrops(port);
    Flood flood;
    startFlood(flood, port, seconds);
    const double cpu0 = threadCpuSeconds();
    flood.done.wait(seconds + 30);
    runEventLoopFor(0.3); // what is still queued
    const double cpu = threadCpuSeconds() - cpu0;
    flood.thread.join();
    f.sent = flood.sent;
    f.sendSeconds = flood.seconds;
    f.kernelDrops = socketDrops(port) - drops0;
    f.received = f.sent - f.kernelDrops;
    f.handled = index.handled;
    f.matched = index.matched;
    f.nodeDrops = node.drops().total();
    f.usPerMessage = f.handled ? cpu * 1e6 / double(f.handled) : 0;
    return f;
}

// The floor: a socket on the same port, emptied with recvmmsg() whenever
// poll() says something is there.
ReceiveFigures measureBareReceive(quint16 port, double seconds)
{
    ReceiveFigures f;
    const int fd = boundSocket(port);
    if (fd < 0) {
        f.listening = false;
        return f;
    }
    const long long drops0 = socketDrops(port);
    Flood flood;
    startFlood(flood, port, seconds);
    const double cpu0 = threadCpuSeconds();
    double quietSince = -1;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            if (!flood.done.isSet())
                continue;
            if (quietSince < 0)
                quietSince = wallSeconds();
            if (wallSeconds() - quietSince > 0.3)
                break;
            continue;
        }
        f.handled += drain(fd);
    }
    const double cpu = threadCpuSeconds() - cpu0;
    flood.thread.join();
    f.sent = flood.sent;
    f.sendSeconds = flood.seconds;
    f.kernelDrops = socketDrops(port) - drops0;
    f.received = f.handled;
    ::close(fd);
    f.usPerMessage = f.handled ? cpu * 1e6 / double(f.handled) : 0;
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known
    const bool quick = app.arguments().contains(QStringLiteral("--short"));
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        if (!(i.flags() & QNetworkInterface::IsLoopBack)) {
            std::fprintf(stderr, "bench_osc: run inside scripts/netns.sh (found %s)\n",
                         qPrintable(i.name()));
            return 2;
        }
    const int sendMessages = quick ? 20000 : 200000;
    const double floodSeconds = quick ? 1.5 : 10.0;
    int missed = 0, faults = 0;
    auto verdict = [&missed](double ratio, double target) {
        const bool ok = ratio <= target;
        missed += ok ? 0 : 1;
        return ok ? "ok" : "MISSED";
    };

    const QStringList args = app.arguments();
    const bool sendOnly = args.contains(QStringLiteral("send"));
    const bool receiveOnly = args.contains(QStringLiteral("receive"));
    if (!receiveOnly || sendOnly) {
        std::printf("== send, one message per change, each change in a pass of its own, to "
                    "loopback, %d messages each\n",
                    sendMessages);
        {
            const SendFigures s = measureSend(sendMessages);
            if (!s.error.isEmpty()) {
                std::printf("send: %s\n", qPrintable(s.error));
                ++faults;
            }
            const double plainRatio = s.plainNs / s.rawPlainNs;
            std::printf("OSC plain:   node %6.0f ns/message  sendto in a pass %6.0f ns  ratio %.2f "
                        "(target <= 1.20): %s\n",
                        s.plainNs, s.rawPlainNs, plainRatio, verdict(plainRatio, 1.2));
            std::printf("OSC bundled: node %6.0f ns/message  sendto in a pass %6.0f ns  ratio %.2f "
                        "(no target)\n",
                        s.bundledNs, s.rawBundledNs, s.bundledNs / s.rawBundledNs);
            std::printf("             bare sendto, no pass: %6.0f ns/message  (plain node %.2fx, "
                        "bundled node %.2fx of it)\n",
                        s.barePlainNs, s.plainNs / s.barePlainNs, s.bundledNs / s.barePlainNs);
            std::printf("             arrived: plain %lld, bundled %lld of %lld each; raw %lld of "
                        "%lld\n",
                        s.plainArrived, s.bundledArrived, s.messages, s.rawArrived, 3 * s.messages);
            if (s.plainArrived != s.messages || s.bundledArrived != s.messages) {
                std::printf("OSC send: messages the node sent never arrived\n");
                ++faults;
            }
        }
    }
    if (!sendOnly || receiveOnly) {
        std::printf("== receive, %d messages/s over %d addresses (1 in %d a pattern), %.1f s, CPU "
                    "of the receiving thread per message\n",
                    kFloodRate, kAddresses, kPatternShare, floodSeconds);
        {
            const quint16 port = 9000;
            const ReceiveFigures n = measureNodeReceive(port, floodSeconds);
            const ReceiveFigures b = measureBareReceive(port, floodSeconds);
            if (!n.listening || !b.listening) {
                std::printf("receive: cannot listen on 127.0.0.1:%u\n", port);
                return 1;
            }
            const double ratio = b.usPerMessage > 0 ? n.usPerMessage / b.usPerMessage : 0;
            std::printf(
                "OSC node + %d listeners: %.2f us/message (%lld handled of %lld sent, %lld "
                "kernel drops, %lld pattern matches)  bare recvmmsg %.2f us/message (%lld of "
                "%lld)  ratio %.2f (target <= 1.50): %s\n",
                kAddresses * kListenersPerAddress, n.usPerMessage, n.handled, n.sent, n.kernelDrops,
                n.matched, b.usPerMessage, b.handled, b.sent, ratio, verdict(ratio, 1.5));
            const DecodeFigures d = measureDecode(int(n.sent));
            std::printf("             without a socket: decode %.2f us/message; with the listeners "
                        "%.2f us for a literal address, %.2f us for a pattern (matched against all "
                        "%d addresses)\n",
                        d.decodeUs, d.literalUs, d.patternUs, kAddresses);
            const ReceiveFigures a = measureNodeReceive(port, floodSeconds, false);
            std::printf("             node with a handler that only counts: %.2f us/message "
                        "(%lld handled of %lld sent), %.2fx the bare recvmmsg\n",
                        a.usPerMessage, a.handled, a.sent,
                        b.usPerMessage > 0 ? a.usPerMessage / b.usPerMessage : 0);
            // Whatever the load: every datagram the socket took in reaches the
            // handler, none well-formed is dropped, and with the sender on time
            // and no datagram dropped by the kernel (which a loaded machine may
            // do) most arrive at all.
            const bool onTime = n.sendSeconds <= floodSeconds * 1.1;
            if (n.nodeDrops) {
                std::printf("OSC receive: the node dropped %llu well-formed datagrams\n",
                            (unsigned long long)n.nodeDrops);
                ++faults;
            }
            if (n.handled != n.received) {
                std::printf("OSC receive: %lld datagrams taken in, %lld handled\n", n.received,
                            n.handled);
                ++faults;
            }
            if (onTime && n.kernelDrops == 0 && n.handled < n.sent / 2) {
                std::printf("OSC receive: %lld of %lld handled with the sender on time\n",
                            n.handled, n.sent);
                ++faults;
            }
        }
    }
    std::printf("bench_osc: %d ratios missed their targets, %d faults\n", missed, faults);
    return faults ? 1 : 0;
}
