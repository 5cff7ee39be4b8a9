#include "app/consoleio.h"

#include "app/startup.h"
#include "app/surface.h"
#include "model/dmxincolor.h"
#include "model/showdocument.h"

ConsoleIo::~ConsoleIo()
{
    // The window that shows notices is going away.
    m_objects.setNoticeHandler({});
    clear();
}

void ConsoleIo::applyNetworkPreferences()
{
    const PreferencesStruct &prefs = m_document.preferences();
    m_objects.setNetworkOptions(prefs.net_interface, prefs.artnet_always_broadcast);
}

QString ConsoleIo::send(const SettingDmxStruct &d, int v)
{
    applyNetworkPreferences();
    const PreferencesStruct &prefs = m_document.preferences();
    const SendOutcome outcome = m_output.send(d, v, false, &prefs);
    if (!outcome.ok)
        return failedSendStatusLine(d, v, outcome.error);
    return outputStatusLine(d, v, &prefs);
}

void ConsoleIo::sendInitialValues(bool storeOnly)
{
    applyNetworkPreferences();
    const PreferencesStruct &prefs = m_document.preferences();
    for (const SettingStruct &r : m_document.controls()) {
        const ControlWidget *control = m_surface.control(r.id);
        if (!control)
            continue;
        if (const auto value = control->currentValue())
            m_output.send(r.dmx_out, *value, storeOnly, &prefs);
        if (const auto value = control->advancedValue())
            m_output.send(r.dmx_out_advanced, *value, storeOnly, &prefs);
    }
}

void ConsoleIo::startShow(ShowDocument &document, bool withTimeout,
                          const std::function<void(int seconds)> &wait)
{
    m_showStarted = true;
    // A file demands its start-up delay through the preferences in memory;
    // that is no edit of the user's.
    PreferencesStruct prefs = document.preferences();
    combineStartupSettings(document.background(), prefs);
    if (prefs != document.preferences())
        document.raisePreferences(prefs);
    if (withTimeout && wait)
        wait(prefs.startup_timeout);
    sendInitialValues(prefs.startup_dmxsend_later);
}

void ConsoleIo::setUpInputs()
{
    if (m_inputsHeld)
        return;
    applyNetworkPreferences();
    QList<const SettingStruct *> records;
    records.reserve(m_document.controls().size());
    for (const SettingStruct &r : m_document.controls())
        records.append(&r);
    if (m_input.setUp(records, &m_document.background()))
        ++m_inputSetUps;
}

std::optional<QColor> ConsoleIo::pollInputs()
{
    const BackgroundStruct &background = m_document.background();
    const PreferencesStruct &prefs = m_document.preferences();
    std::optional<QColor> windowColor;
    // The background's input was changed to a universe the buffers do not
    // hold yet but should follow: set up again once.
    if (!m_input.followsBackground(background))
        setUpInputs();
    if (const auto v = m_input.fetch(background.dmx_in, &prefs))
        windowColor =
            dmxInColor(*v, background.dmx_in,
                       QColor(background.color_red, background.color_green, background.color_blue));
    for (const SettingStruct &r : m_document.controls()) {
        ControlWidget *control = m_surface.control(r.id);
        if (!control || !control->takesInput())
            continue;
        if (const auto v = m_input.fetch(r.dmx_in, &prefs, true))
            control->takeInput(*v);
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

void ConsoleIo::replaceShow(bool done)
{
    m_inputsHeld = false;
    if (!done)
        return;
    clear();
    setUpInputs();
}
