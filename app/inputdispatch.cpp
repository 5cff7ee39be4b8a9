#include "inputdispatch.h"

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcInput, "pultora.input", QtInfoMsg)

namespace
{

constexpr int kSlotsPerUniverse = 512;

void widen(InputRange &range, quint16 universe)
{
    if (!range.used) {
        range = {true, universe, universe};
        return;
    }
    range.lowest = std::min(range.lowest, universe);
    range.highest = std::max(range.highest, universe);
}

} // namespace

InputPlan planInputs(const QList<const SettingStruct *> &records)
{
    InputPlan plan;
    for (const SettingStruct *r : records) {
        switch (r->dmx_in.protocol_type_in) {
        case PT_ARTNET:
            widen(plan.artnet, r->dmx_in.dmx_in_universe);
            break;
        case PT_ACN:
            widen(plan.acn, r->dmx_in.dmx_in_universe);
            break;
        case PT_MIDI:
            plan.midi = true;
            break;
        default:
            break;
        }
    }
    return plan;
}

InputDispatch::~InputDispatch() = default;

void InputDispatch::setUp(const QList<const SettingStruct *> &records)
{
    const InputPlan plan = planInputs(records);
    if (plan.artnet.used)
        replace(PT_ARTNET, plan.artnet);
    if (plan.acn.used)
        replace(PT_ACN, plan.acn);
    if (plan.midi)
        m_ports.ensureMidi();
}

void InputDispatch::replace(quint8 protocol, const InputRange &range)
{
    QByteArray &buffer = protocol == PT_ARTNET ? m_artnet : m_acn;
    bool &registered = protocol == PT_ARTNET ? m_artnetRegistered : m_acnRegistered;
    if (registered)
        m_ports.setReceiveBuffer(protocol, nullptr, 0, 0);
    buffer = QByteArray(range.universes() * kSlotsPerUniverse, '\0');
    m_ports.setReceiveBuffer(protocol, reinterpret_cast<quint8 *>(buffer.data()),
                             int(buffer.size()), range.lowest);
    registered = true;
    qCDebug(lcInput) << "DMX-IN" << protocol << "universes" << range.lowest << "to"
                     << range.highest;
}

void InputDispatch::detach()
{
    if (m_artnetRegistered)
        m_ports.setReceiveBuffer(PT_ARTNET, nullptr, 0, 0);
    if (m_acnRegistered)
        m_ports.setReceiveBuffer(PT_ACN, nullptr, 0, 0);
    m_artnetRegistered = m_acnRegistered = false;
}

const QByteArray &InputDispatch::buffer(quint8 protocol) const
{
    return protocol == PT_ARTNET ? m_artnet : m_acn;
}

std::optional<quint8> InputDispatch::fetch(const SettingDmxInStruct &in,
                                           const PreferencesStruct *prefs, bool trace)
{
    quint8 value = 0;
    switch (in.protocol_type_in) {
    case PT_ARTNET:
    case PT_ACN:
        if (m_ports.receivedValue(in.protocol_type_in, in.dmx_in_universe, in.dmx_in_channel,
                                  &value))
            return value;
        return std::nullopt;
    case PT_MIDI: {
        if (!prefs || prefs->midi_device_in == 0)
            return std::nullopt;
        const int device = int(prefs->midi_device_in) - 1;
        if (!m_ports.midiInputValue(device, in.dmx_in_midi_type, quint8(in.dmx_in_universe),
                                    quint8(in.dmx_in_channel), &value))
            return std::nullopt;
        if (trace)
            qCDebug(lcInput).noquote()
                << "RecMidi for Dev:" << device << ", Type:" << in.dmx_in_midi_type
                << ", Uni:" << in.dmx_in_universe << ", Chan:" << in.dmx_in_channel
                << ", Value:" << value;
        return value;
    }
    default:
        return std::nullopt;
    }
}
