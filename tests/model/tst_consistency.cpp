// The five consistency tests on crafted geometry and outputs, the order and
// uniqueness of findings, and the grid against the pairwise reference.
#include "model/consistency.h"

#include <QRandomGenerator>
#include <QtTest>

#include <tuple>

namespace
{

constexpr quint32 MAX = 0xFFFFFFFFu;

SettingStruct control(const QString &name, quint32 x, quint32 y, quint32 w, quint32 h,
                      quint32 id = 0)
{
    SettingStruct c;
    c.name = name;
    c.position_x = x;
    c.position_y = y;
    c.size_x = w;
    c.size_y = h;
    c.id = id;
    return c;
}

SettingDmxStruct output(quint8 protocol, quint16 universe, quint16 channel,
                        quint8 midiType = MT_NONE, const QString &link = QString())
{
    SettingDmxStruct out;
    out.protocol_type = protocol;
    out.dmx_universe = universe;
    out.dmx_channel = channel;
    out.dmx_midi_type = midiType;
    out.dmx_http_filename = link;
    out.dmx_command_filename = link;
    return out;
}

ConsistenceCheckStruct only(int test)
{
    ConsistenceCheckStruct c;
    c.check_1 = test == 1;
    c.check_2 = test == 2;
    c.check_3 = test == 3;
    c.check_4 = test == 4;
    c.check_5 = test == 5;
    return c;
}

QStringList texts(const QList<ConsistencyFinding> &findings)
{
    QStringList list;
    for (const ConsistencyFinding &f : findings)
        list << f.text;
    return list;
}

BackgroundStruct background(quint32 w, quint32 h)
{
    BackgroundStruct bg;
    bg.size_x = w;
    bg.size_y = h;
    return bg;
}

} // namespace

class TestConsistency : public QObject
{
    Q_OBJECT
private slots:
    void overlaps_data();
    void overlaps();
    void outside_data();
    void outside();
    void duplicates_data();
    void duplicates();
    void pairsOnceInListOrder();
    void gridMatchesPairwise_data();
    void gridMatchesPairwise();
    void oneControl();
    void groupFramesHoldControls();
    void manyFindingsOnlyTheFirstWritten();
    void skip();
};

void TestConsistency::overlaps_data()
{
    QTest::addColumn<QList<quint32>>("a"); // x, y, w, h
    QTest::addColumn<QList<quint32>>("b");
    QTest::addColumn<QStringList>("expected");
    auto r = [](quint32 x, quint32 y, quint32 w, quint32 h) { return QList<quint32>{x, y, w, h}; };
    // "Controls 'A' and 'B' - <kind> overlap of position (<p>) with position (<q>)!"
    auto overlap = [](const char *kind, const QString &p, const QString &q, bool ba = false) {
        return QStringLiteral("Controls %1 - %2 overlap of position (%3) with position (%4)!")
            .arg(ba ? "'B' and 'A'" : "'A' and 'B'", kind, p, q);
    };
    const QList<quint32> a = r(0, 0, 50, 50);
    QTest::newRow("edges touch") << a << r(50, 0, 50, 50) << QStringList();
    QTest::newRow("corners touch") << a << r(50, 50, 10, 10) << QStringList();
    QTest::newRow("one point shared")
        << a << r(49, 49, 10, 10) << QStringList{overlap("partial", "49/49", "49/49")};
    QTest::newRow("apart by one") << a << r(51, 0, 50, 50) << QStringList();
    QTest::newRow("inside, three edges touch")
        << a << r(0, 0, 50, 25)
        << QStringList{overlap("complete", "0/0", "0/0"), overlap("partial", "0/0", "49/24")};
    QTest::newRow("inside, one edge touches")
        << a << r(40, 10, 10, 10)
        << QStringList{overlap("complete", "0/0", "40/10"), overlap("partial", "40/10", "49/19")};
    QTest::newRow("one past the edge")
        << a << r(41, 10, 10, 10) << QStringList{overlap("partial", "41/10", "49/19")};
    QTest::newRow("inside") << a << r(10, 10, 20, 20)
                            << QStringList{overlap("complete", "0/0", "10/10"),
                                           overlap("partial", "10/10", "29/29")};
    QTest::newRow("outer comes second")
        << a << r(0, 0, 100, 100)
        << QStringList{overlap("complete", "0/0", "0/0", true), overlap("partial", "0/0", "49/49")};
    QTest::newRow("identical, once")
        << a << r(0, 0, 50, 50)
        << QStringList{overlap("complete", "0/0", "0/0"), overlap("partial", "0/0", "49/49")};
    QTest::newRow("zero size inside: hidden, no area")
        << a << r(20, 20, 0, 0) << QStringList{overlap("complete", "0/0", "20/20")};
    QTest::newRow("zero width across") << a << r(20, 0, 0, 100) << QStringList();
    QTest::newRow("huge size reaches far")
        << r(0, 0, MAX, MAX) << r(4000000000u, 10, 10, 10)
        << QStringList{overlap("complete", "0/0", "4000000000/10"),
                       overlap("partial", "4000000000/10", "4000000009/19")};
    QTest::newRow("huge sizes overlap without wrapping")
        << r(4294967000u, 0, MAX, MAX) << r(4294967000u, 10, 10, 10)
        << QStringList{overlap("complete", "4294967000/0", "4294967000/10"),
                       overlap("partial", "4294967000/10", "4294967009/19")};
}

