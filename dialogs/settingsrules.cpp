#include "dialogs/settingsrules.h"

#include "model/typetables.h"

#include <QCoreApplication>

namespace
{

const int MIDI_DATA_MAX = 127;
const int MIDI_CHANNEL_MAX = 15; // stored from 0
const int DMX_VALUE_MAX = 255;
const int DMX_CHANNEL_MAX = 511; // stored from 0

QString outText(const char *text)
{
    return QCoreApplication::translate("SettingsDmxOutWidget", text);
}

QString inText(const char *text)
{
    return QCoreApplication::translate("Settings", text);
}

QString addressRefusal(const QString &group, const QString &address)
{
    return QCoreApplication::translate("Settings",
                                       "%1: the OSC address \"%2\" is not valid. An address "
                                       "starts with '/' and has no spaces and none of "
                                       "# , ? * [ ] { }.")
        .arg(group, address);
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
    return controlTraits(controlType).second;
}

int valueMaximum(quint8 protocol)
{
    return protocol == PT_MIDI ? MIDI_DATA_MAX : DMX_VALUE_MAX;
}

int shownUniverseMaximum(quint8 protocol)
{
    return protocol == PT_MIDI ? MIDI_CHANNEL_MAX + 1 : DMX_UNIVERSE_MAX + 1;
}

QString addressTip(AddressField field, bool input, quint8 protocol, quint8 midiType)
{
    const auto tip = [](const char *text) {
        return QCoreApplication::translate("AddressTips", text);
    };
    switch (field) {
    case AddressField::Protocol:
        return input ? tip(QT_TRANSLATE_NOOP("AddressTips",
                                             "where this input comes from: Art-Net, streaming ACN "
                                             "(sACN), MIDI or OSC; None: no input"))
                     : tip(QT_TRANSLATE_NOOP("AddressTips",
                                             "how this output is sent: Art-Net, streaming ACN "
                                             "(sACN), MIDI, OSC, an HTTP call or a command; None: "
                                             "not at all"));
    case AddressField::Value1:
    case AddressField::Value2:
    case AddressField::Value3:
        return (input ? tip(QT_TRANSLATE_NOOP("AddressTips",
                                              "the incoming value that puts the control in this "
                                              "state, 0 to %1"))
                      : tip(QT_TRANSLATE_NOOP("AddressTips",
                                              "the value sent in this state, 0 to %1")))
            .arg(valueMaximum(protocol));
    case AddressField::Channel:
        return tip(
            QT_TRANSLATE_NOOP("AddressTips", "the DMX channel within the universe, 1 to 512"));
    case AddressField::Note:
        if (midiType == MT_CONTROL_CHANGE)
            return tip(QT_TRANSLATE_NOOP("AddressTips",
                                         "for a Control Change: the controller number, 0 to 127"));
        return tip(QT_TRANSLATE_NOOP("AddressTips",
                                     "the MIDI note number, 0 to 127 (60 is middle C); for a "
                                     "Control Change the controller number"));
    case AddressField::Universe:
        switch (protocol) {
        case PT_MIDI:
            return tip(QT_TRANSLATE_NOOP("AddressTips",
                                         "the MIDI channel, 1 to 16 (0 to 15 in the message)"));
        case PT_ARTNET:
            return tip(QT_TRANSLATE_NOOP("AddressTips",
                                         "the Art-Net universe counted from 1, up to 32768: "
                                         "universe 1 here is universe 0 (port-address 0) on the "
                                         "wire"));
        case PT_ACN:
            return tip(QT_TRANSLATE_NOOP("AddressTips",
                                         "the streaming ACN (sACN) universe, 1 to 63999: the same "
                                         "number on the wire"));
        default:
            return tip(QT_TRANSLATE_NOOP("AddressTips",
                                         "the DMX universe counted from 1: Art-Net sends universe "
                                         "1 as universe 0, streaming ACN as universe 1"));
        }
    case AddressField::MidiType:
        return tip(QT_TRANSLATE_NOOP("AddressTips",
                                     "the kind of MIDI message: Note On or Off, Control Change "
                                     "(the note is then the controller number), Program Change "
                                     "and others"));
    }
    return QString();
}

QString universeLabel(quint8 protocol)
{
    return protocol == PT_MIDI
               ? outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "MIDI Channel :"))
               : outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "DMX Universe :"));
}

DmxOutRows dmxOutRows(quint8 controlType, quint8 protocol)
{
    DmxOutRows rows;
    const OutputTraits &traits = outputTraits(controlType);
    rows.group = traits.sends;
    if (!isOutputProtocol(protocol))
        return rows;
    const bool textOutput = !isAddressedProtocol(protocol);
    rows.value1 = traits.values >= 1;
    rows.value2 = traits.values >= 2 || (traits.value2ForText && textOutput);
    rows.value3 = traits.values >= 3;
    if (rows.value1) {
        rows.note = protocol == PT_MIDI;
        rows.channel = !textOutput && protocol != PT_MIDI;
        rows.universe = !textOutput;
    }
    rows.midiType = protocol == PT_MIDI;
    rows.osc = protocol == PT_OSC;
    rows.http = protocol == PT_HTTP;
    rows.command = protocol == PT_COMMAND;
    return rows;
}

