// The Art-Net node over a fake socket, fixed interface lists and a clock
// moved by hand; with the limits of its poll replies and the passes in
// which both nodes read a flood.
#include "net/acnnet.h"
#include "net/artnet.h"
#include "net/artnetpacket.h"
#include "tests/net/fakenet.h"

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

// An ArtDmx as sent, with its Sequence byte cleared for comparison.
QByteArray unsequenced(QByteArray datagram)
{
    datagram[12] = 0;
    return datagram;
}

// An ArtPollReply of a node at `ip` with the given ports (type, SwOut).
QByteArray pollReply(const char *ip, quint8 net, quint8 sub,
                     const QList<QPair<quint8, quint8>> &ports)
{
    artnetpacket::PollReplyInfo info;
    info.ip = QHostAddress(QString::fromLatin1(ip)).toIPv4Address();
    info.netSwitch = net;
    info.subSwitch = sub;
    info.numPorts = int(ports.size());
    QByteArray r(240, 0);
    for (int i = 0; i < ports.size(); ++i)
        info.swOut[i] = ports[i].second;
    artnetpacket::encodePollReply(reinterpret_cast<quint8 *>(r.data()), 240, info);
    for (int i = 0; i < ports.size(); ++i)
        r[174 + i] = char(ports[i].first);
    return r;
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
    void sendFailureReported_data();
    void sendFailureReported();
    void sequencePerUniverse();
    void keepAliveRepeatsEveryUniverse();
    void batchLeavesTogether();
    void bindFailureAndModes();
    void pollAnsweredFromMatchingInterface();
    void pollReplyPages_data();
    void pollReplyPages();
    void pollReplyPageLimit();
    void pollReplyLimits_data();
    void pollReplyLimits();
    void floodReadInPasses_data();
    void floodReadInPasses();
    void unicastToSubscribers_data();
    void unicastToSubscribers();
    void pollAndExpiry();
    void otherSenderReportedOnce();
    void receiveRange();
    void receiveUniverseList();
    void receiveHostileLengths();
    void dropsCountedByReason_data();
    void dropsCountedByReason();
    void movedArrayKeepsRemainingUniverses();
    void syncHold();
    void timeCode();
    void portAddressLimits();
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
    // The first send polls the network for subscribers, then broadcasts.
    QCOMPARE(net->socket->sent.size(), 2);
    QCOMPARE(net->socket->sent[0].data, artPoll().left(12) + QByteArray(2, 0));
    const FakeSocket::Sent &s = net->socket->sent[1];
    QCOMPARE(s.destination, BROADCAST_LAN); // broadcast of the first interface
    QCOMPARE(s.port, quint16(6454));
    QCOMPARE(quint8(s.data[12]), quint8(1)); // Sequence
    QCOMPARE(unsequenced(s.data), artDmx(0x0123, data));

    // A given destination gets the universe and its repeats.
    const QHostAddress target("10.0.0.50");
    QCOMPARE(node.sendDmx(u8(data), 24, 7, &target), qint64(42));
    QCOMPARE(net->socket->sent.last().destination, target);
    net->now += 500;
    QCOMPARE(node.sendDataTimeout(), qint64(530 + 42));
    QCOMPARE(net->socket->sent.last().destination, target);
    QCOMPARE(unsequenced(net->socket->sent.last().data), artDmx(7, data.left(24)));
}

// Sequence counts 1..255 per universe, repeats included, and skips 0.
void TestArtnet::sendDmxRefused_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("universe");
    QTest::addColumn<qint64>("result");
    QTest::newRow("length 1") << 1 << 0 << qint64(-1);
    QTest::newRow("length 513") << 513 << 0 << qint64(-1);
    QTest::newRow("universe 32768: Port-Addresses have 15 bits") << 512 << 32768 << qint64(0);
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

void TestArtnet::sequencePerUniverse()
{
    artnet node(false, net->env());
    const QByteArray data = filled(512, 1);
    QList<int> first;
    for (int i = 0; i < 256; ++i) {
        node.sendDmx(u8(data), 512, 1);
        first.append(quint8(net->socket->sent.last().data[12]));
    }
    node.sendDmx(u8(data), 512, 2);
    QCOMPARE(quint8(net->socket->sent.last().data[12]), quint8(1));
    QCOMPARE(first.mid(0, 3), (QList<int>{1, 2, 3}));
    QCOMPARE(first.mid(253), (QList<int>{254, 255, 1}));
    net->now += 500;
    node.sendDataTimeout(); // both universes repeat with their next number
    QCOMPARE(quint8(net->socket->sent[net->socket->sent.size() - 2].data[12]), quint8(2));
    QCOMPARE(quint8(net->socket->sent.last().data[12]), quint8(2));
}

