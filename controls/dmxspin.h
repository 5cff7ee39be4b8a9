// DmxSpin: a direct-value spin box of the console surface.
//
// Promises:
// - every value change (user or program) emits
//   valueChangedSpin(main output, value), the value being the spin value, or
//   value 1 minus it when the output is inverted; without a main output it
//   emits nothing;
// - setDmxInValue() takes an incoming value as DmxSlider does, so a user's
//   entry is not overridden;
// - Blink() shows and hides it in turn to point at it.
#pragma once

#include "controls/controlsupport.h"
#include "model/settingstruct.h"

#include <QSpinBox>

#include <optional>

class DmxSpin : public QSpinBox
{
    Q_OBJECT

public:
    explicit DmxSpin(QWidget *parent = nullptr);

    // Copies of the control's output and input; a null pointer removes one.
    void setDmx(const SettingDmxStruct &dmx);
    void setDmx(const SettingDmxStruct *dmx);
    void setDmxIn(const SettingDmxInStruct &dmxIn);
    void setDmxIn(const SettingDmxInStruct *dmxIn);

    // The clock that times the hold-off after a user's change (tests move it).
    void setClock(ControlClock clock);

    // 0 without a main output; otherwise the value the spin box sends, as a
    // byte.
    quint8 currentValue() const;
    // As DmxSlider::setDmxInValue.
    void setDmxInValue(quint8 value);

signals:
    void valueChangedSpin(SettingDmxStruct DmxData, int DmxValue);

public slots:
    virtual void Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset);

private slots:
    void valueChangedSpinner(int Value);
    void slotBlinking();

private:
    std::optional<SettingDmxStruct> m_dmx;
    std::optional<SettingDmxInStruct> m_dmxIn;
    FollowedInput m_input;
    BlinkSequence m_blink;
};
