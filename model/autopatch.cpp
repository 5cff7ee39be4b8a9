#include "model/autopatch.h"

#include "model/typetables.h"

#include <QSet>

#include <algorithm>

namespace
{

constexpr quint32 DMX_CHANNELS = 512;
constexpr quint32 MIDI_NUMBERS = 128;

// An OSC address as the text before its trailing number and that number
// ("/fader/12": "/fader/" and 12); number -1 when it ends in none (or in
// more digits than a number here holds).
struct NumberedAddress {
    QString stem;
    qint64 number = -1;
    QString with(qint64 n) const { return stem + QString::number(n); }
};

NumberedAddress splitNumber(const QString &address)
{
    qsizetype i = address.size();
    while (i > 0 && address.at(i - 1) >= u'0' && address.at(i - 1) <= u'9')
        --i;
    if (i == address.size() || address.size() - i > 9)
        return {address, -1};
    return {address.left(i), address.mid(i).toLongLong()};
}

// The first number from `from` whose address is not in `used`.
QString firstFree(const NumberedAddress &address, qint64 from, const QSet<QString> &used)
{
    while (used.contains(address.with(from)))
        ++from;
    return address.with(from);
}

// The outputs of `controls` that send: the main one when the type sends on
// it, the second one when the type has one.
QList<SettingDmxStruct> sendingOutputs(const QList<SettingStruct> &controls)
{
    QList<SettingDmxStruct> outputs;
    for (const SettingStruct &c : controls) {
        if (controlTraits(c.control_type).output.sends)
            outputs.append(c.dmx_out);
        if (hasSecondOutput(c.control_type))
            outputs.append(c.dmx_out_advanced);
    }
    return outputs;
}

} // namespace

AutoPatch autoPatch(const SettingDmxStruct &last, const QList<SettingStruct> &controls,
                    bool fromStart)
{
    AutoPatch patch;
    patch.output = last;
    const quint8 protocol = last.protocol_type;
    if (protocol == PT_HTTP || protocol == PT_COMMAND)
        return patch;
    if (protocol == PT_OSC) {
        const NumberedAddress address = splitNumber(last.osc_address);
        if (address.number < 0)
            return patch;
        QSet<QString> used;
        for (const SettingDmxStruct &o : sendingOutputs(controls))
            if (o.protocol_type == PT_OSC && o.osc_host == last.osc_host &&
                o.osc_port == last.osc_port)
                used.insert(o.osc_address);
        patch.output.osc_address = firstFree(address, fromStart ? 1 : address.number + 1, used);
        return patch;
    }
    if (protocol != PT_ARTNET && protocol != PT_ACN && protocol != PT_MIDI) {
        patch.output = SettingDmxStruct();
        return patch;
    }
    const bool midi = protocol == PT_MIDI;
    // Addresses as one number: universe (MIDI channel) times its size plus
    // the channel (note or controller), so that counting on runs into the
    // next universe; MIDI stays in its channel.
    const quint32 size = midi ? MIDI_NUMBERS : DMX_CHANNELS;
    QSet<quint32> used;
    for (const SettingDmxStruct &o : sendingOutputs(controls)) {
        if (o.protocol_type == protocol && o.dmx_channel < size &&
            (!midi || o.dmx_midi_type == last.dmx_midi_type))
            used.insert(quint32(o.dmx_universe) * size + o.dmx_channel);
    }
    const quint32 start = quint32(last.dmx_universe) * size;
    const quint32 end = midi ? start + size : (quint32(DMX_UNIVERSE_MAX) + 1) * size;
    quint32 at = start + std::min<quint32>(last.dmx_channel, size - 1) + 1;
    if (fromStart)
        at = start;
    while (at < end && used.contains(at))
        ++at;
    if (at >= end) {
        patch.full = true;
        patch.output.protocol_type = PT_NONE;
        return patch;
    }
    patch.output.dmx_universe = quint16(at / size);
    patch.output.dmx_channel = quint16(at % size);
    return patch;
}

SettingDmxInStruct autoPatchInput(const SettingDmxStruct &last,
                                  const QList<SettingStruct> &controls)
{
    SettingDmxInStruct in;
    const quint8 protocol = last.protocol_type;
    if (protocol == PT_OSC) {
        const NumberedAddress address = splitNumber(last.osc_address);
        if (address.number < 0)
            return in;
        QSet<QString> used;
        for (const SettingStruct &c : controls)
            if (c.dmx_in.protocol_type_in == PT_OSC)
                used.insert(c.dmx_in.dmx_in_osc_address);
        in.protocol_type_in = PT_OSC;
        in.dmx_in_osc_address = firstFree(address, 1, used);
        return in;
    }
    if (protocol != PT_ARTNET && protocol != PT_ACN && protocol != PT_MIDI)
        return in;
    const bool midi = protocol == PT_MIDI;
    QSet<quint16> used;
    for (const SettingStruct &c : controls) {
        const SettingDmxInStruct &i = c.dmx_in;
        if (i.protocol_type_in == protocol && i.dmx_in_universe == last.dmx_universe &&
            (!midi || i.dmx_in_midi_type == last.dmx_midi_type))
            used.insert(i.dmx_in_channel);
    }
    const quint16 size = midi ? quint16(MIDI_NUMBERS) : quint16(DMX_CHANNELS);
    for (quint16 channel = 0; channel < size; ++channel) {
        if (!used.contains(channel)) {
            in.protocol_type_in = protocol;
            in.dmx_in_universe = last.dmx_universe;
            in.dmx_in_channel = channel;
            in.dmx_in_midi_type = midi ? last.dmx_midi_type : quint8(MT_NONE);
            return in;
        }
    }
    return in;
}
