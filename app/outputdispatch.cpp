#include "app/outputdispatch.h"

#include "app/appinfo.h"
#include "app/outputconsent.h"
#include "model/oscvalue.h"
#include "model/typetables.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QUrl>

#include <set>

#include "io/http.h"
#include "io/midi.h"
#include "net/artnet.h"
#include "net/netlog.h"

namespace
{

// The status texts belong to the console's window.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Pultora)
};

QString hex(int n)
{
    return QStringLiteral("%1").arg(n, 2, 16, QLatin1Char('0'));
}

QString protocolName(quint8 protocol)
{
    switch (protocol) {
    case PT_ARTNET:
        return Text::tr("Art-Net");
    case PT_ACN:
        return Text::tr("streaming ACN");
    case PT_MIDI:
        return Text::tr("MIDI");
    case PT_HTTP:
        return Text::tr("HTTP");
    case PT_COMMAND:
        return Text::tr("Command");
    case PT_OSC:
        return Text::tr("OSC");
    default:
        return Text::tr("None");
    }
}

// The host and port an OSC output sends to: its own, else the preferences'
// default; empty or 0 when there is none.
QPair<QString, quint16> oscTarget(const SettingDmxStruct &d, const PreferencesStruct *prefs)
{
    const QString host = !d.osc_host.isEmpty() ? d.osc_host
                         : prefs               ? prefs->osc_default_host
                                               : QString();
    const quint16 port = d.osc_port != 0 ? d.osc_port : prefs ? prefs->osc_default_port : 0;
    return {host, port};
}

// "host:port", an IPv6 host in brackets.
QString oscTargetText(const QString &host, quint16 port)
{
    SettingDmxStruct target;
    target.osc_host = host;
    target.osc_port = port;
    return oscTargetKey(target, PreferencesStruct());
}

// The argument as it is sent: "0.50" (float) or "128" (int).
QString oscArgumentText(const SettingDmxStruct &d, int v)
{
    return d.osc_argument == OSC_INT ? QString::number(v) : QString::number(oscFloat(d, v), 'f', 2);
}

} // namespace

QByteArray &UniverseBuffers::buffer(quint16 universe)
{
    auto it = m_buffers.find(universe);
    if (it == m_buffers.end())
        it = m_buffers.emplace(universe, QByteArray(kSlots, '\0')).first;
    return it->second;
}

const QByteArray *UniverseBuffers::find(quint16 universe) const
{
    auto it = m_buffers.find(universe);
    return it == m_buffers.end() ? nullptr : &it->second;
}

