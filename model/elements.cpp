#include "model/elements.h"

#include "model/elementfields.h"
#include "model/modellog.h"
#include "model/typetables.h"

#include <algorithm>

namespace
{

// OSC fields: the argument is stored as a word, "float" (the default, not
// written) or "int"; a port beyond 16 bits reads as 0 (the default target),
// not as the largest port.
const QString kOscInt = QStringLiteral("int");

quint16 readPort(const AttributeSource &e, const QString &name, quint16 fallback)
{
    const qint64 port = e.number(name, fallback);
    return port <= 65535 ? quint16(port) : 0;
}

// `suffix` is "" for the main output and "_advanced" for the second one.
void writeOscOutput(AttributeSink &e, const SettingDmxStruct &out, const QString &suffix)
{
    if (out.protocol_type != PT_OSC)
        return;
    e.text(QLatin1String("osc_address") + suffix, out.osc_address);
    if (!out.osc_host.isEmpty())
        e.text(QLatin1String("osc_host") + suffix, out.osc_host);
    if (out.osc_port != 0)
        e.number(QLatin1String("osc_port") + suffix, out.osc_port);
    if (out.osc_argument == OSC_INT)
        e.text(QLatin1String("osc_argument") + suffix, kOscInt);
}

void readOscOutput(const AttributeSource &e, SettingDmxStruct *out, const QString &suffix)
{
    if (out->protocol_type != PT_OSC)
        return;
    out->osc_address = e.text(QLatin1String("osc_address") + suffix);
    out->osc_host = e.text(QLatin1String("osc_host") + suffix);
    out->osc_port = readPort(e, QLatin1String("osc_port") + suffix, 0);
    out->osc_argument =
        e.text(QLatin1String("osc_argument") + suffix) == kOscInt ? OSC_INT : OSC_FLOAT;
}

// The input block; the same attributes for controls and the background.
void writeInput(AttributeSink &element, const SettingDmxInStruct &in)
{
    if (in.protocol_type_in == PT_NONE)
        return;
    element.text(QStringLiteral("protocol_type_in"), protocolTypeKey(in.protocol_type_in));
    if (in.protocol_type_in == PT_OSC) {
        element.text(QStringLiteral("dmx_in_osc_address"), in.dmx_in_osc_address);
    } else {
        element.number(QStringLiteral("dmx_in_universe"), in.dmx_in_universe);
        element.number(QStringLiteral("dmx_in_channel"), in.dmx_in_channel);
    }
    element.number(QStringLiteral("dmx_in_value_1"), in.dmx_in_value_1);
    element.number(QStringLiteral("dmx_in_value_2"), in.dmx_in_value_2);
    element.number(QStringLiteral("dmx_in_value_3"), in.dmx_in_value_3);
    if (in.dmx_in_midi_type != MT_NONE)
        element.text(QStringLiteral("dmx_in_midi_type"), midiTypeKey(in.dmx_in_midi_type));
    element.number(QStringLiteral("dmx_in_color_red_1"), in.dmx_in_color_red_1);
    element.number(QStringLiteral("dmx_in_color_red_2"), in.dmx_in_color_red_2);
    element.number(QStringLiteral("dmx_in_color_red_3"), in.dmx_in_color_red_3);
    element.number(QStringLiteral("dmx_in_color_green_1"), in.dmx_in_color_green_1);
    element.number(QStringLiteral("dmx_in_color_green_2"), in.dmx_in_color_green_2);
    element.number(QStringLiteral("dmx_in_color_green_3"), in.dmx_in_color_green_3);
    element.number(QStringLiteral("dmx_in_color_blue_1"), in.dmx_in_color_blue_1);
    element.number(QStringLiteral("dmx_in_color_blue_2"), in.dmx_in_color_blue_2);
    element.number(QStringLiteral("dmx_in_color_blue_3"), in.dmx_in_color_blue_3);
    element.number(QStringLiteral("dmx_in_color_fade"), in.dmx_in_color_fade ? 1 : 0);
}

void readInput(const AttributeSource &e, SettingDmxInStruct *in)
{
    in->protocol_type_in =
        protocolTypeFromKey(e.text(QStringLiteral("protocol_type_in"), QStringLiteral("None")));
    in->dmx_in_universe = e.field<quint16>(QStringLiteral("dmx_in_universe"), 0);
    in->dmx_in_channel = e.field<quint16>(QStringLiteral("dmx_in_channel"), 0);
    in->dmx_in_value_1 = e.field<quint8>(QStringLiteral("dmx_in_value_1"), 0);
    in->dmx_in_value_2 = e.field<quint8>(QStringLiteral("dmx_in_value_2"), 127);
    in->dmx_in_value_3 = e.field<quint8>(QStringLiteral("dmx_in_value_3"), 255);
    in->dmx_in_midi_type =
        midiTypeFromText(e.text(QStringLiteral("dmx_in_midi_type"), QStringLiteral("None")));
    in->dmx_in_color_red_1 = e.field<quint8>(QStringLiteral("dmx_in_color_red_1"), 255);
    in->dmx_in_color_red_2 = e.field<quint8>(QStringLiteral("dmx_in_color_red_2"), 127);
    in->dmx_in_color_red_3 = e.field<quint8>(QStringLiteral("dmx_in_color_red_3"), 0);
    in->dmx_in_color_green_1 = e.field<quint8>(QStringLiteral("dmx_in_color_green_1"), 0);
    in->dmx_in_color_green_2 = e.field<quint8>(QStringLiteral("dmx_in_color_green_2"), 255);
    in->dmx_in_color_green_3 = e.field<quint8>(QStringLiteral("dmx_in_color_green_3"), 127);
    in->dmx_in_color_blue_1 = e.field<quint8>(QStringLiteral("dmx_in_color_blue_1"), 127);
    in->dmx_in_color_blue_2 = e.field<quint8>(QStringLiteral("dmx_in_color_blue_2"), 0);
    in->dmx_in_color_blue_3 = e.field<quint8>(QStringLiteral("dmx_in_color_blue_3"), 255);
    in->dmx_in_color_fade = e.field<quint8>(QStringLiteral("dmx_in_color_fade"), 0);
    if (in->protocol_type_in == PT_OSC)
        in->dmx_in_osc_address = e.text(QStringLiteral("dmx_in_osc_address"));
}

void writeMainOutput(AttributeSink &e, quint8 type, const SettingDmxStruct &out)
{
    if (out.protocol_type == PT_NONE)
        return;
    e.text(QStringLiteral("protocol_type"), protocolTypeKey(out.protocol_type));
    const OutputTraits &traits = controlTraits(type).output;
    if (traits.sends && traits.values >= 3)
        e.number(QStringLiteral("dmx_value_3"), out.dmx_value_3);
    if (traits.sends) {
        e.number(QStringLiteral("dmx_value_2"), out.dmx_value_2);
        e.number(QStringLiteral("dmx_value_1"), out.dmx_value_1);
        if (isAddressedProtocol(out.protocol_type)) {
            e.number(QStringLiteral("dmx_channel"), out.dmx_channel);
            e.number(QStringLiteral("dmx_universe"), out.dmx_universe);
        }
    }
    if (out.dmx_midi_type != MT_NONE)
        e.text(QStringLiteral("dmx_midi_type"), midiTypeKey(out.dmx_midi_type));
    if (!out.dmx_http_filename.isEmpty())
        e.text(QStringLiteral("dmx_http_filename"), out.dmx_http_filename);
    if (!out.dmx_command_filename.isEmpty())
        e.text(QStringLiteral("dmx_command_filename"), out.dmx_command_filename);
    writeOscOutput(e, out, QString());
}

void writeAdvancedOutput(AttributeSink &e, quint8 type, const SettingDmxStruct &out)
{
    if (out.protocol_type == PT_NONE)
        return;
    e.text(QStringLiteral("protocol_type_advanced"), protocolTypeKey(out.protocol_type));
    // Only the values the second output's editor always shows are stored.
    const OutputTraits &traits = outputTraits(controlTraits(type).second);
    if (traits.sends && traits.values >= 2)
        e.number(QStringLiteral("dmx_value_2_advanced"), out.dmx_value_2);
    if (traits.sends) {
        e.number(QStringLiteral("dmx_value_1_advanced"), out.dmx_value_1);
        if (isAddressedProtocol(out.protocol_type)) {
            e.number(QStringLiteral("dmx_channel_advanced"), out.dmx_channel);
            e.number(QStringLiteral("dmx_universe_advanced"), out.dmx_universe);
        }
    }
    if (out.dmx_midi_type != MT_NONE)
        e.text(QStringLiteral("dmx_midi_type_advanced"), midiTypeKey(out.dmx_midi_type));
    if (!out.dmx_http_filename.isEmpty())
        e.text(QStringLiteral("dmx_http_filename_advanced"), out.dmx_http_filename);
    if (!out.dmx_command_filename.isEmpty())
        e.text(QStringLiteral("dmx_command_filename_advanced"), out.dmx_command_filename);
    writeOscOutput(e, out, QStringLiteral("_advanced"));
}

void readControlAttributes(const AttributeSource &e, SettingStruct *r)
{
    r->name = e.text(QStringLiteral("name"), QStringLiteral("Name"));
    r->description = e.text(QStringLiteral("description"));
    if (r->description.isEmpty())
        r->description = e.text(QStringLiteral("info"));
    r->control_type =
        controlTypeFromKey(e.text(QStringLiteral("control_type"), QStringLiteral("unknown")));
    const ControlTraits &traits = controlTraits(r->control_type);
    r->position_x = e.field<quint32>(QStringLiteral("position_x"), 0);
    r->position_y = e.field<quint32>(QStringLiteral("position_y"), 0);
    r->size_x = e.field<quint32>(QStringLiteral("size_x"), traits.defaultWidth);
    r->size_y = e.field<quint32>(QStringLiteral("size_y"), traits.defaultHeight);
    r->color_red = e.field<quint8>(QStringLiteral("color_red"), 255);
    r->color_green = e.field<quint8>(QStringLiteral("color_green"), 255);
    r->color_blue = e.field<quint8>(QStringLiteral("color_blue"), 255);
    r->bitmap = e.picture();

    SettingDmxStruct &out = r->dmx_out;
    out.protocol_type =
        protocolTypeFromKey(e.text(QStringLiteral("protocol_type"), QStringLiteral("None")));
    out.dmx_universe = e.field<quint16>(QStringLiteral("dmx_universe"), 0);
    out.dmx_channel = e.field<quint16>(QStringLiteral("dmx_channel"), 0);
    out.dmx_value_1 = e.field<quint8>(QStringLiteral("dmx_value_1"), 0);
    out.dmx_value_2 = e.field<quint8>(QStringLiteral("dmx_value_2"), 255);
    out.dmx_value_3 = e.field<quint8>(QStringLiteral("dmx_value_3"), 127);
    out.dmx_midi_type =
        midiTypeFromText(e.text(QStringLiteral("dmx_midi_type"), QStringLiteral("None")));
    out.dmx_http_filename = e.text(QStringLiteral("dmx_http_filename"));
    out.dmx_command_filename = e.text(QStringLiteral("dmx_command_filename"));
    readOscOutput(e, &out, QString());

    SettingDmxStruct &adv = r->dmx_out_advanced;
    adv.protocol_type = protocolTypeFromKey(
        e.text(QStringLiteral("protocol_type_advanced"), QStringLiteral("None")));
    adv.dmx_universe = e.field<quint16>(QStringLiteral("dmx_universe_advanced"), 0);
    adv.dmx_channel = e.field<quint16>(QStringLiteral("dmx_channel_advanced"), 0);
    adv.dmx_value_1 = e.field<quint8>(QStringLiteral("dmx_value_1_advanced"), 0);
    adv.dmx_value_2 = e.field<quint8>(QStringLiteral("dmx_value_2_advanced"), 0);
    adv.dmx_value_3 = e.field<quint8>(QStringLiteral("dmx_value_3_advanced"), 127);
    adv.dmx_midi_type =
        midiTypeFromText(e.text(QStringLiteral("dmx_midi_type_advanced"), QStringLiteral("None")));
    adv.dmx_http_filename = e.text(QStringLiteral("dmx_http_filename_advanced"));
    adv.dmx_command_filename = e.text(QStringLiteral("dmx_command_filename_advanced"));
    readOscOutput(e, &adv, QStringLiteral("_advanced"));

    readInput(e, &r->dmx_in);

    r->qwidget = e.hexNumber(QStringLiteral("qwidget"));
    qCDebug(lcModel) << r->qwidget << "EXTERN";
}

} // namespace

