// The control editor's rules and its working record, without a window.
#include "dialogs/controledit.h"
#include "dialogs/settingsrules.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{

QString names(std::initializer_list<std::pair<bool, const char *>> rows)
{
    QStringList shown;
    for (const auto &row : rows) {
        if (row.first)
            shown << QLatin1String(row.second);
    }
    return shown.join(QLatin1Char(' '));
}

QString shownRows(const DmxOutRows &r)
{
    return names({{r.group, "group"},
                  {r.value1, "v1"},
                  {r.value2, "v2"},
                  {r.value3, "v3"},
                  {r.channel, "ch"},
                  {r.note, "note"},
                  {r.universe, "uni"},
                  {r.midiType, "midi"},
                  {r.http, "http"},
                  {r.command, "cmd"}});
}

QString shownRows(const DmxInRows &r)
{
    return names({{r.group, "group"},
                  {r.value1, "v1"},
                  {r.value2, "v2"},
                  {r.value3, "v3"},
                  {r.color1, "c1"},
                  {r.color2, "c2"},
                  {r.color3, "c3"},
                  {r.fade, "fade"},
                  {r.channel, "ch"},
                  {r.note, "note"},
                  {r.universe, "uni"},
                  {r.midiType, "midi"}});
}

SettingStruct control(quint32 id)
{
    SettingStruct r;
    r.id = id;
    r.name = QStringLiteral("Fader 1");
    r.control_type = CT_FADER_VERTICAL;
    r.dmx_out.protocol_type = PT_ARTNET;
    return r;
}

} // namespace

class TestSettingsRules : public QObject
{
    Q_OBJECT

private slots:
    void hexTexts();
    void advancedType_data();
    void advancedType();
    void outputRows_data();
    void outputRows();
    void inputRows_data();
    void inputRows();
    void typeResets_data();
    void typeResets();
    void clampOnlyWhatIsApplied();
    void workingRecordUntilApply();
    void findingsAsked_data();
    void findingsAsked();
    void pendingBitmapReadAgain();
};

void TestSettingsRules::hexTexts()
{
    QCOMPARE(hexText(255), QStringLiteral("0xff"));
    QCOMPARE(hexText(5), QStringLiteral("0x05"));
    QCOMPARE(hexText(0x90), QStringLiteral("0x90"));
    QCOMPARE(hexColorText(255, 0, 127), QStringLiteral("0xff 00 7f"));
}

void TestSettingsRules::advancedType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("advanced");
    for (int centre : {CT_FADER_VERTICAL_MIDDLE, CT_FADER_HORIZONTAL_MIDDLE,
                       CT_PITCH_BEND_VERTICAL_MIDDLE, CT_PITCH_BEND_HORIZONTAL_MIDDLE})
        QTest::addRow("centre type %d", centre) << centre << int(AOT_CENTER);
    QTest::newRow("encoder push") << int(CT_ENCODER_PUSH) << 0;
    QTest::newRow("encoder switch") << int(CT_ENCODER_SWITCH) << 1;
    QTest::newRow("fader") << int(CT_FADER_VERTICAL) << int(AOT_NONE);
    QTest::newRow("encoder") << int(CT_ENCODER) << int(AOT_NONE);
    QTest::newRow("button") << int(CT_BUTTON_PUSH) << int(AOT_NONE);
}

void TestSettingsRules::advancedType()
{
    QFETCH(int, type);
    QFETCH(int, advanced);
    QCOMPARE(int(advancedOutputType(quint8(type))), advanced);
}

void TestSettingsRules::outputRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("rows");
    QTest::newRow("button, none") << 0 << int(PT_NONE) << "group";
    QTest::newRow("button, Art-Net") << 0 << int(PT_ARTNET) << "group v1 v2 ch uni";
    QTest::newRow("button, sACN") << 1 << int(PT_ACN) << "group v1 v2 ch uni";
    QTest::newRow("button, MIDI") << 0 << int(PT_MIDI) << "group v1 v2 note uni midi";
    QTest::newRow("fader, HTTP") << 3 << int(PT_HTTP) << "group v1 v2 http";
    QTest::newRow("knob, command") << 11 << int(PT_COMMAND) << "group v1 v2 cmd";
    QTest::newRow("encoder, Art-Net") << 12 << int(PT_ARTNET) << "group v1 v2 v3 ch uni";
    QTest::newRow("encoder switch, MIDI") << 14 << int(PT_MIDI) << "group v1 v2 v3 note uni midi";
    QTest::newRow("center, Art-Net") << int(AOT_CENTER) << int(PT_ARTNET) << "group v1 ch uni";
    QTest::newRow("center, MIDI") << int(AOT_CENTER) << int(PT_MIDI) << "group v1 note uni midi";
    QTest::newRow("center, HTTP") << int(AOT_CENTER) << int(PT_HTTP) << "group v1 v2 http";
    QTest::newRow("center, command") << int(AOT_CENTER) << int(PT_COMMAND) << "group v1 v2 cmd";
    QTest::newRow("label") << 15 << int(PT_ARTNET) << "";
    QTest::newRow("led keeps its rows but no group") << 16 << int(PT_ARTNET) << "v1 v2 ch uni";
    QTest::newRow("group frame, MIDI") << 19 << int(PT_MIDI) << "midi";
    QTest::newRow("no advanced output") << int(AOT_NONE) << int(PT_ARTNET) << "";
    QTest::newRow("unknown protocol is none") << 0 << 6 << "group";
}