SendOutcome OutputDispatch::send(const SettingDmxStruct &d, int v, bool storeOnly,
                                 const PreferencesStruct *prefs)
{
    SendOutcome outcome;
    switch (d.protocol_type) {
    case PT_ARTNET:
    case PT_ACN: {
        // Channels past the universe cannot be stored; records read from a
        // document never hold them, but a hand-built record might.
        if (d.dmx_channel >= UniverseBuffers::kSlots)
            return refuse(lcNet, d, v,
                          Text::tr("channel %1 lies past the universe").arg(d.dmx_channel + 1));
        // The Port-Address has 15 bits: a higher universe would put its top
        // bit where Art-Net has none.
        if (d.protocol_type == PT_ARTNET && d.dmx_universe > artnet::MAX_UNIVERSE)
            return refuse(lcNet, d, v, artnetUniverseRefusal());
        UniverseBuffers &table = d.protocol_type == PT_ARTNET ? m_artnet : m_acn;
        QByteArray &data = table.buffer(d.dmx_universe);
        data[d.dmx_channel] = char(quint8(v));
        if (storeOnly)
            return outcome;
        if (d.protocol_type == PT_ARTNET)
            outcome = m_ports.sendArtNet(d.dmx_universe, data);
        else
            outcome = m_ports.sendAcn(d.dmx_universe, data);
        break;
    }
    case PT_MIDI: {
        if (storeOnly || d.dmx_midi_type == MT_NONE)
            return outcome;
        const int device = prefs ? int(prefs->midi_device_out) - 1 : -1;
        if (device < 0)
            return refuse(lcMidi, d, v,
                          Text::tr("no MIDI output device selected in the preferences"));
        outcome = m_ports.sendMidi(device, d.dmx_midi_type, quint8(d.dmx_universe),
                                   quint8(d.dmx_channel), quint8(v));
        break;
    }
    case PT_HTTP: {
        if (storeOnly || !prefs || prefs->http_server.isEmpty() || d.dmx_http_filename.isEmpty())
            break;
        const QString link = substituteValue(d.dmx_http_filename, v);
        // A show whose calls to other computers the user did not allow
        // reaches this computer only.
        if (!prefs->http_other_hosts && !isLoopbackUrl(QUrl(joinUrl(prefs->http_server, link))))
            return refuse(lcApp, d, v,
                          Text::tr("calls to other computers are not allowed for this show"));
        outcome = m_ports.requestUrl(prefs->http_server, link);
        break;
    }
    case PT_COMMAND:
        if (!storeOnly && prefs && prefs->command_flag && !d.dmx_command_filename.isEmpty())
            outcome =
                m_ports.runCommand(prefs->command_path, substituteValue(d.dmx_command_filename, v));
        break;
    case PT_OSC: {
        if (storeOnly)
            return outcome;
        if (d.osc_address.isEmpty())
            return refuse(lcNet, d, v, Text::tr("no OSC address"));
        const auto [host, port] = oscTarget(d, prefs);
        if (host.isEmpty() || port == 0)
            return refuse(lcNet, d, v,
                          Text::tr("no OSC target, and no default target in the preferences"));
        const bool isFloat = d.osc_argument != OSC_INT;
        outcome = m_ports.sendOsc(host, port, d.osc_address.toUtf8(), isFloat,
                                  isFloat ? oscFloat(d, v) : double(v));
        break;
    }
    default:
        break;
    }
    if (outcome.ok)
        m_lastRefusal.clear();
    return outcome;
}

SendOutcome OutputDispatch::refuse(const QLoggingCategory &(*category)(), const SettingDmxStruct &d,
                                   int v, const QString &error)
{
    // A fader without a MIDI device is refused on every step: one warning
    // per run of equal refusals.
    if (error != m_lastRefusal)
        qCWarning(category).noquote() << failedSendStatusLine(d, v, error);
    m_lastRefusal = error;
    return SendOutcome::failed(error);
}

void OutputDispatch::clear()
{
    m_artnet.clear();
    m_acn.clear();
}

QString substituteValue(const QString &text, int v)
{
    QString out = text;
    out.replace(QStringLiteral("%1"), QString::number(v), Qt::CaseSensitive);
    return out;
}

