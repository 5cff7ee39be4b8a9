#include "settingstruct.h"
#include "typetables.h"

#include <QtTest>

class TestTypeTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlKeys_data();
    void controlKeys();
    void controlTypeOutOfRange();
    void protocolKeys_data();
    void protocolKeys();
    void midiTexts_data();
    void midiTexts();
    void midiUnknownStatus();
};

void TestTypeTables::controlKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("writtenBack");
    QTest::newRow("button_push") << "button_push" << 0 << "button_push";
    QTest::newRow("encoder") << "encoder" << 12 << "encoder";
    QTest::newRow("jog_wheel is an encoder") << "jog_wheel" << 12 << "encoder";
    QTest::newRow("group") << "group" << 19 << "group";
    QTest::newRow("keys are case-sensitive") << "Knob" << 0 << "button_push";
    QTest::newRow("unknown") << "unknown" << 0 << "button_push";
    QTest::newRow("empty") << "" << 0 << "button_push";
}

void TestTypeTables::controlKeys()
{
    QFETCH(QString, key);
    QFETCH(int, type);
    QFETCH(QString, writtenBack);
    QCOMPARE(int(controlTypeFromKey(key)), type);
    QCOMPARE(controlTypeKey(controlTypeFromKey(key)), writtenBack);
}

void TestTypeTables::controlTypeOutOfRange()
{
    QCOMPARE(controlTypeKey(20), QStringLiteral("button_push"));
    QCOMPARE(controlTypeLabel(255), QStringLiteral("Button - Push"));
    QCOMPARE(protocolTypeKey(6), QStringLiteral("None"));
    // Every key converts back to its own number.
    for (quint8 t = 0; t < CT_COUNT; ++t)
        QCOMPARE(controlTypeFromKey(controlTypeKey(t)), t);
}

void TestTypeTables::protocolKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("type");
    QTest::newRow("Art-Net") << "Art-Net" << 1;
    QTest::newRow("streaming ACN") << "streaming ACN" << 2;
    QTest::newRow("Midi") << "Midi" << 3;
    QTest::newRow("MIDI is not a key") << "MIDI" << 0;
    QTest::newRow("Command") << "Command" << 5;
    QTest::newRow("artnet lower case") << "art-net" << 0;
    QTest::newRow("missing") << "" << 0;
}

void TestTypeTables::protocolKeys()
{
    QFETCH(QString, key);
    QFETCH(int, type);
    QCOMPARE(int(protocolTypeFromKey(key)), type);
}

void TestTypeTables::midiTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::newRow("key") << "note_on" << 0x90;
    QTest::newRow("accepted text") << "Note On" << 0x90;
    QTest::newRow("display label is not accepted") << "Note, On" << 0;
    QTest::newRow("pitch wheel") << "Pitch Wheel Change" << 0xE0;
    QTest::newRow("system") << "system_message" << 0xF0;
    QTest::newRow("none") << "none" << 0;
    QTest::newRow("None") << "None" << 0;
    QTest::newRow("garbage") << "0x90" << 0;
}

void TestTypeTables::midiTexts()
{
    QFETCH(QString, text);
    QFETCH(int, status);
    QCOMPARE(int(midiTypeFromText(text)), status);
}

void TestTypeTables::midiUnknownStatus()
{
    QCOMPARE(midiTypeKey(0x85), QStringLiteral("none"));
    QCOMPARE(midiTypeLabel(0x85), QStringLiteral("None"));
    QCOMPARE(midiTypeKey(0xB0), QStringLiteral("control_change"));
}

QTEST_GUILESS_MAIN(TestTypeTables)
#include "tst_typetables.moc"
