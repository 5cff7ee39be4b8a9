#include "controls/palette.h"

#include <QBrush>
#include <QCoreApplication>
#include <QHash>
#include <QThread>
#include <QVariant>
#include <QWidget>

namespace
{
QPalette makePalette(const QColor &color)
{
    QPalette palette(color);
    const QColor window = palette.color(QPalette::Window);
    palette.setBrush(QPalette::Base, QBrush(window, Qt::SolidPattern));
    return palette;
}
} // namespace

QPalette paletteFromColor(const QColor &color)
{
    // A show of thousands of controls has a few colours: each palette is
    // made once (on the GUI thread, where the widgets are) and shared.
    static QHash<quint64, QPalette> made;
    constexpr qsizetype kKept = 256;
    const QCoreApplication *app = QCoreApplication::instance();
    if (color.spec() != QColor::Rgb || !app || QThread::currentThread() != app->thread())
        return makePalette(color);
    const quint64 key = color.rgba64();
    if (const auto it = made.constFind(key); it != made.cend())
        return *it;
    if (made.size() >= kKept)
        made.clear();
    return *made.insert(key, makePalette(color));
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
