// The DMX-IN colour rule: which colour an input value gives a control or the
// background. Shared by the console and the widgets.
#pragma once

#include "settingstruct.h"

#include <QColor>

QColor dmxInColor(int value, const SettingDmxInStruct &settings, const QColor &base);
