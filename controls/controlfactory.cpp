#include "controls/controlwidget.h"

#include "controls/dmxdial.h"
#include "controls/dmxdialpush.h"
#include "controls/dmxpushbutton.h"
#include "controls/dmxslider.h"
#include "controls/dmxspin.h"
#include "controls/palette.h"
#include "controls/stretch.h"
#include "model/typetables.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>

ControlWidget::~ControlWidget()
{
    delete m_widget.data();
}

bool ControlWidget::takesInput() const
{
    return controlTraits(m_type).input;
}

namespace
{
// Tells a control's watcher that its palette (its colour) changed.
class PaletteWatch : public QObject
{
public:
    PaletteWatch(QWidget *widget, std::function<void()> changed)
        : QObject(widget), m_changed(std::move(changed))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange)
            m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};
} // namespace

void ControlWidget::watch(std::function<void()> changed)
{
    m_changed = std::move(changed);
    QWidget *w = m_widget.data();
    if (m_watching || !w)
        return;
    m_watching = true;
    const auto tell = [this] { notifyChanged(); };
    if (auto *slider = qobject_cast<QAbstractSlider *>(w))
        QObject::connect(slider, &QAbstractSlider::valueChanged, w, tell);
    if (auto *spin = qobject_cast<QSpinBox *>(w))
        QObject::connect(spin, &QSpinBox::valueChanged, w, tell);
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        QObject::connect(button, &QAbstractButton::pressed, w, tell);
        QObject::connect(button, &QAbstractButton::released, w, tell);
        QObject::connect(button, &QAbstractButton::toggled, w, tell);
    }
    new PaletteWatch(w, tell);
}

QColor ControlWidget::shownColor() const
{
    return m_widget ? m_widget->palette().color(QPalette::Button) : QColor();
}

QString clockPlaceholder()
{
    return QCoreApplication::translate("Pultora", "--:--:--");
}

