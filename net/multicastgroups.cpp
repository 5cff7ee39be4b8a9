#include "net/multicastgroups.h"

#include "net/acnpacket.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

QHostAddress MulticastGroups::group(int wireUniverse)
{
    if (wireUniverse < acnpacket::MIN_UNIVERSE || wireUniverse > acnpacket::MAX_UNIVERSE)
        return QHostAddress();
    return QHostAddress(quint32(239) << 24 | quint32(255) << 16 | quint32(wireUniverse));
}

bool MulticastGroups::attach(DatagramSocket *socket, const QList<InterfaceEntry> &interfaces)
{
    m_socket = socket;
    m_interfaces = interfaces;
    bool ok = true;
    for (const auto &[wire, users] : m_users)
        ok = changeMembership(wire, true) && ok;
    return ok;
}

bool MulticastGroups::setWanted(User user, const QList<int> &wires)
{
    std::set<int> next;
    for (int wire : wires)
        if (!group(wire).isNull())
            next.insert(wire);
    std::set<int> &now = m_wanted[user];
    std::vector<int> leave, join;
    std::set_difference(now.cbegin(), now.cend(), next.cbegin(), next.cend(),
                        std::back_inserter(leave));
    std::set_difference(next.cbegin(), next.cend(), now.cbegin(), now.cend(),
                        std::back_inserter(join));
    now.swap(next);
    for (int wire : leave)
        release(wire);
    bool ok = true;
    for (int wire : join)
        ok = acquire(wire) && ok;
    return ok;
}

bool MulticastGroups::acquire(int wire)
{
    if (group(wire).isNull())
        return true;
    return ++m_users[wire] > 1 || changeMembership(wire, true);
}

void MulticastGroups::release(int wire)
{
    const auto it = m_users.find(wire);
    if (it == m_users.end())
        return;
    if (--it->second > 0)
        return;
    m_users.erase(it);
    changeMembership(wire, false);
}

void MulticastGroups::leaveAll()
{
    for (const auto &[wire, users] : m_users)
        changeMembership(wire, false);
    m_users.clear();
    for (std::set<int> &wanted : m_wanted)
        wanted.clear();
}

bool MulticastGroups::changeMembership(int wire, bool join)
{
    if (!m_socket)
        return true; // joined when the socket comes
    const QHostAddress address = group(wire);
    bool ok = true;
    if (m_interfaces.isEmpty()) {
        ok = m_socket->setMulticastMembership(address, QHostAddress(QHostAddress::AnyIPv4), join);
    } else {
        for (const InterfaceEntry &entry : std::as_const(m_interfaces))
            ok = m_socket->setMulticastMembership(address, entry.addressEntry.ip(), join) && ok;
    }
    if (!ok && join && m_handedOut.find(wire) == m_handedOut.end() && !m_refused.contains(wire))
        m_refused.append(wire);
    return ok;
}

QList<int> MulticastGroups::takeRefused()
{
    for (int wire : std::as_const(m_refused))
        m_handedOut.insert(wire);
    return std::exchange(m_refused, {});
}
