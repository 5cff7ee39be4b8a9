// The streaming ACN node over a fake socket, fixed interface lists and a
// clock moved by hand.
#include "acnnet.h"
#include "acnpacket.h"
#include "fakenet.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace
{

const quint8 *u8(const QByteArray &a)
{
    return reinterpret_cast<const quint8 *>(a.constData());
}

QByteArray filled(int n, char v)
{
    return QByteArray(n, v);
}

// A valid data packet as another source would send it.
QByteArray e131(int wireUniverse, const QByteArray &data, quint8 sequence = 1)
{
    QByteArray p(acnpacket::MAX_SIZE, 0);
    const quint8 name[64] = {'p', 'e', 'e', 'r'};
    const int n = acnpacket::encodeData(reinterpret_cast<quint8 *>(p.data()), p.size(), name,
                                        sequence, wireUniverse, u8(data), int(data.size()));
    p.resize(n);
    return p;
}

QStringList membershipLog(const FakeSocket &socket, bool join)
{
    QStringList out;
    for (const auto &m : std::as_const(socket.memberships))
        if (m.join == join)
            out << m.group.toString() + "@" + m.local.toString();
    return out;
}

// Replays the membership calls: the groups joined in the end, sorted.
// `sound` turns false when a group was joined twice or left while not
// joined (calls the system refuses).
QStringList replayMemberships(const FakeSocket &socket, bool *sound)
{
    QSet<QString> joined;
    *sound = true;
    for (const auto &m : std::as_const(socket.memberships)) {
        const QString key = m.group.toString() + "@" + m.local.toString();
        if (m.join) {
            *sound = *sound && !joined.contains(key);
            joined.insert(key);
        } else {
            *sound = joined.remove(key) && *sound;
        }
    }
    QStringList out = joined.values();
    out.sort();
    return out;
}

// The groups of these wire universes on both LAN interfaces, sorted.
QStringList lanGroups(const QList<int> &wires)
{
    QStringList out;
    for (int wire : wires)
        for (const char *local : {"192.168.1.10", "10.0.0.3"})
            out << acnnet::multicastGroup(wire).toString() + "@" + local;
    out.sort();
    return out;
}

int be16(const QByteArray &p, int offset)
{
    return quint8(p[offset]) << 8 | quint8(p[offset + 1]);
}

} // namespace

Q_DECLARE_METATYPE(DropReason)

class TestAcnnet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void sendUniverseZero();
    void sendLimits();
    void loopbackDestination();
    void sourceName();
    void sequenceNumbers();
    void keepAliveRepeatsEveryUniverse();
    void bindFailureRetries();
    void membershipsFollowRange();
    void membershipFailureIsNotFatal();
    void receiveRange();
    void receiveUniverseList();
    void membershipsFollowUniverseList();
    void receiveRules_data();
    void receiveRules();
    void receiveCountAndTruncation();
    void receiveLimits();
    void sendFailureReported();
    void dropsCountedByReason_data();
    void dropsCountedByReason();
    void movedArrayKeepsRemainingUniverses();
    void observedGroupsStayApartFromDmxIn_data();
    void observedGroupsStayApartFromDmxIn();

private:
    QScopedPointer<FakeNet> net;
};

void TestAcnnet::init()
{
    net.reset(new FakeNet);
    net->useLan();
}

void TestAcnnet::sendUniverseZero()
{
    acnnet node(net->env());
    const QByteArray data = filled(512, 0x33);
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(638));
    QCOMPARE(net->socket->boundPort, quint16(5568));
    const FakeSocket::Sent &s = net->socket->sent.first();
    QCOMPARE(s.destination, QHostAddress("239.255.0.1"));
    QCOMPARE(s.port, quint16(5568));
    QCOMPARE(s.data.size(), 638);
    QCOMPARE(s.data.mid(16, 2), QByteArray::fromHex("726e"));  // root 622
    QCOMPARE(s.data.mid(38, 2), QByteArray::fromHex("7258"));  // framing 600
    QCOMPARE(s.data.mid(115, 2), QByteArray::fromHex("720b")); // DMP 523
    QCOMPARE(be16(s.data, 113), 1);                            // wire universe
    QCOMPARE(be16(s.data, 123), 513);                          // property value count
    QCOMPARE(quint8(s.data[108]), quint8(100));                // priority
    QCOMPARE(s.data.mid(126), data);
}

