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

// Remembers when a control's value last changed and says whether an incoming
// value must wait: a value that arrives less than a second after a change is
// dropped, so a user's move wins over the input.
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

private:
    ControlClock m_clock = defaultControlClock();
    std::optional<qint64> m_lastChangeMs;
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
