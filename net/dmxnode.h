// What the Art-Net node and the streaming ACN node offer the console alike:
// frames of universes to send, and DMX-IN, the console's array of received
// universes with an observer that sees every universe that arrives. Each
// node derives from DmxNode and adds its protocol.
//
// Promises:
// - sendFrame sends one frame: its universes as one batch, in order, in as
//   few system calls as the platform allows, each kept alive afterwards. A
//   universe named twice leaves once, with the later levels. A universe the
//   protocol refuses (outside its range, a bad length, no data) is skipped,
//   and so is one whose datagram fails: the rest of the frame still leaves.
// - After a frame, lastSendError() says why something of it did not leave;
//   it is empty when all of it left. A failure, of a frame or of a
//   keep-alive repeat, is logged as a warning on `pultora.net` (a run of
//   equal failures once) and kept as lastSendError() until a frame leaves.
// - DMX-IN holds a range of universes from a first one, or a list of
//   universes, one slot of the array each. A universe that stays through a
//   change of the array keeps its received flag (and a frame held for a
//   sync). Levels of a universe the array does not hold are never written.
// - The observer sees the levels of every universe that arrives, held by
//   DMX-IN or not. It may replace itself while it runs; it must not delete
//   the node.
#pragma once

#include "net/dmxinarray.h"
#include "net/dropcounts.h"
#include "net/netenvironment.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// One universe of a frame: `length` levels at `data`, which stay the
// caller's and need to live only until sendFrame returns.
struct DmxUniverse {
    int universe = 0;
    const quint8 *data = nullptr;
    int length = 0;
};

class DmxNode : public QObject
{
    Q_OBJECT
public:
    // Sends `count` universes as one frame. The number of universes that left.
    int sendFrame(const DmxUniverse *universes, int count);
    // Why the last frame (or keep-alive) did not leave whole; empty once one did.
    const QString &lastSendError() const { return m_sendError; }
    // Repeats every sent universe whose last packet is 500 ms old (a timer
    // of the node calls it); bytes sent, or -1 when nothing was sent yet.
    virtual qint64 sendDataTimeout() = 0;

    // Registers the console's DMX-IN array of `size` bytes (universes ×
    // channelsPerUniverse, clamped to 1..512); no array unregisters. The
    // array must stay valid until it is unregistered. Registering opens the
    // socket.
    void setReceiveBuffer(quint8 *array, int size, int channelsPerUniverse = 512);
    // Range mode: slot i holds universe + i. False outside 0..the node's
    // largest receive universe.
    bool setReceiveUniverse(int universe);
    int receiveUniverse() const { return m_slots.base(); }
    // List mode: slot i holds universes[i], so the array needs
    // universes.size() × channelsPerUniverse bytes. The universes must be
    // strictly increasing within the node's range (else false, nothing
    // changes); an empty list returns to range mode. May be called before or
    // after setReceiveBuffer.
    bool setReceiveUniverses(const QList<int> &universes);
    const QList<int> &receiveUniverses() const { return m_slots.list(); }
    // Moves DMX-IN to `array`, holding the listed universes (list mode, rules
    // as setReceiveUniverses), in one step; the caller carries the bytes of
    // universes that stay over into the new array. No array unregisters.
    // False for a refused list (nothing changes then).
    bool setReceiveUniverseBuffer(quint8 *array, int size, const QList<int> &universes,
                                  int channelsPerUniverse = 512);
    // The byte for (universe, channel) in the array; true once levels of that
    // universe arrived. False (value untouched) for a universe or channel the
    // array does not hold.
    bool getReceivedValue(int universe, int channel, quint8 &value) const;

    // Sees every universe that arrives: the universe (as the console stores
    // it), its levels and their number (at most 512). Setting one opens the
    // socket (false when it cannot be opened); an empty observer switches
    // observing off and leaves the socket as it is.
    using DmxObserver = std::function<void(int universe, const quint8 *levels, int count)>;
    bool setDmxObserver(DmxObserver observer);

