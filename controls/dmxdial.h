// DmxDial: a knob (not wrapping) or an endless encoder (wrapping) of the
// console surface.
//
// Promises:
// - a knob emits valueChangedDial(main output, value) for every position
//   change, the value being the position, or value 1 minus the position when
//   the output is inverted;
// - an encoder emits value 2 for a step up, value 1 for a step down and
//   value 3 for its very first change or no movement; positions are compared
//   as they are, so the jump across the wrap point (255 to 0) is a step down;
// - without a main output nothing is emitted;
// - the mouse turns it relative to where it was grabbed: a press alone
//   changes nothing, a drag turns it by the angle the pointer travels
//   around its centre (a knob stops at its ends, an encoder goes round);
//   the wheel and the arrow keys step as on any dial;
// - Blink() shows and hides it in turn to point at it.
#pragma once

#include "controls/controlsupport.h"
#include "model/settingstruct.h"

#include <QDial>

#include <optional>

class DmxDial : public QDial
{
    Q_OBJECT

public:
    explicit DmxDial(QWidget *parent = nullptr);

    // Copy of the control's output; a null pointer removes it.
    void setDmx(const SettingDmxStruct &dmx);
    void setDmx(const SettingDmxStruct *dmx);

    // Knob: as a fader. Encoder: value 1 if the position is below the last
    // one seen, value 2 if above, value 3 if equal (the first call takes the
    // current position as the last one). 0 without a main output.
    quint8 currentValue() const;

signals:
    void valueChangedDial(SettingDmxStruct DmxData, int DmxValue);

public slots:
    virtual void Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset);

private slots:
    void valueChangedDial(int);
    void slotBlinking();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    std::optional<SettingDmxStruct> m_dmx;
    // Last encoder position; -1 until the first one is seen.
    mutable int m_lastPosition = -1;

private:
    // The pointer's angle around the centre (radians, counter-clockwise),
    // none when it is too close to the centre to tell.
    std::optional<double> angleAt(const QPointF &point) const;

    BlinkSequence m_blink;
    // While dragged: the position as turned so far (fractional) and the
    // pointer's angle at the last move.
    std::optional<double> m_dragPosition;
    std::optional<double> m_dragAngle;
};