void TestConsistency::overlaps()
{
    QFETCH(QList<quint32>, a);
    QFETCH(QList<quint32>, b);
    QFETCH(QStringList, expected);
    const SettingStruct first = control("A", a[0], a[1], a[2], a[3], 1);
    const SettingStruct second = control("B", b[0], b[1], b[2], b[3], 2);
    ConsistenceCheckStruct geometry = only(1);
    geometry.check_2 = true;
    const auto result = Consistency::checkAll({first, second}, background(MAX, MAX), geometry);
    QCOMPARE(texts(result.findings), expected);
    QCOMPARE(texts(Consistency::checkAllPairwise({first, second}, background(MAX, MAX), geometry)),
             expected);
    // The check of one edited control decides alike, from either side.
    QCOMPARE(texts(Consistency::checkOne(first, {second}, background(MAX, MAX), geometry)),
             expected);
    QCOMPARE(Consistency::checkOne(second, {first}, background(MAX, MAX), geometry).size(),
             expected.size());
}

void TestConsistency::outside_data()
{
    QTest::addColumn<QList<quint32>>("rect");
    QTest::addColumn<QStringList>("expected");
    auto r = [](quint32 x, quint32 y, quint32 w, quint32 h) { return QList<quint32>{x, y, w, h}; };
    const QString partly = "Control 'A' with position (%1/%2) is located partially out of the "
                           "background size of (400x300)!";
    const QString fully = "Control 'A' with position (%1/%2) is located completely out of the "
                          "background size of (400x300)!";
    QTest::newRow("fits exactly") << r(350, 250, 50, 50) << QStringList();
    QTest::newRow("out by one to the right")
        << r(351, 250, 50, 50) << QStringList{partly.arg(401).arg(300)};
    QTest::newRow("out by one below")
        << r(350, 251, 50, 50) << QStringList{partly.arg(400).arg(301)};
    QTest::newRow("last column inside")
        << r(399, 0, 50, 50) << QStringList{partly.arg(449).arg(50)};
    QTest::newRow("starts at the width")
        << r(400, 0, 50, 50) << QStringList{fully.arg(400).arg(0), partly.arg(450).arg(50)};
    QTest::newRow("starts at the height")
        << r(0, 300, 50, 50) << QStringList{fully.arg(0).arg(300), partly.arg(50).arg(350)};
    QTest::newRow("zero size on the edge")
        << r(400, 300, 0, 0) << QStringList{fully.arg(400).arg(300)};
    QTest::newRow("huge size, no wrap")
        << r(10, 10, MAX, 5) << QStringList{partly.arg(qint64(10) + MAX).arg(15)};
    QTest::newRow("huge position")
        << r(MAX, MAX, MAX, MAX)
        << QStringList{fully.arg(MAX).arg(MAX), partly.arg(qint64(MAX) * 2).arg(qint64(MAX) * 2)};
}

void TestConsistency::outside()
{
    QFETCH(QList<quint32>, rect);
    QFETCH(QStringList, expected);
    const SettingStruct a = control("A", rect[0], rect[1], rect[2], rect[3], 7);
    ConsistenceCheckStruct checks = only(4);
    checks.check_5 = true;
    const auto findings = Consistency::checkAll({a}, background(400, 300), checks).findings;
    QCOMPARE(texts(findings), expected);
    for (const ConsistencyFinding &f : findings) {
        QCOMPARE(f.first, 0);
        QCOMPARE(f.second, -1);
        QCOMPARE(f.firstId, 7u);
    }
    // Each flag decides its own test.
    QCOMPARE(Consistency::checkAll({a}, background(400, 300), only(5)).findings.size(),
             int(expected.filter("partially").size()));
}

