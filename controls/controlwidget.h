// One interface for every control on the surface, and the one factory that
// maps a record's control type to its widget.
//
// A ControlWidget wraps the toolkit widget of one control: it takes its
// settings from the record, tells the value it would send now, takes an
// arrived input value, the time or a spring-back tick. The surface and the
// I/O side only ever speak to this interface; a new control type is one row
// in the factory's table and one class here.
//
// Promises:
// - the widget is parented to the console and deleted with the wrapper;
// - configure() may be called again with a changed record of the same type;
// - a type the factory does not know gives no widget (null);
// - a move from outside the window (setPosition, press) enters where the
//   user's own move enters: the widget moves and its output sends, as for a
//   mouse or key;
// - after watch(), `changed` is called whenever what remoteView() tells may
//   have changed (value, pressed state, colour, time), however it changed.
#pragma once

#include "model/settingstruct.h"

#include <QColor>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// What a view outside the window (the web remote) shows of a control now.
struct RemoteView {
    // "push", "switch", "led", "spin", "fader", "pitch", "knob", "encoder",
    // "encoder_push", "encoder_switch", "label", "icon", "clock", "group".
    const char *kind = "label";
    // Position and its range, for controls moved by position.
    std::optional<int> position;
    int low = 0;
    int high = 0;
    bool horizontal = false;
    // Held (push button), on (switch, encoder switch).
    std::optional<bool> down;
    // The colour it shows now (buttons, LEDs, encoder pushes, clocks);
    // invalid: none of its own.
    QColor color;
    // The clock's time.
    std::optional<QString> text;
};

class ControlWidget
{
public:
    virtual ~ControlWidget();
    ControlWidget(const ControlWidget &) = delete;
    ControlWidget &operator=(const ControlWidget &) = delete;

    QWidget *widget() const { return m_widget.data(); }
    // The control type it was made for.
    quint8 type() const { return m_type; }

    // Takes name, colour, outputs, input and picture of the record.
    // `shown` is the control's size on screen; `initial` is true for the
    // record the widget was made from (an edited control's range also covers
    // its input trigger values).
    virtual void configure(const SettingStruct &record, const QSize &shown, bool initial) = 0;
    // The value the main output would send now; none for controls that send
    // nothing by themselves.
    virtual std::optional<int> currentValue() const { return std::nullopt; }
    // The value of the second output (the push of an encoder), if any.
    virtual std::optional<int> advancedValue() const { return std::nullopt; }
    // True when arrived input values move or recolour this control, as the
    // type table says.
    bool takesInput() const;
    virtual void takeInput(quint8 value) { Q_UNUSED(value); }
    // The clock shows `time`.
    virtual void takeTime(const QString &time) { Q_UNUSED(time); }
    // Frames stay behind the controls they group, so those keep the mouse.
    virtual bool staysBehind() const { return false; }
    // One tick of the trigger timer for controls that move back by
    // themselves (pitch bends).
    virtual void springBack() {}
    // True for the controls the trigger timer drives (clocks, pitch bends).
    virtual bool needsClock() const { return false; }
    // Shown size changed (stretch, move): pictures follow.
    virtual void resized(const SettingStruct &record, const QSize &shown)
    {
        Q_UNUSED(record);
        Q_UNUSED(shown);
    }

    virtual RemoteView remoteView() const = 0;
    // Moves the control to `position` (clamped into its range); false when
    // it is not moved by position.
    virtual bool setPosition(int position)
    {
        Q_UNUSED(position);
        return false;
    }
    // A finger down or up on a button, switch or encoder push (a switch
    // toggles on the way up, as with a click); a pitch bend held does not
    // spring back. False when it takes no press.
    virtual bool press(bool down)
    {
        Q_UNUSED(down);
        return false;
    }
    void watch(std::function<void()> changed);

protected:
    explicit ControlWidget(QWidget *widget) : m_widget(widget) {}
    // For changes no signal of the widget tells (the clock's time).
    void notifyChanged() const
    {
        if (m_changed)
            m_changed();
    }
    // The colour the widget's palette shows.
    QColor shownColor() const;

private:
    friend std::unique_ptr<ControlWidget> createControlWidget(const SettingStruct &, QWidget *,
                                                              QObject *, const QSize &);
    QPointer<QWidget> m_widget;
    quint8 m_type = CT_COUNT;
    std::function<void()> m_changed;
    bool m_watching = false;
};

// Makes the control for record.control_type with `console` as parent; its
// signals are connected by signature text to `receiver`'s output slots
// (slotControlPushClicked, slotControlSliderChanged, slotControlPotiChanged)
// and context clicks on spin boxes and LEDs go to `receiver`'s event
// filter. Null for an unknown type.
std::unique_ptr<ControlWidget> createControlWidget(const SettingStruct &record, QWidget *console,
                                                   QObject *receiver, const QSize &shown);

// The placeholder a clock shows until the first tick.
QString clockPlaceholder();

// Parent and receiver of controls that are only looked at (the palette's
// pictures) or tested alone: it has the console's output slots and does
// nothing with what arrives, so making such a control sends nothing.
class SilentConsole : public QWidget
{
    Q_OBJECT
public slots:
    void slotControlPushClicked(SettingDmxStruct, int) {}
    void slotControlSliderChanged(SettingDmxStruct, int) {}
    void slotControlPotiChanged(SettingDmxStruct, int) {}
};
