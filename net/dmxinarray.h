// The console's DMX-IN array as a network node sees it: the registered bytes
// (owned by the console), channels per universe, a received flag per
// universe and, for nodes that hold frames until a sync, a shadow copy.
#pragma once

#include <QList>
#include <QMutex>
#include <QtGlobal>

#include <vector>

class DmxInArray
{
public:
    static constexpr int MAX_CHANNELS = 512;

    // Registers `array` of `size` bytes (no array unregisters). Channels per
    // universe are clamped to 1..512 (512 when not positive). Received flags
    // start cleared and the shadow copy as a copy of the array, except that
    // slot i takes over the flag and shadow bytes of slot previousSlots[i] of
    // the registration it replaces (negative or missing: none), provided the
    // channels per universe stay the same. Takes the mutex.
    void registerArray(quint8 *array, int size, int channelsPerUniverse, bool withShadow,
                       const QList<int> &previousSlots = {});
    // The slots an array of `size` bytes holds: ceil(size / channels per
    // universe, clamped as above); 0 without bytes.
    static int slotsFor(int size, int channelsPerUniverse);

    bool isRegistered() const { return m_array != nullptr && m_size > 0; }
    int size() const { return m_size; }
    int channelsPerUniverse() const { return m_per; }
    // ceil(size / channels per universe)
    int universes() const { return m_universes; }

    // Byte `channel` of universe slot `slot`; the result is the slot's
    // received flag. False (value untouched) outside the array.
    bool value(int slot, int channel, quint8 &value) const;

    // Sets the slot's received flag and copies min(count, channels per
    // universe, room left in the array) bytes to slot × channels. With hold
    // set the bytes go to the shadow copy only; otherwise to the array (under
    // the mutex) and the shadow, so the shadow always mirrors the latest data.
    void write(int slot, const quint8 *data, int count, bool hold);

    // Copies the shadow copy into the array (under the mutex).
    void commitShadow();

    QMutex &mutex() { return m_mutex; }

private:
    QMutex m_mutex;
    quint8 *m_array = nullptr;
    int m_size = 0;
    int m_per = MAX_CHANNELS;
    int m_universes = 0;
    std::vector<quint8> m_received;
    std::vector<quint8> m_shadow;
};

// Which universe each slot of a DMX-IN array holds: either a range (slot i
// holds base + i) or an explicit list of universes (slot i holds list[i]),
// so a few far-apart universes need only as many slots as there are.
class UniverseSlots
{
public:
    // Range mode with this first universe (negative: none yet).
    void setBase(int base) { m_base = base; }
    int base() const { return m_base; }

    // List mode for strictly increasing universes within 0..maxUniverse; an
    // empty list returns to range mode. Anything else is refused (false,
    // nothing changes).
    bool setList(const QList<int> &universes, int maxUniverse);
    bool isList() const { return !m_list.isEmpty(); }
    const QList<int> &list() const { return m_list; }

    // The slot holding `universe` among the first `count` slots, or -1. Range
    // mode: universe - base; list mode: a binary search.
    int slotOf(int universe, int count) const;
    // The universe slot `slot` holds, or -1 (past the list, or no base).
    int universeAt(int slot) const;
    // For each of the first `count` slots under `next`, the slot among the
    // first `currentCount` ones here that holds the same universe, or -1.
    QList<int> matchingSlots(const UniverseSlots &next, int count, int currentCount) const;

    // Runs of consecutive universes held by the first `count` slots, as
    // (first universe, count) in increasing order. Range mode gives one run
    // from the base (none without a base or slots).
    struct Run {
        int first = 0;
        int count = 0;
    };
    QList<Run> runs(int count) const;

private:
    int m_base = -1;
    QList<int> m_list;
};
