#include "app/consoleio.h"

#include "app/outputconsent.h"
#include "app/startup.h"
#include "app/surface.h"
#include "model/dmxincolor.h"
#include "model/oscvalue.h"
#include "model/showdocument.h"
#include "net/netlog.h"
#include "net/oscpattern.h"

ConsoleIo::ConsoleIo(const ShowDocument &document, const Surface &surface,
                     const NetEnvironment &env)
    : m_document(document), m_surface(surface), m_objects(env), m_output(m_objects),
      m_input(m_objects)
{
    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(0);
    QObject::connect(&m_followTimer, &QTimer::timeout, &m_followTimer, [this] { followInputs(); });
    m_objects.setArrivalHandler(
        [this](quint8 protocol, int universe) { arrived(protocol, universe); });
    m_objects.setOscHandler([this](QByteArrayView address, const oscpacket::Value &value) {
        oscArrived(address, value);
    });
    // Until the user allows the show to call other computers, OSC reaches
    // this computer and the chosen interface's network only.
    m_objects.setOscResolveAllowed([this](const QString &host) {
        return m_document.preferences().http_other_hosts ||
               !oscHostNeedsConsent(host, m_objects.interfaceNetworks());
    });
}

ConsoleIo::~ConsoleIo()
{
    // The window that shows notices is going away, and the listeners.
    m_objects.setNoticeHandler({});
    m_objects.setArrivalHandler({});
    m_objects.setOscHandler({});
    clear();
}

void ConsoleIo::applyNetworkPreferences()
{
    const PreferencesStruct &prefs = m_document.preferences();
    m_objects.setNetworkOptions(prefs.net_interface, prefs.artnet_always_broadcast);
    m_objects.setOscPlainTargets(prefs.osc_plain_targets);
}

void ConsoleIo::setOscInPort(quint16 userPort)
{
    m_userOscPort = userPort;
    listenOsc();
}

void ConsoleIo::setRunOscInPort(std::optional<quint16> port)
{
    m_runOscPort = port;
    listenOsc();
}

void ConsoleIo::listenOsc()
{
    m_objects.listenOsc(m_runOscPort ? *m_runOscPort : m_userOscPort);
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
    indexListeners();
}

void ConsoleIo::indexListeners()
{
    m_universes.clear();
    m_arrived.clear();
    m_midiListeners.clear();
    m_oscInputs.clear();
    m_oscPatterns.clear();
    m_oscArrived.clear();
    const auto add = [this](quint32 id, const SettingDmxInStruct &in) {
        const quint8 protocol = in.protocol_type_in;
        if (protocol == PT_MIDI) {
            m_midiListeners.push_back({id, in});
        } else if (protocol == PT_OSC && !in.dmx_in_osc_address.isEmpty()) {
            const QByteArray address = in.dmx_in_osc_address.toUtf8();
            OscInput &input = m_oscInputs[address];
            if (input.listeners.empty() && !oscpattern::isLiteral(address)) {
                input.pattern = true;
                m_oscPatterns.push_back(address);
            }
            input.listeners.push_back({id, in});
        } else if (protocol == PT_ARTNET || protocol == PT_ACN)
            m_universes[universeKey(protocol, in.dmx_in_universe)].listeners.push_back({id, in});
    };
    add(0, m_document.background().dmx_in);
    for (const SettingStruct &r : m_document.controls()) {
        const ControlWidget *control = m_surface.control(r.id);
        if (control && control->takesInput())
            add(r.id, r.dmx_in);
    }
    // Every listener is offered what already arrived.
    for (auto &[key, universe] : m_universes) {
        universe.arrived = true;
        m_arrived.push_back(key);
    }
    m_midiArrived = !m_midiListeners.empty();
    const QList<QByteArray> listened = m_oscInputs.keys();
    m_input.keepOscLevels(QSet<QByteArray>(listened.cbegin(), listened.cend()));
    for (auto it = m_oscInputs.begin(); it != m_oscInputs.end(); ++it) {
        it->arrived = true;
        m_oscArrived.push_back(it.key());
    }
    m_followTimer.start();
}

