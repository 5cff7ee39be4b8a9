#include "net/dmxnode.h"

#include "net/netlog.h"

#include <QHostAddress>

#include <algorithm>
#include <unordered_map>
#include <utility>

DmxNode::DmxNode(const QString &protocol, int maxReceiveUniverse, bool holdsFrames, QObject *parent)
    : QObject(parent), m_protocol(protocol), m_maxReceive(maxReceiveUniverse),
      m_holdsFrames(holdsFrames)
{
}

int DmxNode::sendFrame(const DmxUniverse *universes, int count)
{
    if (!universes || count <= 0)
        return 0;
    // The console names each universe once, in increasing order: no copy.
    bool increasing = true;
    for (int i = 1; i < count && increasing; ++i)
        increasing = universes[i - 1].universe < universes[i].universe;
    if (increasing)
        return sendUniverses(universes, count);
    // A universe named twice leaves where it was first named, with its
    // later levels.
    m_frame.clear();
    std::unordered_map<int, size_t> at;
    for (int i = 0; i < count; ++i) {
        const auto [it, fresh] = at.try_emplace(universes[i].universe, m_frame.size());
        if (fresh)
            m_frame.push_back(universes[i]);
        else
            m_frame[it->second] = universes[i];
    }
    return sendUniverses(m_frame.data(), int(m_frame.size()));
}

int DmxNode::Batch::send(DatagramSocket &socket)
{
    return socket.writeDatagramsPastFailures(datagrams.data(), int(datagrams.size()), &left);
}

int DmxNode::tally(const Batch &batch, const QString &socketError, QString *failure)
{
    int sent = 0, unsent = 0;
    size_t firstUnsent = 0;
    for (size_t i = 0; i < batch.datagrams.size();) {
        const int tag = batch.tags[i];
        const size_t first = i;
        bool left = false;
        for (; i < batch.datagrams.size() && batch.tags[i] == tag; ++i)
            left = left || batch.left[i];
        if (tag < 0)
            continue;
        if (left)
            ++sent;
        else if (unsent++ == 0)
            firstUnsent = first;
    }
    if (unsent > 0)
        *failure = QStringLiteral("sending to %1 failed")
                       .arg(QHostAddress(batch.datagrams[firstUnsent].ipv4).toString()) +
                   (unsent > 1 ? QStringLiteral(" (%1 universes)").arg(unsent) : QString()) +
                   (socketError.isEmpty() ? QString() : QStringLiteral(": ") + socketError);
    return sent;
}

qint64 DmxNode::Batch::bytesLeft() const
{
    qint64 bytes = 0;
    for (size_t i = 0; i < datagrams.size() && i < left.size(); ++i)
        if (left[i])
            bytes += datagrams[i].size;
    return bytes;
}

int DmxNode::reportBatch(const Batch &batch, const QString &socketError)
{
    QString failure;
    const int sent = tally(batch, socketError, &failure);
    if (!failure.isEmpty())
        sendFailed(failure);
    return sent;
}

int DmxNode::frameSent(const Batch &batch, const QString &refused, const QString &socketError)
{
    QString failure;
    const int sent = tally(batch, socketError, &failure);
    if (failure.isEmpty())
        failure = refused;
    if (failure.isEmpty())
        m_sendError.clear();
    else
        sendFailed(failure);
    return sent;
}

qint64 DmxNode::sendFailed(const QString &error, qint64 result)
{
    // A fader moved while the network is down fails on every step: one
    // warning per run of equal failures.
    if (error != m_sendError)
        qCWarning(lcNet).noquote() << m_protocol << "DMX not sent:" << error;
    m_sendError = error;
    return result;
}

void DmxNode::setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse)
{
    if (array && size > 0)
        openSocket();
    m_in.registerArray(array, size, channelsPerUniverse, m_holdsFrames);
    receiveChanged();
}

bool DmxNode::setReceiveUniverse(int universe)
{
    if (universe < 0 || universe > m_maxReceive)
        return false;
    if (universe != m_slots.base()) {
        m_slots.setBase(universe);
        receiveChanged();
    }
    return true;
}

bool DmxNode::setReceiveUniverses(const QList<int> &universes)
{
    if (universes == m_slots.list())
        return true;
    if (!m_slots.setList(universes, m_maxReceive))
        return false;
    receiveChanged();
    return true;
}

bool DmxNode::setReceiveUniverseBuffer(quint8 *array, int size, const QList<int> &universes,
                                       int channelsPerUniverse)
{
    UniverseSlots next = m_slots;
    if (!next.setList(universes, m_maxReceive))
        return false;
    QList<int> previous;
    if (array && size > 0) {
        openSocket();
        if (m_in.isRegistered())
            previous = m_slots.matchingSlots(next, DmxInArray::slotsFor(size, channelsPerUniverse),
                                             m_in.universes());
    }
    m_slots = next;
    m_in.registerArray(array, size, channelsPerUniverse, m_holdsFrames, previous);
    receiveChanged();
    return true;
}

bool DmxNode::getReceivedValue(int universe, int channel, quint8 &value) const
{
    if (universe > m_maxReceive)
        return false;
    const int slot = m_slots.slotOf(universe, m_in.universes());
    return slot >= 0 && m_in.value(slot, channel, value);
}

bool DmxNode::setDmxObserver(DmxObserver observer)
{
    m_observer = std::move(observer);
    return !m_observer || openSocket();
}

bool DmxNode::wants(int universe, DropReason *why) const
{
    if (m_observer || (m_in.isRegistered() && m_slots.slotOf(universe, m_in.universes()) >= 0))
        return true;
    *why = m_in.isRegistered() ? DropReason::UniverseNotListened : DropReason::NotListening;
    return false;
}

bool DmxNode::deliver(int universe, const quint8 *levels, int count, bool hold, DropReason *why)
{
    if (m_observer) {
        // A copy: the observer may replace itself while it runs.
        const DmxObserver observer = m_observer;
        observer(universe, levels, count);
    }
    const int slot = m_in.isRegistered() ? m_slots.slotOf(universe, m_in.universes()) : -1;
    if (slot < 0) {
        *why = m_in.isRegistered() ? DropReason::UniverseNotListened : DropReason::NotListening;
        return false;
    }
    m_in.write(slot, levels, count, hold);
    if (hold) {
        if (std::find(m_held.cbegin(), m_held.cend(), universe) == m_held.cend())
            m_held.push_back(universe);
    } else if (m_notify)
        m_notify(universe);
    return true;
}

void DmxNode::releaseHeld()
{
    m_in.commitShadow();
    const std::vector<int> held = std::exchange(m_held, {});
    if (m_notify)
        for (const int universe : held)
            m_notify(universe);
}

QList<UniverseSlots::Run> DmxNode::heldRuns() const
{
    return m_in.isRegistered() ? m_slots.runs(m_in.universes()) : QList<UniverseSlots::Run>();
}