void TestAcnnet::sendLimits()
{
    acnnet node(net->env());
    const QByteArray data = filled(600, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 63998), qint64(638));
    QCOMPARE(be16(net->socket->sent.last().data, 113), 63999);
    QCOMPARE(net->socket->sent.last().destination, QHostAddress("239.255.249.255"));
    QCOMPARE(node.sendDmx(u8(data), 512, 63999), qint64(0)); // wire 64000 does not exist
    QCOMPARE(node.sendDmx(u8(data), 512, -1), qint64(0));
    QCOMPARE(node.sendDmx(u8(data), 513, 0), qint64(-1));
    QCOMPARE(node.sendDmx(nullptr, 512, 0), qint64(-1));
    QCOMPARE(net->socket->sent.size(), 1);
    QCOMPARE(node.sendDmx(u8(data), 24, 0), qint64(150));
    QCOMPARE(acnnet::multicastGroup(0), QHostAddress());
    QCOMPARE(acnnet::multicastGroup(64000), QHostAddress());
    QCOMPARE(acnnet::multicastGroup(0x0102), QHostAddress("239.255.1.2"));
}

void TestAcnnet::loopbackDestination()
{
    net->useLoopbackOnly();
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    node.sendDmx(u8(data), 512, 0);
    QCOMPARE(net->socket->sent.last().destination, QHostAddress("127.255.0.1"));
    node.sendDmx(u8(data), 512, 0x0123 - 1);
    QCOMPARE(net->socket->sent.last().destination, QHostAddress("127.255.1.35"));
}

void TestAcnnet::sourceName()
{
    acnnet node(net->env());
    const QByteArray data = filled(24, 1);
    node.sendDmx(u8(data), 24, 0);
    QVERIFY(net->socket->sent.last().data.mid(44, 64).startsWith("ACN 1.31 by "));
    node.setSourceName("Pultora");
    node.sendDmx(u8(data), 24, 0);
    QCOMPARE(net->socket->sent.last().data.mid(44, 64), QByteArray("Pultora") + QByteArray(57, 0));
    node.setSourceName(QString(100, 'x'));
    node.sendDmx(u8(data), 24, 0);
    QCOMPARE(net->socket->sent.last().data.mid(44, 64), QByteArray(63, 'x') + QByteArray(1, 0));
}

void TestAcnnet::sequenceNumbers()
{
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    node.sendDmx(u8(data), 512, 0);
    auto &sent = net->socket->sent;
    node.sendDmx(u8(data), 512, 0);
    QCOMPARE(quint8(sent[0].data[111]), quint8(1));
    QCOMPARE(quint8(sent[1].data[111]), quint8(2));
    net->now += 500;
    node.sendDataTimeout();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent[2].data, sent[1].data); // repeat keeps its number
    // Another universe counts on its own.
    node.sendDmx(u8(data), 512, 5);
    QCOMPARE(quint8(sent.last().data[111]), quint8(1));
    node.sendDmx(u8(data), 512, 0);
    QCOMPARE(quint8(sent.last().data[111]), quint8(3));
    // Wraps 255 -> 0.
    for (int i = 0; i < 252; ++i)
        node.sendDmx(u8(data), 512, 0);
    QCOMPARE(quint8(sent.last().data[111]), quint8(255));
    node.sendDmx(u8(data), 512, 0);
    QCOMPARE(quint8(sent.last().data[111]), quint8(0));
}

