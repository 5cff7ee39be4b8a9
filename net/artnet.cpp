#include "net/artnet.h"

#include "net/artnetpacket.h"
#include "net/interfacewatch.h"
#include "net/netlog.h"

#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

using namespace artnetpacket;

namespace
{

const char MAKER_ADDRESS[] = "www.pultora.org";

// First-time traces, consumed by the first matching packet of the run
// whether or not tracing is on.
std::atomic_bool g_firstSyncPost{true};
std::atomic_bool g_firstSyncPre{true};
std::atomic_bool g_firstTimeCode{true};
std::atomic_bool g_firstMadrixPost{true};

// Largest datagram looked at; longer ones are read truncated.
constexpr int RECEIVE_BUFFER_SIZE = 1024;

} // namespace

artnet::artnet(bool trace, const NetEnvironment &env, QObject *parent)
    : DmxNode(QStringLiteral("Art-Net"), MAX_RECEIVE_UNIVERSE, true, parent), m_trace(trace),
      m_env(env), m_shortName(QStringLiteral("ArtNet by Tevo")),
      m_longName(QStringLiteral("ArtNet by ") + QLatin1String(MAKER_ADDRESS))
{
    m_lastSyncMs = nowMs();
    discoverInterfaces();
}

artnet::~artnet()
{
    if (m_timer)
        m_timer->stop();
    delete m_socket;
    m_socket = nullptr;
}

bool artnet::discoverInterfaces()
{
    if (!m_discovered) {
        m_interfaces = discoverInterfaceList(
            m_env.interfaces ? m_env.interfaces() : QList<NetworkInterfaceInfo>(), m_trace);
        m_discovered = true;
        if (!m_interfaces.isEmpty())
            m_broadcast = m_interfaces.first().addressEntry.broadcast();
    }
    return true;
}

bool artnet::setInterfaces(const QList<InterfaceEntry> &interfaces)
{
    if (interfaces.isEmpty() || (m_discovered && sameEntries(interfaces, m_interfaces)))
        return false;
    m_interfaces = interfaces;
    m_discovered = true;
    m_broadcast = m_interfaces.first().addressEntry.broadcast();
    m_subscribers.clear();
    m_polled = false;
    if (m_socket) {
        // Bound anew so nothing of the old network sticks to it; what it
        // held unread was sent to an address that is gone.
        delete m_socket;
        m_socket = nullptr;
        if (!openSocket())
            qCWarning(lcNet).noquote() << "Art-Net: cannot bind UDP port" << PORT << "anew";
    }
    return true;
}

void artnet::trace(const QString &line) const
{
    if (m_trace)
        qCDebug(lcNet).noquote() << line;
}

void artnet::setFirmwareVersion(quint8 high, quint8 low)
{
    m_versionHigh = high;
    m_versionLow = low;
}

void artnet::setOemCode(quint8 high, quint8 low)
{
    m_oemHigh = high;
    m_oemLow = low;
}

void artnet::setNodeNames(const QString &shortName, const QString &longName)
{
    m_shortName = shortName;
    m_longName = longName;
}

void artnet::setNodeReport(const QString &report)
{
    m_nodeReport = report;
}

bool artnet::openSocket()
{
    if (m_socket)
        return true;
    DatagramSocket *socket = bindNodeSocket(m_env, PORT, m_shareAddress);
    if (!socket) {
        trace(QStringLiteral("cannot bind UDP port %1").arg(PORT));
        return false;
    }
    socket->setParent(this);
    m_socket = socket;
    connect(m_socket, &DatagramSocket::readyRead, this, &artnet::readPackage);
    return true;
}

bool artnet::makeSendingReady()
{
    if (!openSocket())
        return false;
    if (!m_timer) {
        // A short tick: each universe is due 500 ms after its own last
        // transmission, whatever the phase of the timer.
        m_timer = new QTimer(this);
        m_timer->setInterval(KEEP_ALIVE_TICK_MS);
        connect(m_timer, &QTimer::timeout, this, &artnet::tick);
        m_timer->start();
    }
    return true;
}

void artnet::tick()
{
    pollIfDue();
    sendDataTimeout();
}

QString artnet::interfaceDescription() const
{
    if (m_interfaces.isEmpty())
        return QString();
    const InterfaceEntry &e = m_interfaces.first();
    const QString ip = e.addressEntry.ip().toString();
    return e.name.isEmpty() ? ip : e.name + QLatin1Char(' ') + ip;
}

