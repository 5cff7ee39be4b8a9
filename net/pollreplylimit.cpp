#include "net/pollreplylimit.h"

bool PollReplyLimit::allow(quint32 poller, qint64 nowMs)
{
    // The cheap refusals first: under a flood most polls end here.
    const auto known = m_pollers.find(poller);
    if (known != m_pollers.end() && nowMs - known->second < POLLER_INTERVAL_MS)
        return false;
    if (m_count == MAX_REPLIES && nowMs - m_replies[size_t(m_next)] < WINDOW_MS)
        return false;
    if (known == m_pollers.end() && int(m_pollers.size()) >= MAX_POLLERS) {
        forgetOld(nowMs);
        if (int(m_pollers.size()) >= MAX_POLLERS)
            return false;
    }
    m_pollers[poller] = nowMs;
    m_replies[size_t(m_next)] = nowMs;
    m_next = (m_next + 1) % MAX_REPLIES;
    if (m_count < MAX_REPLIES)
        ++m_count;
    return true;
}

void PollReplyLimit::forgetOld(qint64 nowMs)
{
    for (auto it = m_pollers.begin(); it != m_pollers.end();) {
        if (nowMs - it->second >= POLLER_INTERVAL_MS)
            it = m_pollers.erase(it);
        else
            ++it;
    }
}

void PollReplyLimit::clear()
{
    m_pollers.clear();
    m_next = 0;
    m_count = 0;
}