void TestAcnnet::keepAliveRepeatsEveryUniverse()
{
    acnnet node(net->env());
    QCOMPARE(node.sendDataTimeout(), qint64(-1));
    const QByteArray a = filled(512, 1), b = filled(512, 2);
    node.sendDmx(u8(a), 512, 0);
    net->now += 250;
    node.sendDmx(u8(b), 512, 9);
    auto &sent = net->socket->sent;
    net->now += 250;
    QCOMPARE(node.sendDataTimeout(), qint64(638));
    QCOMPARE(be16(sent.last().data, 113), 1);
    QCOMPARE(sent.last().destination, QHostAddress("239.255.0.1"));
    net->now += 250;
    QCOMPARE(node.sendDataTimeout(), qint64(638));
    QCOMPARE(be16(sent.last().data, 113), 10);
    QCOMPARE(sent.last().destination, QHostAddress("239.255.0.10"));
    net->now += 250;
    QCOMPARE(node.sendDataTimeout(), qint64(638));
    QCOMPARE(be16(sent.last().data, 113), 1);
    QCOMPARE(sent.size(), 5);
}

void TestAcnnet::bindFailureRetries()
{
    net->bindSucceeds = false;
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    net->bindSucceeds = true;
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(638));
    QCOMPARE(quint8(net->socket->sent.last().data[111]), quint8(1));
}

void TestAcnnet::membershipsFollowRange()
{
    acnnet node(net->env());
    QByteArray in(3 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverse(2));
    auto joined = [this](bool join) {
        QStringList out;
        for (const auto &m : std::as_const(net->socket->memberships))
            if (m.join == join)
                out << m.group.toString() + "@" + m.local.toString();
        return out;
    };
    QCOMPARE(joined(true), (QStringList{"239.255.0.3@192.168.1.10", "239.255.0.3@10.0.0.3",
                                        "239.255.0.4@192.168.1.10", "239.255.0.4@10.0.0.3",
                                        "239.255.0.5@192.168.1.10", "239.255.0.5@10.0.0.3"}));
    QVERIFY(joined(false).isEmpty());
    QVERIFY(node.membershipsOk());

    net->socket->memberships.clear();
    QVERIFY(node.setReceiveUniverse(10));
    QCOMPARE(joined(false).size(), 6);
    QVERIFY(joined(false).contains("239.255.0.5@10.0.0.3"));
    QVERIFY(joined(true).contains("239.255.0.11@192.168.1.10"));
    QVERIFY(joined(true).contains("239.255.0.13@10.0.0.3"));
    QCOMPARE(joined(true).size(), 6);

    net->socket->memberships.clear();
    QVERIFY(node.setReceiveUniverse(10)); // same base: nothing changes
    QVERIFY(net->socket->memberships.isEmpty());

    node.setReceiveBuffer(nullptr, 0, 512);
    QCOMPARE(joined(false).size(), 6);
    QVERIFY(joined(true).isEmpty());
}

void TestAcnnet::membershipFailureIsNotFatal()
{
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    node.sendDmx(u8(data), 512, 0); // opens the socket
    net->socket->failMemberships = true;
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    QVERIFY(!node.membershipsOk());
    net->socket->inject(e131(1, filled(512, 4)), QHostAddress("10.0.0.7"));
    QCOMPARE(in, filled(512, 4)); // unicast still arrives
}

