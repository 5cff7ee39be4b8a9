#include "model/settingstruct.h"

bool SettingDmxStruct::operator==(const SettingDmxStruct &o) const
{
    return protocol_type == o.protocol_type && dmx_value_1 == o.dmx_value_1 &&
           dmx_value_2 == o.dmx_value_2 && dmx_value_3 == o.dmx_value_3 &&
           dmx_channel == o.dmx_channel && dmx_universe == o.dmx_universe &&
           dmx_midi_type == o.dmx_midi_type && dmx_http_filename == o.dmx_http_filename &&
           dmx_command_filename == o.dmx_command_filename && osc_address == o.osc_address &&
           osc_host == o.osc_host && osc_port == o.osc_port && osc_argument == o.osc_argument;
}

bool SettingDmxInStruct::operator==(const SettingDmxInStruct &o) const
{
    return protocol_type_in == o.protocol_type_in && dmx_in_value_1 == o.dmx_in_value_1 &&
           dmx_in_value_2 == o.dmx_in_value_2 && dmx_in_value_3 == o.dmx_in_value_3 &&
           dmx_in_channel == o.dmx_in_channel && dmx_in_universe == o.dmx_in_universe &&
           dmx_in_midi_type == o.dmx_in_midi_type && dmx_in_color_red_1 == o.dmx_in_color_red_1 &&
           dmx_in_color_green_1 == o.dmx_in_color_green_1 &&
           dmx_in_color_blue_1 == o.dmx_in_color_blue_1 &&
           dmx_in_color_red_2 == o.dmx_in_color_red_2 &&
           dmx_in_color_green_2 == o.dmx_in_color_green_2 &&
           dmx_in_color_blue_2 == o.dmx_in_color_blue_2 &&
           dmx_in_color_red_3 == o.dmx_in_color_red_3 &&
           dmx_in_color_green_3 == o.dmx_in_color_green_3 &&
           dmx_in_color_blue_3 == o.dmx_in_color_blue_3 &&
           dmx_in_color_fade == o.dmx_in_color_fade && dmx_in_osc_address == o.dmx_in_osc_address;
}

bool SettingStruct::sameContent(const SettingStruct &o) const
{
    return position_x == o.position_x && position_y == o.position_y && size_x == o.size_x &&
           size_y == o.size_y && color_red == o.color_red && color_green == o.color_green &&
           color_blue == o.color_blue && control_type == o.control_type && dmx_out == o.dmx_out &&
           dmx_out_advanced == o.dmx_out_advanced && dmx_in == o.dmx_in && name == o.name &&
           description == o.description && bitmap == o.bitmap && qwidget == o.qwidget;
}

bool BackgroundStruct::sameContent(const BackgroundStruct &o) const
{
    return position_x == o.position_x && position_y == o.position_y && size_x == o.size_x &&
           size_y == o.size_y && stretch_factor == o.stretch_factor && color_red == o.color_red &&
           color_green == o.color_green && color_blue == o.color_blue && dmx_in == o.dmx_in &&
           startup_timeout == o.startup_timeout &&
           startup_dmxsend_later == o.startup_dmxsend_later && bitmap == o.bitmap &&
           qwidget == o.qwidget;
}

bool PreferencesStruct::operator==(const PreferencesStruct &o) const
{
    return startup_timeout == o.startup_timeout &&
           startup_dmxsend_later == o.startup_dmxsend_later &&
           midi_device_out == o.midi_device_out && midi_device_in == o.midi_device_in &&
           midi_device_out_name == o.midi_device_out_name &&
           midi_device_in_name == o.midi_device_in_name && hex_value_show == o.hex_value_show &&
           lock_screen == o.lock_screen && command_flag == o.command_flag &&
           command_path == o.command_path && http_server == o.http_server &&
           project_name == o.project_name && project_description == o.project_description &&
           snap_grid == o.snap_grid && http_other_hosts == o.http_other_hosts &&
           net_interface == o.net_interface &&
           artnet_always_broadcast == o.artnet_always_broadcast &&
           osc_default_host == o.osc_default_host && osc_default_port == o.osc_default_port &&
           osc_plain_targets == o.osc_plain_targets;
}

bool ConsistenceCheckStruct::operator==(const ConsistenceCheckStruct &o) const
{
    return check_1 == o.check_1 && check_2 == o.check_2 && check_3 == o.check_3 &&
           check_4 == o.check_4 && check_5 == o.check_5;
}

void resetSetting(SettingStruct *record)
{
    if (record)
        *record = SettingStruct();
}

void resetSettingDmx(SettingDmxStruct *record)
{
    if (record)
        *record = SettingDmxStruct();
}

void resetSettingDmxIn(SettingDmxInStruct *record)
{
    if (record)
        *record = SettingDmxInStruct();
}

void resetBackground(BackgroundStruct *record)
{
    if (record)
        *record = BackgroundStruct();
}

void resetPreferences(PreferencesStruct *record)
{
    if (record)
        *record = PreferencesStruct();
}

void resetConsistenceCheck(ConsistenceCheckStruct *record)
{
    if (record)
        *record = ConsistenceCheckStruct();
}
