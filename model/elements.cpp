#include "elements.h"

#include "attributes.h"
#include "modellog.h"
#include "typetables.h"

#include <algorithm>

namespace
{

const QString kVersion = QStringLiteral("version");

bool isAddressless(quint8 protocol)
{
    return protocol == PT_HTTP || protocol == PT_COMMAND;
}

// The input block; the same attributes for controls and the background.
void writeInput(QDomElement &element, const SettingDmxInStruct &in)
{
    if (in.protocol_type_in == PT_NONE)
        return;
    element.setAttribute(QStringLiteral("protocol_type_in"), protocolTypeKey(in.protocol_type_in));
    attr::setNumber(element, QStringLiteral("dmx_in_universe"), in.dmx_in_universe);
    attr::setNumber(element, QStringLiteral("dmx_in_channel"), in.dmx_in_channel);
    attr::setNumber(element, QStringLiteral("dmx_in_value_1"), in.dmx_in_value_1);
    attr::setNumber(element, QStringLiteral("dmx_in_value_2"), in.dmx_in_value_2);
    attr::setNumber(element, QStringLiteral("dmx_in_value_3"), in.dmx_in_value_3);
    if (in.dmx_in_midi_type != MT_NONE)
        element.setAttribute(QStringLiteral("dmx_in_midi_type"), midiTypeKey(in.dmx_in_midi_type));
    attr::setNumber(element, QStringLiteral("dmx_in_color_red_1"), in.dmx_in_color_red_1);
    attr::setNumber(element, QStringLiteral("dmx_in_color_red_2"), in.dmx_in_color_red_2);
    attr::setNumber(element, QStringLiteral("dmx_in_color_red_3"), in.dmx_in_color_red_3);
    attr::setNumber(element, QStringLiteral("dmx_in_color_green_1"), in.dmx_in_color_green_1);
    attr::setNumber(element, QStringLiteral("dmx_in_color_green_2"), in.dmx_in_color_green_2);
    attr::setNumber(element, QStringLiteral("dmx_in_color_green_3"), in.dmx_in_color_green_3);
    attr::setNumber(element, QStringLiteral("dmx_in_color_blue_1"), in.dmx_in_color_blue_1);
    attr::setNumber(element, QStringLiteral("dmx_in_color_blue_2"), in.dmx_in_color_blue_2);
    attr::setNumber(element, QStringLiteral("dmx_in_color_blue_3"), in.dmx_in_color_blue_3);
    attr::setNumber(element, QStringLiteral("dmx_in_color_fade"), in.dmx_in_color_fade ? 1 : 0);
}

void readInput(const QDomElement &e, SettingDmxInStruct *in)
{
    using attr::field;
    in->protocol_type_in = protocolTypeFromKey(
        e.attribute(QStringLiteral("protocol_type_in"), QStringLiteral("None")));
    in->dmx_in_universe = field<quint16>(e, QStringLiteral("dmx_in_universe"), 0);
    in->dmx_in_channel = field<quint16>(e, QStringLiteral("dmx_in_channel"), 0);
    in->dmx_in_value_1 = field<quint8>(e, QStringLiteral("dmx_in_value_1"), 0);
    in->dmx_in_value_2 = field<quint8>(e, QStringLiteral("dmx_in_value_2"), 127);
    in->dmx_in_value_3 = field<quint8>(e, QStringLiteral("dmx_in_value_3"), 255);
    in->dmx_in_midi_type =
        midiTypeFromText(e.attribute(QStringLiteral("dmx_in_midi_type"), QStringLiteral("None")));
    in->dmx_in_color_red_1 = field<quint8>(e, QStringLiteral("dmx_in_color_red_1"), 255);
    in->dmx_in_color_red_2 = field<quint8>(e, QStringLiteral("dmx_in_color_red_2"), 127);
    in->dmx_in_color_red_3 = field<quint8>(e, QStringLiteral("dmx_in_color_red_3"), 0);
    in->dmx_in_color_green_1 = field<quint8>(e, QStringLiteral("dmx_in_color_green_1"), 0);
    in->dmx_in_color_green_2 = field<quint8>(e, QStringLiteral("dmx_in_color_green_2"), 255);
    in->dmx_in_color_green_3 = field<quint8>(e, QStringLiteral("dmx_in_color_green_3"), 127);
    in->dmx_in_color_blue_1 = field<quint8>(e, QStringLiteral("dmx_in_color_blue_1"), 127);
    in->dmx_in_color_blue_2 = field<quint8>(e, QStringLiteral("dmx_in_color_blue_2"), 0);
    in->dmx_in_color_blue_3 = field<quint8>(e, QStringLiteral("dmx_in_color_blue_3"), 255);
    in->dmx_in_color_fade = field<quint8>(e, QStringLiteral("dmx_in_color_fade"), 0);
}

void writeMainOutput(QDomElement &e, quint8 type, const SettingDmxStruct &out)
{
    if (out.protocol_type == PT_NONE)
        return;
    e.setAttribute(QStringLiteral("protocol_type"), protocolTypeKey(out.protocol_type));
    if (type >= CT_ENCODER && type <= CT_ENCODER_SWITCH)
        attr::setNumber(e, QStringLiteral("dmx_value_3"), out.dmx_value_3);
    if (type <= CT_ENCODER_SWITCH) {
        attr::setNumber(e, QStringLiteral("dmx_value_2"), out.dmx_value_2);
        attr::setNumber(e, QStringLiteral("dmx_value_1"), out.dmx_value_1);
        if (!isAddressless(out.protocol_type)) {
            attr::setNumber(e, QStringLiteral("dmx_channel"), out.dmx_channel);
            attr::setNumber(e, QStringLiteral("dmx_universe"), out.dmx_universe);
        }
    }
    if (out.dmx_midi_type != MT_NONE)
        e.setAttribute(QStringLiteral("dmx_midi_type"), midiTypeKey(out.dmx_midi_type));
    if (!out.dmx_http_filename.isEmpty())
        e.setAttribute(QStringLiteral("dmx_http_filename"), out.dmx_http_filename);
    if (!out.dmx_command_filename.isEmpty())
        e.setAttribute(QStringLiteral("dmx_command_filename"), out.dmx_command_filename);
}

void writeAdvancedOutput(QDomElement &e, quint8 type, const SettingDmxStruct &out)
{
    if (out.protocol_type == PT_NONE)
        return;
    e.setAttribute(QStringLiteral("protocol_type_advanced"), protocolTypeKey(out.protocol_type));
    const bool pushOrSwitch = type == CT_ENCODER_PUSH || type == CT_ENCODER_SWITCH;
    const bool centre = type == CT_FADER_VERTICAL_MIDDLE || type == CT_FADER_HORIZONTAL_MIDDLE ||
                        type == CT_PITCH_BEND_VERTICAL_MIDDLE ||
                        type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
    if (pushOrSwitch)
        attr::setNumber(e, QStringLiteral("dmx_value_2_advanced"), out.dmx_value_2);
    if (pushOrSwitch || centre) {
        attr::setNumber(e, QStringLiteral("dmx_value_1_advanced"), out.dmx_value_1);
        if (!isAddressless(out.protocol_type)) {
            attr::setNumber(e, QStringLiteral("dmx_channel_advanced"), out.dmx_channel);
            attr::setNumber(e, QStringLiteral("dmx_universe_advanced"), out.dmx_universe);
        }
    }
    if (out.dmx_midi_type != MT_NONE)
        e.setAttribute(QStringLiteral("dmx_midi_type_advanced"), midiTypeKey(out.dmx_midi_type));
    if (!out.dmx_http_filename.isEmpty())
        e.setAttribute(QStringLiteral("dmx_http_filename_advanced"), out.dmx_http_filename);
    if (!out.dmx_command_filename.isEmpty())
        e.setAttribute(QStringLiteral("dmx_command_filename_advanced"), out.dmx_command_filename);
}

void readControlAttributes(const QDomElement &e, SettingStruct *r)
{
    using attr::field;
    r->name = e.attribute(QStringLiteral("name"), QStringLiteral("Name"));
    r->description = e.attribute(QStringLiteral("description"));
    if (r->description.isEmpty())
        r->description = e.attribute(QStringLiteral("info"));
    r->position_x = field<quint32>(e, QStringLiteral("position_x"), 0);
    r->position_y = field<quint32>(e, QStringLiteral("position_y"), 0);
    r->size_x = field<quint32>(e, QStringLiteral("size_x"), 50);
    r->size_y = field<quint32>(e, QStringLiteral("size_y"), 50);
    r->color_red = field<quint8>(e, QStringLiteral("color_red"), 255);
    r->color_green = field<quint8>(e, QStringLiteral("color_green"), 255);
    r->color_blue = field<quint8>(e, QStringLiteral("color_blue"), 255);
    r->control_type =
        controlTypeFromKey(e.attribute(QStringLiteral("control_type"), QStringLiteral("unknown")));
    r->bitmap = attr::readPicture(e);

    SettingDmxStruct &out = r->dmx_out;
    out.protocol_type =
        protocolTypeFromKey(e.attribute(QStringLiteral("protocol_type"), QStringLiteral("None")));
    out.dmx_universe = field<quint16>(e, QStringLiteral("dmx_universe"), 0);
    out.dmx_channel = field<quint16>(e, QStringLiteral("dmx_channel"), 0);
    out.dmx_value_1 = field<quint8>(e, QStringLiteral("dmx_value_1"), 0);
    out.dmx_value_2 = field<quint8>(e, QStringLiteral("dmx_value_2"), 255);
    out.dmx_value_3 = field<quint8>(e, QStringLiteral("dmx_value_3"), 127);
    out.dmx_midi_type =
        midiTypeFromText(e.attribute(QStringLiteral("dmx_midi_type"), QStringLiteral("None")));
    out.dmx_http_filename = e.attribute(QStringLiteral("dmx_http_filename"));
    out.dmx_command_filename = e.attribute(QStringLiteral("dmx_command_filename"));

    SettingDmxStruct &adv = r->dmx_out_advanced;
    adv.protocol_type = protocolTypeFromKey(
        e.attribute(QStringLiteral("protocol_type_advanced"), QStringLiteral("None")));
    adv.dmx_universe = field<quint16>(e, QStringLiteral("dmx_universe_advanced"), 0);
    adv.dmx_channel = field<quint16>(e, QStringLiteral("dmx_channel_advanced"), 0);
    adv.dmx_value_1 = field<quint8>(e, QStringLiteral("dmx_value_1_advanced"), 0);
    adv.dmx_value_2 = field<quint8>(e, QStringLiteral("dmx_value_2_advanced"), 0);
    adv.dmx_value_3 = field<quint8>(e, QStringLiteral("dmx_value_3_advanced"), 127);
    adv.dmx_midi_type = midiTypeFromText(
        e.attribute(QStringLiteral("dmx_midi_type_advanced"), QStringLiteral("None")));
    adv.dmx_http_filename = e.attribute(QStringLiteral("dmx_http_filename_advanced"));
    adv.dmx_command_filename = e.attribute(QStringLiteral("dmx_command_filename_advanced"));

    readInput(e, &r->dmx_in);

    r->qwidget = attr::hexNumber(e, QStringLiteral("qwidget"));
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
        output->dmx_universe = std::min<quint16>(output->dmx_universe, 65534);
        output->dmx_channel = std::min<quint16>(output->dmx_channel, 511);
    }
}