void TestArtnet::keepAliveRepeatsEveryUniverse()
{
    artnet node(false, net->env());
    const QByteArray one = filled(512, 1), two = filled(512, 2), three = filled(512, 3);
    node.sendDmx(u8(one), 512, 1); // t = 0
    net->now += 100;
    node.sendDmx(u8(two), 512, 2); // t = 100
    auto &sent = net->socket->sent;
    sent.clear();

    net->now += 399; // t = 499: nothing due
    QCOMPARE(node.sendDataTimeout(), qint64(0));
    net->now += 1; // t = 500: universe 1 only
    QCOMPARE(node.sendDataTimeout(), qint64(530));
    QCOMPARE(unsequenced(sent.last().data), artDmx(1, one));
    QCOMPARE(sent.last().destination, BROADCAST_LAN);
    net->now += 100; // t = 600: universe 2
    QCOMPARE(node.sendDataTimeout(), qint64(530));
    QCOMPARE(unsequenced(sent.last().data), artDmx(2, two));
    // A fresh send replaces the stored packet and restarts its period.
    net->now += 300; // t = 900
    node.sendDmx(u8(three), 512, 2);
    for (int round = 0; round < 3; ++round) {
        net->now += 100; // t = 1000 + 500k: universe 1
        node.sendDataTimeout();
        QCOMPARE(unsequenced(sent.last().data), artDmx(1, one));
        net->now += 300; // t = 1300 + 500k: nothing
        QCOMPARE(node.sendDataTimeout(), qint64(0));
        net->now += 100; // t = 1400 + 500k: universe 2, its new content
        node.sendDataTimeout();
        QCOMPARE(unsequenced(sent.last().data), artDmx(2, three));
    }
    QCOMPARE(sent.size(), 2 + 1 + 6);
}

// A frame of universes leaves at endBatch(), in order; what fails is counted.
void TestArtnet::batchLeavesTogether()
{
    artnet node(false, net->env());
    const QByteArray data = filled(512, 4);
    node.beginBatch();
    for (int u : {3, 1, 2})
        QCOMPARE(node.sendDmx(u8(data), 512, u), qint64(530));
    QVERIFY(!net->socket || net->socket->sent.isEmpty());
    QCOMPARE(node.endBatch(), 0);
    QStringList order;
    for (const FakeSocket::Sent &s : net->socket->sent)
        order << s.data.mid(9, 1).toHex() + ':' + s.data.mid(14, 1).toHex();
    QCOMPARE(order, (QStringList{"20:", "50:03", "50:01", "50:02"})); // poll, then the frame

    net->socket->failSends = true;
    node.beginBatch();
    node.sendDmx(u8(data), 512, 1);
    node.sendDmx(u8(data), 512, 2);
    QTest::ignoreMessage(QtWarningMsg, "Art-Net DMX not sent: 2 of 2 datagrams not sent");
    QCOMPARE(node.endBatch(), 2);
    QCOMPARE(node.lastSendError(), QString("2 of 2 datagrams not sent"));
}

void TestArtnet::bindFailureAndModes()
{
    {
        artnet node(false, net->env());
        node.setPollReplyEnabled(true);
        QCOMPARE(net->socket->bindCalls, QList<bool>{true}); // shared by default
    }
    net->bindSucceeds = false;
    net->bindLog.clear();
    net->socketsCreated = 0;
    artnet node(false, net->env());
    node.setShareAddress(false);
    const QByteArray data = filled(512, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    QCOMPARE(net->bindLog, (QList<bool>{false, true})); // plain first, then shared
    QVERIFY(!node.setPollReplyEnabled(true));
    QVERIFY(!node.isPollReplyEnabled());
    QVERIFY(node.setPollReplyEnabled(false));
    QCOMPARE(node.sendDataTimeout(), qint64(-1));
    net->bindSucceeds = true;
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(530)); // tried again
    QCOMPARE(net->socketsCreated, 3);
}

