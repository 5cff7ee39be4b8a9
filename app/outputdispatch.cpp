#include "outputdispatch.h"

#include "typetables.h"

#include <QCoreApplication>

#include "http.h"

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("Pultora", text);
}

QString hex(int n)
{
    return QStringLiteral("%1").arg(n, 2, 16, QLatin1Char('0'));
}

QString protocolName(quint8 protocol)
{
    switch (protocol) {
    case PT_ARTNET:
        return tr("Art-Net");
    case PT_ACN:
        return tr("streaming ACN");
    case PT_MIDI:
        return tr("MIDI");
    case PT_HTTP:
        return tr("HTTP");
    case PT_COMMAND:
        return tr("Command");
    default:
        return tr("None");
    }
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

void OutputDispatch::send(const SettingDmxStruct &d, int v, bool storeOnly,
                          const PreferencesStruct *prefs)
{
    switch (d.protocol_type) {
    case PT_ARTNET:
    case PT_ACN: {
        // Channels past the universe cannot be stored; records read from a
        // document never hold them, but a hand-built record might.
        if (d.dmx_channel >= UniverseBuffers::kSlots)
            return;
        UniverseBuffers &table = d.protocol_type == PT_ARTNET ? m_artnet : m_acn;
        QByteArray &data = table.buffer(d.dmx_universe);
        data[d.dmx_channel] = char(quint8(v));
        if (storeOnly)
            return;
        if (d.protocol_type == PT_ARTNET)
            m_ports.sendArtNet(d.dmx_universe, data);
        else
            m_ports.sendAcn(d.dmx_universe, data);
        return;
    }
    case PT_MIDI: {
        const int device = prefs ? int(prefs->midi_device_out) - 1 : -1;
        if (storeOnly || device < 0 || d.dmx_midi_type == MT_NONE)
            return;
        m_ports.sendMidi(device, d.dmx_midi_type, quint8(d.dmx_universe), quint8(d.dmx_channel),
                         quint8(v));
        return;
    }
    case PT_HTTP:
        if (!storeOnly && prefs && !prefs->http_server.isEmpty() && !d.dmx_http_filename.isEmpty())
            m_ports.requestUrl(prefs->http_server, substituteValue(d.dmx_http_filename, v));
        return;
    case PT_COMMAND:
        if (!storeOnly && prefs && prefs->command_flag && !d.dmx_command_filename.isEmpty())
            m_ports.runCommand(prefs->command_path, substituteValue(d.dmx_command_filename, v));
        return;
    default:
        return;
    }
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
    QString text = tr("Protocol: %1 - ").arg(protocolName(d.protocol_type));
    switch (d.protocol_type) {
    case PT_NONE:
        return text + tr("No protocol has been selected for sending data!");
    case PT_ARTNET:
    case PT_ACN: {
        const int universe = d.dmx_universe + 1;
        const int channel = d.dmx_channel + 1;
        if (!showHex)
            return text + tr("DMX Universe: %1 | DMX Channel: %2 | DMX Value: %3")
                              .arg(universe)
                              .arg(channel)
                              .arg(v);
        return text + tr("DMX Universe: %1 (0x%2) | DMX Channel: %3 (0x%4) | DMX Value: %5 (0x%6)")
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
            return text + tr("MIDI Type: %1 | MIDI Channel: %2 | MIDI Note: %3 | MIDI Value: %4")
                              .arg(midiTypeLabel(d.dmx_midi_type))
                              .arg(channel)
                              .arg(d.dmx_channel)
                              .arg(v);
        return text + tr("MIDI Type: %1 (0x%2) | MIDI Channel: %3 (0x%4) | MIDI Note: %5 "
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
            return text + tr("No HTTP server name in preferences configured!");
        return text + joinUrl(prefs->http_server, substituteValue(d.dmx_http_filename, v));
    case PT_COMMAND:
        if (!prefs)
            return text;
        if (!prefs->command_flag)
            return text + tr("No Command flag in preferences configured!");
        return text + tr("Command: %1").arg(substituteValue(d.dmx_command_filename, v));
    default:
        return text + tr("Unknown Type of Protocol");
    }
}
