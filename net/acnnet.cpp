#include "net/acnnet.h"

#include "net/acnpacket.h"
#include "net/interfacewatch.h"
#include "net/netlog.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

using namespace acnpacket;

namespace
{

const char MAKER_ADDRESS[] = "www.pultora.org";
constexpr int RECEIVE_BUFFER_SIZE = 1024;

} // namespace

acnnet::acnnet(const NetEnvironment &env, QObject *parent)
    : DmxNode(QStringLiteral("sACN"), MAX_UNIVERSE, false, parent), m_env(env)
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
    m_groups.leaveAll();
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

bool acnnet::setInterfaces(const QList<InterfaceEntry> &interfaces)
{
    if (interfaces.isEmpty() || (m_discovered && sameEntries(interfaces, m_interfaces)))
        return false;
    m_interfaces = interfaces;
    m_discovered = true;
    m_loopbackOnly = isLoopbackOnly(m_interfaces);
    // The memberships go with the old socket; a new one joins every wanted
    // group on the new interfaces.
    const bool open = m_socket;
    delete m_socket;
    m_socket = nullptr;
    m_groups.attach(nullptr, m_interfaces);
    // The watch over sent universes follows: on loopback only nothing goes
    // to the groups, on a network every universe kept alive is heard.
    for (const auto &stream : m_streams) {
        if (m_loopbackOnly && std::exchange(stream->watched, false))
            m_groups.remove(stream->wire);
        else if (!m_loopbackOnly && stream->live)
            watch(*stream);
    }
    if (open && !openSocket())
        qCWarning(lcNet).noquote() << "sACN: cannot bind UDP port" << PORT << "anew";
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
    // The groups wanted so far are joined now.
    m_membershipsOk = m_groups.attach(m_socket, m_interfaces);
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
        m_discoveryTimer = new QTimer(this);
        m_discoveryTimer->setInterval(DISCOVERY_PERIOD_MS);
        connect(m_discoveryTimer, &QTimer::timeout, this, &acnnet::sendDiscovery);
        m_discoveryTimer->start();
    }
    return true;
}

void acnnet::receiveChanged()
{
    QList<int> wires;
    for (const UniverseSlots::Run &run : heldRuns())
        for (int wire = run.first + 1; wire <= run.first + run.count; ++wire)
            wires.append(wire);
    // Universes that stay keep their groups: no gap in what arrives.
    const bool ok = m_groups.setWanted(MulticastGroups::DmxIn, wires);
    if (!ok)
        qCDebug(lcNet) << "joining multicast groups failed for some of" << wires.size()
                       << "universes";
    m_membershipsOk = ok;
    reportRefusedGroups();
}

bool acnnet::setObservedUniverses(const QList<int> &universes)
{
    QList<int> wires;
    for (int universe : universes)
        if (universe >= 0 && universe <= MAX_UNIVERSE)
            wires.append(universe + 1);
    if (!wires.isEmpty() && !openSocket())
        return false;
    const bool ok = m_groups.setWanted(MulticastGroups::Observer, wires);
    reportRefusedGroups();
    return ok;
}

void acnnet::reportRefusedGroups()
{
    const QList<int> refused = m_groups.takeRefused();
    if (refused.isEmpty())
        return;
    QStringList wires;
    for (int wire : refused)
        wires << QString::number(wire);
    report(QCoreApplication::translate("acnnet",
                                       "streaming ACN: the system refused to listen to universe "
                                       "%1; its values do not arrive")
               .arg(wires.join(QStringLiteral(", "))));
}

acnnet::Stream &acnnet::streamOf(int wire)
{
    if (size_t(wire) >= m_streamAt.size())
        m_streamAt.resize(size_t(wire) + 1, -1);
    int &at = m_streamAt[size_t(wire)];
    if (at < 0) {
        at = int(m_streams.size());
        m_streams.push_back(std::make_unique<Stream>());
        m_streams.back()->wire = wire;
    }
    return *m_streams[size_t(at)];
}

acnnet::Stream *acnnet::findStream(int wire) const
{
    const int at = wire >= 0 && size_t(wire) < m_streamAt.size() ? m_streamAt[size_t(wire)] : -1;
    return at < 0 ? nullptr : m_streams[size_t(at)].get();
}