bool artnet::pollDue()
{
    if (!m_socket || !m_timer || m_interfaces.isEmpty())
        return false;
    const qint64 now = nowMs();
    for (auto u = m_subscribers.begin(); u != m_subscribers.end();) {
        for (auto s = u->second.begin(); s != u->second.end();) {
            if (now - s->second > SUBSCRIBER_TIMEOUT_MS) {
                qCInfo(lcNet).noquote()
                    << "Art-Net universe" << u->first + 1 << "no longer subscribed by"
                    << QHostAddress(s->first).toString();
                s = u->second.erase(s);
            } else {
                ++s;
            }
        }
        u = u->second.empty() ? m_subscribers.erase(u) : std::next(u);
    }
    if (m_polled && now - m_lastPollMs < POLL_INTERVAL_MS)
        return false;
    m_polled = true;
    m_lastPollMs = now;
    return true;
}

bool artnet::pollIfDue()
{
    if (!pollDue())
        return false;
    quint8 packet[POLL_SIZE];
    const int size = encodePoll(packet, sizeof packet);
    return sendPacket(packet, size, m_broadcast) == size;
}

QList<QHostAddress> artnet::subscribers(int universe) const
{
    QList<QHostAddress> list;
    const auto u = m_subscribers.find(universe);
    if (u == m_subscribers.end())
        return list;
    const qint64 now = nowMs();
    for (const auto &[ip, seen] : u->second)
        if (now - seen <= SUBSCRIBER_TIMEOUT_MS)
            list.append(QHostAddress(ip));
    return list;
}

quint8 artnet::nextSequence(int universe)
{
    if (size_t(universe) >= m_sequence.size())
        m_sequence.resize(size_t(universe) + 1);
    quint8 &s = m_sequence[size_t(universe)];
    s = quint8(s % 255 + 1);
    return s;
}

void artnet::queueToUniverse(quint8 *packet, int size, int universe, int tag)
{
    const QList<QHostAddress> targets =
        m_alwaysBroadcast || m_subscribers.empty() ? QList<QHostAddress>() : subscribers(universe);
    // Every datagram is a packet of its own: each takes the next number.
    if (targets.size() <= 1) {
        // One datagram: it leaves straight from the packet's room.
        packet[DMX_SEQUENCE_OFFSET] = nextSequence(universe);
        queueInPlace(packet, size,
                     (targets.isEmpty() ? m_broadcast : targets.first()).toIPv4Address(), tag);
        return;
    }
    for (const QHostAddress &target : targets) {
        packet[DMX_SEQUENCE_OFFSET] = nextSequence(universe);
        queue(packet, size, target, tag);
    }
}

bool artnet::setPollReplyEnabled(bool enabled)
{
    if (!enabled) {
        m_pollReplyEnabled = false;
        return true;
    }
    if (!openSocket())
        return false;
    m_pollReplyEnabled = true;
    return true;
}

int artnet::sendUniverses(const DmxUniverse *universes, int count)
{
    if (m_interfaces.isEmpty())
        return int(sendFailed(QStringLiteral("no network interface"), 0));
    if (!makeSendingReady())
        return int(sendFailed(QStringLiteral("cannot open UDP port %1").arg(PORT), 0));
    startBatch();
    QString refused;
    const qint64 now = nowMs();
    for (int i = 0; i < count; ++i) {
        const DmxUniverse &u = universes[i];
        if (u.universe < 0 || u.universe > MAX_UNIVERSE) {
            refused =
                QStringLiteral("Port-Address %1 is above %2").arg(u.universe).arg(MAX_UNIVERSE);
            continue;
        }
        // Encoded straight into the universe's keep-alive room (the frame
        // names each universe once), and sent from there.
        quint8 *packet = m_keepAlive.room(u.universe);
        const int size = encodeDmx(packet, DMX_MAX_SIZE, u.universe, u.data, u.length);
        if (size < 0) {
            refused = QStringLiteral("%1 slots cannot be sent").arg(u.data ? u.length : 0);
            continue;
        }
        if (!m_polled && pollDue()) {
            // Learn the subscribers as early as possible.
            quint8 poll[POLL_SIZE];
            queue(poll, encodePoll(poll, sizeof poll), m_broadcast);
        }
        queueToUniverse(packet, size, u.universe, i);
        // The universe's targets are chosen anew at every repeat.
        m_keepAlive.sent(u.universe, size, now);
    }
    sendQueued();
    return frameSent(m_batch, refused, m_socket->errorString());
}