void TestAcnnet::receiveRange()
{
    acnnet node(net->env());
    QByteArray in(3 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(2);
    QByteArray data(512, 0);
    for (int i = 0; i < 512; ++i)
        data[i] = char(i & 0xFF);
    quint8 v = 0;
    QVERIFY(!node.getReceivedValue(3, 0, v));
    net->socket->inject(e131(4, data), QHostAddress("10.0.0.7"));
    QCOMPARE(in.mid(512, 512), data);
    QCOMPARE(in.left(512), QByteArray(512, 0));
    QCOMPARE(in.mid(1024), QByteArray(512, 0));
    QVERIFY(node.getReceivedValue(3, 200, v));
    QCOMPARE(v, quint8(200));
    QVERIFY(!node.getReceivedValue(2, 0, v)); // not received
    QVERIFY(!node.getReceivedValue(1, 0, v)); // below the base
    QVERIFY(!node.getReceivedValue(5, 0, v)); // past the array
    QVERIFY(!node.getReceivedValue(3, 512, v));

    const QByteArray before = in;
    net->socket->inject(e131(2, filled(512, 1)), QHostAddress("10.0.0.7")); // 0-based 1 < base
    net->socket->inject(e131(6, filled(512, 1)), QHostAddress("10.0.0.7")); // past the array
    QCOMPARE(in, before);
}

void TestAcnnet::receiveUniverseList()
{
    acnnet node(net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({0, 60000}));
    QVERIFY(!node.setReceiveUniverses({0, 63999})); // above the last universe
    QVERIFY(!node.setReceiveUniverses({4, 2}));
    QCOMPARE(node.receiveUniverses(), QList<int>({0, 60000}));

    const QHostAddress sender("10.0.0.7");
    net->socket->inject(e131(60001, filled(512, 6)), sender); // 0-based 60000
    QCOMPARE(in.left(512), QByteArray(512, 0));
    QCOMPARE(in.mid(512), filled(512, 6));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(60000, 17, v));
    QCOMPARE(v, quint8(6));
    QVERIFY(!node.getReceivedValue(0, 0, v));

    const QByteArray before = in;
    for (int wire : {2, 60000, 60002})
        net->socket->inject(e131(wire, filled(512, 1)), sender);
    QCOMPARE(in, before);
    v = 99;
    for (int u : {1, 59999, 60001, 70000})
        QVERIFY(!node.getReceivedValue(u, 0, v));
    QCOMPARE(v, quint8(99));

    net->socket->inject(e131(1, filled(512, 8)), sender);
    QCOMPARE(in.left(512), filled(512, 8));
}

void TestAcnnet::membershipsFollowUniverseList()
{
    acnnet node(net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QVERIFY(node.setReceiveUniverses({0, 60000}));
    // 0-based 60000 is wire universe 60001 = 0xEA61.
    QCOMPARE(membershipLog(*net->socket, true),
             (QStringList{"239.255.0.1@192.168.1.10", "239.255.0.1@10.0.0.3",
                          "239.255.234.97@192.168.1.10", "239.255.234.97@10.0.0.3"}));
    QVERIFY(membershipLog(*net->socket, false).isEmpty());
    QVERIFY(node.membershipsOk());

    // Changing the list leaves exactly the old groups and joins the new ones.
    net->socket->memberships.clear();
    QByteArray three(3 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(three.data()), three.size(), 512);
    QVERIFY(node.setReceiveUniverses({4, 5, 900}));
    QCOMPARE(membershipLog(*net->socket, true).mid(membershipLog(*net->socket, true).size() - 6),
             (QStringList{"239.255.0.5@192.168.1.10", "239.255.0.5@10.0.0.3",
                          "239.255.0.6@192.168.1.10", "239.255.0.6@10.0.0.3",
                          "239.255.3.133@192.168.1.10", "239.255.3.133@10.0.0.3"}));
    net->socket->memberships.clear();
    QVERIFY(node.setReceiveUniverses({4, 5, 900})); // same list: nothing changes
    QVERIFY(net->socket->memberships.isEmpty());

    // Unregistering leaves them; a list set before the array joins with it.
    node.setReceiveBuffer(nullptr, 0, 512);
    QCOMPARE(membershipLog(*net->socket, false).size(), 6);
    QVERIFY(membershipLog(*net->socket, true).isEmpty());
    net->socket->memberships.clear();
    QVERIFY(node.setReceiveUniverses({7, 40000}));
    QVERIFY(net->socket->memberships.isEmpty());
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    QCOMPARE(membershipLog(*net->socket, true),
             (QStringList{"239.255.0.8@192.168.1.10", "239.255.0.8@10.0.0.3",
                          "239.255.156.65@192.168.1.10", "239.255.156.65@10.0.0.3"}));
    QVERIFY(membershipLog(*net->socket, false).isEmpty());

    // Back to the range from the base.
    net->socket->memberships.clear();
    QVERIFY(node.setReceiveUniverses({}));
    QVERIFY(node.setReceiveUniverse(2));
    QCOMPARE(membershipLog(*net->socket, false).size(), 4);
    QVERIFY(membershipLog(*net->socket, true).contains("239.255.0.3@10.0.0.3"));
    QVERIFY(membershipLog(*net->socket, true).contains("239.255.0.4@10.0.0.3"));
}

void TestAcnnet::receiveRules_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::newRow("root vector 8") << 21 << 8;
    QTest::newRow("root flags 0x6") << 16 << 0x62;
    QTest::newRow("identifier") << 4 << int('a');
    QTest::newRow("preamble") << 1 << 0x20;
    QTest::newRow("START code 0xDD") << 125 << 0xDD;
    QTest::newRow("wire universe 0") << 114 << 0;
}

