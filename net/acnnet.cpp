#include "net/acnnet.h"

#include "net/acnpacket.h"
#include "net/netlog.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

using namespace acnpacket;

namespace
{

const char MAKER_ADDRESS[] = "www.pultora.org";
constexpr int RECEIVE_BUFFER_SIZE = 1024;

} // namespace

struct acnnet::ObserverGroupsAside {
    explicit ObserverGroupsAside(acnnet *node) : node(node) { node->leaveObserverGroups(); }
    ~ObserverGroupsAside()
    {
        node->joinObserverGroups();
        node->reportRefusedGroups();
    }
    ObserverGroupsAside(const ObserverGroupsAside &) = delete;
    ObserverGroupsAside &operator=(const ObserverGroupsAside &) = delete;
    acnnet *node;
};

acnnet::acnnet(const NetEnvironment &env, QObject *parent) : QObject(parent), m_env(env)
{
    setSourceName(QStringLiteral("ACN 1.31 by ") + QLatin1String(MAKER_ADDRESS));
    discoverInterfaces();
}

acnnet::~acnnet()
{
    if (m_timer)
        m_timer->stop();
    // Receivers let go of every universe at once instead of after 2.5 s.
    for (int universe : sendingUniverses())
        stopSending(universe);
    if (m_socket) {
        leaveObserverGroups();
        QMutexLocker lock(&m_in.mutex());
        changeMemberships(false);
    }
    delete m_socket;
    m_socket = nullptr;
}

bool acnnet::discoverInterfaces()
{
    if (!m_discovered) {
        m_interfaces = discoverInterfaceList(
            m_env.interfaces ? m_env.interfaces() : QList<NetworkInterfaceInfo>(), true);
        m_discovered = true;
        m_loopbackOnly = isLoopbackOnly(m_interfaces);
    }
    return true;
}

void acnnet::setCid(const QUuid &cid)
{
    const QByteArray bytes = cid.toRfc4122();
    std::memcpy(m_cid, bytes.constData(), sizeof m_cid);
    ++m_sourceGeneration;
}

QUuid acnnet::cid() const
{
    return QUuid::fromRfc4122(QByteArrayView(m_cid, sizeof m_cid));
}

void acnnet::report(const QString &text)
{
    qCWarning(lcNet).noquote() << text;
    if (m_report)
        m_report(text);
}

void acnnet::setSourceName(const QString &name)
{
    std::memset(m_sourceName, 0, sizeof m_sourceName);
    const QByteArray latin = name.toLatin1();
    std::memcpy(m_sourceName, latin.constData(),
                size_t(std::min<qsizetype>(latin.size(), SOURCE_NAME_SIZE - 1)));
    ++m_sourceGeneration;
}

QHostAddress acnnet::multicastGroup(int wireUniverse)
{
    if (wireUniverse < MIN_UNIVERSE || wireUniverse > acnpacket::MAX_UNIVERSE)
        return QHostAddress();
    return QHostAddress(quint32(239) << 24 | quint32(255) << 16 | quint32(wireUniverse));
}

QHostAddress acnnet::destination(int wireUniverse) const
{
    if (wireUniverse < MIN_UNIVERSE || wireUniverse > acnpacket::MAX_UNIVERSE)
        return QHostAddress();
    return QHostAddress(destinationIpv4(wireUniverse));
}

quint32 acnnet::destinationIpv4(int wire) const
{
    // Without a network the loopback net receives what the LAN would.
    return quint32(m_loopbackOnly ? 127 : 239) << 24 | quint32(255) << 16 | quint32(wire);
}

bool acnnet::openSocket()
{
    if (m_socket)
        return true;
    DatagramSocket *socket = bindNodeSocket(m_env, PORT, m_shareAddress);
    if (!socket) {
        qCDebug(lcNet) << "cannot bind UDP port" << PORT;
        return false;
    }
    socket->setParent(this);
    m_socket = socket;
    connect(m_socket, &DatagramSocket::readyRead, this, &acnnet::readPackage);
    QMutexLocker lock(&m_in.mutex());
    changeMemberships(true);
    lock.unlock();
    reportRefusedGroups();
    return true;
}

bool acnnet::makeSendingReady()
{
    if (!openSocket())
        return false;
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setInterval(KEEP_ALIVE_TICK_MS);
        connect(m_timer, &QTimer::timeout, this, &acnnet::sendDataTimeout);
        m_timer->start();
    }
    return true;
}

