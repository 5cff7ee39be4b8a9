// Auto-patch: the output a control created by hand gets when it follows
// another one, so that a console is patched while it is built.
//
// Promises:
// - the protocol, MIDI type and values of `last` are kept;
// - the channel (stored from 0) is the first after last's that no output of
//   any control uses on that protocol and universe (both outputs of every
//   control that sends on them count); past the universe's last channel
//   (511), the search goes on from channel 0 of the next universe, up to the
//   largest universe;
// - MIDI: the first controller or note after last's that no output of the
//   same channel and message type uses, none past 127;
// - nothing free: no output, and `full` says so;
// - OSC: the number an address ends in counts on to the first that no
//   output to the same host and port sends to ("/fader/3" after "/fader/2");
//   an address that ends in no number is copied unchanged;
// - HTTP and command outputs are copied unchanged; no protocol, no output.
#pragma once

#include "model/settingstruct.h"

#include <QList>

struct AutoPatch {
    SettingDmxStruct output; // for the new control's main output
    bool full = false;       // no free channel (number) was left: no output
};

// `fromStart`: the search starts at last's universe's first channel (MIDI:
// number 0) instead of after last's channel.
AutoPatch autoPatch(const SettingDmxStruct &last, const QList<SettingStruct> &controls,
                    bool fromStart = false);

// The input of a control that listens and sends nothing (an LED) made after
// `last`: last's protocol (Art-Net, streaming ACN or MIDI, else none),
// universe (MIDI channel and type), and the first channel from 0 that no
// control's input uses there (none free: no input). After an OSC output
// whose address ends in a number: that address with the first number from 1
// that no input listens to.
SettingDmxInStruct autoPatchInput(const SettingDmxStruct &last,
                                  const QList<SettingStruct> &controls);
