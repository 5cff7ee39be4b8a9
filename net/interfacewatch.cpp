#include "net/interfacewatch.h"

#include <utility>

namespace
{

bool sameListing(const QList<NetworkInterfaceInfo> &a, const QList<NetworkInterfaceInfo> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].hardwareAddress != b[i].hardwareAddress ||
            a[i].addressEntries != b[i].addressEntries)
            return false;
    return true;
}

} // namespace

bool sameEntries(const QList<InterfaceEntry> &a, const QList<InterfaceEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].addressEntry != b[i].addressEntry ||
            a[i].hardwareAddress != b[i].hardwareAddress || a[i].name != b[i].name)
            return false;
    return true;
}

QString describeEntries(const QList<InterfaceEntry> &entries)
{
    if (entries.isEmpty())
        return QString();
    const InterfaceEntry &e = entries.first();
    const QString ip = e.addressEntry.ip().toString();
    return e.name.isEmpty() ? ip : e.name + QLatin1Char(' ') + ip;
}

void InterfaceWatch::setInterfaceName(const QString &name)
{
    m_name = name;
    m_listing.reset();
}

InterfaceWatch::Change InterfaceWatch::look(const QList<NetworkInterfaceInfo> &interfaces)
{
    if (m_listing && sameListing(*m_listing, interfaces))
        return Change::None;
    const bool first = !m_listing;
    m_listing = interfaces;
    QList<InterfaceEntry> entries = discoverInterfaceList(onlyInterface(interfaces, m_name), false);
    if (first) {
        m_entries = m_previous = entries;
        return Change::None;
    }
    if (sameEntries(entries, m_entries))
        return Change::Elsewhere;
    m_previous = std::exchange(m_entries, std::move(entries));
    return Change::Chosen;
}