bool acnnet::changeMemberships(bool join)
{
    if (!m_socket)
        return false;
    if (join == m_joined)
        return true;
    // Before the console names its first universe there is nothing to join.
    if (join && m_slots.base() < 0 && !m_slots.isList())
        return true;
    m_joined = join;
    const QList<UniverseSlots::Run> runs = heldRuns();
    int count = 0;
    bool ok = true;
    for (const UniverseSlots::Run &run : std::as_const(runs)) {
        count += run.count;
        for (int wire = run.first + 1; wire <= run.first + run.count; ++wire)
            ok = changeMembership(wire, join) && ok;
    }
    if (!ok)
        qCDebug(lcNet) << (join ? "joining" : "leaving") << "multicast groups failed for" << count
                       << "universes in" << runs.size() << "runs from"
                       << (runs.isEmpty() ? 0 : runs.first().first + 1);
    m_membershipsOk = ok;
    return ok;
}

QList<UniverseSlots::Run> acnnet::heldRuns() const
{
    if (m_slots.isList())
        return m_slots.runs(m_in.universes());
    if (m_slots.base() < 0)
        return {};
    return {{m_slots.base(), m_in.isRegistered() ? m_in.universes() : 1}};
}

QList<int> acnnet::wantedGroups() const
{
    QList<int> wires;
    for (const UniverseSlots::Run &run : heldRuns())
        for (int wire = run.first + 1; wire <= run.first + run.count; ++wire)
            wires.append(wire);
    return wires;
}

void acnnet::leaveObserverGroups()
{
    if (!m_socket)
        return;
    for (int wire : std::as_const(m_observerGroupWires))
        changeMembership(wire, false);
    m_observerGroupWires.clear();
}

bool acnnet::joinObserverGroups()
{
    if (m_observedWires.isEmpty() && m_observerGroupWires.isEmpty())
        return true;
    if (!m_socket)
        return false;
    const QList<int> held = m_joined ? wantedGroups() : QList<int>();
    QList<int> target, leave, join;
    std::set_difference(m_observedWires.cbegin(), m_observedWires.cend(), held.cbegin(),
                        held.cend(), std::back_inserter(target));
    std::set_difference(m_observerGroupWires.cbegin(), m_observerGroupWires.cend(), target.cbegin(),
                        target.cend(), std::back_inserter(leave));
    std::set_difference(target.cbegin(), target.cend(), m_observerGroupWires.cbegin(),
                        m_observerGroupWires.cend(), std::back_inserter(join));
    for (int wire : std::as_const(leave))
        changeMembership(wire, false);
    int failed = 0;
    for (int wire : std::as_const(join))
        failed += changeMembership(wire, true) ? 0 : 1;
    // A group refused on one interface may be joined on another: each
    // attempted group counts as joined, so it is left again.
    m_observerGroupWires = target;
    if (failed > 0)
        qCDebug(lcNet) << "joining multicast groups for observing failed for" << failed << "of"
                       << join.size() << "universes";
    return failed == 0;
}

bool acnnet::setDmxObserver(DmxObserver observer)
{
    m_observer = std::move(observer);
    return !m_observer || openSocket();
}

bool acnnet::setObservedUniverses(const QList<int> &universes)
{
    QList<int> wires;
    for (int universe : universes)
        if (universe >= 0 && universe <= MAX_UNIVERSE)
            wires.append(universe + 1);
    std::sort(wires.begin(), wires.end());
    wires.erase(std::unique(wires.begin(), wires.end()), wires.end());
    m_observedWires = wires;
    if (!wires.isEmpty() && !openSocket())
        return false;
    const bool ok = joinObserverGroups();
    reportRefusedGroups();
    return ok;
}

bool acnnet::changeMembership(int wire, bool join)
{
    const QHostAddress group = multicastGroup(wire);
    if (group.isNull())
        return true;
    // DMX-IN, the observer and the watch over sent universes may want the
    // same group; the socket joins it once.
    const auto entry = m_groupUsers.try_emplace(wire, 0).first;
    const int users = entry->second += join ? 1 : -1;
    if (users > (join ? 1 : 0))
        return true;
    if (users <= 0)
        m_groupUsers.erase(entry);
    if (users < 0)
        return true; // never joined
    bool ok = true;
    if (m_interfaces.isEmpty()) {
        ok = m_socket->setMulticastMembership(group, QHostAddress(QHostAddress::AnyIPv4), join);
    } else {
        for (const InterfaceEntry &entry : std::as_const(m_interfaces))
            ok = m_socket->setMulticastMembership(group, entry.addressEntry.ip(), join) && ok;
    }
    if (!ok && join)
        m_refusedWires.append(wire);
    return ok;
}

