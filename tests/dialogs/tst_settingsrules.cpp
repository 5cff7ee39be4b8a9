// The control editor's rules and its working record, without a window.
#include "dialogs/controledit.h"
#include "dialogs/settingsrules.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{

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
    void typeResets_data();
    void typeResets();
    void clampOnlyWhatIsApplied();
    void workingRecordUntilApply();
    void findingsAsked_data();
    void findingsAsked();
    void pendingBitmapReadAgain();
};

void TestSettingsRules::typeResets_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("out");
    QTest::addColumn<int>("advanced"); // the second output's type
    QTest::addColumn<int>("in");
    const int none = AOT_NONE, centre = AOT_CENTER;
    QTest::newRow("button") << 0 << int(PT_ARTNET) << none << int(PT_ACN);
    QTest::newRow("direct value") << 2 << int(PT_ARTNET) << none << int(PT_ACN);
    QTest::newRow("center fader") << 5 << int(PT_ARTNET) << centre << int(PT_ACN);
    QTest::newRow("pitch bend") << 7 << int(PT_ARTNET) << none << int(PT_NONE);
    QTest::newRow("center pitch bend") << 10 << int(PT_ARTNET) << centre << int(PT_NONE);
    QTest::newRow("knob") << 11 << int(PT_ARTNET) << none << int(PT_NONE);
    QTest::newRow("encoder") << 12 << int(PT_ARTNET) << none << int(PT_NONE);
    QTest::newRow("encoder push") << 13 << int(PT_ARTNET) << int(AOT_ENCODER_PUSH) << int(PT_NONE);
    QTest::newRow("encoder switch")
        << 14 << int(PT_ARTNET) << int(AOT_ENCODER_SWITCH) << int(PT_NONE);
    QTest::newRow("led") << 16 << int(PT_NONE) << none << int(PT_ACN);
    QTest::newRow("clock") << 18 << int(PT_NONE) << none << int(PT_NONE);
    QTest::newRow("group") << 19 << int(PT_NONE) << none << int(PT_NONE);
}

// What a type does not use goes back to the defaults, not just its protocol.
void TestSettingsRules::typeResets()
{
    QFETCH(int, type);
    QFETCH(int, out);
    QFETCH(int, advanced);
    QFETCH(int, in);
    QCOMPARE(int(advancedOutputType(quint8(type))), advanced);
    ControlEdit edit;
    SettingStruct &w = edit.working();
    w.dmx_out.protocol_type = PT_ARTNET;
    w.dmx_out.dmx_channel = 7;
    w.dmx_out_advanced.protocol_type = PT_MIDI;
    w.dmx_out_advanced.dmx_channel = 7;
    w.dmx_in.protocol_type_in = PT_ACN;
    w.dmx_in.dmx_in_channel = 7;
    edit.setControlType(quint8(type));
    const bool second = advanced != AOT_NONE;
    QCOMPARE(int(w.control_type), type);
    QCOMPARE(int(w.dmx_out.protocol_type), out);
    QCOMPARE(int(w.dmx_out_advanced.protocol_type), second ? int(PT_MIDI) : int(PT_NONE));
    QCOMPARE(int(w.dmx_in.protocol_type_in), in);
    QCOMPARE(w.dmx_out.dmx_channel, quint16(out ? 7 : 0));
    QCOMPARE(w.dmx_out_advanced.dmx_channel, quint16(second ? 7 : 0));
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
