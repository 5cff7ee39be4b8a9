#include "controls/dmxslider.h"

#include "controls/dmxvalue.h"
#include "controls/paintcache.h"

#include <QStyleOptionSlider>

DmxSlider::DmxSlider(QWidget *parent)
    : QSlider(parent), m_input(this, [this](quint8 value) { moveToInput(value); })
{
    init();
}

DmxSlider::DmxSlider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent), m_input(this, [this](quint8 value) { moveToInput(value); })
{
    init();
}

void DmxSlider::init()
{
    registerControlMetaTypes();
    // The main output first, then the centre output.
    connect(this, &QSlider::valueChanged, this, qOverload<int>(&DmxSlider::valueChangedSlider));
    connect(this, &QSlider::valueChanged, this, &DmxSlider::valueChangedSliderMiddle);
}

void DmxSlider::setDmx(const SettingDmxStruct &dmx)
{
    m_dmx = dmx;
}

void DmxSlider::setDmx(const SettingDmxStruct *dmx)
{
    m_dmx = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

void DmxSlider::setDmxIn(const SettingDmxInStruct &dmxIn)
{
    m_dmxIn = dmxIn;
}

void DmxSlider::setDmxIn(const SettingDmxInStruct *dmxIn)
{
    m_dmxIn = dmxIn ? std::optional<SettingDmxInStruct>(*dmxIn) : std::nullopt;
}

void DmxSlider::setDmxAdvanced(const SettingDmxStruct &dmx)
{
    m_dmxAdvanced = dmx;
}

void DmxSlider::setDmxAdvanced(const SettingDmxStruct *dmx)
{
    m_dmxAdvanced = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

void DmxSlider::setCenterStart(bool centerStart)
{
    m_centerStart = centerStart;
    const int v1 = m_dmx ? m_dmx->dmx_value_1 : 0;
    const int v2 = m_dmx ? m_dmx->dmx_value_2 : 0;
    setValue(centerStart ? qAbs(v1 - v2) / 2 : qMin(v1, v2));
}

void DmxSlider::setClock(ControlClock clock)
{
    m_input.setClock(std::move(clock));
}

quint8 DmxSlider::currentValue() const
{
    if (!m_dmx)
        return 0;
    return quint8(dmxvalue::positionValue(*m_dmx, value()));
}

void DmxSlider::setDmxInValue(quint8 value)
{
    if (m_dmxIn)
        m_input.offer(value);
}

void DmxSlider::moveToInput(quint8 value)
{
    // Emits through valueChanged like a user move, but holds nothing off.
    if (m_dmxIn)
        setValue(dmxvalue::inputPosition(*m_dmxIn, value));
}

int DmxSlider::centerValue() const
{
    return m_dmx ? dmxvalue::centerPosition(*m_dmx) : 0;
}

int DmxSlider::stepTowards(int target, int direction)
{
    setValue(value() + direction);
    return (target - value()) * direction;
}

// The further away, the bigger the step: a handle far from the centre comes
// back with up to five positions per call, one emission each, and slows down
// as it closes in.
void DmxSlider::springBack()
{
    if (!m_dmx)
        return;
    // A pitch bend only returns once it is let go; pulling it back from
    // under a held handle would send values the user is not asking for.
    if (isSliderDown())
        return;
    const int target = dmxvalue::springBackTarget(*m_dmx);
    const int offset = value() - target;
    if (offset == 0)
        return;
    const int direction = offset > 0 ? -1 : 1;
    int distance = qAbs(offset);
    if (distance > 80)
        distance = stepTowards(target, direction);
    if (distance > 40)
        distance = stepTowards(target, direction);
    if (distance > 20)
        distance = stepTowards(target, direction);
    if (distance > 10)
        stepTowards(target, direction);
    stepTowards(target, direction);
}

void DmxSlider::valueChangedSlider(int Value)
{
    if (!m_dmx)
        return;
    emit valueChangedSlider(*m_dmx, dmxvalue::positionValue(*m_dmx, Value));
    m_input.changed();
}

void DmxSlider::valueChangedSliderMiddle(int Value)
{
    if (!m_dmxAdvanced)
        return;
    if ((centerValue() & 0xFF) == Value)
        emit valueChangedSlider(*m_dmxAdvanced, m_dmxAdvanced->dmx_value_1);
    m_input.changed();
}

void DmxSlider::Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset)
{
    m_blink.start(this, BlinkTime, BlinkIntervall, StartOffset, SLOT(slotBlinking()));
}

void DmxSlider::slotBlinking()
{
    m_blink.tick(this);
}

// As QSlider paints itself, through the cache.
void DmxSlider::paintEvent(QPaintEvent *)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks)
        option.subControls |= QStyle::SC_SliderTickmarks;
    paintSliderCached(this, QStyle::CC_Slider, option);
}
