// The Art-Net node over a fake socket, fixed interface lists and a clock
// moved by hand.
#include "artnet.h"
#include "fakenet.h"

#include <QRegularExpression>
#include <QTest>

namespace
{

const QHostAddress BROADCAST_LAN("192.168.1.255");

QByteArray artDmx(int universe, const QByteArray &data, int lengthField = -1)
{
    if (lengthField < 0)
        lengthField = data.size();
    QByteArray p("Art-Net", 8);
    p += QByteArray::fromHex("0050000e0000");
    p += char(universe & 0xFF);
    p += char(universe >> 8);
    p += char(lengthField >> 8);
    p += char(lengthField & 0xFF);
    return p + data;
}

QByteArray sync(bool madrix, quint16 opcode, quint8 hold)
{
    QByteArray p(madrix ? "MadrixN" : "Art-Net", 8);
    p += char(opcode & 0xFF);
    p += char(opcode >> 8);
    p += QByteArray::fromHex("000e");
    p += char(hold);
    p += char(0);
    return p;
}

QByteArray artPoll()
{
    return QByteArray("Art-Net", 8) + QByteArray::fromHex("0020000e0600");
}

QByteArray filled(int n, char v)
{
    return QByteArray(n, v);
}

const quint8 *u8(const QByteArray &a)
{
    return reinterpret_cast<const quint8 *>(a.constData());
}

} // namespace

Q_DECLARE_METATYPE(DropReason)

class TestArtnet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void sendDmxHeaderAndDestination();
    void sendDmxRefused_data();
    void sendDmxRefused();
    void sendToDestination();
    void sendFailureReported_data();
    void sendFailureReported();
    void keepAliveRepeatsEveryUniverse();
    void keepAliveFollowsLatestSend();
    void bindFailureLeavesNodeInertThenRetries();
    void bindModes();
    void pollAnsweredFromMatchingInterface();
    void pollIgnored();
    void sixUniversesGiveTwoReplies();
    void pollReplyAddressesAboveFifteen();
    void pollReplyWithoutReceiveArray();
    void receiveRange();
    void receiveUniverseList();
    void receiveUniverseListRefused_data();
    void receiveUniverseListRefused();
    void pollReplyForUniverseList();
    void syncHoldWithUniverseList();
    void receiveHostileLengths();
    void receiveChannelsPerUniverse();
    void receiveUnregister();
    void dropsCountedByReason_data();
    void dropsCountedByReason();
    void movedArrayKeepsRemainingUniverses();
    void movedArrayKeepsHeldFrames();
    void syncHold();
    void syncHoldFallsBackAfterTimeout();
    void syncKeepsEarlierData();
    void madrixSync();
    void timeCode();
    void universesAbove255();
    void observerSeesEveryUniverse();

private:
    QScopedPointer<FakeNet> net;
};

void TestArtnet::init()
{
    net.reset(new FakeNet);
    net->useLan();
}

void TestArtnet::sendDmxHeaderAndDestination()
{
    artnet node(false, net->env());
    QVERIFY(!net->socket); // no socket before the first need
    const QByteArray data = filled(512, 0x42);
    QCOMPARE(node.sendDmx(u8(data), 512, 0x0123), qint64(530));
    QVERIFY(net->socket);
    QCOMPARE(net->socket->boundPort, quint16(6454));
    QCOMPARE(net->socket->sent.size(), 1);
    const FakeSocket::Sent &s = net->socket->sent.first();
    QCOMPARE(s.destination, BROADCAST_LAN); // broadcast of the first interface
    QCOMPARE(s.port, quint16(6454));
    QCOMPARE(s.data, artDmx(0x0123, data));
    QCOMPARE(quint8(s.data[14]), quint8(0x23)); // SubUni
    QCOMPARE(quint8(s.data[15]), quint8(0x01)); // Net
    QCOMPARE(quint8(s.data[16]), quint8(0x02)); // Length 512, big-endian
    QCOMPARE(quint8(s.data[17]), quint8(0x00));
}

void TestArtnet::sendDmxRefused_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("universe");
    QTest::addColumn<qint64>("result");
    QTest::newRow("length 1") << 1 << 0 << qint64(-1);
    QTest::newRow("length 513") << 513 << 0 << qint64(-1);
    QTest::newRow("universe 65536") << 512 << 65536 << qint64(0);
    QTest::newRow("negative universe") << 512 << -1 << qint64(0);
}