void acnnet::reportRefusedGroups()
{
    QStringList fresh;
    for (int wire : std::as_const(m_refusedWires))
        if (m_reportedRefused.insert(wire).second)
            fresh << QString::number(wire);
    m_refusedWires.clear();
    if (fresh.isEmpty())
        return;
    report(QCoreApplication::translate("acnnet",
                                       "streaming ACN: the system refused to listen to universe "
                                       "%1; its values do not arrive")
               .arg(fresh.join(QStringLiteral(", "))));
}

void acnnet::watch(Stream &stream, int wire)
{
    // Loopback-only sends go to a unicast address: whatever else is sent
    // there reaches the socket anyway.
    if (stream.watched || m_loopbackOnly)
        return;
    stream.watched = true;
    changeMembership(wire, true);
    reportRefusedGroups();
}

qint64 acnnet::sendTo(const quint8 *bytes, int length, const QHostAddress &target)
{
    if (!bytes)
        return -2;
    if (length <= 0)
        return -3;
    if (!m_socket || target.isNull())
        return -1;
    return m_socket->writeDatagram(reinterpret_cast<const char *>(bytes), length, target, PORT);
}

Header acnnet::header(int wire, quint8 sequence, quint8 options) const
{
    Header h;
    h.cid = m_cid;
    h.sourceName = m_sourceName;
    h.sequence = sequence;
    h.options = options;
    h.universe = wire;
    return h;
}

bool acnnet::encodeNext(Stream &stream, int wire, const quint8 *data, int length, quint8 options)
{
    const quint8 sequence = quint8(stream.sequence + 1);
    // The header of the last packet stands but for the number while the
    // length, the options and the source stay.
    if (stream.source == m_sourceGeneration && stream.size == HEADER_SIZE + length && data &&
        length >= 0 && stream.packet[OPTIONS_OFFSET] == options) {
        stream.packet[SEQUENCE_OFFSET] = sequence;
        std::memcpy(stream.packet + DATA_OFFSET, data, size_t(length));
        stream.sequence = sequence;
        return true;
    }
    const Header h = header(wire, sequence, options);
    const int size = encodeData(stream.packet, MAX_SIZE, h, data, length);
    if (size < 0)
        return false;
    stream.source = m_sourceGeneration;
    stream.size = size;
    stream.sequence = h.sequence;
    return true;
}

qint64 acnnet::sendDmx(const quint8 *data, int length, int universe)
{
    if (universe < 0 || universe > MAX_UNIVERSE)
        return sendFailed(QStringLiteral("universe %1 does not exist").arg(universe + 1), 0);
    if (!makeSendingReady())
        return sendFailed(QStringLiteral("cannot open UDP port %1").arg(PORT), -1);
    if (!data || length < 0 || length > MAX_SLOTS)
        return sendFailed(QStringLiteral("%1 slots cannot be sent").arg(data ? length : 0), -1);
    const int wire = universe + 1;
    Stream &stream = m_streams[wire];
    encodeNext(stream, wire, data, length, 0);
    const OutgoingDatagram datagram{reinterpret_cast<const char *>(stream.packet), stream.size,
                                    destinationIpv4(wire), PORT};
    if (m_socket->writeDatagrams(&datagram, 1) != 1) {
        const QString reason = m_socket->errorString();
        return sendFailed(
            QStringLiteral("sending to %1 failed").arg(QHostAddress(datagram.ipv4).toString()) +
                (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason),
            -1);
    }
    stream.lastSentMs = m_env.clockMs();
    stream.live = true;
    watch(stream, wire);
    if (!m_sendError.isEmpty())
        m_sendError.clear();
    return stream.size;
}

int acnnet::sendBatch(qint64 nowMs)
{
    const int sent =
        m_socket->writeDatagramsPastFailures(m_batch.data(), int(m_batch.size()), &m_batchLeft);
    for (size_t i = 0; i < m_batch.size(); ++i) {
        if (m_batchLeft[i]) {
            m_batchStreams[i]->lastSentMs = nowMs;
            m_batchStreams[i]->live = true;
        }
    }
    return sent;
}