    // Told the universe (as the console stores it) each time levels of a
    // universe DMX-IN holds reach the array: at once, or for a frame held
    // until a sync, when the sync releases it. Runs on the node's thread.
    using ReceiveNotifier = std::function<void(int universe)>;
    void setReceiveNotifier(ReceiveNotifier notifier) { m_notify = std::move(notifier); }

    // Datagrams read and not used since the node was created, by reason.
    const DropCounts &droppedDatagrams() const { return m_drops; }

protected:
    // `protocol` names the node in its warnings; DMX-IN takes universes
    // 0..maxReceiveUniverse; with holdsFrames it keeps a copy for frames
    // held until a sync.
    DmxNode(const QString &protocol, int maxReceiveUniverse, bool holdsFrames,
            QObject *parent = nullptr);

    // Opens the node's socket on first need; false when it cannot be opened.
    virtual bool openSocket() = 0;
    // Sends a frame that names no universe twice; the number that left.
    virtual int sendUniverses(const DmxUniverse *universes, int count) = 0;
    // Called after each change of DMX-IN's array or universes.
    virtual void receiveChanged() {}

    // Hands received levels of `universe` on: to the observer, then into
    // DMX-IN (held back until releaseHeld() with `hold`). False when DMX-IN
    // does not hold the universe, with the reason to count the drop by.
    bool deliver(int universe, const quint8 *levels, int count, bool hold, DropReason *why);
    // True when levels of `universe` would go anywhere; else the reason.
    bool wants(int universe, DropReason *why) const;
    void releaseHeld();
    bool isReceiving() const { return m_in.isRegistered(); }
    // The slots of the DMX-IN array; 0 without one.
    int receiveSlots() const { return m_in.universes(); }
    // The universes DMX-IN holds as runs; none without an array or a first
    // universe.
    QList<UniverseSlots::Run> heldRuns() const;
    bool holdsList() const { return m_slots.isList(); }

    // One batch of datagrams, each tagged with the frame universe it carries
    // (the datagrams of one universe in a row; -1: none, a poll).
    struct Batch {
        std::vector<OutgoingDatagram> datagrams;
        std::vector<int> tags;
        std::vector<char> left; // per datagram, after send(): 1 when it left
        void clear()
        {
            datagrams.clear();
            tags.clear();
        }
        void add(const char *data, int size, quint32 ipv4, quint16 port, int tag)
        {
            datagrams.push_back({data, size, ipv4, port});
            tags.push_back(tag);
        }
        // Sends every datagram it can, past any that fails; how many left.
        int send(DatagramSocket &socket);
        // After send(): the bytes of the datagrams that left.
        qint64 bytesLeft() const;
    };
    // After a batch: how many tagged universes left (one datagram of a
    // universe is enough). Universes none of whose datagrams left are a
    // failure (warned about, kept as lastSendError()).
    int reportBatch(const Batch &batch, const QString &socketError);
    // After a frame's batch, as reportBatch; when every universe in it left,
    // `refused` (why others were not queued) becomes the reason, or the
    // reason is cleared when nothing was refused.
    int frameSent(const Batch &batch, const QString &refused, const QString &socketError);
    void countDrop(DropReason reason) { m_drops.add(reason); }
    // Keeps `error` as the reason the last send failed, warned about once
    // per run of equal failures; returns `result`.
    qint64 sendFailed(const QString &error, qint64 result = -1);

private:
    // How many tagged universes of the batch left; the failure text of those
    // that did not, if any.
    static int tally(const Batch &batch, const QString &socketError, QString *failure);

    QString m_protocol;
    int m_maxReceive;
    bool m_holdsFrames;
    QString m_sendError;
    DmxInArray m_in;
    UniverseSlots m_slots;
    DmxObserver m_observer;
    ReceiveNotifier m_notify;
    std::vector<int> m_held;          // universes written since the last release, held
    std::vector<DmxUniverse> m_frame; // a frame that named a universe twice, once each
    DropCounts m_drops;
};