void TestArtnet::sendDmxRefused()
{
    QFETCH(int, length);
    QFETCH(int, universe);
    QFETCH(qint64, result);
    artnet node(false, net->env());
    const QByteArray data = filled(600, 1);
    QCOMPARE(node.sendDmx(u8(data), length, universe), result);
    QCOMPARE(node.sendDmx(nullptr, 512, 0), qint64(-1));
    if (net->socket)
        QVERIFY(net->socket->sent.isEmpty());
    net->now += 5000;
    QCOMPARE(node.sendDataTimeout(), qint64(-1)); // nothing to repeat
}

void TestArtnet::sendToDestination()
{
    artnet node(false, net->env());
    const QHostAddress target("10.0.0.50");
    const QByteArray data = filled(24, 9);
    QCOMPARE(node.sendDmx(u8(data), 24, 7, &target), qint64(42));
    QCOMPARE(net->socket->sent.last().destination, target);
    net->now += 500;
    QCOMPARE(node.sendDataTimeout(), qint64(42));
    QCOMPARE(net->socket->sent.last().destination, target);
    QCOMPARE(net->socket->sent.last().data, artDmx(7, data));
}

void TestArtnet::sendFailureReported_data()
{
    QTest::addColumn<bool>("bindFails");
    QTest::addColumn<QString>("error");
    QTest::newRow("send refused") << false << "sending to 192.168.1.255 failed";
    QTest::newRow("port not bound") << true << "cannot open UDP port 6454";
}

void TestArtnet::sendFailureReported()
{
    QFETCH(bool, bindFails);
    QFETCH(QString, error);
    net->bindSucceeds = !bindFails;
    artnet node(false, net->env());
    if (!bindFails) {
        QVERIFY(node.setPollReplyEnabled(true)); // opens the socket
        net->socket->failSends = true;
    }
    const QByteArray data = filled(512, 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Art-Net DMX not sent: " +
                                                          QRegularExpression::escape(error)));
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    QCOMPARE(node.lastSendError(), error);
    // The same failure again is not warned about twice.
    QTest::failOnWarning(QRegularExpression("not sent"));
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    QCOMPARE(node.lastSendError(), error);

    net->bindSucceeds = true;
    if (net->socket)
        net->socket->failSends = false;
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(530));
    QVERIFY(node.lastSendError().isEmpty());
}

void TestArtnet::keepAliveRepeatsEveryUniverse()
{
    artnet node(false, net->env());
    const QByteArray one = filled(512, 1), two = filled(512, 2);
    node.sendDmx(u8(one), 512, 1); // t = 0
    net->now += 100;
    node.sendDmx(u8(two), 512, 2); // t = 100
    auto &sent = net->socket->sent;
    QCOMPARE(sent.size(), 2);

    net->now += 399; // t = 499: nothing due
    QCOMPARE(node.sendDataTimeout(), qint64(0));
    QCOMPARE(sent.size(), 2);
    net->now += 1; // t = 500: universe 1 only
    QCOMPARE(node.sendDataTimeout(), qint64(530));
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.last().data, artDmx(1, one));
    QCOMPARE(sent.last().destination, BROADCAST_LAN);
    net->now += 100; // t = 600: universe 2
    QCOMPARE(node.sendDataTimeout(), qint64(530));
    QCOMPARE(sent.last().data, artDmx(2, two));
    // Both keep their own 500 ms period from then on.
    for (int round = 0; round < 3; ++round) {
        net->now += 400;
        node.sendDataTimeout();
        QCOMPARE(sent.last().data, artDmx(1, one));
        net->now += 100;
        node.sendDataTimeout();
        QCOMPARE(sent.last().data, artDmx(2, two));
    }
    QCOMPARE(sent.size(), 4 + 6);
}

void TestArtnet::keepAliveFollowsLatestSend()
{
    artnet node(false, net->env());
    const QByteArray a = filled(512, 1), b = filled(512, 7);
    node.sendDmx(u8(a), 512, 3);
    net->now += 400;
    node.sendDmx(u8(b), 512, 3); // replaces the stored packet, restarts the period
    net->now += 100;
    QCOMPARE(node.sendDataTimeout(), qint64(0));
    net->now += 400;
    QCOMPARE(node.sendDataTimeout(), qint64(530));
    QCOMPARE(net->socket->sent.size(), 3);
    QCOMPARE(net->socket->sent.last().data, artDmx(3, b));
}

void TestArtnet::bindFailureLeavesNodeInertThenRetries()
{
    net->bindSucceeds = false;
    artnet node(false, net->env());
    const QByteArray data = filled(512, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    QVERIFY(!node.setPollReplyEnabled(true));
    QVERIFY(!node.isPollReplyEnabled());
    QVERIFY(node.setPollReplyEnabled(false));
    QCOMPARE(node.sendDataTimeout(), qint64(-1));
    net->bindSucceeds = true;
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(530));
    QCOMPARE(net->socketsCreated, 3);
}

