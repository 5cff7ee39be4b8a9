#include "app/inputdispatch.h"
#include "app/outputobjects.h"
#include "tests/net/fakenet.h"

#include <QtTest>

namespace
{

class FakeInputs : public InputPorts
{
public:
    struct Registration {
        quint8 protocol;
        quint8 *buffer;
        int size;
        QList<int> universes;
    };
    QList<Registration> registrations;
    int midiCreated = 0;
    QList<QString> midiAsked;

    void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                          const QList<int> &universes) override
    {
        registrations.append({protocol, buffer, size, universes});
    }
    void ensureMidi() override { ++midiCreated; }
    bool receivedValue(quint8 protocol, quint16 universe, quint16 channel, quint8 *value) override
    {
        // Mimics a node: slot i of the registered buffer holds universes[i].
        for (auto it = registrations.crbegin(); it != registrations.crend(); ++it) {
            if (it->protocol != protocol)
                continue;
            const qsizetype slot = it->universes.indexOf(int(universe));
            if (!it->buffer || slot < 0)
                return false;
            const qsizetype index = slot * 512 + channel;
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
        midiAsked.append(
            QStringLiteral("%1 %2 %3 %4").arg(device).arg(type).arg(channel).arg(number));
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

// A full universe from another console with `value` on `channel`.
QByteArray dmxDatagram(quint8 protocol, int universe, int channel, quint8 value)
{
    QByteArray levels(512, 0);
    levels[channel] = char(value);
    static quint8 sequence = 0; // a source counts its packets
    return protocol == PT_ARTNET ? artDmx(universe, levels)
                                 : e131(universe + 1, levels, ++sequence);
}

} // namespace

class TestInputDispatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneSlotPerUniverse()
    {
        FakeInputs ports;
        InputDispatch dispatch(ports);
        const SettingStruct a = listening(PT_ARTNET, 7, 4), b = listening(PT_ARTNET, 3),
                            c = listening(PT_ARTNET, 7, 9), label = [] {
                                SettingStruct s = listening(PT_ACN, 9);
                                s.control_type = CT_LABEL; // every type counts
                                return s;
                            }();
        dispatch.setUp({&a, &b, &c, &label});
        QCOMPARE(ports.registrations.size(), 2);
        QCOMPARE(ports.registrations[0].protocol, quint8(PT_ARTNET));
        QCOMPARE(ports.registrations[0].size, 2 * 512);
        QCOMPARE(ports.registrations[0].universes, QList<int>({3, 7}));
        QCOMPARE(dispatch.universes(PT_ARTNET), QList<int>({3, 7}));
        QCOMPARE(ports.registrations[1].size, 512);
        QCOMPARE(ports.registrations[1].universes, QList<int>({9}));

        // Universe 7, channel 4 sits in the second slot.
        const_cast<char *>(dispatch.buffer(PT_ARTNET).constData())[512 + 4] = char(200);
        QCOMPARE(dispatch.fetch(a.dmx_in, nullptr), std::optional<quint8>(200));
        // A background on universe 9 of Art-Net lies outside the controls' span.
        QCOMPARE(dispatch.fetch(listening(PT_ARTNET, 9).dmx_in, nullptr), std::nullopt);
        QCOMPARE(ports.midiCreated, 0);

        // Universes 0 and 60000 take two slots, not 60001.
        const SettingStruct low = listening(PT_ACN, 0), high = listening(PT_ACN, 60000);
        dispatch.setUp({&low, &high});
        QCOMPARE(ports.registrations.last().size, 2 * 512);
        QCOMPARE(ports.registrations.last().universes, QList<int>({0, 60000}));
        // Streaming ACN's last universe is 63998, Art-Net's 65535.
        const SettingStruct acnLast = listening(PT_ACN, 63998), acnPast = listening(PT_ACN, 63999),
                            artnetLast = listening(PT_ARTNET, 65535);
        dispatch.setUp({&acnLast, &acnPast, &artnetLast});
        QCOMPARE(ports.registrations.size(), 5);
        QCOMPARE(ports.registrations[3].universes, QList<int>({65535}));
        QCOMPARE(ports.registrations[4].universes, QList<int>({63998}));
    }

    void backgroundWithinTheSpan()
    {
        FakeInputs ports;
        InputDispatch dispatch(ports);
        const SettingStruct a = listening(PT_ARTNET, 3), b = listening(PT_ARTNET, 7);
        BackgroundStruct background;
        background.dmx_in = listening(PT_ARTNET, 5, 2).dmx_in;
        QVERIFY(dispatch.followsBackground(background)); // nothing set up yet
        dispatch.setUp({&a, &b}, &background);
        QCOMPARE(ports.registrations.last().universes, QList<int>({3, 5, 7}));
        QCOMPARE(ports.registrations.last().size, 3 * 512);
        const_cast<char *>(dispatch.buffer(PT_ARTNET).constData())[512 + 2] = char(33);
        QCOMPARE(dispatch.fetch(background.dmx_in, nullptr), std::optional<quint8>(33));
        QVERIFY(dispatch.followsBackground(background));

        // Outside the span (or on another protocol) the background is not followed.
        for (quint16 universe : {quint16(9), quint16(2)}) {
            background.dmx_in = listening(PT_ARTNET, universe).dmx_in;
            QVERIFY(dispatch.followsBackground(background));
            dispatch.setUp({&a, &b}, &background);
            QCOMPARE(ports.registrations.last().universes, QList<int>({3, 7}));
            QCOMPARE(dispatch.fetch(background.dmx_in, nullptr), std::nullopt);
        }
        background.dmx_in = listening(PT_ACN, 5).dmx_in;
        dispatch.setUp({&a, &b}, &background);
        QCOMPARE(ports.registrations.last().universes, QList<int>({3, 7}));
        QCOMPARE(dispatch.fetch(background.dmx_in, nullptr), std::nullopt);

        // A background moved into the span after the set-up asks for a new one.
        background.dmx_in = listening(PT_ARTNET, 6).dmx_in;
        QVERIFY(!dispatch.followsBackground(background));
        dispatch.setUp({&a, &b}, &background);
        QCOMPARE(ports.registrations.last().universes, QList<int>({3, 6, 7}));
        QVERIFY(dispatch.followsBackground(background));
        // Already a control's universe: no extra slot.
        background.dmx_in = listening(PT_ARTNET, 7).dmx_in;
        QVERIFY(dispatch.followsBackground(background));
    }

    void unusedProtocolKeepsItsBuffer()
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
        // The same universes again: no new registration.
        dispatch.setUp({&a, &m});
        QCOMPARE(ports.registrations.size(), 1);
        // Other universes: the new buffer replaces the old one in one step, with
        // the slot of the universe that stays.
        const_cast<char *>(dispatch.buffer(PT_ACN).constData())[7] = char(99);
        const SettingStruct b = listening(PT_ACN, 1);
        dispatch.setUp({&a, &b});
        QCOMPARE(ports.registrations.size(), 2);
        QCOMPARE(ports.registrations[1].universes, QList<int>({1, 2}));
        QCOMPARE(quint8(ports.registrations[1].buffer[512 + 7]), quint8(99));
        QCOMPARE(quint8(ports.registrations[1].buffer[7]), quint8(0));
        // Detached (the nodes are made anew), the same universes register again.
        dispatch.detach();
        dispatch.setUp({&a, &b});
        QCOMPARE(ports.registrations.size(), 4);
        QCOMPARE(ports.registrations.last().universes, QList<int>({1, 2}));
    }

