// The console's streaming ACN (E1.31) node: one UDP socket on port 5568. It
// sends DMX universes as E1.31 data packets to the universe's multicast group
// (or to 127.255.hi.lo when the machine has only loopback), keeps every sent
// universe alive, joins the multicast groups of the console's DMX-IN
// universes and writes what it receives, merged over the sources of each
// universe (AcnMerge), into the console's DMX-IN array.
// Universes in the operations are 0-based; the wire universe is one more.
//
// Promises:
// - Every packet of a universe, keep-alives included, carries the next
//   sequence number of that universe, and every packet carries the node's CID.
// - A universe that stops being sent (stopSending, destruction) leaves with
//   three Stream_Terminated packets, so receivers let go at once.
// - Another source on a universe this node sends, or a multicast group the
//   system refuses, is reported once through the status reporter and logged
//   as a warning on `pultora.net`.
// - One pass of the event loop handles at most MAX_DATAGRAMS_PER_PASS
//   datagrams; the rest follow in later passes.
#pragma once

#include "net/acnmerge.h"
#include "net/dmxinarray.h"
#include "net/dropcounts.h"
#include "net/interfaceentry.h"
#include "net/netenvironment.h"

#include <QHostAddress>
#include <QObject>
#include <QUuid>

#include <functional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

class QTimer;

class acnnet : public QObject
{
    Q_OBJECT
public:
    // 0-based universes 0..63998 are wire universes 1..63999.
    static constexpr int MAX_UNIVERSE = 63998;
    static constexpr int KEEP_ALIVE_TICK_MS = 100;
    static constexpr qint64 KEEP_ALIVE_PERIOD_MS = 500;

    // Discovers the interfaces (traced on `pultora.net`); opens no socket yet.
    explicit acnnet(const NetEnvironment &env = NetEnvironment::system(),
                    QObject *parent = nullptr);
    ~acnnet() override;

    bool discoverInterfaces();
    const QList<InterfaceEntry> &interfaces() const { return m_interfaces; }

    void setShareAddress(bool share) { m_shareAddress = share; }
    // At most 63 characters (8-bit) go into every packet.
    void setSourceName(const QString &name);
    // The CID that names this console as a source (AcnSourceId gives the
    // installation's); all zero until set.
    void setCid(const QUuid &cid);
    QUuid cid() const;
    // Receives each line the user must see (already translated); the node
    // logs it too. Empty: logged only.
    void setStatusReporter(std::function<void(const QString &)> report)
    {
        m_report = std::move(report);
    }

    // Sends `length` (0..512) slots of `universe` (0-based) as an E1.31 data
    // packet and keeps the universe alive. Returns the datagram size; 0 when
    // the universe is above 63998; -1 for a bad length, no data, an unbound
    // socket or a failed send. A send that fails is logged as a warning on
    // `pultora.net` (a run of equal failures once).
    qint64 sendDmx(const quint8 *data, int length, int universe);
    // Why the last sendDmx sent nothing; empty after one that left.
    const QString &lastSendError() const { return m_sendError; }
    // Several universes at once, as sendDmx each (same rules and results),
    // in as few system calls as the platform allows; a universe named twice
    // leaves once, with the later levels. The number of universes that left.
    struct Universe {
        int universe = 0;
        const quint8 *data = nullptr;
        int length = 0;
    };
    int sendDmxFrame(const Universe *universes, int count);
    // Stops sending `universe`: its last packet goes out three more times
    // with Stream_Terminated and is no longer kept alive. False when the
    // universe was not being sent.
    bool stopSending(int universe);
    // The universes being sent and kept alive (0-based, increasing).
    QList<int> sendingUniverses() const;

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

    // Sees the merged levels of every universe that reaches the socket each
    // time a packet changes them, whether DMX-IN holds the universe or not:
    // the 0-based universe, the levels after the START code and their number
    // (at most 512). Late, preview and outranked packets change nothing. The observer may
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
    // opened or a membership call failed (reported once per universe).
    bool setObservedUniverses(const QList<int> &universes);

    // Handles one datagram already read from the socket.
    void handleDatagram(const quint8 *data, int length,
                        const QHostAddress &sender = QHostAddress());
    // The sources of the received universes.
    const AcnMerge &sources() const { return m_merge; }
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
    // with the universe's next sequence number; bytes sent, or -1 when
    // nothing has been sent yet.
    qint64 sendDataTimeout();
    void readPackage();

private:
    // What is sent of each wire universe: its last packet, kept alive while
    // `live`, and its own sequence count, so a receiver never sees a
    // universe's number step back while other universes are sent.
    struct Stream {
        quint8 packet[acnpacket::MAX_SIZE];
        int size = 0;
        qint64 lastSentMs = 0;
        quint8 sequence = 0;
        bool live = false;
        bool watched = false; // its group joined to hear other sources
        quint64 frame = 0;    // the sendDmxFrame call that last took it
        quint32 source = 0;   // the CID and name its header was made with
        int batchIndex = -1;  // its datagram in that call's batch
    };

    bool openSocket();
    bool makeSendingReady();
    // Joins or leaves the groups of the current DMX-IN universes; caller
    // holds the mutex.
    bool changeMemberships(bool join);
    // Joins or leaves a group for one more or one fewer user: only the first
    // join and the last leave reach the socket.
    bool changeMembership(int wireUniverse, bool join);
    // Says once which groups the system refused since the last report.
    void reportRefusedGroups();
    void report(const QString &text);
    void reportSecondSource(const acnpacket::DataPacket &packet, const QHostAddress &sender);
    void handle(const quint8 *data, int length, const QHostAddress &sender, qint64 nowMs);
    // Encodes the next packet of a wire universe into its stream; false
    // (nothing changed) for a bad length.
    bool encodeNext(Stream &stream, int wire, const quint8 *data, int length, quint8 options);
    acnpacket::Header header(int wire, quint8 sequence, quint8 options) const;
    // Sends the batch, past any datagram that fails; marks the streams that
    // left as sent at nowMs (and in m_batchLeft). The number that left.
    int sendBatch(qint64 nowMs);
    // The destination of a wire universe as an IPv4 address (host order).
    quint32 destinationIpv4(int wire) const;
    // After a universe left: listen for other sources on it.
    void watch(Stream &stream, int wire);
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
    quint8 m_sourceName[64] = {};
    quint8 m_cid[16] = {};
    quint32 m_sourceGeneration = 1; // counts changes of CID and source name
    bool m_loopbackOnly = false;
    std::unordered_map<int, Stream> m_streams;
    UniverseSlots m_slots;
    bool m_joined = false;
    bool m_membershipsOk = true;
    DmxInArray m_in;
    DmxObserver m_observer;
    QList<int> m_observedWires;      // asked for, increasing
    QList<int> m_observerGroupWires; // joined for the observer only, increasing
    DropCounts m_drops;
    bool m_readQueued = false; // a later pass reads what one pass left
    QString m_sendError;
    AcnMerge m_merge;
    std::vector<OutgoingDatagram> m_batch;
    quint64 m_frame = 1; // sendDmxFrame calls, for Stream::frame
    std::vector<Stream *> m_batchStreams;
    std::vector<char> m_batchLeft;             // per datagram of the batch: 1 when it left
    std::unordered_map<int, int> m_groupUsers; // wire universe -> joins not yet left
    QList<int> m_refusedWires;                 // since the last report
    std::set<int> m_reportedRefused;
    std::set<std::pair<int, QByteArray>> m_reportedSources; // (wire, CID) already reported
    std::function<void(const QString &)> m_report;
};