void TestArtnet::bindModes()
{
    {
        artnet node(false, net->env());
        node.setPollReplyEnabled(true);
        QCOMPARE(net->socket->bindCalls, QList<bool>{true}); // shared by default
    }
    {
        net->bindSucceeds = false;
        artnet node(false, net->env());
        node.setShareAddress(false);
        node.setPollReplyEnabled(true);
        // Plain first, then shared.
        QCOMPARE(net->bindLog, (QList<bool>{true, false, true}));
    }
}

void TestArtnet::pollAnsweredFromMatchingInterface()
{
    artnet node(false, net->env());
    node.setFirmwareVersion(0, 8);
    node.setOemCode(0x0C, 0x14);
    node.setNodeNames("Pultora", "Pultora V0.8 by www.pultora.org");
    node.setNodeReport("Pultora ");
    QVERIFY(node.setPollReplyEnabled(true));
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(net->socket->sent.size(), 1);
    const FakeSocket::Sent &s = net->socket->sent.first();
    QCOMPARE(s.destination, QHostAddress("10.0.0.7"));
    QCOMPARE(s.port, quint16(6454));
    const QByteArray r = s.data;
    QCOMPARE(r.size(), 240);
    QCOMPARE(r.mid(8, 2), QByteArray::fromHex("0021"));
    QCOMPARE(r.mid(10, 4), QByteArray::fromHex("0a000003"));      // 10.0.0.3, not 192.168.1.10
    QCOMPARE(r.mid(201, 6), QByteArray::fromHex("020000000003")); // that interface's MAC
    QCOMPARE(r.mid(16, 2), QByteArray::fromHex("0008"));
    QCOMPARE(r.mid(20, 2), QByteArray::fromHex("0c14"));
    QCOMPARE(r.mid(26, 8), QByteArray("Pultora", 8));
    QCOMPARE(r.mid(44, 32), QByteArray("Pultora V0.8 by www.pultora.org", 32));
    QCOMPARE(r.mid(108, 9), QByteArray("Pultora ", 9));
    QCOMPARE(quint8(r[173]), quint8(0));       // no DMX-IN: no ports
    QCOMPARE(r.mid(207, 5), QByteArray(5, 0)); // no BindIp/BindIndex for one reply

    net->socket->inject(artPoll(), QHostAddress("192.168.1.77"));
    QCOMPARE(net->socket->sent.last().data.mid(10, 4), QByteArray::fromHex("c0a8010a"));
    QCOMPARE(net->socket->sent.last().data.mid(201, 6), QByteArray::fromHex("001122aabbcc"));
}

void TestArtnet::pollIgnored()
{
    artnet node(false, net->env());
    QVERIFY(node.setPollReplyEnabled(true));
    net->socket->inject(artPoll(), QHostAddress("172.16.0.1"));        // no matching network
    net->socket->inject(artPoll().left(12), QHostAddress("10.0.0.7")); // too short
    QByteArray foreign = artPoll();
    foreign[0] = 'a';
    net->socket->inject(foreign, QHostAddress("10.0.0.7"));
    QVERIFY(net->socket->sent.isEmpty());
    node.setPollReplyEnabled(false);
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QVERIFY(net->socket->sent.isEmpty());
}

void TestArtnet::sixUniversesGiveTwoReplies()
{
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    QByteArray in(6 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(0));
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    const auto &sent = net->socket->sent;
    QCOMPARE(sent.size(), 2);
    QCOMPARE(quint8(sent[0].data[173]), quint8(4));                      // NumPortsLo
    QCOMPARE(sent[0].data.mid(190, 4), QByteArray::fromHex("00010203")); // SwOut
    QCOMPARE(sent[0].data.mid(207, 4), QByteArray::fromHex("0a000003")); // BindIp
    QCOMPARE(quint8(sent[0].data[211]), quint8(1));                      // BindIndex
    QCOMPARE(quint8(sent[1].data[173]), quint8(2));
    QCOMPARE(sent[1].data.mid(190, 4), QByteArray::fromHex("04050000"));
    QCOMPARE(quint8(sent[1].data[211]), quint8(2));
    QCOMPARE(sent[1].data.mid(18, 2), QByteArray::fromHex("0000")); // Net, Sub-Net 0
}