void normaliseOutput(SettingDmxStruct *output)
{
    if (!output)
        return;
    if (output->protocol_type == PT_MIDI) {
        output->dmx_universe = std::min<quint16>(output->dmx_universe, 15);
        output->dmx_channel = std::min<quint16>(output->dmx_channel, 127);
        output->dmx_value_1 = std::min<quint8>(output->dmx_value_1, 127);
        output->dmx_value_2 = std::min<quint8>(output->dmx_value_2, 127);
        output->dmx_value_3 = std::min<quint8>(output->dmx_value_3, 127);
    } else {
        output->dmx_universe = std::min<quint16>(output->dmx_universe, DMX_UNIVERSE_MAX);
        output->dmx_channel = std::min<quint16>(output->dmx_channel, 511);
    }
}

void writeControlFields(AttributeSink &e, const SettingStruct &record)
{
    // A type outside the table is stored (and read back) as button_push.
    const quint8 type =
        isControlType(record.control_type) ? record.control_type : quint8(CT_BUTTON_PUSH);
    e.number(QStringLiteral("version"), 1);
    e.text(QStringLiteral("name"), record.name);
    if (!record.description.isEmpty())
        e.text(QStringLiteral("description"), record.description);
    e.number(QStringLiteral("position_x"), record.position_x);
    e.number(QStringLiteral("position_y"), record.position_y);
    e.number(QStringLiteral("size_x"), record.size_x);
    e.number(QStringLiteral("size_y"), record.size_y);
    e.number(QStringLiteral("color_red"), record.color_red);
    e.number(QStringLiteral("color_green"), record.color_green);
    e.number(QStringLiteral("color_blue"), record.color_blue);
    e.text(QStringLiteral("control_type"), controlTypeKey(type));
    e.picture(record.bitmap);
    writeMainOutput(e, type, record.dmx_out);
    writeAdvancedOutput(e, type, record.dmx_out_advanced);
    writeInput(e, record.dmx_in);
}

