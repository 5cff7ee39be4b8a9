// Input dispatch: the DMX-IN buffers the network nodes write into, and the
// lookup of one control's (or the background's) input value.
//
// The console polls every 200 ms; received values reach it through
// InputPorts, the seam to the nodes and the MIDI object (the product wires
// the real ones, tests a double).
#pragma once

#include "settingstruct.h"

#include <QByteArray>
#include <QList>
#include <optional>

class InputPorts
{
public:
    virtual ~InputPorts() = default;
    // Registers the DMX-IN buffer of a network protocol (PT_ARTNET or
    // PT_ACN), creating its node when needed: size bytes, 512 channels per
    // universe, universe `lowest` at offset 0. A null buffer unregisters.
    virtual void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size, quint16 lowest) = 0;
    virtual void ensureMidi() = 0;
    // Received value of a network protocol; false until data for the
    // universe has arrived or when the node does not exist.
    virtual bool receivedValue(quint8 protocol, quint16 universe, quint16 channel,
                               quint8 *value) = 0;
    virtual bool midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                                quint8 *value) = 0;
};

// The universes one network protocol listens to.
struct InputRange {
    bool used = false;
    quint16 lowest = 0;
    quint16 highest = 0;
    int universes() const { return used ? highest - lowest + 1 : 0; }
};

struct InputPlan {
    InputRange artnet;
    InputRange acn;
    bool midi = false;
};

// Which inputs the controls listen to. Records of every type count.
InputPlan planInputs(const QList<const SettingStruct *> &records);

class InputDispatch
{
public:
    explicit InputDispatch(InputPorts &ports) : m_ports(ports) {}
    ~InputDispatch();

    // Replaces and registers the DMX-IN buffers for the controls. A
    // protocol that no record uses keeps its buffer and registration.
    void setUp(const QList<const SettingStruct *> &records);

    // The input value for these settings, if one has arrived. prefs may be
    // null (no MIDI input then).
    std::optional<quint8> fetch(const SettingDmxInStruct &in, const PreferencesStruct *prefs,
                                bool trace = false);

    const QByteArray &buffer(quint8 protocol) const;
    // Unregisters the buffers from the nodes (before the nodes go away).
    // The buffers stay; the next set-up registers new ones.
    void detach();

private:
    void replace(quint8 protocol, const InputRange &range);

    InputPorts &m_ports;
    QByteArray m_artnet;
    QByteArray m_acn;
    bool m_artnetRegistered = false;
    bool m_acnRegistered = false;
};