void TestArtnet::pollReplyAddressesAboveFifteen()
{
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    QByteArray in(3 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(0x0123));
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    const QByteArray r = net->socket->sent.first().data;
    // Port-Address 0x0123..0x0125: Net 1, Sub-Net 2, SwOut carries Sub-Net and universe.
    QCOMPARE(r.mid(18, 2), QByteArray::fromHex("0102"));
    QCOMPARE(quint8(r[173]), quint8(3));
    QCOMPARE(r.mid(190, 4), QByteArray::fromHex("23242500"));

    // A range across a Sub-Net boundary is split there.
    QVERIFY(node.setReceiveUniverse(15));
    net->socket->sent.clear();
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(net->socket->sent.size(), 2);
    QCOMPARE(net->socket->sent[0].data.mid(18, 2), QByteArray::fromHex("0000"));
    QCOMPARE(net->socket->sent[0].data.mid(190, 4), QByteArray::fromHex("0f000000"));
    QCOMPARE(net->socket->sent[1].data.mid(18, 2), QByteArray::fromHex("0001"));
    QCOMPARE(net->socket->sent[1].data.mid(190, 4), QByteArray::fromHex("10110000"));
}

void TestArtnet::pollReplyWithoutReceiveArray()
{
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveBuffer(nullptr, 0, 512);
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    // Receive-ready without an array still describes one port.
    QCOMPARE(quint8(net->socket->sent.first().data[173]), quint8(1));
}

void TestArtnet::receiveRange()
{
    artnet node(false, net->env());
    QByteArray in(3 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(3));
    QVERIFY(!node.setReceiveUniverse(65536));
    QCOMPARE(node.receiveUniverse(), 3);
    quint8 v = 77;
    QVERIFY(!node.getReceivedValue(4, 0, v)); // nothing arrived yet
    QCOMPARE(v, quint8(0));

    QByteArray data(512, 0);
    for (int i = 0; i < 512; ++i)
        data[i] = char(i & 0xFF);
    net->socket->inject(artDmx(4, data), QHostAddress("10.0.0.7"));
    QCOMPARE(in.mid(512, 512), data);
    QCOMPARE(in.left(512), QByteArray(512, 0));
    QCOMPARE(in.mid(1024), QByteArray(512, 0));
    QVERIFY(node.getReceivedValue(4, 5, v));
    QCOMPARE(v, quint8(5));
    QVERIFY(node.getReceivedValue(4, 511, v));
    QCOMPARE(v, quint8(255));
    QVERIFY(!node.getReceivedValue(3, 5, v)); // universe 3 not received yet
    v = 99;
    QVERIFY(!node.getReceivedValue(4, 512, v)); // channel out of range
    QVERIFY(!node.getReceivedValue(2, 0, v));   // below the base
    QVERIFY(!node.getReceivedValue(6, 0, v));   // past the array
    QCOMPARE(v, quint8(99));

    // Universes 2 and 6 are outside the range and change nothing.
    const QByteArray before = in;
    net->socket->inject(artDmx(2, filled(512, 1)), QHostAddress("10.0.0.7"));
    net->socket->inject(artDmx(6, filled(512, 1)), QHostAddress("10.0.0.7"));
    QCOMPARE(in, before);
}

void TestArtnet::receiveUniverseList()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({0, 60000}));
    QCOMPARE(node.receiveUniverses(), QList<int>({0, 60000}));

    const QHostAddress sender("10.0.0.7");
    net->socket->inject(artDmx(60000, filled(512, 7)), sender);
    QCOMPARE(in.left(512), QByteArray(512, 0));
    QCOMPARE(in.mid(512), filled(512, 7));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(60000, 511, v));
    QCOMPARE(v, quint8(7));
    QVERIFY(!node.getReceivedValue(0, 0, v)); // listed, nothing arrived yet

    // Universes between and beyond the listed ones are not held.
    const QByteArray before = in;
    for (int u : {1, 59999, 60001, 65535})
        net->socket->inject(artDmx(u, filled(512, 1)), sender);
    QCOMPARE(in, before);
    v = 99;
    for (int u : {1, 59999, 60001, -1})
        QVERIFY(!node.getReceivedValue(u, 0, v));
    QCOMPARE(v, quint8(99));

    net->socket->inject(artDmx(0, filled(3, 9)), sender);
    QVERIFY(node.getReceivedValue(0, 2, v));
    QCOMPARE(v, quint8(9));
    QCOMPARE(in.mid(3, 509), QByteArray(509, 0));

    // A listed universe without room in the array is not held either.
    QVERIFY(node.setReceiveUniverses({0, 10, 60000}));
    net->socket->inject(artDmx(60000, filled(512, 3)), sender);
    QVERIFY(!node.getReceivedValue(60000, 0, v));
    QCOMPARE(in.mid(512), filled(512, 7));

    // An empty list returns to the range from the base.
    QVERIFY(node.setReceiveUniverses({}));
    QVERIFY(node.setReceiveUniverse(59999));
    net->socket->inject(artDmx(60000, filled(512, 5)), sender);
    QCOMPARE(in.mid(512), filled(512, 5));
}

