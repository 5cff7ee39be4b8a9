// What only real UDP sockets over the loopback network show: a burst larger
// than one batched read, more multicast groups than one socket may join. The
// nodes get a loopback-only interface list, so everything they send stays on
// 127/8. Sending and receiving through the console: tst_consoleio.
#include "net/acnnet.h"
#include "net/acnpacket.h"
#include "net/artnet.h"
#include "net/artnetpacket.h"

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
        receiver.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
        QVERIFY(receiver.setReceiveUniverse(0));
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        QByteArray packet(530, 0);
        for (int u : list) {
            const QByteArray data(512, char(u + 1));
            artnetpacket::encodeDmx(reinterpret_cast<quint8 *>(packet.data()), packet.size(), u,
                                    reinterpret_cast<const quint8 *>(data.constData()), 512);
            QCOMPARE(peer.writeDatagram(packet, QHostAddress::LocalHost, 6454), qint64(530));
        }
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
        QVERIFY(
            node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), list));
        QVERIFY(node.membershipsOk());
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        peer.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        QByteArray packet(638, 0);
        const quint8 name[64] = {'x'};
        for (int i = 0; i < universes; ++i) {
            const QByteArray data(512, char(i + 1));
            const int wire = list[i] + 1;
            acnpacket::encodeData(reinterpret_cast<quint8 *>(packet.data()), packet.size(), name, 9,
                                  wire, reinterpret_cast<const quint8 *>(data.constData()), 512);
            QCOMPARE(peer.writeDatagram(packet, MulticastGroups::group(wire), 5568), qint64(638));
        }
        QTRY_VERIFY_WITH_TIMEOUT(heardAll(node, list), 5000);
    }
};

QTEST_GUILESS_MAIN(TestNetLoopback)
#include "tst_netloopback.moc"
