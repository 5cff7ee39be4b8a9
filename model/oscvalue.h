// What OSC values mean to the console: the number an OSC output sends for a
// value, the input level an arriving OSC argument stands for, and the target
// an OSC output sends to.
//
// Promises:
// - oscFloat() is 0.0 at the output's lower value and 1.0 at its upper one,
//   whichever of values 1 and 2 that is, and always within 0.0..1.0.
// - oscLevel() is a level 0..255 for any number, NaN and infinities included.
// - oscTargetKey() is the same text for an output that names the default
//   target and one that relies on it.
// - Pure: no sockets, no widgets.
#pragma once

#include "model/settingstruct.h"

#include <QString>
#include <QtGlobal>

// An address an output sends to or an input listens to: '/' and parts
// between single slashes, each of printable ASCII other than space, '#',
// ',' and the pattern characters ?*[]{} (an input listens to one literal
// address, not a pattern).
bool isValidOscAddress(const QString &address);

// The kinds of OSC argument an input takes a level from.
enum class OscArg : quint8 { Float, Int, True, False };

// The value `v` (as a DMX output would send it, 0..255) as a float over the
// output's range lo = min(value 1, value 2) .. hi = max(...); an output whose
// two values are equal maps over 0..255.
double oscFloat(const SettingDmxStruct &out, int v);

// The input level an argument stands for: a float 0.0..1.0 scaled to
// 0..255 (rounded), an int taken as the level, both clamped; True 255,
// False 0. NaN gives 0; `number` is not used for True and False.
quint8 oscLevel(OscArg kind, double number);

// "host:port" the output sends to, with the show's default host and port
// for an empty host or port 0. An IPv6 host is put in brackets ("[::1]:9000").
QString oscTargetKey(const SettingDmxStruct &out, const PreferencesStruct &prefs);
