#include "net/acnpacket.h"

#include <algorithm>
#include <cstring>

namespace acnpacket
{

const quint8 IDENTIFIER[IDENTIFIER_SIZE] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};

namespace
{

void putBe16(quint8 *p, quint16 v)
{
    p[0] = quint8(v >> 8);
    p[1] = quint8(v);
}

void putBe32(quint8 *p, quint32 v)
{
    p[0] = quint8(v >> 24);
    p[1] = quint8(v >> 16);
    p[2] = quint8(v >> 8);
    p[3] = quint8(v);
}

quint16 be16(const quint8 *p)
{
    return quint16(p[0] << 8 | p[1]);
}

quint32 be32(const quint8 *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

void putFlagsAndLength(quint8 *p, int length)
{
    putBe16(p, quint16(FLAGS << 8 | (length & 0x0FFF)));
}

// The root layer and the framing layer up to the source name, but for the
// lengths.
void putRootAndFraming(quint8 *buf, quint32 rootVector, const quint8 *cid, quint32 framingVector,
                       const quint8 *sourceName)
{
    putBe16(buf + PREAMBLE_SIZE_OFFSET, 0x0010);
    putBe16(buf + POSTAMBLE_SIZE_OFFSET, 0x0000);
    std::memcpy(buf + IDENTIFIER_OFFSET, IDENTIFIER, IDENTIFIER_SIZE);
    putBe32(buf + ROOT_VECTOR_OFFSET, rootVector);
    if (cid)
        std::memcpy(buf + CID_OFFSET, cid, CID_SIZE);
    putBe32(buf + FRAMING_VECTOR_OFFSET, framingVector);
    if (sourceName) {
        std::memcpy(buf + SOURCE_NAME_OFFSET, sourceName, SOURCE_NAME_SIZE);
        buf[SOURCE_NAME_OFFSET + SOURCE_NAME_SIZE - 1] = 0;
    }
}

} // namespace

int encodeData(quint8 *buf, int capacity, const quint8 *sourceName, quint8 sequence, int universe,
               const quint8 *data, int slots)
{
    Header h;
    h.sourceName = sourceName;
    h.sequence = sequence;
    h.universe = universe;
    return encodeData(buf, capacity, h, data, slots);
}

int encodeData(quint8 *buf, int capacity, const Header &h, const quint8 *data, int slots)
{
    const int universe = h.universe;
    if (!buf || slots < 0 || slots > MAX_SLOTS || (slots > 0 && !data) || universe < MIN_UNIVERSE ||
        universe > MAX_UNIVERSE || capacity < HEADER_SIZE + slots)
        return -1;
    std::memset(buf, 0, HEADER_SIZE);
    putRootAndFraming(buf, ROOT_VECTOR, h.cid, FRAMING_VECTOR, h.sourceName);
    putFlagsAndLength(buf + ROOT_FLAGS_LENGTH_OFFSET, ROOT_LENGTH_BASE + slots);
    putFlagsAndLength(buf + FRAMING_FLAGS_LENGTH_OFFSET, FRAMING_LENGTH_BASE + slots);
    buf[PRIORITY_OFFSET] = h.priority;
    buf[SEQUENCE_OFFSET] = h.sequence;
    buf[OPTIONS_OFFSET] = h.options;
    putBe16(buf + UNIVERSE_OFFSET, quint16(universe));
    putFlagsAndLength(buf + DMP_FLAGS_LENGTH_OFFSET, DMP_LENGTH_BASE + slots);
    buf[DMP_VECTOR_OFFSET] = DMP_VECTOR;
    buf[ADDRESS_DATA_TYPE_OFFSET] = ADDRESS_DATA_TYPE;
    putBe16(buf + FIRST_ADDRESS_OFFSET, 0x0000);
    putBe16(buf + ADDRESS_INCREMENT_OFFSET, 0x0001);
    putBe16(buf + VALUE_COUNT_OFFSET, quint16(slots + 1));
    buf[START_CODE_OFFSET] = 0;
    if (slots > 0)
        std::memcpy(buf + DATA_OFFSET, data, size_t(slots));
    return HEADER_SIZE + slots;
}

int encodeDiscovery(quint8 *buf, int capacity, const quint8 *cid, const quint8 *sourceName,
                    int page, int lastPage, const int *universes, int count)
{
    const int size = DISCOVERY_HEADER_SIZE + 2 * count;
    if (!buf || count < 0 || count > DISCOVERY_PAGE_UNIVERSES || (count > 0 && !universes) ||
        page < 0 || page > lastPage || lastPage > 0xFF || capacity < size)
        return -1;
    std::memset(buf, 0, DISCOVERY_HEADER_SIZE);
    putRootAndFraming(buf, ROOT_VECTOR_EXTENDED, cid, FRAMING_VECTOR_DISCOVERY, sourceName);
    putFlagsAndLength(buf + ROOT_FLAGS_LENGTH_OFFSET, size - ROOT_FLAGS_LENGTH_OFFSET);
    putFlagsAndLength(buf + FRAMING_FLAGS_LENGTH_OFFSET, size - FRAMING_FLAGS_LENGTH_OFFSET);
    putFlagsAndLength(buf + DISCOVERY_FLAGS_LENGTH_OFFSET, size - DISCOVERY_FLAGS_LENGTH_OFFSET);
    putBe32(buf + DISCOVERY_VECTOR_OFFSET, DISCOVERY_VECTOR_UNIVERSE_LIST);
    buf[DISCOVERY_PAGE_OFFSET] = quint8(page);
    buf[DISCOVERY_LAST_PAGE_OFFSET] = quint8(lastPage);
    for (int i = 0; i < count; ++i)
        putBe16(buf + DISCOVERY_LIST_OFFSET + 2 * i, quint16(universes[i]));
    return size;
}

Result decodeData(const quint8 *buf, int len, DataPacket &out)
{
    // Synchronization and discovery packets are shorter than a data header.
    if (!buf || len < CID_OFFSET)
        return Result::TooShort;
    if (be16(buf + PREAMBLE_SIZE_OFFSET) != 0x0010 || be16(buf + POSTAMBLE_SIZE_OFFSET) != 0)
        return Result::BadPreamble;
    if (std::memcmp(buf + IDENTIFIER_OFFSET, IDENTIFIER, IDENTIFIER_SIZE) != 0)
        return Result::BadIdentifier;
    if ((buf[ROOT_FLAGS_LENGTH_OFFSET] & 0xF0) != FLAGS)
        return Result::BadRootFlags;
    if (be32(buf + ROOT_VECTOR_OFFSET) == ROOT_VECTOR_EXTENDED)
        return Result::Extended;
    if (be32(buf + ROOT_VECTOR_OFFSET) != ROOT_VECTOR)
        return Result::BadRootVector;
    if (len < HEADER_SIZE)
        return Result::TooShort;
    if (be32(buf + FRAMING_VECTOR_OFFSET) != FRAMING_VECTOR)
        return Result::BadFramingVector;
    const int universe = be16(buf + UNIVERSE_OFFSET);
    if (universe < MIN_UNIVERSE || universe > MAX_UNIVERSE)
        return Result::BadUniverse;
    if (buf[DMP_VECTOR_OFFSET] != DMP_VECTOR)
        return Result::BadDmpVector;
    if (buf[ADDRESS_DATA_TYPE_OFFSET] != ADDRESS_DATA_TYPE ||
        be16(buf + FIRST_ADDRESS_OFFSET) != 0 || be16(buf + ADDRESS_INCREMENT_OFFSET) != 1)
        return Result::BadAddressing;
    const int valueCount = be16(buf + VALUE_COUNT_OFFSET);
    if (valueCount < 1)
        return Result::BadValueCount;
    // Only null START code frames carry dimmer levels; the others (text,
    // RDM, system information) must not land in the levels.
    if (buf[START_CODE_OFFSET] != 0)
        return Result::NonZeroStartCode;
    out.universe = universe;
    out.cid = buf + CID_OFFSET;
    out.sourceName = buf + SOURCE_NAME_OFFSET;
    out.sequence = buf[SEQUENCE_OFFSET];
    out.priority = buf[PRIORITY_OFFSET];
    out.options = buf[OPTIONS_OFFSET];
    out.values = buf + DATA_OFFSET;
    out.count = std::min({valueCount - 1, MAX_SLOTS, len - HEADER_SIZE});
    return Result::Ok;
}

} // namespace acnpacket
