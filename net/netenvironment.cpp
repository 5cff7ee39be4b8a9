#include "net/netenvironment.h"

#include <QEvent>
#include <QNetworkInterface>
#include <QSocketNotifier>

#include <algorithm>
#include <chrono>
#include <cstring>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
using socklen_t = int;
#else
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace
{

#ifdef Q_OS_WIN
using Fd = SOCKET;
void closeSocket(qintptr fd)
{
    ::closesocket(SOCKET(fd));
}
bool setNonBlocking(qintptr fd)
{
    u_long on = 1;
    return ::ioctlsocket(SOCKET(fd), FIONBIO, &on) == 0;
}
#else
using Fd = int;
void closeSocket(qintptr fd)
{
    ::close(int(fd));
}
bool setNonBlocking(qintptr fd)
{
    const int flags = ::fcntl(int(fd), F_GETFL);
    return flags >= 0 && ::fcntl(int(fd), F_SETFL, flags | O_NONBLOCK) == 0;
}
#endif

bool setOption(qintptr fd, int level, int name, int value)
{
    return ::setsockopt(Fd(fd), level, name, reinterpret_cast<const char *>(&value),
                        sizeof value) == 0;
}

sockaddr_in toSockaddr(quint32 ipv4, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(ipv4);
    return a;
}

sockaddr_in toSockaddr(const QHostAddress &address, quint16 port)
{
    return toSockaddr(address.toIPv4Address(), port);
}

// Announces a readable socket as its readyRead() straight from the
// notifier's event, without the hop through the activated() signal.
class ReadNotifier : public QSocketNotifier
{
public:
    ReadNotifier(qintptr fd, DatagramSocket *socket)
        : QSocketNotifier(fd, QSocketNotifier::Read, socket), m_socket(socket)
    {
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::SockAct && e->type() != QEvent::SockClose)
            return QSocketNotifier::event(e);
        // The handler may delete the socket and with it this notifier.
        emit m_socket->readyRead();
        return true;
    }

private:
    DatagramSocket *m_socket;
};

} // namespace

struct UdpDatagramSocket::Batch {
#ifdef Q_OS_LINUX
    static constexpr int COUNT = 32;
    // A slot holds a datagram of the size the reader takes; slots grow to
    // a larger reader's size (OSC bundles), up to MAX_SLOT_BYTES.
    static constexpr int MIN_SLOT_BYTES = 1500;
    static constexpr int MAX_SLOT_BYTES = 16384;
    int slotBytes = MIN_SLOT_BYTES;
    std::vector<char> buffers = std::vector<char>(size_t(COUNT) * MIN_SLOT_BYTES);
    char *slot(int i)
    {
        return buffers.data() + size_t(i) * size_t(slotBytes);
    }
    sockaddr_in from[COUNT];
    iovec io[COUNT];
    mmsghdr headers[COUNT];
    int received = 0;     // datagrams in the batch
    int next = 0;         // next one to hand out
    bool drained = false; // the last batch emptied the socket
    // Sending: up to SEND_COUNT datagrams a call (the kernel's most), the
    // room made on the first batch that needs it.
    static constexpr int SEND_COUNT = 1024;
    std::vector<sockaddr_in> to;
    std::vector<iovec> sendIo;
    std::vector<mmsghdr> sendHeaders;
#endif
};

UdpDatagramSocket::UdpDatagramSocket(QObject *parent) : DatagramSocket(parent)
{
#ifdef Q_OS_LINUX
    m_batch = new Batch;
#endif
}

UdpDatagramSocket::~UdpDatagramSocket()
{
    close();
    delete m_batch;
}

void UdpDatagramSocket::close()
{
#ifdef Q_OS_LINUX
    if (m_batch) {
        m_batch->received = m_batch->next = 0;
        m_batch->drained = false;
    }
#endif
    delete m_notifier;
    m_notifier = nullptr;
    for (qintptr fd : std::as_const(m_memberFds))
        closeSocket(fd);
    m_memberFds.clear();
    if (m_fd >= 0)
        closeSocket(m_fd);
    m_fd = -1;
}

