// The five consistency tests on crafted geometry and outputs, the order and
// uniqueness of findings, and the grid against the pairwise reference.
#include "model/consistency.h"
#include "tests/records.h"

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

SettingDmxStruct osc(const QString &address, const QString &host = {}, quint16 port = 0)
{
    SettingDmxStruct out;
    out.protocol_type = PT_OSC;
    out.osc_address = address;
    out.osc_host = host;
    out.osc_port = port;
    return out;
}

// The checks named on, the others off.
ConsistenceCheckStruct only(int test, int also = 0)
{
    ConsistenceCheckStruct c;
    bool *checks[] = {&c.check_1, &c.check_2, &c.check_3, &c.check_4, &c.check_5};
    for (int i = 0; i < 5; ++i)
        *checks[i] = i + 1 == test || i + 1 == also;
    return c;
}

// A control at "x y w h".
SettingStruct control(const QString &name, const QString &rect, quint32 id)
{
    const QStringList n = rect.split(' ');
    return control(name, n[0].toUInt(), n[1].toUInt(), n[2].toUInt(), n[3].toUInt(), id);
}

// The texts of findings written as "c A B 0/0 10/10, p B A 10/10 29/29"
// (complete and partial overlaps) or "f A 400/0, p A 450/50" (outside).
QStringList findingTexts(const QString &code)
{
    QStringList list;
    for (const QString &item : code.split(", ", Qt::SkipEmptyParts)) {
        const QStringList f = item.split(' ');
        const QString kind = f[0] == "p" ? "partial" : "complete";
        if (f.size() == 5)
            list << QStringLiteral("Controls '%1' and '%2' - %3 overlap of position (%4) with "
                                   "position (%5)!")
                        .arg(f[1], f[2], kind, f[3], f[4]);
        else
            list << QStringLiteral("Control '%1' with position (%2) is located %3ly out of the "
                                   "background size of (400x300)!")
                        .arg(f[1], f[2], kind);
    }
    return list;
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

using C = Consistency;
const BackgroundStruct STAGE = background(400, 300), ENDLESS = background(MAX, MAX);
const ConsistenceCheckStruct ALL;

} // namespace

