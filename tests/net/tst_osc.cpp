// OSC: encoder golden bytes and bundle splits, the decoder on hostile
// datagrams (each drop reason, nothing delivered of a malformed bundle), the
// address pattern rules, and the node: one bundle per target and pass, plain
// targets, names resolved later, refused hosts, listening on loopback.
#include "net/oscnode.h"
#include "net/oscpacket.h"
#include "net/oscpattern.h"
#include "tests/net/fakenet.h"

#include <QElapsedTimer>
#include <QTest>
#include <QUdpSocket>

namespace
{

using oscpacket::Value;

QByteArray str(const QByteArray &s)
{
    return s + QByteArray(4 - s.size() % 4, '\0');
}

QByteArray be32(quint32 v)
{
    return QByteArray::fromHex(QByteArray::number(v, 16).rightJustified(8, '0'));
}

QByteArray msg(const QByteArray &address, const QByteArray &tags, const QByteArray &args = {})
{
    return str(address) + str(tags) + args;
}

QByteArray bundle(const QList<QByteArray> &elements)
{
    QByteArray b = QByteArray("#bundle", 8) + be32(0) + be32(1);
    for (const QByteArray &e : elements)
        b += be32(quint32(e.size())) + e;
    return b;
}

// "address kind number; ..." of what a datagram delivers.
QString decoded(const QByteArray &datagram, int *why)
{
    QStringList out;
    DropReason reason = DropReason::TooShort;
    const bool ok = oscpacket::decode(
        datagram.constData(), int(datagram.size()),
        [&out](const oscpacket::Message &m) {
            const char *kinds = "-fiTF";
            out << QString::fromLatin1(m.address.toByteArray()) + ' ' + kinds[m.value.kind] +
                       (m.value.kind == Value::Float || m.value.kind == Value::Int
                            ? QString::number(m.value.number)
                            : QString());
        },
        &reason);
    *why = ok ? -1 : int(reason);
    return out.join("; ");
}

} // namespace

class TestOsc : public QObject
{
    Q_OBJECT
private slots:
    void encodeGolden()
    {
        const QByteArray f = oscpacket::message("/a", 1.0f);
        QCOMPARE(f, QByteArray::fromHex("2f610000 2c660000 3f800000"));
        const QByteArray i = oscpacket::message("/ch/12", qint32(-2));
        QCOMPARE(i, QByteArray::fromHex("2f63682f31320000 2c690000 fffffffe"));
        QCOMPARE(oscpacket::bundles({f, i}),
                 QList<QByteArray>{QByteArray::fromHex("2362756e646c6500 0000000000000001"
                                                       "0000000c") +
                                   f + be32(16) + i});
    }

