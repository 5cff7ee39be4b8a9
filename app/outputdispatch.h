// Output dispatch: turns a control's output description and value into
// traffic on one of the five outputs, and describes it in one status line.
//
// The network universes are kept here, one 512-byte buffer per universe
// actually used (any universe the records allow, 0..65534), so every send
// transmits the complete current universe: values stored at start-up and
// values of other controls on the same universe leave with the next change.
// The output objects themselves sit behind OutputPorts, which creates them
// on first use; tests hand in a recording double.
#pragma once

#include "settingstruct.h"

#include <QByteArray>
#include <QString>
#include <map>

class OutputPorts
{
public:
    virtual ~OutputPorts() = default;
    virtual void sendArtNet(quint16 universe, const QByteArray &data) = 0;
    virtual void sendAcn(quint16 universe, const QByteArray &data) = 0;
    // device is the index of the system's MIDI output device.
    virtual void sendMidi(int device, quint8 status, quint8 channel, quint8 data1,
                          quint8 data2) = 0;
    virtual void requestUrl(const QString &server, const QString &link) = 0;
    virtual void runCommand(const QString &path, const QString &command) = 0;
};

// One zero-filled 512-byte buffer per universe, created on first use.
class UniverseBuffers
{
public:
    static constexpr int kSlots = 512;
    QByteArray &buffer(quint16 universe);
    const QByteArray *find(quint16 universe) const;
    int count() const { return int(m_buffers.size()); }
    void clear() { m_buffers.clear(); }

private:
    std::map<quint16, QByteArray> m_buffers;
};

class OutputDispatch
{
public:
    explicit OutputDispatch(OutputPorts &ports) : m_ports(ports) {}

    // Sends value v for output d. With storeOnly the network universes are
    // updated but nothing is transmitted, and MIDI, HTTP and command are
    // skipped. prefs may be null.
    void send(const SettingDmxStruct &d, int v, bool storeOnly, const PreferencesStruct *prefs);

    // Forgets every universe (New, Open, close).
    void clear();

    const UniverseBuffers &artnetUniverses() const { return m_artnet; }
    const UniverseBuffers &acnUniverses() const { return m_acn; }

private:
    OutputPorts &m_ports;
    UniverseBuffers m_artnet;
    UniverseBuffers m_acn;
};

// Replaces every "%1" (case-sensitive) by v in decimal.
QString substituteValue(const QString &text, int v);

// The status-bar line that describes sending v for d. prefs may be null.
QString outputStatusLine(const SettingDmxStruct &d, int v, const PreferencesStruct *prefs);
