#include "typetables.h"

#include "settingstruct.h"

#include <QCoreApplication>
#include <iterator>

namespace {

struct ControlTypeRow {
    const char *key;
    const char *label;
};

const ControlTypeRow kControlTypes[CT_COUNT] = {
    {"button_push", QT_TRANSLATE_NOOP("ControlType", "Button - Push")},
    {"button_switch", QT_TRANSLATE_NOOP("ControlType", "Button - Switch")},
    {"direct_value", QT_TRANSLATE_NOOP("ControlType", "Direct Value")},
    {"fader_vertical", QT_TRANSLATE_NOOP("ControlType", "Fader, Vertical")},
    {"fader_horizontal", QT_TRANSLATE_NOOP("ControlType", "Fader, Horizontal")},
    {"fader_vertical_middle", QT_TRANSLATE_NOOP("ControlType", "Fader, Vertical, Center")},
    {"fader_horizontal_middle", QT_TRANSLATE_NOOP("ControlType", "Fader, Horizontal, Center")},
    {"pitch_bend_vertical", QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Vertical")},
    {"pitch_bend_horizontal", QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Horizontal")},
    {"pitch_bend_vertical_middle",
     QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Vertical, Center")},
    {"pitch_bend_horizontal_middle",
     QT_TRANSLATE_NOOP("ControlType", "Pitch Bend, Horizontal, Center")},
    {"knob", QT_TRANSLATE_NOOP("ControlType", "Knob")},
    {"encoder", QT_TRANSLATE_NOOP("ControlType", "Encoder")},
    {"encoder_push", QT_TRANSLATE_NOOP("ControlType", "Encoder - Push")},
    {"encoder_switch", QT_TRANSLATE_NOOP("ControlType", "Encoder - Switch")},
    {"label", QT_TRANSLATE_NOOP("ControlType", "Label")},
    {"led", QT_TRANSLATE_NOOP("ControlType", "LED")},
    {"icon", QT_TRANSLATE_NOOP("ControlType", "Icon")},
    {"time", QT_TRANSLATE_NOOP("ControlType", "Time")},
    {"group", QT_TRANSLATE_NOOP("ControlType", "Group")},
};

const char *const kProtocolKeys[PT_COUNT] = {"None",  "Art-Net", "streaming ACN",
                                             "Midi",  "HTTP",    "Command"};

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

QString controlTypeKey(quint8 type)
{
    if (type >= CT_COUNT)
        type = CT_BUTTON_PUSH;
    return QLatin1String(kControlTypes[type].key);
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
    if (type >= CT_COUNT)
        type = CT_BUTTON_PUSH;
    return QCoreApplication::translate("ControlType", kControlTypes[type].label);
}

QString protocolTypeKey(quint8 type)
{
    if (type >= PT_COUNT)
        type = PT_NONE;
    return QLatin1String(kProtocolKeys[type]);
}

quint8 protocolTypeFromKey(const QString &key)
{
    for (quint8 i = 0; i < PT_COUNT; ++i)
        if (key == QLatin1String(kProtocolKeys[i]))
            return i;
    return PT_NONE;
}

QString protocolTypeLabel(quint8 type)
{
    // Art-Net, streaming ACN, MIDI and HTTP are names; the others are words.
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
    return QCoreApplication::translate("MidiType", row ? row->label : QT_TRANSLATE_NOOP("MidiType", "None"));
}
