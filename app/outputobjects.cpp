#include "outputobjects.h"

#include "acnnet.h"
#include "acnsourceid.h"
#include "appinfo.h"
#include "artnet.h"
#include "command.h"
#include "http.h"
#include "midi.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

OutputObjects::OutputObjects(const NetEnvironment &env,
                             std::function<std::unique_ptr<MidiBackend>()> midiBackend)
    : m_env(env), m_midiBackend(std::move(midiBackend))
{
}

OutputObjects::~OutputObjects()
{
    clear();
}

void OutputObjects::clear()
{
    m_artnet.reset();
    m_acn.reset();
    m_midi.reset();
    m_http.reset();
    m_command.reset();
}

artnet *OutputObjects::artnetNode()
{
    if (!m_artnet) {
        m_artnet = std::make_unique<artnet>(false, m_env);
        m_artnet->setShareAddress(true);
        m_artnet->setFirmwareVersion(0, 8);
        m_artnet->setOemCode(0x0C, 0x14);
        const QString product = appinfo::productName();
        m_artnet->setNodeNames(product, QCoreApplication::translate("Pultora", "%1 V%2.%3 by ")
                                                .arg(product)
                                                .arg(appinfo::VERSION_MAJOR)
                                                .arg(appinfo::VERSION_MINOR) +
                                            appinfo::makerWebAddress());
        m_artnet->setPollReplyEnabled(true);
        m_artnet->setNodeReport(QStringLiteral("%1 %2").arg(product, QString()));
        if (m_dmxObserver)
            hookArtnet();
    }
    return m_artnet.get();
}

acnnet *OutputObjects::acnNode()
{
    if (!m_acn) {
        m_acn = std::make_unique<acnnet>(m_env);
        m_acn->setShareAddress(true);
        m_acn->setSourceName(appinfo::productName());
        if (!m_acnSource) {
            QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
            m_acnSource = AcnSourceId::claim(settings, QDir::tempPath());
        }
        m_acn->setCid(m_acnSource->cid());
        m_acn->setStatusReporter(m_report);
        if (m_dmxObserver)
            hookAcn();
    }
    return m_acn.get();
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
    artnet *node = artnetNode();
    const qint64 sent = node->sendDmx(reinterpret_cast<const quint8 *>(data.constData()),
                                      int(data.size()), universe);
    return nodeOutcome(sent, node->lastSendError());
}

SendOutcome OutputObjects::sendAcn(quint16 universe, const QByteArray &data)
{
    acnnet *node = acnNode();
    const qint64 sent = node->sendDmx(reinterpret_cast<const quint8 *>(data.constData()),
                                      int(data.size()), universe);
    return nodeOutcome(sent, node->lastSendError());
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

void OutputObjects::setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                                     const QList<int> &universes)
{
    // The node moves to the new buffer in one step, so universes that stay
    // keep their received state (and sACN its groups). A refused list
    // unregisters: no values rather than values in the wrong slots.
    if (protocol == PT_ARTNET) {
        artnet *node = artnetNode();
        if (!buffer || !node->setReceiveUniverseBuffer(buffer, size, universes, 512))
            node->setReceiveUniverseBuffer(nullptr, 0, {}, 512);
    } else if (protocol == PT_ACN) {
        acnnet *node = acnNode();
        if (!buffer || !node->setReceiveUniverseBuffer(buffer, size, universes, 512))
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
