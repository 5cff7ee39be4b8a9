// Open Sound Control 1.0 datagrams as the console sends and reads them: pure
// encoders and a decoder over (buffer, length). Strings are NUL-terminated
// and padded with NULs to a multiple of 4 bytes; numbers are big-endian.
//
// Promises:
// - Encoded messages and bundles are always multiples of 4 bytes.
// - bundles() keeps the messages' order and puts each in exactly one
//   datagram of at most maxSize bytes; only a message too large for any
//   bundle under maxSize leaves on its own, as a plain message.
// - decode() reads nothing outside [data, data + size), and delivers either
//   every message of a datagram or none: a datagram malformed anywhere is
//   dropped whole, with one reason.
// - Pure: no sockets, no clock, no state.
#pragma once

#include "net/dropcounts.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace oscpacket
{

// Datagrams this console sends stay under a common Ethernet MTU.
constexpr int MAX_DATAGRAM = 1400;
// Received datagrams larger than this are not looked at.
constexpr int MAX_RECEIVE = 8192;
// Bundles inside bundles: a top-level bundle is depth 1.
constexpr int MAX_BUNDLE_DEPTH = 8;
constexpr int ALIGNMENT = 4;

// Bundle: "#bundle\0", a 64-bit time tag, then elements of (int32 size, bytes).
constexpr char BUNDLE_ID[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};
constexpr int BUNDLE_ID_OFFSET = 0;
constexpr int BUNDLE_TIME_TAG_OFFSET = 8; // BE, NTP format
constexpr int BUNDLE_HEADER_SIZE = 16;
constexpr int ELEMENT_SIZE_BYTES = 4; // BE int32 before each element
// The time tag that means "at once"; received time tags are ignored and
// every message is handled when it arrives.
constexpr quint64 TIME_TAG_IMMEDIATELY = 1;

constexpr char TYPE_TAG_START = ',';

// The first argument of a message, as the console uses it.
struct Value {
    enum Kind {
        None,  // no argument, or one the console has no use for (string, blob, nil, array...)
        Float, // 'f' or 'd'
        Int,   // 'i' or 'h'
        True,  // 'T'
        False, // 'F'
    };
    Kind kind = None;
    double number = 0; // Float and Int only; a float may be NaN or infinite
};

struct Message {
    QByteArrayView address; // starts with '/'; may be a pattern (oscpattern.h)
    Value value;
};

// One message with one argument: ",f" with a 32-bit float, ",i" with an int32.
QByteArray message(QByteArrayView address, float value);
QByteArray message(QByteArrayView address, qint32 value);

// Packs encoded messages, in order, into bundles with time tag "at once",
// each at most maxSize bytes. A message that does not fit in a bundle of
// maxSize on its own leaves as a plain message datagram between them. One
// message still goes in a bundle.
QList<QByteArray> bundles(const QList<QByteArray> &messages, int maxSize = MAX_DATAGRAM);

// Builds the datagrams for one target a message at a time, encoding each
// straight into one buffer that clear() keeps: bundled, the datagrams
// bundles() makes of the same messages; plain, one datagram per message.
class Packer
{
public:
    explicit Packer(bool plain = false, int maxSize = MAX_DATAGRAM)
        : m_plain(plain), m_maxSize(maxSize)
    {
    }
    bool plain() const { return m_plain; }
    void setPlain(bool plain); // only while isEmpty()

    void add(QByteArrayView address, float value);
    void add(QByteArrayView address, qint32 value);
    void add(QByteArrayView encodedMessage);

    bool isEmpty() const { return m_ends.empty() && m_open < 0; }
    // Closes the open bundle: the datagrams are final until the next add().
    void finish();
    int count() const { return int(m_ends.size()); } // after finish()
    QByteArrayView datagram(int i) const;
    void clear(); // keeps the buffer's capacity

private:
    // Room for one message of `size` bytes at the buffer's end, in a bundle
    // or a datagram of its own.
    char *place(int size);
    // `size` zeroed bytes at the end of the datagrams.
    char *grow(int size);

    bool m_plain;
    int m_maxSize;
    std::vector<char> m_data; // its first m_size bytes are the datagrams; never shrinks
    int m_size = 0;
    std::vector<int> m_ends; // where each finished datagram ends in m_data
    int m_open = -1;         // where the open bundle starts, -1 none
};

// Decodes an untrusted datagram: a message or a bundle. Calls onMessage once
// per message, in order, with the first argument of each (later arguments
// are checked and skipped: i f s S b h t d c r m T F N I and arrays). A
// message without a type tag string (senders older than OSC 1.0) has no
// argument: Value::None. False, with *why set (when given) and nothing
// delivered, when the datagram is malformed. The views point into `data`.
bool decode(const char *data, int size, const std::function<void(const Message &)> &onMessage,
            DropReason *why = nullptr);

} // namespace oscpacket
