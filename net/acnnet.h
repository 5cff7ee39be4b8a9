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
// - A receiver that checks sequence numbers takes a universe's first frame
//   at once, whatever number it kept of this CID (a run that crashed moments
//   ago, a Stream_Terminated it missed): the first frame of a universe that
//   is not being sent goes out twice, numbered n + 129 and then n + 1, and
//   counting goes on from n + 1. Of two numbers 128 apart one always lies
//   outside the window of 20 late numbers, and neither is late after the
//   other.
// - Every DISCOVERY_PERIOD_MS while universes are sent, universe discovery
//   packets list them, 512 a page, on universe 64214.
// - A universe that stops being sent (stopSending, destruction) leaves with
//   three Stream_Terminated packets, so receivers let go at once.
// - Another source on a universe this node sends, or a multicast group the
//   system refuses, is reported once through the status reporter and logged
//   as a warning on `pultora.net`.
// - A keep-alive repeat or a Stream_Terminated packet that does not leave
//   is a send failure like a frame's (DmxNode: warned, lastSendError()).
// - One pass of the event loop handles at most MAX_DATAGRAMS_PER_PASS
//   datagrams; the rest follow in later passes.
#pragma once

#include "net/acnmerge.h"
#include "net/dmxnode.h"
#include "net/dropcounts.h"
#include "net/interfaceentry.h"
#include "net/multicastgroups.h"
#include "net/netenvironment.h"

#include <QHostAddress>
#include <QObject>
#include <QUuid>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class QTimer;

class acnnet : public DmxNode
{
    Q_OBJECT
public:
    // 0-based universes 0..63998 are wire universes 1..63999.
    static constexpr int MAX_UNIVERSE = 63998;
    static constexpr int KEEP_ALIVE_TICK_MS = 100;
    static constexpr qint64 KEEP_ALIVE_PERIOD_MS = 500;
    static constexpr int DISCOVERY_PERIOD_MS = 10000;

    // Discovers the interfaces (traced on `pultora.net`); opens no socket yet.
    explicit acnnet(const NetEnvironment &env = NetEnvironment::system(),
                    QObject *parent = nullptr);
    ~acnnet() override;

    bool discoverInterfaces();
    const QList<InterfaceEntry> &interfaces() const { return m_interfaces; }
    // Moves the node to a new interface list (as discoverInterfaceList
    // builds it; never empty). The same list changes nothing. Otherwise an
    // open socket is bound anew and joins every wanted group on the new
    // interfaces, and every universe goes on to the destination of the new
    // list (multicast, or 127.255.hi.lo on loopback only) with its next
    // sequence number and its levels. True when the list changed.
    bool setInterfaces(const QList<InterfaceEntry> &interfaces);

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

    // Frames (DmxNode::sendFrame): universes 0..63998, 0..512 slots each.
    // DMX-IN (DmxNode): universes 0..63998; only the groups of the universes
    // it holds are joined, and a universe that stays through a change keeps
    // its group. The observer sees the merged levels of every universe that
    // reaches the socket each time a packet changes them (late, preview and
    // outranked packets change nothing).

    // Stops sending `universe`: its last packet goes out three more times
    // with Stream_Terminated and is no longer kept alive. False when the
    // universe was not being sent, or when a Stream_Terminated packet did
    // not leave (a send failure; the universe stops all the same).
    bool stopSending(int universe);
    // The universes being sent and kept alive (0-based, increasing).
    QList<int> sendingUniverses() const;

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

    // Where a packet of this wire universe goes: the multicast group, or
    // 127.255.hi.lo when the interface list is the loopback fallback.
    QHostAddress destination(int wireUniverse) const;
    // True when every membership call of DMX-IN's last change succeeded.
    bool membershipsOk() const { return m_membershipsOk; }

public slots:
    // Repeats every sent universe whose last transmission is 500 ms old,
    // with the universe's next sequence number; bytes sent, or -1 when
    // nothing has been sent yet.
    qint64 sendDataTimeout() override;
    // Sends the universe discovery pages of the universes being sent; bytes
    // sent, or -1 when none are sent or a page did not leave.
    qint64 sendDiscovery();
    void readPackage();

private:
    // What is sent of each wire universe: its last packet, kept alive while
    // `live`, and its own sequence count, so a receiver never sees a
    // universe's number step back while other universes are sent.
    // The levels of a stream's packet start a cache line: copied in there
    // and read out by the kernel at full speed.
    struct alignas(64) Stream {
        quint8 padding[(64 - acnpacket::DATA_OFFSET % 64) % 64];
        quint8 packet[acnpacket::MAX_SIZE];
        int size = 0;
        qint64 lastSentMs = 0;
        quint8 sequence = 0;
        bool live = false;
        bool watched = false; // its group joined to hear other sources
        quint32 source = 0;   // the CID and name its header was made with
        int wire = 0;
    };
    // A wire universe's stream, made on first use; found by index, not by
    // hash, on every universe of every frame.
    Stream &streamOf(int wire);
    Stream *findStream(int wire) const;

    bool openSocket() override;
    int sendUniverses(const DmxUniverse *universes, int count) override;
    void receiveChanged() override;
    bool makeSendingReady();
    // Says once which groups the system refused since the last report.
    void reportRefusedGroups();
    void report(const QString &text);
    void reportSecondSource(const acnpacket::DataPacket &packet, const QHostAddress &sender);
    void handle(const quint8 *data, int length, const QHostAddress &sender, qint64 nowMs);
    // Encodes the next packet of a wire universe into its stream; false
    // (nothing changed) for a bad length.
    bool encodeNext(Stream &stream, int wire, const quint8 *data, int length, quint8 options);
    // Sends m_batch (tagged by m_batchStreams); marks the streams that left
    // as sent at nowMs, and listens for other sources on them.
    void sendBatch(qint64 nowMs);
    // The destination of a wire universe as an IPv4 address (host order).
    quint32 destinationIpv4(int wire) const;
    // After a universe left: listen for other sources on it.
    void watch(Stream &stream);
    void drop(DropReason reason, int length, const QString &detail = QString());

    NetEnvironment m_env;
    bool m_discovered = false;
    QList<InterfaceEntry> m_interfaces;
    bool m_shareAddress = true;
    DatagramSocket *m_socket = nullptr;
    QTimer *m_timer = nullptr;
    QTimer *m_discoveryTimer = nullptr;
    quint8 m_sourceName[64] = {};
    quint8 m_cid[16] = {};
    quint32 m_sourceGeneration = 1; // counts changes of CID and source name
    bool m_loopbackOnly = false;
    std::vector<std::unique_ptr<Stream>> m_streams; // in the order they started
    std::vector<int> m_streamAt;                    // wire -> index in m_streams, -1: none
    MulticastGroups m_groups;
    bool m_membershipsOk = true;
    bool m_readQueued = false; // a later pass reads what one pass left
    AcnMerge m_merge;
    Batch m_batch;
    std::vector<Stream *> m_batchStreams;                              // per datagram of m_batch
    std::deque<std::array<quint8, acnpacket::MAX_SIZE>> m_firstCopies; // first of a pair
    std::set<std::pair<int, QByteArray>> m_reportedSources; // (wire, CID) already reported
    std::function<void(const QString &)> m_report;
};