bool UdpDatagramSocket::bind(quint16 port, bool shareAddress)
{
    return bindTo(QHostAddress(QHostAddress::AnyIPv4), port, shareAddress);
}

bool UdpDatagramSocket::bindAddress(const QHostAddress &address, quint16 port)
{
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    return bindTo(address, port, false);
}

bool UdpDatagramSocket::bindTo(const QHostAddress &address, quint16 port, bool shareAddress)
{
    close();
#ifdef Q_OS_WIN
    static const bool started = [] {
        WSADATA wsa;
        return ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }();
    if (!started)
        return false;
#endif
    const Fd fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
#ifdef Q_OS_WIN
    if (fd == INVALID_SOCKET)
        return false;
#else
    if (fd < 0)
        return false;
#endif
    m_fd = qintptr(fd);
    if (shareAddress) {
        setOption(m_fd, SOL_SOCKET, SO_REUSEADDR, 1);
#ifdef SO_REUSEPORT
        // BSD and macOS share a UDP port only with SO_REUSEPORT.
#ifndef Q_OS_LINUX
        setOption(m_fd, SOL_SOCKET, SO_REUSEPORT, 1);
#endif
#endif
    }
    // Art-Net broadcasts; bursts of whole universes need room.
    setOption(m_fd, SOL_SOCKET, SO_BROADCAST, 1);
    setOption(m_fd, SOL_SOCKET, SO_RCVBUF, RECEIVE_BUFFER_BYTES);
#ifdef IP_MULTICAST_ALL
    // The groups of the member sockets reach this one (the Linux default, said aloud).
    setOption(m_fd, IPPROTO_IP, IP_MULTICAST_ALL, 1);
#endif
    const sockaddr_in local = toSockaddr(address, port);
    if (!setNonBlocking(m_fd) ||
        ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        close();
        return false;
    }
    m_notifier = new ReadNotifier(m_fd, this);
    return true;
}

qint64 UdpDatagramSocket::writeDatagram(const char *data, qint64 size,
                                        const QHostAddress &destination, quint16 port)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("socket not bound");
        return -1;
    }
    if (destination.protocol() != QAbstractSocket::IPv4Protocol) {
        m_error = QStringLiteral("not an IPv4 destination");
        return -1;
    }
    const sockaddr_in to = toSockaddr(destination, port);
    const auto n = ::sendto(Fd(m_fd), data, size_t(size), 0,
                            reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (n >= 0)
        return qint64(n);
#ifdef Q_OS_WIN
    m_error = qt_error_string(::WSAGetLastError());
#else
    m_error = qt_error_string(errno);
#endif
    return -1;
}

int DatagramSocket::writeDatagrams(const OutgoingDatagram *datagrams, int count)
{
    for (int i = 0; i < count; ++i) {
        const OutgoingDatagram &d = datagrams[i];
        if (writeDatagram(d.data, d.size, QHostAddress(d.ipv4), d.port) < 0)
            return i;
    }
    return count;
}

int DatagramSocket::writeDatagramsPastFailures(const OutgoingDatagram *datagrams, int count,
                                               std::vector<char> *left)
{
    if (left)
        left->assign(size_t(count), 0);
    int sent = 0;
    for (int next = 0; next < count;) {
        const int run = writeDatagrams(datagrams + next, count - next);
        if (left)
            std::fill_n(left->begin() + next, run, char(1));
        sent += run;
        next += run + 1; // past the one that failed
    }
    return sent;
}

