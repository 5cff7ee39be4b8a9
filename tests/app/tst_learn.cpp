// The learn listener over the console's output objects, on a fake network
// and a fake MIDI backend: which change it hands on, what it leaves, and
// when it stops listening.
#include "app/controleditor.h"
#include "app/learnlistener.h"
#include "app/outputobjects.h"
#include "tests/io/fakemidibackend.h"
#include "tests/net/fakenet.h"

#include "net/oscpacket.h"

#include <QPushButton>
#include <QTest>

namespace
{

// protocol, universe, channel, MIDI type
using Learned = QList<int>;

// Stands for the console window the editor reports to.
class Console : public QWidget
{
    Q_OBJECT
public slots:
    void slotSettingsChanged() {}
};

} // namespace

class TestLearn : public QObject
{
    Q_OBJECT

private:
    FakeNet m_net;
    FakeMidiLog m_midiLog;
    FakeMidiBackend *m_midi = nullptr;
    std::unique_ptr<OutputObjects> m_objects;
    quint32 m_midiDevice = 1;
    QList<Learned> m_learned;
    bool m_take = true;
    quint8 m_sequence = 0; // a streaming ACN source counts its packets

    LearnListener::Sink sink()
    {
        return [this](quint8 protocol, quint16 universe, quint16 channel, quint8 type) {
            m_learned.append({protocol, universe, channel, type});
            return m_take;
        };
    }
    std::function<quint32()> midiDevice()
    {
        return [this] { return m_midiDevice; };
    }

    // Sends frames written "a3:0a141e" (Art-Net universe 3, levels in hex;
    // at least two) or "s0:05" (streaming ACN, universe as stored).
    void send(const QString &frames)
    {
        for (const QString &f : frames.split(' ', Qt::SkipEmptyParts)) {
            const bool artNet = f.startsWith('a');
            const int universe = f.mid(1).section(':', 0, 0).toInt();
            const QByteArray levels = QByteArray::fromHex(f.section(':', 1).toLatin1());
            FakeSocket *socket = m_net.boundTo(artNet ? 6454 : 5568);
            const QByteArray datagram =
                artNet ? artDmx(universe, levels) : e131(universe + 1, levels, ++m_sequence);
            QVERIFY(socket && !datagram.isEmpty());
            socket->inject(datagram, QHostAddress(QStringLiteral("10.0.0.7")));
        }
    }
    int memberships(quint16 port, bool join) const
    {
        int n = 0;
        for (const FakeSocket::Membership &m : m_net.boundTo(port)->memberships)
            n += m.join == join ? 1 : 0;
        return n;
    }

private slots:
    void init()
    {
        m_net.useLan();
        m_learned.clear();
        m_take = true;
        m_midiDevice = 1;
        m_midi = nullptr;
        m_net.sockets.clear();
        m_objects = std::make_unique<OutputObjects>(m_net.env(), [this] {
            auto backend = std::make_unique<FakeMidiBackend>(&m_midiLog);
            m_midi = backend.get();
            return backend;
        });
    }
    void cleanup() { m_objects.reset(); }

    void dmxChange_data()
    {
        QTest::addColumn<QString>("frames");
        QTest::addColumn<Learned>("learned");
        const auto row = [](const char *name, const char *frames, const Learned &learned) {
            QTest::newRow(name) << QString(frames) << learned;
        };
        row("level stands", "a3:0a141e a3:0a141e", {});
        row("channel changes", "a3:0a141e a3:0a151e", {PT_ARTNET, 3, 1, MT_NONE});
        row("lowest change", "a3:01020304 a3:01090309", {PT_ARTNET, 3, 1, MT_NONE});
        row("first frame of another universe", "a3:0000 a5:ffff", {});
        row("later channels keep their first level", "a3:0102 a3:010209 a3:01020907 a3:01020807",
            {PT_ARTNET, 3, 2, MT_NONE});
        row("shorter frame", "a3:010203 a3:0102", {});
        row("highest Art-Net universe", "a32767:0000 a32767:0001", {PT_ARTNET, 0x7FFF, 1, MT_NONE});
        row("streaming ACN from 0", "s0:05 s0:06", {PT_ACN, 0, 0, MT_NONE});
        row("highest streaming ACN universe", "s63998:0000 s63998:0001",
            {PT_ACN, 63998, 1, MT_NONE});
        row("protocols apart", "a0:0101 s0:0202", {});
    }

    void dmxChange()
    {
        QFETCH(QString, frames);
        QFETCH(Learned, learned);
        LearnListener listener(*m_objects, midiDevice());
        listener.start(Settings::LearnInput, sink());
        send(frames);
        QCOMPARE(m_learned, learned.isEmpty() ? QList<Learned>{} : QList<Learned>{learned});
        QCOMPARE(listener.isListening(), learned.isEmpty());
    }

    // A frame before learning sets nothing; a change not taken needs another.
    void refusedChangeNeedsAnother()
    {
        LearnListener listener(*m_objects, midiDevice());
        listener.start(Settings::LearnInput, sink());
        listener.stop();
        send("a1:1010");
        m_take = false;
        listener.start(Settings::LearnInput, sink());
        send("a1:1111");
        QVERIFY(m_learned.isEmpty());
        send("a1:1211 a1:1211");
        QCOMPARE(m_learned, (QList<Learned>{{PT_ARTNET, 1, 0, MT_NONE}}));
        QVERIFY(listener.isListening());
        m_take = true;
        send("a1:1311 a1:1411");
        QCOMPARE(m_learned.size(), 2);
        QVERIFY(!listener.isListening());
    }

