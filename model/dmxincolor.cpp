#include "model/dmxincolor.h"

namespace
{

QColor triggerColor(const SettingDmxInStruct &s, int which)
{
    switch (which) {
    case 1:
        return QColor(s.dmx_in_color_red_1, s.dmx_in_color_green_1, s.dmx_in_color_blue_1);
    case 2:
        return QColor(s.dmx_in_color_red_2, s.dmx_in_color_green_2, s.dmx_in_color_blue_2);
    default:
        return QColor(s.dmx_in_color_red_3, s.dmx_in_color_green_3, s.dmx_in_color_blue_3);
    }
}

// Colour `low` at `lo` blended into colour `high` at `hi`, for lo <= v < hi.
QColor mix(const QColor &low, const QColor &high, quint8 lo, quint8 hi, quint8 v)
{
    const double f = double(quint8(v - lo)) / double(quint8(hi - lo));
    const auto channel = [f](int a, int b) { return int((1.0 - f) * a + f * b); };
    return QColor(channel(low.red(), high.red()), channel(low.green(), high.green()),
                  channel(low.blue(), high.blue()), 255);
}

} // namespace

QColor dmxInColor(int value, const SettingDmxInStruct &s, const QColor &base)
{
    // Everything is compared as the byte that arrived on the wire.
    const quint8 v = quint8(value);
    const quint8 i1 = s.dmx_in_value_1;
    const quint8 i2 = s.dmx_in_value_2;
    const quint8 i3 = s.dmx_in_value_3;

    // Exact trigger values win, whether fading is on or not.
    if (v == i1)
        return triggerColor(s, 1);
    if (v == i2)
        return triggerColor(s, 2);
    if (v == i3)
        return triggerColor(s, 3);
    if (!s.dmx_in_color_fade || v < i1)
        return base;
    if (v < i2 && i1 < i2)
        return mix(triggerColor(s, 1), triggerColor(s, 2), i1, i2, v);
    if (v < i3 && i2 < i3)
        return mix(triggerColor(s, 2), triggerColor(s, 3), i2, i3, v);
    return base;
}
