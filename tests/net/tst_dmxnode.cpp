// What the Art-Net node and the streaming ACN node do alike, every test over
// both (the protocol is a column), on a fake socket, fixed interface lists
// and a clock moved by hand: frames and their failures, keep-alive, DMX-IN
// and its observer, a flood read in passes.
#include "net/acnnet.h"
#include "net/acnpacket.h"
#include "net/artnet.h"
#include "tests/net/fakenet.h"

#include <QRegularExpression>
#include <QTest>

namespace
{

enum Protocol { ArtNet, Acn };

const QHostAddress PEER("10.0.0.7");

// A DMX datagram of console universe `universe` as another sender sends it;
// `claimed`: the slot count its header says (-1: as many as there are).
QByteArray dmx(Protocol p, int universe, const QByteArray &levels, int claimed = -1,
               quint8 sequence = 1)
{
    if (p == ArtNet)
        return artDmx(universe, levels, claimed);
    QByteArray d = e131(universe + 1, levels, sequence);
    if (claimed >= 0) { // the START code counts too
        const int field = qMin(claimed + 1, 0xFFFF);
        d[acnpacket::VALUE_COUNT_OFFSET] = char(field >> 8);
        d[acnpacket::VALUE_COUNT_OFFSET + 1] = char(field);
    }
    return d;
}

// A DMX datagram the node sent: "universe:sequence", or empty for another kind.
QString sentUniverse(Protocol p, const QByteArray &d)
{
    if (p == ArtNet)
        return d.mid(8, 2) != QByteArray::fromHex("0050")
                   ? QString()
                   : QStringLiteral("%1:%2")
                         .arg(quint8(d[14]) | quint8(d[15]) << 8)
                         .arg(quint8(d[12]));
    return QStringLiteral("%1:%2")
        .arg((quint8(d[113]) << 8 | quint8(d[114])) - 1)
        .arg(quint8(d[acnpacket::SEQUENCE_OFFSET]));
}

QByteArray sentLevels(Protocol p, const QByteArray &d)
{
    return d.mid(p == ArtNet ? 18 : acnpacket::DATA_OFFSET);
}

// Every DMX datagram sent so far as "universe:sequence" (not sACN's first copies: 129).
QStringList sentUniverses(Protocol p, const FakeSocket &socket)
{
    QStringList out;
    for (const FakeSocket::Sent &s : socket.sent)
        if (!sentUniverse(p, s.data).isEmpty() && !sentUniverse(p, s.data).endsWith(":129"))
            out << sentUniverse(p, s.data);
    return out;
}

// "Art-Net text|sACN text": the protocol's part; one text: both.
QString pick(Protocol p, const QString &s)
{
    return s.contains('|') ? s.section('|', p, p) : s;
}

void expectNotSent(Protocol p, const QString &error)
{
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(
            QStringLiteral("%1 DMX not sent: %2").arg(p == ArtNet ? "Art-Net" : "sACN", error)));
}

} // namespace

Q_DECLARE_METATYPE(Protocol)
Q_DECLARE_METATYPE(DropReason)

