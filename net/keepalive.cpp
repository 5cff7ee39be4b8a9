#include "net/keepalive.h"

namespace
{
constexpr size_t CACHE_LINE = 64;
}

KeepAlive::KeepAlive(int capacity, int alignedByte)
    : m_capacity(capacity), m_alignedByte(alignedByte % int(CACHE_LINE))
{
}

quint8 *KeepAlive::room(int universe)
{
    if (size_t(universe) >= m_entryOf.size())
        m_entryOf.resize(size_t(universe) + 1, -1);
    int &e = m_entryOf[size_t(universe)];
    if (e < 0) {
        e = int(m_entries.size());
        Entry &entry = m_entries.emplace_back();
        entry.storage.reset(new quint8[size_t(m_capacity) + CACHE_LINE]);
        const quintptr at = quintptr(entry.storage.get()) + quintptr(m_alignedByte);
        const size_t pad = (CACHE_LINE - at % CACHE_LINE) % CACHE_LINE;
        entry.bytes = entry.storage.get() + pad;
    }
    return m_entries[size_t(e)].bytes;
}

void KeepAlive::sent(int universe, int length, qint64 nowMs)
{
    const int e = size_t(universe) < m_entryOf.size() ? m_entryOf[size_t(universe)] : -1;
    if (e < 0 || length <= 0 || length > m_capacity)
        return;
    Entry &entry = m_entries[size_t(e)];
    if (entry.length > 0)
        unlink(e);
    append(e);
    entry.length = length;
    entry.lastSentMs = nowMs;
}

int KeepAlive::resendDue(qint64 nowMs, const std::function<void(quint8 *, int)> &send)
{
    if (m_first < 0)
        return -1;
    int repeated = 0;
    // Every universe resent here moves to the back, so the loop ends at the
    // first one that is not due (or after one round).
    for (size_t n = m_entries.size(); n > 0 && m_first >= 0; --n) {
        const int e = m_first;
        Entry &entry = m_entries[size_t(e)];
        if (nowMs - entry.lastSentMs < KEEP_ALIVE_PERIOD_MS)
            break;
        send(entry.bytes, entry.length);
        ++repeated;
        entry.lastSentMs = nowMs;
        unlink(e);
        append(e);
    }
    return repeated;
}

void KeepAlive::unlink(int e)
{
    Entry &entry = m_entries[size_t(e)];
    (entry.previous < 0 ? m_first : m_entries[size_t(entry.previous)].next) = entry.next;
    (entry.next < 0 ? m_last : m_entries[size_t(entry.next)].previous) = entry.previous;
    entry.previous = entry.next = -1;
}

void KeepAlive::append(int e)
{
    Entry &entry = m_entries[size_t(e)];
    entry.previous = m_last;
    entry.next = -1;
    (m_last < 0 ? m_first : m_entries[size_t(m_last)].next) = e;
    m_last = e;
}
