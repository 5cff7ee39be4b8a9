#include "model/typetables.h"

#include "model/settingstruct.h"

#include <QCoreApplication>
#include <iterator>

namespace
{

// Sides in stored units and pixels: every type starts at 50 x 50 and may
// shrink to 8 px a side as shown.
constexpr quint16 ADDED = 50;
constexpr quint16 SMALLEST = 8;

using ON = OutputNames;
using IN = InputNames;
constexpr OutputTraits NO_OUTPUT{false, 0, false, ON::None};
constexpr quint8 ALL_IN = IN_VALUES | IN_VALUE_3 | IN_COLOURS;
constexpr quint8 MOVED_IN = IN_VALUES | IN_COLOURS;

// clang-format off
// key, label,
// main output {sends, values, value 2 for text, names}, second output,
// input, input rows, input names, picture, rich name, overlaps, size, minimum
const ControlTraits kControlTypes[CT_COUNT] = {
    {"button_push", QT_TRANSLATE_NOOP("ControlType", "Button - Push"),
     {true, 2, false, ON::Button}, AOT_NONE,
     true, ALL_IN, IN::Values3, true, false, true, ADDED, ADDED, SMALLEST},
    {"button_switch", QT_TRANSLATE_NOOP("ControlType", "Button - Switch"),
     {true, 2, false, ON::Button}, AOT_NONE,
     true, ALL_IN, IN::Values3, true, false, true, ADDED, ADDED, SMALLEST},
    {"direct_value", QT_TRANSLATE_NOOP("ControlType", "Direct Value"),
     {true, 2, false, ON::Direct}, AOT_NONE,
     true, MOVED_IN, IN::Values2, false, false, true, ADDED, ADDED, SMALLEST},
    {"fader_vertical", QT_TRANSLATE_NOOP("ControlType", "Fader, Vertical"),
     {true, 2, false, ON::SliderVertical}, AOT_NONE,
     true, IN_VALUES, IN::SliderVertical, false, false, true, ADDED, ADDED, SMALLEST},
    {"fader_horizontal", QT_TRANSLATE_NOOP("ControlType", "Fader, Horizontal"),
     {true, 2, false, ON::SliderHorizontal}, AOT_NONE,
     true, IN_VALUES, IN::SliderHorizontal, false, false, true, ADDED, ADDED, SMALLEST},
    {"fader_vertical_middle", QT_TRANSLATE_NOOP("ControlType", "Fader, Vertical, Center"),
     {true, 2, false, ON::SliderVertical}, AOT_CENTER,
     true, IN_VALUES, IN::SliderVertical, false, false, true, ADDED, ADDED, SMALLEST},
    {"fader_horizontal_middle", QT_TRANSLATE_NOOP("ControlType", "Fader, Horizontal, Center"),
     {true, 2, false, ON::SliderHorizontal}, AOT_CENTER,
     true, IN_VALUES, IN::SliderHorizontal, false, false, true, ADDED, ADDED, SMALLEST},
    {"pitch_bend_vertical", QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Vertical"),
     {true, 2, false, ON::SliderVertical}, AOT_NONE,
     false, MOVED_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"pitch_bend_horizontal", QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Horizontal"),
     {true, 2, false, ON::SliderHorizontal}, AOT_NONE,
     false, MOVED_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"pitch_bend_vertical_middle",
     QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Vertical, Center"),
     {true, 2, false, ON::SliderVertical}, AOT_CENTER,
     false, MOVED_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"pitch_bend_horizontal_middle",
     QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Horizontal, Center"),
     {true, 2, false, ON::SliderHorizontal}, AOT_CENTER,
     false, MOVED_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"knob", QT_TRANSLATE_NOOP("ControlType", "Knob"),
     {true, 2, false, ON::Knob}, AOT_NONE,
     false, MOVED_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"encoder", QT_TRANSLATE_NOOP("ControlType", "Encoder"),
     {true, 3, false, ON::Encoder}, AOT_NONE,
     false, ALL_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"encoder_push", QT_TRANSLATE_NOOP("ControlType", "Encoder - Push"),
     {true, 3, false, ON::Encoder}, AOT_ENCODER_PUSH,
     false, ALL_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"encoder_switch", QT_TRANSLATE_NOOP("ControlType", "Encoder - Switch"),
     {true, 3, false, ON::Encoder}, AOT_ENCODER_SWITCH,
     false, ALL_IN, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"label", QT_TRANSLATE_NOOP("ControlType", "Label"),
     NO_OUTPUT, AOT_NONE,
     false, 0, IN::None, false, true, true, ADDED, ADDED, SMALLEST},
    // The LED's output rows are kept for outputs a file gives it; it has no
    // output editor.
    {"led", QT_TRANSLATE_NOOP("ControlType", "LED"),
     {false, 2, false, ON::None}, AOT_NONE,
     true, ALL_IN, IN::Values3, false, false, true, ADDED, ADDED, SMALLEST},
    {"icon", QT_TRANSLATE_NOOP("ControlType", "Icon"),
     NO_OUTPUT, AOT_NONE,
     false, 0, IN::None, true, false, true, ADDED, ADDED, SMALLEST},
    {"time", QT_TRANSLATE_NOOP("ControlType", "Time"),
     NO_OUTPUT, AOT_NONE,
     false, 0, IN::None, false, false, true, ADDED, ADDED, SMALLEST},
    {"group", QT_TRANSLATE_NOOP("ControlType", "Group"),
     NO_OUTPUT, AOT_NONE,
     false, 0, IN::None, false, false, false, ADDED, ADDED, SMALLEST},
};

// Numbers outside the table: named button_push, with nothing to edit.
const ControlTraits kUnknownType = {
    "button_push", QT_TRANSLATE_NOOP("ControlType", "Button - Push"),
    {false, 0, false, ON::Button}, AOT_NONE,
    false, 0, IN::None, false, false, true, ADDED, ADDED, SMALLEST};
// clang-format on

// The centre position of centre faders and pitch bends.
constexpr OutputTraits kCentrePosition{true, 1, true, ON::CentrePosition};

struct ProtocolRow {
    const char *key;
    bool output;
    bool input;
    bool addressed;
};

const ProtocolRow kProtocols[PT_COUNT] = {
    {"None", false, false, false},       {"Art-Net", true, true, true},
    {"streaming ACN", true, true, true}, {"Midi", true, true, true},
    {"HTTP", true, false, false},        {"Command", true, false, false},
    {"OSC", true, true, false},
};

struct MidiTypeRow {
    quint8 status;
    const char *key;
    const char *accepted;
    const char *label;
};

// Reading walks this table in order, then "none"/"None".
const MidiTypeRow kMidiTypes[] = {
    {MT_NOTE_OFF, "note_off", "Note Off", QT_TRANSLATE_NOOP("MidiType", "Note, Off")},
    {MT_NOTE_ON, "note_on", "Note On", QT_TRANSLATE_NOOP("MidiType", "Note, On")},
    {MT_POLY_KEY_PRESSURE, "poly_key_pressure", "Poly Key Pressure",
     QT_TRANSLATE_NOOP("MidiType", "Poly Key Pressure")},
    {MT_CONTROL_CHANGE, "control_change", "Control Change",
     QT_TRANSLATE_NOOP("MidiType", "Control Change")},
    {MT_PROGRAM_CHANGE, "program_change", "Program Change",
     QT_TRANSLATE_NOOP("MidiType", "Program Change")},
    {MT_CHANNEL_PRESSURE, "channel_pressure", "Channel Pressure",
     QT_TRANSLATE_NOOP("MidiType", "Channel Pressure")},
    {MT_PITCH_WHEEL_CHANGE, "pitch_wheel_change", "Pitch Wheel Change",
     QT_TRANSLATE_NOOP("MidiType", "Pitch Wheel - Change")},
    {MT_SYSTEM_MESSAGE, "system_message", "System Message",
     QT_TRANSLATE_NOOP("MidiType", "System Message")},
};

const MidiTypeRow *findMidiRow(quint8 status)
{
    for (const MidiTypeRow &row : kMidiTypes)
        if (row.status == status)
            return &row;
    return nullptr;
}

} // namespace