void writeControlElement(QDomDocument &document, QDomElement &parent, const SettingStruct *record)
{
    if (document.isNull() || parent.isNull() || !record || !record->widget)
        return;
    // A type outside the table is stored (and read back) as button_push.
    const quint8 type =
        record->control_type < CT_COUNT ? record->control_type : quint8(CT_BUTTON_PUSH);

    QDomElement e = document.createElement(QStringLiteral("control"));
    e.setAttribute(kVersion, 1);
    e.setAttribute(QStringLiteral("name"), record->name);
    if (!record->description.isEmpty())
        e.setAttribute(QStringLiteral("description"), record->description);
    attr::setNumber(e, QStringLiteral("position_x"), record->position_x);
    attr::setNumber(e, QStringLiteral("position_y"), record->position_y);
    attr::setNumber(e, QStringLiteral("size_x"), record->size_x);
    attr::setNumber(e, QStringLiteral("size_y"), record->size_y);
    attr::setNumber(e, QStringLiteral("color_red"), record->color_red);
    attr::setNumber(e, QStringLiteral("color_green"), record->color_green);
    attr::setNumber(e, QStringLiteral("color_blue"), record->color_blue);
    e.setAttribute(QStringLiteral("control_type"), controlTypeKey(type));
    attr::writePicture(e, record->bitmap);
    writeMainOutput(e, type, record->dmx_out);
    writeAdvancedOutput(e, type, record->dmx_out_advanced);
    writeInput(e, record->dmx_in);
    parent.appendChild(e);
}