void TestArtnet::receiveUniverseListRefused_data()
{
    QTest::addColumn<QList<int>>("universes");
    QTest::newRow("unsorted") << QList<int>{5, 3};
    QTest::newRow("duplicate") << QList<int>{3, 3};
    QTest::newRow("negative") << QList<int>{-1, 3};
    QTest::newRow("above 65535") << QList<int>{3, 65536};
}

void TestArtnet::receiveUniverseListRefused()
{
    QFETCH(QList<int>, universes);
    artnet node(false, net->env());
    QVERIFY(node.setReceiveUniverses({2, 4}));
    QVERIFY(!node.setReceiveUniverses(universes));
    QCOMPARE(node.receiveUniverses(), QList<int>({2, 4}));
}

void TestArtnet::pollReplyForUniverseList()
{
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({0, 60000}));
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    auto &sent = net->socket->sent;
    QCOMPARE(sent.size(), 2);
    QCOMPARE(quint8(sent[0].data[173]), quint8(1));
    QCOMPARE(sent[0].data.mid(18, 2), QByteArray::fromHex("0000"));
    QCOMPARE(sent[0].data.mid(190, 4), QByteArray::fromHex("00000000"));
    QCOMPARE(quint8(sent[0].data[211]), quint8(1));
    // 60000 = 0xEA60: Net 0x6A, Sub-Net 6, universe 0.
    QCOMPARE(quint8(sent[1].data[173]), quint8(1));
    QCOMPARE(sent[1].data.mid(18, 2), QByteArray::fromHex("6a06"));
    QCOMPARE(sent[1].data.mid(190, 4), QByteArray::fromHex("60000000"));
    QCOMPARE(sent[1].data.mid(207, 4), QByteArray::fromHex("0a000003"));
    QCOMPARE(quint8(sent[1].data[211]), quint8(2));

    // Runs of consecutive universes share pages, never across a block of 16.
    QByteArray more(8 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(more.data()), more.size(), 512);
    QVERIFY(node.setReceiveUniverses({1, 2, 3, 4, 5, 20, 31, 32}));
    sent.clear();
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(sent.size(), 5);
    const QList<QByteArray> swOut{"01020304", "05000000", "14000000", "1f000000", "20000000"};
    const QList<QByteArray> subNet{"0000", "0000", "0001", "0001", "0002"};
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(sent[k].data.mid(190, 4), QByteArray::fromHex(swOut[k]));
        QCOMPARE(sent[k].data.mid(18, 2), QByteArray::fromHex(subNet[k]));
        QCOMPARE(quint8(sent[k].data[211]), quint8(k + 1));
    }

    // Never more than 255 pages.
    QList<int> spread;
    for (int u = 0; u < 300; ++u)
        spread.append(u * 2);
    QByteArray wide(spread.size() * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(wide.data()), wide.size(), 512);
    QVERIFY(node.setReceiveUniverses(spread));
    sent.clear();
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(sent.size(), 255);
    QCOMPARE(quint8(sent.last().data[211]), quint8(255));
}

void TestArtnet::syncHoldWithUniverseList()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({7, 300}));
    const QHostAddress sender("10.0.0.7");
    net->socket->inject(sync(false, 0x5202, 1), sender);
    net->socket->inject(artDmx(300, filled(512, 4)), sender);
    QCOMPARE(in.mid(512), QByteArray(512, 0)); // held
    net->now += 20;
    net->socket->inject(sync(false, 0x5202, 1), sender);
    QCOMPARE(in.mid(512), filled(512, 4));
}

