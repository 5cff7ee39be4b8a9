// The last packet of every universe a node has sent, repeated so receivers
// keep the universe alive. Each universe is repeated once its last
// transmission is KEEP_ALIVE_PERIOD_MS old; a fresh send restarts its period.
#pragma once

#include <QByteArray>

#include <functional>
#include <list>
#include <unordered_map>

class KeepAlive
{
public:
    static constexpr qint64 KEEP_ALIVE_PERIOD_MS = 500;

    // Remembers `packet` as the latest of `universe`, sent at `nowMs`.
    void store(int universe, const quint8 *packet, int length, qint64 nowMs);
    // Calls send(packet, length) for every universe that is due at nowMs,
    // oldest first. The number of universes repeated, or -1 when nothing is
    // stored.
    int resendDue(qint64 nowMs, const std::function<void(const quint8 *, int)> &send);

private:
    struct Entry {
        QByteArray packet;
        qint64 lastSentMs = 0;
        std::list<int>::iterator position;
    };
    std::unordered_map<int, Entry> m_entries;
    std::list<int> m_order; // by last transmission, oldest first
};
