#include "app/outputobjects.h"

#include "app/appinfo.h"
#include "app/outputconsent.h"
#include "io/command.h"
#include "io/http.h"
#include "io/midi.h"
#include "net/acnnet.h"
#include "net/acnsourceid.h"
#include "net/artnet.h"
#include "net/artnetpacket.h"
#include "net/interfaceentry.h"
#include "net/netlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

#include <utility>

OutputObjects::OutputObjects(const NetEnvironment &env,
                             std::function<std::unique_ptr<MidiBackend>()> midiBackend)
    : m_env(env), m_midiBackend(std::move(midiBackend))
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    QObject::connect(&m_flushTimer, &QTimer::timeout, &m_flushTimer, [this] { flush(); });
    if (m_env.interfaces) {
        m_watch.look(m_env.interfaces());
        m_watchTimer.setInterval(InterfaceWatch::PERIOD_MS);
        QObject::connect(&m_watchTimer, &QTimer::timeout, &m_watchTimer,
                         [this] { checkNetwork(); });
        m_watchTimer.start();
    }
}

OutputObjects::~OutputObjects()
{
    m_noticeHandler = nullptr;
    clear();
    m_osc.reset();
}

void OutputObjects::clear()
{
    // What was written before New or Open still leaves.
    flush();
    m_artnetIn = {};
    m_acnIn = {};
    m_sent.clear();
    m_artnet.reset();
    m_acn.reset();
    m_midi.reset();
    m_http.reset();
    m_command.reset();
    // The OSC node stays: its input is the user's, and its output holds
    // nothing of the show beyond the pass.
}

bool OutputObjects::setNetworkOptions(const QString &interfaceName, bool alwaysBroadcast)
{
    m_alwaysBroadcast = alwaysBroadcast;
    if (m_artnet)
        m_artnet->setAlwaysBroadcast(alwaysBroadcast);
    if (interfaceName == m_interfaceName)
        return false;
    m_interfaceName = interfaceName;
    m_networks.reset();
    m_watch.setInterfaceName(interfaceName);
    if (m_env.interfaces)
        m_watch.look(m_env.interfaces());
    if (m_osc && m_oscInPort != 0)
        bindOsc();
    if (!m_artnet && !m_acn)
        return false;
    // The nodes learn their interfaces once: new nodes on the new network,
    // with what was written so far and the DMX-IN registrations.
    const bool hadArtnet = bool(m_artnet), hadAcn = bool(m_acn);
    flush();
    m_artnet.reset();
    m_acn.reset();
    if (hadArtnet)
        artnetNode();
    if (hadAcn)
        acnNode();
    if (m_artnetIn.buffer)
        registerInput(PT_ARTNET);
    if (m_acnIn.buffer)
        registerInput(PT_ACN);
    for (const auto &[key, data] : m_sent)
        m_pending[key] = data;
    scheduleFlush();
    return true;
}

namespace
{

QString interfaceText(const NetEnvironment &env)
{
    const QList<InterfaceEntry> list = discoverInterfaceList(
        env.interfaces ? env.interfaces() : QList<NetworkInterfaceInfo>(), false);
    const InterfaceEntry &e = list.first();
    const QString ip = e.addressEntry.ip().toString();
    return e.name.isEmpty() ? ip : e.name + QLatin1Char(' ') + ip;
}

} // namespace

void OutputObjects::checkInterface()
{
    if (m_interfaceName.isEmpty() || !m_env.interfaces)
        return;
    for (const InterfaceChoice &c : interfaceChoices(m_env.interfaces()))
        if (c.name == m_interfaceName)
            return;
    notice(QCoreApplication::translate("Pultora", "Network %1 not found: Art-Net and streaming "
                                                  "ACN stay on this computer")
               .arg(m_interfaceName));
}

