// The records the tests build again and again: the fields a test names,
// every other one at its default.
#pragma once

#include "model/settingstruct.h"

// An Art-Net output with values 1 to 3.
inline SettingDmxStruct artnetOut(quint8 v1, quint8 v2, quint8 v3 = 127, quint16 channel = 0)
{
    SettingDmxStruct d;
    d.protocol_type = PT_ARTNET;
    d.dmx_value_1 = v1;
    d.dmx_value_2 = v2;
    d.dmx_value_3 = v3;
    d.dmx_channel = channel;
    return d;
}

// An output on `universe` and `channel`; `text`: the HTTP link or the command.
inline SettingDmxStruct output(quint8 protocol, quint16 universe = 0, quint16 channel = 0,
                               quint8 midiType = MT_NONE, const QString &text = QString())
{
    SettingDmxStruct d;
    d.protocol_type = protocol;
    d.dmx_universe = universe;
    d.dmx_channel = channel;
    d.dmx_midi_type = midiType;
    d.dmx_http_filename = d.dmx_command_filename = text;
    return d;
}

// An Art-Net input with trigger values 1 to 3, its colours faded or not.
inline SettingDmxInStruct artnetIn(quint8 i1, quint8 i2, quint8 i3 = 255, bool fade = false)
{
    SettingDmxInStruct s;
    s.protocol_type_in = PT_ARTNET;
    s.dmx_in_value_1 = i1;
    s.dmx_in_value_2 = i2;
    s.dmx_in_value_3 = i3;
    s.dmx_in_color_fade = fade ? 1 : 0;
    return s;
}
