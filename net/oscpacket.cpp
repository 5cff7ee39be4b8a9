#include "net/oscpacket.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace oscpacket
{

namespace
{

int padded(int size)
{
    return (size + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
}

quint32 readBE32(const char *p)
{
    const auto *u = reinterpret_cast<const quint8 *>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | u[3];
}

void writeBE32(char *p, quint32 v)
{
    p[0] = char(v >> 24);
    p[1] = char(v >> 16);
    p[2] = char(v >> 8);
    p[3] = char(v);
}

// A message of one argument: the address, a type tag string of two
// characters and 4 bytes.
int encodedSize(QByteArrayView address)
{
    return padded(int(address.size()) + 1) + ALIGNMENT + 4;
}

// Writes that message to `out`, encodedSize() bytes already zeroed.
void encodeInto(char *out, QByteArrayView address, const char *tags, quint32 bits)
{
    std::memcpy(out, address.data(), size_t(address.size()));
    out += padded(int(address.size()) + 1);
    out[0] = tags[0];
    out[1] = tags[1];
    writeBE32(out + ALIGNMENT, bits);
}

QByteArray encode(QByteArrayView address, const char *tags, quint32 bits)
{
    QByteArray out(encodedSize(address), '\0');
    encodeInto(out.data(), address, tags, bits);
    return out;
}

// Reads datagrams into a list first, so a fault late in a bundle delivers
// nothing of it.
class Reader
{
public:
    QVarLengthArray<Message, 16> messages;
    DropReason why = DropReason::OscTruncated;

    bool packet(const char *p, int size, int depth)
    {
        if (size >= int(sizeof BUNDLE_ID) && std::memcmp(p, BUNDLE_ID, sizeof BUNDLE_ID) == 0)
            return bundle(p, size, depth + 1);
        if (size > 0 && p[0] == '/')
            return message(p, size);
        return fail(DropReason::OscBadAddress);
    }

private:
    bool fail(DropReason reason)
    {
        why = reason;
        return false;
    }

    // A padded string at p[*at] within `size`; *at moves past its padding.
    bool string(const char *p, int size, int *at, QByteArrayView *out = nullptr)
    {
        const void *nul = std::memchr(p + *at, 0, size_t(size - *at));
        if (!nul)
            return fail(DropReason::OscTruncated);
        const int length = int(static_cast<const char *>(nul) - (p + *at));
        const int end = *at + padded(length + 1);
        if (end > size)
            return fail(DropReason::OscTruncated);
        for (int i = *at + length; i < end; ++i)
            if (p[i] != 0)
                return fail(DropReason::OscBadPadding);
        if (out)
            *out = QByteArrayView(p + *at, length);
        *at = end;
        return true;
    }

    bool take(int size, int *at, int bytes)
    {
        if (size - *at < bytes)
            return fail(DropReason::OscTruncated);
        *at += bytes;
        return true;
    }

    bool bundle(const char *p, int size, int depth)
    {
        if (depth > MAX_BUNDLE_DEPTH)
            return fail(DropReason::OscTooDeep);
        if (size < BUNDLE_HEADER_SIZE)
            return fail(DropReason::OscTruncated);
        int at = BUNDLE_HEADER_SIZE;
        while (at < size) {
            if (size - at < ELEMENT_SIZE_BYTES)
                return fail(DropReason::OscTruncated);
            const qint32 length = qint32(readBE32(p + at));
            at += ELEMENT_SIZE_BYTES;
            if (length <= 0 || length % ALIGNMENT != 0)
                return fail(DropReason::OscBadPadding);
            if (length > size - at)
                return fail(DropReason::OscTruncated);
            if (!packet(p + at, length, depth))
                return false;
            at += length;
        }
        return true;
    }

    bool message(const char *p, int size)
    {
        Message m;
        int at = 0;
        if (!string(p, size, &at, &m.address))
            return false;
        if (at == size) { // no type tag string
            messages.append(m);
            return true;
        }
        QByteArrayView tags;
        if (!string(p, size, &at, &tags))
            return false;
        if (tags.isEmpty() || tags[0] != TYPE_TAG_START)
            return fail(DropReason::OscBadTypeTag);
        int arrays = 0;
        for (qsizetype i = 1; i < tags.size(); ++i) {
            const char tag = tags[i];
            const bool first = i == 1;
            const int start = at;
            switch (tag) {
            case 'i':
            case 'f':
            case 'c':
            case 'r':
            case 'm':
                if (!take(size, &at, 4))
                    return false;
                if (first && tag == 'i')
                    m.value = {Value::Int, double(qint32(readBE32(p + start)))};
                if (first && tag == 'f') {
                    const quint32 bits = readBE32(p + start);
                    float f;
                    std::memcpy(&f, &bits, sizeof f);
                    m.value = {Value::Float, double(f)};
                }
                break;
            case 'h':
            case 't':
            case 'd':
                if (!take(size, &at, 8))
                    return false;
                if (first && tag != 't') {
                    const quint64 bits =
                        quint64(readBE32(p + start)) << 32 | readBE32(p + start + ALIGNMENT);
                    if (tag == 'h') {
                        m.value = {Value::Int, double(qint64(bits))};
                    } else {
                        double d;
                        std::memcpy(&d, &bits, sizeof d);
                        m.value = {Value::Float, d};
                    }
                }
                break;
            case 's':
            case 'S':
                if (!string(p, size, &at))
                    return false;
                break;
            case 'b': {
                if (!take(size, &at, 4))
                    return false;
                const qint32 length = qint32(readBE32(p + start));
                if (length < 0)
                    return fail(DropReason::OscTruncated);
                if (!take(size, &at, padded(int(qMin<qint64>(length, size)))))
                    return false;
                for (int j = start + ALIGNMENT + length; j < at; ++j)
                    if (p[j] != 0)
                        return fail(DropReason::OscBadPadding);
                break;
            }
            case 'T':
            case 'F':
                if (first)
                    m.value.kind = tag == 'T' ? Value::True : Value::False;
                break;
            case 'N':
            case 'I':
                break;
            case '[':
                ++arrays;
                break;
            case ']':
                if (--arrays < 0)
                    return fail(DropReason::OscBadTypeTag);
                break;
            default:
                return fail(DropReason::OscBadTypeTag);
            }
        }
        if (arrays != 0)
            return fail(DropReason::OscBadTypeTag);
        if (at != size) // bytes no tag accounts for
            return fail(DropReason::OscBadPadding);
        messages.append(m);
        return true;
    }
};

} // namespace

QByteArray message(QByteArrayView address, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return encode(address, ",f", bits);
}

QByteArray message(QByteArrayView address, qint32 value)
{
    return encode(address, ",i", quint32(value));
}

QList<QByteArray> bundles(const QList<QByteArray> &messages, int maxSize)
{
    Packer packer(false, maxSize);
    for (const QByteArray &m : messages)
        packer.add(m);
    packer.finish();
    QList<QByteArray> out;
    out.reserve(packer.count());
    for (int i = 0; i < packer.count(); ++i)
        out.append(packer.datagram(i).toByteArray());
    return out;
}

void Packer::setPlain(bool plain)
{
    Q_ASSERT(isEmpty());
    m_plain = plain;
}

char *Packer::grow(int size)
{
    const int at = m_size;
    m_size += size;
    if (size_t(m_size) > m_data.size())
        m_data.resize(std::max(size_t(m_size), 2 * m_data.size()));
    char *p = m_data.data() + at;
    std::memset(p, 0, size_t(size));
    return p;
}

char *Packer::place(int size)
{
    const int element = ELEMENT_SIZE_BYTES + size;
    const bool alone = m_plain || BUNDLE_HEADER_SIZE + element > m_maxSize;
    if (alone || (m_open >= 0 && m_size - m_open + element > m_maxSize))
        finish();
    if (alone) {
        char *p = grow(size);
        m_ends.push_back(m_size);
        return p;
    }
    if (m_open < 0) {
        m_open = m_size;
        char *header = grow(BUNDLE_HEADER_SIZE);
        std::memcpy(header + BUNDLE_ID_OFFSET, BUNDLE_ID, sizeof BUNDLE_ID);
        writeBE32(header + BUNDLE_TIME_TAG_OFFSET, quint32(TIME_TAG_IMMEDIATELY >> 32));
        writeBE32(header + BUNDLE_TIME_TAG_OFFSET + 4, quint32(TIME_TAG_IMMEDIATELY));
    }
    char *p = grow(element);
    writeBE32(p, quint32(size));
    return p + ELEMENT_SIZE_BYTES;
}

void Packer::add(QByteArrayView address, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    encodeInto(place(encodedSize(address)), address, ",f", bits);
}

void Packer::add(QByteArrayView address, qint32 value)
{
    encodeInto(place(encodedSize(address)), address, ",i", quint32(value));
}

void Packer::add(QByteArrayView encodedMessage)
{
    std::memcpy(place(int(encodedMessage.size())), encodedMessage.data(),
                size_t(encodedMessage.size()));
}

void Packer::finish()
{
    if (m_open < 0)
        return;
    m_ends.push_back(m_size);
    m_open = -1;
}

QByteArrayView Packer::datagram(int i) const
{
    const int from = i == 0 ? 0 : m_ends[size_t(i - 1)];
    return QByteArrayView(m_data.data() + from, m_ends[size_t(i)] - from);
}

void Packer::clear()
{
    m_size = 0;
    m_ends.clear();
    m_open = -1;
}

bool decode(const char *data, int size, const std::function<void(const Message &)> &onMessage,
            DropReason *why)
{
    Reader reader;
    bool ok;
    if (size > MAX_RECEIVE) {
        ok = false;
        reader.why = DropReason::OscOversized;
    } else if (!data || size < ALIGNMENT) {
        ok = false;
        reader.why = DropReason::OscTruncated;
    } else if (size % ALIGNMENT != 0) {
        ok = false;
        reader.why = DropReason::OscBadPadding;
    } else {
        ok = reader.packet(data, size, 0);
    }
    if (!ok) {
        if (why)
            *why = reader.why;
        return false;
    }
    if (onMessage)
        for (const Message &m : std::as_const(reader.messages))
            onMessage(m);
    return true;
}

} // namespace oscpacket
