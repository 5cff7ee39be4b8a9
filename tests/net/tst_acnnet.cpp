// The streaming ACN node over a fake socket, fixed interface lists and a
// clock moved by hand: what is its own (packets, termination, multicast
// groups, sources); what both nodes do alike is in tst_dmxnode.
#include "net/acnnet.h"
#include "net/acnpacket.h"
#include "net/acnsourceid.h"
#include "tests/net/fakenet.h"

#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QHostAddress PEER("10.0.0.7");
const QUuid OUR_CID("{5a0e3f1c-7b2d-4e55-9c3a-1d2e3f405162}");

int be16(const QByteArray &p, int offset)
{
    return quint8(p[offset]) << 8 | quint8(p[offset + 1]);
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
QStringList lanGroups(QList<int> wires)
{
    std::sort(wires.begin(), wires.end());
    wires.erase(std::unique(wires.begin(), wires.end()), wires.end());
    QStringList out;
    for (int wire : wires)
        for (const char *local : {"192.168.1.10", "10.0.0.3"})
            out << MulticastGroups::group(wire).toString() + "@" + local;
    out.sort();
    return out;
}

} // namespace

Q_DECLARE_METATYPE(DropReason)

class TestAcnnet : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        net.reset(new FakeNet);
        net->useLan();
        reports.clear();
    }

    void goldenPacket()
    {
        auto node = makeNode();
        node->setSourceName(QString(70, 'x'));
        node->setSourceName("Pultora");
        QByteArray data(512, 0);
        for (int i = 0; i < 512; ++i)
            data[i] = char(i * 7);
        QCOMPARE(sendUniverse(*node, 0, data), 1);
        QCOMPARE(net->socket->boundPort, quint16(5568));
        const FakeSocket::Sent &s = net->socket->sent.last(); // after the same numbered 129
        QCOMPARE(s.destination, QHostAddress("239.255.0.1"));
        QCOMPARE(s.port, quint16(5568));
        // The encoder's packet (its golden bytes: tst_netpackets) with our CID,
        // name and the universe's first number.
        const QByteArray cid = OUR_CID.toRfc4122();
        const quint8 name[64] = {'P', 'u', 'l', 't', 'o', 'r', 'a'};
        acnpacket::Header h;
        h.cid = u8(cid);
        h.sourceName = name;
        h.sequence = 1;
        h.universe = 1;
        QByteArray expected(acnpacket::MAX_SIZE, 0);
        acnpacket::encodeData(w8(expected), 638, h, u8(data), 512);
        QCOMPARE(s.data, expected);
        // A name or CID changed at runtime reaches the next packet and the
        // repeats, though the length stays.
        node->setSourceName(QString(100, 'y')); // 63 characters and the terminating zero
        sendUniverse(*node, 0, data);
        QCOMPARE(net->socket->sent.last().data.mid(44, 64), QByteArray(63, 'y') + QByteArray(1, 0));
        node->setCid(QUuid("{00000000-0000-0000-0000-0000000000aa}"));
        sendUniverse(*node, 0, data);
        QCOMPARE(net->socket->sent.last().data.mid(22, 16), QByteArray(15, 0) + char(0xaa));
        node->setCid(OUR_CID);
        net->now += 500;
        node->sendDataTimeout();
        QCOMPARE(net->socket->sent.last().data.mid(22, 16), cid);
        QCOMPARE(quint8(net->socket->sent.last().data[111]), quint8(4));
    }

    // Each universe goes to its own group, or to the loopback net without a LAN.
    void destinations()
    {
        for (const auto &[loopbackOnly, universe, destination] :
             {std::tuple{false, 63998, "239.255.249.255"}, {true, 0x0122, "127.255.1.35"}}) {
            if (loopbackOnly)
                net->useLoopbackOnly();
            auto node = makeNode();
            QCOMPARE(sendUniverse(*node, universe, filled(24, 1)), 1);
            QCOMPARE(net->socket->sent.last().destination, QHostAddress(destination));
            QCOMPARE(be16(net->socket->sent.last().data, 113), universe + 1);
            QCOMPARE(node->destination(universe + 1), QHostAddress(destination));
        }
    }

    void stoppedUniversesTerminate()
    {
        auto node = makeNode();
        const QByteArray a = filled(24, 5);
        sendUniverse(*node, 0, a);
        sendUniverse(*node, 3, a);
        QCOMPARE(node->sendingUniverses(), (QList<int>{0, 3}));
        QVERIFY(!node->stopSending(7));
        auto &sent = net->socket->sent;
        sent.clear();
        QVERIFY(node->stopSending(0));
        QVERIFY(!node->stopSending(0));
        QCOMPARE(sent.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(quint8(sent[i].data[112]), acnpacket::OPTION_STREAM_TERMINATED);
            QCOMPARE(int(quint8(sent[i].data[111])), 2 + i);
            QCOMPARE(sent[i].data.mid(126), a);
            QCOMPARE(sent[i].destination, QHostAddress("239.255.0.1"));
        }
        net->now += 1000;
        node->sendDataTimeout();
        QCOMPARE(sent.size(), 4); // only universe 3 is kept alive
        QCOMPARE(be16(sent.last().data, 113), 4);
        // Stream_Terminated that does not leave is a send failure; the
        // universe stops all the same.
        sendUniverse(*node, 5, a);
        net->socket->failSends = true;
        QTest::ignoreMessage(QtWarningMsg, "sACN DMX not sent: ending universe 6: 3 of 3 "
                                           "Stream_Terminated packets to 239.255.0.6 failed");
        QVERIFY(!node->stopSending(5));
        QVERIFY(node->lastSendError().startsWith("ending universe 6:"));
        QCOMPARE(node->sendingUniverses(), QList<int>{3});
        net->socket->failSends = false;
        QList<FakeSocket::Sent> last;
        net->socket->sentLog = &last;
        node.reset(); // quitting lets go of the rest
        QCOMPARE(last.size(), 3);
        QCOMPARE(be16(last.first().data, 113), 4);
        QCOMPARE(quint8(last.last().data[112]), acnpacket::OPTION_STREAM_TERMINATED);
    }

    void membershipsFollowDmxIn_data()
    {
        // Steps: "range B" (array of 3, base B), "list U,U..." (array and list in
        // one step), "list-only U,U" (list without a new array), "observe U,U",
        // "send U", "stop U", "unregister". Universes are 0-based.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("wires"); // groups joined in the end
        QTest::addColumn<int>("lastCalls");    // membership calls of the last step; -1: any
        const auto row = [](const char *name, const QStringList &steps, const QList<int> &wires,
                            int lastCalls) { QTest::newRow(name) << steps << wires << lastCalls; };
        row("range", {"range 2"}, {3, 4, 5}, 6);
        row("range moves", {"range 2", "range 10"}, {11, 12, 13}, -1);
        row("list", {"list 0,60000"}, {1, 60001}, 4);
        row("list before array", {"list-only 7,40000", "list 7,40000"}, {8, 40001}, 4);
        row("moved array: only changes", {"list 0,4", "list 4,9"}, {5, 10}, 4);
        row("same list, new array", {"list 4,9", "list 4,9"}, {5, 10}, 0);
        row("refused list keeps groups", {"list 0,4", "list 4,63999"}, {1, 5}, 0);
        row("back to a range", {"list 4,9", "list-only -", "range 2"}, {3, 4, 5}, 6);
        row("unregister", {"list 0,4", "unregister"}, {}, 4);
        row("observer beside DMX-IN", {"list 2,3", "observe 3,0,1,2,2,-1,63999"}, {1, 2, 3, 4}, 4);
        row("observer stays when DMX-IN moves", {"list 2,3", "observe 0,1,2,3", "list 0,9"},
            {1, 2, 3, 4, 10}, -1);
        row("observer stays when DMX-IN goes", {"list 2,3", "observe 0,1,2,3", "unregister"},
            {1, 2, 3, 4}, -1);
        row("observer off", {"list 2,3", "observe 0,1,2,3", "observe -"}, {3, 4}, 4);
        row("sent universe watched", {"send 6"}, {7}, 2);
        row("sent universe also held", {"list 2,6", "send 6", "stop 6"}, {3, 7}, 0);
        row("held universe also sent", {"send 6", "list 2,6", "unregister"}, {7}, 2);
    }

    // Whatever DMX-IN, the observer and sending do, no group is joined twice or
    // left unjoined, each keeps the groups it needs, and a change touches only
    // the groups that come or go.
    void membershipsFollowDmxIn()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, wires);
        QFETCH(int, lastCalls);
        auto node = makeNode();
        std::list<QByteArray> arrays; // the node may still point at an earlier one
        const QByteArray data = filled(24, 1);
        int callsBefore = 0;
        for (const QString &step : std::as_const(steps)) {
            const QString what = step.section(' ', 0, 0);
            const QString arg = step.section(' ', 1);
            QList<int> list;
            if (arg != "-")
                for (const QString &u : arg.split(',', Qt::SkipEmptyParts))
                    list << u.toInt();
            callsBefore = net->socket ? int(net->socket->memberships.size()) : 0;
            if (what == "range") {
                arrays.emplace_back(3 * 512, 0);
                node->setReceiveBuffer(w8(arrays.back()), 3 * 512, 512);
                QVERIFY(node->setReceiveUniverse(list.first()));
            } else if (what == "list") {
                arrays.emplace_back(int(list.size()) * 512, 0);
                node->setReceiveUniverseBuffer(w8(arrays.back()), int(arrays.back().size()), list);
            } else if (what == "list-only") {
                QVERIFY(node->setReceiveUniverses(list));
            } else if (what == "observe") {
                QVERIFY(node->setObservedUniverses(list));
            } else if (what == "send") {
                sendUniverse(*node, list.first(), data);
            } else if (what == "stop") {
                QVERIFY(node->stopSending(list.first()));
            } else {
                node->setReceiveBuffer(nullptr, 0, 512);
            }
        }
        bool sound = false;
        QCOMPARE(replayMemberships(*net->socket, &sound), lanGroups(wires));
        QVERIFY(sound);
        if (lastCalls >= 0)
            QCOMPARE(int(net->socket->memberships.size()) - callsBefore, lastCalls);
        QVERIFY(node->membershipsOk());
        QVERIFY(reports.isEmpty());
    }

    void refusedGroupReportedOnce()
    {
        auto node = makeNode();
        sendUniverse(*node, 30, filled(24, 1)); // opens the socket
        net->socket->failMemberships = true;
        QByteArray in(2 * 512, 0);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("refused to listen to universe 1, 5;"));
        node->setReceiveUniverseBuffer(w8(in), in.size(), {0, 4});
        QVERIFY(!node->membershipsOk());
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.first().contains("universe 1, 5"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused to listen to universe 10;"));
        node->setReceiveUniverseBuffer(w8(in), in.size(), {4, 9});
        QCOMPARE(reports.size(), 2); // 10 is new; 5 was said
        QVERIFY(reports.last().contains("universe 10;"));
        net->socket->inject(e131(5, filled(512, 4)), PEER);
        QCOMPARE(in.left(512), filled(512, 4)); // unicast still arrives
    }

    void dropsCountedByReason_data()
    {
        QTest::addColumn<int>("cut");    // bytes kept, -1: all
        QTest::addColumn<int>("offset"); // byte changed, -1: none
        QTest::addColumn<int>("value");
        QTest::addColumn<DropReason>("reason");
        using R = DropReason;
        QTest::newRow("header cut") << 125 << -1 << 0 << R::TooShort;
        QTest::newRow("preamble") << -1 << 1 << 0x20 << R::BadPreamble;
        QTest::newRow("post-amble size") << -1 << 3 << 0x01 << R::BadPreamble;
        QTest::newRow("identifier") << -1 << 4 << int('a') << R::BadIdentifier;
        QTest::newRow("identifier padding") << -1 << 15 << 1 << R::BadIdentifier;
        QTest::newRow("root flags") << -1 << 16 << 0x62 << R::BadFlags;
        QTest::newRow("root vector 9") << -1 << 21 << 9 << R::BadRootVector;
        QTest::newRow("root vector high byte") << -1 << 18 << 0x01 << R::BadRootVector;
        QTest::newRow("framing vector 1") << -1 << 43 << 1 << R::BadFramingVector;
        QTest::newRow("wire universe 0") << -1 << 114 << 0 << R::BadUniverse;
        QTest::newRow("wire universe 64001") << -1 << 113 << 0xFA << R::BadUniverse;
        QTest::newRow("DMP vector") << -1 << 117 << 1 << R::BadDmpVector;
        QTest::newRow("address type") << -1 << 118 << 0xA0 << R::BadAddressing;
        QTest::newRow("first address") << -1 << 120 << 0x01 << R::BadAddressing;
        QTest::newRow("address increment") << -1 << 122 << 0x02 << R::BadAddressing;
        QTest::newRow("value count 0") << -1 << 123 << 0 << R::BadValueCount;
        QTest::newRow("START code 0xDD") << -1 << 125 << 0xDD << R::NonZeroStartCode;
        QTest::newRow("START code 0xCC (RDM)") << -1 << 125 << 0xCC << R::NonZeroStartCode;
    }

    void dropsCountedByReason()
    {
        QFETCH(int, cut);
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(DropReason, reason);
        auto node = makeNode();
        QByteArray in(2 * 512, 0);
        QVERIFY(node->setReceiveUniverseBuffer(w8(in), in.size(), {0, 60000}));
        QByteArray p = e131(1, filled(512, 9));
        if (offset == 123)
            p[124] = 0; // the count is two bytes
        if (offset >= 0)
            p[offset] = char(value);
        if (cut >= 0)
            p.truncate(cut);
        net->socket->inject(p, PEER);
        QCOMPARE(node->droppedDatagrams().count(reason), quint64(1));
        QCOMPARE(node->droppedDatagrams().total(), quint64(1));
        QCOMPARE(in, QByteArray(2 * 512, 0));
        net->socket->inject(e131(1, filled(512, 9)), PEER);
        QCOMPARE(node->droppedDatagrams().total(), quint64(1));
        QCOMPARE(in.left(512), filled(512, 9));
    }

    // What DMX-IN and the observer see is the merged universe (the rules
    // themselves: tst_acnmerge).
    void sourcesMerged()
    {
        auto node = makeNode();
        QByteArray in(512, 0);
        QVERIFY(node->setReceiveUniverseBuffer(w8(in), in.size(), {0}));
        QList<int> observed;
        node->setDmxObserver([&](int, const quint8 *levels, int) { observed << levels[0]; });
        auto send = [&](quint8 seq, char source, quint8 priority, char level, quint8 options = 0) {
            net->socket->inject(e131(1, filled(512, level), seq, source, priority, options), PEER);
            net->now += 100;
        };
        send(1, 'a', 150, 15);
        send(1, 'b', 50, 5); // held below
        send(2, 'a', 150, 16);
        send(1, 'a', 150, 99); // late
        send(2, 'b', 50, 6, acnpacket::OPTION_PREVIEW);
        QCOMPARE(in, filled(512, 16));
        net->now += 2500;
        send(3, 'b', 50, 7); // a is lost
        QCOMPARE(in, filled(512, 7));
        send(3, 'a', 50, 9); // back, equal priority: highest level wins
        QCOMPARE(in, filled(512, 9));
        send(4, 'a', 50, 9, acnpacket::OPTION_STREAM_TERMINATED);
        QCOMPARE(in, filled(512, 7));
        QCOMPARE(observed, (QList<int>{15, 16, 7, 9, 7}));
    }

    void secondSourceReportedOnce()
    {
        auto node = makeNode();
        sendUniverse(*node, 0, filled(24, 1));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("universe 1 is also sent by \"peer\" at 10.0.0.7"));
        QTest::failOnWarning(QRegularExpression("also sent by"));
        QByteArray own = net->socket->sent.first().data;
        net->socket->inject(own, QHostAddress("192.168.1.10")); // our own, back from the group
        net->socket->inject(e131(2, filled(24, 1)), PEER);      // a universe we do not send
        for (quint8 seq = 1; seq < 4; ++seq)
            net->socket->inject(e131(1, filled(24, 1), seq), PEER);
        net->socket->inject(e131(1, filled(24, 1), 5, 'p', 100, acnpacket::OPTION_PREVIEW), PEER);
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.first().contains("universe 1 is also sent by \"peer\""));
        QCOMPARE(node->droppedDatagrams().total(), quint64(5)); // ours is not counted
    }

    // A console killed and restarted within 2.5 s, whatever its last number: a strict
    // receiver takes the new run at once (only the first copy, numbered 129, can be late).
    void restartTakenAtOnce()
    {
        for (int last = 0; last < 256; ++last) {
            auto node = makeNode();
            sendUniverse(*node, 0, filled(24, 2));
            sendUniverse(*node, 0, filled(24, 3));
            QString seen = QString::number(last);
            quint8 held = quint8(last);
            for (const FakeSocket::Sent &sent : std::as_const(net->socket->sent)) {
                const quint8 next = quint8(sent.data[acnpacket::SEQUENCE_OFFSET]);
                seen += AcnMerge::isLate(held, next) ? 'L' : 'M';
                held = AcnMerge::isLate(held, next) ? held : next;
            }
            QCOMPARE(seen, QString::number(last) + (last >= 129 && last <= 148 ? "LMM" : "MMM"));
        }
    }

    // Universes sent, sorted, 512 a page, on 64214; such packets that arrive are no faults.
    void discoveryPages()
    {
        auto node = makeNode();
        const QByteArray levels = filled(24, 1);
        std::vector<DmxUniverse> frame;
        for (int u = 600; u >= 88; --u) // 513 universes, wire 601 down to 89
            frame.push_back({u, u8(levels), 24});
        node->sendFrame(frame.data(), int(frame.size()));
        QCOMPARE(node->sendDiscovery(), qint64(1144 + 122));
        QCOMPARE(net->socket->sent.last().destination, QHostAddress("239.255.250.214"));
        // Preamble, post-amble, ACN id, root length 106 and vector (extended), CID;
        // framing length 84 and vector (discovery), source name, reserved; discovery
        // length 10 and vector (universe list), page 1 of 0..1: universe 601.
        QCOMPARE(net->socket->sent.last().data,
                 QByteArray::fromHex("0010 0000 4153432d45312e3137000000 706a 00000008") +
                     OUR_CID.toRfc4122() + QByteArray::fromHex("7054 00000002") +
                     QByteArray("ACN 1.31 by www.pultora.org").leftJustified(68, 0) +
                     QByteArray::fromHex("700a 00000001 0101 0259"));
        net->socket->inject(net->socket->sent.last().data, PEER);
        QCOMPARE(node->droppedDatagrams().total(), quint64(0));
    }

    void sourceIdKeptPerInstallation()
    {
        QTemporaryDir dir;
        const QString fileA = dir.filePath("a.ini");
        QSettings a(fileA, QSettings::IniFormat), b(dir.filePath("b.ini"), QSettings::IniFormat);
        auto first = AcnSourceId::claim(a, dir.path());
        auto alongside = AcnSourceId::claim(a, dir.path()); // a second console, same settings
        auto other = AcnSourceId::claim(b, dir.path());
        const QUuid kept = first->cid();
        QVERIFY(!kept.isNull());
        QCOMPARE(QSet<QUuid>({kept, alongside->cid(), other->cid()}).size(), 3);
        first.reset();
        QCOMPARE(AcnSourceId::claim(a, dir.path())->cid(), kept); // restarted
        QCOMPARE(QUuid(QSettings(fileA, QSettings::IniFormat).value("streamingAcn/cid").toString()),
                 kept);
    }

private:
    QScopedPointer<FakeNet> net;
    QStringList reports;
    std::unique_ptr<acnnet> makeNode()
    {
        auto node = std::make_unique<acnnet>(net->env());
        node->setCid(OUR_CID);
        node->setStatusReporter([this](const QString &line) { reports << line; });
        return node;
    }
};

QTEST_GUILESS_MAIN(TestAcnnet)
#include "tst_acnnet.moc"
