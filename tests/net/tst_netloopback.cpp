// What only real UDP sockets over the loopback network show: a burst larger
// than one batched read, more multicast groups than one socket may join. The
// nodes get a loopback-only interface list, so everything they send stays on
// 127/8. Sending and receiving through the console: tst_consoleio.
#include "net/acnnet.h"
#include "net/artnet.h"
#include "tests/net/fakenet.h"

#include <QNetworkInterface>
#include <QTest>
#include <QUdpSocket>

namespace
{

NetEnvironment loopbackEnvironment()
{
    NetEnvironment env = NetEnvironment::system();
    env.interfaces = [] { return QList<NetworkInterfaceInfo>(); }; // loopback fallback
    return env;
}

// Multicast on loopback needs the private namespace of the test command (a
// route for 224.0.0.0/4 via lo); anywhere else it could leave the machine.
bool onlyLoopbackExists()
{
    const auto all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : all)
        if (!(i.flags() & QNetworkInterface::IsLoopBack))
            return false;
    return true;
}

// Every universe of `list` shows the level its index says (1 for the first).
bool heardAll(DmxNode &node, const QList<int> &list)
{
    quint8 v = 0;
    for (int i = 0; i < list.size(); ++i)
        if (!node.getReceivedValue(list[i], 511, v) || v != quint8(i + 1))
            return false;
    return true;
}

} // namespace

class TestNetLoopback : public QObject
{
    Q_OBJECT
private slots:
    void artnetBurstOfUniverses()
    {
        // More datagrams queued at once than one batched read takes.
        artnet receiver(false, loopbackEnvironment());
        QList<int> list;
        for (int u = 0; u < 150; ++u)
            list << u;
        QByteArray in(list.size() * 512, 0);
        receiver.setReceiveBuffer(w8(in), in.size(), 512);
        QVERIFY(receiver.setReceiveUniverse(0));
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        for (int u : list)
            QCOMPARE(peer.writeDatagram(artDmx(u, QByteArray(512, char(u + 1))),
                                        QHostAddress::LocalHost, 6454),
                     qint64(530));
        QTRY_VERIFY_WITH_TIMEOUT(heardAll(receiver, list), 5000);
    }

    // More groups than Linux lets one socket join (20): every one is heard.
    void acnMulticastJoin()
    {
        if (!onlyLoopbackExists())
            QFAIL("network tests run only inside the private namespace of scripts/netns.sh");
        acnnet node(loopbackEnvironment());
        const int universes = 64;
        QList<int> list;
        for (int i = 0; i < universes; ++i)
            list << 0x0100 + 3 * i; // 0-based; wire universes from 0x0101
        QByteArray in(universes * 512, 0);
        QVERIFY(node.setReceiveUniverseBuffer(w8(in), in.size(), list));
        QVERIFY(node.membershipsOk());
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        peer.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        for (int i = 0; i < universes; ++i) {
            const int wire = list[i] + 1;
            QCOMPARE(peer.writeDatagram(e131(wire, QByteArray(512, char(i + 1))),
                                        MulticastGroups::group(wire), 5568),
                     qint64(638));
        }
        QTRY_VERIFY_WITH_TIMEOUT(heardAll(node, list), 5000);
    }
};

QTEST_GUILESS_MAIN(TestNetLoopback)
#include "tst_netloopback.moc"
