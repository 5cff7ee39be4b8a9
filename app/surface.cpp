#include "surface.h"

#include "appinfo.h"
#include "dmxdial.h"
#include "dmxdialpush.h"
#include "dmxpushbutton.h"
#include "dmxslider.h"
#include "dmxspin.h"
#include "palette.h"
#include "stretch.h"

#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <utility>

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

// An updated control's range also covers its input trigger values.
int lowValueWithInput(const SettingStruct &r)
{
    return qMin(lowValue(r), int(qMin(r.dmx_in.dmx_in_value_1, r.dmx_in.dmx_in_value_2)));
}
int highValueWithInput(const SettingStruct &r)
{
    return qMax(highValue(r), int(qMax(r.dmx_in.dmx_in_value_1, r.dmx_in.dmx_in_value_2)));
}

bool isHorizontal(quint8 type)
{
    return type == CT_FADER_HORIZONTAL || type == CT_FADER_HORIZONTAL_MIDDLE ||
           type == CT_PITCH_BEND_HORIZONTAL || type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

bool isCentreFader(quint8 type)
{
    return type == CT_FADER_VERTICAL_MIDDLE || type == CT_FADER_HORIZONTAL_MIDDLE ||
           type == CT_PITCH_BEND_VERTICAL_MIDDLE || type == CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

bool isPitchBend(quint8 type)
{
    return type >= CT_PITCH_BEND_VERTICAL && type <= CT_PITCH_BEND_HORIZONTAL_MIDDLE;
}

// Types whose input the console polls, or that show it as a colour.
bool usesDmxIn(quint8 type)
{
    return type < CT_PITCH_BEND_VERTICAL || type == CT_LED;
}

void setButtonIcon(DmxPushButton *button, const SettingStruct &r)
{
    button->setIcon(r.bitmap.isNull() ? QIcon() : QIcon(QPixmap::fromImage(r.bitmap)));
    // Square, from the stored width: the icon does not follow the stretch.
    const int side = int(qMin<quint32>(r.size_x, quint32(stretch::MAX_SHOWN)));
    button->setIconSize(QSize(side, side));
}

// The icon rule: the picture scaled to the shown size, or the name when the
// control has no picture.
void showIconOn(QLabel *label, const SettingStruct &r, const QSize &size)
{
    if (r.bitmap.isNull()) {
        label->setPixmap(QPixmap());
        label->setText(r.name);
        return;
    }
    label->setPixmap(
        QPixmap::fromImage(r.bitmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

} // namespace

Surface::Surface(QWidget *console, const BackgroundStruct *background)
    : m_console(console), m_background(background)
{
    registerControlMetaTypes();
}

Surface::~Surface()
{
    clear();
}

quint32 Surface::stretch() const
{
    return m_background ? stretch::effectiveStretch(m_background->stretch_factor)
                        : stretch::DEFAULT_STRETCH_PERCENT;
}

QRect Surface::shownRect(const SettingStruct &r) const
{
    return stretch::shownRect(r.position_x, r.position_y, r.size_x, r.size_y, stretch());
}

QList<const SettingStruct *> Surface::constControls() const
{
    QList<const SettingStruct *> list;
    list.reserve(m_controls.size());
    for (const SettingStruct *r : m_controls)
        list.append(r);
    return list;
}

SettingStruct *Surface::find(const QWidget *widget) const
{
    if (!widget)
        return nullptr;
    for (SettingStruct *r : m_controls) {
        if (r->widget == widget)
            return r;
    }
    return nullptr;
}

SettingStruct *Surface::hitTest(const QPoint &point, const QWidget *widget) const
{
    const QPoint p(qMax(0, point.x()), qMax(0, point.y()));
    for (auto it = m_controls.crbegin(); it != m_controls.crend(); ++it) {
        SettingStruct *r = *it;
        if (!r->widget)
            continue;
        const QRect rect = shownRect(*r);
        const bool inside = rect.left() <= p.x() && p.x() <= rect.left() + rect.width() &&
                            rect.top() <= p.y() && p.y() <= rect.top() + rect.height();
        if (r->widget == widget || inside)
            return r;
    }
    return nullptr;
}

Surface::Result Surface::apply(SettingStruct &edit)
{
    Result result;
    if (!edit.widget) {
        QWidget *widget = createWidget(edit);
        if (!widget) {
            qCDebug(lcApp) << "no widget for control type" << edit.control_type;
            result.applied = Applied::UnknownType;
            return result;
        }
        widget->setFixedSize(shownRect(edit).size());
        widget->move(shownRect(edit).topLeft());
        applyColorPalette(widget, colorOf(edit));
        widget->setToolTip(edit.description);
        widget->show();
        edit.widget = widget;
        m_controls.append(new SettingStruct(edit));
        result.applied = Applied::Created;
        result.dmxInChanged = usesDmxIn(edit.control_type);
        return result;
    }

    SettingStruct *record = find(edit.widget);
    if (!record)
        return result;
    *record = edit;
    updateWidget(*record);
    place(*record);
    applyColorPalette(record->widget, colorOf(*record));
    record->widget->setToolTip(record->description);
    result.applied = Applied::Updated;
    result.dmxInChanged = usesDmxIn(record->control_type);
    return result;
}

QWidget *Surface::createWidget(const SettingStruct &r)
{
    QWidget *const console = m_console;
    const quint8 type = r.control_type;
    switch (type) {
    case CT_BUTTON_PUSH:
    case CT_BUTTON_SWITCH: {
        auto *button = new DmxPushButton(r.name, console);
        button->setCheckable(type == CT_BUTTON_SWITCH);
        setButtonIcon(button, r);
        button->setBaseColor(colorOf(r));
        button->setDmx(r.dmx_out);
        button->setDmxIn(r.dmx_in);
        QObject::connect(button, SIGNAL(clicked(SettingDmxStruct, int)), console,
                         SLOT(slotControlPushClicked(SettingDmxStruct, int)));
        return button;
    }
    case CT_DIRECT_VALUE: {
        auto *spin = new DmxSpin(console);
        spin->setDmx(r.dmx_out);
        spin->setDmxIn(r.dmx_in);
        spin->setRange(lowValue(r), highValue(r));
        // The console opens its menu from context clicks on the spin box.
        spin->installEventFilter(console);
        for (QLineEdit *edit : spin->findChildren<QLineEdit *>())
            edit->installEventFilter(console);
        QObject::connect(spin, SIGNAL(valueChangedSpin(SettingDmxStruct, int)), console,
                         SLOT(slotControlSliderChanged(SettingDmxStruct, int)));
        return spin;
    }
    case CT_FADER_VERTICAL:
    case CT_FADER_HORIZONTAL:
    case CT_FADER_VERTICAL_MIDDLE:
    case CT_FADER_HORIZONTAL_MIDDLE:
    case CT_PITCH_BEND_VERTICAL:
    case CT_PITCH_BEND_HORIZONTAL:
    case CT_PITCH_BEND_VERTICAL_MIDDLE:
    case CT_PITCH_BEND_HORIZONTAL_MIDDLE: {
        auto *slider = new DmxSlider(isHorizontal(type) ? Qt::Horizontal : Qt::Vertical, console);
        slider->setTracking(true);
        slider->setTickPosition(QSlider::TicksBothSides);
        slider->setDmx(r.dmx_out);
        // Centre faders listen to their input from the start too, as they
        // do once edited: the poll feeds them either way.
        slider->setDmxIn(r.dmx_in);
        if (isCentreFader(type))
            slider->setDmxAdvanced(r.dmx_out_advanced);
        slider->setRange(lowValue(r), highValue(r));
        if (isPitchBend(type))
            slider->setCenterStart(true);
        QObject::connect(slider, SIGNAL(valueChangedSlider(SettingDmxStruct, int)), console,
                         SLOT(slotControlSliderChanged(SettingDmxStruct, int)));
        return slider;
    }
    case CT_KNOB:
    case CT_ENCODER: {
        auto *dial = new DmxDial(console);
        dial->setWrapping(type == CT_ENCODER);
        dial->setNotchesVisible(true);
        dial->setDmx(r.dmx_out);
        if (type == CT_KNOB)
            dial->setRange(lowValue(r), highValue(r));
        else
            dial->setRange(0, 255);
        QObject::connect(dial, SIGNAL(valueChangedDial(SettingDmxStruct, int)), console,
                         SLOT(slotControlPotiChanged(SettingDmxStruct, int)));
        return dial;
    }
    case CT_ENCODER_PUSH:
    case CT_ENCODER_SWITCH: {
        auto *dial = new DmxDialPush(console);
        dial->setWrapping(true);
        dial->setNotchesVisible(true);
        dial->setDmx(r.dmx_out);
        dial->setRange(0, 255);
        dial->setSwitchMode(type == CT_ENCODER_SWITCH);
        dial->setBaseColor(colorOf(r));
        dial->setDmxPush(r.dmx_out_advanced);
        dial->setDmxIn(r.dmx_in);
        QObject::connect(dial, SIGNAL(valueChangedDial(SettingDmxStruct, int)), console,
                         SLOT(slotControlPotiChanged(SettingDmxStruct, int)));
        QObject::connect(dial, SIGNAL(clicked(SettingDmxStruct, int)), console,
                         SLOT(slotControlPushClicked(SettingDmxStruct, int)));
        return dial;
    }
    case CT_LABEL: {
        auto *label = new QLabel(r.name, console);
        label->setAlignment(Qt::AlignCenter);
        label->setOpenExternalLinks(true);
        return label;
    }
    case CT_LED: {
        auto *led = new DmxPushButton(r.name, console);
        led->setCheckable(false);
        led->setEnabled(false);
        led->setBaseColor(colorOf(r));
        led->setDmxIn(r.dmx_in);
        led->installEventFilter(console);
        return led;
    }
    case CT_ICON: {
        auto *label = new QLabel(r.name, console);
        label->setAlignment(Qt::AlignCenter);
        showIconOn(label, r, shownRect(r).size());
        return label;
    }
    case CT_TIME: {
        auto *clock = new QLCDNumber(8, console);
        clock->setSegmentStyle(QLCDNumber::Flat);
        clock->setFrameStyle(QFrame::NoFrame);
        // The face takes the control's colour, as a button's does, so the
        // digits (the palette's text colour for it) stay readable on any
        // background.
        clock->setAutoFillBackground(true);
        clock->display(clockPlaceholder());
        m_shownTime.clear();
        return clock;
    }
    case CT_GROUP: {
        auto *group = new QGroupBox(escapeMnemonics(r.name), console);
        group->setAlignment(Qt::AlignHCenter);
        // A frame stays behind the controls it groups, so they keep
        // receiving the mouse.
        group->lower();
        return group;
    }
    default:
        return nullptr;
    }
}

void Surface::updateWidget(const SettingStruct &r)
{
    QWidget *const widget = r.widget;
    const quint8 type = r.control_type;
    // The record's type picks the update; a widget of another kind (a
    // record whose type was changed) keeps what it has.
    switch (type) {
    case CT_BUTTON_PUSH:
    case CT_BUTTON_SWITCH:
        if (auto *button = qobject_cast<DmxPushButton *>(widget)) {
            button->setText(r.name);
            setButtonIcon(button, r);
            button->setBaseColor(colorOf(r));
            button->setDmx(r.dmx_out);
            button->setDmxIn(r.dmx_in);
        }
        break;
    case CT_DIRECT_VALUE:
        if (auto *spin = qobject_cast<DmxSpin *>(widget)) {
            spin->setDmx(r.dmx_out);
            spin->setDmxIn(r.dmx_in);
            spin->setRange(lowValueWithInput(r), highValueWithInput(r));
        }
        break;
    case CT_FADER_VERTICAL:
    case CT_FADER_HORIZONTAL:
    case CT_FADER_VERTICAL_MIDDLE:
    case CT_FADER_HORIZONTAL_MIDDLE:
    case CT_PITCH_BEND_VERTICAL:
    case CT_PITCH_BEND_HORIZONTAL:
    case CT_PITCH_BEND_VERTICAL_MIDDLE:
    case CT_PITCH_BEND_HORIZONTAL_MIDDLE:
        if (auto *slider = qobject_cast<DmxSlider *>(widget)) {
            slider->setDmx(r.dmx_out);
            slider->setDmxIn(r.dmx_in);
            slider->setRange(lowValueWithInput(r), highValueWithInput(r));
            if (isPitchBend(type))
                slider->setCenterStart(true);
            if (isCentreFader(type))
                slider->setDmxAdvanced(r.dmx_out_advanced);
            else
                slider->setDmxAdvanced(nullptr);
        }
        break;
    case CT_KNOB:
    case CT_ENCODER:
        if (auto *dial = qobject_cast<DmxDial *>(widget)) {
            dial->setDmx(r.dmx_out);
            if (type == CT_KNOB)
                dial->setRange(lowValue(r), highValue(r));
            else
                dial->setRange(0, 255);
        }
        break;
    case CT_ENCODER_PUSH:
    case CT_ENCODER_SWITCH:
        if (auto *dial = qobject_cast<DmxDialPush *>(widget)) {
            dial->setDmx(r.dmx_out);
            dial->setRange(0, 255);
            dial->setBaseColor(colorOf(r));
            dial->setDmxPush(r.dmx_out_advanced);
        }
        break;
    case CT_LABEL:
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(r.name);
        break;
    case CT_LED:
        if (auto *led = qobject_cast<DmxPushButton *>(widget)) {
            led->setText(r.name);
            led->setBaseColor(colorOf(r));
            led->setDmxIn(r.dmx_in);
        }
        break;
    case CT_ICON:
        if (auto *label = qobject_cast<QLabel *>(widget))
            showIconOn(label, r, shownRect(r).size());
        break;
    case CT_TIME:
        if (auto *clock = qobject_cast<QLCDNumber *>(widget))
            clock->display(clockPlaceholder());
        m_shownTime.clear();
        break;
    case CT_GROUP:
        if (auto *group = qobject_cast<QGroupBox *>(widget))
            group->setTitle(escapeMnemonics(r.name));
        break;
    default:
        break;
    }
}

void Surface::place(const SettingStruct &r)
{
    if (!r.widget)
        return;
    const QRect rect = shownRect(r);
    r.widget->setFixedSize(rect.size());
    r.widget->move(rect.topLeft());
}

void Surface::applyBackground()
{
    if (!m_background)
        return;
    const BackgroundStruct &bg = *m_background;
    m_console->move(int(qMin<quint32>(bg.position_x, quint32(stretch::MAX_SHOWN))),
                    int(qMin<quint32>(bg.position_y, quint32(stretch::MAX_SHOWN))));
    m_console->resize(stretch::shownSize(bg.size_x, bg.size_y, stretch()));
    applyColorPalette(m_console, QColor(bg.color_red, bg.color_green, bg.color_blue));
    m_scaledPicture = QPixmap();
    m_console->update();
    for (const SettingStruct *r : std::as_const(m_controls)) {
        place(*r);
        if (r->control_type == CT_ICON) {
            if (auto *label = qobject_cast<QLabel *>(r->widget))
                showIconOn(label, *r, shownRect(*r).size());
        }
    }
}

void Surface::storeWindowSize(BackgroundStruct &background, int width, int height)
{
    background.size_x = stretch::toStoredLength(width, background.stretch_factor);
    background.size_y = stretch::toStoredLength(height, background.stretch_factor);
}

void Surface::paintBackground(QPainter &painter, const QRect &rect)
{
    if (!m_background || m_background->bitmap.isNull())
        return;
    const QSize size = stretch::shownSize(m_background->size_x, m_background->size_y, stretch());
    if (size.isEmpty())
        return;
    // Scaling a large picture on every paint would make dragging a fader
    // over it slow: keep the scaled copy until picture or size change.
    const qint64 key = m_background->bitmap.cacheKey();
    if (m_scaledPicture.isNull() || m_scaledKey != key || m_scaledPicture.size() != size) {
        m_scaledPicture = QPixmap::fromImage(
            m_background->bitmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaledKey = key;
    }
    painter.drawPixmap(rect.topLeft(), m_scaledPicture, rect.translated(-rect.topLeft()));
}

void Surface::blink(const QWidget *first, const QWidget *second)
{
    if (m_controls.isEmpty() || (!first && !second))
        return;
    bool firstDone = !first;
    bool secondDone = !second;
    for (const SettingStruct *r : std::as_const(m_controls)) {
        if (!r->widget)
            continue;
        const bool isFirst = !firstDone && r->widget == first;
        const bool isSecond = !secondDone && r->widget == second;
        if (isFirst || isSecond) {
            // Plain widgets (labels, clocks, frames) cannot blink.
            if (r->widget->metaObject()->indexOfMethod("Blink(quint16,quint16,bool)") >= 0) {
                QMetaObject::invokeMethod(r->widget, "Blink", Q_ARG(quint16, 3000),
                                          Q_ARG(quint16, 250), Q_ARG(bool, isFirst));
            }
            firstDone = firstDone || isFirst;
            secondDone = secondDone || isSecond;
        }
        if (firstDone && secondDone)
            break;
    }
}

void Surface::showTime(const QString &time)
{
    if (time == m_shownTime)
        return;
    m_shownTime = time;
    for (const SettingStruct *r : std::as_const(m_controls)) {
        if (r->control_type != CT_TIME)
            continue;
        if (auto *clock = qobject_cast<QLCDNumber *>(r->widget))
            clock->display(time);
    }
}

void Surface::remove(SettingStruct *record)
{
    if (!m_controls.removeOne(record))
        return;
    if (record->widget) {
        record->widget->hide();
        delete record->widget;
    }
    delete record;
}

void Surface::clear()
{
    const QList<SettingStruct *> controls = std::exchange(m_controls, {});
    for (SettingStruct *r : controls) {
        delete r->widget;
        delete r;
    }
}
