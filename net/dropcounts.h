// Why a network node dropped a received datagram, and how often it did so.
// Every node counts each datagram it reads and does not use, by reason, and
// logs each drop at debug level on `pultora.net`.
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

enum class DropReason {
    TooShort,            // shorter than the header it needs
    BadIdentifier,       // not "Art-Net" or "MadrixN", not "ASC-E1.17"
    BadPreamble,         // E1.31 preamble or post-amble size
    BadFlags,            // flags nibble of the E1.31 root layer
    BadRootVector,       // E1.31 root vector: not a data packet
    BadFramingVector,    // E1.31 framing vector
    BadDmpVector,        // E1.31 DMP vector
    BadAddressing,       // E1.31 address type, first address or increment
    BadUniverse,         // a universe the protocol does not have
    BadValueCount,       // E1.31 property value count 0 (no START code)
    NonZeroStartCode,    // alternate START code: not dimmer levels
    UnknownOpcode,       // an Art-Net operation the node does not handle
    NotListening,        // DMX while no DMX-IN array is registered
    UniverseNotListened, // DMX for a universe the DMX-IN array does not hold
    PollLimited,         // an ArtPoll beyond the replies a node gives (pollreplylimit.h)
    OscTruncated,        // OSC: a string, argument or bundle element runs past its end
    OscBadPadding,       // OSC: not a multiple of 4 bytes, padding not NUL, bytes left over
    OscBadTypeTag,       // OSC: unknown type tag, or a tag string without ','
    OscBadAddress,       // OSC: address not starting with '/', nor a bundle
    OscOversized,        // OSC: larger than oscpacket::MAX_RECEIVE
    OscTooDeep,          // OSC: bundles nested deeper than oscpacket::MAX_BUNDLE_DEPTH
};
constexpr int DROP_REASONS = int(DropReason::OscTooDeep) + 1;

// The reason as a log names it: "too short", "bad identifier", ...
QString dropReasonName(DropReason reason);

class DropCounts
{
public:
    void add(DropReason reason) { ++m_counts[size_t(reason)]; }
    quint64 count(DropReason reason) const { return m_counts[size_t(reason)]; }
    quint64 total() const;
    void clear() { m_counts.fill(0); }

private:
    std::array<quint64, DROP_REASONS> m_counts{};
};
