#include "controls/dmxspin.h"

#include "controls/dmxvalue.h"

DmxSpin::DmxSpin(QWidget *parent)
    : QSpinBox(parent), m_input(this, [this](quint8 value) {
          if (m_dmxIn)
              setValue(dmxvalue::inputPosition(*m_dmxIn, value));
      })
{
    registerControlMetaTypes();
    connect(this, qOverload<int>(&QSpinBox::valueChanged), this, &DmxSpin::valueChangedSpinner);
}

void DmxSpin::setDmx(const SettingDmxStruct &dmx)
{
    m_dmx = dmx;
}

void DmxSpin::setDmx(const SettingDmxStruct *dmx)
{
    m_dmx = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

void DmxSpin::setDmxIn(const SettingDmxInStruct &dmxIn)
{
    m_dmxIn = dmxIn;
}

void DmxSpin::setDmxIn(const SettingDmxInStruct *dmxIn)
{
    m_dmxIn = dmxIn ? std::optional<SettingDmxInStruct>(*dmxIn) : std::nullopt;
}

void DmxSpin::setClock(ControlClock clock)
{
    m_input.setClock(std::move(clock));
}

quint8 DmxSpin::currentValue() const
{
    if (!m_dmx)
        return 0;
    return quint8(dmxvalue::positionValue(*m_dmx, value()));
}

void DmxSpin::setDmxInValue(quint8 value)
{
    if (m_dmxIn)
        m_input.offer(value);
}

void DmxSpin::valueChangedSpinner(int Value)
{
    if (!m_dmx)
        return;
    emit valueChangedSpin(*m_dmx, dmxvalue::positionValue(*m_dmx, Value));
    m_input.changed();
}

void DmxSpin::Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset)
{
    m_blink.start(this, BlinkTime, BlinkIntervall, StartOffset, SLOT(slotBlinking()));
}

void DmxSpin::slotBlinking()
{
    m_blink.tick(this);
}