void artnet::startBatch()
{
    // Cleared, not freed: the next frame needs the same room.
    m_batch.clear();
    m_batchBytes.clear();
    m_copied.clear();
}

void artnet::queue(const quint8 *bytes, int length, const QHostAddress &destination, int tag)
{
    // Offsets for now: the byte store may move while it grows.
    m_copied.push_back(int(m_batch.datagrams.size()));
    m_batch.add(reinterpret_cast<const char *>(m_batchBytes.size()), length,
                destination.toIPv4Address(), PORT, tag);
    m_batchBytes.insert(m_batchBytes.end(), bytes, bytes + length);
}

void artnet::queueInPlace(const quint8 *bytes, int length, quint32 ipv4, int tag)
{
    m_batch.add(reinterpret_cast<const char *>(bytes), length, ipv4, PORT, tag);
}

void artnet::sendQueued()
{
    for (int i : m_copied) {
        OutgoingDatagram &d = m_batch.datagrams[size_t(i)];
        d.data = reinterpret_cast<const char *>(m_batchBytes.data()) + quintptr(d.data);
    }
    m_batch.send(*m_socket);
}

qint64 artnet::sendPacket(const quint8 *bytes, int length, const QHostAddress &destination)
{
    if (!m_socket || length <= 0)
        return -1;
    return m_socket->writeDatagram(reinterpret_cast<const char *>(bytes), length, destination,
                                   PORT);
}

qint64 artnet::sendDataTimeout()
{
    if (!m_socket)
        return -1;
    // Universes due together leave together.
    startBatch();
    int tag = 0;
    const int repeated = m_keepAlive.resendDue(nowMs(), [this, &tag](quint8 *p, int n) {
        if (n >= DMX_HEADER_SIZE)
            queueToUniverse(p, n, p[DMX_SUB_UNI_OFFSET] | p[DMX_NET_OFFSET] << 8, tag++);
    });
    if (repeated < 0)
        return -1;
    sendQueued();
    reportBatch(m_batch, m_socket->errorString());
    return m_batch.bytesLeft();
}

qint64 artnet::slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame,
                                quint8 Type, QHostAddress *DestIp)
{
    if (!makeSendingReady() || !discoverInterfaces())
        return -1;
    quint8 packet[TIME_CODE_SIZE];
    const int size = encodeTimeCode(packet, sizeof packet, Hour, Minute, Seconds, Frame, Type);
    if (DestIp)
        return sendPacket(packet, size, *DestIp);
    if (m_interfaces.isEmpty())
        return -1;
    qint64 total = 0;
    for (const InterfaceEntry &entry : std::as_const(m_interfaces))
        total += sendPacket(packet, size, entry.addressEntry.broadcast());
    return total;
}

qint64 artnet::slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame,
                                quint8 Type)
{
    return slotSendTimeCode(Hour, Minute, Seconds, Frame, Type, nullptr);
}

void artnet::receiveChanged()
{
    if (isReceiving())
        m_receiveReady = true;
}

void artnet::readPackage()
{
    if (!m_socket)
        return;
    quint8 buffer[RECEIVE_BUFFER_SIZE];
    QHostAddress sender;
    // One read per datagram until the socket is empty or the pass is full;
    // a datagram handler never deletes the socket.
    for (int i = 0; i < MAX_DATAGRAMS_PER_PASS; ++i) {
        const qint64 n =
            m_socket->readDatagram(reinterpret_cast<char *>(buffer), sizeof buffer, &sender);
        if (n < 0)
            return;
        handleDatagram(buffer, int(n), sender);
    }
    // More may be pending, also in the socket's own batch, which no read
    // notification announces.
    if (m_readQueued)
        return;
    m_readQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_readQueued = false;
            readPackage();
        },
        Qt::QueuedConnection);
}