bool readControlElement(const QDomElement &element, SettingStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("control"))
        return false;
    resetSetting(record);
    if (attr::isVersionOne(element))
        readControlAttributes(element, record);
    normaliseOutput(&record->dmx_out);
    normaliseOutput(&record->dmx_out_advanced);
    return true;
}

void writeBackgroundElement(QDomDocument &document, QDomElement &parent,
                            const BackgroundStruct *record)
{
    if (document.isNull() || parent.isNull() || !record)
        return;
    QDomElement e = document.createElement(QStringLiteral("background"));
    e.setAttribute(kVersion, 1);
    attr::setNumber(e, QStringLiteral("position_x"), record->position_x);
    attr::setNumber(e, QStringLiteral("position_y"), record->position_y);
    attr::setNumber(e, QStringLiteral("size_x"), record->size_x);
    attr::setNumber(e, QStringLiteral("size_y"), record->size_y);
    if (record->stretch_factor != 100)
        attr::setNumber(e, QStringLiteral("stretch_factor"), record->stretch_factor);
    attr::setNumber(e, QStringLiteral("color_red"), record->color_red);
    attr::setNumber(e, QStringLiteral("color_green"), record->color_green);
    attr::setNumber(e, QStringLiteral("color_blue"), record->color_blue);
    attr::writePicture(e, record->bitmap);
    writeInput(e, record->dmx_in);
    parent.appendChild(e);
}

