// DmxDialPush: an endless encoder with a push (encoder_push) or switch
// (encoder_switch) function on a double click.
//
// Promises, besides turning as DmxDial's encoder:
// - push mode: a double click emits clicked(push output, push value 2) and
//   then clicked(push output, push value 1);
// - switch mode: the first double click emits push value 2 and leaves the
//   switch on, the next emits push value 1 and switches it off;
// - without a push output the double click emits nothing;
// - pushValue() is the push output's value now;
// - setDmxInColor() recolours the dial by the DMX-IN colour rule.
#pragma once

#include "controls/dmxdial.h"

#include <QColor>

class QMouseEvent;

class DmxDialPush : public DmxDial
{
    Q_OBJECT

public:
    explicit DmxDialPush(QWidget *parent = nullptr);

    // Copies of the push output (the control's advanced output) and the
    // input; a null pointer removes one.
    void setDmxPush(const SettingDmxStruct &dmx);
    void setDmxPush(const SettingDmxStruct *dmx);
    void setDmxIn(const SettingDmxInStruct &dmxIn);
    void setDmxIn(const SettingDmxInStruct *dmxIn);
    // Only remembered, as on DmxPushButton.
    void setBaseColor(const QColor &color);
    QColor baseColor() const { return m_baseColor; }
    // True for encoder_switch: double clicks switch on and off.
    void setSwitchMode(bool switchMode);
    bool switchMode() const { return m_switchMode; }
    bool isPushed() const { return m_pushed; }

    // 0 without a push output; push value 2 while switched on, else value 1.
    quint8 pushValue() const;
    // Gives the widget the palette of the DMX-IN colour for `value`.
    void setDmxInColor(quint8 value);
    // The push from outside the window: push mode sends value 2 down and
    // value 1 up; switch mode switches on the way up, as a double click.
    void press(bool down);

signals:
    void clicked(SettingDmxStruct DmxData, int DmxValue);

private slots:
    void releasedButton();
    void pressedButton();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    std::optional<SettingDmxStruct> m_dmxPush;
    std::optional<SettingDmxInStruct> m_dmxIn;
    QColor m_baseColor = Qt::white;
    bool m_pushed = false;
    bool m_switchMode = false;
};
