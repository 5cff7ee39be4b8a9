// The multicast groups of the streaming ACN node's socket. Three users may
// want the group of a wire universe: DMX-IN (the universes it holds), the
// observer (the universes it watches besides) and the watch over sent
// universes (to hear other sources on them). The socket joins a group, on
// every interface, at its first user and leaves it after its last.
//
// Promises:
// - No group is joined twice, or left while a user still wants it,
//   whatever the users change and in whichever order.
// - A change of one user's groups reaches the socket only for the groups
//   that come or go for the socket as a whole.
// - A group the system refuses still counts as joined (it may have been
//   joined on another interface), so it is left again with its last user;
//   each refused group is handed out once by takeRefused().
#pragma once

#include "net/interfaceentry.h"
#include "net/netenvironment.h"

#include <QHostAddress>
#include <QList>

#include <array>
#include <map>
#include <set>

class MulticastGroups
{
public:
    // Users that want a whole set of groups; the watch adds single ones.
    enum User { DmxIn, Observer, USERS };

    // 239.255.hi.lo for wire universes 1..63999, else a null address.
    static QHostAddress group(int wireUniverse);

    // The socket and the interfaces to join on (none: the system chooses).
    // Groups wanted before the socket came are joined now. False when one
    // was refused.
    bool attach(DatagramSocket *socket, const QList<InterfaceEntry> &interfaces);
    // The groups `user` wants now (wire universes; any order, repeats and
    // universes without a group are ignored). False when a join was refused.
    bool setWanted(User user, const QList<int> &wires);
    const std::set<int> &wanted(User user) const { return m_wanted[user]; }
    // One more or one fewer user of a single group (the watch).
    bool add(int wire) { return acquire(wire); }
    void remove(int wire) { release(wire); }
    // Leaves every group the socket joined; the users are forgotten.
    void leaveAll();

    // Groups the system refused and that were not handed out before.
    QList<int> takeRefused();

private:
    bool acquire(int wire);
    void release(int wire);
    bool changeMembership(int wire, bool join);

    DatagramSocket *m_socket = nullptr;
    QList<InterfaceEntry> m_interfaces;
    std::array<std::set<int>, USERS> m_wanted;
    std::map<int, int> m_users; // wire -> users
    QList<int> m_refused;       // not handed out yet
    std::set<int> m_handedOut;
};
