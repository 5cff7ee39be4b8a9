// DmxPushButton: a push button, switch (checkable) or LED (disabled) of the
// console surface.
//
// Promises:
// - a push button emits clicked(main output, value 2) on press and
//   clicked(main output, value 1) on release; a switch emits value 2 when it
//   is pressed while off and value 1 when it is released into off, and
//   nothing in between; without a main output it emits nothing;
// - currentValue() is what the button would send now;
// - setDmxInColor() recolours the button by the DMX-IN colour rule, with the
//   base colour for values that match no trigger;
// - Blink() shows and hides it in turn to point at it;
// - text() is the control's name and shows as written: '&' is no shortcut
//   marker (no Alt+letter presses the button); a line too wide ends in "…",
//   and lines below the last that fits are left out, the last shown one
//   then ending in "…"; a picture sits above the name, as large as the room
//   the name leaves allows (and no larger than iconSize() or the picture
//   itself), keeping its aspect ratio.
#pragma once

#include "controls/controlsupport.h"
#include "model/settingstruct.h"

#include <QColor>
#include <QPushButton>
#include <QStringList>

#include <optional>

class DmxPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit DmxPushButton(QWidget *parent = nullptr);
    explicit DmxPushButton(const QString &text, QWidget *parent = nullptr);

    // What the button shows of text() now, one entry per line.
    QStringList shownLines() const;
    // Where the picture and the name are drawn; the picture's rectangle is
    // empty without a picture or without room for it.
    QRect iconRect() const;
    QRect captionRect() const;

    // Copies of the control's output and input; a null pointer removes one.
    void setDmx(const SettingDmxStruct &dmx);
    void setDmx(const SettingDmxStruct *dmx);
    void setDmxIn(const SettingDmxInStruct &dmxIn);
    void setDmxIn(const SettingDmxInStruct *dmxIn);
    // The control's own colour, shown for input values that match no trigger.
    // Only remembered: the console gives the widget its palette.
    void setBaseColor(const QColor &color);
    QColor baseColor() const { return m_baseColor; }

    // 0 without a main output; otherwise value 2 while switched on (switch)
    // or held down (push button), else value 1.
    quint8 currentValue() const;
    // Gives the widget the palette of the DMX-IN colour for `value`.
    void setDmxInColor(quint8 value);
    // A press from outside the window, as a mouse press (down) and release
    // would be: a switch toggles on the way up. A press on a button already
    // down, or a release of one that is up, does nothing; so does a press on
    // a disabled button (an LED).
    void press(bool down);

signals:
    void clicked(SettingDmxStruct DmxData, int DmxValue);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

public slots:
    // Blinks for BlinkTime ms, toggling every BlinkIntervall ms; StartOffset
    // picks whether the first tick hides (false) or shows (true) the widget.
    virtual void Blink(quint16 BlinkTime, quint16 BlinkIntervall, bool StartOffset);

private slots:
    void releasedButton();
    void pressedButton();
    void slotBlinking();

private:
    struct Layout {
        QRect icon;
        QRect caption;
        QStringList lines;
    };

    void init();
    Layout layout() const;

    std::optional<SettingDmxStruct> m_dmx;
    std::optional<SettingDmxInStruct> m_dmxIn;
    QColor m_baseColor = Qt::white;
    BlinkSequence m_blink;
};