void TestArtnet::receiveHostileLengths()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    // Length claims 512, 100 slots arrived: only those are copied.
    net->socket->inject(artDmx(0, filled(100, 5), 512), from);
    QCOMPARE(in.left(100), filled(100, 5));
    QCOMPARE(in.mid(100), QByteArray(924, 0));
    // Length 0xFFFF with a full frame: at most 512 slots, the next universe untouched.
    net->socket->inject(artDmx(0, filled(600, 6), 0xFFFF), from);
    QCOMPARE(in.left(512), filled(512, 6));
    QCOMPARE(in.mid(512), QByteArray(512, 0));
    // Shorter Length than data: only Length slots.
    net->socket->inject(artDmx(1, filled(512, 7), 3), from);
    QCOMPARE(in.mid(512, 3), filled(3, 7));
    QCOMPARE(in.mid(515), QByteArray(509, 0));
    // Truncated headers and 12-byte "Art-Net" datagrams change nothing.
    const QByteArray before = in;
    net->socket->inject(artDmx(1, filled(4, 8)).left(17), from);
    net->socket->inject(artDmx(1, filled(4, 8)).left(12), from);
    net->socket->inject(QByteArray("Art-Net", 8) + QByteArray::fromHex("0050000e"), from);
    net->socket->inject(QByteArray(), from);
    QCOMPARE(in, before);
}

void TestArtnet::receiveChannelsPerUniverse()
{
    artnet node(false, net->env());
    QByteArray in(600, 0);
    // 100 channels per universe: six universes, the last one 100 bytes.
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 100);
    node.setReceiveUniverse(10);
    net->socket->inject(artDmx(11, filled(512, 3)), QHostAddress("10.0.0.7"));
    QCOMPARE(in.mid(100, 100), filled(100, 3));
    QCOMPARE(in.mid(200), QByteArray(400, 0));
    quint8 v = 0;
    QVERIFY(!node.getReceivedValue(11, 100, v));
    QVERIFY(node.getReceivedValue(11, 99, v));
    QCOMPARE(v, quint8(3));
    net->socket->inject(artDmx(16, filled(512, 4)), QHostAddress("10.0.0.7")); // past the end
    QCOMPARE(in.mid(200), QByteArray(400, 0));

    // More than 512 channels per universe are clamped to 512.
    QByteArray big(1024, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(big.data()), big.size(), 4096);
    net->socket->inject(artDmx(11, filled(512, 9)), QHostAddress("10.0.0.7"));
    QCOMPARE(big.mid(512), filled(512, 9));
}

void TestArtnet::receiveUnregister()
{
    artnet node(false, net->env());
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    net->socket->inject(artDmx(0, filled(512, 1)), QHostAddress("10.0.0.7"));
    node.setReceiveBuffer(nullptr, 0, 512);
    quint8 v = 0;
    QVERIFY(!node.getReceivedValue(0, 0, v));
    net->socket->inject(artDmx(0, filled(512, 2)), QHostAddress("10.0.0.7"));
    QCOMPARE(in, filled(512, 1)); // the freed registration is not written
}

void TestArtnet::dropsCountedByReason_data()
{
    QTest::addColumn<int>("cut");    // bytes kept, -1: all
    QTest::addColumn<int>("offset"); // byte changed, -1: none
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<DropReason>("reason");
    using R = DropReason;
    QTest::newRow("shorter than any header") << 12 << -1 << 0 << true << R::TooShort;
    QTest::newRow("ArtDmx header cut") << 17 << -1 << 0 << true << R::TooShort;
    QTest::newRow("identifier") << -1 << 0 << int('a') << true << R::BadIdentifier;
    QTest::newRow("opcode 0x6000") << -1 << 9 << 0x60 << true << R::UnknownOpcode;
    QTest::newRow("MadrixN ArtDmx") << -1 << 0 << int('M') << true << R::UnknownOpcode;
    QTest::newRow("universe not listened to") << -1 << 14 << 4 << true << R::UniverseNotListened;
    QTest::newRow("no DMX-IN array") << -1 << -1 << 0 << false << R::NotListening;
}

void TestArtnet::dropsCountedByReason()
{
    QFETCH(int, cut);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(bool, registered);
    QFETCH(DropReason, reason);
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setPollReplyEnabled(true); // the socket, even without an array
    if (registered)
        QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(),
                                              {3, 300}));
    QByteArray p = artDmx(3, filled(512, 9));
    if (offset == 0 && value == 'M')
        p.replace(0, 8, QByteArray("MadrixN", 8));
    else if (offset >= 0)
        p[offset] = char(value);
    if (cut >= 0)
        p.truncate(cut);
    const QHostAddress sender("10.0.0.7");
    net->socket->inject(p, sender);
    QCOMPARE(node.droppedDatagrams().count(reason), quint64(1));
    QCOMPARE(node.droppedDatagrams().total(), quint64(1));
    QCOMPARE(in, QByteArray(2 * 512, 0));
    if (!registered)
        return;
    // Whatever is used counts nothing.
    net->socket->inject(artDmx(3, filled(512, 9)), sender);
    net->socket->inject(sync(false, 0x5202, 0), sender);
    net->socket->inject(artPoll(), sender);
    QCOMPARE(node.droppedDatagrams().total(), quint64(1));
    QCOMPARE(in.left(512), filled(512, 9));
}