void TestArtnet::pollAnsweredFromMatchingInterface()
{
    net->interfaces[2].name = QStringLiteral("eth1");
    artnet node(false, net->env());
    node.setFirmwareVersion(0, 8);
    node.setOemCode(0x00, 0xFF);
    node.setNodeNames("Pultora", "Pultora V0.8 by www.pultora.org");
    node.setNodeReport("Pultora");
    QVERIFY(node.setPollReplyEnabled(true));
    // A poller has one reply a second; a poll in between counts as dropped.
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    net->now += PollReplyLimit::POLLER_INTERVAL_MS - 1;
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(net->socket->sent.size(), 1);
    QCOMPARE(node.droppedDatagrams().count(DropReason::PollLimited), quint64(1));
    net->now += 1;
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(net->socket->sent.size(), 2);
    const FakeSocket::Sent &s = net->socket->sent.first();
    QCOMPARE(s.destination, QHostAddress("10.0.0.7"));
    QCOMPARE(s.port, quint16(6454));
    const QByteArray r = s.data;
    QCOMPARE(r.size(), 240);
    QCOMPARE(r.mid(8, 2), QByteArray::fromHex("0021"));
    QCOMPARE(r.mid(10, 4), QByteArray::fromHex("0a000003"));      // 10.0.0.3, not 192.168.1.10
    QCOMPARE(r.mid(201, 6), QByteArray::fromHex("020000000003")); // that interface's MAC
    QCOMPARE(r.mid(16, 2), QByteArray::fromHex("0008"));
    QCOMPARE(r.mid(20, 2), QByteArray::fromHex("00ff"));
    QCOMPARE(r.mid(26, 8), QByteArray("Pultora", 8));
    QCOMPARE(r.mid(44, 32), QByteArray("Pultora V0.8 by www.pultora.org", 32));
    // Node report "#code [count] text", the count going up with every reply.
    QCOMPARE(r.mid(108, 21), QByteArray("#0001 [0000] Pultora", 21));
    QCOMPARE(net->socket->sent[1].data.mid(108, 13), QByteArray("#0001 [0001] "));
    QCOMPARE(r.mid(173, 5), QByteArray(5, 0)); // no DMX-IN: no ports, no port types
    QCOMPARE(r.mid(207, 5), QByteArray(5, 0)); // no BindIp/BindIndex for one reply

    net->socket->inject(artPoll(), QHostAddress("192.168.1.77"));
    QCOMPARE(net->socket->sent.last().data.mid(10, 4), QByteArray::fromHex("c0a8010a"));
    QCOMPARE(net->socket->sent.last().data.mid(201, 6), QByteArray::fromHex("001122aabbcc"));
    QCOMPARE(node.interfaceDescription(), QStringLiteral("192.168.1.10"));

    // Unanswered: no matching network, too short, foreign, replies switched off.
    net->socket->sent.clear();
    net->socket->inject(artPoll(), QHostAddress("172.16.0.1"));
    net->socket->inject(artPoll().left(12), QHostAddress("10.0.0.7"));
    net->socket->inject("art-Net" + artPoll().mid(7), QHostAddress("10.0.0.7"));
    node.setPollReplyEnabled(false);
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QVERIFY(net->socket->sent.isEmpty());
}

// Replies in pages of up to four output ports, never across a Sub-Net.
void TestArtnet::pollReplyPages_data()
{
    QTest::addColumn<QList<int>>("universes"); // list mode; one element n < 0: range of -n from 0
    QTest::addColumn<int>("base");             // range mode base
    QTest::addColumn<QStringList>("pages");    // "NumPorts NetSub SwOut PortTypes BindIndex"
    QTest::newRow("six from 0") << QList<int>{-6} << 0
                                << QStringList{"4 0000 00010203 80808080 1",
                                               "2 0000 04050000 80800000 2"};
    QTest::newRow("three from 0x123")
        << QList<int>{-3} << 0x0123 << QStringList{"3 0102 23242500 80808000 1"};
    QTest::newRow("across a Sub-Net")
        << QList<int>{-3} << 15
        << QStringList{"1 0000 0f000000 80000000 1", "2 0001 10110000 80800000 2"};
    QTest::newRow("receive-ready, no array")
        << QList<int>{} << 0 << QStringList{"1 0000 00000000 80000000 0"};
    QTest::newRow("list 0, 60000")
        << QList<int>{0, 60000} << 0
        << QStringList{"1 0000 00000000 80000000 1", "1 6a06 60000000 80000000 2"};
    QTest::newRow("list of runs") << QList<int>{1, 2, 3, 4, 5, 20, 31, 32} << 0
                                  << QStringList{
                                         "4 0000 01020304 80808080 1", "1 0000 05000000 80000000 2",
                                         "1 0001 14000000 80000000 3", "1 0001 1f000000 80000000 4",
                                         "1 0002 20000000 80000000 5"};
}

