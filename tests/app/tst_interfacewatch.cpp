#include "app/outputobjects.h"
#include "net/acnnet.h"
#include "net/artnet.h"
#include "tests/net/fakenet.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

const QByteArray LEVELS = QByteArray::fromHex("0a0b0c");

QList<NetworkInterfaceInfo> listing(const QString &spec)
{
    // "ip/prefix" on eth0, or "" for loopback only; "+eth1" adds another.
    QList<NetworkInterfaceInfo> list{
        {QString(), {FakeNet::entry("127.0.0.1", "255.0.0.0", nullptr)}, "lo"}};
    for (const QString &part : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool other = part.startsWith(QLatin1Char('+'));
        const QStringList ip = part.mid(other ? 1 : 0).split(QLatin1Char('/'));
        QNetworkAddressEntry e;
        e.setIp(QHostAddress(ip[0]));
        e.setPrefixLength(ip[1].toInt());
        e.setBroadcast(QHostAddress(e.ip().toIPv4Address() | ~e.netmask().toIPv4Address()));
        list.append(
            {"02:00:00:00:00:0" + QString::number(list.size()), {e}, other ? "eth1" : "eth0"});
    }
    return list;
}

// The output objects over a FakeNet, with all that any socket sent.
struct Console {
    FakeNet net;
    QList<FakeSocket::Sent> sent;
    QStringList notices;
    int networkCalls = 0;
    std::unique_ptr<OutputObjects> objects;
    QByteArray acnIn = QByteArray(512, 0);

    explicit Console(const QString &start)
    {
        net.interfaces = listing(start);
        NetEnvironment env = net.env();
        env.createSocket = [this, create = env.createSocket]() -> DatagramSocket * {
            auto *s = static_cast<FakeSocket *>(create());
            s->sentLog = &sent;
            return s;
        };
        objects = std::make_unique<OutputObjects>(env);
        objects->setNetworkOptions("eth0", false);
        objects->setNoticeHandler([this](const QString &text) { notices.append(text); });
        objects->setNetworkHandler([this] { ++networkCalls; });
        objects->listenOsc(8000);
        objects->setReceiveBuffer(PT_ACN, w8(acnIn), 512, {0});
        objects->sendArtNet(0, LEVELS);
        objects->sendAcn(0, LEVELS);
        objects->flush();
    }
    QHostAddress lastTo(quint16 port) const
    {
        for (auto it = sent.crbegin(); it != sent.crend(); ++it)
            if (it->port == port)
                return it->destination;
        return {};
    }
};

} // namespace

