// Auto-patch: which outputs count as used, the wrap into the next universe,
// MIDI running out of numbers, the protocols that are not addressed.
#include "model/autopatch.h"
#include "model/typetables.h"
#include "tests/records.h"

#include <QtTest>

Q_DECLARE_METATYPE(SettingStruct)

namespace
{

// An output (values 1, 2, 3: 7, 255, 127; the new one keeps them).
SettingDmxStruct out(quint8 protocol, quint16 universe, quint16 channel, quint8 midi = MT_NONE)
{
    SettingDmxStruct o = output(protocol, universe, channel, midi);
    o.dmx_value_1 = 7;
    return o;
}

SettingDmxStruct osc(const char *address, quint16 port = 0)
{
    SettingDmxStruct o = out(PT_OSC, 0, 0);
    o.osc_address = QLatin1String(address);
    o.osc_port = port;
    return o;
}

SettingStruct c(quint8 type, const SettingDmxStruct &main, const SettingDmxStruct &second = {})
{
    SettingStruct s;
    s.control_type = type;
    s.dmx_out = main;
    s.dmx_out_advanced = second;
    return s;
}

} // namespace

class TestAutoPatch : public QObject
{
    Q_OBJECT
private slots:
    void patch_data();
    void patch();
    void input();
};

void TestAutoPatch::patch_data()
{
    QTest::addColumn<SettingDmxStruct>("last");
    QTest::addColumn<QList<SettingStruct>>("controls");
    QTest::addColumn<SettingDmxStruct>("output");
    QTest::addColumn<bool>("full");
    using L = QList<SettingStruct>;
    const quint8 A = PT_ARTNET, S = PT_ACN, M = PT_MIDI, B = CT_BUTTON_PUSH;
    const quint8 N = MT_NOTE_ON, CC = MT_CONTROL_CHANGE;
    auto row = [](const char *name, const SettingDmxStruct &last, const L &controls,
                  const SettingDmxStruct &output,
                  bool full = false) { QTest::newRow(name) << last << controls << output << full; };
    row("first hole", out(A, 0, 9),
        L{c(B, out(A, 0, 10)), c(B, out(A, 0, 11)), c(B, out(A, 0, 13))}, out(A, 0, 12));
    row("wrap into the next universe", out(S, 4, 510), L{c(B, out(S, 4, 511)), c(B, out(S, 5, 0))},
        out(S, 5, 1));
    row("a centre fader's both outputs", out(S, 2, 0),
        L{c(CT_FADER_VERTICAL_MIDDLE, out(S, 2, 1), out(S, 2, 2))}, out(S, 2, 3));
    // An LED keeps an output from a file but does not send; a knob has no second.
    row("not counted", out(A, 0, 0),
        L{c(CT_LED, out(A, 0, 1)), c(CT_KNOB, {}, out(A, 0, 1)), c(B, out(A, 1, 1)),
          c(B, out(S, 0, 1)), c(B, out(M, 0, 1))},
        out(A, 0, 1));
    row("midi: same channel and type", out(M, 3, 60, N),
        L{c(B, out(M, 3, 61, N)), c(B, out(M, 4, 62, N)), c(B, out(M, 3, 62, CC))},
        out(M, 3, 62, N));
    row("midi: none past 127", out(M, 0, 126, CC), L{c(B, out(M, 0, 127, CC))},
        out(PT_NONE, 0, 126, CC), true);
    row("last universe full", out(A, DMX_UNIVERSE_MAX, 511), L(),
        out(PT_NONE, DMX_UNIVERSE_MAX, 511), true);
    row("http copied", out(PT_HTTP, 3, 9), L{c(B, out(PT_HTTP, 3, 9))}, out(PT_HTTP, 3, 9));
    row("no protocol", out(PT_NONE, 0, 5), L(), SettingDmxStruct());
    row("osc: next free number on that target", osc("/fader/9"),
        L{c(B, osc("/fader/10")), c(B, osc("/fader/11", 8000)), c(CT_LED, osc("/fader/11"))},
        osc("/fader/11"));
    row("osc: no number, copied", osc("/go"), L{c(B, osc("/go"))}, osc("/go"));
}

void TestAutoPatch::patch()
{
    QFETCH(SettingDmxStruct, last);
    QFETCH(QList<SettingStruct>, controls);
    const AutoPatch p = autoPatch(last, controls);
    QTEST(p.output, "output");
    QTEST(p.full, "full");
}

// An LED listens on the first channel no input uses, of last's protocol.
void TestAutoPatch::input()
{
    SettingStruct led;
    led.dmx_in.protocol_type_in = PT_ACN;
    led.dmx_in.dmx_in_universe = 2;
    const QList<SettingStruct> two{led, led};
    SettingDmxInStruct in = autoPatchInput(out(PT_ACN, 2, 40), {led});
    QCOMPARE(std::make_tuple(in.protocol_type_in, in.dmx_in_universe, in.dmx_in_channel),
             std::make_tuple(quint8(PT_ACN), quint16(2), quint16(1)));
    QCOMPARE(autoPatchInput(out(PT_ARTNET, 2, 40), two).dmx_in_channel, quint16(0));
    QCOMPARE(autoPatchInput(out(PT_HTTP, 2, 40), two), SettingDmxInStruct());
    SettingStruct listens;
    listens.dmx_in.protocol_type_in = PT_OSC;
    listens.dmx_in.dmx_in_osc_address = QStringLiteral("/led/1");
    in = autoPatchInput(osc("/led/7"), {listens});
    QCOMPARE(in.protocol_type_in, quint8(PT_OSC));
    QCOMPARE(in.dmx_in_osc_address, QStringLiteral("/led/2"));
    QCOMPARE(autoPatchInput(osc("/led"), {}), SettingDmxInStruct());
}

QTEST_APPLESS_MAIN(TestAutoPatch)
#include "tst_autopatch.moc"
