// The midi class over a fake backend: message packing, result codes,
// device opening rules, the input table and device-name matching; and the
// real platform backend on a machine without any MIDI system.
#include "io/midi.h"
#include "tests/io/fakemidibackend.h"

#include <QtTest>

#include <atomic>
#include <thread>

class TestMidi : public QObject
{
    Q_OBJECT

private:
    FakeMidiLog log;
    FakeMidiBackend *backend = nullptr; // owned by the midi object

    std::unique_ptr<midi> makeMidi()
    {
        log = FakeMidiLog();
        auto fake = std::make_unique<FakeMidiBackend>(&log);
        backend = fake.get();
        return std::make_unique<midi>(std::move(fake));
    }

private slots:
    void packing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("data1");
        QTest::addColumn<int>("data2");
        QTest::addColumn<quint32>("packed"); // bytes on the wire: status, data1, data2

        QTest::newRow("control change ch 4, cc 7 = 100") << 0xB0 << 3 << 7 << 100 << 0x6407B3u;
        QTest::newRow("data2 200 is masked to 72") << 0x90 << 0 << 60 << 200 << 0x483C90u;
        QTest::newRow("channel 17 becomes 1") << 0x90 << 17 << 60 << 1 << 0x013C91u;
        QTest::newRow("data1 0x85 is masked to 5") << 0x80 << 0 << 0x85 << 0 << 0x000580u;
    }

    void packing()
    {
        QFETCH(int, status);
        QFETCH(int, channel);
        QFETCH(int, data1);
        QFETCH(int, data2);
        QFETCH(quint32, packed);
        auto m = makeMidi();
        QCOMPARE(
            m->sendShortMessage(0, quint8(status), quint8(channel), quint8(data1), quint8(data2)),
            1);
        QCOMPARE(log.sent, QList<quint32>{packed});
    }

    // A failing send answers its code and warns once; the device is not opened
    // again, and the other devices still work.
    void failuresWarnedOnce_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("openResult");
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        const QString noDevice = "no such MIDI output device, or it cannot be opened";
        QTest::newRow("past the list") << 2 << 0 << 0 << -1 << noDevice;
        QTest::newRow("open fails") << 0 << int(MidiBackend::Allocated) << 0 << -1 << noDevice;
        QTest::newRow("not ready") << 1 << 0 << 67 << -4 << "MIDI output device not ready";
        QTest::newRow("unspecified error") << 1 << 0 << 1 << -6 << "MIDI send failed";
    }

    void failuresWarnedOnce()
    {
        QFETCH(int, device);
        QFETCH(int, openResult);
        QFETCH(int, platform);
        QFETCH(int, result);
        QFETCH(QString, text);
        auto m = makeMidi();
        backend->openOutputResult = openResult;
        backend->sendResult = platform;
        QTest::ignoreMessage(
            QtWarningMsg,
            qPrintable(QStringLiteral("MIDI-OUT %1 message not sent: %2").arg(device).arg(text)));
        QCOMPARE(m->sendShortMessage(quint8(device), 0xB0, 0, 1, 2), result);
        QCOMPARE(midi::sendResultText(result), text);
        // The same failure again is not warned about twice, nor is a failed
        // open tried again.
        QTest::failOnWarning(QRegularExpression("not sent"));
        backend->openOutputResult = MidiBackend::NoError;
        QCOMPARE(m->sendShortMessage(quint8(device), 0xB0, 0, 1, 3), result);
        QCOMPARE(log.openOutputCalls, device < 2 ? 1 : 0);
        if (platform == 0)
            QVERIFY(log.sent.isEmpty());
        backend->sendResult = 0;
        QCOMPARE(m->sendShortMessage(device == 0 ? 1 : 0, 0xB0, 0, 1, 4), 1);
    }

    // Each output is opened and reset once; the end closes everything, and a
    // late message from the platform finds no instance (no use after free).
    void deviceOpenedOnceAndReset()
    {
        auto m = makeMidi();
        QCOMPARE(m->sendShortMessage(1, 0xB0, 0, 1, 2), 1);
        QCOMPARE(m->sendShortMessage(1, 0xB0, 0, 1, 3), 1);
        QCOMPARE(m->sendShortMessage(0, 0xB0, 0, 1, 4), 1);
        QCOMPARE(log.calls,
                 (QList<QByteArray>{"openOutput", "resetOutput", "openOutput", "resetOutput"}));
        QCOMPARE(log.sent.size(), 3);
        quint8 value = 0;
        m->getInputValue(0, 0x90, 0, 60, value);
        const MidiBackend::InputCallback callback = backend->callback;
        log.calls.clear();
        m.reset();
        QCOMPARE(log.calls,
                 (QList<QByteArray>{"closeOutput", "closeOutput", "stopInput", "closeInput"}));
        callback(MidiBackend::InputData, 0x403C90);
    }

    // An input that cannot be opened reads nothing and is not tried again.
    void noInput()
    {
        auto m = makeMidi();
        backend->openInputResult = MidiBackend::Allocated;
        quint8 value = 99;
        QVERIFY(!m->getInputValue(0, 0x90, 0, 60, value));
        QVERIFY(!m->getInputValue(0, 0x90, 0, 60, value));
        QCOMPARE(log.openInputCalls, 1);
        QCOMPARE(value, quint8(99));
    }

    // Opened on the first poll. A data message fills the row of its type and
    // channel (zero-filled; the low nibble of the asked status does not
    // count); other kinds of message are not stored.
    void inputTable()
    {
        auto m = makeMidi();
        quint8 value = 99;
        QVERIFY(!m->getInputValue(0, 0x90, 0, 60, value)); // nothing arrived yet
        QCOMPARE(log.calls, (QList<QByteArray>{"openInput", "resetInput", "startInput"}));
        const unsigned none = 0, data = MidiBackend::InputData;
        const struct {
            unsigned kind; // the message that arrives first; none: no message
            quint32 message;
            int device, status, channel, key, value; // the poll; value -1: nothing read
        } steps[] = {
            {data, 0x403C90, 0, 0x90, 0, 60, 64}, // note on, ch 1, key 60, vel 64
            {none, 0, 0, 0x90, 0, 61, 0},
            {none, 0, 0, 0x90, 1, 60, -1},
            {data, 0x003C80, 0, 0x80, 0, 60, 0}, // note-off: a row of its own
            {none, 0, 0, 0x90, 0, 60, 64},
            {data, 0x003C90, 0, 0x90, 0, 60, 0}, // velocity 0 kept as such
            {data, 0x7F07BF, 0, 0xB5, 15, 7, 127},
            {MidiBackend::InputMoreData, 0x0101A0, 0, 0xA0, 0, 1, -1},
            {MidiBackend::InputError, 0x0101A0, 0, 0xA0, 0, 1, -1},
            {MidiBackend::InputOpen, 0x0101A0, 0, 0xA0, 0, 1, -1},
            {none, 0, 0, 0x90, 16, 60, -1}, // channel 16
            {none, 0, 0, 0x90, 0, 128, -1}, // past the row
            {none, 0, 1, 0x90, 0, 60, -1},  // no such device
        };
        for (const auto &s : steps) {
            if (s.kind != none)
                backend->callback(s.kind, s.message);
            value = 99;
            QCOMPARE(m->getInputValue(quint8(s.device), quint8(s.status), quint8(s.channel),
                                      quint8(s.key), value),
                     s.value >= 0);
            QCOMPARE(int(value), s.value >= 0 ? s.value : 99);
        }
        QCOMPARE(log.openInputCalls, 1);
    }

    // The observer sees each data message, system messages included, from the
    // moment the input opens until it is removed; the table is filled as before.
    void observerSeesEveryMessage()
    {
        auto m = makeMidi();
        QList<quint32> seen;
        quint8 stored = 0;
        m->setInputObserver([&](quint8 status, quint8 data1, quint8 data2) {
            seen << (quint32(status) | quint32(data1) << 8 | quint32(data2) << 16);
        });
        QVERIFY(!m->openInputDevice(1)); // no such device
        QVERIFY(m->openInputDevice(0));
        QVERIFY(m->openInputDevice(0));
        QCOMPARE(log.openInputCalls, 1);
        backend->callback(MidiBackend::InputData, 0x403C90);
        backend->callback(MidiBackend::InputData, 0x0000F8);     // clock
        backend->callback(MidiBackend::InputMoreData, 0x0101A0); // not data
        backend->callback(MidiBackend::InputData, 0xFF8AB3);     // data bytes masked
        QCOMPARE(seen, (QList<quint32>{0x403C90, 0x0000F8, 0x7F0AB3}));
        QVERIFY(m->getInputValue(0, 0xB0, 3, 10, stored));
        QCOMPARE(stored, quint8(127));

        m->setInputObserver({});
        backend->callback(MidiBackend::InputData, 0x403D90);
        QCOMPARE(seen.size(), 3);
    }

    // One thread writes as the platform's callback does while this thread polls
    // like the console. Every value read must be one that was written (or the
    // zero of a fresh row), for every type, channel and key.
    void tableIsConsistentWhileWritten()
    {
        auto m = makeMidi();
        quint8 value = 0;
        m->getInputValue(0, 0x90, 0, 60, value);
        const MidiBackend::InputCallback callback = backend->callback;

        std::atomic<bool> done{false};
        std::thread writer([&] {
            for (int round = 0; round < 40; ++round) {
                for (quint32 status = 0x80; status <= 0xFF; ++status)
                    for (quint32 key = 0; key < 128; key += 9) {
                        // Values alternate between key and 127 - key.
                        const quint32 v = (round % 2) ? key : 127 - key;
                        callback(MidiBackend::InputData, status | key << 8 | v << 16);
                    }
            }
            done = true;
        });
        int reads = 0;
        bool consistent = true;
        while (!done || reads == 0) {
            for (int status = 0x80; status <= 0xF0; status += 0x10)
                for (int channel = 0; channel < 16; ++channel)
                    for (int key = 0; key < 128; key += 9) {
                        if (!m->getInputValue(0, quint8(status), quint8(channel), quint8(key),
                                              value))
                            continue;
                        ++reads;
                        if (value != 0 && value != key && value != 127 - key)
                            consistent = false;
                    }
        }
        writer.join();
        QVERIFY(consistent);
        // Finally every row holds the last round's value.
        for (int status = 0x80; status <= 0xF0; status += 0x10)
            for (int channel = 0; channel < 16; ++channel) {
                QVERIFY(m->getInputValue(0, quint8(status), quint8(channel), 9, value));
                QCOMPARE(value, quint8(9));
            }
    }

    void deviceNumber_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<quint32>("number");

        const QStringList plain{"Microsoft GS Wavetable Synth", "USB MIDI Interface"};
        QTest::newRow("exact, 1-based") << plain << "USB MIDI Interface" << 2u;
        QTest::newRow("no device has the name") << plain << "Gone" << 0u;
        QTest::newRow("case matters") << plain << "usb midi interface" << 0u;

        const QStringList jack{"system:midi_playback_1", "Acme Synth X:MIDI 1",
                               "Acme Synth X:MIDI 2"};
        QTest::newRow("stored with suffix, now without") << jack << "Acme Synth X-01:MIDI 1" << 2u;
        QTest::newRow("stored without suffix, now with")
            << QStringList{"a:b", "Acme Synth X-02:MIDI 1"} << "Acme Synth X:MIDI 1" << 2u;
        QTest::newRow("exact beats suffix match")
            << QStringList{"Acme-01:p", "Acme:p"} << "Acme:p" << 2u;
        QTest::newRow("same client, other port") << jack << "Acme Synth X-01:MIDI 3" << 0u;
        QTest::newRow("suffix must be digits") << QStringList{"Acme-ab:p"} << "Acme:p" << 0u;
        QTest::newRow("port with colons")
            << QStringList{"a2j-01:Midi Through [14] (capture): Port-0"}
            << "a2j:Midi Through [14] (capture): Port-0" << 1u;
    }

    void deviceNumber()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, stored);
        QFETCH(quint32, number);
        QCOMPARE(midiDeviceNumber(names, stored), number);
    }

    // No ALSA on this machine and no JACK server of this name: the product
    // backend has no devices, and nothing throws or crashes.
    void platformWithoutMidiSystem()
    {
        qputenv("JACK_DEFAULT_SERVER", QByteArray("pultora-absent-") +
                                           QByteArray::number(QCoreApplication::applicationPid()));
        qputenv("JACK_NO_START_SERVER", "1");
        // Where an ALSA sequencer exists it would rightly be used and may list
        // devices: test the JACK side there.
        if (QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
            qputenv("PULTORA_MIDI_API", "jack");
        QVERIFY(midi::platformOutputDeviceNames().isEmpty());
        QVERIFY(midi::platformInputDeviceNames().isEmpty());
        midi m;
        QCOMPARE(m.sendShortMessage(0, 0xB0, 3, 7, 100), -1);
        quint8 value = 0;
        QVERIFY(!m.getInputValue(0, 0x90, 0, 60, value));
    }

    // The open output and input disappear: both are closed, reported, sends say
    // "not opened"; they come back at another index (a new device took the
    // first place, JACK renamed the client) and are opened again by name.
    void devicesThatComeAndGo()
    {
        auto m = makeMidi();
        backend->outputs = {"synth:out", "Out B"};
        backend->inputs = {"pad:in"};
        QStringList notices;
        m->setNoticeHandler([&](const QString &text) { notices << text; });
        QCOMPARE(m->sendShortMessage(0, 0x90, 0, 60, 1), int(midi::SendOk));
        quint8 v = 0;
        m->getInputValue(0, 0x90, 0, 60, v);
        QVERIFY(!m->checkDevices()); // nothing changed

        backend->outputs = {"Out B"};
        backend->inputs = {};
        QTest::ignoreMessage(QtWarningMsg, "MIDI output device \"synth:out\" disappeared");
        QTest::ignoreMessage(QtWarningMsg, "MIDI input device \"pad:in\" disappeared");
        QVERIFY(m->checkDevices());
        QCOMPARE(notices.size(), 2);
        QVERIFY(log.calls.contains("closeOutput"));
        QVERIFY(log.calls.contains("closeInput"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("not sent: MIDI output device not opened"));
        QCOMPARE(m->sendShortMessage(0, 0x90, 0, 60, 2), int(midi::SendNotOpened));
        QVERIFY(!m->getInputValue(0, 0x90, 0, 60, v));
        QCOMPARE(m->sendShortMessage(1, 0x90, 0, 60, 3), int(midi::SendOk)); // Out B moved up

        backend->outputs = {"New", "Out B", "synth-01:out"};
        backend->inputs = {"pad:in"};
        QTest::ignoreMessage(QtWarningMsg, "MIDI output device \"synth:out\" is back");
        QTest::ignoreMessage(QtWarningMsg, "MIDI input device \"pad:in\" is back");
        QVERIFY(m->checkDevices());
        QCOMPARE(notices.size(), 4);
        QCOMPARE(log.openOutputCalls, 3); // synth, Out B, synth again
        QCOMPARE(m->sendShortMessage(0, 0x90, 0, 60, 4), int(midi::SendOk));
        QCOMPARE(m->outputDeviceNames(), (QStringList{"synth:out", "Out B", "New"}));
        m->sendShortMessage(2, 0x90, 0, 60, 5); // the newcomer has an index of its own
        backend->callback(MidiBackend::InputData, 0x073C90);
        QVERIFY(m->getInputValue(0, 0x90, 0, 60, v));
        QCOMPARE(v, quint8(7));
        QCOMPARE(log.sent.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestMidi)
#include "tst_midi.moc"