namespace
{

QColor colorOf(const SettingStruct &r)
{
    return QColor(r.color_red, r.color_green, r.color_blue);
}

int lowValue(const SettingStruct &r)
{
    return qMin(r.dmx_out.dmx_value_1, r.dmx_out.dmx_value_2);
}
int highValue(const SettingStruct &r)
{
    return qMax(r.dmx_out.dmx_value_1, r.dmx_out.dmx_value_2);
}

// An edited control's range also covers its input trigger values.
int lowValue(const SettingStruct &r, bool initial)
{
    if (initial)
        return lowValue(r);
    return qMin(lowValue(r), int(qMin(r.dmx_in.dmx_in_value_1, r.dmx_in.dmx_in_value_2)));
}
int highValue(const SettingStruct &r, bool initial)
{
    if (initial)
        return highValue(r);
    return qMax(highValue(r), int(qMax(r.dmx_in.dmx_in_value_1, r.dmx_in.dmx_in_value_2)));
}

bool isHorizontal(quint8 type)
{
    return type == CT_FADER_HORIZONTAL || type == CT_FADER_HORIZONTAL_MIDDLE ||
           type == CT_PITCH_BEND_HORIZONTAL || type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

// Pitch bends spring back instead of following an input.
bool isPitchBend(quint8 type)
{
    return type == CT_PITCH_BEND_VERTICAL || type == CT_PITCH_BEND_HORIZONTAL ||
           type == CT_PITCH_BEND_VERTICAL_MIDDLE || type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

void setButtonIcon(DmxPushButton *button, const SettingStruct &r)
{
    // Square, from the stored width: the icon does not follow the stretch.
    const int side = int(qMin<quint32>(r.size_x, quint32(stretch::MAX_SHOWN)));
    // Decoded no larger than the icon is drawn.
    const QImage picture = r.bitmap.fitted(QSize(side, side));
    button->setIcon(picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
    button->setIconSize(QSize(side, side));
}

// The icon rule: the picture decoded at the shown size, or the name when the
// control has no picture or one that does not decode.
void showIconOn(QLabel *label, const SettingStruct &r, const QSize &size)
{
    const QImage picture = r.bitmap.image(size);
    if (picture.isNull()) {
        label->setPixmap(QPixmap());
        label->setText(r.name);
        return;
    }
    label->setPixmap(QPixmap::fromImage(picture));
}

// The view of a control moved by position.
RemoteView positionView(const char *kind, const QAbstractSlider &slider)
{
    RemoteView view;
    view.kind = kind;
    view.position = slider.value();
    view.low = slider.minimum();
    view.high = slider.maximum();
    view.horizontal = slider.orientation() == Qt::Horizontal;
    return view;
}

class ButtonControl : public ControlWidget
{
public:
    ButtonControl(const SettingStruct &r, QWidget *console, QObject *receiver)
        : ControlWidget(new DmxPushButton(r.name, console))
    {
        m_button = static_cast<DmxPushButton *>(widget());
        m_button->setCheckable(r.control_type == CT_BUTTON_SWITCH);
        QObject::connect(m_button, SIGNAL(clicked(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlPushClicked(SettingDmxStruct, int)));
    }
    void configure(const SettingStruct &r, const QSize &, bool) override
    {
        m_button->setText(r.name);
        setButtonIcon(m_button, r);
        m_button->setBaseColor(colorOf(r));
        m_button->setDmx(r.dmx_out);
        m_button->setDmxIn(r.dmx_in);
    }
    std::optional<int> currentValue() const override { return m_button->currentValue(); }
    void takeInput(quint8 value) override { m_button->setDmxInColor(value); }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = m_button->isCheckable() ? "switch" : "push";
        view.down = m_button->isCheckable() ? m_button->isChecked() : m_button->isDown();
        view.color = shownColor();
        return view;
    }
    bool press(bool down) override
    {
        m_button->press(down);
        return true;
    }

private:
    DmxPushButton *m_button;
};

class LedControl : public ControlWidget
{
public:
    LedControl(const SettingStruct &r, QWidget *console, QObject *receiver)
        : ControlWidget(new DmxPushButton(r.name, console))
    {
        m_led = static_cast<DmxPushButton *>(widget());
        m_led->setCheckable(false);
        m_led->setEnabled(false);
        m_led->installEventFilter(receiver);
    }
    void configure(const SettingStruct &r, const QSize &, bool) override
    {
        m_led->setText(r.name);
        m_led->setBaseColor(colorOf(r));
        m_led->setDmxIn(r.dmx_in);
    }
    void takeInput(quint8 value) override { m_led->setDmxInColor(value); }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = "led";
        view.color = shownColor();
        return view;
    }

private:
    DmxPushButton *m_led;
};

class SpinControl : public ControlWidget
{
public:
    SpinControl(QWidget *console, QObject *receiver) : ControlWidget(new DmxSpin(console))
    {
        m_spin = static_cast<DmxSpin *>(widget());
        // The console opens its menu from context clicks on the spin box.
        m_spin->installEventFilter(receiver);
        for (QLineEdit *edit : m_spin->findChildren<QLineEdit *>())
            edit->installEventFilter(receiver);
        QObject::connect(m_spin, SIGNAL(valueChangedSpin(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlSliderChanged(SettingDmxStruct, int)));
    }
    void configure(const SettingStruct &r, const QSize &, bool initial) override
    {
        m_spin->setDmx(r.dmx_out);
        m_spin->setDmxIn(r.dmx_in);
        m_spin->setRange(lowValue(r, initial), highValue(r, initial));
    }
    std::optional<int> currentValue() const override { return m_spin->currentValue(); }
    void takeInput(quint8 value) override { m_spin->setDmxInValue(value); }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = "spin";
        view.position = m_spin->value();
        view.low = m_spin->minimum();
        view.high = m_spin->maximum();
        return view;
    }
    bool setPosition(int position) override
    {
        m_spin->setValue(position);
        return true;
    }

private:
    DmxSpin *m_spin;
};

class SliderControl : public ControlWidget
{
public:
    SliderControl(const SettingStruct &r, QWidget *console, QObject *receiver)
        : ControlWidget(
              new DmxSlider(isHorizontal(r.control_type) ? Qt::Horizontal : Qt::Vertical, console)),
          m_type(r.control_type)
    {
        m_slider = static_cast<DmxSlider *>(widget());
        m_slider->setTracking(true);
        m_slider->setTickPosition(QSlider::TicksBothSides);
        QObject::connect(m_slider, SIGNAL(valueChangedSlider(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlSliderChanged(SettingDmxStruct, int)));
    }
    void configure(const SettingStruct &r, const QSize &, bool initial) override
    {
        m_slider->setDmx(r.dmx_out);
        // Centre faders listen to their input from the start too: input
        // reaches them either way.
        m_slider->setDmxIn(r.dmx_in);
        if (controlTraits(m_type).second == AOT_CENTER)
            m_slider->setDmxAdvanced(r.dmx_out_advanced);
        else if (!initial)
            m_slider->setDmxAdvanced(nullptr);
        m_slider->setRange(lowValue(r, initial), highValue(r, initial));
        if (isPitchBend(m_type))
            m_slider->setCenterStart(true);
    }
    std::optional<int> currentValue() const override { return m_slider->currentValue(); }
    void takeInput(quint8 value) override { m_slider->setDmxInValue(value); }
    void springBack() override
    {
        if (isPitchBend(m_type))
            m_slider->springBack();
    }
    bool needsClock() const override { return isPitchBend(m_type); }
    RemoteView remoteView() const override
    {
        return positionView(isPitchBend(m_type) ? "pitch" : "fader", *m_slider);
    }
    bool setPosition(int position) override
    {
        m_slider->setValue(position);
        return true;
    }
    bool press(bool down) override
    {
        // Held, a pitch bend stays where it is put.
        if (!isPitchBend(m_type))
            return false;
        m_slider->setSliderDown(down);
        return true;
    }

private:
    DmxSlider *m_slider;
    quint8 m_type;
};

class DialControl : public ControlWidget
{
public:
    DialControl(const SettingStruct &r, QWidget *console, QObject *receiver)
        : ControlWidget(new DmxDial(console)), m_knob(r.control_type == CT_KNOB)
    {
        m_dial = static_cast<DmxDial *>(widget());
        m_dial->setWrapping(!m_knob);
        m_dial->setNotchesVisible(true);
        QObject::connect(m_dial, SIGNAL(valueChangedDial(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlPotiChanged(SettingDmxStruct, int)));
    }
    void configure(const SettingStruct &r, const QSize &, bool) override
    {
        m_dial->setDmx(r.dmx_out);
        if (m_knob)
            m_dial->setRange(lowValue(r), highValue(r));
        else
            m_dial->setRange(0, 255);
    }
    std::optional<int> currentValue() const override { return m_dial->currentValue(); }
    RemoteView remoteView() const override
    {
        return positionView(m_knob ? "knob" : "encoder", *m_dial);
    }
    bool setPosition(int position) override
    {
        m_dial->setValue(position);
        return true;
    }

private:
    DmxDial *m_dial;
    bool m_knob;
};

class DialPushControl : public ControlWidget
{
public:
    DialPushControl(const SettingStruct &r, QWidget *console, QObject *receiver)
        : ControlWidget(new DmxDialPush(console))
    {
        m_dial = static_cast<DmxDialPush *>(widget());
        m_dial->setWrapping(true);
        m_dial->setNotchesVisible(true);
        m_dial->setSwitchMode(r.control_type == CT_ENCODER_SWITCH);
        QObject::connect(m_dial, SIGNAL(valueChangedDial(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlPotiChanged(SettingDmxStruct, int)));
        QObject::connect(m_dial, SIGNAL(clicked(SettingDmxStruct, int)), receiver,
                         SLOT(slotControlPushClicked(SettingDmxStruct, int)));
    }
    void configure(const SettingStruct &r, const QSize &, bool initial) override
    {
        m_dial->setDmx(r.dmx_out);
        m_dial->setRange(0, 255);
        m_dial->setBaseColor(colorOf(r));
        m_dial->setDmxPush(r.dmx_out_advanced);
        if (initial)
            m_dial->setDmxIn(r.dmx_in);
    }
    std::optional<int> currentValue() const override { return m_dial->currentValue(); }
    std::optional<int> advancedValue() const override { return m_dial->pushValue(); }
    RemoteView remoteView() const override
    {
        RemoteView view =
            positionView(m_dial->switchMode() ? "encoder_switch" : "encoder_push", *m_dial);
        if (m_dial->switchMode())
            view.down = m_dial->isPushed();
        view.color = shownColor();
        return view;
    }
    bool setPosition(int position) override
    {
        m_dial->setValue(position);
        return true;
    }
    bool press(bool down) override
    {
        m_dial->press(down);
        notifyChanged();
        return true;
    }

private:
    DmxDialPush *m_dial;
};

class LabelControl : public ControlWidget
{
public:
    LabelControl(const SettingStruct &r, QWidget *console)
        : ControlWidget(new QLabel(r.name, console))
    {
        m_label = static_cast<QLabel *>(widget());
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setOpenExternalLinks(true);
    }
    void configure(const SettingStruct &r, const QSize &, bool) override
    {
        m_label->setText(r.name);
    }
    RemoteView remoteView() const override { return RemoteView(); }

private:
    QLabel *m_label;
};

class IconControl : public ControlWidget
{
public:
    IconControl(const SettingStruct &r, QWidget *console)
        : ControlWidget(new QLabel(r.name, console))
    {
        m_label = static_cast<QLabel *>(widget());
        m_label->setAlignment(Qt::AlignCenter);
    }
    void configure(const SettingStruct &r, const QSize &shown, bool) override
    {
        showIconOn(m_label, r, shown);
    }
    void resized(const SettingStruct &r, const QSize &shown) override
    {
        showIconOn(m_label, r, shown);
    }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = "icon";
        return view;
    }

private:
    QLabel *m_label;
};

class ClockControl : public ControlWidget
{
public:
    explicit ClockControl(QWidget *console) : ControlWidget(new QLCDNumber(8, console))
    {
        m_clock = static_cast<QLCDNumber *>(widget());
        m_clock->setSegmentStyle(QLCDNumber::Flat);
        m_clock->setFrameStyle(QFrame::NoFrame);
        // The face takes the control's colour, as a button's does, so the
        // digits (the palette's text colour for it) stay readable on any
        // background.
        m_clock->setAutoFillBackground(true);
    }
    void configure(const SettingStruct &, const QSize &, bool) override
    {
        m_time = clockPlaceholder();
        m_clock->display(m_time);
    }
    void takeTime(const QString &time) override
    {
        if (time == m_time)
            return;
        m_time = time;
        m_clock->display(time);
        notifyChanged();
    }
    bool needsClock() const override { return true; }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = "clock";
        view.color = shownColor();
        view.text = m_time;
        return view;
    }

private:
    QLCDNumber *m_clock;
    QString m_time;
};

class GroupControl : public ControlWidget
{
public:
    GroupControl(const SettingStruct &r, QWidget *console)
        : ControlWidget(new QGroupBox(escapeMnemonics(r.name), console))
    {
        m_group = static_cast<QGroupBox *>(widget());
        m_group->setAlignment(Qt::AlignHCenter);
        m_group->lower();
    }
    void configure(const SettingStruct &r, const QSize &, bool) override
    {
        m_group->setTitle(escapeMnemonics(r.name));
    }
    bool staysBehind() const override { return true; }
    RemoteView remoteView() const override
    {
        RemoteView view;
        view.kind = "group";
        return view;
    }

private:
    QGroupBox *m_group;
};

using Maker = ControlWidget *(*)(const SettingStruct &, QWidget *, QObject *);

// One row per control type, in type order.
const Maker kMakers[CT_COUNT] = {
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new ButtonControl(r, c, o);
    }, // button_push
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new ButtonControl(r, c, o);
    }, // button_switch
    [](const SettingStruct &, QWidget *c, QObject *o) -> ControlWidget * {
        return new SpinControl(c, o);
    }, // direct_value
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // fader_vertical
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // fader_horizontal
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // fader_vertical_middle
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // fader_horizontal_middle
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // pitch_bend_vertical
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // pitch_bend_horizontal
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // pitch_bend_vertical_middle
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new SliderControl(r, c, o);
    }, // pitch_bend_horizontal_middle
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new DialControl(r, c, o);
    }, // knob
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new DialControl(r, c, o);
    }, // encoder
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new DialPushControl(r, c, o);
    }, // encoder_push
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new DialPushControl(r, c, o);
    }, // encoder_switch
    [](const SettingStruct &r, QWidget *c, QObject *) -> ControlWidget * {
        return new LabelControl(r, c);
    }, // label
    [](const SettingStruct &r, QWidget *c, QObject *o) -> ControlWidget * {
        return new LedControl(r, c, o);
    }, // led
    [](const SettingStruct &r, QWidget *c, QObject *) -> ControlWidget * {
        return new IconControl(r, c);
    }, // icon
    [](const SettingStruct &, QWidget *c, QObject *) -> ControlWidget * {
        return new ClockControl(c);
    }, // time
    [](const SettingStruct &r, QWidget *c, QObject *) -> ControlWidget * {
        return new GroupControl(r, c);
    }, // group
};

} // namespace

std::unique_ptr<ControlWidget> createControlWidget(const SettingStruct &record, QWidget *console,
                                                   QObject *receiver, const QSize &shown)
{
    if (!isControlType(record.control_type))
        return nullptr;
    std::unique_ptr<ControlWidget> control(kMakers[record.control_type](record, console, receiver));
    control->m_type = record.control_type;
    control->configure(record, shown, true);
    return control;
}
