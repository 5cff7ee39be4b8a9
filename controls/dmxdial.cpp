#include "dmxdial.h"

#include "dmxvalue.h"

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
