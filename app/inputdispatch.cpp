#include "app/inputdispatch.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcInput, "pultora.input", QtInfoMsg)

namespace
{

constexpr int kSlotsPerUniverse = 512;
// Streaming ACN has 0-based universes 0..63998 only; a control set above them
// never receives anything, so it takes no slot.
constexpr int kAcnMaxUniverse = 63998;

void sortUnique(QList<int> &universes)
{
    std::sort(universes.begin(), universes.end());
    universes.erase(std::unique(universes.begin(), universes.end()), universes.end());
}

// The background follows a network universe within the controls' span.
void addBackground(InputUniverses &plan, int universe)
{
    if (!plan.used() || universe < plan.lowest() || universe > plan.highest() ||
        plan.contains(universe))
        return;
    plan.universes.insert(std::lower_bound(plan.universes.begin(), plan.universes.end(), universe),
                          universe);
}

} // namespace

bool InputUniverses::contains(int universe) const
{
    return std::binary_search(universes.cbegin(), universes.cend(), universe);
}

InputPlan planInputs(const QList<const SettingStruct *> &records,
                     const BackgroundStruct *background)
{
    InputPlan plan;
    for (const SettingStruct *r : records) {
        switch (r->dmx_in.protocol_type_in) {
        case PT_ARTNET:
            plan.artnet.universes.append(r->dmx_in.dmx_in_universe);
            break;
        case PT_ACN:
            if (r->dmx_in.dmx_in_universe <= kAcnMaxUniverse)
                plan.acn.universes.append(r->dmx_in.dmx_in_universe);
            break;
        case PT_MIDI:
            plan.midi = true;
            break;
        default:
            break;
        }
    }
    sortUnique(plan.artnet.universes);
    sortUnique(plan.acn.universes);
    if (background) {
        if (background->dmx_in.protocol_type_in == PT_ARTNET)
            addBackground(plan.artnet, background->dmx_in.dmx_in_universe);
        else if (background->dmx_in.protocol_type_in == PT_ACN)
            addBackground(plan.acn, background->dmx_in.dmx_in_universe);
    }
    return plan;
}

InputDispatch::~InputDispatch() = default;

bool InputDispatch::setUp(const QList<const SettingStruct *> &records,
                          const BackgroundStruct *background)
{
    const InputPlan plan = planInputs(records, background);
    bool changed = false;
    if (plan.artnet.used())
        changed = replace(PT_ARTNET, plan.artnet) || changed;
    if (plan.acn.used())
        changed = replace(PT_ACN, plan.acn) || changed;
    if (plan.midi)
        m_ports.ensureMidi();
    return changed;
}

bool InputDispatch::followsBackground(const BackgroundStruct &background) const
{
    const quint8 protocol = background.dmx_in.protocol_type_in;
    if (protocol != PT_ARTNET && protocol != PT_ACN)
        return true;
    const InputUniverses &held = protocol == PT_ARTNET ? m_artnetUniverses : m_acnUniverses;
    const int universe = background.dmx_in.dmx_in_universe;
    return !held.used() || universe < held.lowest() || universe > held.highest() ||
           held.contains(universe);
}

const QList<int> &InputDispatch::universes(quint8 protocol) const
{
    return (protocol == PT_ARTNET ? m_artnetUniverses : m_acnUniverses).universes;
}

bool InputDispatch::replace(quint8 protocol, const InputUniverses &plan)
{
    QByteArray &buffer = protocol == PT_ARTNET ? m_artnet : m_acn;
    InputUniverses &held = protocol == PT_ARTNET ? m_artnetUniverses : m_acnUniverses;
    bool &registered = protocol == PT_ARTNET ? m_artnetRegistered : m_acnRegistered;
    // Nothing changes: the node keeps its registration (and sACN its groups).
    if (registered && plan.universes == held.universes)
        return false;
    QByteArray next(int(plan.universes.size()) * kSlotsPerUniverse, '\0');
    // Universes that stay take their values along; the node keeps their
    // received state when it moves to the new buffer.
    if (registered) {
        for (qsizetype slot = 0; slot < plan.universes.size(); ++slot) {
            const auto it = std::lower_bound(held.universes.cbegin(), held.universes.cend(),
                                             plan.universes.at(slot));
            if (it == held.universes.cend() || *it != plan.universes.at(slot))
                continue;
            std::memcpy(next.data() + slot * kSlotsPerUniverse,
                        buffer.constData() + (it - held.universes.cbegin()) * kSlotsPerUniverse,
                        kSlotsPerUniverse);
        }
    }
    m_ports.setReceiveBuffer(protocol, reinterpret_cast<quint8 *>(next.data()), int(next.size()),
                             plan.universes);
    // The old buffer goes only now that the node writes into the new one.
    buffer.swap(next);
    held = plan;
    registered = true;
    qCDebug(lcInput) << "DMX-IN" << protocol << "universes" << held.universes.size() << "from"
                     << held.lowest() << "to" << held.highest();
    return true;
}

void InputDispatch::detach()
{
    if (m_artnetRegistered)
        m_ports.setReceiveBuffer(PT_ARTNET, nullptr, 0, {});
    if (m_acnRegistered)
        m_ports.setReceiveBuffer(PT_ACN, nullptr, 0, {});
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
    case PT_OSC: {
        const auto it = m_oscLevels.constFind(in.dmx_in_osc_address.toUtf8());
        if (it == m_oscLevels.cend())
            return std::nullopt;
        return *it;
    }
    default:
        return std::nullopt;
    }
}

void InputDispatch::keepOscLevels(const QSet<QByteArray> &addresses)
{
    for (auto it = m_oscLevels.begin(); it != m_oscLevels.end();)
        it = addresses.contains(it.key()) ? std::next(it) : m_oscLevels.erase(it);
}
