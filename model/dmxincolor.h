// The DMX-IN colour rule: which colour an input value gives a control or the
// background. Shared by the console and the widgets.
#pragma once

#include "model/settingstruct.h"

#include <QColor>

// The colour for input `value` (taken as a byte) under `settings`, with
// `base` as the colour of the control or background itself:
// - a value equal to trigger value 1, 2 or 3 (tested in that order) gives
//   colour 1, 2 or 3 exactly;
// - with fading on, a value between trigger values 1 and 2 (ascending) mixes
//   colours 1 and 2, a value between 2 and 3 (ascending) mixes colours 2 and
//   3, each channel truncated, alpha 255;
// - any other value, or any non-trigger value with fading off, gives `base`.
QColor dmxInColor(int value, const SettingDmxInStruct &settings, const QColor &base);