void OutputObjects::checkNetwork()
{
    if (!m_env.interfaces)
        return;
    const InterfaceWatch::Change change = m_watch.look(m_env.interfaces());
    if (change == InterfaceWatch::Change::None)
        return;
    if (change == InterfaceWatch::Change::Chosen) {
        const QList<InterfaceEntry> &now = m_watch.entries();
        const QString address = now.first().addressEntry.ip().toString();
        const QString name = now.first().name.isEmpty() ? address : now.first().name;
        QString text;
        if (isLoopbackOnly(now))
            text = QCoreApplication::translate("Pultora",
                                               "Network: %1 went away: Art-Net and streaming ACN "
                                               "stay on this computer (loopback only)")
                       .arg(describeEntries(m_watch.previousEntries()));
        else if (isLoopbackOnly(m_watch.previousEntries()))
            text = QCoreApplication::translate(
                       "Pultora", "Network: %1 is up, Art-Net and streaming ACN now use %2")
                       .arg(name, address);
        else
            text = QCoreApplication::translate(
                       "Pultora", "Network: %1 changed, Art-Net and streaming ACN now use %2")
                       .arg(name, address);
        qCInfo(lcNet).noquote() << text;
        followNetwork();
        notice(text);
    }
    if (m_networkHandler)
        m_networkHandler();
}

void OutputObjects::followNetwork()
{
    const QList<InterfaceEntry> &entries = m_watch.entries();
    if (m_artnet && m_artnet->setInterfaces(entries))
        m_artnet->setNodeReport(
            QStringLiteral("%1 %2").arg(appinfo::productName(), m_artnet->interfaceDescription()));
    if (m_acn)
        m_acn->setInterfaces(entries);
    QList<QNetworkAddressEntry> networks;
    if (!isLoopbackOnly(entries))
        for (const InterfaceEntry &e : entries)
            networks.append(e.addressEntry);
    const QList<InterfaceEntry> &previous = m_watch.previousEntries();
    const QHostAddress before =
        isLoopbackOnly(previous) ? QHostAddress() : previous.first().addressEntry.ip();
    m_networks = networks;
    const QHostAddress after = networks.isEmpty() ? QHostAddress() : networks.first().ip();
    if (m_osc && m_oscInPort != 0 && (after != before || m_osc->listeningPort() == 0) &&
        !m_osc->listen(m_oscInPort, after))
        notice(QCoreApplication::translate("Pultora", "OSC input: cannot listen on port %1 (%2)")
                   .arg(m_oscInPort)
                   .arg(m_osc->errorString()));
}

artnet *OutputObjects::artnetNode()
{
    if (!m_artnet) {
        checkInterface();
        m_artnet = std::make_unique<artnet>(false, withInterface(m_env, m_interfaceName));
        m_artnet->setShareAddress(true);
        m_artnet->setFirmwareVersion(0, 8);
        // No OEM code of our own: the unknown-product code, not another maker's.
        m_artnet->setOemCode(artnetpacket::OEM_UNKNOWN_HI, artnetpacket::OEM_UNKNOWN_LO);
        m_artnet->setAlwaysBroadcast(m_alwaysBroadcast);
        m_artnet->setNoticeHandler([this](const QString &text) { notice(text); });
        const QString product = appinfo::productName();
        m_artnet->setNodeNames(product, QCoreApplication::translate("Pultora", "%1 V%2.%3 by ")
                                                .arg(product)
                                                .arg(appinfo::VERSION_MAJOR)
                                                .arg(appinfo::VERSION_MINOR) +
                                            appinfo::makerWebAddress());
        m_artnet->setPollReplyEnabled(true);
        m_artnet->setNodeReport(
            QStringLiteral("%1 %2").arg(product, m_artnet->interfaceDescription()));
        qCInfo(lcNet).noquote() << "Art-Net uses the network" << m_artnet->interfaceDescription();
        m_artnet->setReceiveNotifier([this](int universe) { arrived(PT_ARTNET, universe); });
        if (m_dmxObserver)
            hookArtnet();
    }
    return m_artnet.get();
}

