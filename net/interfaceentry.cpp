#include "net/interfaceentry.h"

#include "net/netlog.h"

Q_LOGGING_CATEGORY(lcNet, "pultora.net", QtInfoMsg)

namespace
{

const char NO_HARDWARE_ADDRESS[] = "00:00:00:00:00:00";

bool isSpecial(const QHostAddress &ip)
{
    return ip.isNull() || ip == QHostAddress(QHostAddress::LocalHost) ||
           ip == QHostAddress(QHostAddress::LocalHostIPv6) ||
           ip == QHostAddress(QHostAddress::Broadcast) ||
           ip == QHostAddress(QHostAddress::AnyIPv4) || ip == QHostAddress(QHostAddress::AnyIPv6);
}

} // namespace

QList<InterfaceEntry> discoverInterfaceList(const QList<NetworkInterfaceInfo> &interfaces,
                                            bool trace)
{
    auto log = [trace](const QString &line) {
        if (trace)
            qCDebug(lcNet).noquote() << line;
    };
    const QHostAddress zero(QHostAddress::AnyIPv4);
    QList<InterfaceEntry> list;
    QNetworkAddressEntry remembered;
    remembered.setIp(zero);
    bool haveRemembered = false;

    for (const NetworkInterfaceInfo &iface : interfaces) {
        for (const QNetworkAddressEntry &entry : iface.addressEntries) {
            const QHostAddress ip = entry.ip();
            const QString text = ip.toString();
            if (ip.protocol() == QAbstractSocket::IPv6Protocol) {
                log("found IpV6 - " + text + " dont' use it");
                continue;
            }
            if (ip.protocol() != QAbstractSocket::IPv4Protocol) {
                log("found unknown Ip - " + text + " dont' use it");
                continue;
            }
            if (ip.isNull()) {
                log("addr.isNull() found, is invalid, do not use it");
                continue;
            }
            if (isSpecial(ip)) {
                if (ip == QHostAddress(QHostAddress::LocalHost)) {
                    remembered = entry;
                    haveRemembered = true;
                    log("found IpV4 - " + text + " memory for later");
                } else {
                    log("found IpV4 - " + text + " do not use it");
                }
                continue;
            }
            const QString m =
                QString("found IpV4 - %1  Mask: %2 Broad: %3")
                    .arg(text, entry.netmask().toString(), entry.broadcast().toString());
            auto isZero = [&zero](const QHostAddress &a) { return a.isNull() || a == zero; };
            if (isZero(entry.netmask())) {
                log(m + "don't add because invalid netmask");
                continue;
            }
            if (isZero(entry.broadcast())) {
                log(m + "don't add because invalid broadcast");
                continue;
            }
            if (ip == zero) {
                log(m + "don't add because invalid ip");
                continue;
            }
            const QString hw = iface.hardwareAddress.isEmpty() ? QString(NO_HARDWARE_ADDRESS)
                                                               : iface.hardwareAddress;
            list.append({entry, hw, iface.name});
            log(m + " add to send/receive list with " + hw);
        }
    }

    if (list.isEmpty()) {
        QNetworkAddressEntry loop;
        if (haveRemembered) {
            loop = remembered;
            log("found IpV4 - " + loop.ip().toString() + " broadcast " +
                loop.broadcast().toString() + " netmask " + loop.netmask().toString() +
                " do not use it\n");
        } else {
            loop.setIp(QHostAddress(QHostAddress::LocalHost));
        }
        loop.setNetmask(QHostAddress(QStringLiteral("255.0.0.0")));
        loop.setBroadcast(QHostAddress(QStringLiteral("127.255.255.255")));
        list.append({loop, QString(NO_HARDWARE_ADDRESS), QString()});
    }
    return list;
}

bool isLoopbackOnly(const QList<InterfaceEntry> &list)
{
    return list.size() == 1 &&
           list.first().addressEntry.ip() == QHostAddress(QHostAddress::LocalHost);
}

QList<NetworkInterfaceInfo> onlyInterface(const QList<NetworkInterfaceInfo> &interfaces,
                                          const QString &name)
{
    if (name.isEmpty())
        return interfaces;
    QList<NetworkInterfaceInfo> list;
    for (const NetworkInterfaceInfo &iface : interfaces)
        if (iface.name == name)
            list.append(iface);
    return list;
}

NetEnvironment withInterface(const NetEnvironment &env, const QString &name)
{
    if (name.isEmpty() || !env.interfaces)
        return env;
    NetEnvironment only = env;
    only.interfaces = [all = env.interfaces, name] { return onlyInterface(all(), name); };
    return only;
}

QList<InterfaceChoice> interfaceChoices(const QList<NetworkInterfaceInfo> &interfaces)
{
    QList<InterfaceChoice> choices;
    for (const NetworkInterfaceInfo &iface : interfaces) {
        if (iface.name.isEmpty())
            continue;
        const QList<InterfaceEntry> usable = discoverInterfaceList({iface}, false);
        if (isLoopbackOnly(usable))
            continue;
        choices.append({iface.name, usable.first().addressEntry.ip().toString()});
    }
    return choices;
}
