#include "net/acnmerge.h"

#include <algorithm>
#include <cstring>

using namespace acnpacket;

AcnMerge::Outcome AcnMerge::take(const DataPacket &packet, qint64 nowMs)
{
    if (packet.options & OPTION_PREVIEW)
        return Outcome::Preview;
    Universe &u = m_universes[packet.universe];
    std::vector<Source> &sources = u.sources;
    const size_t before = sources.size();
    sources.erase(
        std::remove_if(sources.begin(), sources.end(),
                       [nowMs](const Source &s) { return nowMs - s.lastMs > SOURCE_LOSS_MS; }),
        sources.end());
    bool changed = sources.size() != before;

    auto it = std::find_if(sources.begin(), sources.end(), [&packet](const Source &s) {
        return std::memcmp(s.cid.data(), packet.cid, CID_SIZE) == 0;
    });
    if (it != sources.end() && isLate(it->sequence, packet.sequence)) {
        if (changed)
            merge(u);
        return changed ? Outcome::Merged : Outcome::Late;
    }
    if (packet.options & OPTION_STREAM_TERMINATED) {
        if (it != sources.end()) {
            sources.erase(it);
            changed = true;
        }
    } else {
        const bool isNew = it == sources.end();
        if (isNew) {
            if (int(sources.size()) >= MAX_SOURCES) {
                if (changed)
                    merge(u);
                return changed ? Outcome::Merged : Outcome::TooManySources;
            }
            sources.emplace_back();
            it = sources.end() - 1;
            std::memcpy(it->cid.data(), packet.cid, CID_SIZE);
        }
        Source &s = *it;
        int others = -1; // the highest priority of the other sources
        for (const Source &o : sources)
            if (&o != &s)
                others = std::max(others, int(o.priority));
        const bool wasBelow = isNew || s.priority < others;
        s.lastMs = nowMs;
        s.sequence = packet.sequence;
        s.priority = std::min(packet.priority, MAX_PRIORITY);
        s.count = std::clamp(packet.count, 0, MAX_SLOTS);
        std::memcpy(s.levels.data(), packet.values, size_t(s.count));
        // Below a higher priority that stays, nothing shows.
        if (wasBelow && s.priority < others && !changed)
            return Outcome::Held;
        changed = true;
    }
    if (!changed)
        return Outcome::Held;
    merge(u);
    return sources.empty() ? Outcome::Held : Outcome::Merged;
}

void AcnMerge::merge(Universe &u)
{
    if (u.sources.empty())
        return; // the levels hold
    int top = -1, winners = 0;
    const Source *winner = nullptr;
    for (const Source &s : u.sources) {
        if (s.priority > top) {
            top = s.priority;
            winners = 0;
        }
        if (s.priority == top) {
            ++winners;
            winner = &s;
        }
    }
    u.seen = true;
    if (winners == 1) {
        std::memcpy(u.levels.data(), winner->levels.data(), size_t(winner->count));
        u.count = winner->count;
        return;
    }
    u.count = 0;
    for (const Source &s : u.sources)
        if (s.priority == top)
            u.count = std::max(u.count, s.count);
    std::memset(u.levels.data(), 0, size_t(u.count));
    for (const Source &s : u.sources) {
        if (s.priority != top)
            continue;
        for (int i = 0; i < s.count; ++i)
            u.levels[size_t(i)] = std::max(u.levels[size_t(i)], s.levels[size_t(i)]);
    }
}

const quint8 *AcnMerge::levels(int universe, int *count) const
{
    const auto it = m_universes.find(universe);
    if (it == m_universes.end() || !it->second.seen) {
        *count = 0;
        return nullptr;
    }
    *count = it->second.count;
    return it->second.levels.data();
}

int AcnMerge::sourceCount(int universe) const
{
    const auto it = m_universes.find(universe);
    return it == m_universes.end() ? 0 : int(it->second.sources.size());
}
