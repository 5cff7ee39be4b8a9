#include "consoleio.h"

#include "dmxdial.h"
#include "dmxdialpush.h"
#include "dmxincolor.h"
#include "dmxpushbutton.h"
#include "dmxslider.h"
#include "dmxspin.h"

ConsoleIo::~ConsoleIo()
{
    clear();
}

QString ConsoleIo::send(const SettingDmxStruct &d, int v, const PreferencesStruct &prefs)
{
    m_output.send(d, v, false, &prefs);
    return outputStatusLine(d, v, &prefs);
}

void ConsoleIo::sendInitialValues(const QList<SettingStruct *> &controls, bool storeOnly,
                                  const PreferencesStruct &prefs)
{
    for (const SettingStruct *r : controls) {
        QWidget *w = r->widget;
        if (!w)
            continue;
        std::optional<int> value;
        switch (r->control_type) {
        case CT_BUTTON_PUSH:
        case CT_BUTTON_SWITCH:
            if (auto *b = qobject_cast<DmxPushButton *>(w))
                value = b->currentValue();
            break;
        case CT_DIRECT_VALUE:
            if (auto *s = qobject_cast<DmxSpin *>(w))
                value = s->currentValue();
            break;
        case CT_KNOB:
        case CT_ENCODER:
        case CT_ENCODER_PUSH:
        case CT_ENCODER_SWITCH:
            if (auto *d = qobject_cast<DmxDial *>(w))
                value = d->currentValue();
            break;
        default:
            if (r->control_type >= CT_FADER_VERTICAL &&
                r->control_type <= CT_PITCH_BEND_HORIZONTAL_MIDDLE)
                if (auto *s = qobject_cast<DmxSlider *>(w))
                    value = s->currentValue();
            break;
        }
        if (!value)
            continue;
        m_output.send(r->dmx_out, *value, storeOnly, &prefs);
        if (r->control_type == CT_ENCODER_PUSH || r->control_type == CT_ENCODER_SWITCH)
            if (auto *p = qobject_cast<DmxDialPush *>(w))
                m_output.send(r->dmx_out_advanced, p->pushValue(), storeOnly, &prefs);
    }
}

void ConsoleIo::setUpInputs(const QList<SettingStruct *> &controls,
                            const BackgroundStruct &background)
{
    m_input.setUp(QList<const SettingStruct *>(controls.cbegin(), controls.cend()), &background);
}

std::optional<QColor> ConsoleIo::pollInputs(const QList<SettingStruct *> &controls,
                                            const BackgroundStruct &background,
                                            const PreferencesStruct &prefs)
{
    std::optional<QColor> windowColor;
    // The background's input was changed to a universe the buffers do not
    // hold yet but should follow: set up again once.
    if (!m_input.followsBackground(background))
        setUpInputs(controls, background);
    if (const auto v = m_input.fetch(background.dmx_in, &prefs))
        windowColor =
            dmxInColor(*v, background.dmx_in,
                       QColor(background.color_red, background.color_green, background.color_blue));
    for (const SettingStruct *r : controls) {
        QWidget *w = r->widget;
        if (!w)
            continue;
        switch (r->control_type) {
        case CT_BUTTON_PUSH:
        case CT_BUTTON_SWITCH:
        case CT_LED:
            if (auto *b = qobject_cast<DmxPushButton *>(w))
                if (const auto v = m_input.fetch(r->dmx_in, &prefs, true))
                    b->setDmxInColor(*v);
            break;
        case CT_DIRECT_VALUE:
            if (auto *s = qobject_cast<DmxSpin *>(w))
                if (const auto v = m_input.fetch(r->dmx_in, &prefs, true))
                    s->setDmxInValue(*v);
            break;
        case CT_FADER_VERTICAL:
        case CT_FADER_HORIZONTAL:
        case CT_FADER_VERTICAL_MIDDLE:
        case CT_FADER_HORIZONTAL_MIDDLE:
            if (auto *s = qobject_cast<DmxSlider *>(w))
                if (const auto v = m_input.fetch(r->dmx_in, &prefs, true))
                    s->setDmxInValue(*v);
            break;
        default:
            break;
        }
    }
    return windowColor;
}

void ConsoleIo::clear()
{
    // The nodes forget the DMX-IN buffers with themselves; the buffers stay
    // until the next set-up replaces them.
    m_input.detach();
    m_objects.clear();
    m_output.clear();
}
