#include "net/oscpacket.h"

#include <QVarLengthArray>

#include <cstring>

namespace oscpacket
{

namespace
{

int padded(int size)
{
    return (size + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
}

void appendString(QByteArray &out, QByteArrayView text)
{
    out.append(text.data(), text.size());
    out.append(padded(int(text.size()) + 1) - int(text.size()), '\0');
}

void appendBE32(QByteArray &out, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

quint32 readBE32(const char *p)
{
    const auto *u = reinterpret_cast<const quint8 *>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | u[3];
}

QByteArray encode(QByteArrayView address, const char *tags, quint32 bits)
{
    QByteArray out;
    out.reserve(padded(int(address.size()) + 1) + 2 * ALIGNMENT);
    appendString(out, address);
    appendString(out, tags);
    appendBE32(out, bits);
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
    QList<QByteArray> out;
    QByteArray current;
    auto flush = [&] {
        if (current.size() > BUNDLE_HEADER_SIZE)
            out.append(current);
        current.clear();
    };
    for (const QByteArray &m : messages) {
        const int element = ELEMENT_SIZE_BYTES + int(m.size());
        if (BUNDLE_HEADER_SIZE + element > maxSize) {
            flush();
            out.append(m);
            continue;
        }
        if (current.size() + element > maxSize)
            flush();
        if (current.isEmpty()) {
            current.reserve(maxSize);
            current.append(BUNDLE_ID, sizeof BUNDLE_ID);
            appendBE32(current, quint32(TIME_TAG_IMMEDIATELY >> 32));
            appendBE32(current, quint32(TIME_TAG_IMMEDIATELY));
        }
        appendBE32(current, quint32(m.size()));
        current.append(m);
    }
    flush();
    return out;
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
