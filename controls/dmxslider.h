// DmxSlider: a fader, centre fader or pitch bend of the console surface.
//
// Promises:
// - every position change (user or program) emits
//   valueChangedSlider(main output, value), the value being the position, or
//   value 1 minus the position when the output is inverted (value 1 above
//   value 2); without a main output it emits nothing;
// - with an advanced output (centre faders), passing the centre position
//   also emits valueChangedSlider(advanced output, advanced value 1);
// - setDmxInValue() moves the fader to an incoming value, unless the fader
//   changed less than a second ago by any move but the input's: then it
//   moves there when that second is over (see FollowedInput), so a user's
//   move is not overridden;
// - springBack() moves a pitch bend one step (1 to 5 positions) towards its
//   centre, never while the user holds the handle;
// - Blink() shows and hides it in turn to point at it.
#pragma once

#include "controls/controlsupport.h"
#include "model/settingstruct.h"

#include <QSlider>

#include <optional>

class DmxSlider : public QSlider
{
    Q_OBJECT

public:
    explicit DmxSlider(QWidget *parent = nullptr);
    explicit DmxSlider(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Copies of the control's outputs and input; a null pointer removes one.
    void setDmx(const SettingDmxStruct &dmx);
    void setDmx(const SettingDmxStruct *dmx);
    void setDmxIn(const SettingDmxInStruct &dmxIn);
    void setDmxIn(const SettingDmxInStruct *dmxIn);
    void setDmxAdvanced(const SettingDmxStruct &dmx);
    void setDmxAdvanced(const SettingDmxStruct *dmx);
    // Pitch-bend mode: when set, moves to the centre |value 1 - value 2| / 2,
    // otherwise to the smaller of the two values. The move emits like a user
    // move, so set the output and the range first.
    void setCenterStart(bool centerStart);
    bool centerStart() const { return m_centerStart; }

    // The clock that times the hold-off after a user's change (tests move it).
    void setClock(ControlClock clock);

    // 0 without a main output; otherwise the value the position sends, as a
    // byte.
    quint8 currentValue() const;
    // Moves to an incoming value (counted down from input value 1 when the
    // input is inverted), within a second of the last change not made by
    // the input only once that second is over; ignored without an input.
    void setDmxInValue(quint8 value);
    // One step towards the centre; see the source for the step sizes.
    void springBack();
    // Half the span of the two main values, value 1 when they are equal, 0
    // without a main output.
    int centerValue() const;

signals:
    void valueChangedSlider(SettingDmxStruct DmxData, int DmxValue);

public slots:
    virtual void Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset);

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void valueChangedSlider(int Value);
    void valueChangedSliderMiddle(int Value);
    void slotBlinking();

private:
    void init();
    void moveToInput(quint8 value);
    // Moves one position towards `target`; returns the remaining distance.
    int stepTowards(int target, int direction);

    std::optional<SettingDmxStruct> m_dmx;
    std::optional<SettingDmxStruct> m_dmxAdvanced;
    std::optional<SettingDmxInStruct> m_dmxIn;
    bool m_centerStart = false;
    FollowedInput m_input;
    BlinkSequence m_blink;
};
