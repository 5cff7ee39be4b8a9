// The control editor's type resets and its picture file, without a window.
#include "dialogs/controledit.h"
#include "dialogs/settingsrules.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSettingsRules : public QObject
{
    Q_OBJECT

private slots:
    void typeResets_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("out");
        QTest::addColumn<int>("advanced"); // the second output's type
        QTest::addColumn<int>("in");
        const int none = AOT_NONE, centre = AOT_CENTER;
        QTest::newRow("button") << 0 << int(PT_ARTNET) << none << int(PT_ACN);
        QTest::newRow("center fader") << 5 << int(PT_ARTNET) << centre << int(PT_ACN);
        QTest::newRow("pitch bend") << 7 << int(PT_ARTNET) << none << int(PT_NONE);
        QTest::newRow("encoder push")
            << 13 << int(PT_ARTNET) << int(AOT_ENCODER_PUSH) << int(PT_NONE);
        QTest::newRow("encoder switch")
            << 14 << int(PT_ARTNET) << int(AOT_ENCODER_SWITCH) << int(PT_NONE);
        QTest::newRow("led") << 16 << int(PT_NONE) << none << int(PT_ACN);
        QTest::newRow("group") << 19 << int(PT_NONE) << none << int(PT_NONE);
    }

    // What a type does not use goes back to the defaults, not just its protocol.
    void typeResets()
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

    void oscAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("parts") << "/mixer/fader-1.gain_2" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("no slash first") << "fader/1" << false;
        QTest::newRow("empty part") << "/a//b" << false;
        QTest::newRow("slash last") << "/a/" << false;
        QTest::newRow("space") << "/a b" << false;
        QTest::newRow("comma") << "/a,b" << false;
        QTest::newRow("a pattern") << "/fader/*" << false;
        QTest::newRow("not ASCII") << "/f\u00e4der" << false;
    }

    void oscAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QCOMPARE(isValidOscAddress(address), valid);
    }

    void pendingBitmapReadAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::red);
        QVERIFY(small.save(path));

        SettingStruct destination;
        destination.id = 3;
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

        // Deleted, the file is forgotten too.
        edit.deleteBitmap();
        QCOMPARE(edit.apply({}, {}), ControlEdit::Result::Applied);
        QVERIFY(destination.bitmap.isNull());
    }
};

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