void TestSettingsRules::outputRows()
{
    QFETCH(int, type);
    QFETCH(int, protocol);
    QFETCH(QString, rows);
    QCOMPARE(shownRows(dmxOutRows(quint8(type), quint8(protocol))), rows);
}

void TestSettingsRules::inputRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("rows");
    QTest::newRow("button, none") << 0 << int(PT_NONE) << "group";
    QTest::newRow("button, Art-Net")
        << 0 << int(PT_ARTNET) << "group v1 v2 v3 c1 c2 c3 fade ch uni";
    QTest::newRow("button, MIDI") << 1 << int(PT_MIDI)
                                  << "group v1 v2 v3 c1 c2 c3 fade note uni midi";
    QTest::newRow("direct value, sACN") << 2 << int(PT_ACN) << "group v1 v2 c1 c2 fade ch uni";
    QTest::newRow("fader, Art-Net") << 3 << int(PT_ARTNET) << "group v1 v2 ch uni";
    QTest::newRow("center fader, MIDI") << 6 << int(PT_MIDI) << "group v1 v2 note uni midi";
    QTest::newRow("led, Art-Net") << 16 << int(PT_ARTNET) << "group v1 v2 v3 c1 c2 c3 fade ch uni";
    QTest::newRow("encoder: no group") << 12 << int(PT_ARTNET) << "v1 v2 v3 c1 c2 c3 fade ch uni";
    QTest::newRow("label: nothing, MIDI type stays") << 15 << int(PT_MIDI) << "midi";
    QTest::newRow("HTTP is no input") << 0 << int(PT_HTTP) << "group";
}

void TestSettingsRules::inputRows()
{
    QFETCH(int, type);
    QFETCH(int, protocol);
    QFETCH(QString, rows);
    QCOMPARE(shownRows(dmxInRows(quint8(type), quint8(protocol))), rows);
}

void TestSettingsRules::typeResets_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("out");
    QTest::addColumn<int>("advanced");
    QTest::addColumn<int>("in");
    QTest::newRow("button") << 0 << int(PT_ARTNET) << int(PT_NONE) << int(PT_ACN);
    QTest::newRow("direct value") << 2 << int(PT_ARTNET) << int(PT_NONE) << int(PT_ACN);
    QTest::newRow("center fader") << 5 << int(PT_ARTNET) << int(PT_MIDI) << int(PT_ACN);
    QTest::newRow("pitch bend") << 7 << int(PT_ARTNET) << int(PT_NONE) << int(PT_NONE);
    QTest::newRow("center pitch bend") << 9 << int(PT_ARTNET) << int(PT_MIDI) << int(PT_NONE);
    QTest::newRow("knob") << 11 << int(PT_ARTNET) << int(PT_NONE) << int(PT_NONE);
    QTest::newRow("encoder") << 12 << int(PT_ARTNET) << int(PT_NONE) << int(PT_NONE);
    QTest::newRow("encoder push") << 13 << int(PT_ARTNET) << int(PT_MIDI) << int(PT_NONE);
    QTest::newRow("led") << 16 << int(PT_NONE) << int(PT_NONE) << int(PT_ACN);
    QTest::newRow("clock") << 18 << int(PT_NONE) << int(PT_NONE) << int(PT_NONE);
    QTest::newRow("group") << 19 << int(PT_NONE) << int(PT_NONE) << int(PT_NONE);
}

// What a type does not use goes back to the defaults, not just its protocol.
void TestSettingsRules::typeResets()
{
    QFETCH(int, type);
    QFETCH(int, out);
    QFETCH(int, advanced);
    QFETCH(int, in);
    ControlEdit edit;
    SettingStruct &w = edit.working();
    w.dmx_out.protocol_type = PT_ARTNET;
    w.dmx_out.dmx_channel = 7;
    w.dmx_out_advanced.protocol_type = PT_MIDI;
    w.dmx_out_advanced.dmx_channel = 7;
    w.dmx_in.protocol_type_in = PT_ACN;
    w.dmx_in.dmx_in_channel = 7;
    edit.setControlType(quint8(type));
    QCOMPARE(int(w.control_type), type);
    QCOMPARE(int(w.dmx_out.protocol_type), out);
    QCOMPARE(int(w.dmx_out_advanced.protocol_type), advanced);
    QCOMPARE(int(w.dmx_in.protocol_type_in), in);
    QCOMPARE(w.dmx_out.dmx_channel, quint16(out ? 7 : 0));
    QCOMPARE(w.dmx_out_advanced.dmx_channel, quint16(advanced ? 7 : 0));
    QCOMPARE(w.dmx_in.dmx_in_channel, quint16(in ? 7 : 0));
}