QString outputStatusLine(const SettingDmxStruct &d, int v, const PreferencesStruct *prefs)
{
    const bool showHex = prefs && prefs->hex_value_show;
    QString text = Text::tr("Protocol: %1 - ").arg(protocolName(d.protocol_type));
    switch (d.protocol_type) {
    case PT_NONE:
        return text + Text::tr("No protocol has been selected for sending data!");
    case PT_ARTNET:
    case PT_ACN: {
        const int universe = d.dmx_universe + 1;
        const int channel = d.dmx_channel + 1;
        if (!showHex)
            return text + Text::tr("DMX Universe: %1 | DMX Channel: %2 | DMX Value: %3")
                              .arg(universe)
                              .arg(channel)
                              .arg(v);
        return text +
               Text::tr("DMX Universe: %1 (0x%2) | DMX Channel: %3 (0x%4) | DMX Value: %5 (0x%6)")
                   .arg(universe)
                   .arg(hex(universe))
                   .arg(channel)
                   .arg(hex(channel))
                   .arg(v)
                   .arg(hex(v));
    }
    case PT_MIDI: {
        const int channel = d.dmx_universe + 1;
        if (!showHex)
            return text +
                   Text::tr("MIDI Type: %1 | MIDI Channel: %2 | MIDI Note: %3 | MIDI Value: %4")
                       .arg(midiTypeLabel(d.dmx_midi_type))
                       .arg(channel)
                       .arg(d.dmx_channel)
                       .arg(v);
        return text + Text::tr("MIDI Type: %1 (0x%2) | MIDI Channel: %3 (0x%4) | MIDI Note: %5 "
                               "(0x%6) | MIDI Value: %7 (0x%8)")
                          .arg(midiTypeLabel(d.dmx_midi_type))
                          .arg(hex(d.dmx_midi_type))
                          .arg(channel)
                          .arg(hex(channel))
                          .arg(d.dmx_channel)
                          .arg(hex(d.dmx_channel))
                          .arg(v)
                          .arg(hex(v));
    }
    case PT_HTTP:
        if (!prefs)
            return text;
        if (prefs->http_server.isEmpty())
            return text + Text::tr("No HTTP server name in preferences configured!");
        return text + joinUrl(prefs->http_server, substituteValue(d.dmx_http_filename, v));
    case PT_COMMAND:
        if (!prefs)
            return text;
        if (!prefs->command_flag)
            return text + Text::tr("No Command flag in preferences configured!");
        return text + Text::tr("Command: %1").arg(substituteValue(d.dmx_command_filename, v));
    case PT_OSC: {
        const auto [host, port] = oscTarget(d, prefs);
        if (host.isEmpty() || port == 0)
            return text + Text::tr("%1 %2 (no target)").arg(d.osc_address, oscArgumentText(d, v));
        return text + Text::tr("%1 %2 to %3")
                          .arg(d.osc_address, oscArgumentText(d, v), oscTargetText(host, port));
    }
    default:
        return text + Text::tr("Unknown Type of Protocol");
    }
}

QString artnetUniverseRefusal()
{
    return Text::tr("Art-Net has no universe above %1").arg(artnet::MAX_UNIVERSE + 1);
}

QString refusedUniversesLine(const QList<SettingStruct> &controls)
{
    std::set<int> refused;
    for (const SettingStruct &c : controls)
        for (const SettingDmxStruct *d : {&c.dmx_out, &c.dmx_out_advanced})
            if (d->protocol_type == PT_ARTNET && d->dmx_universe > artnet::MAX_UNIVERSE)
                refused.insert(d->dmx_universe + 1);
    QStringList numbers;
    for (int universe : refused)
        numbers << QString::number(universe);
    if (numbers.isEmpty())
        return QString();
    return Text::tr("%1: not sent (%2)")
        .arg(Text::tr("%1 universe %2")
                 .arg(protocolName(PT_ARTNET), numbers.join(QStringLiteral(", "))),
             artnetUniverseRefusal());
}

QString failedFrameStatusLine(quint8 protocol, int universe, const QString &error)
{
    return Text::tr("%1: not sent (%2)")
        .arg(Text::tr("%1 universe %2").arg(protocolName(protocol)).arg(universe + 1), error);
}

QString failedSendStatusLine(const SettingDmxStruct &d, int v, const QString &error)
{
    QString what;
    switch (d.protocol_type) {
    case PT_ARTNET:
    case PT_ACN:
        what = Text::tr("%1 universe %2 channel %3")
                   .arg(protocolName(d.protocol_type))
                   .arg(d.dmx_universe + 1)
                   .arg(d.dmx_channel + 1);
        break;
    case PT_MIDI:
        what = Text::tr("MIDI %1 channel %2 note %3")
                   .arg(midiTypeLabel(d.dmx_midi_type))
                   .arg(d.dmx_universe + 1)
                   .arg(d.dmx_channel);
        break;
    case PT_HTTP:
        what = Text::tr("HTTP %1").arg(substituteValue(d.dmx_http_filename, v));
        break;
    case PT_COMMAND:
        what = Text::tr("Command %1").arg(substituteValue(d.dmx_command_filename, v));
        break;
    case PT_OSC:
        what = d.osc_address.isEmpty()
                   ? protocolName(PT_OSC)
                   : Text::tr("OSC %1 %2").arg(d.osc_address, oscArgumentText(d, v));
        break;
    default:
        what = protocolName(d.protocol_type);
        break;
    }
    return Text::tr("%1: not sent (%2)").arg(what, error);
}
