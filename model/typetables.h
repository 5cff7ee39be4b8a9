// Conversions between the type numbers of the records, the keys stored in
// configuration documents and the translated labels shown to the user.
#pragma once

#include <QString>
#include <QtGlobal>

// What each control type has and does, one row per type: the only place
// that tells types apart by their number (besides the widget factory, which
// picks the widget). A new type is one row here and one widget.

// The row labels an output's values 1..3 carry in the editors.
enum class OutputNames : quint8 {
    None,
    Button,
    Direct,
    SliderVertical,
    SliderHorizontal,
    Knob,
    Encoder,
    CentrePosition
};
// The row labels of an input's values 1..3.
enum class InputNames : quint8 { None, Values3, Values2, SliderVertical, SliderHorizontal };

// One output of a type as the editors, the writer and the overview see it.
struct OutputTraits {
    bool sends = false;         // it has an editor and a protocol cell
    quint8 values = 0;          // uses values 1..values (0: none)
    bool value2ForText = false; // value 2 besides for HTTP and command outputs
    OutputNames names = OutputNames::Button;
};

// Rows of the input ("DMX-IN") a type uses.
enum InputRow : quint8 {
    IN_VALUES = 1,  // values 1 and 2 with the address
    IN_VALUE_3 = 2, // value 3 and colour 3
    IN_COLOURS = 4  // colours 1 and 2 and the fade
};

struct ControlTraits {
    const char *key;
    const char *label; // untranslated, context "ControlType"
    OutputTraits output;
    // The second output's editor type: AOT_CENTER, or the control type it
    // behaves like (AOT_ENCODER_PUSH, AOT_ENCODER_SWITCH); AOT_NONE: none.
    quint8 second;
    bool input;       // arrived input values move or recolour it
    quint8 inputRows; // InputRow bits the input editor holds
    InputNames inputNames;
    bool picture;                        // shows a picture (buttons, icons)
    bool richName;                       // the name is rich text (labels)
    bool overlaps;                       // takes part in the overlap tests; frames lie beneath
    quint16 defaultWidth, defaultHeight; // of a control added anew, stored units
    quint16 minimumSide;                 // pixels as shown, each side
};

// The row of `type`. A number outside 0..CT_COUNT-1 gets a row named
// button_push that has no output, input or picture.
const ControlTraits &controlTraits(quint8 type);
bool isControlType(quint8 type);
// The output an output editor for `editorType` shows: a control type's main
// output, or AOT_CENTER's centre position; any other number has none.
const OutputTraits &outputTraits(quint8 editorType);
// True when controls of this type send on a second output.
bool hasSecondOutput(quint8 type);

// Largest universe an address may hold, stored from 0 (shown from 1).
constexpr quint16 DMX_UNIVERSE_MAX = 65534;

// The protocols outputs and inputs may use.
bool isOutputProtocol(quint8 protocol);
bool isInputProtocol(quint8 protocol);
// Art-Net, streaming ACN and MIDI address a universe (MIDI channel) and a
// channel (note); HTTP, command and OSC outputs address none (OSC has an
// address text and a target of its own).
bool isAddressedProtocol(quint8 protocol);

// Control type. Unknown keys give 0 (button_push); "jog_wheel" gives 12
// (encoder). Numbers outside 1..19 give "button_push".
QString controlTypeKey(quint8 type);
quint8 controlTypeFromKey(const QString &key);
QString controlTypeLabel(quint8 type);

// Protocol type. Keys compare exactly; unknown keys give 0, numbers above 6
// give "None".
QString protocolTypeKey(quint8 type);
quint8 protocolTypeFromKey(const QString &key);
// Text shown in the editors: the key, except "MIDI" for protocol 3.
QString protocolTypeLabel(quint8 type);

// MIDI message type (status byte). Unknown bytes give the key "none" and the
// label "None"; unknown texts give 0.
QString midiTypeKey(quint8 status);
quint8 midiTypeFromText(const QString &text);
QString midiTypeLabel(quint8 status);