void acnnet::watch(Stream &stream)
{
    // Loopback-only sends go to a unicast address: whatever else is sent
    // there reaches the socket anyway.
    if (m_loopbackOnly || stream.watched)
        return;
    stream.watched = true;
    m_groups.add(stream.wire);
    reportRefusedGroups();
}

bool acnnet::encodeNext(Stream &stream, int wire, const quint8 *data, int length, quint8 options)
{
    if (!data || length < 0 || length > MAX_SLOTS)
        return false;
    const quint8 sequence = quint8(stream.sequence + 1);
    // The header of the last packet stands but for the number while the
    // length, the options and the source stay.
    if (stream.source == m_sourceGeneration && stream.size == HEADER_SIZE + length &&
        stream.packet[OPTIONS_OFFSET] == options) {
        stream.packet[SEQUENCE_OFFSET] = sequence;
        std::memcpy(stream.packet + DATA_OFFSET, data, size_t(length));
        stream.sequence = sequence;
        return true;
    }
    Header h;
    h.cid = m_cid;
    h.sourceName = m_sourceName;
    h.sequence = sequence;
    h.options = options;
    h.universe = wire;
    const int size = encodeData(stream.packet, MAX_SIZE, h, data, length);
    if (size < 0)
        return false;
    stream.source = m_sourceGeneration;
    stream.size = size;
    stream.sequence = sequence;
    return true;
}

void acnnet::sendBatch(qint64 nowMs)
{
    m_batch.send(*m_socket);
    for (size_t i = 0; i < m_batchStreams.size(); ++i) {
        if (m_batch.left[i]) {
            Stream &stream = *m_batchStreams[i];
            stream.lastSentMs = nowMs;
            stream.live = true;
            watch(stream);
        }
    }
}

int acnnet::sendUniverses(const DmxUniverse *universes, int count)
{
    if (!makeSendingReady())
        return int(sendFailed(QStringLiteral("cannot open UDP port %1").arg(PORT), 0));
    m_batch.clear();
    m_batchStreams.clear();
    m_firstCopies.clear();
    QString refused;
    for (int i = 0; i < count; ++i) {
        const DmxUniverse &u = universes[i];
        if (u.universe < 0 || u.universe > MAX_UNIVERSE) {
            refused = QStringLiteral("universe %1 does not exist").arg(u.universe + 1);
            continue;
        }
        const int wire = u.universe + 1;
        Stream &stream = streamOf(wire);
        if (!encodeNext(stream, wire, u.data, u.length, 0)) {
            refused = QStringLiteral("%1 slots cannot be sent").arg(u.data ? u.length : 0);
            continue;
        }
        if (!stream.live) {
            // A start: the packet goes first numbered 128 past its own number.
            auto &copy = m_firstCopies.emplace_back();
            std::memcpy(copy.data(), stream.packet, size_t(stream.size));
            copy[SEQUENCE_OFFSET] = quint8(stream.sequence + 128);
            m_batch.add(reinterpret_cast<const char *>(copy.data()), stream.size,
                        destinationIpv4(wire), PORT, i);
            m_batchStreams.push_back(&stream);
        }
        m_batch.add(reinterpret_cast<const char *>(stream.packet), stream.size,
                    destinationIpv4(wire), PORT, i);
        m_batchStreams.push_back(&stream);
    }
    sendBatch(m_env.clockMs());
    return frameSent(m_batch, refused, m_socket->errorString());
}

