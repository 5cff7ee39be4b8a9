#include "dmxincolor.h"

// Filled in with the widgets.
QColor dmxInColor(int, const SettingDmxInStruct &, const QColor &base)
{
    return base;
}
