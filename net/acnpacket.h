// E1.31 (streaming ACN) data packets: a pure encoder and decoder over
// (buffer, length) with named offsets, and the encoder of the universe
// discovery packets that list what a source sends. All multi-byte fields are
// big-endian; every flags-and-length field counts from itself to the end of
// the packet.
#pragma once

#include <QtGlobal>

namespace acnpacket
{

constexpr quint16 PORT = 5568;
constexpr int PREAMBLE_SIZE_OFFSET = 0;  // 0x0010
constexpr int POSTAMBLE_SIZE_OFFSET = 2; // 0x0000
constexpr int IDENTIFIER_OFFSET = 4;     // "ASC-E1.17\0\0\0"
constexpr int IDENTIFIER_SIZE = 12;
constexpr int ROOT_FLAGS_LENGTH_OFFSET = 16;
constexpr int ROOT_VECTOR_OFFSET = 18; // 0x00000004
constexpr int CID_OFFSET = 22;
constexpr int CID_SIZE = 16;
constexpr int FRAMING_FLAGS_LENGTH_OFFSET = 38;
constexpr int FRAMING_VECTOR_OFFSET = 40; // 0x00000002
constexpr int SOURCE_NAME_OFFSET = 44;
constexpr int SOURCE_NAME_SIZE = 64;
constexpr int PRIORITY_OFFSET = 108;
constexpr int RESERVED_OFFSET = 109;
constexpr int SEQUENCE_OFFSET = 111;
constexpr int OPTIONS_OFFSET = 112;
constexpr int UNIVERSE_OFFSET = 113;
constexpr int DMP_FLAGS_LENGTH_OFFSET = 115;
constexpr int DMP_VECTOR_OFFSET = 117;        // 0x02
constexpr int ADDRESS_DATA_TYPE_OFFSET = 118; // 0xA1
constexpr int FIRST_ADDRESS_OFFSET = 119;     // 0x0000
constexpr int ADDRESS_INCREMENT_OFFSET = 121; // 0x0001
constexpr int VALUE_COUNT_OFFSET = 123;       // slots + 1 (the START code)
constexpr int START_CODE_OFFSET = 125;
constexpr int DATA_OFFSET = 126;

constexpr int HEADER_SIZE = DATA_OFFSET;
constexpr int MAX_SLOTS = 512;
constexpr int MAX_SIZE = HEADER_SIZE + MAX_SLOTS; // 638
constexpr int ROOT_LENGTH_BASE = 110;             // + slots
constexpr int FRAMING_LENGTH_BASE = 88;           // + slots
constexpr int DMP_LENGTH_BASE = 11;               // + slots
constexpr quint8 FLAGS = 0x70;                    // high nibble of each flags-and-length field
constexpr quint32 ROOT_VECTOR = 0x00000004;
constexpr quint32 FRAMING_VECTOR = 0x00000002;
constexpr quint8 DMP_VECTOR = 0x02;
constexpr quint8 ADDRESS_DATA_TYPE = 0xA1;
constexpr quint8 PRIORITY = 100;     // what the node sends
constexpr quint8 MAX_PRIORITY = 200; // receivers read anything above as 200
// Options bits
constexpr quint8 OPTION_PREVIEW = 0x80;           // for visualisers only, not for output
constexpr quint8 OPTION_STREAM_TERMINATED = 0x40; // the source leaves this universe now
constexpr int MIN_UNIVERSE = 1;
constexpr int MAX_UNIVERSE = 63999;

// Universe discovery: the root and framing layers as in a data packet up
// to the source name, with the extended vectors, then the universe list.
constexpr int DISCOVERY_RESERVED_OFFSET = 108; // 4 bytes, 0
constexpr int DISCOVERY_FLAGS_LENGTH_OFFSET = 112;
constexpr int DISCOVERY_VECTOR_OFFSET = 114;    // 0x00000001
constexpr int DISCOVERY_PAGE_OFFSET = 118;      // this page, from 0
constexpr int DISCOVERY_LAST_PAGE_OFFSET = 119; // the number of the last page
constexpr int DISCOVERY_LIST_OFFSET = 120;      // increasing universes, 2 bytes each
constexpr int DISCOVERY_HEADER_SIZE = DISCOVERY_LIST_OFFSET;
constexpr int DISCOVERY_PAGE_UNIVERSES = 512;
constexpr int DISCOVERY_MAX_SIZE = DISCOVERY_HEADER_SIZE + 2 * DISCOVERY_PAGE_UNIVERSES; // 1144
constexpr quint32 ROOT_VECTOR_EXTENDED = 0x00000008;
constexpr quint32 FRAMING_VECTOR_DISCOVERY = 0x00000002;
constexpr quint32 DISCOVERY_VECTOR_UNIVERSE_LIST = 0x00000001;
constexpr int DISCOVERY_UNIVERSE = 64214; // its multicast group: 239.255.250.214

extern const quint8 IDENTIFIER[IDENTIFIER_SIZE];

// The framing fields of a data packet besides the levels.
struct Header {
    const quint8 *cid = nullptr;        // 16 bytes; null: all zero
    const quint8 *sourceName = nullptr; // the 64-byte field as it goes on the wire; null: empty
    quint8 priority = PRIORITY;
    quint8 sequence = 0;
    quint8 options = 0;
    int universe = 0; // wire universe
};

// Writes a data packet of 126 + slots bytes. Requires 0 <= slots <= 512,
// wire universe 1..63999 and the capacity; returns the packet size, or -1
// (nothing written).
int encodeData(quint8 *buf, int capacity, const Header &header, const quint8 *data, int slots);
// The same with an all-zero CID, priority 100 and no options.
int encodeData(quint8 *buf, int capacity, const quint8 *sourceName, quint8 sequence, int universe,
               const quint8 *data, int slots);

// Writes one page of a universe discovery packet: 120 + 2 * count bytes.
// Requires 0 <= count <= 512, 0 <= page <= lastPage <= 255 and the
// capacity; the universes go out as given (the sender sorts them). Returns
// the packet size, or -1 (nothing written). cid and sourceName as in Header.
int encodeDiscovery(quint8 *buf, int capacity, const quint8 *cid, const quint8 *sourceName,
                    int page, int lastPage, const int *universes, int count);

enum class Result {
    Ok,
    TooShort,         // shorter than the 126-byte header (sync, discovery: the root layer)
    BadPreamble,      // preamble or post-amble size
    BadIdentifier,    // not "ASC-E1.17"
    BadRootFlags,     // flags nibble of the root layer is not 0x7
    BadRootVector,    // not a data packet (root vector 4)
    Extended,         // synchronization or universe discovery (root vector 8): no levels
    BadFramingVector, // not E1.31 data (framing vector 2)
    BadUniverse,      // wire universe outside 1..63999
    BadDmpVector,     // not a DMP set property message (vector 2)
    BadAddressing,    // address type not 0xA1, first address not 0 or increment not 1
    BadValueCount,    // property value count 0 (no START code)
    NonZeroStartCode  // alternate START code: not dimmer data
};

struct DataPacket {
    int universe = 0;                   // wire universe
    const quint8 *cid = nullptr;        // 16 bytes inside the datagram
    const quint8 *sourceName = nullptr; // 64 bytes inside the datagram, maybe unterminated
    quint8 sequence = 0;
    quint8 priority = 0;
    quint8 options = 0;
    const quint8 *values = nullptr; // slot values after the START code
    int count = 0; // slot values present: value count - 1, at most 512 and what arrived
};
Result decodeData(const quint8 *buf, int len, DataPacket &out);

} // namespace acnpacket
