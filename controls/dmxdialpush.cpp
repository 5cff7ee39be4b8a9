#include "controls/dmxdialpush.h"

#include "controls/palette.h"
#include "model/dmxincolor.h"

#include <QMouseEvent>

DmxDialPush::DmxDialPush(QWidget *parent) : DmxDial(parent) {}

void DmxDialPush::setDmxPush(const SettingDmxStruct &dmx)
{
    m_dmxPush = dmx;
}

void DmxDialPush::setDmxPush(const SettingDmxStruct *dmx)
{
    m_dmxPush = dmx ? std::optional<SettingDmxStruct>(*dmx) : std::nullopt;
}

void DmxDialPush::setDmxIn(const SettingDmxInStruct &dmxIn)
{
    m_dmxIn = dmxIn;
}

void DmxDialPush::setDmxIn(const SettingDmxInStruct *dmxIn)
{
    m_dmxIn = dmxIn ? std::optional<SettingDmxInStruct>(*dmxIn) : std::nullopt;
}

void DmxDialPush::setBaseColor(const QColor &color)
{
    m_baseColor = color;
}

void DmxDialPush::setSwitchMode(bool switchMode)
{
    m_switchMode = switchMode;
}

quint8 DmxDialPush::pushValue() const
{
    if (!m_dmxPush)
        return 0;
    return m_pushed ? m_dmxPush->dmx_value_2 : m_dmxPush->dmx_value_1;
}

void DmxDialPush::setDmxInColor(quint8 value)
{
    const QColor color = m_dmxIn ? dmxInColor(value, *m_dmxIn, m_baseColor) : m_baseColor;
    applyColorPalette(this, color);
}

// The dial has no button of its own: a double click is its push.
void DmxDialPush::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_switchMode)
        press(true);
    press(false);
}

void DmxDialPush::press(bool down)
{
    if (!m_switchMode) {
        if (down)
            pressedButton();
        else
            releasedButton();
        return;
    }
    if (down)
        return;
    if (!m_pushed) {
        pressedButton();
        m_pushed = true;
    } else {
        m_pushed = false;
        releasedButton();
    }
}

void DmxDialPush::pressedButton()
{
    if (!m_dmxPush)
        return;
    if (!m_switchMode || !m_pushed)
        emit clicked(*m_dmxPush, m_dmxPush->dmx_value_2);
}

void DmxDialPush::releasedButton()
{
    if (!m_dmxPush)
        return;
    if (!m_switchMode || !m_pushed)
        emit clicked(*m_dmxPush, m_dmxPush->dmx_value_1);
}