void TestSettingsRules::clampOnlyWhatIsApplied()
{
    SettingStruct destination = control(0);
    ControlEdit edit;
    edit.start(&destination);
    SettingStruct &w = edit.working();
    w.dmx_out.protocol_type = PT_MIDI;
    w.dmx_out.dmx_value_1 = 200;
    w.dmx_out.dmx_universe = 39;
    w.dmx_out.dmx_channel = 300;
    w.dmx_out_advanced.protocol_type = PT_ARTNET;
    w.dmx_out_advanced.dmx_value_1 = 200; // within Art-Net's range
    w.dmx_in.protocol_type_in = PT_MIDI;
    w.dmx_in.dmx_in_value_3 = 255;
    w.dmx_in.dmx_in_universe = 20;

    // Typed values stay while editing...
    QCOMPARE(int(edit.recordToApply().dmx_out.dmx_value_1), 127);
    QCOMPARE(int(edit.working().dmx_out.dmx_value_1), 200);
    // ...and only what is applied is brought into MIDI's ranges.
    QCOMPARE(edit.apply({}, {}), ControlEdit::Result::Applied);
    QCOMPARE(int(destination.dmx_out.dmx_value_1), 127);
    QCOMPARE(int(destination.dmx_out.dmx_universe), 15);
    QCOMPARE(int(destination.dmx_out.dmx_channel), 127);
    QCOMPARE(int(destination.dmx_out_advanced.dmx_value_1), 200);
    QCOMPARE(int(destination.dmx_in.dmx_in_value_3), 127);
    QCOMPARE(int(destination.dmx_in.dmx_in_universe), 15);
    QVERIFY(edit.working().sameContent(destination));
}

void TestSettingsRules::workingRecordUntilApply()
{
    SettingStruct destination = control(7);
    ControlEdit edit;
    QCOMPARE(edit.apply({}, {}), ControlEdit::Result::NoDestination);
    edit.start(&destination);
    edit.working().name = QStringLiteral("Changed");
    edit.working().position_x = 120;
    QCOMPARE(destination.name, QStringLiteral("Fader 1"));
    QCOMPARE(destination.position_x, 0u);

    QCOMPARE(edit.apply({}, {}), ControlEdit::Result::Applied);
    QCOMPARE(destination.name, QStringLiteral("Changed"));
    QCOMPARE(destination.position_x, 120u);
    QCOMPARE(destination.id, 7u);

    // A later start forgets what was not applied.
    edit.working().name = QStringLiteral("Dropped");
    edit.start(&destination);
    QCOMPARE(edit.working().name, QStringLiteral("Changed"));
    edit.start(nullptr);
    QCOMPARE(edit.destination(), &destination);
}

void TestSettingsRules::findingsAsked_data()
{
    QTest::addColumn<bool>("consistent");
    QTest::addColumn<bool>("keepEditing");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("applied");
    QTest::newRow("nothing found") << true << true << false << true;
    QTest::newRow("findings, back to the settings") << false << true << true << false;
    QTest::newRow("findings, apply anyway") << false << false << true << true;
}

void TestSettingsRules::findingsAsked()
{
    QFETCH(bool, consistent);
    QFETCH(bool, keepEditing);
    QFETCH(bool, asked);
    QFETCH(bool, applied);
    SettingStruct destination = control(0);
    ControlEdit edit;
    edit.start(&destination);
    edit.working().position_x = 60;
    QList<SettingStruct> checked;
    bool wasAsked = false;
    const auto result = edit.apply(
        [&](SettingStruct *r) {
            checked << *r;
            return consistent;
        },
        [&] {
            wasAsked = true;
            return keepEditing;
        });
    // A new control is checked too, as it would be added (id 0).
    QCOMPARE(checked.size(), 1);
    QCOMPARE(checked.first().id, 0u);
    QCOMPARE(checked.first().position_x, 60u);
    QCOMPARE(wasAsked, asked);
    QCOMPARE(result == ControlEdit::Result::Applied, applied);
    QCOMPARE(destination.position_x, applied ? 60u : 0u);
}

void TestSettingsRules::pendingBitmapReadAgain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    QImage small(4, 3, QImage::Format_RGB32);
    small.fill(Qt::red);
    QVERIFY(small.save(path));

    SettingStruct destination = control(3);
    ControlEdit edit;
    edit.start(&destination);
    edit.takeBitmapFile(path);
    QCOMPARE(edit.working().bitmap.size(), QSize(4, 3));
    QVERIFY(destination.bitmap.isNull());
    // The file changed before the apply: the apply reads it again.
    QImage large(8, 8, QImage::Format_RGB32);
    large.fill(Qt::blue);
    QVERIFY(large.save(path));
    QCOMPARE(edit.apply({}, {}), ControlEdit::Result::Applied);
    QCOMPARE(destination.bitmap.size(), QSize(8, 8));

    edit.deleteBitmap();
    QVERIFY(edit.pendingBitmapFile().isEmpty());
    QVERIFY(edit.working().bitmap.isNull());
    edit.takeBitmapFile(dir.filePath(QStringLiteral("missing.png")));
    QVERIFY(edit.working().bitmap.isNull());
}

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
