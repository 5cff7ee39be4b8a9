// What a streaming ACN receiver makes of the sources on its universes. Each
// source (CID) of a universe is tracked on its own: a packet 1..20 behind
// the source's last one is late and discarded, a source silent for 2.5 s is
// lost, one that says Stream_Terminated leaves at once, and preview packets
// are for visualisers, not for output. Of the sources left, the highest
// priority wins; sources sharing the highest priority are merged highest
// level first (HTP). When the last source goes the levels hold.
//
// Promises:
// - levels() is what the universe shows: it changes only through take().
// - A source is never lost while it sends at least every 2.5 s.
// - At most MAX_SOURCES sources per universe; a further one is refused and
//   changes nothing until one of them is lost or leaves.
// - Pure: no sockets, no clock of its own, no widgets.
#pragma once

#include "net/acnpacket.h"

#include <QtGlobal>

#include <array>
#include <unordered_map>
#include <vector>

class AcnMerge
{
public:
    static constexpr qint64 SOURCE_LOSS_MS = 2500;
    static constexpr int MAX_SOURCES = 16;
    static constexpr int SEQUENCE_WINDOW = 20;

    enum class Outcome {
        Merged,        // the universe's levels were worked out anew
        Held,          // taken into account, the levels stay (a higher priority wins)
        Late,          // 1..20 behind its source's last packet: discarded
        Preview,       // preview data: ignored
        TooManySources // no room for another source on this universe
    };

    // Takes one decoded data packet that arrived at nowMs (milliseconds of a
    // monotonic clock). Sources of the packet's universe silent for longer
    // than SOURCE_LOSS_MS are dropped first.
    Outcome take(const acnpacket::DataPacket &packet, qint64 nowMs);

    // The levels of a wire universe and their number; null (count 0) before
    // any source sent it.
    const quint8 *levels(int universe, int *count) const;
    // Sources currently tracked on a wire universe.
    int sourceCount(int universe) const;
    void clear() { m_universes.clear(); }

    // True when a sequence number `next` following `last` is late (E1.31's
    // window: a signed difference in -20 < d <= 0).
    static bool isLate(quint8 last, quint8 next)
    {
        const int d = qint8(quint8(next - last));
        return d <= 0 && d > -SEQUENCE_WINDOW;
    }

private:
    struct Source {
        std::array<quint8, acnpacket::CID_SIZE> cid{};
        qint64 lastMs = 0;
        quint8 sequence = 0;
        quint8 priority = 0;
        int count = 0;
        std::array<quint8, acnpacket::MAX_SLOTS> levels{};
    };
    struct Universe {
        std::vector<Source> sources;
        std::array<quint8, acnpacket::MAX_SLOTS> levels{};
        int count = 0;
        bool seen = false;
    };
    static void merge(Universe &u);

    std::unordered_map<int, Universe> m_universes;
};