    void receivedValueSurvivesSetUp_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<QStringList>("groups"); // multicast changes of the second set-up
        QTest::newRow("Art-Net: a universe comes")
            << int(PT_ARTNET) << QList<int>{4} << QList<int>{4, 9} << QStringList();
        QTest::newRow("Art-Net: same universes")
            << int(PT_ARTNET) << QList<int>{4, 9} << QList<int>{4, 9} << QStringList();
        QTest::newRow("sACN: a universe comes")
            << int(PT_ACN) << QList<int>{4} << QList<int>{4, 9} << QStringList{"+239.255.0.10"};
        QTest::newRow("sACN: a universe goes")
            << int(PT_ACN) << QList<int>{2, 4} << QList<int>{4} << QStringList{"-239.255.0.3"};
        QTest::newRow("sACN: same universes")
            << int(PT_ACN) << QList<int>{4, 9} << QList<int>{4, 9} << QStringList();
    }

    // Through the real nodes: a control appended or edited sets the inputs up
    // again, and what already arrived on the universes that stay must not go.
    void receivedValueSurvivesSetUp()
    {
        QFETCH(int, protocol);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        QFETCH(QStringList, groups);
        // One LAN interface; the nodes' sockets, found by their ports.
        FakeNet net;
        net.interfaces = {{QStringLiteral("02:00:00:00:00:03"),
                           {FakeNet::entry("10.0.0.3", "255.0.0.0", "10.255.255.255")}}};
        OutputObjects objects(net.env());
        InputDispatch dispatch(objects);
        auto setUp = [&dispatch, protocol](const QList<int> &universes) {
            QList<SettingStruct> records;
            for (int u : universes)
                records.append(listening(quint8(protocol), quint16(u), 6));
            QList<const SettingStruct *> pointers;
            for (const SettingStruct &r : std::as_const(records))
                pointers.append(&r);
            dispatch.setUp(pointers);
        };
        const SettingDmxInStruct kept = listening(quint8(protocol), 4, 6).dmx_in;

        setUp(before);
        FakeSocket *socket = net.boundTo(protocol == PT_ARTNET ? 6454 : 5568);
        QVERIFY(socket);
        const QHostAddress peer(QStringLiteral("10.0.0.7"));
        socket->inject(dmxDatagram(quint8(protocol), 4, 6, 200), peer);
        QCOMPARE(dispatch.fetch(kept, nullptr), std::optional<quint8>(200));
        const char *registered = dispatch.buffer(quint8(protocol)).constData();
        socket->memberships.clear();

        setUp(after);
        QCOMPARE(dispatch.fetch(kept, nullptr), std::optional<quint8>(200));
        for (int u : after)
            if (u != 4)
                QCOMPARE(dispatch.fetch(listening(quint8(protocol), quint16(u), 6).dmx_in, nullptr),
                         std::nullopt);
        QStringList changed;
        for (const FakeSocket::Membership &m : std::as_const(socket->memberships))
            changed << (m.join ? "+" : "-") + m.group.toString();
        QCOMPARE(changed, groups);
        if (before == after)
            QCOMPARE(dispatch.buffer(quint8(protocol)).constData(), registered);
        // The node writes into the new buffer.
        socket->inject(dmxDatagram(quint8(protocol), after.last(), 6, 77), peer);
        QCOMPARE(
            dispatch.fetch(listening(quint8(protocol), quint16(after.last()), 6).dmx_in, nullptr),
            std::optional<quint8>(77));
    }

    void midiNeedsAnInputDevice()
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
};

QTEST_GUILESS_MAIN(TestInputDispatch)
#include "tst_inputdispatch.moc"