void TestConsistency::duplicates_data()
{
    QTest::addColumn<quint8>("typeA");
    QTest::addColumn<SettingDmxStruct>("outA");
    QTest::addColumn<SettingDmxStruct>("advA");
    QTest::addColumn<quint8>("typeB");
    QTest::addColumn<SettingDmxStruct>("outB");
    QTest::addColumn<SettingDmxStruct>("advB");
    QTest::addColumn<QStringList>("expected");
    const SettingDmxStruct none;
    const QString dmx =
        "Controls 'A' and 'B' are using the same settings Universe %1 / Channel %2!";
    const QString midi = "Controls 'A' and 'B' are using the same settings MIDI Channel %1 / MIDI "
                         "Note %2 / MIDI Type %3!";
    const quint8 fader = CT_FADER_VERTICAL, centre = CT_FADER_VERTICAL_MIDDLE;
    const auto row = [](const char *name, quint8 typeA, const SettingDmxStruct &outA,
                        const SettingDmxStruct &advA, quint8 typeB, const SettingDmxStruct &outB,
                        const SettingDmxStruct &advB, const QStringList &expected = {}) {
        QTest::newRow(name) << typeA << outA << advA << typeB << outB << advB << expected;
    };
    // Two faders with their first output only.
    const auto faders = [&](const char *name, const SettingDmxStruct &outA,
                            const SettingDmxStruct &outB, const QStringList &expected = {}) {
        row(name, fader, outA, none, fader, outB, none, expected);
    };
    faders("Art-Net, shown from 1", output(PT_ARTNET, 0, 5), output(PT_ARTNET, 0, 5),
           {dmx.arg(1).arg(6)});
    faders("sACN", output(PT_ACN, 3, 511), output(PT_ACN, 3, 511), {dmx.arg(4).arg(512)});
    faders("Art-Net and sACN differ", output(PT_ARTNET, 0, 5), output(PT_ACN, 0, 5));
    faders("other channel", output(PT_ARTNET, 0, 5), output(PT_ARTNET, 0, 6));
    faders("other universe", output(PT_ARTNET, 1, 5), output(PT_ARTNET, 0, 5));
    faders("MIDI same type", output(PT_MIDI, 0, 60, MT_NOTE_ON), output(PT_MIDI, 0, 60, MT_NOTE_ON),
           {midi.arg(1).arg(60).arg("Note, On")});
    faders("MIDI other type", output(PT_MIDI, 0, 60, MT_NOTE_ON),
           output(PT_MIDI, 0, 60, MT_CONTROL_CHANGE));
    faders("MIDI other channel", output(PT_MIDI, 1, 60, MT_NOTE_ON),
           output(PT_MIDI, 0, 60, MT_NOTE_ON));
    faders("HTTP same link", output(PT_HTTP, 0, 0, 0, "a.php"), output(PT_HTTP, 0, 0, 0, "a.php"));
    faders("command same line", output(PT_COMMAND, 0, 0, 0, "ls"),
           output(PT_COMMAND, 0, 0, 0, "ls"));
    faders("no protocol", none, none);
    row("centre outputs", centre, none, output(PT_ARTNET, 2, 9), centre, none,
        output(PT_ARTNET, 2, 9), {dmx.arg(3).arg(10)});
    row("encoder push outputs", CT_ENCODER_PUSH, none, output(PT_MIDI, 15, 1, MT_NOTE_OFF),
        CT_ENCODER_SWITCH, none, output(PT_MIDI, 15, 1, MT_NOTE_OFF),
        {midi.arg(16).arg(1).arg("Note, Off")});
    row("second output a type does not send", fader, none, output(PT_ARTNET, 2, 9), fader, none,
        output(PT_ARTNET, 2, 9));
    row("centre output against an output", centre, none, output(PT_ACN, 0, 0), fader,
        output(PT_ACN, 0, 0), none, {dmx.arg(1).arg(1)});
    row("both outputs shared", centre, output(PT_ARTNET, 0, 1), output(PT_ARTNET, 0, 2), centre,
        output(PT_ARTNET, 0, 1), output(PT_ARTNET, 0, 2), {dmx.arg(1).arg(2), dmx.arg(1).arg(3)});
    row("own two outputs alike, once", centre, output(PT_ARTNET, 0, 1), output(PT_ARTNET, 0, 1),
        fader, output(PT_ARTNET, 0, 1), none, {dmx.arg(1).arg(2)});
}

