#include "settingsrules.h"

#include <QCoreApplication>

namespace
{

const int MIDI_DATA_MAX = 127;
const int MIDI_CHANNEL_MAX = 15; // stored from 0
const int DMX_VALUE_MAX = 255;
const int DMX_CHANNEL_MAX = 511;    // stored from 0
const int DMX_UNIVERSE_MAX = 65534; // stored from 0

QString outText(const char *text)
{
    return QCoreApplication::translate("SettingsDmxOutWidget", text);
}

QString inText(const char *text)
{
    return QCoreApplication::translate("Settings", text);
}

bool isOutputProtocol(quint8 protocol)
{
    return protocol >= PT_ARTNET && protocol <= PT_COMMAND;
}

bool isInputProtocol(quint8 protocol)
{
    return protocol >= PT_ARTNET && protocol <= PT_MIDI;
}

bool between(quint8 value, quint8 low, quint8 high)
{
    return value >= low && value <= high;
}

template <typename T> void lower(T &field, int maximum)
{
    if (field > maximum)
        field = T(maximum);
}

} // namespace

QString hexText(int value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString hexColorText(quint8 red, quint8 green, quint8 blue)
{
    return QStringLiteral("0x%1 %2 %3")
        .arg(red, 2, 16, QLatin1Char('0'))
        .arg(green, 2, 16, QLatin1Char('0'))
        .arg(blue, 2, 16, QLatin1Char('0'));
}

quint8 advancedOutputType(quint8 controlType)
{
    switch (controlType) {
    case CT_FADER_VERTICAL_MIDDLE:
    case CT_FADER_HORIZONTAL_MIDDLE:
    case CT_PITCH_BEND_VERTICAL_MIDDLE:
    case CT_PITCH_BEND_HORIZONTAL_MIDDLE:
        return AOT_CENTER;
    case CT_ENCODER_PUSH:
        return AOT_ENCODER_PUSH;
    case CT_ENCODER_SWITCH:
        return AOT_ENCODER_SWITCH;
    default:
        return AOT_NONE;
    }
}

int valueMaximum(quint8 protocol)
{
    return protocol == PT_MIDI ? MIDI_DATA_MAX : DMX_VALUE_MAX;
}

int shownUniverseMaximum(quint8 protocol)
{
    return protocol == PT_MIDI ? MIDI_CHANNEL_MAX + 1 : DMX_UNIVERSE_MAX + 1;
}

QString universeLabel(quint8 protocol)
{
    return protocol == PT_MIDI ? outText("MIDI Channel :") : outText("DMX Universe :");
}

DmxOutRows dmxOutRows(quint8 controlType, quint8 protocol)
{
    DmxOutRows rows;
    rows.group = controlType <= CT_ENCODER_SWITCH || controlType == AOT_CENTER;
    if (!isOutputProtocol(protocol))
        return rows;
    const bool textOutput = protocol == PT_HTTP || protocol == PT_COMMAND;
    rows.value1 =
        controlType <= CT_ENCODER_SWITCH || controlType == CT_LED || controlType == AOT_CENTER;
    rows.value2 = controlType <= CT_ENCODER_SWITCH || controlType == CT_LED ||
                  (controlType == AOT_CENTER && textOutput);
    rows.value3 = between(controlType, CT_ENCODER, CT_ENCODER_SWITCH);
    if (rows.value1) {
        rows.note = protocol == PT_MIDI;
        rows.channel = protocol == PT_ARTNET || protocol == PT_ACN;
        rows.universe = !textOutput;
    }
    rows.midiType = protocol == PT_MIDI;
    rows.http = protocol == PT_HTTP;
    rows.command = protocol == PT_COMMAND;
    return rows;
}

ValueLabels dmxOutValueLabels(quint8 controlType)
{
    switch (controlType) {
    case CT_DIRECT_VALUE:
        return {outText("Value - Direct, Min :"), outText("Value - Direct, Max :"), {}};
    case CT_FADER_VERTICAL:
    case CT_FADER_VERTICAL_MIDDLE:
    case CT_PITCH_BEND_VERTICAL:
    case CT_PITCH_BEND_VERTICAL_MIDDLE:
        return {outText("Value - Slider, Bottom :"), outText("Value - Slider, Top :"), {}};
    case CT_FADER_HORIZONTAL:
    case CT_FADER_HORIZONTAL_MIDDLE:
    case CT_PITCH_BEND_HORIZONTAL:
    case CT_PITCH_BEND_HORIZONTAL_MIDDLE:
        return {outText("Value - Slider, Left :"), outText("Value - Slider, Right :"), {}};
    case CT_KNOB:
        return {outText("Value - Left :"), outText("Value - Right :"), {}};
    case CT_ENCODER:
    case CT_ENCODER_PUSH:
    case CT_ENCODER_SWITCH:
        return {outText("Value - Rotated, Left :"), outText("Value - Rotated, Right :"),
                outText("Value - Rotation, None :")};
    case AOT_CENTER:
        // Value 2 is seen only for HTTP and commands; a plain label there
        // rather than whatever the editor showed for an earlier type.
        return {outText("Value - Center Position:"), outText("Value 2 :"), {}};
    case CT_LABEL:
    case CT_LED:
    case CT_ICON:
    case CT_TIME:
    case CT_GROUP:
        return {};
    default: // the buttons and anything unknown
        return {outText("Value - Button, Released :"), outText("Value - Button, Pressed :"), {}};
    }
}

DmxInRows dmxInRows(quint8 controlType, quint8 protocol)
{
    DmxInRows rows;
    rows.group = controlType <= CT_FADER_HORIZONTAL_MIDDLE || controlType == CT_LED;
    if (!isInputProtocol(protocol))
        return rows;
    const bool led = controlType == CT_LED;
    const bool buttonLike = controlType <= CT_BUTTON_SWITCH ||
                            between(controlType, CT_ENCODER, CT_ENCODER_SWITCH) || led;
    rows.value1 = rows.value2 = controlType <= CT_ENCODER_SWITCH || led;
    rows.color1 = rows.color2 = rows.fade =
        controlType <= CT_DIRECT_VALUE ||
        between(controlType, CT_PITCH_BEND_VERTICAL, CT_ENCODER_SWITCH) || led;
    rows.value3 = rows.color3 = buttonLike;
    rows.midiType = protocol == PT_MIDI;
    if (rows.value1 || rows.value3) {
        rows.universe = true;
        rows.note = protocol == PT_MIDI;
        rows.channel = protocol != PT_MIDI;
    }
    return rows;
}

ValueLabels dmxInValueLabels(quint8 controlType)
{
    switch (controlType) {
    case CT_BUTTON_PUSH:
    case CT_BUTTON_SWITCH:
    case CT_LED:
        return {inText("Value 1 :"), inText("Value 2 :"), inText("Value 3 :")};
    case CT_DIRECT_VALUE:
        return {inText("Value 1 :"), inText("Value 2 :"), {}};
    case CT_FADER_VERTICAL:
    case CT_FADER_VERTICAL_MIDDLE:
        return {inText("Value - Slider, Bottom :"), inText("Value - Slider, Top :"), {}};
    case CT_FADER_HORIZONTAL:
    case CT_FADER_HORIZONTAL_MIDDLE:
        return {inText("Value - Slider, Left :"), inText("Value - Slider, Right :"), {}};
    default:
        return {};
    }
}

bool outputEditorVisible(quint8 controlType)
{
    return controlType <= CT_ENCODER_SWITCH;
}

bool bitmapRowVisible(quint8 controlType)
{
    return controlType == CT_BUTTON_PUSH || controlType == CT_BUTTON_SWITCH ||
           controlType == CT_ICON;
}

bool nameHintVisible(quint8 controlType)
{
    return controlType == CT_LABEL;
}

void applyTypeResets(SettingStruct &record)
{
    const quint8 type = record.control_type;
    if (!outputEditorVisible(type))
        record.dmx_out = SettingDmxStruct();
    if (advancedOutputType(type) == AOT_NONE)
        record.dmx_out_advanced = SettingDmxStruct();
    if (!dmxInRows(type, PT_NONE).group)
        record.dmx_in = SettingDmxInStruct();
    if (!bitmapRowVisible(type))
        record.bitmap = Picture();
}

void clampOutput(SettingDmxStruct &output)
{
    if (output.protocol_type == PT_MIDI) {
        lower(output.dmx_value_1, MIDI_DATA_MAX);
        lower(output.dmx_value_2, MIDI_DATA_MAX);
        lower(output.dmx_value_3, MIDI_DATA_MAX);
        lower(output.dmx_channel, MIDI_DATA_MAX);
        lower(output.dmx_universe, MIDI_CHANNEL_MAX);
    } else {
        lower(output.dmx_channel, DMX_CHANNEL_MAX);
        lower(output.dmx_universe, DMX_UNIVERSE_MAX);
    }
}

void clampInput(SettingDmxInStruct &input)
{
    if (input.protocol_type_in == PT_MIDI) {
        lower(input.dmx_in_value_1, MIDI_DATA_MAX);
        lower(input.dmx_in_value_2, MIDI_DATA_MAX);
        lower(input.dmx_in_value_3, MIDI_DATA_MAX);
        lower(input.dmx_in_channel, MIDI_DATA_MAX);
        lower(input.dmx_in_universe, MIDI_CHANNEL_MAX);
    } else {
        lower(input.dmx_in_channel, DMX_CHANNEL_MAX);
        lower(input.dmx_in_universe, DMX_UNIVERSE_MAX);
    }
}
