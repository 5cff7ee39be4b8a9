#include "acnnet.h"

#include "acnpacket.h"
#include "netlog.h"

#include <QTimer>

#include <cstring>

using namespace acnpacket;

namespace
{

const char MAKER_ADDRESS[] = "www.pultora.org";
constexpr int RECEIVE_BUFFER_SIZE = 1024;

} // namespace

acnnet::acnnet(const NetEnvironment &env, QObject *parent) : QObject(parent), m_env(env)
{
    setSourceName(QStringLiteral("ACN 1.31 by ") + QLatin1String(MAKER_ADDRESS));
    discoverInterfaces();
}

acnnet::~acnnet()
{
    if (m_timer)
        m_timer->stop();
    if (m_socket) {
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
    }
    return true;
}

void acnnet::setSourceName(const QString &name)
{
    std::memset(m_sourceName, 0, sizeof m_sourceName);
    const QByteArray latin = name.toLatin1();
    std::memcpy(m_sourceName, latin.constData(),
                size_t(std::min<qsizetype>(latin.size(), SOURCE_NAME_SIZE - 1)));
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
    // Without a network the loopback net receives what the LAN would.
    if (isLoopbackOnly(m_interfaces))
        return QHostAddress(quint32(127) << 24 | quint32(255) << 16 | quint32(wireUniverse));
    return multicastGroup(wireUniverse);
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
    QList<UniverseSlots::Run> runs;
    if (m_slots.isList())
        runs = m_slots.runs(m_in.universes());
    else
        runs.append({m_slots.base(), m_in.isRegistered() ? m_in.universes() : 1});
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

bool acnnet::changeMembership(int wire, bool join)
{
    const QHostAddress group = multicastGroup(wire);
    if (group.isNull())
        return true;
    if (m_interfaces.isEmpty())
        return m_socket->setMulticastMembership(group, QHostAddress(QHostAddress::AnyIPv4), join);
    bool ok = true;
    for (const InterfaceEntry &entry : std::as_const(m_interfaces))
        ok = m_socket->setMulticastMembership(group, entry.addressEntry.ip(), join) && ok;
    return ok;
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

qint64 acnnet::sendDmx(const quint8 *data, int length, int universe)
{
    if (universe < 0 || universe > MAX_UNIVERSE)
        return 0;
    if (!makeSendingReady())
        return -1;
    if (!data || length < 0 || length > MAX_SLOTS)
        return -1;
    const int wire = universe + 1;
    quint8 &sequence = m_sequence[wire];
    const quint8 next = quint8(sequence + 1);
    quint8 packet[MAX_SIZE];
    const int size = encodeData(packet, sizeof packet, m_sourceName, next, wire, data, length);
    if (size < 0)
        return -1;
    sequence = next;
    const QHostAddress target = destination(wire);
    const qint64 sent = sendTo(packet, size, target);
    if (sent >= 0)
        m_keepAlive.store(wire, packet, size, target, m_env.clockMs());
    return sent;
}

qint64 acnnet::sendDataTimeout()
{
    if (!m_socket)
        return -1;
    return m_keepAlive.resendDue(
        m_env.clockMs(),
        [this](const quint8 *p, int n, const QHostAddress &d) { return sendTo(p, n, d); });
}

void acnnet::setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse)
{
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
    QMutexLocker lock(&m_in.mutex());
    changeMemberships(false);
    m_slots = next;
    changeMemberships(true);
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
    // One read per datagram until the socket is empty; a datagram handler
    // never deletes the socket.
    for (;;) {
        const qint64 n =
            m_socket->readDatagram(reinterpret_cast<char *>(buffer), sizeof buffer, &sender);
        if (n < 0)
            break;
        handleDatagram(buffer, int(std::min<qint64>(n, MAX_SIZE)));
    }
}

void acnnet::handleDatagram(const quint8 *data, int length)
{
    if (!m_in.isRegistered())
        return;
    DataPacket packet;
    if (decodeData(data, length, packet) != Result::Ok)
        return;
    const int slot = m_slots.slotOf(packet.universe - 1, m_in.universes());
    if (slot >= 0)
        m_in.write(slot, packet.values, packet.count, false);
}
