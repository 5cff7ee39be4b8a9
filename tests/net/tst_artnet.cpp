// The Art-Net node over a fake socket, fixed interface lists and a clock
// moved by hand: what is its own (polls and their replies, subscribers,
// sync, time code); what both nodes do alike is in tst_dmxnode.
#include "net/artnet.h"
#include "net/artnetpacket.h"
#include "tests/net/fakenet.h"

#include <QRegularExpression>
#include <QTest>

namespace
{

const QHostAddress BROADCAST_LAN("192.168.1.255");

QByteArray sync(bool madrix, quint16 opcode, quint8 hold)
{
    return QByteArray(madrix ? "MadrixN" : "Art-Net", 8) + char(opcode) + char(opcode >> 8) +
           QByteArray::fromHex("000e") + char(hold) + char(0);
}

QByteArray madrix(const QByteArray &datagram)
{
    return QByteArray("MadrixN", 8) + datagram.mid(8);
}

QByteArray artPoll()
{
    return QByteArray("Art-Net", 8) + QByteArray::fromHex("0020000e0600");
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
    artnetpacket::encodePollReply(w8(r), 240, info);
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
    void init()
    {
        net.reset(new FakeNet);
        net->useLan();
    }

    void firstFramePollsThenBroadcasts()
    {
        artnet node(false, net->env());
        QVERIFY(!net->socket); // no socket before the first need
        const QByteArray data = filled(512, 0x42);
        QCOMPARE(sendUniverse(node, 0x0123, data), 1);
        QCOMPARE(net->socket->boundPort, quint16(6454));
        QCOMPARE(net->socket->sent.size(), 2);
        QCOMPARE(net->socket->sent[0].data, artPoll().left(12) + QByteArray(2, 0));
        const FakeSocket::Sent &s = net->socket->sent[1];
        QCOMPARE(s.destination, BROADCAST_LAN); // broadcast of the first interface
        QCOMPARE(s.port, quint16(6454));
        QCOMPARE(quint8(s.data[12]), quint8(1)); // Sequence
        QCOMPARE(unsequenced(s.data), artDmx(0x0123, data));
        sendUniverse(node, 7, data);
        QCOMPARE(net->socket->sent.size(), 3); // one poll only
    }

    // Shared by default; asked for alone, exclusive first, then shared.
    void sharedOrExclusivePort()
    {
        {
            artnet node(false, net->env());
            QVERIFY(node.setPollReplyEnabled(true));
        }
        net->bindSucceeds = false;
        artnet node(false, net->env());
        node.setShareAddress(false);
        QVERIFY(!node.setPollReplyEnabled(true));
        QVERIFY(!node.isPollReplyEnabled());
        QCOMPARE(net->bindLog, (QList<bool>{true, false, true}));
    }

    void pollAnsweredFromMatchingInterface()
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
        const QByteArray r = s.data; // the fields at their offsets: tst_netpackets
        QCOMPARE(r.size(), 240);
        QCOMPARE(r.mid(8, 14).toHex(), "00210a00000336190008000000ff"); // 10.0.0.3, version, OEM
        QCOMPARE(r.mid(201, 6), QByteArray::fromHex("020000000003"));   // that interface's MAC
        QCOMPARE(r.mid(26, 8) + r.mid(44, 32),
                 QByteArray("Pultora", 8) + QByteArray("Pultora V0.8 by www.pultora.org", 32));
        // Node report "#code [count] text", the count going up with every reply.
        QCOMPARE(r.mid(108, 21), QByteArray("#0001 [0000] Pultora", 21));
        QCOMPARE(net->socket->sent[1].data.mid(108, 13), QByteArray("#0001 [0001] "));
        QCOMPARE(r.mid(173, 5), QByteArray(5, 0)); // no DMX-IN: no ports, no port types
        QCOMPARE(r.mid(207, 5), QByteArray(5, 0)); // no BindIp/BindIndex for one reply

        net->socket->inject(artPoll(), QHostAddress("192.168.1.77"));
        QCOMPARE(net->socket->sent.last().data.mid(10, 4), QByteArray::fromHex("c0a8010a"));
        QCOMPARE(net->socket->sent.last().data.mid(201, 6), QByteArray::fromHex("001122aabbcc"));
        QCOMPARE(node.interfaceDescription(), QStringLiteral("192.168.1.10"));

        // A reply that cannot leave is warned about once per run of failures
        // and is no failure of DMX.
        net->socket->failSends = true;
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^Art-Net: ArtPollReply to 10.0.0.7 not sent"));
        for (int i = 0; i < 2; ++i) {
            net->now += 1000;
            net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
            QTest::failOnWarning(QRegularExpression("not sent"));
        }
        QVERIFY(node.lastSendError().isEmpty());
        net->socket->failSends = false;

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
    void pollReplyPages_data()
    {
        QTest::addColumn<QList<int>>("universes"); // a list; {-n}: a range of n from 0
        QTest::addColumn<QStringList>("pages");    // "NumPorts NetSub SwOut PortTypes BindIndex"
        QTest::newRow("six from 0")
            << QList<int>{-6}
            << QStringList{"4 0000 00010203 80808080 1", "2 0000 04050000 80800000 2"};
        QTest::newRow("receive-ready, no array")
            << QList<int>{} << QStringList{"1 0000 00000000 80000000 0"};
        QTest::newRow("list 0, 60000")
            << QList<int>{0, 60000}
            << QStringList{"1 0000 00000000 80000000 1", "1 6a06 00000000 80000000 2"};
        QTest::newRow("list of runs")
            << QList<int>{1, 2, 3, 4, 5, 20, 31, 32}
            << QStringList{"4 0000 01020304 80808080 1", "1 0000 05000000 80000000 2",
                           "1 0001 04000000 80000000 3", "1 0001 0f000000 80000000 4",
                           "1 0002 00000000 80000000 5"};
    }

    void pollReplyPages()
    {
        QFETCH(QList<int>, universes);
        QFETCH(QStringList, pages);
        artnet node(false, net->env());
        node.setPollReplyEnabled(true);
        const bool range = universes.size() == 1 && universes[0] < 0;
        const int count = range ? -universes[0] : int(universes.size());
        QByteArray in(qMax(1, count) * 512, 0);
        node.setReceiveBuffer(w8(in), in.size(), 512);
        if (range)
            QVERIFY(node.setReceiveUniverse(0));
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
            QCOMPARE(r.mid(207, 4),
                     f[4] == "0" ? QByteArray(4, 0) : QByteArray::fromHex("0a000003"));
        }
    }

