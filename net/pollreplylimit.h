// Which ArtPolls the Art-Net node answers. A controller polls every few
// seconds; anything that polls thousands of times a second (a flood, a
// broken script) must not make the node spend its time on replies. Each
// poller gets at most one reply per POLLER_INTERVAL_MS, and all pollers
// together at most MAX_REPLIES per WINDOW_MS (any window of that length,
// not a fixed one). Pollers are told apart by their IPv4 address; the node
// remembers at most MAX_POLLERS of them.
//
// Promises:
// - A poll refused for any reason changes nothing: the poller may have its
//   reply with its next poll.
// - A poller answered at t is answered again from t + POLLER_INTERVAL_MS.
// - The reply that would be the (MAX_REPLIES + 1)-th within WINDOW_MS is
//   refused; it is given once the oldest of them is WINDOW_MS old.
// - A poller table that is full forgets the pollers whose interval has
//   passed before it refuses a new one.
// - Pure: no sockets, no clock of its own.
#pragma once

#include <QtGlobal>

#include <array>
#include <unordered_map>

class PollReplyLimit
{
public:
    static constexpr qint64 POLLER_INTERVAL_MS = 1000;
    static constexpr qint64 WINDOW_MS = 1000;
    static constexpr int MAX_REPLIES = 100;
    static constexpr int MAX_POLLERS = 1000;

    // True when a poll from `poller` (IPv4, host order) that arrived at nowMs
    // (milliseconds of a monotonic clock) is to be answered; it then counts
    // as answered.
    bool allow(quint32 poller, qint64 nowMs);

    // Pollers remembered now.
    int pollerCount() const { return int(m_pollers.size()); }
    void clear();

private:
    // Forgets pollers answered POLLER_INTERVAL_MS or longer ago.
    void forgetOld(qint64 nowMs);

    std::unordered_map<quint32, qint64> m_pollers; // poller -> last reply
    // Times of the last MAX_REPLIES replies, a ring: m_next is the oldest
    // once m_count reached MAX_REPLIES.
    std::array<qint64, MAX_REPLIES> m_replies{};
    int m_next = 0;
    int m_count = 0;
};