void TestConsistency::duplicates()
{
    QFETCH(quint8, typeA);
    QFETCH(SettingDmxStruct, outA);
    QFETCH(SettingDmxStruct, advA);
    QFETCH(quint8, typeB);
    QFETCH(SettingDmxStruct, outB);
    QFETCH(SettingDmxStruct, advB);
    QFETCH(QStringList, expected);
    // Far apart: only the outputs can meet.
    SettingStruct a = control("A", 0, 0, 10, 10, 1), b = control("B", 100, 0, 10, 10, 2);
    std::tie(a.control_type, a.dmx_out, a.dmx_out_advanced) = std::tie(typeA, outA, advA);
    std::tie(b.control_type, b.dmx_out, b.dmx_out_advanced) = std::tie(typeB, outB, advB);
    const auto findings = Consistency::checkAll({a, b}, background(400, 300), only(3)).findings;
    QCOMPARE(texts(findings), expected);
    for (const ConsistencyFinding &f : findings) {
        QCOMPARE(f.severity, ConsistencyFinding::Warning);
        QCOMPARE(std::make_pair(f.firstId, f.secondId), std::make_pair(1u, 2u));
    }
    QCOMPARE(texts(Consistency::checkAllPairwise({a, b}, background(400, 300), only(3))), expected);
    // Switched off, nothing.
    QVERIFY(Consistency::checkAll({a, b}, background(400, 300), only(1)).findings.isEmpty());
}

void TestConsistency::pairsOnceInListOrder()
{
    // C covers A; B and C share an output; D lies outside.
    SettingStruct a = control("A", 10, 10, 20, 20, 11);
    SettingStruct b = control("B", 200, 10, 20, 20, 12);
    SettingStruct c = control("C", 0, 0, 100, 100, 13);
    SettingStruct d = control("D", 500, 0, 10, 10, 14);
    b.dmx_out = output(PT_ARTNET, 0, 0);
    c.dmx_out = output(PT_ARTNET, 0, 0);
    const auto findings =
        Consistency::checkAll({a, b, c, d}, background(400, 300), ConsistenceCheckStruct())
            .findings;
    QList<std::tuple<int, int, int>> got;
    for (const ConsistencyFinding &f : findings)
        got.append({f.first, f.second, int(f.test)});
    const QList<std::tuple<int, int, int>> expected{{2, 0, 1},
                                                    {0, 2, 2}, // A's pairs: C holds A, both overlap
                                                    {1, 2, 3}, // B's pair
                                                    {3, -1, 4},
                                                    {3, -1, 5}};
    QCOMPARE(got, expected);
    QCOMPARE(findings.at(0).severity, ConsistencyFinding::Error);
    QCOMPARE(findings.at(0).firstId, 13u);
    QCOMPARE(findings.at(0).secondId, 11u);
}

void TestConsistency::gridMatchesPairwise_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("spread");
    QTest::addColumn<quint32>("maxSize");
    QTest::addColumn<int>("hugeEvery");
    QTest::newRow("dense") << 300 << 400u << 60u << 0;
    QTest::newRow("sparse") << 300 << 100000u << 50u << 0;
    QTest::newRow("zero sizes") << 300 << 200u << 3u << 0;
    QTest::newRow("some huge") << 300 << 2000u << 80u << 37;
    QTest::newRow("far apart clusters") << 300 << MAX << 100u << 0;
}

void TestConsistency::gridMatchesPairwise()
{
    QFETCH(int, count);
    QFETCH(quint32, spread);
    QFETCH(quint32, maxSize);
    QFETCH(int, hugeEvery);
    QRandomGenerator random(count + spread);
    QList<SettingStruct> controls;
    for (int i = 0; i < count; ++i) {
        quint32 x = random.bounded(spread), y = random.bounded(spread);
        if (spread == MAX && i % 2) // half of them in one corner
            x %= 300, y %= 300;
        SettingStruct c = control(QStringLiteral("C%1").arg(i), x, y, random.bounded(maxSize),
                                  random.bounded(maxSize), quint32(i + 1));
        if (hugeEvery && i % hugeEvery == 0)
            c.size_x = c.size_y = MAX - random.bounded(5u);
        c.control_type = quint8(random.bounded(int(CT_COUNT)));
        c.dmx_out = output(quint8(random.bounded(4)), random.bounded(2), random.bounded(20),
                           quint8(random.bounded(2) ? MT_NOTE_ON : MT_NOTE_OFF));
        c.dmx_out_advanced = output(quint8(random.bounded(4)), 0, random.bounded(20));
        controls.append(c);
    }
    const auto fast =
        Consistency::checkAll(controls, background(1000, 1000), ConsistenceCheckStruct());
    const auto slow =
        Consistency::checkAllPairwise(controls, background(1000, 1000), ConsistenceCheckStruct());
    QVERIFY(!fast.skipped);
    QVERIFY(!slow.isEmpty());
    QCOMPARE(fast.findings.size(), slow.size());
    QVERIFY(fast.findings == slow);
}