    void midiMessage_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QList<quint32>>("messages");
        QTest::addColumn<Learned>("learned");
        QTest::newRow("note on") << int(Settings::LearnInput) << QList<quint32>{0x403C90}
                                 << Learned{PT_MIDI, 0, 60, MT_NOTE_ON};
        QTest::newRow("controller on channel 16")
            << int(Settings::LearnOutput) << QList<quint32>{0x7F07BF, 0x7F08BF}
            << Learned{PT_MIDI, 15, 7, MT_CONTROL_CHANGE};
        QTest::newRow("system messages skipped")
            << int(Settings::LearnOutputAdvanced) << QList<quint32>{0xF8, 0xFE, 0x003C81}
            << Learned{PT_MIDI, 1, 60, MT_NOTE_OFF};
    }

    // MIDI comes from the input device of the preferences, by way of the
    // event loop; the outputs open no network socket.
    void midiMessage()
    {
        QFETCH(int, target);
        QFETCH(QList<quint32>, messages);
        QFETCH(Learned, learned);
        m_midiDevice = 1;
        LearnListener listener(*m_objects, midiDevice());
        listener.start(target, sink());
        QVERIFY(m_midi && m_midi->callback);
        QCOMPARE(m_net.sockets.isEmpty(), target != Settings::LearnInput);
        for (quint32 message : std::as_const(messages))
            m_midi->callback(MidiBackend::InputData, message);
        QVERIFY(m_learned.isEmpty());
        QTRY_COMPARE(m_learned, QList<Learned>{learned});
        QVERIFY(!listener.isListening());
    }

    // Without a device nothing is opened; a message queued for a listening
    // that ended is not taken by the next.
    void midiOfEarlierListeningIsDropped()
    {
        m_midiDevice = 0;
        LearnListener listener(*m_objects, midiDevice());
        listener.start(Settings::LearnOutput, sink());
        QVERIFY(!m_midi); // no device chosen: nothing opened
        m_midiDevice = 1;
        listener.start(Settings::LearnOutput, sink());
        m_midi->callback(MidiBackend::InputData, 0x403C90);
        listener.start(Settings::LearnOutput, sink());
        QTest::qWait(20);
        QVERIFY(m_learned.isEmpty());
        listener.stop();
        m_midi->callback(MidiBackend::InputData, 0x403C90);
        QTest::qWait(20);
        QVERIFY(m_learned.isEmpty());
    }

    // Through the control editor: Learn listens, the window's end of learning
    // (learned, Escape, closed) stops it and the nodes stop observing. The
    // next literal address on the OSC input is learned; a pattern names none.
    void editorWindowEndsListening()
    {
        QVERIFY(m_objects->listenOsc(8000).isEmpty());
        Console console;
        ControlEditor editor(&console, {});
        editor.enableLearn(*m_objects, midiDevice());
        SettingStruct record;
        record.id = 5;
        editor.open(&record, PreferencesStruct(), nullptr);
        QPushButton *learn = editor.window()->findChild<QPushButton *>(QStringLiteral("inLearn"));
        QVERIFY(learn);

        learn->click();
        QVERIFY(editor.learnListener()->isListening());
        QCOMPARE(memberships(5568, true), 2 * LearnListener::ACN_UNIVERSES); // two interfaces
        send("a2:0000 a2:0001");
        const SettingDmxInStruct &in = editor.window()->workingRecord().dmx_in;
        QCOMPARE(int(in.protocol_type_in), int(PT_ARTNET));
        QCOMPARE(int(in.dmx_in_universe), 2);
        QCOMPARE(int(in.dmx_in_channel), 1);
        QVERIFY(!editor.learnListener()->isListening());
        QCOMPARE(memberships(5568, false), memberships(5568, true));

        learn->click();
        QVERIFY(editor.learnListener()->isListening());
        QTest::keyClick(editor.window(), Qt::Key_Escape);
        QVERIFY(!editor.learnListener()->isListening());
        send("s7:00 s7:01");
        QCOMPARE(int(in.protocol_type_in), int(PT_ARTNET));

        learn->click();
        const QHostAddress from(QStringLiteral("10.0.0.7"));
        m_net.boundTo(8000)->inject(oscpacket::message("/stage/*", 1.0f), from);
        QVERIFY(editor.learnListener()->isListening());
        m_net.boundTo(8000)->inject(
            oscpacket::bundles({oscpacket::message("/stage/go", 0.0f)}).first(), from);
        QCOMPARE(int(in.protocol_type_in), int(PT_OSC));
        QCOMPARE(in.dmx_in_osc_address, QStringLiteral("/stage/go"));
        QVERIFY(!editor.learnListener()->isListening());

        learn->click();
        editor.close();
        QVERIFY(!editor.learnListener()->isListening());
        QCOMPARE(memberships(5568, false), memberships(5568, true));
    }
};

QTEST_MAIN(TestLearn)
#include "tst_learn.moc"
