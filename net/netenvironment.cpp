#include "netenvironment.h"

#include <QNetworkInterface>
#include <QUdpSocket>

#include <chrono>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#endif

UdpDatagramSocket::UdpDatagramSocket(QObject *parent)
    : DatagramSocket(parent), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &DatagramSocket::readyRead);
}

bool UdpDatagramSocket::bind(quint16 port, bool shareAddress)
{
    const QAbstractSocket::BindMode mode =
        shareAddress ? (QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)
                     : QAbstractSocket::DefaultForPlatform;
    return m_socket->bind(QHostAddress::AnyIPv4, port, mode);
}

qint64 UdpDatagramSocket::writeDatagram(const char *data, qint64 size,
                                        const QHostAddress &destination, quint16 port)
{
    return m_socket->writeDatagram(data, size, destination, port);
}

bool UdpDatagramSocket::hasPendingDatagrams()
{
    return m_socket->hasPendingDatagrams();
}

qint64 UdpDatagramSocket::readDatagram(char *data, qint64 maxSize, QHostAddress *sender)
{
    return m_socket->readDatagram(data, maxSize, sender);
}

bool UdpDatagramSocket::setMulticastMembership(const QHostAddress &group,
                                               const QHostAddress &localAddress, bool join)
{
    const qintptr fd = m_socket->socketDescriptor();
    if (fd < 0)
        return false;
    // QUdpSocket joins by interface; the membership option takes the local
    // address, which is what the interface list holds.
    ip_mreq request{};
    request.imr_multiaddr.s_addr = htonl(group.toIPv4Address());
    request.imr_interface.s_addr = htonl(localAddress.toIPv4Address());
    const int option = join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP;
#ifdef Q_OS_WIN
    return ::setsockopt(SOCKET(fd), IPPROTO_IP, option, reinterpret_cast<const char *>(&request),
                        sizeof request) == 0;
#else
    return ::setsockopt(int(fd), IPPROTO_IP, option, &request, sizeof request) == 0;
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
            list.append({iface.hardwareAddress(), iface.addressEntries()});
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
