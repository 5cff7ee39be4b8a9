// The console's Art-Net node: one UDP socket on port 6454. It sends DMX
// universes (ArtDmx) and keeps every sent universe alive, answers ArtPoll
// with ArtPollReply pages describing the DMX-IN universes, sends ArtTimeCode,
// and writes received ArtDmx into the console's DMX-IN array, holding frames
// until the next sync packet when a sender asks for it. No signals: the
// console calls the operations and polls received values.
//
// Promises:
// - ArtDmx carries a Sequence of 1..255 counting per universe (keep-alive
//   repeats included), and never a universe above 32767.
// - Once it sends, the node polls the network every POLL_INTERVAL_MS; a node
//   that answers with an output port on a universe subscribes to it, and
//   that universe then goes by unicast to its subscribers only. A universe
//   without subscribers, or every universe with always-broadcast, goes to
//   the broadcast address. A subscriber that stops answering for
//   SUBSCRIBER_TIMEOUT_MS is dropped.
// - ArtDmx from another address on a universe this node sends is reported
//   once per universe and sender, as a warning on `pultora.net` and to the
//   notice handler.
// - ArtPoll is answered within the limits of PollReplyLimit (one reply per
//   poller a second, 100 replies a second in all); polls beyond them are
//   counted as dropped.
// - One pass of the event loop handles at most MAX_DATAGRAMS_PER_PASS
//   datagrams; the rest follow in later passes.
#pragma once

#include "net/artnetpacket.h"
#include "net/dmxnode.h"
#include "net/dropcounts.h"
#include "net/interfaceentry.h"
#include "net/keepalive.h"
#include "net/netenvironment.h"
#include "net/pollreplylimit.h"

#include <QHostAddress>
#include <QObject>

#include <QSet>

#include <functional>
#include <map>
#include <vector>

class QTimer;

class artnet : public DmxNode
{
    Q_OBJECT
public:
    // Sent universes are Port-Addresses: 15 bits.
    static constexpr int MAX_UNIVERSE = 0x7FFF;
    // DMX-IN takes any universe a record can hold; what cannot be on the
    // wire simply never arrives.
    static constexpr int MAX_RECEIVE_UNIVERSE = 0xFFFF;
    static constexpr qint64 POLL_INTERVAL_MS = 2500;
    static constexpr qint64 SUBSCRIBER_TIMEOUT_MS = 3 * POLL_INTERVAL_MS + 500;
    // Held frames are released when no sync packet came for this long.
    static constexpr qint64 SYNC_TIMEOUT_MS = 3000;
    static constexpr int KEEP_ALIVE_TICK_MS = 100;

    // Discovers the interfaces; opens no socket yet. With trace set,
    // diagnostics go to the `pultora.net` logging category.
    explicit artnet(bool trace = false, const NetEnvironment &env = NetEnvironment::system(),
                    QObject *parent = nullptr);
    ~artnet() override;

    // Builds the interface list on the first call; always true.
    bool discoverInterfaces();
    const QList<InterfaceEntry> &interfaces() const { return m_interfaces; }
    // Moves the node to a new interface list (as discoverInterfaceList
    // builds it; never empty). The same list changes nothing. Otherwise
    // frames, keep-alive repeats and polls go to the new first broadcast
    // address, ArtPollReply reports the new address, subscribers learned on
    // the old network are dropped (the next frame polls anew) and an open
    // socket is bound anew. Sequence numbers and the universes kept alive
    // stay. True when the list changed.
    bool setInterfaces(const QList<InterfaceEntry> &interfaces);

    // Bind with address sharing (default true) so other programs on this
    // machine can use port 6454 too. Takes effect at the next socket opening.
    void setShareAddress(bool share) { m_shareAddress = share; }
    void setFirmwareVersion(quint8 high, quint8 low);
    void setOemCode(quint8 high, quint8 low);
    void setNodeNames(const QString &shortName, const QString &longName);
    // The text of the node report; replies carry it as "#0001 [count] text".
    void setNodeReport(const QString &report);
    // With always-broadcast set, ArtDmx goes to the broadcast address even
    // to universes that have subscribers.
    void setAlwaysBroadcast(bool always) { m_alwaysBroadcast = always; }
    // Receives the node's own messages for the user (another sender on a
    // universe of ours); may be empty.
    void setNoticeHandler(std::function<void(const QString &)> handler)
    {
        m_notice = std::move(handler);
    }
    // "eth0 192.168.1.10": the interface the node sends on.
    QString interfaceDescription() const;
    // Enabling needs the socket and fails (false) when it cannot be opened;
    // disabling always succeeds.
    bool setPollReplyEnabled(bool enabled);
    bool isPollReplyEnabled() const { return m_pollReplyEnabled; }

