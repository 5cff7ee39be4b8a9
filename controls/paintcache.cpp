#include "controls/paintcache.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOptionSlider>
#include <QWidget>

namespace
{

template <typename T> void put(QByteArray &key, const T &value)
{
    key.append(reinterpret_cast<const char *>(&value), sizeof value);
}

} // namespace

void paintSliderCached(QWidget *widget, QStyle::ComplexControl control,
                       const QStyleOptionSlider &option)
{
    const qreal ratio = widget->devicePixelRatioF();
    QByteArray key;
    key.reserve(400);
    put(key, quintptr(widget->style()));
    put(key, ratio);
    put(key, option.notchTarget);
    for (int field : {int(control),
                      int(option.state),
                      option.rect.x(),
                      option.rect.y(),
                      option.rect.width(),
                      option.rect.height(),
                      int(option.direction),
                      option.minimum,
                      option.maximum,
                      option.sliderPosition,
                      option.sliderValue,
                      option.singleStep,
                      option.pageStep,
                      int(option.orientation),
                      int(option.tickPosition),
                      option.tickInterval,
                      int(option.upsideDown),
                      int(option.dialWrapping),
                      int(option.subControls),
                      int(option.activeSubControls),
                      int(option.keyboardModifiers)})
        put(key, field);
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            put(key, option.palette.color(QPalette::ColorGroup(group), QPalette::ColorRole(role))
                         .rgba64());
    const QString name = QString::fromLatin1(key.toBase64());

    QPixmap picture;
    if (!QPixmapCache::find(name, &picture)) {
        picture = QPixmap((QSizeF(widget->size()) * ratio).toSize());
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        widget->style()->drawComplexControl(control, &option, &painter, widget);
        painter.end();
        QPixmapCache::insert(name, picture);
    }
    QPainter(widget).drawPixmap(0, 0, picture);
}
