// The console's DMX-IN array as a network node sees it: the registered bytes
// (owned by the console), channels per universe, a received flag per
// universe and, for nodes that hold frames until a sync, a shadow copy.
#pragma once

#include <QMutex>
#include <QtGlobal>

#include <vector>

class DmxInArray
{
public:
    static constexpr int MAX_CHANNELS = 512;

    // Registers `array` of `size` bytes (no array unregisters). Channels per
    // universe are clamped to 1..512 (512 when not positive). Flags and the
    // shadow copy start zeroed. Takes the mutex.
    void registerArray(quint8 *array, int size, int channelsPerUniverse, bool withShadow);

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