int acnnet::sendDmxFrame(const Universe *universes, int count)
{
    if (count <= 0)
        return 0;
    if (!makeSendingReady()) {
        sendFailed(QStringLiteral("cannot open UDP port %1").arg(PORT), -1);
        return 0;
    }
    m_batch.clear();
    m_batchStreams.clear();
    QString refused;
    for (int i = 0; i < count; ++i) {
        const Universe &u = universes[i];
        if (u.universe < 0 || u.universe > MAX_UNIVERSE) {
            refused = QStringLiteral("universe %1 does not exist").arg(u.universe + 1);
            continue;
        }
        if (!u.data || u.length < 0 || u.length > MAX_SLOTS) {
            refused = QStringLiteral("%1 slots cannot be sent").arg(u.data ? u.length : 0);
            continue;
        }
        const int wire = u.universe + 1;
        Stream &stream = m_streams[wire];
        if (stream.frame == m_frame && stream.batchIndex >= 0) {
            // Named twice: the later levels go, once.
            encodeData(stream.packet, MAX_SIZE, header(wire, stream.sequence, 0), u.data, u.length);
            stream.size = HEADER_SIZE + u.length;
            stream.source = m_sourceGeneration;
            m_batch[size_t(stream.batchIndex)].size = stream.size;
            continue;
        }
        encodeNext(stream, wire, u.data, u.length, 0);
        stream.frame = m_frame;
        stream.batchIndex = int(m_batch.size());
        m_batch.push_back({reinterpret_cast<const char *>(stream.packet), stream.size,
                           destinationIpv4(wire), PORT});
        m_batchStreams.push_back(&stream);
    }
    ++m_frame;
    const int sent = sendBatch(m_env.clockMs());
    int firstFailed = -1;
    for (size_t i = 0; i < m_batch.size(); ++i) {
        if (m_batchLeft[i])
            watch(*m_batchStreams[i], int(m_batch[i].ipv4 & 0xFFFF));
        else if (firstFailed < 0)
            firstFailed = int(i);
    }
    if (firstFailed >= 0) {
        const QString reason = m_socket->errorString();
        const int failed = int(m_batch.size()) - sent;
        sendFailed(QStringLiteral("sending to %1 failed")
                           .arg(QHostAddress(m_batch[size_t(firstFailed)].ipv4).toString()) +
                       (failed > 1 ? QStringLiteral(" (%1 universes)").arg(failed) : QString()) +
                       (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason),
                   -1);
    } else if (!refused.isEmpty()) {
        sendFailed(refused, -1);
    } else {
        m_sendError.clear();
    }
    return sent;
}

bool acnnet::stopSending(int universe)
{
    const int wire = universe + 1;
    const auto it = m_streams.find(wire);
    if (it == m_streams.end() || !it->second.live || !m_socket)
        return false;
    Stream &stream = it->second;
    stream.live = false;
    // The last levels once more, marked as the end of the stream.
    quint8 levels[MAX_SLOTS];
    const int count = stream.size - HEADER_SIZE;
    std::memcpy(levels, stream.packet + DATA_OFFSET, size_t(count));
    const QHostAddress target(destinationIpv4(wire));
    for (int i = 0; i < 3; ++i) {
        encodeNext(stream, wire, levels, count, OPTION_STREAM_TERMINATED);
        sendTo(stream.packet, stream.size, target);
    }
    if (stream.watched) {
        stream.watched = false;
        changeMembership(wire, false);
    }
    return true;
}

QList<int> acnnet::sendingUniverses() const
{
    QList<int> out;
    for (const auto &[wire, stream] : m_streams)
        if (stream.live)
            out.append(wire - 1);
    std::sort(out.begin(), out.end());
    return out;
}

qint64 acnnet::sendFailed(const QString &error, qint64 result)
{
    // A fader moved while the network is down fails on every step: one
    // warning per run of equal failures.
    if (error != m_sendError)
        qCWarning(lcNet).noquote() << "sACN DMX not sent:" << error;
    m_sendError = error;
    return result;
}

