#include "net/artnetpacket.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cstring>

namespace artnetpacket
{

namespace
{

void putLe16(quint8 *p, quint16 v)
{
    p[0] = quint8(v & 0xFF);
    p[1] = quint8(v >> 8);
}

void putBe32(quint8 *p, quint32 v)
{
    p[0] = quint8(v >> 24);
    p[1] = quint8(v >> 16);
    p[2] = quint8(v >> 8);
    p[3] = quint8(v);
}

void putCommonHeader(quint8 *buf, quint16 opcode)
{
    std::memcpy(buf + ID_OFFSET, ID, sizeof ID);
    putLe16(buf + OPCODE_OFFSET, opcode);
    buf[PROT_VER_HI_OFFSET] = 0;
    buf[PROT_VER_LO_OFFSET] = PROTOCOL_VERSION;
}

// Copies at most size - 1 characters and zero-fills the rest of the field.
void putText(quint8 *field, int size, const QByteArray &text)
{
    std::memset(field, 0, size_t(size));
    std::memcpy(field, text.constData(), size_t(std::min<qsizetype>(text.size(), size - 1)));
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

Header decodeHeader(const quint8 *buf, int len)
{
    Header h;
    if (!buf || len < MIN_DATAGRAM)
        return h;
    if (std::memcmp(buf, ID, sizeof ID) == 0)
        h.id = Id::ArtNet;
    else if (std::memcmp(buf, MADRIX_ID, sizeof MADRIX_ID) == 0)
        h.id = Id::Madrix;
    else
        return h;
    h.opcode = quint16(buf[OPCODE_OFFSET] | buf[OPCODE_OFFSET + 1] << 8);
    return h;
}

int encodeDmx(quint8 *buf, int capacity, int universe, const quint8 *data, int length,
              quint8 sequence)
{
    if (!buf || !data || length < DMX_MIN_LENGTH || length > DMX_MAX_LENGTH || universe < 0 ||
        universe > MAX_PORT_ADDRESS || capacity < DMX_HEADER_SIZE + length)
        return -1;
    putCommonHeader(buf, OP_DMX);
    buf[DMX_SEQUENCE_OFFSET] = sequence;
    buf[DMX_PHYSICAL_OFFSET] = 0;
    buf[DMX_SUB_UNI_OFFSET] = quint8(universe & 0xFF);
    buf[DMX_NET_OFFSET] = quint8((universe >> 8) & 0xFF);
    buf[DMX_LENGTH_OFFSET] = quint8(length >> 8);
    buf[DMX_LENGTH_OFFSET + 1] = quint8(length & 0xFF);
    std::memcpy(buf + DMX_DATA_OFFSET, data, size_t(length));
    return DMX_HEADER_SIZE + length;
}

bool decodeDmx(const quint8 *buf, int len, DmxPacket &out)
{
    if (!buf || len < DMX_HEADER_SIZE)
        return false;
    out.universe = buf[DMX_SUB_UNI_OFFSET] | buf[DMX_NET_OFFSET] << 8;
    out.length = buf[DMX_LENGTH_OFFSET] << 8 | buf[DMX_LENGTH_OFFSET + 1];
    out.data = buf + DMX_DATA_OFFSET;
    // A Length that claims more than arrived yields only what arrived.
    out.available = std::min(out.length, len - DMX_HEADER_SIZE);
    return true;
}

int encodePoll(quint8 *buf, int capacity)
{
    if (!buf || capacity < POLL_SIZE)
        return -1;
    putCommonHeader(buf, OP_POLL);
    buf[POLL_FLAGS_OFFSET] = 0;
    buf[POLL_DIAG_PRIORITY_OFFSET] = 0;
    return POLL_SIZE;
}

int encodeTimeCode(quint8 *buf, int capacity, quint8 hours, quint8 minutes, quint8 seconds,
                   quint8 frames, quint8 type)
{
    if (!buf || capacity < TIME_CODE_SIZE)
        return -1;
    std::memset(buf, 0, TIME_CODE_SIZE);
    putCommonHeader(buf, OP_TIME_CODE);
    buf[TIME_CODE_FRAMES_OFFSET] = frames;
    buf[TIME_CODE_SECONDS_OFFSET] = seconds;
    buf[TIME_CODE_MINUTES_OFFSET] = minutes;
    buf[TIME_CODE_HOURS_OFFSET] = hours;
    buf[TIME_CODE_TYPE_OFFSET] = type;
    return TIME_CODE_SIZE;
}

int encodePollReply(quint8 *buf, int capacity, const PollReplyInfo &info)
{
    if (!buf || capacity < REPLY_SIZE)
        return -1;
    std::memset(buf, 0, REPLY_SIZE);
    std::memcpy(buf + ID_OFFSET, ID, sizeof ID);
    putLe16(buf + OPCODE_OFFSET, OP_POLL_REPLY);
    putBe32(buf + REPLY_IP_OFFSET, info.ip);
    putLe16(buf + REPLY_PORT_OFFSET, PORT);
    buf[REPLY_VERS_INFO_H_OFFSET] = info.versionHigh;
    buf[REPLY_VERS_INFO_L_OFFSET] = info.versionLow;
    buf[REPLY_NET_SWITCH_OFFSET] = info.netSwitch;
    buf[REPLY_SUB_SWITCH_OFFSET] = info.subSwitch;
    buf[REPLY_OEM_HI_OFFSET] = info.oemHigh;
    buf[REPLY_OEM_OFFSET] = info.oemLow;
    putText(buf + REPLY_SHORT_NAME_OFFSET, REPLY_SHORT_NAME_SIZE, info.shortName);
    putText(buf + REPLY_LONG_NAME_OFFSET, REPLY_LONG_NAME_SIZE, info.longName);
    putText(buf + REPLY_NODE_REPORT_OFFSET, REPLY_NODE_REPORT_SIZE, info.nodeReport);
    const int ports = std::clamp(info.numPorts, 0, REPLY_MAX_PORTS);
    buf[REPLY_NUM_PORTS_LO_OFFSET] = quint8(ports);
    for (int i = 0; i < ports; ++i) {
        buf[REPLY_PORT_TYPES_OFFSET + i] = REPLY_PORT_OUTPUT;
        buf[REPLY_GOOD_OUTPUT_OFFSET + i] = REPLY_GOOD_OUTPUT;
        buf[REPLY_SW_OUT_OFFSET + i] = info.swOut[i];
    }
    buf[REPLY_STYLE_OFFSET] = REPLY_STYLE_CONTROLLER;
    std::memcpy(buf + REPLY_MAC_OFFSET, info.mac, 6);
    putBe32(buf + REPLY_BIND_IP_OFFSET, info.bindIp);
    buf[REPLY_BIND_INDEX_OFFSET] = info.bindIndex;
    buf[REPLY_STATUS2_OFFSET] = REPLY_STATUS2_PORT_ADDRESS_15;
    return REPLY_SIZE;
}

bool decodePollReply(const quint8 *buf, int len, PollReplyPorts &out)
{
    if (!buf || len < REPLY_SW_OUT_OFFSET + REPLY_MAX_PORTS)
        return false;
    out.ip = quint32(buf[REPLY_IP_OFFSET]) << 24 | quint32(buf[REPLY_IP_OFFSET + 1]) << 16 |
             quint32(buf[REPLY_IP_OFFSET + 2]) << 8 | buf[REPLY_IP_OFFSET + 3];
    out.outputUniverses.clear();
    const int net = buf[REPLY_NET_SWITCH_OFFSET] & 0x7F;
    const int sub = buf[REPLY_SUB_SWITCH_OFFSET] & 0x0F;
    const int ports = std::min<int>(buf[REPLY_NUM_PORTS_LO_OFFSET], REPLY_MAX_PORTS);
    for (int i = 0; i < ports; ++i) {
        if (buf[REPLY_PORT_TYPES_OFFSET + i] & REPLY_PORT_OUTPUT)
            // Art-Net 4 reads the universe from the low nibble of SwOut.
            out.outputUniverses.append(net << 8 | sub << 4 | (buf[REPLY_SW_OUT_OFFSET + i] & 0x0F));
    }
    return true;
}

QByteArray formatNodeReport(quint16 code, int count, const QByteArray &text)
{
    return QStringLiteral("#%1 [%2] ")
               .arg(code, 4, 16, QLatin1Char('0'))
               .arg(count % 10000, 4, 10, QLatin1Char('0'))
               .toLatin1() +
           text;
}

QList<PollReplyPage> planPollReplyPages(int base, int ports)
{
    QList<PollReplyPage> pages;
    if (ports <= 0) {
        pages.append({std::max(base, 0), 0});
        return pages;
    }
    int universe = std::max(base, 0);
    int left = ports;
    while (left > 0 && pages.size() < REPLY_MAX_PAGES) {
        // Up to four ports, and never past the end of a block of 16 (one Sub-Net).
        const int toBlockEnd = 16 - (universe & 0x0F);
        const int n = std::min({left, REPLY_MAX_PORTS, toBlockEnd});
        pages.append({universe, n});
        universe += n;
        left -= n;
    }
    return pages;
}

void parseHardwareAddress(const QString &text, quint8 mac[6])
{
    QString digits = text;
    digits.remove(QLatin1Char(':'));
    for (int i = 0; i < 6 && 2 * i + 1 < digits.size(); ++i) {
        const int hi = hexValue(digits.at(2 * i));
        const int lo = hexValue(digits.at(2 * i + 1));
        if (hi >= 0 && lo >= 0)
            mac[i] = quint8(hi << 4 | lo);
    }
}

} // namespace artnetpacket
