// Notices when the machine's network interfaces change after start: one
// listing of the interfaces per look, compared with the last look's. Pure:
// the caller lists the interfaces and keeps the clock (the console's output
// objects look every PERIOD_MS).
//
// Promises:
// - look() says Chosen when what the network nodes use changed: the usable
//   IPv4 entries (address, netmask, broadcast, hardware address, name) of
//   the chosen interface, or of every interface when none is chosen, as
//   discoverInterfaceList() builds them, with its loopback fallback when
//   none is usable. An interface that appears, changes address or vanishes
//   is a change; the same entries in a new listing are not.
// - look() says Elsewhere when only something else in the listing changed
//   (another interface, an IPv6 address), so listeners on other
//   interfaces can follow; None when the listing is the same.
// - The first look, and the first after the chosen interface is set anew,
//   takes the listing as it is: None.
#pragma once

#include "net/interfaceentry.h"
#include "net/netenvironment.h"

#include <QList>
#include <QString>

#include <optional>

class InterfaceWatch
{
public:
    static constexpr int PERIOD_MS = 2000;

    enum class Change { None, Elsewhere, Chosen };

    // The interface the nodes use by name (empty: the first usable ones).
    // The next look starts afresh.
    void setInterfaceName(const QString &name);
    const QString &interfaceName() const { return m_name; }

    // One listing of the machine's interfaces, in the platform's order.
    Change look(const QList<NetworkInterfaceInfo> &interfaces);
    // The nodes' entries as of the last look (the loopback fallback before any).
    const QList<InterfaceEntry> &entries() const { return m_entries; }
    // The entries before the last Chosen change.
    const QList<InterfaceEntry> &previousEntries() const { return m_previous; }

private:
    QString m_name;
    std::optional<QList<NetworkInterfaceInfo>> m_listing;
    QList<InterfaceEntry> m_entries = discoverInterfaceList({}, false);
    QList<InterfaceEntry> m_previous = m_entries;
};

// Equal address, netmask, broadcast, hardware address and name, in order.
bool sameEntries(const QList<InterfaceEntry> &a, const QList<InterfaceEntry> &b);
// "eth0 198.51.100.1" for the first entry ("198.51.100.1" without a name).
QString describeEntries(const QList<InterfaceEntry> &entries);
