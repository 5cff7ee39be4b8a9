// The usable local IPv4 addresses of the machine, as both network nodes see
// them: where Art-Net broadcasts go, which address an ArtPollReply reports and
// on which interfaces multicast groups are joined.
#pragma once

#include "netenvironment.h"

#include <QList>
#include <QNetworkAddressEntry>
#include <QString>

struct InterfaceEntry {
    QNetworkAddressEntry addressEntry; // IPv4 address, netmask, broadcast
    QString hardwareAddress;           // "00:00:00:00:00:00" when none is known
};

// Builds the interface list from the platform's interfaces, in their order.
// Skips IPv6, null and special addresses and entries without netmask or
// broadcast. Never returns an empty list: without a usable address it returns
// the loopback network 127.0.0.1/8 (broadcast 127.255.255.255). Each decision
// is traced on `pultora.net` when trace is set.
QList<InterfaceEntry> discoverInterfaceList(const QList<NetworkInterfaceInfo> &interfaces,
                                            bool trace);

// True when the list is the loopback fallback only (nodes then address the
// loopback network instead of the LAN).
bool isLoopbackOnly(const QList<InterfaceEntry> &list);
