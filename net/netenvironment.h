// What the network nodes touch in the world, behind small seams: the list of
// network interfaces, the UDP socket and the clock. The product uses
// NetEnvironment::system(); tests hand in fixed interface lists, fake or
// loopback sockets and a clock they move by hand.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkAddressEntry>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QSocketNotifier;

// One network interface as the platform reports it.
struct NetworkInterfaceInfo {
    QString hardwareAddress; // "AA:BB:CC:DD:EE:FF", may be empty
    QList<QNetworkAddressEntry> addressEntries;
    QString name; // "eth0", may be empty

    NetworkInterfaceInfo() = default;
    NetworkInterfaceInfo(QString hardware, QList<QNetworkAddressEntry> entries,
                         QString interfaceName = QString())
        : hardwareAddress(std::move(hardware)), addressEntries(std::move(entries)),
          name(std::move(interfaceName))
    {
    }
};

// One datagram of a batch: the bytes stay the caller's.
struct OutgoingDatagram {
    const char *data = nullptr;
    int size = 0;
    quint32 ipv4 = 0; // destination address, host order
    quint16 port = 0;
};

// A UDP socket bound to one port on every IPv4 address (or on one). All calls return
// without blocking.
class DatagramSocket : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DatagramSocket() override = default;

    // Binds to 0.0.0.0:port; with shareAddress other sockets may bind the same
    // port (address sharing and reuse). False when the port cannot be bound.
    virtual bool bind(quint16 port, bool shareAddress) = 0;
    // Binds exclusively to one IPv4 address (127.0.0.1, an interface's own
    // address) and port, so only datagrams to that address arrive. False when
    // it cannot be bound; sockets that cannot do it always say false.
    virtual bool bindAddress(const QHostAddress &address, quint16 port)
    {
        Q_UNUSED(address);
        Q_UNUSED(port);
        return false;
    }
    // Bytes sent, or -1.
    virtual qint64 writeDatagram(const char *data, qint64 size, const QHostAddress &destination,
                                 quint16 port) = 0;
    // Sends the datagrams in order; how many left before the first failure.
    // One writeDatagram each unless the platform sends batches.
    virtual int writeDatagrams(const OutgoingDatagram *datagrams, int count);
    // Sends every datagram it can: one that fails is skipped, not the ones
    // after it. `left`, when given, gets 1 per datagram that left, else 0.
    // How many left.
    int writeDatagramsPastFailures(const OutgoingDatagram *datagrams, int count,
                                   std::vector<char> *left = nullptr);
    virtual bool hasPendingDatagrams() = 0;
    // Reads the next datagram (truncated to maxSize); its size, or -1 when
    // none is pending.
    virtual qint64 readDatagram(char *data, qint64 maxSize, QHostAddress *sender) = 0;
    // Joins (join = true) or leaves an IPv4 multicast group on the interface
    // that owns localAddress (the any-address lets the system choose). The
    // socket receives the datagrams of every group it joined, however many
    // the system lets one socket join.
    virtual bool setMulticastMembership(const QHostAddress &group, const QHostAddress &localAddress,
                                        bool join) = 0;
    // Why the last failed send failed, as the platform words it; may be empty.
    virtual QString errorString() const { return QString(); }

signals:
    void readyRead();
};

// The real socket: a platform UDP socket watched by a QSocketNotifier. One
// system call per datagram read or sent (Linux: per batch, but reads into a
// buffer of more than 1,500 bytes take one datagram each); the receive
// buffer is enlarged so a burst of hundreds of universes is not dropped.
// Linux lets one socket join 20 multicast groups (igmp_max_memberships):
// further groups are joined by member sockets that are bound to no port and
// so receive nothing themselves, while the bound socket hears every group
// joined on its interfaces (IP_MULTICAST_ALL).
class UdpDatagramSocket : public DatagramSocket
{
    Q_OBJECT
public:
    static constexpr int RECEIVE_BUFFER_BYTES = 4 * 1024 * 1024;

    explicit UdpDatagramSocket(QObject *parent = nullptr);
    ~UdpDatagramSocket() override;
    bool bind(quint16 port, bool shareAddress) override;
    bool bindAddress(const QHostAddress &address, quint16 port) override;
    qint64 writeDatagram(const char *data, qint64 size, const QHostAddress &destination,
                         quint16 port) override;
    int writeDatagrams(const OutgoingDatagram *datagrams, int count) override;
    bool hasPendingDatagrams() override;
    qint64 readDatagram(char *data, qint64 maxSize, QHostAddress *sender) override;
    bool setMulticastMembership(const QHostAddress &group, const QHostAddress &localAddress,
                                bool join) override;
    QString errorString() const override { return m_error; }

private:
    bool bindTo(const QHostAddress &address, quint16 port, bool shareAddress);
    void close();
    qint64 receiveOne(char *data, qint64 maxSize, QHostAddress *sender);

    qintptr m_fd = -1;
    QList<qintptr> m_memberFds; // sockets that only hold memberships
    QSocketNotifier *m_notifier = nullptr;
    QString m_error;
    // Linux reads queued datagrams in batches: one system call per wake-up.
    struct Batch;
    Batch *m_batch = nullptr;
};

// The most datagrams a node handles in one pass of the event loop. A node
// that finds more pending reads them in a later pass, so a flood never keeps
// the window from being painted or the timers from running.
constexpr int MAX_DATAGRAMS_PER_PASS = 500;

struct NetEnvironment {
    // The machine's interfaces in the platform's order.
    std::function<QList<NetworkInterfaceInfo>()> interfaces;
    // A new, unbound socket; the node takes ownership.
    std::function<DatagramSocket *()> createSocket;
    // Monotonic milliseconds.
    std::function<qint64()> clockMs;

    // Interfaces that are up (QNetworkInterface), UdpDatagramSocket and a
    // steady clock.
    static NetEnvironment system();
};

// A node's socket on `port`: with `share` bound with address sharing,
// otherwise exclusively if it can be and shared if not. Null when the
// environment gives no socket or the port cannot be bound. The caller
// owns the socket.
DatagramSocket *bindNodeSocket(const NetEnvironment &env, quint16 port, bool share);