void TestArtnet::pollReplyPages()
{
    QFETCH(QList<int>, universes);
    QFETCH(int, base);
    QFETCH(QStringList, pages);
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    const bool range = universes.size() == 1 && universes[0] < 0;
    const int count = range ? -universes[0] : int(universes.size());
    QByteArray in(qMax(1, count) * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    if (range)
        QVERIFY(node.setReceiveUniverse(base));
    else if (count > 0)
        QVERIFY(node.setReceiveUniverses(universes));
    else
        node.setReceiveBuffer(nullptr, 0, 512);
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    const auto &sent = net->socket->sent;
    QCOMPARE(sent.size(), pages.size());
    for (int k = 0; k < pages.size(); ++k) {
        const QStringList f = pages[k].split(' ');
        const QByteArray &r = sent[k].data;
        QCOMPARE(int(quint8(r[173])), f[0].toInt());
        QCOMPARE(r.mid(18, 2).toHex(), f[1].toLatin1());
        QCOMPARE(r.mid(190, 4).toHex(), f[2].toLatin1());
        QCOMPARE(r.mid(174, 4).toHex(), f[3].toLatin1());
        QCOMPARE(r.mid(182, 4).toHex(), f[3].toLatin1()); // GoodOutput where a port is
        QCOMPARE(int(quint8(r[211])), f[4].toInt());
        QCOMPARE(r.mid(207, 4), f[4] == "0" ? QByteArray(4, 0) : QByteArray::fromHex("0a000003"));
    }
}

void TestArtnet::pollReplyPageLimit()
{
    artnet node(false, net->env());
    node.setPollReplyEnabled(true);
    QList<int> spread;
    for (int u = 0; u < 300; ++u)
        spread.append(u * 2);
    QByteArray wide(spread.size() * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(wide.data()), wide.size(), 512);
    QVERIFY(node.setReceiveUniverses(spread));
    net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
    QCOMPARE(net->socket->sent.size(), 255);
    QCOMPARE(quint8(net->socket->sent.last().data[211]), quint8(255));
}

// Scripts of polls against a clock moved by hand: "ms:first+count" polls
// from `count` pollers numbered from `first`, and how many were answered.
void TestArtnet::pollReplyLimits_data()
{
    QTest::addColumn<QString>("polls");
    QTest::addColumn<QString>("answered");
    QTest::addColumn<int>("pollers"); // remembered at the end
    QTest::newRow("a poller once a second") << "0:1+1 999:1+1 1000:1+1"
                                            << "1 0 1" << 1;
    QTest::newRow("pollers apart") << "0:1+1 0:2+1"
                                   << "1 1" << 2;
    QTest::newRow("100 a second in all") << "0:1+101 999:101+1 1000:101+1"
                                         << "100 0 1" << 101;
    QTest::newRow("the window slides") << "0:1+60 500:61+60 999:200+1 1000:200+1"
                                       << "60 40 0 1" << 101;
    QString tenSeconds, hundreds;
    for (int s = 0; s < 10; ++s) {
        tenSeconds += QStringLiteral("%1:%2+100 ").arg(s * 1000).arg(s * 100 + 1);
        hundreds += QStringLiteral("100 ");
    }
    QTest::newRow("a full table forgets the old pollers")
        << tenSeconds + "9999:1001+1 10000:1001+1" << hundreds + "0 1" << 1;
}

void TestArtnet::pollReplyLimits()
{
    QFETCH(QString, polls);
    QFETCH(QString, answered);
    QFETCH(int, pollers);
    PollReplyLimit limit;
    QStringList counts;
    int most = 0;
    for (const QString &step : polls.split(' ')) {
        const QStringList f = step.split(QRegularExpression("[:+]"));
        int yes = 0;
        for (int i = 0; i < f[2].toInt(); ++i)
            yes += limit.allow(quint32(0x0A000000 + f[1].toInt() + i), f[0].toLongLong()) ? 1 : 0;
        counts << QString::number(yes);
        most = qMax(most, limit.pollerCount());
    }
    QCOMPARE(counts.join(' '), answered);
    QCOMPARE(limit.pollerCount(), pollers);
    QVERIFY(most <= PollReplyLimit::MAX_POLLERS);
}

// A flood is read in passes of the event loop, and nothing of it is lost.
void TestArtnet::floodReadInPasses_data()
{
    QTest::addColumn<bool>("acn");
    QTest::newRow("Art-Net") << false;
    QTest::newRow("streaming ACN") << true;
}

void TestArtnet::floodReadInPasses()
{
    QFETCH(bool, acn);
    QByteArray in(512, 0);
    acnnet sacn(net->env());
    artnet art(false, net->env());
    if (acn)
        sacn.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    else
        QVERIFY(art.setPollReplyEnabled(true));
    const DropCounts &dropped = acn ? sacn.droppedDatagrams() : art.droppedDatagrams();
    const int flood = MAX_DATAGRAMS_PER_PASS + 100;
    for (int i = 0; i < flood; ++i)
        net->socket->incoming.append({QByteArray("short"), QHostAddress("10.0.0.7")});
    emit net->socket->readyRead();
    QCOMPARE(dropped.total(), quint64(MAX_DATAGRAMS_PER_PASS));
    QTRY_COMPARE(dropped.total(), quint64(flood));
    QVERIFY(net->socket->incoming.isEmpty());
}

// Who gets universe 5 after the replies a poll brought.
void TestArtnet::unicastToSubscribers_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<bool>("alwaysBroadcast");
    QTest::addColumn<QStringList>("targets");
    const QByteArray a = pollReply("10.0.0.20", 0, 0, {{0x80, 0x05}});
    const QByteArray b = pollReply("192.168.1.30", 0, 0, {{0x80, 0x04}, {0x80, 0x05}});
    QTest::newRow("nobody") << QList<QByteArray>{} << false << QStringList{"192.168.1.255"};
    QTest::newRow("one subscriber") << QList<QByteArray>{a} << false << QStringList{"10.0.0.20"};
    QTest::newRow("two subscribers")
        << QList<QByteArray>{a, b, a} << false << QStringList{"10.0.0.20", "192.168.1.30"};
    QTest::newRow("always broadcast")
        << QList<QByteArray>{a} << true << QStringList{"192.168.1.255"};
    QTest::newRow("SwOut read by its low nibble")
        << QList<QByteArray>{pollReply("10.0.0.21", 0, 0, {{0x80, 0x15}})} << false
        << QStringList{"10.0.0.21"};
    QTest::newRow("Sub-Net 1 is universe 21")
        << QList<QByteArray>{pollReply("10.0.0.21", 0, 1, {{0x80, 0x05}})} << false
        << QStringList{"192.168.1.255"};
    QTest::newRow("an input port does not subscribe")
        << QList<QByteArray>{pollReply("10.0.0.22", 0, 0, {{0x40, 0x05}})} << false
        << QStringList{"192.168.1.255"};
    QTest::newRow("our own reply") << QList<QByteArray>{pollReply("10.0.0.3", 0, 0, {{0x80, 0x05}})}
                                   << false << QStringList{"192.168.1.255"};
    QTest::newRow("truncated reply")
        << QList<QByteArray>{a.left(190)} << false << QStringList{"192.168.1.255"};
}

