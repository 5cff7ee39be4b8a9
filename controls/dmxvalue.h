// What a control sends for a position: the value arithmetic of the control
// widgets, kept free of widgets so it can be checked on its own.
//
// An output is inverted when its value 1 is above its value 2; an inverted
// control sends value 1 minus its position (with values 200 and 100 the
// position 150 sends 50).
#pragma once

#include "model/settingstruct.h"

#include <QtGlobal>

namespace dmxvalue
{

inline bool isInverted(const SettingDmxStruct &dmx)
{
    return dmx.dmx_value_1 > dmx.dmx_value_2;
}

// The value a fader, knob or spin box at `position` sends. An inverted
// control whose range was widened beyond value 1 (by its input values) would
// go below zero there; it sends 0 instead of a wrapped-around byte.
inline int positionValue(const SettingDmxStruct &dmx, int position)
{
    if (!isInverted(dmx))
        return position;
    return qMax(0, int(dmx.dmx_value_1) - position);
}

// The position an incoming value moves a fader or spin box to: inverted
// inputs (input value 1 above input value 2) count down from input value 1.
inline int inputPosition(const SettingDmxInStruct &in, int value)
{
    return in.dmx_in_value_1 > in.dmx_in_value_2 ? int(in.dmx_in_value_1) - value : value;
}

// The centre position of a fader: half the span of its two values (not the
// midpoint between them: 0 and 255 give 127, 100 and 200 give 50), or value 1
// when both are equal.
inline int centerPosition(const SettingDmxStruct &dmx)
{
    if (dmx.dmx_value_1 == dmx.dmx_value_2)
        return dmx.dmx_value_1;
    return qAbs(int(dmx.dmx_value_1) - int(dmx.dmx_value_2)) / 2;
}

// The position a pitch bend springs back to.
inline int springBackTarget(const SettingDmxStruct &dmx)
{
    return qAbs(int(dmx.dmx_value_1) - int(dmx.dmx_value_2)) / 2;
}

// What an endless encoder sends when its position goes from `last` to `now`
// (`last` < 0: no position seen yet): value 1 turning down, value 2 turning
// up, value 3 otherwise. Positions are compared as they are, so the jump from
// 255 to 0 across the wrap point counts as turning down.
inline quint8 encoderValue(const SettingDmxStruct &dmx, int last, int now)
{
    if (last < 0 || last == now)
        return dmx.dmx_value_3;
    return last > now ? dmx.dmx_value_1 : dmx.dmx_value_2;
}

} // namespace dmxvalue