void readControlFields(const AttributeSource &source, SettingStruct *record)
{
    resetSetting(record);
    if (source.isVersionOne())
        readControlAttributes(source, record);
    normaliseOutput(&record->dmx_out);
    normaliseOutput(&record->dmx_out_advanced);
}

void writeBackgroundFields(AttributeSink &e, const BackgroundStruct &record)
{
    e.number(QStringLiteral("version"), 1);
    e.number(QStringLiteral("position_x"), record.position_x);
    e.number(QStringLiteral("position_y"), record.position_y);
    e.number(QStringLiteral("size_x"), record.size_x);
    e.number(QStringLiteral("size_y"), record.size_y);
    if (record.stretch_factor != 100)
        e.number(QStringLiteral("stretch_factor"), record.stretch_factor);
    e.number(QStringLiteral("color_red"), record.color_red);
    e.number(QStringLiteral("color_green"), record.color_green);
    e.number(QStringLiteral("color_blue"), record.color_blue);
    e.picture(record.bitmap);
    writeInput(e, record.dmx_in);
}

void readBackgroundFields(const AttributeSource &e, BackgroundStruct *record)
{
    resetBackground(record);
    if (!e.isVersionOne())
        return;
    record->startup_timeout = e.field<quint16>(QStringLiteral("startup_timeout"), 0);
    record->startup_dmxsend_later = e.flag(QStringLiteral("startup_dmxsend_later"), false);
    record->position_x = e.field<quint32>(QStringLiteral("position_x"), 0);
    record->position_y = e.field<quint32>(QStringLiteral("position_y"), 0);
    record->size_x = e.field<quint32>(QStringLiteral("size_x"), 400);
    record->size_y = e.field<quint32>(QStringLiteral("size_y"), 300);
    record->stretch_factor = e.field<quint32>(QStringLiteral("stretch_factor"), 100);
    record->color_red = e.field<quint8>(QStringLiteral("color_red"), 255);
    record->color_green = e.field<quint8>(QStringLiteral("color_green"), 255);
    record->color_blue = e.field<quint8>(QStringLiteral("color_blue"), 255);
    record->bitmap = e.picture();
    readInput(e, &record->dmx_in);
    record->qwidget = e.hexNumber(QStringLiteral("qwidget"));
    qCDebug(lcModel) << "background input universe" << record->dmx_in.dmx_in_universe << "channel"
                     << record->dmx_in.dmx_in_channel << "midi type"
                     << record->dmx_in.dmx_in_midi_type;
}