class TestInterfaceWatch : public QObject
{
    Q_OBJECT

private slots:
    // One look after the listing changed: the nodes move (or stay) and keep
    // their universes; the way back is loopback as at start.
    void follow_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("artnetTo");
        QTest::addColumn<QString>("usedAddress"); // groups joined, OSC listening on
        QTest::addColumn<int>("binds");
        QTest::addColumn<QString>("status"); // what the one status line says, if any
        QTest::addColumn<int>("networkCalls");
        const QString net = "198.51.100.1/24", bcast = "198.51.100.255", ip = "198.51.100.1";
        QTest::newRow("eth0 appears") << "" << net << bcast << ip << 2 << "eth0 is up" << 1;
        QTest::newRow("address changes") << net << "203.0.113.5/24"
                                         << "203.0.113.255"
                                         << "203.0.113.5" << 2 << "eth0 changed" << 1;
        QTest::newRow("netmask one bit longer")
            << net << "198.51.100.1/25"
            << "198.51.100.127" << ip << 2 << "eth0 changed" << 1;
        QTest::newRow("eth0 vanishes") << net << ""
                                       << "127.255.255.255"
                                       << "127.0.0.1" << 2 << "eth0 198.51.100.1 went away" << 1;
        QTest::newRow("unchanged") << net << net << bcast << ip << 0 << "" << 0;
        QTest::newRow("another interface appears")
            << net << net + " +192.0.2.9/24" << bcast << ip << 0 << "" << 1;
    }
    void follow()
    {
        QFETCH(QString, start);
        QFETCH(QString, next);
        QFETCH(QString, artnetTo);
        QFETCH(QString, usedAddress);
        QFETCH(int, binds);
        QFETCH(QString, status);
        QFETCH(int, networkCalls);

        Console c(start);
        c.net.bindLog.clear();
        c.notices.clear();
        c.net.interfaces = listing(next);
        c.objects->checkNetwork();
        c.objects->flush();
        QCOMPARE(c.net.bindLog.size(), binds);
        QCOMPARE(c.notices.size(), status.isEmpty() ? 0 : 1);
        if (!status.isEmpty())
            QVERIFY2(c.notices[0].startsWith("Network: " + status), qPrintable(c.notices[0]));
        QCOMPARE(c.networkCalls, networkCalls);
        const bool loopback = usedAddress == "127.0.0.1";
        QStringList osc;
        for (const FakeSocket *s : c.net.sockets)
            if (s && s->boundPort == 8000)
                osc.append(s->boundAddress.toString());
        QCOMPARE(osc.join(' '), loopback ? usedAddress : "127.0.0.1 " + usedAddress);
        const FakeSocket *acn = c.net.boundTo(5568);
        QVERIFY(acn && !acn->memberships.isEmpty() && acn->memberships.last().join);
        QCOMPARE(acn->memberships.last().local.toString(), usedAddress);

        // ArtPollReply reports the address in use to a poller on its network.
        const QHostAddress poller(QHostAddress(usedAddress).toIPv4Address() + 19);
        c.net.boundTo(6454)->inject(QByteArray("Art-Net\0\0\x20\0\x0e\0\0", 14), poller);
        QCOMPARE(c.sent.last().destination, poller);
        QCOMPARE(QHostAddress(qFromBigEndian<quint32>(c.sent.last().data.constData() + 10)),
                 QHostAddress(usedAddress));

        // The levels sent before keep being sent, to the new addresses.
        c.sent.clear();
        c.net.now += acnnet::KEEP_ALIVE_PERIOD_MS;
        QVERIFY(c.objects->artnetNode()->sendDataTimeout() > 0);
        QVERIFY(c.objects->acnNode()->sendDataTimeout() > 0);
        QCOMPARE(c.lastTo(6454).toString(), artnetTo);
        QCOMPARE(c.lastTo(5568).toString(), loopback ? "127.255.0.1" : "239.255.0.1");
        QCOMPARE(c.sent.last().data.right(3), LEVELS);
        // And so does the next frame.
        c.objects->sendArtNet(0, LEVELS);
        c.objects->flush();
        QCOMPARE(c.lastTo(6454).toString(), artnetTo);
    }

    // The real thing: output objects started on loopback only, then a veth
    // pair with an address comes up; an Art-Net frame leaves on it within
    // 5 s, as a packet socket on the other end sees.
    void realInterfaceAppears()
    {
        const auto ip = [](const QString &args) {
            return QProcess::execute("ip", args.split(' ')) == 0;
        };
        if (!ip("link add pw0 type veth peer name pw1"))
            QSKIP("cannot create a veth pair here (run inside scripts/netns.sh)");
        const auto removeLink = qScopeGuard([&ip] { ip("link del pw0"); });
        OutputObjects objects;
        objects.setNetworkOptions(QString(), false);
        objects.sendArtNet(0, LEVELS);
        objects.flush();
        QCOMPARE(objects.artnetNode()->interfaceDescription(), "127.0.0.1");

        const int capture = socket(AF_PACKET, SOCK_DGRAM | SOCK_NONBLOCK, htons(ETH_P_IP));
        const auto closeCapture = qScopeGuard([capture] { close(capture); });
        sockaddr_ll where{};
        where.sll_family = AF_PACKET;
        where.sll_protocol = htons(ETH_P_IP);
        where.sll_ifindex = int(if_nametoindex("pw1"));
        QVERIFY(bind(capture, reinterpret_cast<sockaddr *>(&where), sizeof where) == 0);
        QVERIFY(ip("addr add 198.51.100.1/24 brd + dev pw0") && ip("link set pw1 up") &&
                ip("link set pw0 up"));
        QElapsedTimer clock;
        clock.start();
        bool seen = false;
        quint8 p[2048];
        while (!seen && clock.elapsed() < 5000) {
            QTest::qWait(20);
            while (!seen && recv(capture, p, sizeof p, 0) > 28) {
                const auto *iph = reinterpret_cast<const iphdr *>(p);
                const auto *udp = reinterpret_cast<const udphdr *>(p + iph->ihl * 4);
                seen = iph->protocol == IPPROTO_UDP && ntohs(udp->dest) == 6454 &&
                       iph->saddr == inet_addr("198.51.100.1") &&
                       iph->daddr == inet_addr("198.51.100.255");
            }
        }
        QVERIFY2(seen, "no Art-Net from 198.51.100.1 to 198.51.100.255 on pw0 within 5 s");
        qInfo("Art-Net on the new interface after %lld ms", clock.elapsed());
    }
};

QTEST_GUILESS_MAIN(TestInterfaceWatch)
#include "tst_interfacewatch.moc"
