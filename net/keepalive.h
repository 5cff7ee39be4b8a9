// The last packet of every universe a node has sent, repeated so receivers
// keep the universe alive. Each universe is repeated once its last
// transmission is KEEP_ALIVE_PERIOD_MS old; a fresh send restarts its period.
// Promises: a universe's room keeps its address for the keeper's life, so a
// node encodes straight into it and sends from it without a copy; finding a
// universe is an index, not a hash.
#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class KeepAlive
{
public:
    static constexpr qint64 KEEP_ALIVE_PERIOD_MS = 500;

    // Packets of at most `capacity` bytes. Byte `alignedByte` of every room
    // starts a cache line: a packet's levels copied in there and read out by
    // the kernel go at full speed.
    KeepAlive(int capacity, int alignedByte);

    // The room (capacity bytes) for the universe's next packet. Writing it
    // changes what a repeat sends only after sent().
    quint8 *room(int universe);
    // The room of `universe` holds its latest packet, `length` bytes, sent
    // at `nowMs`.
    void sent(int universe, int length, qint64 nowMs);
    // Calls send(packet, length) with the room of every universe that is due
    // at nowMs, oldest first (send may rewrite bytes it owns, such as a
    // sequence number). The number of universes repeated, or -1 when nothing
    // has been sent.
    int resendDue(qint64 nowMs, const std::function<void(quint8 *, int)> &send);

private:
    struct Entry {
        std::unique_ptr<quint8[]> storage;
        quint8 *bytes = nullptr; // in storage
        int length = 0;          // 0: never sent, not in the order
        qint64 lastSentMs = 0;
        int previous = -1, next = -1; // the order, by entry index
    };
    void unlink(int e);
    void append(int e);

    int m_capacity;
    int m_alignedByte;
    std::vector<int> m_entryOf; // universe (>= 0) -> entry index, -1: none
    std::vector<Entry> m_entries;
    int m_first = -1, m_last = -1; // by last transmission, oldest first
};