void TestAcnnet::receiveRules()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    acnnet node(net->env());
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    QByteArray p = e131(1, filled(512, 9));
    p[offset] = char(value);
    net->socket->inject(p, QHostAddress("10.0.0.7"));
    QCOMPARE(in, QByteArray(512, 0));
    quint8 v = 0;
    QVERIFY(!node.getReceivedValue(0, 0, v));
    // The unmodified packet lands.
    net->socket->inject(e131(1, filled(512, 9)), QHostAddress("10.0.0.7"));
    QCOMPARE(in, filled(512, 9));
}

void TestAcnnet::receiveCountAndTruncation()
{
    acnnet node(net->env());
    QByteArray in(2 * 512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    node.setReceiveUniverse(0);
    const QHostAddress from("10.0.0.7");
    // Value count 3 = START code + two slots: exactly two are copied.
    QByteArray p = e131(1, filled(512, 5));
    p[123] = 0;
    p[124] = 3;
    net->socket->inject(p, from);
    QCOMPARE(in.left(3), QByteArray("\x05\x05\x00", 3));
    // Count claims 513, 100 slots arrived.
    net->socket->inject(e131(2, filled(512, 6)).left(226), from);
    QCOMPARE(in.mid(512, 100), filled(100, 6));
    QCOMPARE(in.mid(612), QByteArray(412, 0));
    // Count 0xFFFF with 512 slots: one universe only.
    p = e131(1, filled(512, 7));
    p[123] = char(0xFF);
    p[124] = char(0xFF);
    net->socket->inject(p, from);
    QCOMPARE(in.left(512), filled(512, 7));
    QCOMPARE(in.mid(612), QByteArray(412, 0));
    // Truncated header.
    const QByteArray before = in;
    net->socket->inject(e131(1, filled(512, 8)).left(125), from);
    net->socket->inject(QByteArray(), from);
    QCOMPARE(in, before);
}

void TestAcnnet::receiveLimits()
{
    acnnet node(net->env());
    QVERIFY(!node.setReceiveUniverse(63999));
    QVERIFY(node.setReceiveUniverse(63998));
    QByteArray in(512, 0);
    node.setReceiveBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(), 512);
    net->socket->inject(e131(63999, filled(512, 3)), QHostAddress("10.0.0.7"));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(63998, 0, v));
    QCOMPARE(v, quint8(3));
    QVERIFY(!node.getReceivedValue(63999, 0, v));
}

void TestAcnnet::sendFailureReported()
{
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(638));
    QVERIFY(node.lastSendError().isEmpty());
    net->socket->failSends = true;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^sACN DMX not sent: sending to 239.255.0.1 failed"));
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    QCOMPARE(node.lastSendError(), QStringLiteral("sending to 239.255.0.1 failed"));
    QTest::failOnWarning(QRegularExpression("not sent"));
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(-1));
    net->socket->failSends = false;
    QCOMPARE(node.sendDmx(u8(data), 512, 0), qint64(638));
    QVERIFY(node.lastSendError().isEmpty());
}

