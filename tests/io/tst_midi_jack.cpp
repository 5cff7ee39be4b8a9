// The midi class with the product backend (RtMidi on JACK) against an
// independent peer (python-rtmidi), each test on a fresh JACK server with
// the dummy driver.
#include "io/midi.h"
#include "tests/io/jackserver.h"
#include "tests/io/midipeer.h"

#include <QtTest>

class TestMidiJack : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void messagesLeaveWithExactBytes();
    void noteOnArrivesInInputTable();
    void renamedClientIsFoundByStoredName();
    void deviceGoneBeforeOpenGivesErrors();
    void serverWithoutDevices();
    void serverDiesWhileDevicesOpen();
    void clientThatComesBackIsRebound();

private:
    // Sends a probe until the peer has seen one: a JACK connection becomes
    // live a cycle or more after it is made.
    bool probeOutput(midi &m, quint8 device);

    JackServer m_jack;
    MidiPeer *m_peer = nullptr;
};

// Probe: control change, channel 16, controller 127, value 1.
static const char PROBE_LINE[] = "in bf 7f 01";

void TestMidiJack::initTestCase()
{
    // Where an ALSA sequencer exists it would be chosen; these tests are
    // about JACK.
    qputenv("PULTORA_MIDI_API", "jack");
}

void TestMidiJack::init()
{
    const QString error = m_jack.start(QStringLiteral("tst"));
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    m_peer = new MidiPeer;
}

void TestMidiJack::cleanup()
{
    delete m_peer;
    m_peer = nullptr;
    m_jack.stop();
}

bool TestMidiJack::probeOutput(midi &m, quint8 device)
{
    for (int i = 0; i < 250; ++i) {
        if (m.sendShortMessage(device, 0xB0, 15, 127, 1) != 1)
            return false;
        if (m_peer->waitForLine(PROBE_LINE, 20))
            return true;
    }
    return false;
}

void TestMidiJack::messagesLeaveWithExactBytes()
{
    const QString error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    for (int round = 0; round < 3; ++round) { // and the object closes cleanly each time
        midi m;
        const QStringList names = m.outputDeviceNames();
        const quint32 number = midiDeviceNumber(names, "peerin:in");
        QVERIFY2(number > 0, qPrintable(names.join(", ")));
        const quint8 device = quint8(number - 1);
        QVERIFY(probeOutput(m, device));

        QCOMPARE(m.sendShortMessage(device, 0xB0, 3, 7, 100), 1);  // B3 07 64
        QCOMPARE(m.sendShortMessage(device, 0x90, 2, 60, 200), 1); // 92 3C 48
        QCOMPARE(m.sendShortMessage(device, 0xC0, 17, 5, 0), 1);   // C1 05
        QCOMPARE(m.sendShortMessage(device, 0xF0, 0, 1, 2), -6);   // no short message
        const QStringList expected{"in b3 07 64", "in 92 3c 48", "in c1 05"};
        QTRY_COMPARE(m_peer->lines().filter(QRegularExpression("^in (?!bf 7f 01)")), expected);
        m_peer->clear();
    }
}

void TestMidiJack::noteOnArrivesInInputTable()
{
    const QString error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    midi m;
    const QStringList names = m.inputDeviceNames();
    const quint32 number = midiDeviceNumber(names, "peerout:out");
    QVERIFY2(number > 0, qPrintable(names.join(", ")));
    const quint8 device = quint8(number - 1);
    quint8 value = 0;
    QVERIFY(!m.getInputValue(device, 0x90, 0, 60, value)); // opens, nothing yet

    bool live = false;
    for (int i = 0; i < 250 && !live; ++i) {
        m_peer->send("bf 7f 01");
        QTest::qWait(20);
        live = m.getInputValue(device, 0xB0, 15, 127, value) && value == 1;
    }
    QVERIFY2(live, "the probe never arrived");

    m_peer->send("90 3c 40"); // note on, channel 1, key 60, velocity 64
    QTRY_VERIFY(m.getInputValue(device, 0x90, 0, 60, value) && value == 64);
    m_peer->send("80 3c 00"); // note off: its own row
    QTRY_VERIFY(m.getInputValue(device, 0x80, 0, 60, value));
    QCOMPARE(value, quint8(0));
    QVERIFY(m.getInputValue(device, 0x90, 0, 60, value));
    QCOMPARE(value, quint8(64));
    QVERIFY(!m.getInputValue(device, 0x90, 16, 60, value));
}

