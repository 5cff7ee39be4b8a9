// Looks that controls share, painted once. A show of thousands of dials,
// faders and buttons of a few sizes, colours and positions would otherwise
// have the style draw every one of them, anti-aliased, on its first paint;
// through the cache each look is drawn once and copied to the others.
//
// Promises:
// - The key holds everything the style draws a slider, a dial or a button's
//   frame from: the control, the option's state, size, direction, slider
//   fields or button features, every colour of every group of its palette,
//   the device pixel ratio and the style. Widgets that differ in any of
//   these never share a picture.
// - What is painted is what the style paints for the option; the cache only
//   decides how often.
#pragma once

#include <QStyle>

class QPainter;
class QStyleOptionButton;
class QStyleOptionSlider;
class QWidget;

// Paints `option` (a slider or a dial, `control`) on `widget`, which must be
// in its paint event.
void paintSliderCached(QWidget *widget, QStyle::ComplexControl control,
                       const QStyleOptionSlider &option);

// Paints the frame of push button `option` (without its caption and
// picture) with `painter`, which paints on `widget`.
void paintButtonFrameCached(QPainter &painter, QWidget *widget, const QStyleOptionButton &option);