    void pollReplyPageLimit()
    {
        artnet node(false, net->env());
        node.setPollReplyEnabled(true);
        QList<int> spread;
        for (int u = 0; u < 300; ++u)
            spread.append(u * 2);
        QByteArray wide(spread.size() * 512, 0);
        node.setReceiveBuffer(w8(wide), wide.size(), 512);
        QVERIFY(node.setReceiveUniverses(spread));
        net->socket->inject(artPoll(), QHostAddress("10.0.0.7"));
        QCOMPARE(net->socket->sent.size(), 255);
        QCOMPARE(quint8(net->socket->sent.last().data[211]), quint8(255));
    }

    // Scripts of polls against a clock moved by hand: "ms:first+count" polls
    // from `count` pollers numbered from `first`, and how many were answered.
    void pollReplyLimits_data()
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

    void pollReplyLimits()
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
                yes +=
                    limit.allow(quint32(0x0A000000 + f[1].toInt() + i), f[0].toLongLong()) ? 1 : 0;
            counts << QString::number(yes);
            most = qMax(most, limit.pollerCount());
        }
        QCOMPARE(counts.join(' '), answered);
        QCOMPARE(limit.pollerCount(), pollers);
        QVERIFY(most <= PollReplyLimit::MAX_POLLERS);
    }

    // Who gets universe 5 after the replies a poll brought.
    void unicastToSubscribers_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("alwaysBroadcast");
        QTest::addColumn<QStringList>("targets");
        const QByteArray a = pollReply("10.0.0.20", 0, 0, {{0x80, 0x05}});
        const QByteArray b = pollReply("192.168.1.30", 0, 0, {{0x80, 0x04}, {0x80, 0x05}});
        const QStringList broadcast{"192.168.1.255"};
        const auto row = [](const char *name, const QList<QByteArray> &replies,
                            const QStringList &targets, const char *from = "10.0.0.99",
                            bool alwaysBroadcast = false) {
            QTest::newRow(name) << replies << QString(from) << alwaysBroadcast << targets;
        };
        row("nobody", {}, broadcast);
        row("one subscriber", {a}, {"10.0.0.20"});
        row("two subscribers", {a, b, a}, {"10.0.0.20", "192.168.1.30"});
        row("always broadcast", {a}, broadcast, "10.0.0.99", true);
        row("SwOut read by its low nibble", {pollReply("10.0.0.21", 0, 0, {{0x80, 0x15}})},
            {"10.0.0.21"});
        row("Sub-Net 1 is universe 21", {pollReply("10.0.0.21", 0, 1, {{0x80, 0x05}})}, broadcast);
        row("an input port does not subscribe", {pollReply("10.0.0.22", 0, 0, {{0x40, 0x05}})},
            broadcast);
        row("our own reply", {pollReply("10.0.0.3", 0, 0, {{0x80, 0x05}})}, broadcast);
        row("a reply from our own address", {a}, broadcast, "10.0.0.3");
        row("truncated reply", {a.left(190)}, broadcast);
    }

    void unicastToSubscribers()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QString, from);
        QFETCH(bool, alwaysBroadcast);
        QFETCH(QStringList, targets);
        artnet node(false, net->env());
        node.setAlwaysBroadcast(alwaysBroadcast);
        const QByteArray data = filled(512, 3);
        sendUniverse(node, 9, data); // polls
        for (const QByteArray &reply : replies)
            net->socket->inject(reply, QHostAddress(from));
        auto &sent = net->socket->sent;
        sent.clear();
        QCOMPARE(sendUniverse(node, 5, data), 1);
        net->now += 500;
        node.sendDataTimeout(); // universes 9 and 5 repeat
        QStringList got;
        for (const FakeSocket::Sent &s : sent)
            if (quint8(s.data[14]) == 5)
                got << s.destination.toString();
        QCOMPARE(got, targets + targets);
    }

    // Polls every 2.5 s once sending; subscribers that stop answering expire.
    void pollAndExpiry()
    {
        artnet node(false, net->env());
        QVERIFY(!node.pollIfDue()); // nothing sent yet: no poll
        const QByteArray data = filled(512, 3);
        sendUniverse(node, 5, data);
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
        sendUniverse(node, 5, data);
        QCOMPARE(net->socket->sent.last().destination, BROADCAST_LAN);
    }

    // ArtDmx from another address on a universe we send: one warning and one
    // notice per universe and sender; our own echo and other universes: none.
    void otherSenderReportedOnce()
    {
        artnet node(false, net->env());
        QStringList notices;
        node.setNoticeHandler([&](const QString &text) { notices << text; });
        QVERIFY(node.setPollReplyEnabled(true));
        const QByteArray data = filled(512, 3);
        sendUniverse(node, 5, data);
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

    void dropsCountedByReason_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<DropReason>("reason");
        const QByteArray dmx = artDmx(3, filled(512, 9));
        QTest::newRow("shorter than any header") << dmx.left(12) << DropReason::TooShort;
        QTest::newRow("identifier") << "a" + dmx.mid(1) << DropReason::BadIdentifier;
        QTest::newRow("opcode 0x6000")
            << dmx.left(9) + '\x60' + dmx.mid(10) << DropReason::UnknownOpcode;
        QTest::newRow("MadrixN ArtDmx") << madrix(dmx) << DropReason::UnknownOpcode;
    }

    void dropsCountedByReason()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(DropReason, reason);
        artnet node(false, net->env());
        QByteArray in(2 * 512, 0);
        QVERIFY(node.setReceiveUniverseBuffer(w8(in), in.size(), {3, 300}));
        const QHostAddress sender("10.0.0.7");
        net->socket->inject(datagram, sender);
        QCOMPARE(node.droppedDatagrams().count(reason), quint64(1));
        QCOMPARE(node.droppedDatagrams().total(), quint64(1));
        QCOMPARE(in, QByteArray(2 * 512, 0));
        // Whatever is used counts nothing.
        net->socket->inject(artDmx(3, filled(512, 9)), sender);
        net->socket->inject(sync(false, 0x5202, 0), sender);
        net->socket->inject(artPoll(), sender);
        QCOMPARE(node.droppedDatagrams().total(), quint64(1));
        QCOMPARE(in.left(512), filled(512, 9));
    }

    void syncHold()
    {
        artnet node(false, net->env());
        QByteArray in(2 * 512, 0);
        node.setReceiveBuffer(w8(in), in.size(), 512);
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
        net->socket->inject(madrix(artDmx(0, filled(512, 2))), from);
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

        // A frame held moves along with the array, which keeps the bytes the
        // caller carried over until the sync; the observer saw it arrive.
        QList<int> seen;
        node.setDmxObserver([&](int, const quint8 *levels, int) { seen << levels[0]; });
        net->socket->inject(sync(false, 0x5202, 1), from);
        net->socket->inject(artDmx(1, filled(512, 6)), from);
        QByteArray moved = QByteArray(512, 0) + in.mid(512);
        QVERIFY(node.setReceiveUniverseBuffer(w8(moved), moved.size(), {0, 1}));
        QCOMPARE(moved.mid(512), filled(512, 4));
        net->now += 20;
        net->socket->inject(sync(false, 0x5202, 1), from);
        QCOMPARE(moved.mid(512), filled(512, 6));
        QCOMPARE(seen, QList<int>{6});
    }

    void timeCode()
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

private:
    QScopedPointer<FakeNet> net;
};

QTEST_GUILESS_MAIN(TestArtnet)
#include "tst_artnet.moc"
