#include "model/consistency.h"
#include "model/elements.h"
#include "model/oscvalue.h"
#include "model/settingstruct.h"
#include "model/typetables.h"

#include <QtTest>

class TestTypeTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("writtenBack");
        QTest::newRow("encoder") << "encoder" << 12 << "encoder";
        QTest::newRow("jog_wheel is an encoder") << "jog_wheel" << 12 << "encoder";
        QTest::newRow("keys are case-sensitive") << "Knob" << 0 << "button_push";
        QTest::newRow("unknown") << "unknown" << 0 << "button_push";
        QTest::newRow("empty") << "" << 0 << "button_push";
    }

    void controlKeys()
    {
        QFETCH(QString, key);
        QFETCH(int, type);
        QFETCH(QString, writtenBack);
        QCOMPARE(int(controlTypeFromKey(key)), type);
        QCOMPARE(controlTypeKey(controlTypeFromKey(key)), writtenBack);
    }

    // Numbers past a table read as its first entry.
    void outOfRange()
    {
        QCOMPARE(controlTypeKey(20), QStringLiteral("button_push"));
        QCOMPARE(controlTypeLabel(255), QStringLiteral("Button - Push"));
        QCOMPARE(protocolTypeKey(PT_COUNT), QStringLiteral("None"));
        QCOMPARE(protocolTypeLabel(PT_COUNT), QStringLiteral("None"));
        QCOMPARE(midiTypeKey(0x85), QStringLiteral("none"));
        QCOMPARE(midiTypeLabel(0x85), QStringLiteral("None"));
        QCOMPARE(midiTypeKey(0xB0), QStringLiteral("control_change"));
    }

    // Each type as the console treated it before the table: which output values
    // the writer keeps ("+": of the second output, which the duplicate test then
    // compares) and what the editor and the overlap test make of it (the input
    // rows: tst_dmxineditor).
    void traits_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("uses"); // picture, rich name, beneath others
        const QString button = "v1 v2 ch";
        const QString centre = "v1 v2 ch +v1 +ch";
        const QString encoder = "v1 v2 v3 ch";
        const auto row = [](int type, const QString &stored, const QString &uses = QString()) {
            QTest::newRow(qPrintable(controlTypeKey(quint8(type)))) << type << stored << uses;
        };
        for (int type : {CT_BUTTON_PUSH, CT_BUTTON_SWITCH})
            row(type, button, "picture");
        for (int type : {CT_DIRECT_VALUE, CT_FADER_VERTICAL, CT_FADER_HORIZONTAL,
                         CT_PITCH_BEND_VERTICAL, CT_PITCH_BEND_HORIZONTAL, CT_KNOB})
            row(type, button);
        for (int type : {CT_FADER_VERTICAL_MIDDLE, CT_FADER_HORIZONTAL_MIDDLE,
                         CT_PITCH_BEND_VERTICAL_MIDDLE, CT_PITCH_BEND_HORIZONTAL_MIDDLE})
            row(type, centre);
        row(CT_ENCODER, encoder);
        for (int type : {CT_ENCODER_PUSH, CT_ENCODER_SWITCH})
            row(type, encoder + " +v1 +v2 +ch");
        row(CT_LABEL, "", "rich");
        row(CT_ICON, "", "picture");
        for (int type : {CT_LED, CT_TIME})
            row(type, "");
        row(CT_GROUP, "", "beneath");
        QTest::newRow("unknown: stored as a button") << 255 << button << "";
    }

    void traits()
    {
        QFETCH(int, type);
        QFETCH(QString, stored);
        QFETCH(QString, uses);
        const ControlTraits &t = controlTraits(quint8(type));

        SettingStruct r;
        r.control_type = quint8(type);
        r.dmx_out.protocol_type = r.dmx_out_advanced.protocol_type = PT_ARTNET;
        r.dmx_out_advanced.dmx_channel = 1;
        QDomDocument document;
        QDomElement parent = document.createElement("show");
        writeControlElement(document, parent, &r);
        const QDomElement e = parent.firstChildElement();
        QStringList got;
        for (const char *suffix : {"", "_advanced"})
            for (const char *name : {"value_1", "value_2", "value_3", "channel"})
                if (e.hasAttribute(QStringLiteral("dmx_%1%2").arg(name, suffix)))
                    got << QStringLiteral("%1%2")
                               .arg(*suffix ? "+" : "", name)
                               .replace("value_", "v")
                               .replace("channel", "ch");
        QCOMPARE(got.join(' '), stored);
        SettingStruct other = r;
        other.dmx_out.protocol_type = PT_NONE;
        QCOMPARE(!Consistency::duplicateOutputs(r, other).isEmpty(), stored.contains('+'));

        got.clear();
        for (const auto &[name, on] :
             {std::pair{"picture", t.picture}, {"rich", t.richName}, {"beneath", !t.overlaps}})
            if (on)
                got << name;
        QCOMPARE(got.join(' '), uses);
        // A frame holding a control of this type is no finding.
        ConsistenceCheckStruct overlaps;
        overlaps.check_3 = overlaps.check_4 = overlaps.check_5 = false;
        const auto held = Consistency::checkAll({r, r}, BackgroundStruct(), overlaps);
        QCOMPARE(held.findings.isEmpty(), !t.overlaps);
        // Limited to 8 px a side as shown, also at half size.
        r.size_x = r.size_y = 1;
        QVERIFY(limitControlSize(&r, 50));
        QCOMPARE(QSize(int(r.size_x), int(r.size_y)), QSize(16, 16));
    }

    void protocolKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("uses"); // output, input, an address
        QTest::newRow("Art-Net") << "Art-Net" << 1 << "out in addr";
        QTest::newRow("streaming ACN") << "streaming ACN" << 2 << "out in addr";
        QTest::newRow("Midi") << "Midi" << 3 << "out in addr";
        QTest::newRow("HTTP") << "HTTP" << 4 << "out";
        QTest::newRow("MIDI is not a key") << "MIDI" << 0 << "";
        QTest::newRow("Command") << "Command" << 5 << "out";
        QTest::newRow("OSC") << "OSC" << 6 << "out in";
        QTest::newRow("missing") << "" << 0 << "";
    }

    void protocolKeys()
    {
        QFETCH(QString, key);
        QFETCH(int, type);
        QFETCH(QString, uses);
        QCOMPARE(int(protocolTypeFromKey(key)), type);
        QStringList got;
        for (const auto &[name, on] : {std::pair{"out", isOutputProtocol(quint8(type))},
                                       {"in", isInputProtocol(quint8(type))},
                                       {"addr", isAddressedProtocol(quint8(type))}})
            if (on)
                got << name;
        QCOMPARE(got.join(' '), uses);
    }

    void midiTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        QTest::newRow("key") << "note_on" << 0x90;
        QTest::newRow("accepted text") << "Note On" << 0x90;
        QTest::newRow("display label is not accepted") << "Note, On" << 0;
        QTest::newRow("pitch wheel") << "Pitch Wheel Change" << 0xE0;
        QTest::newRow("system") << "system_message" << 0xF0;
        QTest::newRow("none") << "none" << 0;
        QTest::newRow("garbage") << "0x90" << 0;
    }

    void midiTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, status);
        QCOMPARE(int(midiTypeFromText(text)), status);
    }

    // The float an OSC output sends for values over its range "value 1,
    // value 2"; the level an arriving OSC argument stands for.
    void oscFloats_data()
    {
        QTest::addColumn<QList<int>>("sent"); // value 1, value 2, then the values
        QTest::addColumn<QList<double>>("floats");
        QTest::newRow("0..255") << QList<int>{0, 255, 0, 51, 255} << QList<double>{0, 0.2, 1};
        QTest::newRow("clamped outside")
            << QList<int>{100, 200, 99, 150, 255} << QList<double>{0, 0.5, 1};
        QTest::newRow("inverted") << QList<int>{200, 100, 200, 100} << QList<double>{1, 0};
        QTest::newRow("equal: 0..255") << QList<int>{7, 7, 0, 7} << QList<double>{0, 7 / 255.0};
    }

    void oscFloats()
    {
        QFETCH(QList<int>, sent);
        QFETCH(QList<double>, floats);
        SettingDmxStruct out;
        out.dmx_value_1 = quint8(sent[0]);
        out.dmx_value_2 = quint8(sent[1]);
        QList<double> got;
        for (int i = 2; i < sent.size(); ++i)
            got << oscFloat(out, sent[i]);
        QCOMPARE(got, floats);
    }

    void oscLevels()
    {
        const std::tuple<OscArg, double, int> rows[] = {
            {OscArg::Float, 1.0, 255},        {OscArg::Float, 0.5, 128}, {OscArg::Float, 7.5, 255},
            {OscArg::Float, std::nan(""), 0}, {OscArg::Int, 1000, 255},  {OscArg::Int, -5, 0},
            {OscArg::True, 0, 255},           {OscArg::False, 1, 0}};
        for (const auto &[kind, number, level] : rows)
            QCOMPARE(int(oscLevel(kind, number)), level);
        SettingDmxStruct ipv6;
        ipv6.osc_host = "::1";
        QCOMPARE(oscTargetKey(ipv6, PreferencesStruct()), QStringLiteral("[::1]:9000"));
    }
};

QTEST_GUILESS_MAIN(TestTypeTables)
#include "tst_typetables.moc"