const ControlTraits &controlTraits(quint8 type)
{
    return isControlType(type) ? kControlTypes[type] : kUnknownType;
}

bool isControlType(quint8 type)
{
    return type < CT_COUNT;
}

const OutputTraits &outputTraits(quint8 editorType)
{
    return editorType == AOT_CENTER ? kCentrePosition : controlTraits(editorType).output;
}

bool hasSecondOutput(quint8 type)
{
    return controlTraits(type).second != AOT_NONE;
}

bool isOutputProtocol(quint8 protocol)
{
    return protocol < PT_COUNT && kProtocols[protocol].output;
}

bool isInputProtocol(quint8 protocol)
{
    return protocol < PT_COUNT && kProtocols[protocol].input;
}

bool isAddressedProtocol(quint8 protocol)
{
    return protocol < PT_COUNT && kProtocols[protocol].addressed;
}

QString controlTypeKey(quint8 type)
{
    return QLatin1String(controlTraits(type).key);
}

quint8 controlTypeFromKey(const QString &key)
{
    for (quint8 i = 0; i < CT_COUNT; ++i)
        if (key == QLatin1String(kControlTypes[i].key))
            return i;
    if (key == QLatin1String("jog_wheel"))
        return CT_ENCODER;
    return CT_BUTTON_PUSH;
}

QString controlTypeLabel(quint8 type)
{
    return QCoreApplication::translate("ControlType", controlTraits(type).label);
}

QString protocolTypeKey(quint8 type)
{
    if (type >= PT_COUNT)
        type = PT_NONE;
    return QLatin1String(kProtocols[type].key);
}

quint8 protocolTypeFromKey(const QString &key)
{
    for (quint8 i = 0; i < PT_COUNT; ++i)
        if (key == QLatin1String(kProtocols[i].key))
            return i;
    return PT_NONE;
}

QString protocolTypeLabel(quint8 type)
{
    // Art-Net, streaming ACN, MIDI, HTTP and OSC are names; the others are words.
    if (type == PT_MIDI)
        return QStringLiteral("MIDI");
    if (type == PT_COMMAND)
        return QCoreApplication::translate("ProtocolType", "Command");
    if (type == PT_NONE || type >= PT_COUNT)
        return QCoreApplication::translate("ProtocolType", "None");
    return protocolTypeKey(type);
}

QString midiTypeKey(quint8 status)
{
    const MidiTypeRow *row = findMidiRow(status);
    return row ? QLatin1String(row->key) : QStringLiteral("none");
}

quint8 midiTypeFromText(const QString &text)
{
    for (const MidiTypeRow &row : kMidiTypes)
        if (text == QLatin1String(row.key) || text == QLatin1String(row.accepted))
            return row.status;
    return MT_NONE; // "none", "None" and anything else
}

QString midiTypeLabel(quint8 status)
{
    const MidiTypeRow *row = findMidiRow(status);
    return QCoreApplication::translate("MidiType",
                                       row ? row->label : QT_TRANSLATE_NOOP("MidiType", "None"));
}