// JACK gives a reused client name a "-NN" suffix; the device stored as
// "Acme Synth X:in" is still found when it comes back as "Acme Synth X-01:in".
void TestMidiJack::renamedClientIsFoundByStoredName()
{
    QString error = m_peer->start("Acme Synth X", "first-out");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    MidiPeer second;
    error = second.start("Acme Synth X", "second-out");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    m_peer->quit(); // now only the renamed client is left

    midi m;
    const QStringList names = m.outputDeviceNames();
    QVERIFY2(names.contains("Acme Synth X-01:in"), qPrintable(names.join(", ")));
    QVERIFY(!names.contains("Acme Synth X:in"));
    const quint32 number = midiDeviceNumber(names, "Acme Synth X:in");
    QVERIFY(number > 0);
    QCOMPARE(names.at(int(number) - 1), QString("Acme Synth X-01:in"));

    const quint8 device = quint8(number - 1);
    bool live = false;
    for (int i = 0; i < 250 && !live; ++i) {
        QCOMPARE(m.sendShortMessage(device, 0xB0, 15, 127, 1), 1);
        live = second.waitForLine(PROBE_LINE, 20);
    }
    QVERIFY(live);
}

void TestMidiJack::deviceGoneBeforeOpenGivesErrors()
{
    const QString error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    midi m;
    const quint32 out = midiDeviceNumber(m.outputDeviceNames(), "peerin:in");
    const quint32 in = midiDeviceNumber(m.inputDeviceNames(), "peerout:out");
    QVERIFY(out > 0 && in > 0);
    m_peer->quit();
    QCOMPARE(m.sendShortMessage(quint8(out - 1), 0x90, 0, 60, 64), -1);
    QCOMPARE(m.sendShortMessage(quint8(out - 1), 0x90, 0, 60, 64), -1);
    quint8 value = 0;
    QVERIFY(!m.getInputValue(quint8(in - 1), 0x90, 0, 60, value));
    QVERIFY(!m.getInputValue(quint8(in - 1), 0x90, 0, 60, value));
}

void TestMidiJack::serverWithoutDevices()
{
    midi m;
    QVERIFY(m.outputDeviceNames().isEmpty());
    QCOMPARE(m.sendShortMessage(0, 0xB0, 3, 7, 100), -1);
    quint8 value = 0;
    QVERIFY(!m.getInputValue(0, 0x90, 0, 60, value));
}

// JACK going away mid-show must not take the console with it.
void TestMidiJack::serverDiesWhileDevicesOpen()
{
    const QString error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    auto m = std::make_unique<midi>();
    const quint32 out = midiDeviceNumber(m->outputDeviceNames(), "peerin:in");
    const quint32 in = midiDeviceNumber(m->inputDeviceNames(), "peerout:out");
    QVERIFY(out > 0 && in > 0);
    QVERIFY(probeOutput(*m, quint8(out - 1)));
    quint8 value = 0;
    m->getInputValue(quint8(in - 1), 0x90, 0, 60, value);

    m_jack.stop();
    for (int i = 0; i < 100; ++i) {
        const int result = m->sendShortMessage(quint8(out - 1), 0x90, 0, 60, quint8(i));
        QVERIFY(result == 1 || result < 0);
        m->getInputValue(quint8(in - 1), 0x90, 0, 60, value);
    }
    m.reset(); // closes the ports of a dead server
}

// The peer's client goes away and comes back: the console says so both
// times, sends meanwhile return "not opened", and within 2 s of its return
// the device is open again and a value sent then arrives.
void TestMidiJack::clientThatComesBackIsRebound()
{
    QString error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    midi m;
    QStringList notices;
    m.setNoticeHandler([&notices](const QString &text) { notices << text; });
    const quint32 out = midiDeviceNumber(m.outputDeviceNames(), "peerin:in");
    QVERIFY(out > 0);
    const quint8 device = quint8(out - 1);
    QVERIFY(probeOutput(m, device));

    m_peer->quit();
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 2500);
    QCOMPARE(notices[0], QString("MIDI output device \"peerin:in\" disappeared"));
    QCOMPARE(m.sendShortMessage(device, 0x90, 0, 60, 64), int(midi::SendNotOpened));

    delete m_peer;
    m_peer = new MidiPeer;
    error = m_peer->start("peerin", "peerout");
    if (!error.isEmpty())
        QFAIL(qPrintable(error));
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 2, 2000 + 500);
    QCOMPARE(notices[1], QString("MIDI output device \"peerin:in\" is back"));
    QVERIFY(probeOutput(m, device));
    QCOMPARE(m.sendShortMessage(device, 0x90, 0, 60, 64), 1);
    QVERIFY(m_peer->waitForLine("in 90 3c 40", 2000));
}

QTEST_GUILESS_MAIN(TestMidiJack)
#include "tst_midi_jack.moc"
