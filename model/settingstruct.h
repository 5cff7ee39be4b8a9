// Records that describe one control, its outputs and its input, plus the
// background, preferences and consistency-check records of a configuration.
// Records are plain values: copy them freely, reset them before filling them.
#pragma once

#include "model/picture.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Control types (stored as keys, see typetables.h).
enum ControlType : quint8 {
    CT_BUTTON_PUSH = 0,
    CT_BUTTON_SWITCH = 1,
    CT_DIRECT_VALUE = 2,
    CT_FADER_VERTICAL = 3,
    CT_FADER_HORIZONTAL = 4,
    CT_FADER_VERTICAL_MIDDLE = 5,
    CT_FADER_HORIZONTAL_MIDDLE = 6,
    CT_PITCH_BEND_VERTICAL = 7,
    CT_PITCH_BEND_HORIZONTAL = 8,
    CT_PITCH_BEND_VERTICAL_MIDDLE = 9,
    CT_PITCH_BEND_HORIZONTAL_MIDDLE = 10,
    CT_KNOB = 11,
    CT_ENCODER = 12,
    CT_ENCODER_PUSH = 13,
    CT_ENCODER_SWITCH = 14,
    CT_LABEL = 15,
    CT_LED = 16,
    CT_ICON = 17,
    CT_TIME = 18,
    CT_GROUP = 19,
    CT_COUNT = 20
};

// Pseudo control types the editors give the second output.
enum AdvancedOutputType : quint8 {
    AOT_CENTER = 20,        // centre faders and pitch bends
    AOT_ENCODER_PUSH = 0,   // encoder_push: behaves like button_push
    AOT_ENCODER_SWITCH = 1, // encoder_switch: behaves like button_switch
    AOT_NONE = 255
};

enum ProtocolType : quint8 {
    PT_NONE = 0,
    PT_ARTNET = 1,
    PT_ACN = 2,
    PT_MIDI = 3,
    PT_HTTP = 4,
    PT_COMMAND = 5,
    PT_OSC = 6, // Open Sound Control over UDP
    PT_COUNT = 7
};

// The argument an OSC output sends its value as.
enum OscArgument : quint8 { OSC_FLOAT = 0, OSC_INT = 1 };

// MIDI message types are the status byte of the message kind (upper nibble).
enum MidiType : quint8 {
    MT_NONE = 0,
    MT_NOTE_OFF = 0x80,
    MT_NOTE_ON = 0x90,
    MT_POLY_KEY_PRESSURE = 0xA0,
    MT_CONTROL_CHANGE = 0xB0,
    MT_PROGRAM_CHANGE = 0xC0,
    MT_CHANNEL_PRESSURE = 0xD0,
    MT_PITCH_WHEEL_CHANGE = 0xE0,
    MT_SYSTEM_MESSAGE = 0xF0
};

// One output. Travels by value in the widgets' signals.
struct SettingDmxStruct {
    quint8 protocol_type = PT_NONE;
    quint8 dmx_value_1 = 0;
    quint8 dmx_value_2 = 255;
    quint8 dmx_value_3 = 127;
    quint16 dmx_channel = 0;  // 0-based DMX channel; MIDI note or controller
    quint16 dmx_universe = 0; // 0-based universe; MIDI channel
    quint8 dmx_midi_type = MT_NONE;
    QString dmx_http_filename;
    QString dmx_command_filename;
    // OSC: the address sent to, and the target; an empty host or port 0
    // stands for the show's default target (PreferencesStruct).
    QString osc_address;
    QString osc_host;
    quint16 osc_port = 0;
    quint8 osc_argument = OSC_FLOAT;

    bool operator==(const SettingDmxStruct &o) const;
    bool operator!=(const SettingDmxStruct &o) const { return !(*this == o); }
};

// One input ("DMX-IN"): a plain block of bytes.
struct SettingDmxInStruct {
    quint8 protocol_type_in = PT_NONE; // 0 None, 1 Art-Net, 2 sACN, 3 MIDI
    quint8 dmx_in_value_1 = 0;
    quint8 dmx_in_value_2 = 127;
    quint8 dmx_in_value_3 = 255;
    quint16 dmx_in_channel = 0;
    quint16 dmx_in_universe = 0;
    quint8 dmx_in_midi_type = MT_NONE;
    quint8 dmx_in_color_red_1 = 255, dmx_in_color_green_1 = 0, dmx_in_color_blue_1 = 127;
    quint8 dmx_in_color_red_2 = 127, dmx_in_color_green_2 = 255, dmx_in_color_blue_2 = 0;
    quint8 dmx_in_color_red_3 = 0, dmx_in_color_green_3 = 127, dmx_in_color_blue_3 = 255;
    quint8 dmx_in_color_fade = 0;
    QString dmx_in_osc_address; // OSC: the address or pattern listened to

