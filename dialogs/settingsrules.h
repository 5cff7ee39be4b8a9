// What the control editor shows for a control type and protocol, and how an
// edited record is made fit to be applied. Pure functions over numbers and
// records: the editor widgets only carry out what these decide.
#pragma once

#include "model/oscvalue.h"
#include "model/settingstruct.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// A hexadecimal companion: "0x" and two lower-case digits (5 -> "0x05").
QString hexText(int value);
// A colour's companion: "0xff 00 7f" for red 255, green 0, blue 127.
QString hexColorText(quint8 red, quint8 green, quint8 blue);

// The pseudo control type of a control's second output (AOT_*), as the type
// table gives it: AOT_CENTER for centre faders and pitch bends, the button
// type an encoder's push behaves like, AOT_NONE for every type without one.
quint8 advancedOutputType(quint8 controlType);

// Largest value 1..3 an output or input may hold: 127 for MIDI, else 255.
int valueMaximum(quint8 protocol);
// Largest universe as shown to the user (from 1): the MIDI channel 16 for
// MIDI, else DMX_UNIVERSE_MAX + 1.
int shownUniverseMaximum(quint8 protocol);
// The universe row's label: "MIDI Channel :" for MIDI, else "DMX Universe :".
QString universeLabel(quint8 protocol);

// The fields of an output's or input's address, for their tooltips.
enum class AddressField { Protocol, Value1, Value2, Value3, Channel, Note, Universe, MidiType };
// What the field does and its range under `protocol` (and, for the note,
// `midiType`): an output's when `input` is false, else an input's. The
// universe says how it is numbered on the wire.
QString addressTip(AddressField field, bool input, quint8 protocol, quint8 midiType);

// Row labels of values 1..3; an empty optional keeps the label shown before.
struct ValueLabels {
    std::optional<QString> value1;
    std::optional<QString> value2;
    std::optional<QString> value3;
};

// --- output editor --------------------------------------------------------

// Which rows the output editor shows. `group` is the editor's group box; the
// rows are given as they would be inside a visible group.
struct DmxOutRows {
    bool group = false;
    bool value1 = false, value2 = false, value3 = false;
    bool channel = false, note = false, universe = false;
    bool midiType = false, http = false, command = false;
    bool osc = false; // address, host, port and argument
};

// `controlType` is a control type or an advanced output type (AOT_CENTER,
// AOT_NONE); a protocol no output may use counts as None.
DmxOutRows dmxOutRows(quint8 controlType, quint8 protocol);
ValueLabels dmxOutValueLabels(quint8 controlType);

// --- control editor -------------------------------------------------------

// Which rows the "DMX-IN" group shows; a protocol no input may use counts
// as None. As above, `group` decides whether any of it is seen.
struct DmxInRows {
    bool group = false;
    bool value1 = false, value2 = false, value3 = false;
    bool color1 = false, color2 = false, color3 = false, fade = false;
    bool channel = false, note = false, universe = false, midiType = false;
    bool osc = false; // the address listened to
};

DmxInRows dmxInRows(quint8 controlType, quint8 protocol);
ValueLabels dmxInValueLabels(quint8 controlType);

// The main output editor is shown for the types that send.
bool outputEditorVisible(quint8 controlType);
// The bitmap row: buttons and icons.
bool bitmapRowVisible(quint8 controlType);
// The hint on rich text under the name: labels only.
bool nameHintVisible(quint8 controlType);

// Gives what `record.control_type` does not use its defaults: the outputs
// and the input it has no editor for, and the picture of types that show
// none.
void applyTypeResets(SettingStruct &record);

// Brings an output into its protocol's ranges: with MIDI values, note and
// MIDI channel to 127 / 127 / 15, otherwise channel 511 and universe
// DMX_UNIVERSE_MAX.
// The editors keep what the user typed while the protocol changes back and
// forth; only the record that is applied goes through these.
void clampOutput(SettingDmxStruct &output);
// The same for the input (MIDI: values, note 127 and channel 15).
void clampInput(SettingDmxInStruct &input);

// --- OSC --------------------------------------------------------------------

// Why a record cannot be applied: an OSC output or input whose address is
// not valid, named by its group ("DMX-OUT: ..."). Empty when it can. Only
// the parts that use OSC are looked at.
QString oscRefusal(const SettingStruct &record);
// The same for an input alone (the background's).
QString oscInputRefusal(const SettingDmxInStruct &input);

// The plain targets as typed: "host:port" entries separated by commas,
// spaces around them ignored, an IPv6 host in brackets ("[::1]:9000"). A
// host is not empty and has no spaces; a port is 1..65535. Empty text is
// no targets. Returns nothing when an entry is malformed.
std::optional<QStringList> parseOscTargets(const QString &text);
QString oscTargetsText(const QStringList &targets);