void writeControlElement(QDomDocument &document, QDomElement &parent, const SettingStruct *record)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement element = document.createElement(QStringLiteral("control"));
    AttributeSink sink(element);
    writeControlFields(sink, *record);
    parent.appendChild(element);
}

bool readControlElement(const QDomElement &element, SettingStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("control"))
        return false;
    readControlFields(AttributeSource(element), record);
    return true;
}

void writeBackgroundElement(QDomDocument &document, QDomElement &parent,
                            const BackgroundStruct *record)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement element = document.createElement(QStringLiteral("background"));
    AttributeSink sink(element);
    writeBackgroundFields(sink, *record);
    parent.appendChild(element);
}

bool readBackgroundElement(const QDomElement &element, BackgroundStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("background"))
        return false;
    readBackgroundFields(AttributeSource(element), record);
    limitBackgroundSize(record);
    return true;
}

namespace
{

quint32 usableStretch(quint32 stretch)
{
    return stretch == 0 ? 100 : std::min(stretch, MAX_STRETCH_PERCENT);
}

// Limits a stored side so that side * stretch / 100, truncated as the
// surface truncates, lies within smallest..largest.
quint32 limitSide(quint32 side, quint32 stretch, quint32 smallest, quint32 largest)
{
    const quint32 low = (smallest * 100 + stretch - 1) / stretch;
    const quint32 high = largest * 100 / stretch;
    return std::clamp(side, low, high);
}

} // namespace