void artnet::handleDatagram(const quint8 *data, int length, const QHostAddress &sender)
{
    const Header header = decodeHeader(data, length);
    if (header.id == Id::None) {
        drop(!data || length < MIN_DATAGRAM ? DropReason::TooShort : DropReason::BadIdentifier,
             length, sender);
    } else if (header.id == Id::ArtNet) {
        switch (header.opcode) {
        case OP_DMX:
            writeDmx(data, length, sender);
            break;
        case OP_POLL:
            if (!m_pollReplyEnabled || length < MIN_DATAGRAM)
                break;
            if (m_pollLimit.allow(sender.toIPv4Address(), nowMs()))
                sendPollReply(sender);
            else
                drop(DropReason::PollLimited, length, sender);
            break;
        case OP_POLL_REPLY:
            trace(QStringLiteral("Art-Net PollReply"));
            handlePollReply(data, length, sender);
            break;
        case OP_SYNC_POST:
            if (g_firstSyncPost.exchange(false))
                trace(QStringLiteral("receiving Art-Net SYNC POST ..."));
            trace(QStringLiteral("MadrixN SYNC POST "));
            handleSync(data, length);
            break;
        case OP_SYNC_PRE:
            if (g_firstSyncPre.exchange(false))
                trace(QStringLiteral("receiving Art-Net SYNC PRE ..."));
            trace(QStringLiteral("MadrixN SYNC PRE "));
            handleSync(data, length);
            break;
        case OP_TIME_CODE:
            if (g_firstTimeCode.exchange(false))
                trace(QStringLiteral("receiving Art-Net TIMECODE ..."));
            break;
        default:
            drop(DropReason::UnknownOpcode, length, sender,
                 QStringLiteral("0x%1").arg(header.opcode, 4, 16, QLatin1Char('0')));
            break;
        }
    } else if (header.id == Id::Madrix) {
        if (header.opcode == OP_SYNC_PRE) {
            trace(QStringLiteral("MadrixN SYNC PRE "));
            handleSync(data, length);
        } else if (header.opcode == OP_SYNC_POST) {
            if (g_firstMadrixPost.exchange(false))
                trace(QStringLiteral("receiving MadrixN SYNC POST ..."));
            trace(QStringLiteral("MadrixN SYNC POST "));
            handleSync(data, length);
        } else {
            drop(DropReason::UnknownOpcode, length, sender,
                 QStringLiteral("MadrixN 0x%1").arg(header.opcode, 4, 16, QLatin1Char('0')));
        }
    }
}

void artnet::drop(DropReason reason, int length, const QHostAddress &sender, const QString &detail)
{
    countDrop(reason);
    qCDebug(lcNet).noquote() << "Art-Net: dropped" << length << "bytes from" << sender.toString()
                             << "-" << dropReasonName(reason) << detail;
}

void artnet::handleSync(const quint8 *data, int length)
{
    if (length <= SYNC_HOLD_OFFSET)
        return;
    m_lastSyncMs = nowMs();
    m_syncHold = data[SYNC_HOLD_OFFSET];
    releaseHeld();
}

void artnet::writeDmx(const quint8 *data, int length, const QHostAddress &sender)
{
    DmxPacket packet;
    if (!decodeDmx(data, length, packet)) {
        drop(DropReason::TooShort, length, sender);
        return;
    }
    checkOtherSender(packet.universe, sender);
    if (m_syncHold != 0 && nowMs() - m_lastSyncMs > SYNC_TIMEOUT_MS) {
        // The sender stopped syncing: show what it held back and write
        // straight through again.
        m_syncHold = 0;
        releaseHeld();
    }
    DropReason why;
    if (!deliver(packet.universe, packet.data, std::min(packet.available, DMX_MAX_LENGTH),
                 m_syncHold != 0, &why))
        drop(why, length, sender,
             why == DropReason::UniverseNotListened
                 ? QStringLiteral("universe %1").arg(packet.universe)
                 : QString());
}

bool artnet::isOwnAddress(quint32 ip) const
{
    for (const InterfaceEntry &entry : m_interfaces)
        if (entry.addressEntry.ip().toIPv4Address() == ip)
            return true;
    return false;
}

void artnet::handlePollReply(const quint8 *data, int length, const QHostAddress &sender)
{
    PollReplyPorts ports;
    if (!decodePollReply(data, length, ports)) {
        drop(DropReason::TooShort, length, sender);
        return;
    }
    const quint32 ip = ports.ip ? ports.ip : sender.toIPv4Address();
    // Our own reply comes back with every poll we broadcast. Another program
    // on this machine shares our address and port: unicast to it would reach
    // one of the two sockets only, so it keeps the broadcast.
    if (ip == 0 || isOwnAddress(ip) || isOwnAddress(sender.toIPv4Address()))
        return;
    const qint64 now = nowMs();
    for (int universe : std::as_const(ports.outputUniverses)) {
        auto &subscribers = m_subscribers[universe];
        if (subscribers.find(ip) == subscribers.end())
            qCInfo(lcNet).noquote() << "Art-Net universe" << universe + 1 << "subscribed by"
                                    << QHostAddress(ip).toString();
        subscribers[ip] = now;
    }
}