    void bundleSplit_data()
    {
        QTest::addColumn<QList<int>>("messageSizes");
        QTest::addColumn<int>("maxSize");
        QTest::addColumn<QList<int>>("datagramSizes"); // negative: a plain message
        const QList<int> twenty(20, 100);
        // 16 + 13 * 104 = 1368; a fourteenth would make 1472.
        QTest::newRow("1400 split") << twenty << 1400 << QList<int>{1368, 744};
        QTest::newRow("exact fit") << QList<int>{100, 100, 100} << 224 << QList<int>{224, 120};
        QTest::newRow("too big alone")
            << QList<int>{100, 1384, 100} << 1400 << QList<int>{120, -1384, 120};
        QTest::newRow("big one fits") << QList<int>{1380} << 1400 << QList<int>{1400};
    }
    void bundleSplit()
    {
        QFETCH(QList<int>, messageSizes);
        QFETCH(int, maxSize);
        QFETCH(QList<int>, datagramSizes);
        QList<QByteArray> messages;
        QStringList sent;
        for (int size : messageSizes) {
            // "/N" and x's up to the message size asked for.
            const QByteArray address =
                '/' + QByteArray::number(messages.size()).leftJustified(size - 8 - 1 - 4, 'x');
            messages << oscpacket::message(address, qint32(messages.size()));
            QCOMPARE(messages.last().size(), size);
            sent << QString::fromLatin1(address) + " i" + QString::number(messages.size() - 1);
        }
        const QList<QByteArray> out = oscpacket::bundles(messages, maxSize);
        QList<int> sizes;
        QStringList received;
        for (const QByteArray &d : out) {
            sizes << (d.startsWith('#') ? 1 : -1) * int(d.size());
            int why;
            received << decoded(d, &why);
            QCOMPARE(why, -1);
        }
        QCOMPARE(sizes, datagramSizes);
        QCOMPARE(received.join("; "), sent.join("; ")); // all of them, in order
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<int>("drop"); // -1: accepted
        const QByteArray one = be32(0x3f800000);
        const QByteArray a = msg("/a", ",f", one), b = msg("/b", ",i", be32(2));
        QByteArray deep8 = msg("/deep", ",T"), deep9;
        for (int i = 0; i < 8; ++i)
            deep8 = bundle({deep8});
        deep9 = bundle({deep8});
        auto row = [](const char *name, const QByteArray &d, const QString &m, int why = -1) {
            QTest::newRow(name) << d << m << why;
        };
        auto drop = [&row](const char *name, const QByteArray &d, DropReason why) {
            row(name, d, QString(), int(why));
        };
        row("float", a, "/a f1");
        row("int", msg("/i", ",i", be32(quint32(-7))), "/i i-7");
        row("true", msg("/t", ",TF"), "/t T");
        row("false, then an int", msg("/t", ",Fi", be32(1)), "/t F");
        row("int64 first", msg("/h", ",h", be32(0) + be32(5)), "/h i5");
        row("double first", msg("/d", ",d", QByteArray::fromHex("3fe0000000000000")), "/d f0.5");
        row("string first", msg("/s", ",sf", str("hi") + one), "/s -");
        row("no type tags", str("/old"), "/old -");
        row("every tag skipped",
            msg("/x", ",fsSbhtdcrmTFNI[i]",
                one + str("s") + str("S") + be32(5) + str("blob") + QByteArray(16, 1) +
                    QByteArray(8, 2) + be32(1) + be32(2) + be32(3) + be32(4)),
            "/x f1");
        row("bundle in order", bundle({a, b, a}), "/a f1; /b i2; /a f1");
        row("empty bundle", bundle({}), "");
        row("8 deep", deep8, "/deep T");
        drop("9 deep", deep9, DropReason::OscTooDeep);
        drop("bad one in a bundle", bundle({a, b, msg("/c", ",q")}), DropReason::OscBadTypeTag);
        drop("padding not NUL", a.left(3) + "x" + a.mid(4), DropReason::OscBadPadding);
        drop("size not of 4", a + "x", DropReason::OscBadPadding);
        drop("bytes past the arguments", a + be32(0), DropReason::OscBadPadding);
        drop("blob padding", msg("/x", ",b", be32(1) + QByteArray("b\1\0\0", 4)),
             DropReason::OscBadPadding);
        drop("unknown tag", msg("/x", ",fq", one), DropReason::OscBadTypeTag);
        drop("no comma", msg("/x", "f", one), DropReason::OscBadTypeTag);
        drop("array not closed", msg("/x", ",[i", be32(1)), DropReason::OscBadTypeTag);
        drop("array not opened", msg("/x", ",i]", be32(1)), DropReason::OscBadTypeTag);
        drop("string cut", QByteArray("/abc"), DropReason::OscTruncated);
        drop("argument cut", msg("/x", ",ii", be32(1)), DropReason::OscTruncated);
        drop("blob cut", msg("/x", ",b", be32(9) + "12345678"), DropReason::OscTruncated);
        drop("element past the end", bundle({a}).chopped(4), DropReason::OscTruncated);
        drop("element size 0", bundle({}) + be32(0), DropReason::OscBadPadding);
        drop("element size odd", bundle({}) + be32(6) + a, DropReason::OscBadPadding);
        drop("bundle cut", QByteArray("#bundle", 8) + be32(0), DropReason::OscTruncated);
        drop("no slash", msg("x", ",f", one), DropReason::OscBadAddress);
        drop("empty", QByteArray(), DropReason::OscTruncated);
        drop("oversized", msg("/x", ",b", be32(8184) + QByteArray(8184, 0)),
             DropReason::OscOversized);
        row("largest", msg("/x", ",b", be32(8180) + QByteArray(8180, 0)), "/x -");
    }
    void decode()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, messages);
        QFETCH(int, drop);
        int why = -2;
        QCOMPARE(decoded(datagram, &why), messages);
        QCOMPARE(why, drop);
    }

    void pattern_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QString>("result");
        auto row = [](const char *p, const char *a, const char *r) {
            QTest::addRow("%s %s", p, a) << QByteArray(p) << QByteArray(a) << QString(r);
        };
        row("/a/b", "/a/b", "match");
        row("/a/b", "/a/c", "no");
        row("/a/?", "/a/b", "match");
        row("/a/?", "/a/bc", "no");
        row("/a*", "/abc", "match");
        row("/a*", "/a", "match");
        row("/*", "/a/b", "no"); // '*' stays within its part
        row("/*/b", "/a/b", "match");
        row("/a*c", "/abbbc", "match");
        row("/a*c", "/abcd", "no");
        row("/[abc]", "/b", "match");
        row("/[a-c]x", "/bx", "match");
        row("/[a-c]", "/-", "no");
        row("/[!a-c]", "/b", "no");
        row("/[!a-c]", "/d", "match");
        row("/[-a]", "/-", "match");
        row("/[a-]", "/-", "match");
        row("/{foo,bar}/x", "/bar/x", "match");
        row("/{foo,bar}", "/baz", "no");
        row("/{fo,foo}o", "/fooo", "match"); // the first alternative fails later on
        row("/a", "/a/b", "no");
        row("/a/b", "/a", "no");
        row("/*/*", "/a", "no");
        for (const char *bad :
             {"a", "/", "/a//b", "/a/", "/[ab", "/{a,b", "/a]", "/a}", "/[a{b]", "/{a[b}", "/{a*}",
              "/[]", "/[!]", "/a b", "/#a", "/[a/b]", "/a,b", "/a\x7f"})
            row(bad, "/a", "malformed");
        const QByteArray as(2000, 'a');
        QTest::newRow("backtracking, long")
            << QByteArray("/*a*a*a*a*a*a*a*a*b") << '/' + as << QString("no or steps");
        QTest::newRow("backtracking, short")
            << QByteArray("/*a*a*a*a*a*a*a*a*b") << '/' + as.left(40) << QString("no");
    }
    void pattern()
    {
        QFETCH(QByteArray, pattern);
        QFETCH(QByteArray, address);
        QFETCH(QString, result);
        using R = oscpattern::MatchResult;
        QElapsedTimer timer;
        timer.start();
        const R r = oscpattern::match(pattern, address);
        if (result.endsWith("steps"))
            qDebug() << "took" << timer.nsecsElapsed() / 1000 << "us";
        const QString got = r == R::Match       ? "match"
                            : r == R::NoMatch   ? "no"
                            : r == R::Malformed ? "malformed"
                                                : "steps";
        if (result == "no or steps")
            QVERIFY(got == "no" || got == "steps");
        else
            QCOMPARE(got, result);
        QCOMPARE(oscpattern::isValidPattern(pattern), result != "malformed");
    }

    // One received pattern checked once and tried on address after address:
    // nothing of one attempt carries over into the next.
    void patternReused()
    {
        using R = oscpattern::MatchResult;
        const oscpattern::Pattern p("/f/*a*b/[0-9]");
        const std::pair<const char *, R> rows[] = {{"/f/aaaaaaaaaaaaaaac/1", R::NoMatch},
                                                   {"/f/ab/1", R::Match},
                                                   {"/f/xaxb/x", R::NoMatch},
                                                   {"/f/ab", R::NoMatch},
                                                   {"/f/aab/9", R::Match}};
        for (const auto &[address, result] : rows)
            QCOMPARE(int(p.match(address)), int(result));
    }

    void literal()
    {
        for (const char *p : {"/a/b", "/fader/12"})
            QVERIFY(oscpattern::isLiteral(p));
        for (const char *p : {"/a/?", "/*", "/[ab]", "/{a,b}"})
            QVERIFY(!oscpattern::isLiteral(p));
    }

    // Messages of one pass to one target: bundled unless the target is plain.
    // Pass after pass on one node, its buffers reused: each pass sends just
    // its own messages, bundled or plain as the target is set now, also when
    // that setting goes back.
    void sendPassAfterPass()
    {
        FakeNet net;
        OscNode node(net.env());
        const std::pair<const char *, int> passes[] = {
            {"", 300}, {"", 1}, {"10.0.0.5:9000", 3}, {"10.0.0.5:9001", 2}, {"10.0.0.5:9000", 1}};
        for (const auto &[plain, messages] : passes) {
            node.setPlainTargets(QString(plain).split(',', Qt::SkipEmptyParts));
            QList<QByteArray> expected, sent;
            for (int i = 0; i < messages; ++i) {
                const QByteArray address = "/pass/" + QByteArray::number(i);
                QCOMPARE(node.send("10.0.0.5", 9000, address, {Value::Int, double(i)}), QString());
                expected << oscpacket::message(address, qint32(i));
            }
            QVERIFY(net.socket->sent.isEmpty()); // not before the pass ends
            QCoreApplication::processEvents();
            for (const auto &d : std::exchange(net.socket->sent, {})) {
                QCOMPARE(d.destination, QHostAddress("10.0.0.5"));
                QCOMPARE(d.port, quint16(9000));
                sent << d.data;
            }
            QCOMPARE(sent,
                     QByteArray(plain).endsWith("9000") ? expected : oscpacket::bundles(expected));
        }
        QCOMPARE(node.send("", 9000, "/m", {Value::Int, 1}), QString("no OSC target"));
    }

    void resolveAndConsent()
    {
        FakeNet net;
        OscNode node(net.env());
        QList<QPair<QString, std::function<void(quint32)>>> lookups;
        node.setResolver([&](const QString &host, const std::function<void(quint32)> &done) {
            lookups.append({host, done});
        });
        QStringList refused{"blocked"};
        node.setResolveAllowed([&](const QString &host) { return !refused.contains(host); });
        const Value one{Value::Float, 1};

        QCOMPARE(node.send("desk", 8000, "/a", one), QString());
        QCOMPARE(node.send("desk", 8000, "/b", one), QString());
        QCOMPARE(lookups.size(), 1); // one lookup for both
        QCoreApplication::processEvents();
        QVERIFY(net.socket->sent.isEmpty()); // waiting for the name
        lookups[0].second(0x0A000009);
        QCoreApplication::processEvents();
        QCOMPARE(net.socket->sent.size(), 1);
        QCOMPARE(net.socket->sent[0].destination, QHostAddress("10.0.0.9"));
        QCOMPARE(net.socket->sent[0].data, oscpacket::bundles({oscpacket::message("/a", 1.0f),
                                                               oscpacket::message("/b", 1.0f)})[0]);

        // An old address still serves while the name is looked up again.
        net.now += OscNode::RESOLVED_MS;
        QCOMPARE(node.send("desk", 8000, "/c", one), QString());
        QCOMPARE(lookups.size(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(net.socket->sent.size(), 2);

        // A name not found is not looked up again for a while.
        QCOMPARE(node.send("typo", 8000, "/a", one), QString());
        lookups.last().second(0);
        QCOMPARE(node.lastSendError(), QString("host not found: typo"));
        QCOMPARE(node.send("typo", 8000, "/a", one), QString("host not found: typo"));
        QCOMPARE(lookups.size(), 3);
        net.now += OscNode::FAILED_RESOLVE_MS;
        QCOMPARE(node.send("typo", 8000, "/a", one), QString());
        QCOMPARE(lookups.size(), 4);

        // Refused hosts: neither looked up nor sent to, also when refused while waiting.
        QCOMPARE(node.send("blocked", 8000, "/a", one), QString("not allowed: blocked"));
        QCOMPARE(node.send("other", 8000, "/a", one), QString());
        refused << "other"
                << "desk";
        lookups.last().second(0x0A00000A);
        QCOMPARE(node.send("desk", 8000, "/a", one), QString("not allowed: desk"));
        QCoreApplication::processEvents();
        QCOMPARE(lookups.size(), 5);
        QCOMPARE(net.socket->sent.size(), 2);
    }

    void listenAddresses()
    {
        FakeNet net;
        const QList<QPointer<FakeSocket>> &sockets = net.sockets;
        OscNode node(net.env());
        QVERIFY(node.listen(8000, QHostAddress("192.168.1.10")));
        QCOMPARE(sockets.size(), 2);
        QCOMPARE(sockets[0]->boundAddress, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(sockets[1]->boundAddress, QHostAddress("192.168.1.10"));
        QVERIFY(node.listen(0, QHostAddress()));
        QVERIFY(!sockets[0] && !sockets[1]); // stopped: both closed
        QVERIFY(node.listen(8000, QHostAddress(QHostAddress::AnyIPv4)));
        QCOMPARE(sockets.size(), 3); // never every interface: loopback only
        net.bindSucceeds = false;
        QVERIFY(!node.listen(8001, QHostAddress()));
        QVERIFY(!node.errorString().isEmpty());
        QCOMPARE(node.listeningPort(), quint16(0));
    }

    void listenLoopback()
    {
        OscNode node(NetEnvironment::system());
        QStringList got;
        node.setMessageHandler([&got](QByteArrayView address, const Value &v) {
            got << QString::fromLatin1(address.toByteArray()) + QString::number(v.number);
        });
        quint16 port = 39000;
        while (!node.listen(port, QHostAddress()) && port < 39100)
            ++port;
        QUdpSocket peer;
        const QByteArray two = oscpacket::bundles(
            {oscpacket::message("/a", qint32(1)), oscpacket::message("/b", 2.5f)})[0];
        // Longer than an Ethernet frame: whole, not cut where a bundle could end.
        QList<QByteArray> many;
        QStringList expected{"/a1", "/b2.5"};
        for (int i = 0; i < 150; ++i) {
            many << oscpacket::message("/m", qint32(i));
            expected << "/m" + QString::number(i);
        }
        const QByteArray large = oscpacket::bundles(many, oscpacket::MAX_RECEIVE)[0];
        QVERIFY(large.size() > 1500);
        peer.writeDatagram(QByteArray("/bad"), QHostAddress::LocalHost, port);
        peer.writeDatagram(two, QHostAddress::LocalHost, port);
        peer.writeDatagram(large, QHostAddress::LocalHost, port);
        peer.writeDatagram(large.repeated(4), QHostAddress::LocalHost, port);
        QTRY_COMPARE(got, expected);
        QTRY_COMPARE(node.drops().total(), quint64(2));
        QCOMPARE(node.drops().count(DropReason::OscTruncated), quint64(1));
        QCOMPARE(node.drops().count(DropReason::OscOversized), quint64(1));
    }
};

QTEST_GUILESS_MAIN(TestOsc)
#include "tst_osc.moc"