acnnet *OutputObjects::acnNode()
{
    if (!m_acn) {
        if (!m_artnet)
            checkInterface();
        const NetEnvironment env = withInterface(m_env, m_interfaceName);
        m_acn = std::make_unique<acnnet>(env);
        qCInfo(lcNet).noquote() << "streaming ACN uses the network" << interfaceText(env);
        m_acn->setShareAddress(true);
        m_acn->setSourceName(appinfo::productName());
        if (!m_acnSource) {
            QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
            m_acnSource = AcnSourceId::claim(settings, QDir::tempPath());
        }
        m_acn->setCid(m_acnSource->cid());
        m_acn->setStatusReporter(m_report);
        m_acn->setReceiveNotifier([this](int universe) { arrived(PT_ACN, universe); });
        if (m_dmxObserver)
            hookAcn();
    }
    return m_acn.get();
}

OscNode *OutputObjects::oscNode()
{
    if (!m_osc) {
        m_osc = std::make_unique<OscNode>(m_env);
        m_osc->setPlainTargets(m_oscPlain);
        m_osc->setResolveAllowed(m_oscAllowed);
        m_osc->setMessageHandler([this](QByteArrayView address, const oscpacket::Value &value) {
            oscArrived(address, value);
        });
    }
    return m_osc.get();
}

void OutputObjects::oscArrived(QByteArrayView address, const oscpacket::Value &value)
{
    if (m_oscHandler)
        m_oscHandler(address, value);
    // A copy: learning may stop while it runs.
    if (const OscNode::MessageHandler observer = m_oscObserver)
        observer(address, value);
}

void OutputObjects::setOscPlainTargets(const QStringList &plainTargets)
{
    if (plainTargets == m_oscPlain)
        return;
    m_oscPlain = plainTargets;
    if (m_osc)
        m_osc->setPlainTargets(m_oscPlain);
}

void OutputObjects::setOscResolveAllowed(std::function<bool(const QString &)> allowed)
{
    m_oscAllowed = std::move(allowed);
    if (m_osc)
        m_osc->setResolveAllowed(m_oscAllowed);
}

const QList<QNetworkAddressEntry> &OutputObjects::interfaceNetworks()
{
    if (!m_networks)
        m_networks = ownNetworks(m_env, m_interfaceName);
    return *m_networks;
}

QString OutputObjects::listenOsc(quint16 port)
{
    if (port == m_oscInPort && (port == 0 || m_osc))
        return QString();
    m_oscInPort = port;
    if (port == 0) {
        if (m_osc)
            m_osc->listen(0, {});
        return QString();
    }
    oscNode();
    return bindOsc();
}

QString OutputObjects::bindOsc()
{
    const QList<QNetworkAddressEntry> &networks = interfaceNetworks();
    const QHostAddress address = networks.isEmpty() ? QHostAddress() : networks.first().ip();
    if (m_osc->listen(m_oscInPort, address)) {
        qCInfo(lcNet).noquote() << "OSC input listens on port" << m_oscInPort << "of"
                                << (address.isNull()
                                        ? QStringLiteral("127.0.0.1")
                                        : address.toString() + QStringLiteral(" and 127.0.0.1"));
        return QString();
    }
    const QString text =
        QCoreApplication::translate("Pultora", "OSC input: cannot listen on port %1 (%2)")
            .arg(m_oscInPort)
            .arg(m_osc->errorString());
    qCWarning(lcNet).noquote() << text;
    notice(text);
    return text;
}

void OutputObjects::arrived(quint8 protocol, int universe)
{
    if (m_arrival)
        m_arrival(protocol, universe);
}

void OutputObjects::setStatusReporter(std::function<void(const QString &)> report)
{
    m_report = std::move(report);
    if (m_acn)
        m_acn->setStatusReporter(m_report);
}

midi *OutputObjects::midiObject()
{
    if (!m_midi) {
        m_midi = m_midiBackend ? std::make_unique<midi>(m_midiBackend()) : std::make_unique<midi>();
        m_midi->setNoticeHandler([this](const QString &text) { notice(text); });
        m_midi->setInputNotifier([this] { arrived(PT_MIDI, -1); });
        if (m_midiObserver)
            m_midi->setInputObserver(m_midiObserver);
    }
    return m_midi.get();
}

