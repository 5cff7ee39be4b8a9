// Test doubles for the network seams: a socket that records what is sent and
// delivers injected datagrams, fixed interface lists and a clock moved by
// hand; DMX datagrams as other senders send them.
#pragma once

#include "net/acnpacket.h"
#include "net/dmxnode.h"
#include "net/netenvironment.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class FakeSocket : public DatagramSocket
{
    Q_OBJECT
public:
    struct Sent {
        QByteArray data;
        QHostAddress destination;
        quint16 port;
    };
    struct Membership {
        QHostAddress group;
        QHostAddress local;
        bool join;
    };

    bool bind(quint16 port, bool shareAddress) override
    {
        if (bindLog)
            bindLog->append(shareAddress);
        if (!bindSucceeds)
            return false;
        boundPort = port;
        return true;
    }
    bool bindAddress(const QHostAddress &address, quint16 port) override
    {
        if (!bindSucceeds)
            return false;
        boundAddress = address;
        boundPort = port;
        return true;
    }
    qint64 writeDatagram(const char *data, qint64 size, const QHostAddress &destination,
                         quint16 port) override
    {
        if (failSends || destination == failTo || (refuse && refuse(QByteArray(data, int(size)))))
            return -1;
        sent.append({QByteArray(data, int(size)), destination, port});
        if (sentLog)
            sentLog->append(sent.last());
        return size;
    }
    int writeDatagrams(const OutgoingDatagram *datagrams, int count) override
    {
        batches.append(count);
        return DatagramSocket::writeDatagrams(datagrams, count);
    }
    bool hasPendingDatagrams() override { return !incoming.isEmpty(); }
    qint64 readDatagram(char *data, qint64 maxSize, QHostAddress *sender) override
    {
        if (incoming.isEmpty())
            return -1;
        const auto d = incoming.takeFirst();
        const qint64 n = std::min<qint64>(maxSize, d.first.size());
        memcpy(data, d.first.constData(), size_t(n));
        if (sender)
            *sender = d.second;
        return n;
    }
    bool setMulticastMembership(const QHostAddress &group, const QHostAddress &local,
                                bool join) override
    {
        memberships.append({group, local, join});
        return !failMemberships;
    }

    // Queues a datagram and notifies the node, which reads it at once.
    void inject(const QByteArray &datagram, const QHostAddress &sender)
    {
        incoming.append({datagram, sender});
        emit readyRead();
    }

    bool bindSucceeds = true;
    bool failSends = false;
    QHostAddress failTo;                            // sends to this address fail
    std::function<bool(const QByteArray &)> refuse; // and these datagrams
    bool failMemberships = false;
    quint16 boundPort = 0;
    QHostAddress boundAddress;      // null unless bound to one address
    QList<bool> *bindLog = nullptr; // outlives the socket
    QList<Sent> sent;
    QList<Sent> *sentLog = nullptr; // outlives the socket
    QList<int> batches;             // datagrams handed over per batch call
    QList<Membership> memberships;
    QList<QPair<QByteArray, QHostAddress>> incoming;
};

// Builds NetEnvironments whose sockets, interfaces and clock the test controls.
struct FakeNet {
    QList<NetworkInterfaceInfo> interfaces;
    qint64 now = 1000000;
    int interfaceQueries = 0;
    bool bindSucceeds = true;
    QPointer<FakeSocket> socket;         // the last socket a node created
    QList<QPointer<FakeSocket>> sockets; // every one, in the order made
    QList<bool> bindLog;                 // share flag of every bind of every socket

    // The socket made last of those bound to `port`; null when none is.
    FakeSocket *boundTo(quint16 port) const
    {
        FakeSocket *found = nullptr;
        for (FakeSocket *s : sockets)
            found = s && s->boundPort == port ? s : found;
        return found;
    }

    NetEnvironment env()
    {
        NetEnvironment e;
        e.interfaces = [this] {
            ++interfaceQueries;
            return interfaces;
        };
        e.createSocket = [this]() -> DatagramSocket * {
            auto *s = new FakeSocket;
            s->bindSucceeds = bindSucceeds;
            s->bindLog = &bindLog;
            socket = s;
            sockets.append(s);
            return s;
        };
        e.clockMs = [this] { return now; };
        return e;
    }

    static QNetworkAddressEntry entry(const char *ip, const char *mask, const char *broadcast)
    {
        QNetworkAddressEntry e;
        e.setIp(QHostAddress(QString::fromLatin1(ip)));
        if (mask)
            e.setNetmask(QHostAddress(QString::fromLatin1(mask)));
        if (broadcast)
            e.setBroadcast(QHostAddress(QString::fromLatin1(broadcast)));
        return e;
    }
    // Loopback as Linux reports it (no broadcast) and two Ethernet interfaces.
    void useLan()
    {
        interfaces = {
            {QString(), {entry("127.0.0.1", "255.0.0.0", nullptr)}},
            {"00:11:22:AA:BB:CC", {entry("192.168.1.10", "255.255.255.0", "192.168.1.255")}},
            {"02:00:00:00:00:03", {entry("10.0.0.3", "255.0.0.0", "10.255.255.255")}},
        };
    }
    void useLoopbackOnly()
    {
        interfaces = {{QString(), {entry("127.0.0.1", "255.0.0.0", nullptr)}}};
    }
};

// `levels` as a frame of one universe: the number of universes that left.
inline int sendUniverse(DmxNode &node, int universe, const QByteArray &levels)
{
    const DmxUniverse u{universe, reinterpret_cast<const quint8 *>(levels.constData()),
                        int(levels.size())};
    return node.sendFrame(&u, 1);
}

inline QByteArray filled(int n, char v)
{
    return QByteArray(n, v);
}

inline const quint8 *u8(const QByteArray &a)
{
    return reinterpret_cast<const quint8 *>(a.constData());
}

inline quint8 *w8(QByteArray &a)
{
    return reinterpret_cast<quint8 *>(a.data());
}

// An ArtDmx with Sequence 0; lengthField: the Length it says (-1: as many).
inline QByteArray artDmx(int universe, const QByteArray &data, int lengthField = -1)
{
    if (lengthField < 0)
        lengthField = int(data.size());
    QByteArray p = QByteArray("Art-Net", 8) + QByteArray::fromHex("0050000e0000");
    p += char(universe & 0xFF);
    p += char(universe >> 8);
    p += char(lengthField >> 8);
    p += char(lengthField & 0xFF);
    return p + data;
}

// An E1.31 data packet of source "peer" (CID `source`, 0, 0, ...).
inline QByteArray e131(int wireUniverse, const QByteArray &data, quint8 sequence = 1,
                       char source = 'p', quint8 priority = 100, quint8 options = 0)
{
    QByteArray p(acnpacket::MAX_SIZE, 0);
    const quint8 name[64] = {'p', 'e', 'e', 'r'};
    const quint8 cid[16] = {quint8(source)};
    acnpacket::Header h;
    h.cid = cid;
    h.sourceName = name;
    h.sequence = sequence;
    h.priority = priority;
    h.options = options;
    h.universe = wireUniverse;
    p.resize(acnpacket::encodeData(reinterpret_cast<quint8 *>(p.data()), int(p.size()), h, u8(data),
                                   int(std::min<qsizetype>(data.size(), acnpacket::MAX_SLOTS))));
    return p;
}