class TestDmxNode : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data()
    {
        QTest::addColumn<Protocol>("protocol");
        QTest::newRow("Art-Net") << ArtNet;
        QTest::newRow("streaming ACN") << Acn;
    }
    void init()
    {
        net.reset(new FakeNet);
        net->useLan();
    }
    // One frame, one batch, in the frame's order; a universe named twice
    // leaves once with its later levels (and counts its sequence once).
    void frameLeavesInOneBatch()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        auto node = makeNode(protocol);
        const QByteArray a = filled(24, 1), b = filled(24, 2), c = filled(24, 3);
        const DmxUniverse frame[] = {
            {3, u8(a), 24}, {1, u8(b), 24}, {3, u8(c), 24}, {2, u8(b), 24}};
        QCOMPARE(node->sendFrame(frame, 4), 3);
        QCOMPARE(net->socket->batches, QList<int>{int(net->socket->sent.size())});
        QCOMPARE(sentUniverses(protocol, *net->socket), (QStringList{"3:1", "1:1", "2:1"}));
        QCOMPARE(sentLevels(protocol, net->socket->sent.last().data), b);
        QCOMPARE(sentLevels(protocol,
                            net->socket->sent[net->socket->sent.size() - 3 * protocol - 3].data),
                 c);
        QVERIFY(node->lastSendError().isEmpty());
    }

    // What the protocol refuses or the socket does not send is skipped, the
    // rest of the frame leaves; the reason stays readable, warned about once,
    // until a frame leaves whole.
    void frameSkipsWhatFails_data()
    {
        QTest::addColumn<QString>("universe"); // of the middle one of three
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("fail"); // "2": universe 2's datagram fails; "all"
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const char *universe, int length, const char *fail,
                            int left, const char *error) {
            QTest::newRow(name) << QString(universe) << length << QString(fail) << left
                                << QString(error);
        };
        row("universe past the last", "32768|63999", 24, "", 2,
            "Port-Address 32768 is above 32767|universe 64000 does not exist");
        row("513 slots", "2", 513, "", 2, "513 slots cannot be sent");
        row("no data", "2", -1, "", 2, "0 slots cannot be sent");
        row("one datagram fails", "2", 24, "2", 2,
            "sending to 192.168.1.255 failed|sending to 239.255.0.3 failed");
        row("all fail", "2", 24, "all", 0,
            "sending to 192.168.1.255 failed (3 universes)|"
            "sending to 239.255.0.2 failed (3 universes)");
    }

    void frameSkipsWhatFails()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        QFETCH(QString, universe);
        QFETCH(int, length);
        QFETCH(QString, fail);
        QFETCH(int, left);
        QFETCH(QString, error);
        error = pick(protocol, error);
        auto node = makeNode(protocol);
        const QByteArray data = filled(600, 5);
        QCOMPARE(sendUniverse(*node, 7, data.left(24)), 1); // opens the socket
        net->socket->sent.clear();
        net->socket->failSends = fail == "all";
        if (fail == "2")
            net->socket->refuse = [protocol](const QByteArray &d) {
                return sentUniverse(protocol, d).startsWith("2:");
            };
        const DmxUniverse frame[] = {
            {1, u8(data), 24},
            {pick(protocol, universe).toInt(), length < 0 ? nullptr : u8(data), qMax(length, 0)},
            {3, u8(data), 24}};
        expectNotSent(protocol, error);
        QCOMPARE(node->sendFrame(frame, 3), left);
        QCOMPARE(node->lastSendError(), error);
        QStringList universes;
        for (const QString &u : sentUniverses(protocol, *net->socket))
            universes << u.section(':', 0, 0);
        QCOMPARE(universes, left ? QStringList({"1", "3"}) : QStringList());
        QTest::failOnWarning(QRegularExpression("not sent"));
        node->sendFrame(frame, 3); // the same failure again: warned once
        net->socket->failSends = false;
        net->socket->refuse = {};
        QCOMPARE(node->sendFrame(frame, 1), 1);
        QVERIFY(node->lastSendError().isEmpty());
    }
    // Every universe is repeated 500 ms after its own last packet, a fresh send
    // restarting its period; every packet, repeats included, takes the
    // universe's next sequence number (after 255: Art-Net 1, sACN 0).
    void keepAliveRepeatsAndCounts()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        auto node = makeNode(protocol);
        QCOMPARE(node->sendDataTimeout(), qint64(-1)); // nothing sent yet
        const QByteArray one = filled(24, 1), two = filled(24, 2), three = filled(24, 3);
        sendUniverse(*node, 1, one); // t = 0
        const QList<FakeSocket::Sent> &sent = net->socket->sent;
        const QByteArray first = sent.last().data;
        net->now += 100;
        sendUniverse(*node, 2, two); // t = 100
        auto last = [&] {
            return sentUniverse(protocol, sent.last().data) + ' ' +
                   QString::number(sentLevels(protocol, sent.last().data)[0]);
        };
        net->now += 399; // t = 499: nothing due
        QCOMPARE(node->sendDataTimeout(), qint64(0));
        net->now += 1; // t = 500: universe 1, its packet but for the number
        QCOMPARE(node->sendDataTimeout(), qint64(first.size()));
        QCOMPARE(last(), "1:2 1");
        const int seq = protocol == ArtNet ? 12 : acnpacket::SEQUENCE_OFFSET;
        QCOMPARE(sent.last().data.left(seq), first.left(seq));
        QCOMPARE(sent.last().data.mid(seq + 1), first.mid(seq + 1));
        net->now += 100; // t = 600: universe 2
        node->sendDataTimeout();
        QCOMPARE(last(), "2:2 2");
        net->now += 300; // t = 900: a fresh send restarts universe 1's period
        sendUniverse(*node, 1, three);
        net->now += 200; // t = 1100: universe 2, though 1 was sent before it
        node->sendDataTimeout();
        QCOMPARE(last(), "2:3 2");
        net->now += 200; // t = 1300: nothing
        QCOMPARE(node->sendDataTimeout(), qint64(0));
        net->now += 100; // t = 1400: universe 1 with its new levels
        node->sendDataTimeout();
        QCOMPARE(last(), "1:4 3");
        QStringList numbers;
        for (int i = 0; i < 256; ++i) {
            sendUniverse(*node, 3, one);
            numbers << sentUniverse(protocol, sent.last().data);
        }
        QCOMPARE(numbers.mid(254), (QStringList{"3:255", protocol == ArtNet ? "3:1" : "3:0"}));
        QCOMPARE(numbers.first(), "3:1");

        // A repeat that fails is warned about once, until a frame leaves whole.
        net->socket->refuse = [protocol](const QByteArray &d) {
            return sentUniverse(protocol, d).startsWith("1:");
        };
        const QString error =
            pick(protocol, "sending to 192.168.1.255 failed|sending to 239.255.0.2 failed");
        expectNotSent(protocol, error);
        net->now += 500;
        node->sendDataTimeout();
        QCOMPARE(node->lastSendError(), error);
        QTest::failOnWarning(QRegularExpression("not sent"));
        net->now += 500;
        node->sendDataTimeout();
        net->socket->refuse = {};
        QCOMPARE(sendUniverse(*node, 1, one), 1);
        QVERIFY(node->lastSendError().isEmpty());
    }
    void bindFailureRetried()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        const int port = protocol == ArtNet ? 6454 : 5568;
        net->bindSucceeds = false;
        auto node = makeNode(protocol);
        const QString error = QStringLiteral("cannot open UDP port %1").arg(port);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(error));
        QCOMPARE(sendUniverse(*node, 0, filled(24, 1)), 0);
        QCOMPARE(node->lastSendError(), error);
        QVERIFY(!node->setDmxObserver([](int, const quint8 *, int) {}));
        net->bindSucceeds = true;
        QCOMPARE(sendUniverse(*node, 0, filled(24, 1)), 1); // tried again
        QCOMPARE(sentUniverses(protocol, *net->socket), QStringList{"0:1"});
        QCOMPARE(net->socket->boundPort, quint16(port));
    }

    // What arrives lands in the slot of its universe, never past a universe or
    // the array; what DMX-IN does not hold is counted as dropped.
    void receive_data()
    {
        // "range": 3 slots from universe 2; "list": {0, 60000}; "per100": 100
        // channels a universe from 10 in 600 bytes; "per4096": 4096 channels a
        // universe asked for, from 10 in 1024 bytes; "none": unregistered.
        QTest::addColumn<QString>("dmxIn");
        QTest::addColumn<int>("universe");
        QTest::addColumn<int>("levels");  // that arrive; -1: the header cut short
        QTest::addColumn<int>("claimed"); // by the header; -1: as many
        QTest::addColumn<int>("at");      // byte where they land; -1: nowhere
        QTest::addColumn<int>("landed");
        QTest::addColumn<int>("drop"); // DropReason counted; -1: none
        const int notHeld = int(DropReason::UniverseNotListened);
        const auto row = [](const char *name, const char *dmxIn, int universe, int levels,
                            int claimed, int at, int landed, int drop = -1) {
            QTest::newRow(name) << QString(dmxIn) << universe << levels << claimed << at << landed
                                << drop;
        };
        row("range", "range", 3, 512, -1, 512, 512);
        row("below the range", "range", 1, 512, -1, -1, 0, notHeld);
        row("past the array", "range", 5, 512, -1, -1, 0, notHeld);
        row("list", "list", 60000, 512, -1, 512, 512);
        row("between the list", "list", 1, 512, -1, -1, 0, notHeld);
        row("claims 512, 100 arrived", "range", 2, 100, 512, 0, 100);
        row("claims 0xFFFF", "range", 2, 600, 0xFFFF, 0, 512);
        row("claims 3", "range", 2, 512, 3, 0, 3);
        row("100 channels a universe", "per100", 11, 512, -1, 100, 100);
        row("100 channels, past the end", "per100", 16, 512, -1, -1, 0, notHeld);
        row("at most 512 channels a universe", "per4096", 11, 512, -1, 512, 512);
        row("header cut", "range", 2, -1, -1, -1, 0, int(DropReason::TooShort));
        row("no DMX-IN array", "none", 2, 512, -1, -1, 0, int(DropReason::NotListening));
    }

    void receive()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        QFETCH(QString, dmxIn);
        QFETCH(int, universe);
        QFETCH(int, levels);
        QFETCH(int, claimed);
        QFETCH(int, at);
        QFETCH(int, landed);
        QFETCH(int, drop);
        auto node = makeNode(protocol);
        const int per = dmxIn.startsWith("per") ? dmxIn.mid(3).toInt() : 512;
        QByteArray in(dmxIn == "per100" ? 600 : dmxIn == "list" ? 1024 : 1536, 0);
        auto *array = w8(in);
        if (dmxIn == "list") {
            QVERIFY(node->setReceiveUniverseBuffer(array, int(in.size()), {0, 60000}));
        } else {
            node->setReceiveBuffer(array, int(in.size()), per);
            QVERIFY(node->setReceiveUniverse(dmxIn == "range" ? 2 : 10));
            if (dmxIn == "none")
                node->setReceiveBuffer(nullptr, 0);
        }
        quint8 v = 77;
        QVERIFY(!node->getReceivedValue(universe, 0, v)); // nothing arrived yet
        QByteArray data(qMax(levels, 0), 0);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i % 251 + 1);
        const QByteArray d = dmx(protocol, universe, data, claimed);
        inject(levels < 0 ? d.left(protocol == ArtNet ? 17 : acnpacket::HEADER_SIZE - 1) : d);
        QByteArray expected(in.size(), 0);
        if (at >= 0)
            expected.replace(at, landed, data.left(landed));
        QCOMPARE(in, expected);
        QCOMPARE(node->getReceivedValue(universe, 0, v), at >= 0);
        if (at >= 0)
            QCOMPARE(v, quint8(1));
        QVERIFY(!node->getReceivedValue(universe, qMin(per, 512), v));
        QCOMPARE(node->droppedDatagrams().total(), quint64(drop < 0 ? 0 : 1));
        if (drop >= 0)
            QCOMPARE(node->droppedDatagrams().count(DropReason(drop)), quint64(1));
    }
    // Unsorted, repeated, negative or too large lists are refused and change
    // nothing; a listed universe without room in the array is not held; an
    // empty list returns to the range; unregistered, the array is neither
    // read nor written.
    void rangeAndListChange()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        const int last = protocol == ArtNet ? 65535 : 63998; // the last universe DMX-IN takes
        auto node = makeNode(protocol);
        QByteArray in(2 * 512, 0);
        node->setReceiveBuffer(w8(in), int(in.size()));
        QVERIFY(node->setReceiveUniverses({0, 10, last}));
        QVERIFY(!node->setReceiveUniverse(last + 1));
        for (const QList<int> &refused :
             {QList<int>{5, 3}, QList<int>{3, 3}, QList<int>{-1, 3}, QList<int>{3, last + 1}}) {
            QVERIFY(!node->setReceiveUniverses(refused));
            QVERIFY(!node->setReceiveUniverseBuffer(nullptr, 0, refused));
        }
        QCOMPARE(node->receiveUniverses(), (QList<int>{0, 10, last}));
        inject(dmx(protocol, last, filled(512, 3)));
        quint8 v = 0;
        QVERIFY(!node->getReceivedValue(last, 0, v));
        QCOMPARE(in, QByteArray(1024, 0));
        QVERIFY(node->setReceiveUniverses({}));
        QVERIFY(node->setReceiveUniverse(last - 1));
        inject(dmx(protocol, last, filled(512, 5), -1, 2));
        QVERIFY(node->getReceivedValue(last, 0, v));
        QCOMPARE(in, QByteArray(512, 0) + filled(512, 5));
        node->setReceiveBuffer(nullptr, 0);
        QVERIFY(!node->getReceivedValue(last, 0, v));
        inject(dmx(protocol, last, filled(512, 6), -1, 3));
        QCOMPARE(in, QByteArray(512, 0) + filled(512, 5));
    }
    // A universe that stays through a move keeps its received flag; one that
    // comes starts without; the old array is no longer written.
    void movedArrayKeepsUniverses()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        auto node = makeNode(protocol);
        QByteArray first(2 * 512, 0);
        QVERIFY(node->setReceiveUniverseBuffer(w8(first), int(first.size()), {3, 7}));
        inject(dmx(protocol, 7, filled(512, 9)));
        QByteArray second(3 * 512, 0);
        second.replace(1024, 512, first.mid(512)); // the caller carries the bytes over
        QVERIFY(node->setReceiveUniverseBuffer(w8(second), int(second.size()), {3, 5, 7}));
        QCOMPARE(node->receiveUniverses(), (QList<int>{3, 5, 7}));
        quint8 v = 0;
        QVERIFY(node->getReceivedValue(7, 511, v));
        QCOMPARE(v, quint8(9));
        QVERIFY(!node->getReceivedValue(3, 0, v)); // listed before, nothing arrived
        QVERIFY(!node->getReceivedValue(5, 0, v));
        inject(dmx(protocol, 5, filled(512, 4)));
        inject(dmx(protocol, 3, filled(512, 2)));
        QVERIFY(node->getReceivedValue(5, 0, v));
        QCOMPARE(second, filled(512, 2) + filled(512, 4) + filled(512, 9));
        QCOMPARE(first.left(512), QByteArray(512, 0));
        QVERIFY(node->setReceiveUniverseBuffer(nullptr, 0, {}));
        QVERIFY(!node->getReceivedValue(7, 0, v));
    }
    // The observer sees every universe that arrives, held by DMX-IN or not, at
    // most 512 levels, and may switch itself off.
    void observerSeesEveryUniverse()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        auto node = makeNode(protocol);
        QList<QPair<int, QByteArray>> seen;
        QVERIFY(node->setDmxObserver([&](int universe, const quint8 *levels, int count) {
            seen.append({universe, QByteArray(reinterpret_cast<const char *>(levels), count)});
            if (universe == 7)
                node->setDmxObserver({});
        }));
        QVERIFY(net->socket); // observing opens the socket
        QByteArray in(512, 0);
        QVERIFY(node->setReceiveUniverseBuffer(w8(in), 512, {1}));
        inject(dmx(protocol, 0x0123, filled(3, 5)));
        inject(dmx(protocol, 1, filled(600, 6), 0xFFFF));
        inject(dmx(protocol, 1, filled(4, 8), -1, 2).left(17));
        inject(dmx(protocol, 7, filled(2, 1)));
        inject(dmx(protocol, 7, filled(2, 2), -1, 2));
        QCOMPARE(seen, (QList<QPair<int, QByteArray>>{
                           {0x0123, filled(3, 5)}, {1, filled(512, 6)}, {7, filled(2, 1)}}));
        QCOMPARE(in, filled(512, 6));
    }
    // A flood is read in passes of the event loop, and nothing of it is lost.
    void floodReadInPasses()
    {
        QFETCH_GLOBAL(Protocol, protocol);
        auto node = makeNode(protocol);
        QByteArray in(512, 0);
        node->setReceiveBuffer(w8(in), int(in.size()));
        const int flood = MAX_DATAGRAMS_PER_PASS + 100;
        for (int i = 0; i < flood; ++i)
            net->socket->incoming.append({QByteArray("short"), PEER});
        emit net->socket->readyRead();
        QCOMPARE(node->droppedDatagrams().total(), quint64(MAX_DATAGRAMS_PER_PASS));
        QTRY_COMPARE(node->droppedDatagrams().total(), quint64(flood));
        QVERIFY(net->socket->incoming.isEmpty());
    }

private:
    std::unique_ptr<DmxNode> makeNode(Protocol p)
    {
        if (p == ArtNet)
            return std::make_unique<artnet>(false, net->env());
        auto node = std::make_unique<acnnet>(net->env());
        node->setCid(QUuid("{5a0e3f1c-7b2d-4e55-9c3a-1d2e3f405162}"));
        return node;
    }
    void inject(const QByteArray &datagram) { net->socket->inject(datagram, PEER); }

    QScopedPointer<FakeNet> net;
};

QTEST_GUILESS_MAIN(TestDmxNode)
#include "tst_dmxnode.moc"
