#include "controls/dmxdial.h"

#include "controls/dmxvalue.h"
#include "controls/paintcache.h"

#include <QStyleOptionSlider>

#include <QMouseEvent>

#include <cmath>

namespace
{
// Closer to the centre than this the angle jumps with every pixel.
constexpr double STEADY_RADIUS = 4.0;
// The arc a knob turns through from its lowest to its highest value, as
// QDial draws it; an encoder goes round the whole circle.
constexpr double KNOB_ARC = M_PI * 10 / 6;
constexpr double FULL_TURN = 2 * M_PI;
} // namespace

DmxDial::DmxDial(QWidget *parent) : QDial(parent)
{
    registerControlMetaTypes();
    connect(this, &QDial::valueChanged, this, qOverload<int>(&DmxDial::valueChangedDial));
}

void DmxDial::setDmx(const SettingDmxStruct &dmx)
{
    m_dmx = dmx;
}

void DmxDial::setDmx(const SettingDmxStruct *dmx)
{
    m_dmx = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

quint8 DmxDial::currentValue() const
{
    if (!m_dmx)
        return 0;
    if (!wrapping())
        return quint8(dmxvalue::positionValue(*m_dmx, value()));
    if (m_lastPosition < 0)
        m_lastPosition = value();
    return dmxvalue::encoderValue(*m_dmx, m_lastPosition, value());
}

void DmxDial::valueChangedDial(int value)
{
    if (!m_dmx)
        return;
    if (!wrapping()) {
        emit valueChangedDial(*m_dmx, dmxvalue::positionValue(*m_dmx, value));
        return;
    }
    const int last = m_lastPosition;
    m_lastPosition = value;
    emit valueChangedDial(*m_dmx, dmxvalue::encoderValue(*m_dmx, last, value));
}

void DmxDial::Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset)
{
    m_blink.start(this, BlinkTime, BlinkIntervall, StartOffset, SLOT(slotBlinking()));
}

void DmxDial::slotBlinking()
{
    m_blink.tick(this);
}

std::optional<double> DmxDial::angleAt(const QPointF &point) const
{
    const double x = point.x() - width() / 2.0;
    const double y = height() / 2.0 - point.y();
    if (std::hypot(x, y) < STEADY_RADIUS)
        return std::nullopt;
    return std::atan2(y, x);
}

// QDial jumps to the point pressed; here a press only grabs the dial.
void DmxDial::mousePressEvent(QMouseEvent *event)
{
    if (minimum() == maximum() || event->button() != Qt::LeftButton ||
        (event->buttons() ^ event->button())) {
        event->ignore();
        return;
    }
    event->accept();
    m_dragPosition = value();
    m_dragAngle = angleAt(event->position());
    setSliderDown(true);
}

void DmxDial::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_dragPosition) {
        event->ignore();
        return;
    }
    event->accept();
    const std::optional<double> angle = angleAt(event->position());
    if (!angle)
        return;
    if (!m_dragAngle) {
        m_dragAngle = angle;
        return;
    }
    // The shorter way round from the last angle; clockwise turns up.
    double turned = *m_dragAngle - *angle;
    if (turned > M_PI)
        turned -= FULL_TURN;
    else if (turned < -M_PI)
        turned += FULL_TURN;
    m_dragAngle = angle;
    const double span = maximum() - minimum();
    double position = *m_dragPosition;
    if (wrapping()) {
        // Every value has its place on the circle, the highest included.
        const double count = span + 1;
        position += turned * count / FULL_TURN;
        position = minimum() + std::fmod(std::fmod(position - minimum(), count) + count, count);
    } else {
        position =
            qBound(double(minimum()), position + turned * span / KNOB_ARC, double(maximum()));
    }
    m_dragPosition = position;
    const int shown = int(std::floor(position + 0.5));
    setValue(shown > maximum() ? minimum() : shown);
}

void DmxDial::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragPosition) {
        event->ignore();
        return;
    }
    event->accept();
    m_dragPosition.reset();
    m_dragAngle.reset();
    setSliderDown(false);
}

void DmxDial::paintEvent(QPaintEvent *)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    paintSliderCached(this, QStyle::CC_Dial, option);
}
