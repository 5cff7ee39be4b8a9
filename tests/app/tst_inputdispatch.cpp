#include "inputdispatch.h"

#include <QtTest>

namespace {

class FakeInputs : public InputPorts
{
public:
    struct Registration {
        quint8 protocol;
        quint8 *buffer;
        int size;
        quint16 lowest;
    };
    QList<Registration> registrations;
    int midiCreated = 0;
    QList<QString> midiAsked;

    void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size, quint16 lowest) override
    {
        registrations.append({protocol, buffer, size, lowest});
    }
    void ensureMidi() override { ++midiCreated; }
    bool receivedValue(quint8 protocol, quint16 universe, quint16 channel, quint8 *value) override
    {
        // Mimics a node: the value lives in the registered buffer.
        for (auto it = registrations.crbegin(); it != registrations.crend(); ++it) {
            if (it->protocol != protocol)
                continue;
            if (!it->buffer || universe < it->lowest)
                return false;
            const int index = (universe - it->lowest) * 512 + channel;
            if (channel >= 512 || index >= it->size)
                return false;
            *value = it->buffer[index];
            return true;
        }
        return false;
    }
    bool midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                        quint8 *value) override
    {
        midiAsked.append(QStringLiteral("%1 %2 %3 %4").arg(device).arg(type).arg(channel).arg(number));
        *value = 64;
        return true;
    }
};

SettingStruct listening(quint8 protocol, quint16 universe, quint16 channel = 0)
{
    SettingStruct s;
    s.control_type = CT_FADER_VERTICAL;
    s.dmx_in.protocol_type_in = protocol;
    s.dmx_in.dmx_in_universe = universe;
    s.dmx_in.dmx_in_channel = channel;
    return s;
}

} // namespace

class TestInputDispatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneBufferSpansTheRange();
    void unusedProtocolKeepsItsBuffer();
    void midiNeedsAnInputDevice();
};

void TestInputDispatch::oneBufferSpansTheRange()
{
    FakeInputs ports;
    InputDispatch dispatch(ports);
    const SettingStruct a = listening(PT_ARTNET, 7, 4), b = listening(PT_ARTNET, 3),
                        label = [] {
                            SettingStruct s = listening(PT_ACN, 9);
                            s.control_type = CT_LABEL; // every type counts
                            return s;
                        }();
    dispatch.setUp({&a, &b, &label});
    QCOMPARE(ports.registrations.size(), 2);
    QCOMPARE(ports.registrations[0].protocol, quint8(PT_ARTNET));
    QCOMPARE(ports.registrations[0].size, 5 * 512);
    QCOMPARE(ports.registrations[0].lowest, quint16(3));
    QCOMPARE(ports.registrations[1].size, 512);
    QCOMPARE(ports.registrations[1].lowest, quint16(9));

    // Universe 7, channel 4 sits at (7 - 3) * 512 + 4.
    const_cast<char *>(dispatch.buffer(PT_ARTNET).constData())[4 * 512 + 4] = char(200);
    QCOMPARE(dispatch.fetch(a.dmx_in, nullptr), std::optional<quint8>(200));
    // A background on universe 9 of Art-Net lies outside the controls' range.
    QCOMPARE(dispatch.fetch(listening(PT_ARTNET, 9).dmx_in, nullptr), std::nullopt);
    QCOMPARE(ports.midiCreated, 0);
}

void TestInputDispatch::unusedProtocolKeepsItsBuffer()
{
    FakeInputs ports;
    InputDispatch dispatch(ports);
    const SettingStruct a = listening(PT_ACN, 2);
    dispatch.setUp({&a});
    QCOMPARE(ports.registrations.size(), 1);
    const SettingStruct m = listening(PT_MIDI, 0, 60);
    dispatch.setUp({&m});
    QCOMPARE(ports.registrations.size(), 1); // sACN untouched
    QCOMPARE(dispatch.buffer(PT_ACN).size(), 512);
    QCOMPARE(ports.midiCreated, 1);
    // Replacing unregisters the old buffer first.
    dispatch.setUp({&a, &m});
    QCOMPARE(ports.registrations.size(), 3);
    QCOMPARE(ports.registrations[1].buffer, nullptr);
    QVERIFY(ports.registrations[2].buffer != nullptr);
}

void TestInputDispatch::midiNeedsAnInputDevice()
{
    FakeInputs ports;
    InputDispatch dispatch(ports);
    SettingDmxInStruct in = listening(PT_MIDI, 0, 60).dmx_in;
    in.dmx_in_midi_type = MT_NOTE_ON;
    PreferencesStruct prefs;
    QCOMPARE(dispatch.fetch(in, &prefs), std::nullopt);
    QCOMPARE(dispatch.fetch(in, nullptr), std::nullopt);
    QVERIFY(ports.midiAsked.isEmpty());
    prefs.midi_device_in = 2;
    QCOMPARE(dispatch.fetch(in, &prefs, true), std::optional<quint8>(64));
    QCOMPARE(ports.midiAsked, QList<QString>{QStringLiteral("1 144 0 60")});
}

QTEST_GUILESS_MAIN(TestInputDispatch)
#include "tst_inputdispatch.moc"
