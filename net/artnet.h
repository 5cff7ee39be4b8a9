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

#include "net/dmxinarray.h"
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
#include <unordered_map>
#include <vector>

class QTimer;

class artnet : public QObject
{
    Q_OBJECT
public:
    // Sent universes are Port-Addresses: 15 bits.
    static constexpr int MAX_UNIVERSE = 0x7FFF;
    // DMX-IN accepts any universe a record can hold; what cannot be on the
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

    // Sends `length` (2..512) slots as an ArtDmx for `universe` to
    // `destination`, or to the universe's subscribers, or to the broadcast
    // address of the first interface, and keeps the universe alive. Returns
    // the datagram size; 0 when the universe is above 32767; -1 for a bad
    // length, no data, an unbound socket or a failed send. A send that fails
    // is logged as a warning on `pultora.net` (a run of equal failures once).
    qint64 sendDmx(const quint8 *data, int length, int universe,
                   const QHostAddress *destination = nullptr);
    // Why the last sendDmx sent nothing; empty after one that left.
    const QString &lastSendError() const { return m_sendError; }

    // Frames: between beginBatch() and endBatch() every datagram the node
    // sends (ArtDmx, repeats, polls) is collected, and endBatch() sends them
    // in order with as few system calls as the platform allows. Sends inside
    // a batch report success; endBatch() returns the number of datagrams
    // that did not leave (warned about, and kept as lastSendError()).
    void beginBatch() { m_batching = true; }
    int endBatch();

    // Low-level send to destination:6454 (or the first interface's
    // broadcast). -2 without data, -3 for length 0 or no interface, -1 when
    // the send fails, else the bytes sent.
    qint64 sendPacket(const quint8 *bytes, int length, const QHostAddress *destination);

    // Registers the console's DMX-IN array of `size` bytes (universes ×
    // channelsPerUniverse); no array unregisters. The array must stay valid
    // until it is unregistered. Registering opens the socket.
    void setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse = 512);
    // The universe stored at offset 0 of the array (range mode: slot i holds
    // universe + i); false above 65535.
    bool setReceiveUniverse(int universe);
    int receiveUniverse() const { return m_slots.base(); }
    // List mode: slot i of the array holds universes[i], so the array needs
    // universes.size() × channelsPerUniverse bytes. The universes must be
    // strictly increasing within 0..65535 (else false, nothing changes); an
    // empty list returns to range mode. ArtPollReply then describes the
    // listed universes. May be called before or after setReceiveBuffer.
    bool setReceiveUniverses(const QList<int> &universes);
    const QList<int> &receiveUniverses() const { return m_slots.list(); }
    // Moves the DMX-IN registration to `array`, holding the listed universes
    // (list mode, rules as setReceiveUniverses), in one step. A universe held
    // before and after keeps its received flag and any frame held for a sync;
    // the caller carries its bytes over into the new array. No array
    // unregisters. False for a refused list (nothing changes then).
    bool setReceiveUniverseBuffer(quint8 *array, int size, const QList<int> &universes,
                                  int channelsPerUniverse = 512);
    // The byte for (universe, channel) in the array; returns true once an
    // ArtDmx for that universe has arrived. False (value untouched) for a
    // universe the array does not hold.
    bool getReceivedValue(int universe, int channel, quint8 &value) const;

    // Sees every ArtDmx that decodes, on any universe, whether DMX-IN holds
    // it or not: the universe (SubUni | Net << 8, as the console stores it),
    // the levels that arrived and their number (at most 512). Called as the
    // datagram is handled, also while a frame is held for a sync. The
    // observer may replace itself; it must not delete the node. Setting one
    // opens the socket (false when it cannot be opened); an empty observer
    // switches observing off and leaves the socket as it is.
    using DmxObserver = std::function<void(int universe, const quint8 *levels, int count)>;
    bool setDmxObserver(DmxObserver observer);

    // Sends an ArtPoll to the broadcast address when the last one is
    // POLL_INTERVAL_MS old, and drops subscribers that stopped answering.
    // Nothing before the first ArtDmx. True when a poll went out.
    bool pollIfDue();
    // Addresses that receive `universe` by unicast now, in ascending order.
    QList<QHostAddress> subscribers(int universe) const;

    // Handles one datagram already read from the socket (at the clock's
    // current time).
    void handleDatagram(const quint8 *data, int length, const QHostAddress &sender);
    // Datagrams read and not used since the node was created, by reason.
    const DropCounts &droppedDatagrams() const { return m_drops; }

public slots:
    qint64 slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame, quint8 Type,
                            QHostAddress *DestIp);
    qint64 slotSendTimeCode(quint8 Hour, quint8 Minute, quint8 Seconds, quint8 Frame, quint8 Type);
    // Repeats every sent universe whose last transmission is 500 ms old;
    // bytes sent, or -1 when nothing has been sent yet.
    qint64 sendDataTimeout();
    void readPackage();

private slots:
    void tick();

private:
    quint8 nextSequence(int universe);
    // Sends a finished ArtDmx to the universe's subscribers, or broadcasts it.
    qint64 sendToUniverse(quint8 *packet, int size, int universe);
    void handlePollReply(const quint8 *data, int length, const QHostAddress &sender);
    bool isOwnAddress(quint32 ip) const;
    void checkOtherSender(int universe, const QHostAddress &sender);
    bool openSocket();
    bool makeSendingReady();
    void handleSync(const quint8 *data, int length);
    void writeDmx(const quint8 *data, int length, const QHostAddress &sender);
    void drop(DropReason reason, int length, const QHostAddress &sender,
              const QString &detail = QString());
    qint64 sendFailed(const QString &error, qint64 result);
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
    KeepAlive m_keepAlive;

    UniverseSlots m_slots;
    quint8 m_oemHigh = 0, m_oemLow = 0xFF;
    quint8 m_versionHigh = 0, m_versionLow = 0;
    QString m_shortName, m_longName, m_nodeReport;
    bool m_pollReplyEnabled = false;
    bool m_receiveReady = false;

    bool m_alwaysBroadcast = false;
    bool m_batching = false;
    // The datagrams of the batch, end to end, and where each goes.
    std::vector<quint8> m_batchBytes;
    std::vector<OutgoingDatagram> m_batch;
    std::function<void(const QString &)> m_notice;
    int m_repliesSent = 0;
    PollReplyLimit m_pollLimit;
    bool m_readQueued = false; // a later pass reads what one pass left
    std::unordered_map<int, quint8> m_sequence;
    // universe -> subscriber address (host order) -> last reply (ms)
    std::map<int, std::map<quint32, qint64>> m_subscribers;
    qint64 m_lastPollMs = 0;
    bool m_polled = false;
    QSet<QPair<int, quint32>> m_otherSenders; // reported already

    DmxInArray m_in;
    DmxObserver m_observer;
    DropCounts m_drops;
    QString m_sendError;
    quint16 m_syncHold = 0;
    qint64 m_lastSyncMs = 0;
};