bool acnnet::stopSending(int universe)
{
    const int wire = universe + 1;
    Stream *found = findStream(wire);
    if (!found || !found->live || !m_socket)
        return false;
    Stream &stream = *found;
    stream.live = false;
    // The last levels once more, marked as the end of the stream, each
    // packet with the next number.
    quint8 levels[MAX_SLOTS];
    const int count = stream.size - HEADER_SIZE;
    std::memcpy(levels, stream.packet + DATA_OFFSET, size_t(count));
    const QHostAddress target(destinationIpv4(wire));
    int left = 0;
    for (int i = 0; i < 3; ++i)
        if (encodeNext(stream, wire, levels, count, OPTION_STREAM_TERMINATED) &&
            m_socket->writeDatagram(reinterpret_cast<const char *>(stream.packet), stream.size,
                                    target, PORT) == stream.size)
            ++left;
    if (stream.watched) {
        stream.watched = false;
        m_groups.remove(wire);
    }
    if (left == 3)
        return true;
    const QString reason = m_socket->errorString();
    sendFailed(QStringLiteral("ending universe %1: %2 of 3 Stream_Terminated packets to %3 "
                              "failed")
                   .arg(wire)
                   .arg(3 - left)
                   .arg(target.toString()) +
               (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
    return false;
}

QList<int> acnnet::sendingUniverses() const
{
    QList<int> out;
    for (const auto &stream : m_streams)
        if (stream->live)
            out.append(stream->wire - 1);
    std::sort(out.begin(), out.end());
    return out;
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
    for (const auto &s : m_streams) {
        Stream &stream = *s;
        const int wire = stream.wire;
        if (!stream.live)
            continue;
        any = true;
        if (now - stream.lastSentMs < KEEP_ALIVE_PERIOD_MS)
            continue;
        if (stream.source == m_sourceGeneration) {
            stream.packet[SEQUENCE_OFFSET] = ++stream.sequence;
        } else {
            // A new CID or source name reaches the repeats too.
            quint8 levels[MAX_SLOTS];
            const int count = stream.size - HEADER_SIZE;
            std::memcpy(levels, stream.packet + DATA_OFFSET, size_t(count));
            encodeNext(stream, wire, levels, count, 0);
        }
        m_batch.add(reinterpret_cast<const char *>(stream.packet), stream.size,
                    destinationIpv4(wire), PORT, int(m_batchStreams.size()));
        m_batchStreams.push_back(&stream);
    }
    if (!any)
        return -1;
    sendBatch(now);
    // A repeat that fails is told as a frame's failure is.
    reportBatch(m_batch, m_socket->errorString());
    return m_batch.bytesLeft();
}

qint64 acnnet::sendDiscovery()
{
    const QList<int> universes = sendingUniverses();
    if (!m_socket || universes.isEmpty())
        return -1;
    std::vector<int> wires(universes.begin(), universes.end());
    for (int &wire : wires)
        ++wire;
    const int pages = int((wires.size() + DISCOVERY_PAGE_UNIVERSES - 1) / DISCOVERY_PAGE_UNIVERSES);
    const QHostAddress target(destinationIpv4(DISCOVERY_UNIVERSE));
    qint64 bytes = 0;
    quint8 packet[DISCOVERY_MAX_SIZE];
    for (int page = 0; page < pages; ++page) {
        const int first = page * DISCOVERY_PAGE_UNIVERSES;
        const int count = std::min(DISCOVERY_PAGE_UNIVERSES, int(wires.size()) - first);
        const int size = encodeDiscovery(packet, sizeof packet, m_cid, m_sourceName, page,
                                         pages - 1, wires.data() + first, count);
        if (m_socket->writeDatagram(reinterpret_cast<const char *>(packet), size, target, PORT) !=
            size) {
            qCDebug(lcNet) << "sACN universe discovery to" << target
                           << "not sent:" << m_socket->errorString();
            return -1;
        }
        bytes += size;
    }
    return bytes;
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
    case Result::Extended:
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
    // Universe discovery and synchronization of other sources, and our own
    // discovery on loopback, are no faults.
    if (result == Result::Extended)
        return;
    if (result != Result::Ok) {
        drop(dropReason(result), length);
        return;
    }
    const bool own = std::memcmp(packet.cid, m_cid, CID_SIZE) == 0;
    if (!own && !(packet.options & (OPTION_PREVIEW | OPTION_STREAM_TERMINATED))) {
        const Stream *stream = findStream(packet.universe);
        if (stream && stream->live)
            reportSecondSource(packet, sender);
    }
    DropReason why;
    if (!wants(packet.universe - 1, &why)) {
        // Our own packets come back on the groups we watch.
        if (!own)
            drop(why, length, QStringLiteral("wire universe %1").arg(packet.universe));
        return;
    }
    if (m_merge.take(packet, nowMs) != AcnMerge::Outcome::Merged)
        return;
    int count = 0;
    const quint8 *levels = m_merge.levels(packet.universe, &count);
    deliver(packet.universe - 1, levels, count, false, &why);
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
    countDrop(reason);
    qCDebug(lcNet).noquote() << "sACN: dropped" << length << "bytes -" << dropReasonName(reason)
                             << detail;
}