void artnet::checkOtherSender(int universe, const QHostAddress &sender)
{
    if (size_t(universe) >= m_sequence.size() || m_sequence[size_t(universe)] == 0)
        return; // not a universe of ours
    const quint32 ip = sender.toIPv4Address();
    if (isOwnAddress(ip))
        return;
    const QPair<int, quint32> key(universe, ip);
    if (m_otherSenders.contains(key))
        return;
    m_otherSenders.insert(key);
    const QString text =
        QStringLiteral("Art-Net universe %1 is also sent by %2: two senders on one universe")
            .arg(universe + 1)
            .arg(sender.toString());
    qCWarning(lcNet).noquote() << text;
    if (m_notice)
        m_notice(text);
}

void artnet::sendPollReply(const QHostAddress &sender)
{
    if (!makeSendingReady() || !discoverInterfaces())
        return;
    const quint32 s = sender.toIPv4Address();
    const InterfaceEntry *match = nullptr;
    for (const InterfaceEntry &entry : std::as_const(m_interfaces)) {
        const quint32 mask = entry.addressEntry.netmask().toIPv4Address();
        if ((s & mask) == (entry.addressEntry.ip().toIPv4Address() & mask)) {
            match = &entry;
            break;
        }
    }
    if (!match)
        return;

    int ports = receiveSlots();
    QList<PollReplyPage> pages;
    if (holdsList() && ports > 0) {
        // One plan per run of consecutive universes, so no page announces a
        // universe the array does not hold.
        ports = 0;
        for (const UniverseSlots::Run &run : heldRuns()) {
            for (const PollReplyPage &page : planPollReplyPages(run.first, run.count)) {
                if (pages.size() >= REPLY_MAX_PAGES)
                    break;
                pages.append(page);
                ports += page.ports;
            }
        }
    } else {
        if (ports == 0 && m_receiveReady)
            ports = 1;
        pages = planPollReplyPages(receiveUniverse(), ports);
    }

    PollReplyInfo info;
    info.ip = match->addressEntry.ip().toIPv4Address();
    parseHardwareAddress(match->hardwareAddress, info.mac);
    info.versionHigh = m_versionHigh;
    info.versionLow = m_versionLow;
    info.oemHigh = m_oemHigh;
    info.oemLow = m_oemLow;
    info.shortName = m_shortName.toLatin1();
    info.longName = m_longName.toLatin1();
    info.nodeReport = formatNodeReport(REPORT_POWER_OK, m_repliesSent++, m_nodeReport.toLatin1());
    const bool bind = ports > 1;
    quint8 packet[REPLY_SIZE];
    for (int k = 0; k < pages.size(); ++k) {
        const PollReplyPage &page = pages.at(k);
        // Net and Sub-Net of the page go into NetSwitch and SubSwitch, the
        // low four bits of each port's Port-Address into its SwOut (as
        // Art-Net 4 wants; a controller that compares the whole byte, as OLA
        // 0.10 does, then subscribes to ports on Sub-Net 0 only).
        info.netSwitch = quint8((page.firstUniverse >> 8) & 0x7F);
        info.subSwitch = quint8((page.firstUniverse >> 4) & 0x0F);
        info.numPorts = page.ports;
        for (int i = 0; i < REPLY_MAX_PORTS; ++i)
            info.swOut[i] = i < page.ports ? quint8((page.firstUniverse + i) & 0x0F) : 0;
        info.bindIp = bind ? info.ip : 0;
        info.bindIndex = bind ? quint8(k + 1) : 0;
        const int size = encodePollReply(packet, sizeof packet, info);
        if (sendPacket(packet, size, sender) != size) {
            // A poller that cannot be reached fails at every poll: one
            // warning per run of equal failures.
            const QString error = QStringLiteral("ArtPollReply to %1 not sent: %2")
                                      .arg(sender.toString(), m_socket->errorString());
            if (error != m_replyError)
                qCWarning(lcNet).noquote() << "Art-Net:" << error;
            m_replyError = error;
            return;
        }
        m_replyError.clear();
        trace(QStringLiteral("PollReply to %1 from %2 SubId %3")
                  .arg(sender.toString(), match->addressEntry.ip().toString())
                  .arg(k));
    }
}
