#include "dmxinarray.h"

#include <algorithm>
#include <cstring>

void DmxInArray::registerArray(quint8 *array, int size, int channelsPerUniverse, bool withShadow)
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
    m_array = array;
    m_size = size;
    m_per = channelsPerUniverse <= 0 ? MAX_CHANNELS : std::min(channelsPerUniverse, MAX_CHANNELS);
    m_universes = (size + m_per - 1) / m_per;
    m_received.assign(size_t(m_universes), 0);
    if (withShadow)
        m_shadow.assign(size_t(size), 0);
    else
        std::vector<quint8>().swap(m_shadow);
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