void TestAcnnet::dropsCountedByReason_data()
{
    QTest::addColumn<int>("cut");    // bytes kept, -1: all
    QTest::addColumn<int>("offset"); // byte changed, -1: none
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<DropReason>("reason");
    using R = DropReason;
    QTest::newRow("header cut") << 125 << -1 << 0 << true << R::TooShort;
    QTest::newRow("preamble") << -1 << 1 << 0x20 << true << R::BadPreamble;
    QTest::newRow("identifier") << -1 << 4 << int('a') << true << R::BadIdentifier;
    QTest::newRow("root flags") << -1 << 16 << 0x62 << true << R::BadFlags;
    QTest::newRow("root vector 8") << -1 << 21 << 8 << true << R::BadRootVector;
    QTest::newRow("framing vector 1") << -1 << 43 << 1 << true << R::BadFramingVector;
    QTest::newRow("wire universe 0") << -1 << 114 << 0 << true << R::BadUniverse;
    QTest::newRow("DMP vector") << -1 << 117 << 1 << true << R::BadDmpVector;
    QTest::newRow("address type") << -1 << 118 << 0xA0 << true << R::BadAddressing;
    QTest::newRow("first address") << -1 << 120 << 1 << true << R::BadAddressing;
    QTest::newRow("address increment") << -1 << 122 << 2 << true << R::BadAddressing;
    QTest::newRow("value count 0") << -1 << 123 << 0 << true << R::BadValueCount;
    QTest::newRow("START code 0xDD") << -1 << 125 << 0xDD << true << R::NonZeroStartCode;
    QTest::newRow("universe not listened to") << -1 << 114 << 3 << true << R::UniverseNotListened;
    QTest::newRow("no DMX-IN array") << -1 << -1 << 0 << false << R::NotListening;
}

void TestAcnnet::dropsCountedByReason()
{
    QFETCH(int, cut);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(bool, registered);
    QFETCH(DropReason, reason);
    acnnet node(net->env());
    const QByteArray data = filled(512, 1);
    node.sendDmx(u8(data), 512, 9); // opens the socket, even without an array
    QByteArray in(2 * 512, 0);
    if (registered)
        QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(in.data()), in.size(),
                                              {0, 60000}));
    QByteArray p = e131(1, filled(512, 9));
    if (offset == 123)
        p[124] = 0; // the count is two bytes
    if (offset >= 0)
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
    net->socket->inject(e131(1, filled(512, 9)), sender);
    QCOMPARE(node.droppedDatagrams().total(), quint64(1));
    QCOMPARE(in.left(512), filled(512, 9));
}

