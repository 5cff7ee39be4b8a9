#include "app/learnlistener.h"

#include "app/appinfo.h"
#include "app/outputobjects.h"
#include "dialogs/settings.h"
#include "model/settingstruct.h"
#include "net/oscpattern.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <cstring>

LearnListener::LearnListener(OutputObjects &objects, std::function<quint32()> midiDeviceIn,
                             QObject *parent)
    : QObject(parent), m_objects(objects), m_midiDeviceIn(std::move(midiDeviceIn))
{
}

LearnListener::~LearnListener()
{
    // Afterwards no MIDI observer of this object runs or is called again.
    stop();
}

void LearnListener::attach(Settings *window)
{
    if (!window)
        return;
    connect(window, &Settings::learnRequested, this, [this, window](int target) {
        QPointer<Settings> guarded(window);
        start(
            target,
            [guarded](quint8 protocol, quint16 universe, quint16 channel, quint8 type) {
                return guarded && guarded->takeLearned(protocol, universe, channel, type);
            },
            [guarded](const QString &address) {
                return guarded && guarded->setLearnedOscAddress(address);
            });
        m_source = window;
    });
    const auto stopFor = [this, window] {
        if (m_source == window)
            stop();
    };
    connect(window, &Settings::learnFinished, this, stopFor);
    connect(window, &QObject::destroyed, this, stopFor);
}

void LearnListener::start(int target, Sink sink, OscSink oscSink)
{
    stop();
    if (!sink || target < Settings::LearnInput || target > Settings::LearnOutputAdvanced)
        return;
    m_sink = std::move(sink);
    const quint64 generation = ++m_generation;

    if (target == Settings::LearnInput) {
        QList<int> acnUniverses;
        for (int universe = 0; universe < ACN_UNIVERSES; ++universe)
            acnUniverses.append(universe);
        m_observingDmx = true;
        const bool heard =
            m_objects.observeDmx([this](quint8 protocol, int universe, const quint8 *levels,
                                        int count) { dmxFrame(protocol, universe, levels, count); },
                                 acnUniverses);
        if (!heard)
            qCInfo(lcApp) << "learning: not every DMX universe can be heard (see pultora.net)";
        if (oscSink) {
            m_oscSink = std::move(oscSink);
            m_observingOsc = true;
            m_objects.observeOsc(
                [this](QByteArrayView address, const oscpacket::Value &) { oscMessage(address); });
            if (m_objects.oscInPort() == 0)
                qCInfo(lcApp) << "learning: OSC input is off (no OSC input port)";
        }
    }

    const quint32 device = m_midiDeviceIn ? m_midiDeviceIn() : 0;
    if (device > 0) {
        m_observingMidi = true;
        // Runs on the MIDI input thread; this object outlives the observer
        // (stop() removes it and waits for a running call).
        const bool open = m_objects.observeMidi(
            int(device) - 1, [this, generation](quint8 status, quint8 data1, quint8) {
                QMetaObject::invokeMethod(
                    this,
                    [this, generation, status, data1] { midiMessage(generation, status, data1); },
                    Qt::QueuedConnection);
            });
        if (!open)
            qCInfo(lcApp) << "learning: MIDI input device" << device << "cannot be opened";
    }
}

void LearnListener::stop()
{
    m_sink = nullptr;
    m_oscSink = nullptr;
    m_source = nullptr;
    ++m_generation;
    if (m_observingDmx) {
        m_observingDmx = false;
        m_objects.observeDmx({});
    }
    if (m_observingMidi) {
        m_observingMidi = false;
        m_objects.observeMidi(-1, {});
    }
    if (m_observingOsc) {
        m_observingOsc = false;
        m_objects.observeOsc({});
    }
    m_frames.clear();
}

void LearnListener::dmxFrame(quint8 protocol, int universe, const quint8 *levels, int count)
{
    if (!m_sink || !levels || universe < 0 || universe > 0xFFFF)
        return;
    count = std::clamp(count, 0, 512);
    QByteArray &seen = m_frames[quint32(protocol) << 16 | quint32(universe)];
    const int common = std::min(count, int(seen.size()));
    int changed = -1;
    for (int channel = 0; channel < common; ++channel) {
        if (quint8(seen.at(channel)) != levels[channel]) {
            changed = channel;
            break;
        }
    }
    // Channels seen for the first time set the level they change from.
    if (count > common)
        seen.append(reinterpret_cast<const char *>(levels) + common, count - common);
    if (changed < 0)
        return;
    // Should the change not be taken, only a further change counts.
    std::memcpy(seen.data(), levels, size_t(common));
    deliver(protocol, quint16(universe), quint16(changed), MT_NONE);
}

void LearnListener::midiMessage(quint64 generation, quint8 status, quint8 data1)
{
    // Channel messages only: clock, active sensing and the other system
    // messages come on their own and address nothing.
    if (generation != m_generation || !m_sink || status < MT_NOTE_OFF ||
        status >= MT_SYSTEM_MESSAGE)
        return;
    deliver(PT_MIDI, quint16(status & 0x0F), quint16(data1 & 0x7F), quint8(status & 0xF0));
}

void LearnListener::oscMessage(QByteArrayView address)
{
    // A pattern names addresses; it is none itself.
    if (!m_oscSink || !oscpattern::isLiteral(address))
        return;
    const OscSink sink = m_oscSink;
    const quint64 generation = m_generation;
    if (sink(QString::fromUtf8(address)) && generation == m_generation)
        stop();
}

void LearnListener::deliver(quint8 protocol, quint16 universe, quint16 channel, quint8 midiType)
{
    // A copy: the sink may end the listening while it runs.
    const Sink sink = m_sink;
    const quint64 generation = m_generation;
    if (sink && sink(protocol, universe, channel, midiType) && generation == m_generation)
        stop();
}
