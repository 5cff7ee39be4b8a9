// The last packet of every universe a node has sent, repeated so receivers
// keep the universe alive. Each universe is repeated once its last
// transmission is KEEP_ALIVE_PERIOD_MS old; a fresh send restarts its period.
#pragma once

#include <QByteArray>
#include <QHostAddress>

#include <functional>
#include <list>
#include <unordered_map>

class KeepAlive
{
public:
    static constexpr qint64 KEEP_ALIVE_PERIOD_MS = 500;

    // Remembers `packet` as the latest of `universe`, sent to `destination` at `nowMs`.
    void store(int universe, const quint8 *packet, int length, const QHostAddress &destination,
               qint64 nowMs);
    // Calls send(packet, length, destination) for every universe that is due
    // at nowMs, oldest first. Returns the sum of the non-negative results, or
    // -1 when nothing is stored.
    qint64 resendDue(qint64 nowMs,
                     const std::function<qint64(const quint8 *, int, const QHostAddress &)> &send);
    bool isEmpty() const { return m_entries.empty(); }
    int count() const { return int(m_entries.size()); }
    // The stored packet of a universe (empty when none).
    QByteArray packet(int universe) const;

private:
    struct Entry {
        QByteArray packet;
        QHostAddress destination;
        qint64 lastSentMs = 0;
        std::list<int>::iterator position;
    };
    std::unordered_map<int, Entry> m_entries;
    std::list<int> m_order; // by last transmission, oldest first
};