int UdpDatagramSocket::writeDatagrams(const OutgoingDatagram *datagrams, int count)
{
#ifdef Q_OS_LINUX
    if (m_fd < 0) {
        m_error = QStringLiteral("socket not bound");
        return 0;
    }
    if (count == 1) {
        // One datagram: the plain call is the cheaper one.
        const OutgoingDatagram &d = datagrams[0];
        const sockaddr_in to = toSockaddr(d.ipv4, d.port);
        ssize_t n;
        do {
            n = ::sendto(int(m_fd), d.data, size_t(d.size), 0,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to);
        } while (n < 0 && errno == EINTR);
        if (n >= 0)
            return 1;
        m_error = qt_error_string(errno);
        return 0;
    }
    Batch &b = *m_batch;
    const int chunk = std::min(count, int(Batch::SEND_COUNT));
    if (int(b.sendHeaders.size()) < chunk) {
        b.to.resize(size_t(chunk));
        b.sendIo.resize(size_t(chunk));
        b.sendHeaders.resize(size_t(chunk));
    }
    sockaddr_in *to = b.to.data();
    iovec *io = b.sendIo.data();
    mmsghdr *headers = b.sendHeaders.data();
    int done = 0;
    while (done < count) {
        const int n = std::min(chunk, count - done);
        std::memset(headers, 0, sizeof(mmsghdr) * size_t(n));
        for (int i = 0; i < n; ++i) {
            const OutgoingDatagram &d = datagrams[done + i];
            to[i] = toSockaddr(d.ipv4, d.port);
            io[i] = {const_cast<char *>(d.data), size_t(d.size)};
            headers[i].msg_hdr.msg_name = &to[i];
            headers[i].msg_hdr.msg_namelen = sizeof to[i];
            headers[i].msg_hdr.msg_iov = &io[i];
            headers[i].msg_hdr.msg_iovlen = 1;
        }
        int sent;
        do {
            sent = ::sendmmsg(int(m_fd), headers, unsigned(n), 0);
        } while (sent < 0 && errno == EINTR);
        if (sent < 0) {
            // The datagram at `done` failed: say why, as a single send would.
            m_error = qt_error_string(errno);
            return done;
        }
        done += sent;
        if (sent < n) {
            // A datagram in the middle failed; the next call reports why.
            const OutgoingDatagram &d = datagrams[done];
            if (writeDatagram(d.data, d.size, QHostAddress(d.ipv4), d.port) < 0)
                return done;
            ++done;
        }
    }
    return done;
#else
    return DatagramSocket::writeDatagrams(datagrams, count);
#endif
}