void TestArtnet::unicastToSubscribers()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, alwaysBroadcast);
    QFETCH(QStringList, targets);
    artnet node(false, net->env());
    node.setAlwaysBroadcast(alwaysBroadcast);
    const QByteArray data = filled(512, 3);
    node.sendDmx(u8(data), 512, 9); // polls
    for (const QByteArray &reply : replies)
        net->socket->inject(reply, QHostAddress("10.0.0.99"));
    auto &sent = net->socket->sent;
    sent.clear();
    QCOMPARE(node.sendDmx(u8(data), 512, 5), qint64(530));
    net->now += 500;
    node.sendDataTimeout(); // universes 9 and 5 repeat
    QStringList got;
    for (const FakeSocket::Sent &s : sent)
        if (quint8(s.data[14]) == 5)
            got << s.destination.toString();
    QCOMPARE(got, targets + targets);
}

// Polls every 2.5 s once sending; subscribers that stop answering expire.
void TestArtnet::pollAndExpiry()
{
    artnet node(false, net->env());
    QVERIFY(!node.pollIfDue()); // nothing sent yet: no poll
    const QByteArray data = filled(512, 3);
    node.sendDmx(u8(data), 512, 5);
    auto isPoll = [](const FakeSocket::Sent &s) {
        return s.data.mid(8, 2) == QByteArray::fromHex("0020");
    };
    QVERIFY(isPoll(net->socket->sent.first()));
    QCOMPARE(net->socket->sent.first().destination, BROADCAST_LAN);
    net->now += artnet::POLL_INTERVAL_MS - 1;
    QVERIFY(!node.pollIfDue());
    net->now += 1;
    QVERIFY(node.pollIfDue());

    const QByteArray reply = pollReply("10.0.0.20", 0, 0, {{0x80, 0x05}});
    net->socket->inject(reply, QHostAddress("10.0.0.20"));
    QCOMPARE(node.subscribers(5), QList<QHostAddress>{QHostAddress("10.0.0.20")});
    net->now += artnet::SUBSCRIBER_TIMEOUT_MS - 100;
    net->socket->inject(reply, QHostAddress("10.0.0.20")); // still answering
    net->now += artnet::SUBSCRIBER_TIMEOUT_MS;
    QCOMPARE(node.subscribers(5).size(), 1);
    net->now += 1;
    QVERIFY(node.subscribers(5).isEmpty());
    node.pollIfDue();
    node.sendDmx(u8(data), 512, 5);
    QCOMPARE(net->socket->sent.last().destination, BROADCAST_LAN);
}