qint64 acnnet::sendDataTimeout()
{
    if (!m_socket)
        return -1;
    // A receiver takes a packet only when its number is newer than the last
    // one: each repeat counts on.
    const qint64 now = m_env.clockMs();
    bool any = false;
    m_batch.clear();
    m_batchStreams.clear();
    for (auto &[wire, stream] : m_streams) {
        if (!stream.live)
            continue;
        any = true;
        if (now - stream.lastSentMs < KEEP_ALIVE_PERIOD_MS)
            continue;
        stream.packet[SEQUENCE_OFFSET] = ++stream.sequence;
        m_batch.push_back({reinterpret_cast<const char *>(stream.packet), stream.size,
                           destinationIpv4(wire), PORT});
        m_batchStreams.push_back(&stream);
    }
    if (!any)
        return -1;
    sendBatch(now);
    qint64 bytes = 0;
    for (size_t i = 0; i < m_batch.size(); ++i)
        if (m_batchLeft[i])
            bytes += m_batch[i].size;
    return bytes;
}

void acnnet::setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse)
{
    ObserverGroupsAside aside(this);
    if (array && size > 0)
        openSocket();
    QMutexLocker lock(&m_in.mutex());
    changeMemberships(false);
    lock.unlock();
    m_in.registerArray(array, size, channelsPerUniverse, false);
    if (array && size > 0) {
        lock.relock();
        changeMemberships(true);
    }
}

bool acnnet::setReceiveUniverse(int universe)
{
    if (universe < 0 || universe > MAX_UNIVERSE)
        return false;
    if (universe != m_slots.base()) {
        ObserverGroupsAside aside(this);
        QMutexLocker lock(&m_in.mutex());
        changeMemberships(false);
        m_slots.setBase(universe);
        changeMemberships(true);
    }
    return true;
}

bool acnnet::setReceiveUniverses(const QList<int> &universes)
{
    if (universes == m_slots.list())
        return true;
    UniverseSlots next = m_slots;
    if (!next.setList(universes, MAX_UNIVERSE))
        return false;
    ObserverGroupsAside aside(this);
    QMutexLocker lock(&m_in.mutex());
    changeMemberships(false);
    m_slots = next;
    changeMemberships(true);
    return true;
}

bool acnnet::setReceiveUniverseBuffer(quint8 *array, int size, const QList<int> &universes,
                                      int channelsPerUniverse)
{
    UniverseSlots next = m_slots;
    if (!next.setList(universes, MAX_UNIVERSE))
        return false;
    ObserverGroupsAside aside(this);
    if (!array || size <= 0) {
        QMutexLocker lock(&m_in.mutex());
        changeMemberships(false);
        m_slots = next;
        lock.unlock();
        m_in.registerArray(nullptr, 0, channelsPerUniverse, false);
        return true;
    }
    const bool joined = m_socket && m_joined;
    const QList<int> before = joined ? wantedGroups() : QList<int>();
    QList<int> previous;
    if (m_in.isRegistered())
        previous = m_slots.matchingSlots(next, DmxInArray::slotsFor(size, channelsPerUniverse),
                                         m_in.universes());
    {
        QMutexLocker lock(&m_in.mutex());
        m_slots = next;
    }
    m_in.registerArray(array, size, channelsPerUniverse, false, previous);
    if (!joined) {
        // A socket opened just now has joined the groups itself.
        if (openSocket()) {
            QMutexLocker lock(&m_in.mutex());
            changeMemberships(true);
        }
        return true;
    }
    // Universes that stay keep their groups: no gap in what arrives.
    const QList<int> after = wantedGroups();
    QList<int> leave, join;
    std::set_difference(before.cbegin(), before.cend(), after.cbegin(), after.cend(),
                        std::back_inserter(leave));
    std::set_difference(after.cbegin(), after.cend(), before.cbegin(), before.cend(),
                        std::back_inserter(join));
    QMutexLocker lock(&m_in.mutex());
    bool ok = true;
    for (int wire : std::as_const(leave))
        ok = changeMembership(wire, false) && ok;
    for (int wire : std::as_const(join))
        ok = changeMembership(wire, true) && ok;
    if (!ok)
        qCDebug(lcNet) << "moving multicast groups failed: leaving" << leave.size() << "joining"
                       << join.size();
    m_membershipsOk = ok;
    return true;
}

bool acnnet::getReceivedValue(int universe, int channel, quint8 &value) const
{
    if (universe > MAX_UNIVERSE)
        return false;
    const int slot = m_slots.slotOf(universe, m_in.universes());
    return slot >= 0 && m_in.value(slot, channel, value);
}