void TestArtnet::movedArrayKeepsRemainingUniverses()
{
    artnet node(false, net->env());
    QByteArray first(2 * 512, 0);
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(first.data()), first.size(),
                                          {3, 7}));
    const QHostAddress sender("10.0.0.7");
    net->socket->inject(artDmx(7, filled(512, 9)), sender);

    // Universe 5 comes, 3 and 7 stay; the caller carries the bytes of 3 and 7.
    QByteArray second(3 * 512, 0);
    second.replace(1024, 512, first.mid(512));
    QVERIFY(!node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                           {7, 5}));
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                          {3, 5, 7}));
    QCOMPARE(node.receiveUniverses(), QList<int>({3, 5, 7}));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(7, 511, v));
    QCOMPARE(v, quint8(9));
    QVERIFY(!node.getReceivedValue(3, 0, v)); // listed before, nothing arrived
    QVERIFY(!node.getReceivedValue(5, 0, v));
    net->socket->inject(artDmx(5, filled(512, 4)), sender);
    QVERIFY(node.getReceivedValue(5, 0, v));
    QCOMPARE(v, quint8(4));
    QCOMPARE(first.left(512), QByteArray(512, 0)); // the old array is not written

    // A universe that goes takes its flag along.
    QByteArray third(512, 0);
    QVERIFY(
        node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(third.data()), third.size(), {3}));
    QVERIFY(!node.getReceivedValue(7, 0, v));
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                          {3, 5, 7}));
    QVERIFY(!node.getReceivedValue(7, 0, v));
    QVERIFY(!node.getReceivedValue(5, 0, v));

    // Unregistering forgets everything.
    QVERIFY(node.setReceiveUniverseBuffer(nullptr, 0, {}));
    QVERIFY(!node.getReceivedValue(3, 0, v));
}

void TestArtnet::movedArrayKeepsHeldFrames()
{
    artnet node(false, net->env());
    QByteArray first(512, 0);
    QVERIFY(
        node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(first.data()), first.size(), {7}));
    const QHostAddress sender("10.0.0.7");
    net->socket->inject(artDmx(7, filled(512, 2)), sender);
    net->socket->inject(sync(false, 0x5202, 1), sender);
    net->socket->inject(artDmx(7, filled(512, 6)), sender); // held
    QByteArray second(2 * 512, 0);
    second.replace(512, 512, first);
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                          {1, 7}));
    QCOMPARE(second.mid(512), filled(512, 2));
    net->now += 20;
    net->socket->inject(sync(false, 0x5202, 1), sender);
    // The held frame shows, and the carried-over bytes were not zeroed.
    QCOMPARE(second, QByteArray(512, 0) + filled(512, 6));
}

void TestArtnet::syncHold()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    net->socket->inject(sync(false, 0x5202, 1), from);
    net->socket->inject(artDmx(0, filled(512, 10)), from);
    net->socket->inject(artDmx(1, filled(512, 11)), from);
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(0, 0, v)); // received ...
    QCOMPARE(v, quint8(0));                  // ... but held
    QCOMPARE(in, QByteArray(1024, 0));
    net->now += 20;
    net->socket->inject(sync(false, 0x5202, 1), from); // releases the frame
    QCOMPARE(in, filled(512, 10) + filled(512, 11));
    net->socket->inject(artDmx(0, filled(512, 12)), from);
    QCOMPARE(in.left(512), filled(512, 10));
    net->socket->inject(sync(false, 0x5101, 0), from); // hold off: release and write through
    QCOMPARE(in.left(512), filled(512, 12));
    net->socket->inject(artDmx(1, filled(512, 13)), from);
    QCOMPARE(in.mid(512), filled(512, 13));
}

void TestArtnet::syncHoldFallsBackAfterTimeout()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    net->socket->inject(sync(false, 0x5202, 1), from);
    net->socket->inject(artDmx(0, filled(512, 1)), from);
    net->now += 3000;
    net->socket->inject(artDmx(1, filled(512, 2)), from); // 3000 ms: still held
    QCOMPARE(in, QByteArray(1024, 0));
    net->now += 1;
    net->socket->inject(artDmx(1, filled(512, 3)), from); // syncs stopped: everything shows
    QCOMPARE(in, filled(512, 1) + filled(512, 3));
    net->socket->inject(artDmx(0, filled(512, 4)), from);
    QCOMPARE(in.left(512), filled(512, 4));
}