// ArtDmx from another address on a universe we send: one warning and one
// notice per universe and sender; our own echo and other universes: none.
void TestArtnet::otherSenderReportedOnce()
{
    artnet node(false, net->env());
    QStringList notices;
    node.setNoticeHandler([&](const QString &text) { notices << text; });
    QVERIFY(node.setPollReplyEnabled(true));
    const QByteArray data = filled(512, 3);
    node.sendDmx(u8(data), 512, 5);
    net->socket->inject(artDmx(5, data), QHostAddress("192.168.1.10")); // our own broadcast
    net->socket->inject(artDmx(6, data), QHostAddress("10.0.0.44"));    // not ours
    QTest::ignoreMessage(QtWarningMsg, "Art-Net universe 6 is also sent by 10.0.0.44: two "
                                       "senders on one universe");
    net->socket->inject(artDmx(5, data), QHostAddress("10.0.0.44"));
    net->socket->inject(artDmx(5, data), QHostAddress("10.0.0.44"));
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices[0].contains("10.0.0.44"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("also sent by 10.0.0.45"));
    net->socket->inject(artDmx(5, data), QHostAddress("10.0.0.45"));
    QCOMPARE(notices.size(), 2);
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

    // Unregistered, the array is neither read nor written.
    node.setReceiveBuffer(nullptr, 0, 512);
    QVERIFY(!node.getReceivedValue(4, 0, v));
    net->socket->inject(artDmx(4, filled(512, 2)), QHostAddress("10.0.0.7"));
    QCOMPARE(in, before);
}

void TestArtnet::receiveUniverseList()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({0, 60000}));
    // Unsorted, duplicate, negative or too large: refused, the list stays.
    for (const QList<int> &refused :
         {QList<int>{5, 3}, QList<int>{3, 3}, QList<int>{-1, 3}, QList<int>{3, 65536}})
        QVERIFY(!node.setReceiveUniverses(refused));
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