void acnnet::readPackage()
{
    if (!m_socket)
        return;
    quint8 buffer[RECEIVE_BUFFER_SIZE];
    QHostAddress sender;
    // One read per datagram until the socket is empty or the pass is full
    // (a datagram handler never deletes the socket), and one reading of the
    // clock for them all.
    const qint64 now = m_env.clockMs();
    for (int i = 0; i < MAX_DATAGRAMS_PER_PASS; ++i) {
        const qint64 n =
            m_socket->readDatagram(reinterpret_cast<char *>(buffer), sizeof buffer, &sender);
        if (n < 0)
            return;
        handle(buffer, int(std::min<qint64>(n, MAX_SIZE)), sender, now);
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

namespace
{

DropReason dropReason(Result result)
{
    switch (result) {
    case Result::TooShort:
        return DropReason::TooShort;
    case Result::BadPreamble:
        return DropReason::BadPreamble;
    case Result::BadIdentifier:
        return DropReason::BadIdentifier;
    case Result::BadRootFlags:
        return DropReason::BadFlags;
    case Result::BadRootVector:
        return DropReason::BadRootVector;
    case Result::BadFramingVector:
        return DropReason::BadFramingVector;
    case Result::BadUniverse:
        return DropReason::BadUniverse;
    case Result::BadDmpVector:
        return DropReason::BadDmpVector;
    case Result::BadAddressing:
        return DropReason::BadAddressing;
    case Result::BadValueCount:
        return DropReason::BadValueCount;
    case Result::NonZeroStartCode:
    case Result::Ok:
        break;
    }
    return DropReason::NonZeroStartCode;
}

} // namespace

void acnnet::handleDatagram(const quint8 *data, int length, const QHostAddress &sender)
{
    handle(data, length, sender, m_env.clockMs());
}

void acnnet::handle(const quint8 *data, int length, const QHostAddress &sender, qint64 nowMs)
{
    DataPacket packet;
    const Result result = decodeData(data, length, packet);
    if (result != Result::Ok) {
        drop(dropReason(result), length);
        return;
    }
    const bool own = std::memcmp(packet.cid, m_cid, CID_SIZE) == 0;
    if (!own && !(packet.options & (OPTION_PREVIEW | OPTION_STREAM_TERMINATED))) {
        const auto stream = m_streams.find(packet.universe);
        if (stream != m_streams.end() && stream->second.live)
            reportSecondSource(packet, sender);
    }
    const int slot =
        m_in.isRegistered() ? m_slots.slotOf(packet.universe - 1, m_in.universes()) : -1;
    if (slot < 0 && !m_observer) {
        // Our own packets come back on the groups we watch.
        if (!own)
            drop(m_in.isRegistered() ? DropReason::UniverseNotListened : DropReason::NotListening,
                 length, QStringLiteral("wire universe %1").arg(packet.universe));
        return;
    }
    if (m_merge.take(packet, nowMs) != AcnMerge::Outcome::Merged)
        return;
    int count = 0;
    const quint8 *levels = m_merge.levels(packet.universe, &count);
    if (m_observer) {
        // A copy: the observer may replace itself while it runs.
        const DmxObserver observer = m_observer;
        observer(packet.universe - 1, levels, count);
    }
    if (slot >= 0)
        m_in.write(slot, levels, count, false);
}

void acnnet::reportSecondSource(const DataPacket &packet, const QHostAddress &sender)
{
    const QByteArray cid(reinterpret_cast<const char *>(packet.cid), CID_SIZE);
    if (!m_reportedSources.insert({packet.universe, cid}).second)
        return;
    const QString name = QString::fromLatin1(
        reinterpret_cast<const char *>(packet.sourceName),
        qsizetype(qstrnlen(reinterpret_cast<const char *>(packet.sourceName), SOURCE_NAME_SIZE)));
    report(
        QCoreApplication::translate("acnnet", "streaming ACN universe %1 is also sent by \"%2\"%3: "
                                              "two consoles control it")
            .arg(packet.universe)
            .arg(name, sender.isNull() ? QString() : QStringLiteral(" at ") + sender.toString()));
}

void acnnet::drop(DropReason reason, int length, const QString &detail)
{
    m_drops.add(reason);
    qCDebug(lcNet).noquote() << "sACN: dropped" << length << "bytes -" << dropReasonName(reason)
                             << detail;
}