void ConsoleIo::oscArrived(QByteArrayView address, const oscpacket::Value &value)
{
    OscArg kind = OscArg::Float;
    switch (value.kind) {
    case oscpacket::Value::Float:
        break;
    case oscpacket::Value::Int:
        kind = OscArg::Int;
        break;
    case oscpacket::Value::True:
        kind = OscArg::True;
        break;
    case oscpacket::Value::False:
        kind = OscArg::False;
        break;
    default:
        return; // no level in it
    }
    if (m_oscInputs.isEmpty())
        return;
    const quint8 level = oscLevel(kind, value.number);
    if (oscpattern::isLiteral(address)) {
        const QByteArray key = address.toByteArray();
        if (m_oscInputs.contains(key))
            oscLevelArrived(key, level);
        for (const QByteArray &pattern : m_oscPatterns)
            if (oscpattern::match(pattern, address) == oscpattern::MatchResult::Match)
                oscLevelArrived(pattern, level);
        return;
    }
    const oscpattern::Pattern pattern(address);
    if (!pattern.isValid()) {
        qCDebug(lcNet) << "OSC: malformed address pattern dropped:" << address;
        return;
    }
    // Each match has a step budget: a pattern built to backtrack costs a
    // bounded pass per address listened to.
    for (auto it = m_oscInputs.cbegin(); it != m_oscInputs.cend(); ++it)
        if (!it->pattern && pattern.match(it.key()) == oscpattern::MatchResult::Match)
            oscLevelArrived(it.key(), level);
}

void ConsoleIo::oscLevelArrived(const QByteArray &listened, quint8 level)
{
    m_input.setOscLevel(listened, level);
    OscInput &input = m_oscInputs[listened];
    if (!input.arrived) {
        input.arrived = true;
        m_oscArrived.push_back(listened);
    }
    if (!m_followTimer.isActive())
        m_followTimer.start();
}

void ConsoleIo::arrived(quint8 protocol, int universe)
{
    if (protocol == PT_MIDI) {
        m_midiArrived = !m_midiListeners.empty();
    } else {
        const auto it = m_universes.find(universeKey(protocol, universe));
        if (it == m_universes.end() || it->second.arrived)
            return;
        it->second.arrived = true;
        m_arrived.push_back(it->first);
    }
    if (!m_followTimer.isActive())
        m_followTimer.start();
}

void ConsoleIo::followInputs()
{
    // While a show is replaced the listeners are the old show's: what
    // arrived waits for the new one, or for the old one to stay.
    if (m_inputsHeld)
        return;
    const PreferencesStruct &prefs = m_document.preferences();
    // Taken out first: what arrives while the controls move waits for the
    // next pass.
    const std::vector<quint32> keys = std::exchange(m_arrived, {});
    for (const quint32 key : keys) {
        const auto it = m_universes.find(key);
        if (it == m_universes.end())
            continue;
        it->second.arrived = false;
        for (Listener &listener : it->second.listeners)
            offer(listener, prefs);
    }
    if (std::exchange(m_midiArrived, false))
        for (Listener &listener : m_midiListeners)
            offer(listener, prefs);
    for (const QByteArray &address : std::exchange(m_oscArrived, {})) {
        const auto it = m_oscInputs.find(address);
        if (it == m_oscInputs.end())
            continue;
        it->arrived = false;
        for (Listener &listener : it->listeners)
            offer(listener, prefs);
    }
    // Moved controls echo their outputs in this pass.
    m_objects.flush();
}

void ConsoleIo::offer(Listener &listener, const PreferencesStruct &prefs)
{
    const auto value = m_input.fetch(listener.in, &prefs, listener.id != 0);
    if (!value || *value == listener.offered)
        return;
    listener.offered = *value;
    if (listener.id == 0) {
        const BackgroundStruct &background = m_document.background();
        if (m_backgroundHandler)
            m_backgroundHandler(dmxInColor(
                *value, listener.in,
                QColor(background.color_red, background.color_green, background.color_blue)));
    } else if (ControlWidget *control = m_surface.control(listener.id)) {
        control->takeInput(*value);
    }
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
    if (!done) {
        if (!m_arrived.empty() || m_midiArrived || !m_oscArrived.empty())
            m_followTimer.start();
        return;
    }
    clear();
    setUpInputs();
}
