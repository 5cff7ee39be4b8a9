#include "dmxpushbutton.h"

#include "dmxincolor.h"
#include "palette.h"

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
