#include "controls/paintcache.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QWidget>

namespace
{

template <typename T> void put(QByteArray &key, const T &value)
{
    key.append(reinterpret_cast<const char *>(&value), sizeof value);
}

// The key's fields common to every look: the style, the pixel ratio, the
// element, the option's state, size and direction, and every colour of
// every group of its palette.
QByteArray commonKey(const QWidget *widget, int element, const QStyleOption &option)
{
    QByteArray key;
    key.reserve(400);
    put(key, quintptr(widget->style()));
    put(key, widget->devicePixelRatioF());
    for (int field : {element, int(option.state), option.rect.x(), option.rect.y(),
                      option.rect.width(), option.rect.height(), int(option.direction)})
        put(key, field);
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            put(key, option.palette.color(QPalette::ColorGroup(group), QPalette::ColorRole(role))
                         .rgba64());
    return key;
}

// Draws `draw` once per key into a picture of the widget's size, and the
// picture with `target`.
template <typename Draw>
void paintCached(QPainter &target, const QWidget *widget, const QByteArray &key, Draw draw)
{
    const QString name = QString::fromLatin1(key.toBase64());
    QPixmap picture;
    if (!QPixmapCache::find(name, &picture)) {
        const qreal ratio = widget->devicePixelRatioF();
        picture = QPixmap((QSizeF(widget->size()) * ratio).toSize());
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        draw(painter);
        painter.end();
        QPixmapCache::insert(name, picture);
    }
    target.drawPixmap(0, 0, picture);
}

} // namespace

void paintSliderCached(QWidget *widget, QStyle::ComplexControl control,
                       const QStyleOptionSlider &option)
{
    QByteArray key = commonKey(widget, int(control), option);
    put(key, option.notchTarget);
    for (int field :
         {option.minimum, option.maximum, option.sliderPosition, option.sliderValue,
          option.singleStep, option.pageStep, int(option.orientation), int(option.tickPosition),
          option.tickInterval, int(option.upsideDown), int(option.dialWrapping),
          int(option.subControls), int(option.activeSubControls), int(option.keyboardModifiers)})
        put(key, field);
    QPainter target(widget);
    paintCached(target, widget, key, [&](QPainter &painter) {
        widget->style()->drawComplexControl(control, &option, &painter, widget);
    });
}

void paintButtonFrameCached(QPainter &target, QWidget *widget, const QStyleOptionButton &option)
{
    QStyleOptionButton frame = option;
    frame.text.clear();
    frame.icon = QIcon();
    QByteArray key = commonKey(widget, int(QStyle::CE_PushButton), frame);
    put(key, int(frame.features));
    paintCached(target, widget, key, [&](QPainter &painter) {
        widget->style()->drawControl(QStyle::CE_PushButton, &frame, &painter, widget);
    });
}
