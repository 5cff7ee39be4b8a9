// Art-Net packets as this node sends and reads them: pure encoders and
// decoders over (buffer, length) with named offsets. Multi-byte fields are
// little-endian unless the name says BE.
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace artnetpacket
{

constexpr quint16 PORT = 6454;
constexpr char ID[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};
constexpr char MADRIX_ID[8] = {'M', 'a', 'd', 'r', 'i', 'x', 'N', 0};
constexpr quint8 PROTOCOL_VERSION = 14;
// The Port-Address is 15 bits: Net (7), Sub-Net (4), Universe (4).
constexpr int MAX_PORT_ADDRESS = 0x7FFF;
// The OEM code for a product without a code of its own.
constexpr quint8 OEM_UNKNOWN_HI = 0x00;
constexpr quint8 OEM_UNKNOWN_LO = 0xFF;

constexpr quint16 OP_POLL = 0x2000;
constexpr quint16 OP_POLL_REPLY = 0x2100;
constexpr quint16 OP_DMX = 0x5000;
constexpr quint16 OP_SYNC_PRE = 0x5101;  // sync variant that precedes the frame
constexpr quint16 OP_SYNC_POST = 0x5202; // sync variant that follows the frame
constexpr quint16 OP_TIME_CODE = 0x9700;

// Common header
constexpr int ID_OFFSET = 0;
constexpr int OPCODE_OFFSET = 8; // LE
constexpr int PROT_VER_HI_OFFSET = 10;
constexpr int PROT_VER_LO_OFFSET = 11;
// Datagrams shorter than this are not looked at.
constexpr int MIN_DATAGRAM = 13;

// ArtDmx
constexpr int DMX_SEQUENCE_OFFSET = 12;
constexpr int DMX_PHYSICAL_OFFSET = 13;
constexpr int DMX_SUB_UNI_OFFSET = 14;
constexpr int DMX_NET_OFFSET = 15;
constexpr int DMX_LENGTH_OFFSET = 16; // BE
constexpr int DMX_DATA_OFFSET = 18;
constexpr int DMX_HEADER_SIZE = 18;
constexpr int DMX_MIN_LENGTH = 2;
constexpr int DMX_MAX_LENGTH = 512;
constexpr int DMX_MAX_SIZE = DMX_HEADER_SIZE + DMX_MAX_LENGTH;

// Sync (both variants, both IDs): byte 12 holds the hold flag.
constexpr int SYNC_HOLD_OFFSET = 12;

// ArtTimeCode
constexpr int TIME_CODE_FRAMES_OFFSET = 14;
constexpr int TIME_CODE_SECONDS_OFFSET = 15;
constexpr int TIME_CODE_MINUTES_OFFSET = 16;
constexpr int TIME_CODE_HOURS_OFFSET = 17;
constexpr int TIME_CODE_TYPE_OFFSET = 18;
constexpr int TIME_CODE_SIZE = 20;

// ArtPoll: what a reply needs of it, and what this node sends.
constexpr int POLL_KEEP_SIZE = 14;
constexpr int POLL_FLAGS_OFFSET = 12;
constexpr int POLL_DIAG_PRIORITY_OFFSET = 13;
constexpr int POLL_SIZE = 14;

// ArtPollReply
constexpr int REPLY_IP_OFFSET = 10; // most significant byte first
constexpr int REPLY_PORT_OFFSET = 14;
constexpr int REPLY_VERS_INFO_H_OFFSET = 16;
constexpr int REPLY_VERS_INFO_L_OFFSET = 17;
constexpr int REPLY_NET_SWITCH_OFFSET = 18;
constexpr int REPLY_SUB_SWITCH_OFFSET = 19;
constexpr int REPLY_OEM_HI_OFFSET = 20;
constexpr int REPLY_OEM_OFFSET = 21;
constexpr int REPLY_SHORT_NAME_OFFSET = 26;
constexpr int REPLY_SHORT_NAME_SIZE = 18;
constexpr int REPLY_LONG_NAME_OFFSET = 44;
constexpr int REPLY_LONG_NAME_SIZE = 64;
constexpr int REPLY_NODE_REPORT_OFFSET = 108;
constexpr int REPLY_NODE_REPORT_SIZE = 64;
constexpr int REPLY_NUM_PORTS_HI_OFFSET = 172;
constexpr int REPLY_NUM_PORTS_LO_OFFSET = 173;
constexpr int REPLY_PORT_TYPES_OFFSET = 174;
constexpr int REPLY_GOOD_INPUT_OFFSET = 178;
constexpr int REPLY_GOOD_OUTPUT_OFFSET = 182;
constexpr int REPLY_SW_IN_OFFSET = 186;
constexpr int REPLY_SW_OUT_OFFSET = 190;
constexpr int REPLY_STYLE_OFFSET = 200;
constexpr int REPLY_MAC_OFFSET = 201;
constexpr int REPLY_BIND_IP_OFFSET = 207;
constexpr int REPLY_BIND_INDEX_OFFSET = 211;
constexpr int REPLY_STATUS2_OFFSET = 212;
constexpr int REPLY_SIZE = 240;
constexpr int REPLY_MAX_PORTS = 4;
constexpr int REPLY_MAX_PAGES = 255; // BindIndex is one byte
// A port that outputs DMX512 taken from the Art-Net network (bit 7); ports
// a reply does not describe are typed 0.
constexpr quint8 REPLY_PORT_OUTPUT = 0x80;
constexpr quint8 REPLY_GOOD_OUTPUT = 0x80;             // data is being transmitted
constexpr quint8 REPLY_STYLE_CONTROLLER = 0x01;        // StController: a console, not a node
constexpr quint8 REPLY_STATUS2_PORT_ADDRESS_15 = 0x08; // 15-bit Port-Addresses (Art-Net 3 and 4)
// Node report: "#xxxx [count] text", xxxx a status code in hex.
constexpr quint16 REPORT_POWER_OK = 0x0001;

enum class Id { None, ArtNet, Madrix };

// Identifier and opcode of a datagram; Id::None for a foreign or too short
// (< MIN_DATAGRAM) one.
struct Header {
    Id id = Id::None;
    quint16 opcode = 0;
};
Header decodeHeader(const quint8 *buf, int len);

// Writes the 18-byte ArtDmx header and the data. Requires length within
// DMX_MIN_LENGTH..DMX_MAX_LENGTH, universe within 0..MAX_PORT_ADDRESS and
// capacity for 18 + length bytes; returns the datagram size, or -1 (nothing
// written). Sequence 0 means the receiver does not reorder.
int encodeDmx(quint8 *buf, int capacity, int universe, const quint8 *data, int length,
              quint8 sequence = 0);

struct DmxPacket {
    int universe = 0; // SubUni | Net << 8
    int length = 0;   // Length field, as claimed
    const quint8 *data = nullptr;
    int available = 0; // slot bytes the datagram really holds, <= length
};
// False for a datagram too short for the ArtDmx header.
bool decodeDmx(const quint8 *buf, int len, DmxPacket &out);

// Writes the 14-byte ArtPoll (no flags, no diagnostics); returns its size,
// or -1 when capacity is short.
int encodePoll(quint8 *buf, int capacity);

// Writes the 20-byte ArtTimeCode; returns its size, or -1 when capacity is short.
int encodeTimeCode(quint8 *buf, int capacity, quint8 hours, quint8 minutes, quint8 seconds,
                   quint8 frames, quint8 type);

struct PollReplyInfo {
    quint32 ip = 0; // host order
    quint8 mac[6] = {};
    quint8 versionHigh = 0, versionLow = 0;
    quint8 oemHigh = 0, oemLow = 0xFF;
    QByteArray shortName, longName, nodeReport; // 8-bit text, cut to fit
    quint8 netSwitch = 0, subSwitch = 0;
    int numPorts = 0;     // 0..4
    quint8 swOut[4] = {}; // written as given; Art-Net 4 wants the low nibble of the Port-Address
    quint32 bindIp = 0;   // host order; 0 with a single port
    quint8 bindIndex = 0;
};
// Writes the 240-byte ArtPollReply of a controller (Style StController) that
// takes 15-bit Port-Addresses (Status2 bit 3), without input ports; returns
// REPLY_SIZE, or -1 when capacity is short.
int encodePollReply(quint8 *buf, int capacity, const PollReplyInfo &info);

// What a received ArtPollReply says about its sender.
struct PollReplyPorts {
    quint32 ip = 0;             // host order, from the IP field
    QList<int> outputUniverses; // Port-Addresses of its DMX output ports
};
// False for a datagram too short for an ArtPollReply up to its port fields.
bool decodePollReply(const quint8 *buf, int len, PollReplyPorts &out);

// "#0001 [0042] text": status code in four hex digits, the count of replies
// sent in four decimal digits (modulo 10000), then the text.
QByteArray formatNodeReport(quint16 code, int count, const QByteArray &text);

// The universes one ArtPollReply describes.
struct PollReplyPage {
    int firstUniverse = 0;
    int ports = 0;
};
// Splits `ports` DMX-IN universes starting at `base` into replies of up to
// four ports. All ports of one reply share Net and Sub-Net, so a reply never
// crosses a multiple of 16. No ports give one reply without ports. At most
// REPLY_MAX_PAGES replies: ports beyond them are not announced.
QList<PollReplyPage> planPollReplyPages(int base, int ports);

// Reads "AA:BB:CC:DD:EE:FF" (colons optional, hex digits of either case);
// a character that is not a hex digit leaves its byte as it was.
void parseHardwareAddress(const QString &text, quint8 mac[6]);

} // namespace artnetpacket