void TestArtnet::syncKeepsEarlierData()
{
    // Frames written straight through before the first sync must survive it.
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    net->socket->inject(artDmx(0, filled(512, 5)), from);
    net->socket->inject(artDmx(1, filled(512, 6)), from);
    net->socket->inject(sync(false, 0x5202, 1), from);
    QCOMPARE(in, filled(512, 5) + filled(512, 6));
    net->socket->inject(artDmx(1, filled(512, 7)), from);
    net->socket->inject(sync(false, 0x5202, 1), from);
    QCOMPARE(in, filled(512, 5) + filled(512, 7));
}

void TestArtnet::madrixSync()
{
    artnet node(false, net->env());
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    net->socket->inject(sync(true, 0x5101, 1), from);
    net->socket->inject(artDmx(0, filled(512, 1)), from);
    QCOMPARE(in, QByteArray(512, 0));
    net->socket->inject(sync(true, 0x5202, 0), from);
    QCOMPARE(in, filled(512, 1));
    // Other MadrixN opcodes (an ArtDmx under that ID) are ignored.
    QByteArray foreign = artDmx(0, filled(512, 2));
    foreign.replace(0, 8, QByteArray("MadrixN", 8));
    net->socket->inject(foreign, from);
    QCOMPARE(in, filled(512, 1));
}

void TestArtnet::timeCode()
{
    artnet node(false, net->env());
    QCOMPARE(node.slotSendTimeCode(1, 2, 3, 4, 1), qint64(40)); // one per interface
    QCOMPARE(net->socket->sent.size(), 2);
    QCOMPARE(net->socket->sent[0].destination, BROADCAST_LAN);
    QCOMPARE(net->socket->sent[1].destination, QHostAddress("10.255.255.255"));
    QCOMPARE(net->socket->sent[0].data,
             QByteArray("Art-Net", 8) + QByteArray::fromHex("0097000e0000040302010100"));
    QHostAddress target("10.0.0.9");
    QCOMPARE(node.slotSendTimeCode(1, 2, 3, 4, 1, &target), qint64(20));
    QCOMPARE(net->socket->sent.last().destination, target);
    net->now += 1000;
    QCOMPARE(node.sendDataTimeout(), qint64(-1)); // time code is not repeated
}

void TestArtnet::universesAbove255()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(65534));
    net->socket->inject(artDmx(65535, filled(512, 8)), QHostAddress("10.0.0.7"));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(65535, 511, v));
    QCOMPARE(v, quint8(8));
    const QByteArray data = filled(512, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 65535), qint64(530));
    QCOMPARE(net->socket->sent.last().data.mid(14, 2), QByteArray::fromHex("ffff"));
}

// The observer sees every ArtDmx that decodes, held by DMX-IN or not, held
// for a sync or not, and may switch itself off.
void TestArtnet::observerSeesEveryUniverse()
{
    artnet node(false, net->env());
    QList<QPair<int, QByteArray>> seen;
    QVERIFY(node.setDmxObserver([&](int universe, const quint8 *levels, int count) {
        seen.append({universe, QByteArray(reinterpret_cast<const char *>(levels), count)});
        if (universe == 7)
            node.setDmxObserver({});
    }));
    QCOMPARE(net->socket->boundPort, quint16(6454)); // observing opens the socket
    QByteArray in(512, 0);
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(in.data()), 512, {1}));
    const QHostAddress from("10.0.0.7");
    net->socket->inject(artDmx(0x0123, filled(3, 5)), from);      // not held
    net->socket->inject(artDmx(1, filled(600, 6), 0xFFFF), from); // at most 512
    net->socket->inject(artDmx(1, filled(4, 8)).left(17), from);  // truncated
    net->socket->inject(sync(false, 0x5202, 1), from);
    net->socket->inject(artDmx(1, filled(2, 9)), from); // held for the sync
    net->socket->inject(artDmx(7, filled(2, 1)), from);
    net->socket->inject(artDmx(7, filled(2, 2)), from);
    QCOMPARE(
        seen,
        (QList<QPair<int, QByteArray>>{
            {0x0123, filled(3, 5)}, {1, filled(512, 6)}, {1, filled(2, 9)}, {7, filled(2, 1)}}));
    QCOMPARE(in, filled(512, 6));
}

QTEST_GUILESS_MAIN(TestArtnet)
#include "tst_artnet.moc"
