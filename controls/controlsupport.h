// Plumbing shared by the control widgets: the logging category, the clock
// used to time user moves, the hold-off that keeps incoming values from
// overriding a user, the blink sequence that points at a control, and names
// for widgets that read '&' as a shortcut marker.
#pragma once

#include <QLoggingCategory>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class QTimer;
class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcControls)

// Milliseconds on a monotonic clock. Widgets that time user moves accept one,
// so tests can move time by hand instead of sleeping.
using ControlClock = std::function<qint64()>;

// The process-wide monotonic clock the widgets use unless told otherwise.
ControlClock defaultControlClock();

// Registers SettingDmxStruct and SettingDmxInStruct with the meta-type system
// so that connections by signature text, queued connections and signal spies
// can carry them. Safe to call any number of times.
void registerControlMetaTypes();

// A control's name as text for widgets that take "&x" as the shortcut Alt+X
// and show it as an underlined x (group boxes, the style's button labels):
// every '&' doubled, so the name shows as written and none of its letters
// becomes a shortcut.
QString escapeMnemonics(const QString &name);

// Remembers when the user last changed a control's value and says whether an
// incoming value must wait: less than a second after the change it does, so
// a user's move wins over the input.
class ValueHoldOff
{
public:
    static constexpr qint64 HOLD_OFF_MS = 1000;

    // A null clock restores the default clock.
    void setClock(ControlClock clock);
    // Records that the value changed now.
    void touch();
    // True while the last change is at most HOLD_OFF_MS - 1 ms old; false
    // before any change.
    bool holding() const;
    // Milliseconds until the hold ends; 0 when not holding.
    qint64 remainingMs() const;

private:
    ControlClock m_clock = defaultControlClock();
    std::optional<qint64> m_lastChangeMs;
};

// The input a fader or spin box follows. A value that arrives is applied at
// once, unless the user moved the control less than a second ago: then it is
// kept and applied when that second is over. The user's move wins for that
// second; after it, the last value that arrived applies again. Moves the
// input makes hold nothing off.
class FollowedInput
{
public:
    // `apply` moves the widget to an input value.
    FollowedInput(QWidget *widget, std::function<void(quint8)> apply)
        : m_widget(widget), m_apply(std::move(apply))
    {
    }
    // A null clock restores the default clock.
    void setClock(ControlClock clock) { m_holdOff.setClock(std::move(clock)); }
    void offer(quint8 value);
    // The control's value changed; unless the input changed it, that was the
    // user, whose move holds the input off.
    void changed();

private:
    void applyWhenFree();

    QWidget *m_widget;
    std::function<void(quint8)> m_apply;
    ValueHoldOff m_holdOff;
    std::optional<quint8> m_value;
    bool m_applying = false;
    QPointer<QTimer> m_timer; // a child of the widget
};

// Shows and hides a widget in turn for a while. The timer is a child of the
// widget and dies with it.
class BlinkSequence
{
public:
    // Starts (or restarts from tick 0) blinking `widget` every
    // `intervalMs` for `timeMs`; `tickSlot` is the widget's SLOT() that
    // calls tick(). With an interval of 0 nothing blinks: a running
    // sequence stops and the widget is shown.
    void start(QWidget *widget, quint16 timeMs, quint16 intervalMs, bool startOffset,
               const char *tickSlot);
    // One tick: hides the widget on the ticks whose parity equals the start
    // offset and shows it on the others; after timeMs / intervalMs + 1
    // ticks it stops and leaves the widget shown.
    void tick(QWidget *widget);
    bool running() const;

private:
    QPointer<QTimer> m_timer;
    quint16 m_timeMs = 0;
    quint16 m_intervalMs = 0;
    quint32 m_counter = 0;
    bool m_startOffset = false;
};