ValueLabels dmxOutValueLabels(quint8 controlType)
{
    switch (outputTraits(controlType).names) {
    case OutputNames::Button:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Button, Released :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Button, Pressed :")),
                {}};
    case OutputNames::Direct:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Direct, Min :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Direct, Max :")),
                {}};
    case OutputNames::SliderVertical:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Slider, Bottom :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Slider, Top :")),
                {}};
    case OutputNames::SliderHorizontal:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Slider, Left :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Slider, Right :")),
                {}};
    case OutputNames::Knob:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Left :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Right :")),
                {}};
    case OutputNames::Encoder:
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Rotated, Left :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Rotated, Right :")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Rotation, None :"))};
    case OutputNames::CentrePosition:
        // Value 2 is seen only for HTTP and commands; a plain label there
        // rather than whatever the editor showed for an earlier type.
        return {outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value - Center Position:")),
                outText(QT_TRANSLATE_NOOP("SettingsDmxOutWidget", "Value 2 :")),
                {}};
    case OutputNames::None:
        break;
    }
    return {};
}

DmxInRows dmxInRows(quint8 controlType, quint8 protocol)
{
    const ControlTraits &traits = controlTraits(controlType);
    DmxInRows rows;
    rows.group = traits.input;
    if (!isInputProtocol(protocol))
        return rows;
    rows.value1 = rows.value2 = traits.inputRows & IN_VALUES;
    rows.color1 = rows.color2 = rows.fade = traits.inputRows & IN_COLOURS;
    rows.value3 = rows.color3 = traits.inputRows & IN_VALUE_3;
    rows.midiType = protocol == PT_MIDI;
    if (rows.value1 || rows.value3) {
        // OSC names its input by the address alone.
        rows.osc = protocol == PT_OSC;
        rows.universe = !rows.osc;
        rows.note = protocol == PT_MIDI;
        rows.channel = protocol != PT_MIDI && !rows.osc;
    }
    return rows;
}

ValueLabels dmxInValueLabels(quint8 controlType)
{
    switch (controlTraits(controlType).inputNames) {
    case InputNames::Values3:
        return {inText(QT_TRANSLATE_NOOP("Settings", "Value 1 :")),
                inText(QT_TRANSLATE_NOOP("Settings", "Value 2 :")),
                inText(QT_TRANSLATE_NOOP("Settings", "Value 3 :"))};
    case InputNames::Values2:
        return {inText(QT_TRANSLATE_NOOP("Settings", "Value 1 :")),
                inText(QT_TRANSLATE_NOOP("Settings", "Value 2 :")),
                {}};
    case InputNames::SliderVertical:
        return {inText(QT_TRANSLATE_NOOP("Settings", "Value - Slider, Bottom :")),
                inText(QT_TRANSLATE_NOOP("Settings", "Value - Slider, Top :")),
                {}};
    case InputNames::SliderHorizontal:
        return {inText(QT_TRANSLATE_NOOP("Settings", "Value - Slider, Left :")),
                inText(QT_TRANSLATE_NOOP("Settings", "Value - Slider, Right :")),
                {}};
    case InputNames::None:
        break;
    }
    return {};
}

bool outputEditorVisible(quint8 controlType)
{
    return controlTraits(controlType).output.sends;
}

bool bitmapRowVisible(quint8 controlType)
{
    return controlTraits(controlType).picture;
}

bool nameHintVisible(quint8 controlType)
{
    return controlTraits(controlType).richName;
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

QString oscInputRefusal(const SettingDmxInStruct &input)
{
    if (input.protocol_type_in != PT_OSC || isValidOscAddress(input.dmx_in_osc_address))
        return QString();
    return addressRefusal(inText(QT_TRANSLATE_NOOP("Settings", "DMX-IN")),
                          input.dmx_in_osc_address);
}

QString oscRefusal(const SettingStruct &record)
{
    const std::pair<const SettingDmxStruct *, const char *> outputs[] = {
        {&record.dmx_out, QT_TRANSLATE_NOOP("Settings", "DMX-OUT")},
        {&record.dmx_out_advanced, QT_TRANSLATE_NOOP("Settings", "DMX-OUT Advanced")}};
    for (const auto &[out, group] : outputs) {
        if (out->protocol_type == PT_OSC && !isValidOscAddress(out->osc_address))
            return addressRefusal(inText(group), out->osc_address);
    }
    return oscInputRefusal(record.dmx_in);
}

std::optional<QStringList> parseOscTargets(const QString &text)
{
    QStringList targets;
    const QStringList entries = text.split(QLatin1Char(','));
    for (const QString &raw : entries) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty()) {
            if (entries.size() == 1)
                break; // no targets at all
            return std::nullopt;
        }
        const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0)
            return std::nullopt;
        const QString host = entry.left(colon);
        const bool bracketed =
            host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')) && host.size() > 2;
        if (!bracketed && (host.contains(QLatin1Char(':')) || host.contains(QLatin1Char('[')) ||
                           host.contains(QLatin1Char(']'))))
            return std::nullopt;
        for (const QChar c : host) {
            if (c.isSpace())
                return std::nullopt;
        }
        bool ok = false;
        const uint port = entry.mid(colon + 1).toUInt(&ok);
        if (!ok || port < 1 || port > 65535 || entry.mid(colon + 1).startsWith(QLatin1Char('+')))
            return std::nullopt;
        targets << entry;
    }
    return targets;
}

QString oscTargetsText(const QStringList &targets)
{
    return targets.join(QStringLiteral(", "));
}