void TestConsistency::oneControl()
{
    const QList<SettingStruct> show{control("A", 0, 0, 50, 50, 1), control("B", 100, 0, 50, 50, 2)};
    // A new control (id 0) meets every control of the show.
    SettingStruct added = control("N", 10, 10, 10, 10);
    auto findings =
        Consistency::checkOne(added, show, background(400, 300), ConsistenceCheckStruct());
    QCOMPARE(
        texts(findings),
        (QStringList{"Controls 'A' and 'N' - complete overlap of position (0/0) with position "
                     "(10/10)!",
                     "Controls 'N' and 'A' - partial overlap of position (10/10) with position "
                     "(19/19)!"}));
    QCOMPARE(findings.at(0).firstId, 1u);
    QCOMPARE(findings.at(0).secondId, 0u);
    // An edited control is not compared with the record it replaces.
    SettingStruct edited = show.at(1);
    edited.position_x = 380;
    findings = Consistency::checkOne(edited, show, background(400, 300), ConsistenceCheckStruct());
    QCOMPARE(texts(findings),
             QStringList{"Control 'B' with position (430/50) is located partially out of the "
                         "background size of (400x300)!"});
    QCOMPARE(findings.at(0).firstId, 2u);
    edited.position_x = 200;
    QVERIFY(Consistency::checkOne(edited, show, background(400, 300), ConsistenceCheckStruct())
                .isEmpty());
}

void TestConsistency::groupFramesHoldControls()
{
    SettingStruct frame = control("G", 0, 0, 200, 200, 1);
    frame.control_type = CT_GROUP;
    const QList<SettingStruct> show{frame, control("A", 10, 10, 50, 50, 2),
                                    control("B", 40, 10, 50, 50, 3)};
    const auto findings =
        Consistency::checkAll(show, background(400, 300), ConsistenceCheckStruct());
    QCOMPARE(texts(findings.findings),
             QStringList{"Controls 'A' and 'B' - partial overlap of position (40/10) with position "
                         "(59/59)!"});
    QVERIFY(Consistency::checkOne(control("N", 5, 5, 5, 5), {frame}, background(400, 300),
                                  ConsistenceCheckStruct())
                .isEmpty());
}

void TestConsistency::manyFindingsOnlyTheFirstWritten()
{
    // 1,000 controls on one spot: half a million pairs, each found twice.
    QList<SettingStruct> controls;
    for (int i = 0; i < 1000; ++i)
        controls.append(control(QStringLiteral("C%1").arg(i), 0, 0, 10, 10, quint32(i + 1)));
    const auto result =
        Consistency::checkAll(controls, background(400, 300), ConsistenceCheckStruct(), {}, 25);
    QCOMPARE(result.total, 1000 * 999);
    QCOMPARE(result.findings.size(), 25);
    QVERIFY(result.findings == Consistency::checkAllPairwise(controls, background(400, 300),
                                                             ConsistenceCheckStruct(), 25));
    QCOMPARE(result.findings.first().text,
             QStringLiteral("Controls 'C0' and 'C1' - complete overlap "
                            "of position (0/0) with position (0/0)!"));
}

void TestConsistency::skip()
{
    QList<SettingStruct> controls;
    for (int i = 0; i < 2000; ++i)
        controls.append(control("C", quint32(i) * 20, 0, 10, 10, quint32(i + 1)));
    int calls = 0;
    const auto result = Consistency::checkAll(controls, background(5, 5), ConsistenceCheckStruct(),
                                              [&](int done, int total) {
                                                  ++calls;
                                                  return done < total / 2;
                                              });
    QVERIFY(result.skipped);
    QVERIFY(calls > 0);
    int reported = 0;
    const auto whole = Consistency::checkAll(controls.mid(0, 300), background(5, 5), only(4),
                                             [&](int done, int total) {
                                                 reported = done;
                                                 return total == 300;
                                             });
    QVERIFY(!whole.skipped);
    QCOMPARE(reported, 300);
}

QTEST_GUILESS_MAIN(TestConsistency)
#include "tst_consistency.moc"
