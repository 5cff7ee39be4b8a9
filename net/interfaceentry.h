// The usable local IPv4 addresses of the machine, as both network nodes see
// them: where Art-Net broadcasts go, which address an ArtPollReply reports and
// on which interfaces multicast groups are joined.
#pragma once

#include "net/netenvironment.h"

#include <QList>
#include <QNetworkAddressEntry>
#include <QString>

struct InterfaceEntry {
    QNetworkAddressEntry addressEntry; // IPv4 address, netmask, broadcast
    QString hardwareAddress;           // "00:00:00:00:00:00" when none is known
    QString name;                      // the owning interface ("eth0"), may be empty
};

// Builds the interface list from the platform's interfaces, in their order.
// Skips IPv6, null and special addresses and entries without netmask or
// broadcast. Never returns an empty list: without a usable address it returns
// the loopback network 127.0.0.1/8 (broadcast 127.255.255.255). Each decision
// is traced on `pultora.net` when trace is set.
QList<InterfaceEntry> discoverInterfaceList(const QList<NetworkInterfaceInfo> &interfaces,
                                            bool trace);

// The interface list of the interface called `name` only: what the nodes
// see when the user has chosen the network they send on. An empty name
// keeps every interface; a name that is not there leaves none (so the
// nodes fall back to the loopback network rather than use another one).
QList<NetworkInterfaceInfo> onlyInterface(const QList<NetworkInterfaceInfo> &interfaces,
                                          const QString &name);
// `env` with only the interface called `name` (see onlyInterface).
NetEnvironment withInterface(const NetEnvironment &env, const QString &name);

// One usable interface as the user chooses it: name and IPv4 address.
struct InterfaceChoice {
    QString name;
    QString address;
};
// The interfaces a node could use, in discovery order, one per name (its
// first usable address); the loopback fallback is not offered.
QList<InterfaceChoice> interfaceChoices(const QList<NetworkInterfaceInfo> &interfaces);

// True when the list is the loopback fallback only (nodes then address the
// loopback network instead of the LAN).
bool isLoopbackOnly(const QList<InterfaceEntry> &list);