bool limitBackgroundSize(BackgroundStruct *record)
{
    if (!record)
        return false;
    const quint32 stretch = std::min(record->stretch_factor, MAX_STRETCH_PERCENT);
    const quint32 shown = usableStretch(stretch);
    const quint32 x = limitSide(record->size_x, shown, MIN_BACKGROUND_SHOWN, MAX_BACKGROUND_SHOWN);
    const quint32 y = limitSide(record->size_y, shown, MIN_BACKGROUND_SHOWN, MAX_BACKGROUND_SHOWN);
    const bool limited =
        stretch != record->stretch_factor || x != record->size_x || y != record->size_y;
    record->stretch_factor = stretch;
    record->size_x = x;
    record->size_y = y;
    return limited;
}

bool limitControlSize(SettingStruct *record, quint32 stretchPercent)
{
    if (!record)
        return false;
    const quint32 stretch = usableStretch(stretchPercent);
    const quint32 smallest = controlTraits(record->control_type).minimumSide;
    const quint32 x = limitSide(record->size_x, stretch, smallest, MAX_CONTROL_SHOWN);
    const quint32 y = limitSide(record->size_y, stretch, smallest, MAX_CONTROL_SHOWN);
    const bool limited = x != record->size_x || y != record->size_y;
    record->size_x = x;
    record->size_y = y;
    return limited;
}

qint64 shownControlArea(const SettingStruct &record, quint32 stretchPercent)
{
    // Each side at most 2^31, so the product stays within 63 bits.
    const quint64 stretch = usableStretch(stretchPercent);
    const quint64 x = std::min<quint64>(quint64(record.size_x) * stretch / 100, 1ull << 31);
    const quint64 y = std::min<quint64>(quint64(record.size_y) * stretch / 100, 1ull << 31);
    return qint64(x * y);
}
