// The palette every control widget and the console window take from one
// colour.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The toolkit's palette generated from `color` as the button colour, with the
// Base role (the face of spin boxes and line edits) set in every colour group
// to that palette's Window colour, so the whole widget takes the colour.
QPalette paletteFromColor(const QColor &color);

// Gives `widget` the palette of `color`. A null widget is ignored.
void applyColorPalette(QWidget *widget, const QColor &color);
