// Output dispatch: turns a control's output description and value into
// traffic on one of the five outputs, and describes it in one status line.
//
// The network universes are kept here, one 512-byte buffer per universe
// actually used (any universe the records allow, 0..DMX_UNIVERSE_MAX), so every send
// transmits the complete current universe: values stored at start-up and
// values of other controls on the same universe leave with the next change.
// The output objects themselves sit behind OutputPorts, which creates them
// on first use; tests hand in a recording double.
//
// Every send says what became of it: a value that did not leave is reported
// with the reason, so the status line never claims a send that did not
// happen. The output objects log their failures as warnings.
#pragma once

#include "model/settingstruct.h"

#include <QByteArray>
#include <QString>
#include <map>

class QLoggingCategory;

// What became of one send: ok (also when nothing needed sending), or not
// sent and why, in a few words.
struct SendOutcome {
    bool ok = true;
    QString error;

    static SendOutcome failed(const QString &error) { return {false, error}; }
};

class OutputPorts
{
public:
    virtual ~OutputPorts() = default;
    virtual SendOutcome sendArtNet(quint16 universe, const QByteArray &data) = 0;
    virtual SendOutcome sendAcn(quint16 universe, const QByteArray &data) = 0;
    // device is the index of the system's MIDI output device.
    virtual SendOutcome sendMidi(int device, quint8 status, quint8 channel, quint8 data1,
                                 quint8 data2) = 0;
    // HTTP is asynchronous: ok means the request is on its way.
    virtual SendOutcome requestUrl(const QString &server, const QString &link) = 0;
    // ok means the command was started.
    virtual SendOutcome runCommand(const QString &path, const QString &command) = 0;
    // One OSC message with one argument, a float or an int; ok means it is
    // queued (it leaves at the end of the pass, or once the host is found).
    virtual SendOutcome sendOsc(const QString &host, quint16 port, const QByteArray &address,
                                bool isFloat, double number) = 0;
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
    // skipped. prefs may be null. Not ok when the value did not leave: the
    // channel lies past the universe, no MIDI output device is selected, an
    // OSC output has no address or no target (its own or the preferences'
    // default), or the output failed. Nothing to send (no protocol, store-only, an output
    // switched off or left empty in the record or the preferences) is ok.
    SendOutcome send(const SettingDmxStruct &d, int v, bool storeOnly,
                     const PreferencesStruct *prefs);

    // Forgets every universe (New, Open, close).
    void clear();

    const UniverseBuffers &acnUniverses() const { return m_acn; }

private:
    SendOutcome refuse(const QLoggingCategory &(*category)(), const SettingDmxStruct &d, int v,
                       const QString &error);

    OutputPorts &m_ports;
    UniverseBuffers m_artnet;
    UniverseBuffers m_acn;
    QString m_lastRefusal;
};

// Replaces every "%1" (case-sensitive) by v in decimal.
QString substituteValue(const QString &text, int v);

// The status-bar line that describes sending v for d, e.g. "Protocol: OSC -
// /stage/fader/1 0.50 to 10.0.0.5:9000". prefs may be null.
QString outputStatusLine(const SettingDmxStruct &d, int v, const PreferencesStruct *prefs);

// Why an Art-Net universe above the 15-bit Port-Address range is refused.
QString artnetUniverseRefusal();

// The status-bar line that names the Art-Net universes of these controls
// above the Port-Address range, which never leave, e.g. "Art-Net universe
// 32769, 40001: not sent (Art-Net has no universe above 32768)"; empty when
// there are none.
QString refusedUniversesLine(const QList<SettingStruct> &controls);

// The status-bar line for a network frame that did not leave, e.g.
// "Art-Net universe 1: not sent (no network interface)"; universe 0-based.
QString failedFrameStatusLine(quint8 protocol, int universe, const QString &error);

// The status-bar line for a send of v for d that did not leave, e.g.
// "Art-Net universe 1 channel 5: not sent (no network interface)".
QString failedSendStatusLine(const SettingDmxStruct &d, int v, const QString &error);