bool OutputObjects::observeDmx(DmxObserver observer, const QList<int> &acnUniverses)
{
    if (observer) {
        artnetNode();
        acnNode();
    }
    m_dmxObserver = std::move(observer);
    m_acnObserved = m_dmxObserver ? acnUniverses : QList<int>();
    bool ok = true;
    if (m_artnet)
        ok = hookArtnet() && ok;
    if (m_acn)
        ok = hookAcn() && ok;
    return ok;
}

bool OutputObjects::hookArtnet()
{
    if (!m_dmxObserver)
        return m_artnet->setDmxObserver({});
    return m_artnet->setDmxObserver([this](int universe, const quint8 *levels, int count) {
        // A copy: the observer may switch observing off while it runs.
        const DmxObserver observer = m_dmxObserver;
        if (observer)
            observer(PT_ARTNET, universe, levels, count);
    });
}

bool OutputObjects::hookAcn()
{
    if (!m_dmxObserver) {
        m_acn->setDmxObserver({});
        return m_acn->setObservedUniverses({});
    }
    const bool open = m_acn->setDmxObserver([this](int universe, const quint8 *levels, int count) {
        const DmxObserver observer = m_dmxObserver;
        if (observer)
            observer(PT_ACN, universe, levels, count);
    });
    return m_acn->setObservedUniverses(m_acnObserved) && open;
}

bool OutputObjects::observeMidi(int device, std::function<void(quint8, quint8, quint8)> observer)
{
    m_midiObserver = std::move(observer);
    if (!m_midiObserver) {
        if (m_midi)
            m_midi->setInputObserver({});
        return true;
    }
    midi *m = midiObject();
    m->setInputObserver(m_midiObserver);
    return device >= 0 && device <= 0xFF && m->openInputDevice(quint8(device));
}

namespace
{

SendOutcome nodeOutcome(qint64 sent, const QString &error)
{
    if (sent > 0)
        return {};
    return SendOutcome::failed(error.isEmpty() ? QStringLiteral("not sent") : error);
}

} // namespace

SendOutcome OutputObjects::sendArtNet(quint16 universe, const QByteArray &data)
{
    if (universe > artnet::MAX_UNIVERSE)
        return SendOutcome::failed(artnetUniverseRefusal());
    return queueFrame(PT_ARTNET, universe, data, artnetNode()->lastSendError());
}

SendOutcome OutputObjects::sendAcn(quint16 universe, const QByteArray &data)
{
    return queueFrame(PT_ACN, universe, data, acnNode()->lastSendError());
}

SendOutcome OutputObjects::queueFrame(quint8 protocol, quint16 universe, const QByteArray &data,
                                      const QString &lastError)
{
    // A shallow copy: the dispatch's next write to this universe detaches it.
    m_pending[{protocol, universe}] = data;
    scheduleFlush();
    // While the node's last send failed, say so now; the frame's own result
    // follows at the flush.
    return lastError.isEmpty() ? SendOutcome() : SendOutcome::failed(lastError);
}