class TestConsistency : public QObject
{
    Q_OBJECT
private slots:
    // Rectangles as "x y w h"; findings as findingTexts() reads them.
    void overlaps_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expectedCode");
        const auto row = [](const char *name, const char *b, const char *expected,
                            const char *a = "0 0 50 50") {
            QTest::newRow(name) << QString(a) << QString(b) << QString(expected);
        };
        row("edges touch", "50 0 50 50", "");
        row("top and bottom touch", "0 50 50 50", "");
        row("corners touch", "50 50 10 10", "");
        row("one point shared", "49 49 10 10", "p A B 49/49 49/49");
        row("apart by one", "51 0 50 50", "");
        row("inside, three edges touch", "0 0 50 25", "c A B 0/0 0/0, p A B 0/0 49/24");
        row("inside, one edge touches", "40 10 10 10", "c A B 0/0 40/10, p A B 40/10 49/19");
        row("one past the edge", "41 10 10 10", "p A B 41/10 49/19");
        row("inside", "10 10 20 20", "c A B 0/0 10/10, p A B 10/10 29/29");
        row("outer comes second", "0 0 100 100", "c B A 0/0 0/0, p A B 0/0 49/49");
        row("identical, once", "0 0 50 50", "c A B 0/0 0/0, p A B 0/0 49/49");
        row("zero size inside: hidden, no area", "20 20 0 0", "c A B 0/0 20/20");
        row("zero width across", "20 0 0 100", "");
        row("huge size reaches far", "4000000000 10 10 10",
            "c A B 0/0 4000000000/10, p A B 4000000000/10 4000000009/19",
            "0 0 4294967295 4294967295");
        row("huge sizes overlap without wrapping", "4294967000 10 10 10",
            "c A B 4294967000/0 4294967000/10, p A B 4294967000/10 4294967009/19",
            "4294967000 0 4294967295 4294967295");
    }

    void overlaps()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expectedCode);
        const QStringList expected = findingTexts(expectedCode);
        const SettingStruct first = control("A", a, 1), second = control("B", b, 2);
        const ConsistenceCheckStruct geometry = only(1, 2);
        QCOMPARE(texts(C::checkAll({first, second}, ENDLESS, geometry).findings), expected);
        QCOMPARE(texts(C::checkAllPairwise({first, second}, ENDLESS, geometry)), expected);
        // The check of one edited control decides alike, from either side.
        QCOMPARE(texts(C::checkOne(first, {second}, ENDLESS, geometry)), expected);
        QCOMPARE(C::checkOne(second, {first}, ENDLESS, geometry).size(), expected.size());
    }

    void outside_data()
    {
        QTest::addColumn<QString>("rect");
        QTest::addColumn<QString>("expectedCode");
        const auto row = [](const char *name, const char *rect, const char *expected) {
            QTest::newRow(name) << QString(rect) << QString(expected);
        };
        row("fits exactly", "350 250 50 50", "");
        row("out by one to the right", "351 250 50 50", "p A 401/300");
        row("out by one below", "350 251 50 50", "p A 400/301");
        row("last column inside", "399 0 50 50", "p A 449/50");
        row("starts at the width", "400 0 50 50", "f A 400/0, p A 450/50");
        row("starts at the height", "0 300 50 50", "f A 0/300, p A 50/350");
        row("zero size on the edge", "400 300 0 0", "f A 400/300");
        row("huge size, no wrap", "10 10 4294967295 5", "p A 4294967305/15");
        row("huge position", "4294967295 4294967295 4294967295 4294967295",
            "f A 4294967295/4294967295, p A 8589934590/8589934590");
    }

    void outside()
    {
        QFETCH(QString, rect);
        QFETCH(QString, expectedCode);
        const SettingStruct a = control("A", rect, 7);
        const auto findings = C::checkAll({a}, STAGE, only(4, 5)).findings;
        QCOMPARE(texts(findings), findingTexts(expectedCode));
        for (const ConsistencyFinding &f : findings)
            QCOMPARE(std::make_tuple(f.first, f.second, f.firstId), std::make_tuple(0, -1, 7u));
        // Each flag decides its own test.
        QCOMPARE(C::checkAll({a}, STAGE, only(5)).findings.size(), int(expectedCode.count("p A")));
    }

    void duplicates_data()
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
        const QString midi =
            "Controls 'A' and 'B' are using the same settings MIDI Channel %1 / MIDI "
            "Note %2 / MIDI Type %3!";
        const quint8 fader = CT_FADER_VERTICAL, centre = CT_FADER_VERTICAL_MIDDLE;
        const auto row = [](const char *name, quint8 typeA, const SettingDmxStruct &outA,
                            const SettingDmxStruct &advA, quint8 typeB,
                            const SettingDmxStruct &outB, const SettingDmxStruct &advB,
                            const QStringList &expected = {}) {
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
        faders("MIDI same type", output(PT_MIDI, 0, 60, MT_NOTE_ON),
               output(PT_MIDI, 0, 60, MT_NOTE_ON), {midi.arg(1).arg(60).arg("Note, On")});
        faders("MIDI other type", output(PT_MIDI, 0, 60, MT_NOTE_ON),
               output(PT_MIDI, 0, 60, MT_CONTROL_CHANGE));
        faders("MIDI other channel", output(PT_MIDI, 1, 60, MT_NOTE_ON),
               output(PT_MIDI, 0, 60, MT_NOTE_ON));
        faders("HTTP same link", output(PT_HTTP, 0, 0, 0, "a.php"),
               output(PT_HTTP, 0, 0, 0, "a.php"));
        faders("command same line", output(PT_COMMAND, 0, 0, 0, "ls"),
               output(PT_COMMAND, 0, 0, 0, "ls"));
        faders("no protocol", none, none);
        const QString oscText =
            "Controls 'A' and 'B' are using the same settings OSC address %1 / target %2!";
        faders("OSC same address and target", osc("/a b", "h", 1), osc("/a b", "h", 1),
               {oscText.arg("/a b", "h:1")});
        faders("OSC other port", osc("/a", "h", 1), osc("/a", "h", 2));
        faders("OSC default target is the explicit one", osc("/a"), osc("/a", "127.0.0.1", 9000),
               {oscText.arg("/a", "127.0.0.1:9000")});
        faders("OSC without address sends nothing", osc(""), osc(""));
        row("OSC second output against an output", centre, none, osc("/c"), fader, osc("/c"), none,
            {oscText.arg("/c", "127.0.0.1:9000")});
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
            output(PT_ARTNET, 0, 1), output(PT_ARTNET, 0, 2),
            {dmx.arg(1).arg(2), dmx.arg(1).arg(3)});
        row("own two outputs alike, once", centre, output(PT_ARTNET, 0, 1), output(PT_ARTNET, 0, 1),
            fader, output(PT_ARTNET, 0, 1), none, {dmx.arg(1).arg(2)});
    }

    void duplicates()
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
        const auto findings = C::checkAll({a, b}, STAGE, only(3)).findings;
        QCOMPARE(texts(findings), expected);
        for (const ConsistencyFinding &f : findings)
            QCOMPARE(std::make_tuple(f.severity, f.firstId, f.secondId),
                     std::make_tuple(ConsistencyFinding::Warning, 1u, 2u));
        QCOMPARE(texts(C::checkAllPairwise({a, b}, STAGE, only(3))), expected);
        QVERIFY(C::checkAll({a, b}, STAGE, only(1)).findings.isEmpty()); // switched off
    }

    // Two inputs listening to one OSC address; the default target as the
    // preferences given have it.
    void oscInputsAndTargets()
    {
        SettingStruct a = control("A", 0, 0, 10, 10, 1), b = control("B", 100, 0, 10, 10, 2);
        SettingStruct c = control("C", 200, 0, 10, 10, 3);
        for (SettingStruct *s : {&a, &b, &c}) {
            s->dmx_in.protocol_type_in = PT_OSC;
            s->dmx_in.dmx_in_osc_address = "/go";
        }
        c.dmx_in.dmx_in_osc_address = "/stop";
        c.dmx_out = osc("/go"); // an output is no input
        const QString text = "Controls 'A' and 'B' are both listening to the OSC address /go!";
        QCOMPARE(texts(C::checkAll({a, b, c}, STAGE, only(3)).findings), QStringList{text});
        QCOMPARE(texts(C::checkOne(a, {b, c}, STAGE, only(3))), QStringList{text});

        a.dmx_out = osc("/x");
        b.dmx_out = osc("/x", "127.0.0.1", 8000);
        a.dmx_in.protocol_type_in = b.dmx_in.protocol_type_in = PT_NONE;
        PreferencesStruct prefs;
        QVERIFY(C::duplicateOutputs(a, b, &prefs).isEmpty());
        prefs.osc_default_port = 8000;
        QCOMPARE(C::checkAll({a, b}, STAGE, only(3), {}, INT_MAX, &prefs).total, 1);
    }

    void pairsOnceInListOrder()
    {
        // C covers A; B and C share an output; D lies outside.
        SettingStruct a = control("A", 10, 10, 20, 20, 11);
        SettingStruct b = control("B", 200, 10, 20, 20, 12);
        SettingStruct c = control("C", 0, 0, 100, 100, 13);
        SettingStruct d = control("D", 500, 0, 10, 10, 14);
        b.dmx_out = output(PT_ARTNET, 0, 0);
        c.dmx_out = output(PT_ARTNET, 0, 0);
        const auto findings = C::checkAll({a, b, c, d}, STAGE, ALL).findings;
        QList<std::tuple<int, int, int>> got;
        for (const ConsistencyFinding &f : findings)
            got.append({f.first, f.second, int(f.test)});
        const QList<std::tuple<int, int, int>> expected{
            {2, 0, 1},
            {0, 2, 2}, // A's pairs: C holds A, both overlap
            {1, 2, 3}, // B's pair
            {3, -1, 4},
            {3, -1, 5}};
        QCOMPARE(got, expected);
        QCOMPARE(std::make_tuple(findings.at(0).severity, findings.at(0).firstId,
                                 findings.at(0).secondId),
                 std::make_tuple(ConsistencyFinding::Error, 13u, 11u));
    }

    void gridMatchesPairwise_data()
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

    void gridMatchesPairwise()
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
            if (i % 3 == 0)
                c.dmx_out = osc(QStringLiteral("/%1").arg(random.bounded(20)));
            c.dmx_in.protocol_type_in = i % 2 ? PT_OSC : PT_NONE;
            c.dmx_in.dmx_in_osc_address = QStringLiteral("/%1").arg(random.bounded(20));
            controls.append(c);
        }
        const auto fast = C::checkAll(controls, background(1000, 1000), ALL);
        const auto slow = C::checkAllPairwise(controls, background(1000, 1000), ALL);
        QVERIFY(!fast.skipped);
        QVERIFY(!slow.isEmpty());
        QCOMPARE(fast.findings.size(), slow.size());
        QVERIFY(fast.findings == slow);
    }

    void oneControl()
    {
        const QList<SettingStruct> show{control("A", 0, 0, 50, 50, 1),
                                        control("B", 100, 0, 50, 50, 2)};
        // A new control (id 0) meets every control of the show.
        auto findings = C::checkOne(control("N", 10, 10, 10, 10), show, STAGE, ALL);
        QCOMPARE(texts(findings), findingTexts("c A N 0/0 10/10, p N A 10/10 19/19"));
        QCOMPARE(std::make_pair(findings.at(0).firstId, findings.at(0).secondId),
                 std::make_pair(1u, 0u));
        // An edited control is not compared with the record it replaces.
        SettingStruct edited = show.at(1);
        edited.position_x = 380;
        findings = C::checkOne(edited, show, STAGE, ALL);
        QCOMPARE(texts(findings), findingTexts("p B 430/50"));
        QCOMPARE(findings.at(0).firstId, 2u);
        edited.position_x = 200;
        QVERIFY(C::checkOne(edited, show, STAGE, ALL).isEmpty());
    }

    void groupFramesHoldControls()
    {
        SettingStruct frame = control("G", 0, 0, 200, 200, 1);
        frame.control_type = CT_GROUP;
        const QList<SettingStruct> show{frame, control("A", 10, 10, 50, 50, 2),
                                        control("B", 40, 10, 50, 50, 3)};
        QCOMPARE(texts(C::checkAll(show, STAGE, ALL).findings), findingTexts("p A B 40/10 59/59"));
        QVERIFY(C::checkOne(control("N", 5, 5, 5, 5), {frame}, STAGE, ALL).isEmpty());
    }

    void manyFindingsOnlyTheFirstWritten()
    {
        // 1,000 controls on one spot: half a million pairs, each found twice.
        QList<SettingStruct> controls;
        for (int i = 0; i < 1000; ++i)
            controls.append(control(QStringLiteral("C%1").arg(i), 0, 0, 10, 10, quint32(i + 1)));
        const auto result = C::checkAll(controls, STAGE, ALL, {}, 25);
        QCOMPARE(result.total, 1000 * 999);
        QCOMPARE(result.findings.size(), 25);
        QVERIFY(result.findings == C::checkAllPairwise(controls, STAGE, ALL, 25));
        QCOMPARE(result.findings.first().text, findingTexts("c C0 C1 0/0 0/0").first());
    }

    void skip()
    {
        QList<SettingStruct> controls;
        for (int i = 0; i < 2000; ++i)
            controls.append(control("C", quint32(i) * 20, 0, 10, 10, quint32(i + 1)));
        // Told to stop half way, the check says it skipped; let go on, it reports every control.
        int reported = 0;
        const auto progress = [&](int done, int total) {
            reported = done;
            return total == 300 || done < total / 2;
        };
        QVERIFY(C::checkAll(controls, background(5, 5), ALL, progress).skipped);
        QVERIFY(reported > 0 && reported < 2000);
        QVERIFY(!C::checkAll(controls.mid(0, 300), background(5, 5), only(4), progress).skipped);
        QCOMPARE(reported, 300);
    }
};

QTEST_GUILESS_MAIN(TestConsistency)
#include "tst_consistency.moc"