bool UdpDatagramSocket::hasPendingDatagrams()
{
    if (m_fd < 0)
        return false;
#ifdef Q_OS_LINUX
    if (m_batch->next < m_batch->received)
        return true;
#endif
    char c;
#ifdef Q_OS_WIN
    const int n = ::recv(SOCKET(m_fd), &c, 1, MSG_PEEK);
    // A datagram longer than one byte reports WSAEMSGSIZE on a peek.
    return n >= 0 || WSAGetLastError() == WSAEMSGSIZE;
#else
    return ::recv(int(m_fd), &c, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
#endif
}

qint64 UdpDatagramSocket::readDatagram(char *data, qint64 maxSize, QHostAddress *sender)
{
    if (m_fd < 0)
        return -1;
#ifdef Q_OS_LINUX
    Batch &b = *m_batch;
    // A batch slot would cut a datagram longer than the slot: the slots grow
    // to a reader that takes longer ones (OSC) while the batch is empty;
    // beyond the largest slot, it reads one datagram per call.
    if (b.next >= b.received && maxSize > b.slotBytes) {
        if (maxSize > Batch::MAX_SLOT_BYTES)
            return receiveOne(data, maxSize, sender);
        b.slotBytes = int(maxSize);
        b.buffers.resize(size_t(Batch::COUNT) * size_t(b.slotBytes));
    }
    if (b.next >= b.received) {
        if (b.drained) {
            // The socket was empty at the last batch; the read notifier
            // reports anything that arrived since.
            b.drained = false;
            return -1;
        }
        for (int i = 0; i < Batch::COUNT; ++i) {
            b.io[i] = {b.slot(i), size_t(b.slotBytes)};
            std::memset(&b.headers[i], 0, sizeof b.headers[i]);
            b.headers[i].msg_hdr.msg_iov = &b.io[i];
            b.headers[i].msg_hdr.msg_iovlen = 1;
            b.headers[i].msg_hdr.msg_name = &b.from[i];
            b.headers[i].msg_hdr.msg_namelen = sizeof b.from[i];
        }
        int n;
        do {
            n = ::recvmmsg(int(m_fd), b.headers, Batch::COUNT, MSG_DONTWAIT, nullptr);
        } while (n < 0 && errno == EINTR);
        b.next = 0;
        b.received = n < 0 ? 0 : n;
        if (b.received == 0)
            return -1;
        b.drained = b.received < Batch::COUNT;
    }
    const int i = b.next++;
    const qint64 size = std::min<qint64>(maxSize, b.headers[i].msg_len);
    std::memcpy(data, b.slot(i), size_t(size));
    if (sender)
        sender->setAddress(quint32(ntohl(b.from[i].sin_addr.s_addr)));
    return size;
#else
    return receiveOne(data, maxSize, sender);
#endif
}

qint64 UdpDatagramSocket::receiveOne(char *data, qint64 maxSize, QHostAddress *sender)
{
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
#ifdef Q_OS_WIN
    const int n = ::recvfrom(SOCKET(m_fd), data, int(maxSize), 0,
                             reinterpret_cast<sockaddr *>(&from), &fromLength);
    if (n < 0 && WSAGetLastError() != WSAEMSGSIZE)
        return -1;
    const qint64 size = n < 0 ? maxSize : n; // truncated
#else
    ssize_t n;
    do {
        n = ::recvfrom(int(m_fd), data, size_t(maxSize), MSG_DONTWAIT,
                       reinterpret_cast<sockaddr *>(&from), &fromLength);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return -1;
    const qint64 size = n;
#endif
    if (sender)
        sender->setAddress(quint32(ntohl(from.sin_addr.s_addr)));
    return size;
}

bool UdpDatagramSocket::setMulticastMembership(const QHostAddress &group,
                                               const QHostAddress &localAddress, bool join)
{
    if (m_fd < 0)
        return false;
    // The membership option takes the local address, which is what the
    // interface list holds.
    ip_mreq request{};
    request.imr_multiaddr.s_addr = htonl(group.toIPv4Address());
    request.imr_interface.s_addr = htonl(localAddress.toIPv4Address());
    auto change = [&request](qintptr fd, bool add) {
        return ::setsockopt(Fd(fd), IPPROTO_IP, add ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP,
                            reinterpret_cast<const char *>(&request), sizeof request) == 0;
    };
    if (change(m_fd, join))
        return true;
#if defined(Q_OS_LINUX) && defined(IP_MULTICAST_ALL)
    if (!join) {
        for (qintptr fd : std::as_const(m_memberFds))
            if (change(fd, false))
                return true;
        return false;
    }
    // ENOBUFS: this socket holds as many groups as the system allows one.
    if (errno != ENOBUFS)
        return false;
    for (qintptr fd : std::as_const(m_memberFds)) {
        if (change(fd, true))
            return true;
        if (errno != ENOBUFS)
            return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (fd < 0)
        return false;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (!change(fd, true)) {
        ::close(fd);
        return false;
    }
    m_memberFds.append(fd);
    return true;
#else
    return false;
#endif
}

NetEnvironment NetEnvironment::system()
{
    NetEnvironment env;
    env.interfaces = [] {
        QList<NetworkInterfaceInfo> list;
        const auto all = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface &iface : all) {
            // An interface that is administratively down cannot carry a
            // broadcast; it must not become the default destination.
            if (!(iface.flags() & QNetworkInterface::IsUp))
                continue;
            list.append({iface.hardwareAddress(), iface.addressEntries(), iface.name()});
        }
        return list;
    };
    env.createSocket = []() -> DatagramSocket * { return new UdpDatagramSocket; };
    env.clockMs = [] {
        using namespace std::chrono;
        return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    return env;
}

DatagramSocket *bindNodeSocket(const NetEnvironment &env, quint16 port, bool share)
{
    DatagramSocket *socket = env.createSocket ? env.createSocket() : nullptr;
    if (!socket)
        return nullptr;
    const bool bound =
        share ? socket->bind(port, true) : (socket->bind(port, false) || socket->bind(port, true));
    if (!bound) {
        delete socket;
        return nullptr;
    }
    return socket;
}