    bool operator==(const SettingDmxInStruct &o) const;
    bool operator!=(const SettingDmxInStruct &o) const { return !(*this == o); }
};

// One control.
struct SettingStruct {
    // Identity within a show document (0: not in one yet). Not stored in
    // files; the document hands out fresh ids.
    quint32 id = 0;
    quint32 position_x = 0;
    quint32 position_y = 0;
    quint32 size_x = 50;
    quint32 size_y = 50;
    quint8 color_red = 255;
    quint8 color_green = 255;
    quint8 color_blue = 255;
    quint8 control_type = CT_BUTTON_PUSH;
    SettingDmxStruct dmx_out;
    SettingDmxStruct dmx_out_advanced;
    SettingDmxInStruct dmx_in;
    QString name = QStringLiteral("Name");
    QString description;
    Picture bitmap;      // picture on buttons and icons; null when none
    quint32 qwidget = 0; // element of an imported foreign interface

    // Compares everything but the id.
    bool sameContent(const SettingStruct &o) const;
};

// The background of the surface.
struct BackgroundStruct {
    quint32 position_x = 0;
    quint32 position_y = 0;
    quint32 size_x = 400;
    quint32 size_y = 300;
    quint32 stretch_factor = 100; // percent
    quint8 color_red = 127;
    quint8 color_green = 127;
    quint8 color_blue = 127;
    SettingDmxInStruct dmx_in;
    // Start-up demands a configuration file can make; read, never written.
    // The preference "send with the first control change" is switched on by
    // a background that says so explicitly: a background that says nothing
    // demands nothing, or the preference could never be switched off.
    quint16 startup_timeout = 0;
    bool startup_dmxsend_later = false;
    Picture bitmap;
    quint32 qwidget = 0;

    bool sameContent(const BackgroundStruct &o) const;
};

// Address of the local HTTP server that HTTP links are appended to by default.
inline QString defaultHttpServer()
{
    return QStringLiteral("http://localhost/");
}

// Global preferences of a configuration.
struct PreferencesStruct {
    quint16 startup_timeout = 0;
    bool startup_dmxsend_later = true;
    quint32 midi_device_out = 0; // 0 none, n >= 1 the output device n - 1
    quint32 midi_device_in = 0;
    // The device names a document gave, also when no present device has
    // them (the number is 0 then), so that saving keeps them.
    QString midi_device_out_name;
    QString midi_device_in_name;
    bool hex_value_show = false;
    bool lock_screen = false;
    bool command_flag = false;
    QString command_path;
    QString http_server = defaultHttpServer();
    QString project_name = QStringLiteral("Project");
    QString project_description;
    // Grid that moved controls snap to, in stored units.
    quint16 snap_grid = 10;
    // HTTP outputs may call computers other than this one. Never stored in
    // a file: a loaded show has it as the user answered (configuration.h).
    bool http_other_hosts = true;
    // The network interface Art-Net and streaming ACN use, by name ("eth0");
    // empty: the first usable one.
    QString net_interface;
    // Art-Net goes by broadcast even to universes that nodes subscribed to.
    bool artnet_always_broadcast = false;
    // Where OSC outputs without a host or port of their own send to.
    QString osc_default_host = QStringLiteral("127.0.0.1");
    quint16 osc_default_port = 9000;
    // "host:port" targets that get plain messages instead of bundles (some
    // receivers ignore bundles).
    QStringList osc_plain_targets;

    bool operator==(const PreferencesStruct &o) const;
    bool operator!=(const PreferencesStruct &o) const { return !(*this == o); }
};

// The five switches of the consistency check.
struct ConsistenceCheckStruct {
    bool check_1 = true; // complete overlap of two controls
    bool check_2 = true; // partial overlap
    bool check_3 = true; // duplicate DMX settings
    bool check_4 = true; // control completely outside the background
    bool check_5 = true; // control partially outside the background

    bool operator==(const ConsistenceCheckStruct &o) const;
    bool operator!=(const ConsistenceCheckStruct &o) const { return !(*this == o); }
};

// Reset helpers; a null record is ignored.
void resetSetting(SettingStruct *record);
void resetSettingDmx(SettingDmxStruct *record);
void resetSettingDmxIn(SettingDmxInStruct *record);
void resetBackground(BackgroundStruct *record);
void resetPreferences(PreferencesStruct *record);
void resetConsistenceCheck(ConsistenceCheckStruct *record);

Q_DECLARE_METATYPE(SettingDmxStruct)
Q_DECLARE_METATYPE(SettingDmxInStruct)