void OutputObjects::scheduleFlush()
{
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void OutputObjects::notice(const QString &text)
{
    m_notices.append(text);
    scheduleFlush();
}

void OutputObjects::flush()
{
    m_flushTimer.stop();
    // Taken out first: a node's send may queue a notice.
    const auto frames = std::exchange(m_pending, {});
    // Each protocol's universes leave as one frame.
    std::vector<DmxUniverse> frame;
    for (const quint8 protocol : {PT_ARTNET, PT_ACN}) {
        frame.clear();
        for (auto it = frames.lower_bound({protocol, 0});
             it != frames.end() && it->first.first == protocol; ++it) {
            m_sent[it->first] = it->second;
            frame.push_back({it->first.second,
                             reinterpret_cast<const quint8 *>(it->second.constData()),
                             int(it->second.size())});
        }
        if (frame.empty())
            continue;
        DmxNode *node = protocol == PT_ARTNET ? static_cast<DmxNode *>(artnetNode()) : acnNode();
        if (node->sendFrame(frame.data(), int(frame.size())) == int(frame.size()))
            continue;
        const QString error = nodeOutcome(0, node->lastSendError()).error;
        if (frame.size() == 1)
            m_notices.append(failedFrameStatusLine(protocol, frame.front().universe, error));
        else if (protocol == PT_ARTNET)
            m_notices.append(
                QCoreApplication::translate("Pultora", "Art-Net: not sent (%1)").arg(error));
        else
            m_notices.append(
                QCoreApplication::translate("Pultora", "streaming ACN: not sent (%1)").arg(error));
    }
    m_flushTimer.stop(); // the notices the sends queued go out right here
    const QStringList notices = std::exchange(m_notices, {});
    if (m_noticeHandler)
        for (const QString &text : notices)
            m_noticeHandler(text);
}

SendOutcome OutputObjects::sendMidi(int device, quint8 status, quint8 channel, quint8 data1,
                                    quint8 data2)
{
    midi *m = midiObject();
    const int result = device >= 0 && device <= 0xFF
                           ? m->sendShortMessage(quint8(device), status, channel, data1, data2)
                           : int(midi::SendNoDevice);
    if (result == midi::SendOk)
        return {};
    return SendOutcome::failed(midi::sendResultText(result));
}

SendOutcome OutputObjects::requestUrl(const QString &server, const QString &link)
{
    if (!m_http)
        m_http = std::make_unique<http>();
    if (m_http->requestUrl(server, link))
        return {};
    return SendOutcome::failed(m_http->errorString());
}

SendOutcome OutputObjects::runCommand(const QString &path, const QString &text)
{
    if (!m_command)
        m_command = std::make_unique<command>();
    if (m_command->runCommand(path, text))
        return {};
    return SendOutcome::failed(m_command->errorString());
}

SendOutcome OutputObjects::sendOsc(const QString &host, quint16 port, const QByteArray &address,
                                   bool isFloat, double number)
{
    if (m_oscAllowed && !m_oscAllowed(host))
        return SendOutcome::failed(
            QCoreApplication::translate("Pultora",
                                        "%1 is another computer, which this show may not call")
                .arg(host));
    oscpacket::Value value;
    value.kind = isFloat ? oscpacket::Value::Float : oscpacket::Value::Int;
    value.number = number;
    const QString error = oscNode()->send(host, port, address, value);
    if (error.isEmpty())
        return {};
    qCWarning(lcNet).noquote() << "OSC" << address << "to" << host << port << "not sent:" << error;
    return SendOutcome::failed(error);
}

void OutputObjects::setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                                     const QList<int> &universes)
{
    // The node moves to the new buffer in one step, so universes that stay
    // keep their received state (and sACN its groups). A refused list
    // unregisters: no values rather than values in the wrong slots.
    if (protocol == PT_ARTNET)
        m_artnetIn = {buffer, size, universes};
    else if (protocol == PT_ACN)
        m_acnIn = {buffer, size, universes};
    registerInput(protocol);
}

void OutputObjects::registerInput(quint8 protocol)
{
    if (protocol == PT_ARTNET) {
        const Registration &r = m_artnetIn;
        artnet *node = artnetNode();
        if (!r.buffer || !node->setReceiveUniverseBuffer(r.buffer, r.size, r.universes, 512))
            node->setReceiveUniverseBuffer(nullptr, 0, {}, 512);
    } else if (protocol == PT_ACN) {
        const Registration &r = m_acnIn;
        acnnet *node = acnNode();
        if (!r.buffer || !node->setReceiveUniverseBuffer(r.buffer, r.size, r.universes, 512))
            node->setReceiveUniverseBuffer(nullptr, 0, {}, 512);
    }
}

void OutputObjects::ensureMidi()
{
    midiObject();
}

bool OutputObjects::receivedValue(quint8 protocol, quint16 universe, quint16 channel, quint8 *value)
{
    if (protocol == PT_ARTNET)
        return m_artnet && m_artnet->getReceivedValue(universe, channel, *value);
    if (protocol == PT_ACN)
        return m_acn && m_acn->getReceivedValue(universe, channel, *value);
    return false;
}

bool OutputObjects::midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                                   quint8 *value)
{
    if (!m_midi || device < 0 || device > 0xFF)
        return false;
    return m_midi->getInputValue(quint8(device), type, channel, number, *value);
}
