// Conversions between the type numbers of the records, the keys stored in
// configuration documents and the translated labels shown to the user.
#pragma once

#include <QString>
#include <QtGlobal>

// Control type. Unknown keys give 0 (button_push); "jog_wheel" gives 12
// (encoder). Numbers outside 1..19 give "button_push".
QString controlTypeKey(quint8 type);
quint8 controlTypeFromKey(const QString &key);
QString controlTypeLabel(quint8 type);

// Protocol type. Keys compare exactly; unknown keys give 0, numbers above 5
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
