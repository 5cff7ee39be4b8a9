// Learning an address: while the control editor learns, the listener watches
// what arrives and hands the next fitting change to the editor.
//
// A DMX change is a channel whose level differs from the level it had in
// the first frame seen of its universe since learning began, on any
// universe the Art-Net and streaming ACN nodes hear (not only the DMX-IN
// ones); a level that merely stands teaches nothing. A MIDI change is the
// next channel message (not a system message) from the preferences' MIDI
// input device. An OSC change is the next message with a literal address
// (not a pattern) on the console's OSC input, when it listens. DMX and OSC
// are heard only when learning the input; the outputs learn MIDI only.
//
// Streaming ACN data reaches the node only for the multicast groups its
// socket joined, and systems cap those (Linux: net.ipv4.igmp_max_memberships,
// 20 by default, counting each group once per interface). Learning therefore
// hears the universes DMX-IN already listens to plus the first ACN_UNIVERSES
// universes, as many of them, lowest first, as the system lets the socket
// join. On a machine with loopback only, streaming ACN goes to 127.255.x.x
// and needs no groups: every universe is heard.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QObject>

#include <functional>

class OutputObjects;
class Settings;

class LearnListener : public QObject
{
    Q_OBJECT
public:
    static constexpr int ACN_UNIVERSES = 64;

    // A change as stored (counted from 0): protocol (PT_ARTNET, PT_ACN,
    // PT_MIDI), universe or MIDI channel, channel or note/controller, MIDI
    // message type (MT_NONE for DMX). True when it was taken.
    using Sink =
        std::function<bool(quint8 protocol, quint16 universe, quint16 channel, quint8 midiType)>;

    // An OSC address that arrived while learning the input. True when it was
    // taken.
    using OscSink = std::function<bool(const QString &address)>;

    // `midiDeviceIn` gives the MIDI input device as the preferences store
    // it (1-based, 0: none); it is asked each time learning starts.
    LearnListener(OutputObjects &objects, std::function<quint32()> midiDeviceIn,
                  QObject *parent = nullptr);
    ~LearnListener() override;

    // The window's learnRequested() starts listening for its takeLearned();
    // learnFinished() or the window's destruction stops it.
    void attach(Settings *window);

    // Listens for `target` (a Settings::LearnTarget) until a sink takes a
    // change or stop() is called; replaces any listening going on. The sinks
    // are called on this object's thread and may call stop(); `oscSink` only
    // while learning the input.
    void start(int target, Sink sink, OscSink oscSink = {});
    void stop();
    bool isListening() const { return bool(m_sink); }

private:
    void dmxFrame(quint8 protocol, int universe, const quint8 *levels, int count);
    void midiMessage(quint64 generation, quint8 status, quint8 data1);
    void deliver(quint8 protocol, quint16 universe, quint16 channel, quint8 midiType);
    void oscMessage(QByteArrayView address);

    OutputObjects &m_objects;
    std::function<quint32()> m_midiDeviceIn;
    Sink m_sink;
    OscSink m_oscSink;
    // The attached window that asked for the current listening, if any.
    const QObject *m_source = nullptr;
    bool m_observingDmx = false;
    bool m_observingMidi = false;
    bool m_observingOsc = false;
    // Counts the listenings, so MIDI messages queued for an earlier one are
    // not taken by the next.
    quint64 m_generation = 0;
    // The first frame seen per protocol and universe (protocol << 16 |
    // universe), grown by channels that come later.
    QHash<quint32, QByteArray> m_frames;
};
