#include "palette.h"

#include <QBrush>
#include <QWidget>

QPalette paletteFromColor(const QColor &color)
{
    QPalette palette(color);
    const QColor window = palette.color(QPalette::Window);
    palette.setBrush(QPalette::Base, QBrush(window, Qt::SolidPattern));
    return palette;
}

void applyColorPalette(QWidget *widget, const QColor &color)
{
    if (widget)
        widget->setPalette(paletteFromColor(color));
}
