// Input dispatch: the DMX-IN buffers the network nodes write into, and the
// lookup of one control's (or the background's) input value.
//
// Received values reach the console through InputPorts, the seam to the
// nodes and the MIDI object (the product wires the real ones, tests a
// double), which also tell it when something arrived.
#pragma once

#include "model/settingstruct.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <functional>
#include <optional>

class InputPorts
{
public:
    virtual ~InputPorts() = default;
    // Registers the DMX-IN buffer of a network protocol (PT_ARTNET or
    // PT_ACN), creating its node when needed: size bytes, 512 channels per
    // universe, slot i holding universes[i] (strictly increasing). A buffer
    // registered over another replaces it in one step: a universe in both
    // lists keeps its received state (the caller has copied its slot into
    // the new buffer), and the old buffer is no longer written. A null
    // buffer unregisters (the list is then empty).
    virtual void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                                  const QList<int> &universes) = 0;
    virtual void ensureMidi() = 0;
    // Received value of a network protocol; false until data for the
    // universe has arrived or when the node does not exist.
    virtual bool receivedValue(quint8 protocol, quint16 universe, quint16 channel,
                               quint8 *value) = 0;
    virtual bool midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                                quint8 *value) = 0;
    // Told on the console's thread what arrived: levels of a network
    // protocol's universe that reached its buffer, or (PT_MIDI, -1) MIDI
    // messages that went into the table since the last call.
    using ArrivalHandler = std::function<void(quint8 protocol, int universe)>;
    virtual void setArrivalHandler(ArrivalHandler handler) { Q_UNUSED(handler); }
};

// The universes one network protocol listens to, in increasing order
// without repeats. Far-apart universes cost nothing in between.
struct InputUniverses {
    QList<int> universes;
    bool used() const { return !universes.isEmpty(); }
    int lowest() const { return used() ? universes.first() : -1; }
    int highest() const { return used() ? universes.last() : -1; }
    bool contains(int universe) const;
};

struct InputPlan {
    InputUniverses artnet;
    InputUniverses acn;
    bool midi = false;
};

// Which inputs the controls listen to. Records of every type count. A
// background listening to a network universe within the lowest..highest
// universes of the controls of its protocol is followed too (a show may rely
// on it); outside that span it is not.
InputPlan planInputs(const QList<const SettingStruct *> &records,
                     const BackgroundStruct *background = nullptr);

class InputDispatch
{
public:
    explicit InputDispatch(InputPorts &ports) : m_ports(ports) {}
    ~InputDispatch();

    // Replaces and registers the DMX-IN buffers for the controls (and the
    // background, see planInputs). A universe that stays keeps the values
    // already received; a protocol whose universes do not change is left
    // alone, and one that no record uses keeps its buffer and registration.
    // True when a buffer was registered anew.
    bool setUp(const QList<const SettingStruct *> &records,
               const BackgroundStruct *background = nullptr);
    // False when the background listens to a network universe that the last
    // set-up would have followed but does not hold (its input changed since).
    bool followsBackground(const BackgroundStruct &background) const;
    // The universes registered for a network protocol, slot by slot.
    const QList<int> &universes(quint8 protocol) const;

    // The level last arrived for an OSC address (or pattern) listened to;
    // keepOscLevels() forgets those of addresses no longer listened to.
    void setOscLevel(const QByteArray &address, quint8 level) { m_oscLevels[address] = level; }
    void keepOscLevels(const QSet<QByteArray> &addresses);

    // The input value for these settings, if one has arrived. prefs may be
    // null (no MIDI input then).
    std::optional<quint8> fetch(const SettingDmxInStruct &in, const PreferencesStruct *prefs,
                                bool trace = false);

    const QByteArray &buffer(quint8 protocol) const;
    // Unregisters the buffers from the nodes (before the nodes go away).
    // The buffers stay; the next set-up registers new ones.
    void detach();

private:
    // False when the universes did not change (nothing done).
    bool replace(quint8 protocol, const InputUniverses &plan);

    InputPorts &m_ports;
    QByteArray m_artnet;
    QByteArray m_acn;
    InputUniverses m_artnetUniverses;
    InputUniverses m_acnUniverses;
    bool m_artnetRegistered = false;
    bool m_acnRegistered = false;
    QHash<QByteArray, quint8> m_oscLevels;
};