// Lengths and channels per universe that do not fit: never past a universe
// or the array.
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

    QByteArray small(600, 0);
    // 100 channels per universe: six universes, the last one 100 bytes.
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(small.data()), small.size(), 100);
    node.setReceiveUniverse(10);
    net->socket->inject(artDmx(11, filled(512, 3)), QHostAddress("10.0.0.7"));
    QCOMPARE(small.mid(100, 100), filled(100, 3));
    QCOMPARE(small.mid(200), QByteArray(400, 0));
    quint8 v = 0;
    QVERIFY(!node.getReceivedValue(11, 100, v));
    QVERIFY(node.getReceivedValue(11, 99, v));
    QCOMPARE(v, quint8(3));
    net->socket->inject(artDmx(16, filled(512, 4)), QHostAddress("10.0.0.7")); // past the end
    QCOMPARE(small.mid(200), QByteArray(400, 0));

    // More than 512 channels per universe are clamped to 512.
    QByteArray big(1024, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(big.data()), big.size(), 4096);
    net->socket->inject(artDmx(11, filled(512, 9)), QHostAddress("10.0.0.7"));
    QCOMPARE(big.mid(512), filled(512, 9));
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

    // A frame held for a sync moves along, and the carried-over bytes stay.
    net->socket->inject(sync(false, 0x5202, 1), sender);
    net->socket->inject(artDmx(7, filled(512, 6)), sender); // held
    QByteArray third(2 * 512, 0);
    third.replace(512, 512, second.mid(1024));
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(third.data()), third.size(),
                                          {1, 7}));
    QCOMPARE(third.mid(512), filled(512, 9));
    net->now += 20;
    net->socket->inject(sync(false, 0x5202, 1), sender);
    QCOMPARE(third, QByteArray(512, 0) + filled(512, 6));

    // Unregistering forgets everything.
    QVERIFY(node.setReceiveUniverseBuffer(nullptr, 0, {}));
    QVERIFY(!node.getReceivedValue(3, 0, v));
}

void TestArtnet::syncHold()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    // Frames written straight through before the first sync survive it.
    net->socket->inject(artDmx(1, filled(512, 6)), from);
    net->socket->inject(sync(false, 0x5202, 1), from);
    QCOMPARE(in.mid(512), filled(512, 6));
    net->socket->inject(artDmx(0, filled(512, 10)), from);
    net->socket->inject(artDmx(1, filled(512, 11)), from);
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(0, 0, v)); // received ...
    QCOMPARE(v, quint8(0));                  // ... but held
    QCOMPARE(in, QByteArray(512, 0) + filled(512, 6));
    net->now += 20;
    net->socket->inject(sync(false, 0x5202, 1), from); // releases the frame
    QCOMPARE(in, filled(512, 10) + filled(512, 11));
    net->socket->inject(artDmx(0, filled(512, 12)), from);
    QCOMPARE(in.left(512), filled(512, 10));
    net->socket->inject(sync(false, 0x5101, 0), from); // hold off: release and write through
    QCOMPARE(in.left(512), filled(512, 12));
    net->socket->inject(artDmx(1, filled(512, 13)), from);
    QCOMPARE(in.mid(512), filled(512, 13));

    // The MadrixN variant holds alike; its other opcodes are ignored.
    net->socket->inject(sync(true, 0x5101, 1), from);
    net->socket->inject(artDmx(0, filled(512, 1)), from);
    QCOMPARE(in.left(512), filled(512, 12));
    QByteArray foreign = artDmx(0, filled(512, 2));
    foreign.replace(0, 8, QByteArray("MadrixN", 8));
    net->socket->inject(foreign, from);
    net->socket->inject(sync(true, 0x5202, 0), from);
    QCOMPARE(in.left(512), filled(512, 1));

    // Held frames show, and writing goes straight through again, once no
    // sync came for more than 3000 ms.
    net->socket->inject(sync(false, 0x5202, 1), from);
    net->socket->inject(artDmx(0, filled(512, 2)), from);
    net->now += 3000;
    net->socket->inject(artDmx(1, filled(512, 3)), from); // 3000 ms: still held
    QCOMPARE(in, filled(512, 1) + filled(512, 13));
    net->now += 1;
    net->socket->inject(artDmx(1, filled(512, 4)), from);
    QCOMPARE(in, filled(512, 2) + filled(512, 4));
    net->socket->inject(artDmx(0, filled(512, 5)), from);
    QCOMPARE(in.left(512), filled(512, 5));
}

void TestArtnet::portAddressLimits()
{
    artnet node(false, net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(65534)); // listening there does no harm
    net->socket->inject(artDmx(65535, filled(512, 8)), QHostAddress("10.0.0.7"));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(65535, 511, v));
    QCOMPARE(v, quint8(8));
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
