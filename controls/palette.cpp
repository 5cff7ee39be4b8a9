#include "controls/palette.h"

#include <QBrush>
#include <QVariant>
#include <QWidget>

QPalette paletteFromColor(const QColor &color)
{
    QPalette palette(color);
    const QColor window = palette.color(QPalette::Window);
    palette.setBrush(QPalette::Base, QBrush(window, Qt::SolidPattern));
    return palette;
}

namespace
{
// The colour a widget's palette was last made from.
const char *const kPaletteColor = "pultoraPaletteColor";
} // namespace

void applyColorPalette(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    // Input colours are applied again whenever the show changes; building
    // and resolving a palette each time costs more than the rest together.
    const QVariant last = widget->property(kPaletteColor);
    if (last.isValid() && last.value<QColor>() == color && widget->testAttribute(Qt::WA_SetPalette))
        return;
    widget->setPalette(paletteFromColor(color));
    widget->setProperty(kPaletteColor, color);
}
