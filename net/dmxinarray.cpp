#include "net/dmxinarray.h"

#include <algorithm>
#include <cstring>

int DmxInArray::slotsFor(int size, int channelsPerUniverse)
{
    if (size <= 0)
        return 0;
    const int per =
        channelsPerUniverse <= 0 ? MAX_CHANNELS : std::min(channelsPerUniverse, MAX_CHANNELS);
    return (size + per - 1) / per;
}

void DmxInArray::registerArray(quint8 *array, int size, int channelsPerUniverse, bool withShadow,
                               const QList<int> &previousSlots)
{
    QMutexLocker lock(&m_mutex);
    if (!array || size <= 0) {
        m_array = nullptr;
        m_size = 0;
        m_per = MAX_CHANNELS;
        m_universes = 0;
        std::vector<quint8>().swap(m_received);
        std::vector<quint8>().swap(m_shadow);
        return;
    }
    const int per =
        channelsPerUniverse <= 0 ? MAX_CHANNELS : std::min(channelsPerUniverse, MAX_CHANNELS);
    const int universes = slotsFor(size, per);
    std::vector<quint8> received(size_t(universes), 0);
    std::vector<quint8> shadow;
    // The shadow mirrors the array, so a sync never puts back older bytes.
    if (withShadow)
        shadow.assign(array, array + size);
    if (m_array && per == m_per) {
        const int n = int(std::min<qsizetype>(universes, previousSlots.size()));
        for (int slot = 0; slot < n; ++slot) {
            const int old = previousSlots.at(slot);
            if (old < 0 || old >= m_universes)
                continue;
            received[size_t(slot)] = m_received[size_t(old)];
            if (shadow.empty() || m_shadow.empty())
                continue;
            // A frame still held for a sync stays held.
            const qint64 from = qint64(old) * per, to = qint64(slot) * per;
            const qint64 bytes = std::min<qint64>({qint64(per), m_size - from, size - to});
            if (bytes > 0)
                std::memcpy(shadow.data() + to, m_shadow.data() + from, size_t(bytes));
        }
    }
    m_array = array;
    m_size = size;
    m_per = per;
    m_universes = universes;
    m_received.swap(received);
    m_shadow.swap(shadow);
}

bool DmxInArray::value(int slot, int channel, quint8 &value) const
{
    if (!isRegistered() || slot < 0 || channel < 0 || channel >= m_per || slot >= m_universes)
        return false;
    const qint64 index = qint64(slot) * m_per + channel;
    if (index >= m_size)
        return false;
    value = m_array[index];
    return m_received[size_t(slot)] != 0;
}

void DmxInArray::write(int slot, const quint8 *data, int count, bool hold)
{
    if (!isRegistered() || slot < 0 || slot >= m_universes || !data)
        return;
    m_received[size_t(slot)] = 1;
    const qint64 offset = qint64(slot) * m_per;
    const int n = int(std::min<qint64>({qint64(count), qint64(m_per), m_size - offset}));
    if (n <= 0)
        return;
    if (!m_shadow.empty())
        std::memcpy(m_shadow.data() + offset, data, size_t(n));
    if (!hold) {
        QMutexLocker lock(&m_mutex);
        std::memcpy(m_array + offset, data, size_t(n));
    }
}

void DmxInArray::commitShadow()
{
    if (!isRegistered() || m_shadow.empty())
        return;
    QMutexLocker lock(&m_mutex);
    std::memcpy(m_array, m_shadow.data(), size_t(m_size));
}

bool UniverseSlots::setList(const QList<int> &universes, int maxUniverse)
{
    for (qsizetype i = 0; i < universes.size(); ++i) {
        const int u = universes.at(i);
        if (u < 0 || u > maxUniverse || (i > 0 && u <= universes.at(i - 1)))
            return false;
    }
    m_list = universes;
    return true;
}

int UniverseSlots::slotOf(int universe, int count) const
{
    int slot = -1;
    if (m_list.isEmpty()) {
        if (m_base >= 0 && universe >= m_base)
            slot = universe - m_base;
    } else {
        const auto it = std::lower_bound(m_list.cbegin(), m_list.cend(), universe);
        if (it != m_list.cend() && *it == universe)
            slot = int(it - m_list.cbegin());
    }
    return slot < count ? slot : -1;
}

int UniverseSlots::universeAt(int slot) const
{
    if (slot < 0)
        return -1;
    if (m_list.isEmpty())
        return m_base >= 0 ? m_base + slot : -1;
    return slot < m_list.size() ? m_list.at(slot) : -1;
}

QList<int> UniverseSlots::matchingSlots(const UniverseSlots &next, int count,
                                        int currentCount) const
{
    QList<int> result;
    result.reserve(std::max(count, 0));
    for (int slot = 0; slot < count; ++slot) {
        const int universe = next.universeAt(slot);
        result.append(universe < 0 ? -1 : slotOf(universe, currentCount));
    }
    return result;
}

QList<UniverseSlots::Run> UniverseSlots::runs(int count) const
{
    QList<Run> result;
    if (count <= 0)
        return result;
    if (m_list.isEmpty()) {
        if (m_base >= 0)
            result.append({m_base, count});
        return result;
    }
    const int n = int(std::min<qsizetype>(count, m_list.size()));
    for (int i = 0; i < n; ++i) {
        const int u = m_list.at(i);
        if (!result.isEmpty() && result.last().first + result.last().count == u)
            ++result.last().count;
        else
            result.append({u, 1});
    }
    return result;
}