void TestAcnnet::movedArrayKeepsRemainingUniverses()
{
    acnnet node(net->env());
    QByteArray first(2 * 512, 0);
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(first.data()), first.size(),
                                          {0, 4}));
    QCOMPARE(membershipLog(*net->socket, true),
             (QStringList{"239.255.0.1@192.168.1.10", "239.255.0.1@10.0.0.3",
                          "239.255.0.5@192.168.1.10", "239.255.0.5@10.0.0.3"}));
    const QHostAddress sender("10.0.0.7");
    net->socket->inject(e131(5, filled(512, 7)), sender); // 0-based 4

    // 0 goes, 9 comes, 4 stays: only the groups of 0 and 9 change.
    net->socket->memberships.clear();
    QByteArray second(2 * 512, 0);
    second.replace(0, 512, first.mid(512));
    QVERIFY(!node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                           {4, 63999}));
    QVERIFY(net->socket->memberships.isEmpty());
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(second.data()), second.size(),
                                          {4, 9}));
    QCOMPARE(membershipLog(*net->socket, false),
             (QStringList{"239.255.0.1@192.168.1.10", "239.255.0.1@10.0.0.3"}));
    QCOMPARE(membershipLog(*net->socket, true),
             (QStringList{"239.255.0.10@192.168.1.10", "239.255.0.10@10.0.0.3"}));
    quint8 v = 0;
    QVERIFY(node.getReceivedValue(4, 511, v));
    QCOMPARE(v, quint8(7));
    QVERIFY(!node.getReceivedValue(9, 0, v));
    QVERIFY(!node.getReceivedValue(0, 0, v));

    // The same universes in a new array: no group is touched.
    net->socket->memberships.clear();
    QByteArray third = second;
    QVERIFY(node.setReceiveUniverseBuffer(reinterpret_cast<quint8 *>(third.data()), third.size(),
                                          {4, 9}));
    QVERIFY(net->socket->memberships.isEmpty());
    QVERIFY(node.getReceivedValue(4, 0, v));
    net->socket->inject(e131(10, filled(512, 3)), sender);
    QCOMPARE(third.mid(512), filled(512, 3));
    QCOMPARE(second.mid(512), QByteArray(512, 0));

    // Unregistering leaves every group.
    QVERIFY(node.setReceiveUniverseBuffer(nullptr, 0, {}));
    QCOMPARE(membershipLog(*net->socket, false).size(), 4);
    QVERIFY(!node.getReceivedValue(4, 0, v));
}

void TestAcnnet::observedGroupsStayApartFromDmxIn_data()
{
    // DMX-IN starts on 0-based universes 2 and 3 (wire 3, 4), the observer
    // asks for 0..3 (wire 1..4); then DMX-IN changes.
    QTest::addColumn<int>("change");
    QTest::addColumn<QList<int>>("dmxInWires");
    QTest::newRow("array moves") << 0 << QList<int>{1, 10};
    QTest::newRow("list changes") << 1 << QList<int>{4, 10};
    QTest::newRow("range without base") << 2 << QList<int>{};
    QTest::newRow("unregistered") << 3 << QList<int>{};
}

// Whatever DMX-IN does while observing, no group is joined twice or left
// unjoined, and each side keeps the groups it needs.
void TestAcnnet::observedGroupsStayApartFromDmxIn()
{
    QFETCH(int, change);
    QFETCH(QList<int>, dmxInWires);
    acnnet node(net->env());
    QByteArray in(2 * 512, 0);
    quint8 *array = reinterpret_cast<quint8 *>(in.data());
    QVERIFY(node.setReceiveUniverseBuffer(array, in.size(), {2, 3}));
    QVERIFY(node.setObservedUniverses({3, 0, 1, 2, 2, -1, 63999}));
    bool sound = false;
    QCOMPARE(replayMemberships(*net->socket, &sound), lanGroups({1, 2, 3, 4}));
    QVERIFY(sound);

    switch (change) {
    case 0:
        QVERIFY(node.setReceiveUniverseBuffer(array, in.size(), {0, 9}));
        break;
    case 1:
        QVERIFY(node.setReceiveUniverses({3, 9}));
        break;
    case 2:
        QVERIFY(node.setReceiveUniverses({}));
        break;
    default:
        node.setReceiveBuffer(nullptr, 0, 512);
        break;
    }
    QList<int> both = dmxInWires + QList<int>{1, 2, 3, 4};
    std::sort(both.begin(), both.end());
    both.erase(std::unique(both.begin(), both.end()), both.end());
    QCOMPARE(replayMemberships(*net->socket, &sound), lanGroups(both));
    QVERIFY(sound);
    QVERIFY(node.membershipsOk());

    QVERIFY(node.setObservedUniverses({}));
    QCOMPARE(replayMemberships(*net->socket, &sound), lanGroups(dmxInWires));
    QVERIFY(sound);

    net->socket->failMemberships = true;
    QVERIFY(!node.setObservedUniverses({40}));
}

QTEST_GUILESS_MAIN(TestAcnnet)
#include "tst_acnnet.moc"
