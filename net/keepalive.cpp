#include "net/keepalive.h"

#include <cstring>

void KeepAlive::store(int universe, const quint8 *packet, int length, qint64 nowMs)
{
    auto it = m_entries.find(universe);
    if (it == m_entries.end()) {
        it = m_entries.emplace(universe, Entry()).first;
        it->second.position = m_order.insert(m_order.end(), universe);
    } else {
        m_order.splice(m_order.end(), m_order, it->second.position);
    }
    Entry &e = it->second;
    if (e.packet.size() != length)
        e.packet.resize(length);
    std::memcpy(e.packet.data(), packet, size_t(length));
    e.lastSentMs = nowMs;
}

int KeepAlive::resendDue(qint64 nowMs, const std::function<void(const quint8 *, int)> &send)
{
    if (m_entries.empty())
        return -1;
    int repeated = 0;
    // Every universe resent here moves to the back, so the loop ends at the
    // first one that is not due (or after one round).
    for (size_t n = m_order.size(); n > 0; --n) {
        const int universe = m_order.front();
        Entry &e = m_entries.at(universe);
        if (nowMs - e.lastSentMs < KEEP_ALIVE_PERIOD_MS)
            break;
        send(reinterpret_cast<const quint8 *>(e.packet.constData()), int(e.packet.size()));
        ++repeated;
        e.lastSentMs = nowMs;
        m_order.splice(m_order.end(), m_order, e.position);
    }
    return repeated;
}
