#include "controls/dmxpushbutton.h"

#include "controls/paintcache.h"

#include "controls/palette.h"
#include "model/dmxincolor.h"

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace
{
// Space between the picture and the name below it.
constexpr int kIconGap = 2;
const QChar kEllipsis(0x2026);
} // namespace

DmxPushButton::DmxPushButton(QWidget *parent) : QPushButton(parent)
{
    init();
}

DmxPushButton::DmxPushButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    init();
}

void DmxPushButton::init()
{
    registerControlMetaTypes();
    connect(this, &QAbstractButton::pressed, this, &DmxPushButton::pressedButton);
    connect(this, &QAbstractButton::released, this, &DmxPushButton::releasedButton);
}

QStringList DmxPushButton::shownLines() const
{
    return layout().lines;
}

QRect DmxPushButton::iconRect() const
{
    return layout().icon;
}

QRect DmxPushButton::captionRect() const
{
    return layout().caption;
}

// The name's lines first: each cut to the width, and only as many as fit the
// height. The picture takes what height is left; picture and name are
// centred together.
DmxPushButton::Layout DmxPushButton::layout() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QFontMetrics metrics = fontMetrics();
    const int width = contents.width();

    const QString name = text();
    const QStringList lines = name.isEmpty() ? QStringList() : name.split(QLatin1Char('\n'));
    const qsizetype fitting = qMax(1, contents.height() / metrics.lineSpacing());
    Layout result;
    for (qsizetype i = 0; i < qMin(lines.size(), fitting); ++i)
        result.lines.append(metrics.elidedText(lines.at(i), Qt::ElideRight, width));
    if (lines.size() > fitting) {
        // Lines were left out: the last one shown says so.
        QString last = metrics.elidedText(lines.at(fitting - 1), Qt::ElideRight,
                                          width - metrics.horizontalAdvance(kEllipsis));
        if (last.endsWith(kEllipsis))
            last.chop(1);
        result.lines.last() = last + kEllipsis;
    }
    const int captionHeight = int(result.lines.size()) * metrics.lineSpacing();

    QSize iconShown(0, 0);
    const int gap = result.lines.isEmpty() ? 0 : kIconGap;
    const QSize room(width, contents.height() - captionHeight - gap);
    if (!icon().isNull() && !room.isEmpty())
        iconShown = icon().actualSize(iconSize().boundedTo(room));

    const int blockHeight =
        iconShown.isEmpty() ? captionHeight : iconShown.height() + gap + captionHeight;
    int top = contents.top() + (contents.height() - blockHeight) / 2;
    if (!iconShown.isEmpty()) {
        result.icon =
            QRect(QPoint(contents.left() + (width - iconShown.width()) / 2, top), iconShown);
        top += iconShown.height() + gap;
    }
    result.caption = QRect(contents.left(), top, width, captionHeight);
    return result;
}

// The toolkit makes "&x" in the text the shortcut Alt+X; here '&' is part of
// the name, and a console button must not be pressed by a stray key.
bool DmxPushButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut)
        return true;
    return QPushButton::event(event);
}

// The style draws the frame and the focus; the picture and the name go where
// layout() puts them, the name through the style's label so it looks as on
// any other button.
void DmxPushButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const Layout shown = layout();

    paintButtonFrameCached(painter, this, option);

    if (!shown.icon.isEmpty()) {
        QIcon::Mode mode = QIcon::Normal;
        if (!(option.state & QStyle::State_Enabled))
            mode = QIcon::Disabled;
        else if (option.state & QStyle::State_HasFocus)
            mode = QIcon::Active;
        const QIcon::State state = (option.state & QStyle::State_On) ? QIcon::On : QIcon::Off;
        icon().paint(&painter, shown.icon, Qt::AlignCenter, mode, state);
    }
    if (!shown.lines.isEmpty()) {
        QStyleOptionButton label = option;
        label.rect = shown.caption;
        label.icon = QIcon();
        label.text = escapeMnemonics(shown.lines.join(QLatin1Char('\n')));
        painter.drawControl(QStyle::CE_PushButtonLabel, label);
    }
}

void DmxPushButton::setDmx(const SettingDmxStruct &dmx)
{
    m_dmx = dmx;
}

void DmxPushButton::setDmx(const SettingDmxStruct *dmx)
{
    m_dmx = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

void DmxPushButton::setDmxIn(const SettingDmxInStruct &dmxIn)
{
    m_dmxIn = dmxIn;
}

void DmxPushButton::setDmxIn(const SettingDmxInStruct *dmxIn)
{
    m_dmxIn = dmxIn ? std::optional<SettingDmxInStruct>(*dmxIn) : std::nullopt;
}

void DmxPushButton::setBaseColor(const QColor &color)
{
    m_baseColor = color;
}

quint8 DmxPushButton::currentValue() const
{
    if (!m_dmx)
        return 0;
    const bool on = isCheckable() ? isChecked() : isDown();
    return on ? m_dmx->dmx_value_2 : m_dmx->dmx_value_1;
}

void DmxPushButton::setDmxInColor(quint8 value)
{
    const QColor color = m_dmxIn ? dmxInColor(value, *m_dmxIn, m_baseColor) : m_baseColor;
    applyColorPalette(this, color);
}

void DmxPushButton::press(bool down)
{
    if (!isEnabled() || down == isDown())
        return;
    setDown(down);
    if (down) {
        emit pressed();
        return;
    }
    if (isCheckable())
        setChecked(!isChecked());
    emit released();
}

// A switch has not toggled yet when its press is reported, but has when its
// release is: so "not checked" on press means it is being switched on, and
// "not checked" on release means it has just been switched off.
void DmxPushButton::pressedButton()
{
    if (!m_dmx)
        return;
    if (!isCheckable() || !isChecked())
        emit clicked(*m_dmx, m_dmx->dmx_value_2);
}

void DmxPushButton::releasedButton()
{
    if (!m_dmx)
        return;
    if (!isCheckable() || !isChecked())
        emit clicked(*m_dmx, m_dmx->dmx_value_1);
}

void DmxPushButton::Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset)
{
    m_blink.start(this, BlinkTime, BlinkIntervall, StartOffset, SLOT(slotBlinking()));
}

void DmxPushButton::slotBlinking()
{
    m_blink.tick(this);
}
