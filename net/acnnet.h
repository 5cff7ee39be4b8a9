// The console's streaming ACN (E1.31) node: one UDP socket on port 5568. It
// sends DMX universes as E1.31 data packets to the universe's multicast group
// (or to 127.255.hi.lo when the machine has only loopback), keeps every sent
// universe alive, joins the multicast groups of the console's DMX-IN
// universes and writes received data into the console's DMX-IN array.
// Universes in the operations are 0-based; the wire universe is one more.
#pragma once

#include "dmxinarray.h"
#include "dropcounts.h"
#include "interfaceentry.h"
#include "keepalive.h"
#include "netenvironment.h"

#include <QHostAddress>
#include <QObject>

#include <functional>
#include <unordered_map>

class QTimer;

class acnnet : public QObject
{
    Q_OBJECT
public:
    // 0-based universes 0..63998 are wire universes 1..63999.
    static constexpr int MAX_UNIVERSE = 63998;
    static constexpr int KEEP_ALIVE_TICK_MS = 100;

    // Discovers the interfaces (traced on `pultora.net`); opens no socket yet.
    explicit acnnet(const NetEnvironment &env = NetEnvironment::system(),
                    QObject *parent = nullptr);
    ~acnnet() override;

    bool discoverInterfaces();
    const QList<InterfaceEntry> &interfaces() const { return m_interfaces; }

    void setShareAddress(bool share) { m_shareAddress = share; }
    // At most 63 characters (8-bit) go into every packet.
    void setSourceName(const QString &name);

    // Sends `length` (0..512) slots of `universe` (0-based) as an E1.31 data
    // packet and keeps the universe alive. Returns the datagram size; 0 when
    // the universe is above 63998; -1 for a bad length, no data, an unbound
    // socket or a failed send. A send that fails is logged as a warning on
    // `pultora.net` (a run of equal failures once).
    qint64 sendDmx(const quint8 *data, int length, int universe);
    // Why the last sendDmx sent nothing; empty after one that left.
    const QString &lastSendError() const { return m_sendError; }

    // Registers the console's DMX-IN array (no array unregisters) and moves
    // the multicast memberships to the new range. Registering opens the socket.
    void setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse = 512);
    // First DMX-IN universe (0-based; range mode: slot i holds universe + i);
    // false above 63998.
    bool setReceiveUniverse(int universe);
    int receiveUniverse() const { return m_slots.base(); }
    // List mode: slot i of the array holds universes[i] (0-based), so the
    // array needs universes.size() × channelsPerUniverse bytes, and only the
    // groups of the listed universes are joined. The universes must be
    // strictly increasing within 0..63998 (else false, nothing changes); an
    // empty list returns to range mode. May be called before or after
    // setReceiveBuffer.
    bool setReceiveUniverses(const QList<int> &universes);
    const QList<int> &receiveUniverses() const { return m_slots.list(); }
    // Moves the DMX-IN registration to `array`, holding the listed universes
    // (list mode, rules as setReceiveUniverses), in one step. A universe held
    // before and after keeps its received flag and its multicast groups (only
    // the groups of universes that come or go are joined or left); the caller
    // carries its bytes over into the new array. No array unregisters. False
    // for a refused list (nothing changes then).
    bool setReceiveUniverseBuffer(quint8 *array, int size, const QList<int> &universes,
                                  int channelsPerUniverse = 512);
    bool getReceivedValue(int universe, int channel, quint8 &value) const;

    // Sees every data packet that decodes, on any universe that reaches the
    // socket, whether DMX-IN holds it or not: the 0-based universe, the levels
    // after the START code and their number (at most 512). The observer may
    // replace itself; it must not delete the node. Setting one opens the
    // socket (false when it cannot be opened); an empty observer switches
    // observing off and leaves the socket and groups as they are.
    using DmxObserver = std::function<void(int universe, const quint8 *levels, int count)>;
    bool setDmxObserver(DmxObserver observer);
    // Multicast data reaches the socket only for joined groups: these
    // 0-based universes (any outside 0..63998 are ignored) have their groups
    // joined besides DMX-IN's, for the observer; an empty list leaves them.
    // DMX-IN's own groups are never joined or left twice, whatever either
    // side changes later. Opens the socket. False when the socket cannot be
    // opened or a membership call failed (systems cap the groups one socket
    // may join; the lower universes are joined first).
    bool setObservedUniverses(const QList<int> &universes);

    // Handles one datagram already read from the socket.
    void handleDatagram(const quint8 *data, int length);
    // Datagrams read and not used since the node was created, by reason.
    const DropCounts &droppedDatagrams() const { return m_drops; }

    // 239.255.hi.lo for wire universes 1..63999, else a null address.
    static QHostAddress multicastGroup(int wireUniverse);
    // Where a packet of this wire universe goes: the multicast group, or
    // 127.255.hi.lo when the interface list is the loopback fallback.
    QHostAddress destination(int wireUniverse) const;
    // True when every membership call of the last change succeeded.
    bool membershipsOk() const { return m_membershipsOk; }

public slots:
    // Repeats every sent universe whose last transmission is 500 ms old,
    // unchanged (same sequence number); bytes sent, or -1 when nothing has
    // been sent yet.
    qint64 sendDataTimeout();
    void readPackage();

private:
    bool openSocket();
    bool makeSendingReady();
    // Joins or leaves the groups of the current DMX-IN universes; caller
    // holds the mutex.
    bool changeMemberships(bool join);
    bool changeMembership(int wireUniverse, bool join);
    // The wire universes whose groups the DMX-IN universes need, increasing.
    QList<int> wantedGroups() const;
    QList<UniverseSlots::Run> heldRuns() const;
    // The observer's groups step aside while DMX-IN's change and come back
    // (those DMX-IN does not hold) afterwards.
    void leaveObserverGroups();
    bool joinObserverGroups();
    struct ObserverGroupsAside;
    qint64 sendTo(const quint8 *bytes, int length, const QHostAddress &target);
    qint64 sendFailed(const QString &error, qint64 result);
    void drop(DropReason reason, int length, const QString &detail = QString());

    NetEnvironment m_env;
    bool m_discovered = false;
    QList<InterfaceEntry> m_interfaces;
    bool m_shareAddress = true;
    DatagramSocket *m_socket = nullptr;
    QTimer *m_timer = nullptr;
    KeepAlive m_keepAlive;
    quint8 m_sourceName[64] = {};
    // Each universe counts its own sequence, so a receiver never sees a
    // universe's number step back while other universes are sent.
    std::unordered_map<int, quint8> m_sequence;
    UniverseSlots m_slots;
    bool m_joined = false;
    bool m_membershipsOk = true;
    DmxInArray m_in;
    DmxObserver m_observer;
    QList<int> m_observedWires;      // asked for, increasing
    QList<int> m_observerGroupWires; // joined for the observer only, increasing
    DropCounts m_drops;
    QString m_sendError;
};
