// Looks that controls share, painted once. A show of thousands of dials and
// faders of a few sizes, colours and positions would otherwise have the
// style draw every one of them, anti-aliased, on its first paint; through
// the cache each look is drawn once and copied to the others.
//
// Promises:
// - The key holds everything the style draws a slider or dial from: the
//   control, the option's state, size, direction and slider fields, every
//   colour of every group of its palette, the device pixel ratio and the
//   style. Widgets that differ in any of these never share a picture.
// - What is painted is what the style paints for the option; the cache only
//   decides how often.
#pragma once

#include <QStyle>

class QStyleOptionSlider;
class QWidget;

// Paints `option` (a slider or a dial, `control`) on `widget`, which must be
// in its paint event.
void paintSliderCached(QWidget *widget, QStyle::ComplexControl control,
                       const QStyleOptionSlider &option);