    // Frames (DmxNode::sendFrame): universes 0..32767, 2..512 slots each,
    // the first one after a poll. Each universe goes to its subscribers, or
    // to the broadcast address of the first interface, and has left when one
    // of its datagrams did. DMX-IN (DmxNode): any universe 0..65535 as
    // SubUni | Net << 8; ArtPollReply describes the universes it holds. The
    // observer sees every ArtDmx that decodes, also one held for a sync.

    // Sends an ArtPoll to the broadcast address when the last one is
    // POLL_INTERVAL_MS old, and drops subscribers that stopped answering.
    // Nothing before the first ArtDmx. True when a poll went out.
    bool pollIfDue();
    // Addresses that receive `universe` by unicast now, in ascending order.
    QList<QHostAddress> subscribers(int universe) const;

    // Handles one datagram already read from the socket (at the clock's
    // current time).
    void handleDatagram(const quint8 *data, int length, const QHostAddress &sender);

public slots:
    qint64 slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame, quint8 Type,
                            QHostAddress *DestIp);
    qint64 slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame, quint8 Type);
    // Repeats every sent universe whose last transmission is 500 ms old;
    // bytes sent, or -1 when nothing has been sent yet.
    qint64 sendDataTimeout() override;
    void readPackage();

private slots:
    void tick();

private:
    bool openSocket() override;
    int sendUniverses(const DmxUniverse *universes, int count) override;
    void receiveChanged() override;
    // The universe's next sequence number, 1 to 255.
    quint8 nextSequence(int universe);
    // Queues a finished ArtDmx for the universe's subscribers, or for the
    // broadcast address, tagged with `tag`.
    void queueToUniverse(quint8 *packet, int size, int universe, int tag);
    // Queues a datagram to destination:6454 in m_batch.
    void queue(const quint8 *bytes, int length, const QHostAddress &destination, int tag = -1);
    // Queues the datagram without a copy: `bytes` stay as they are until
    // the batch is sent.
    void queueInPlace(const quint8 *bytes, int length, quint32 ipv4, int tag);
    // Sends m_batch, past any datagram that fails; it stays for a look at
    // what left until the next startBatch().
    void sendQueued();
    void startBatch();
    // True when a poll is due now; drops the subscribers that stopped answering.
    bool pollDue();
    // Sends one datagram to destination:6454 at once: its size, or -1.
    qint64 sendPacket(const quint8 *bytes, int length, const QHostAddress &destination);
    void handlePollReply(const quint8 *data, int length, const QHostAddress &sender);
    bool isOwnAddress(quint32 ip) const;
    void checkOtherSender(int universe, const QHostAddress &sender);
    bool makeSendingReady();
    void handleSync(const quint8 *data, int length);
    void writeDmx(const quint8 *data, int length, const QHostAddress &sender);
    void drop(DropReason reason, int length, const QHostAddress &sender,
              const QString &detail = QString());
    void sendPollReply(const QHostAddress &sender);
    qint64 nowMs() const { return m_env.clockMs(); }
    void trace(const QString &line) const;

    bool m_trace;
    NetEnvironment m_env;
    bool m_discovered = false;
    QList<InterfaceEntry> m_interfaces;
    // The first interface's broadcast address, kept: a QHostAddress made
    // per packet costs an allocation.
    QHostAddress m_broadcast;
    bool m_shareAddress = true;
    DatagramSocket *m_socket = nullptr;
    QTimer *m_timer = nullptr;
    KeepAlive m_keepAlive{artnetpacket::DMX_MAX_SIZE, artnetpacket::DMX_DATA_OFFSET};

    quint8 m_oemHigh = 0, m_oemLow = 0xFF;
    quint8 m_versionHigh = 0, m_versionLow = 0;
    QString m_shortName, m_longName, m_nodeReport;
    bool m_pollReplyEnabled = false;
    bool m_receiveReady = false; // DMX-IN had an array once
    QString m_replyError;        // why the last poll reply did not leave

    bool m_alwaysBroadcast = false;
    // The bytes of queued datagrams that are copies, end to end: the data of
    // the datagrams m_copied lists is an offset here until the batch is sent.
    // The others point into the keep-alive rooms.
    std::vector<quint8> m_batchBytes;
    std::vector<int> m_copied;
    Batch m_batch;
    std::function<void(const QString &)> m_notice;
    int m_repliesSent = 0;
    PollReplyLimit m_pollLimit;
    bool m_readQueued = false; // a later pass reads what one pass left
    // Per universe, the last sequence number sent (1 to 255; 0: never
    // sent), grown to the highest universe sent.
    std::vector<quint8> m_sequence;
    // universe -> subscriber address (host order) -> last reply (ms)
    std::map<int, std::map<quint32, qint64>> m_subscribers;
    qint64 m_lastPollMs = 0;
    bool m_polled = false;
    QSet<QPair<int, quint32>> m_otherSenders; // reported already

    quint16 m_syncHold = 0;
    qint64 m_lastSyncMs = 0;
};