bool readBackgroundElement(const QDomElement &element, BackgroundStruct *record)
{
    if (element.isNull() || !record || element.tagName() != QLatin1String("background"))
        return false;
    resetBackground(record);
    if (!attr::isVersionOne(element))
        return true;
    using attr::field;
    const QDomElement &e = element;
    record->startup_timeout = field<quint16>(e, QStringLiteral("startup_timeout"), 0);
    const qint64 later = attr::number(e, QStringLiteral("startup_dmxsend_later"), -1);
    record->startup_dmxsend_later = later < 0 ? true : later != 0;
    record->position_x = field<quint32>(e, QStringLiteral("position_x"), 0);
    record->position_y = field<quint32>(e, QStringLiteral("position_y"), 0);
    record->size_x = field<quint32>(e, QStringLiteral("size_x"), 400);
    record->size_y = field<quint32>(e, QStringLiteral("size_y"), 300);
    record->stretch_factor = field<quint32>(e, QStringLiteral("stretch_factor"), 100);
    record->color_red = field<quint8>(e, QStringLiteral("color_red"), 255);
    record->color_green = field<quint8>(e, QStringLiteral("color_green"), 255);
    record->color_blue = field<quint8>(e, QStringLiteral("color_blue"), 255);
    record->bitmap = attr::readPicture(e);
    readInput(e, &record->dmx_in);
    record->qwidget = attr::hexNumber(e, QStringLiteral("qwidget"));
    qCDebug(lcModel) << "background input universe" << record->dmx_in.dmx_in_universe << "channel"
                     << record->dmx_in.dmx_in_channel << "midi type"
                     << record->dmx_in.dmx_in_midi_type;
    return true;
}
