// The console's OSC node. Output: messages with one float or int argument
// to "host:port" targets; the messages of one pass of the event loop leave
// together at its end, as bundles (oscpacket::bundles) or, for targets that
// want them plain, one datagram each. Input: one port on the chosen
// interface's address and on 127.0.0.1, every message handed on in order.
//
// Promises:
// - send() never blocks: literal IPv4 addresses are used at once, names are
//   resolved in the background and cached (failures too, for
//   FAILED_RESOLVE_MS, so a typo does not hammer the name server); messages
//   for a name being resolved wait for it, at most MAX_WAITING per name.
// - A host the resolve permission refuses is neither resolved nor sent to,
//   also when the permission is withdrawn while its messages wait.
// - Every message sent, in the order sent: one per call, none coalesced.
// - The input never listens on every interface: only on the address given
//   and on loopback.
// - A received datagram is delivered whole or not at all; a dropped one is
//   counted by reason (drops()) and logged at debug level on `pultora.net`.
// - One pass of the event loop handles at most MAX_DATAGRAMS_PER_PASS
//   datagrams per socket; the rest follow in later passes.
#pragma once

#include "net/dropcounts.h"
#include "net/netenvironment.h"
#include "net/oscpacket.h"

#include <QBasicTimer>
#include <QByteArrayView>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class OscNode : public QObject
{
    Q_OBJECT
public:
    static constexpr int MAX_WAITING = 1000;
    static constexpr qint64 RESOLVED_MS = 60000;       // a resolved name is looked up anew after
    static constexpr qint64 FAILED_RESOLVE_MS = 10000; // a name not found is tried again after

    // Calls done(address) once with the IPv4 address of `host` (host order),
    // 0 when there is none; from the event loop, never from inside the call.
    using Resolver =
        std::function<void(const QString &host, const std::function<void(quint32 ipv4)> &done)>;
    using MessageHandler = std::function<void(QByteArrayView address, const oscpacket::Value &)>;

    explicit OscNode(const NetEnvironment &env = NetEnvironment::system(),
                     QObject *parent = nullptr);
    ~OscNode() override;

    // Queues one message (value Float or Int) for host:port. Empty when it is
    // queued, else why not: "no OSC target", "not allowed: host", "host not
    // found: host", ... A name being resolved takes the message; if it then
    // is not found the message is dropped and lastSendError() says so.
    QString send(const QString &host, quint16 port, QByteArrayView address, oscpacket::Value value);
    // "host:port" entries, as the targets are written: these get one plain
    // message per datagram instead of bundles.
    void setPlainTargets(const QStringList &hostPorts);
    // Asked before a host is resolved or sent to; unset allows every host.
    void setResolveAllowed(std::function<bool(const QString &host)> allowed);
    // Replaces the name lookup (QHostInfo) - for tests.
    void setResolver(Resolver resolver);
    // Why the last datagram or name failed after send() took it; empty if none has.
    QString lastSendError() const { return m_lastSendError; }

    // Listens on `port` of interfaceAddress and of 127.0.0.1 (a null or
    // loopback address: loopback only); port 0 stops listening. False, with
    // errorString(), when a socket cannot be bound: nothing listens then.
    bool listen(quint16 port, const QHostAddress &interfaceAddress);
    quint16 listeningPort() const { return m_listenPort; }
    QString errorString() const { return m_error; }
    // Called once per received message, in order, in the pass that read it.
    void setMessageHandler(MessageHandler handler) { m_handler = std::move(handler); }
    const DropCounts &drops() const { return m_drops; }

    // Handles one received datagram as if a listening socket had read it.
    void handleDatagram(const char *data, int size, const QHostAddress &sender);

private:
    // A host:port sent to: kept across passes with its packer, so a send
    // finds it again without building a key and encodes into the buffer
    // of the last pass.
    struct Target {
        QString host; // as the caller wrote it
        quint16 port = 0;
        bool literal = false;    // an IPv4 address (ipv4), else a name (m_names)
        bool invalid = false;    // an address, but not IPv4
        bool plainKnown = false; // packer.plain() follows m_plain
        bool queued = false;     // in m_queued
        bool sending = false;    // allowed, in this flush
        quint32 ipv4 = 0;
        oscpacket::Packer packer; // the messages of this pass
    };
    struct Name {
        quint32 ipv4 = 0; // 0: not found
        qint64 expiresMs = 0;
        bool resolving = false;
        bool known = false; // resolved at least once
        QList<QPair<quint16, QByteArray>> waiting;
    };
    // Targets kept beyond this are let go after a flush.
    static constexpr size_t MAX_KEPT_TARGETS = 64;

    bool allowed(const QString &host) const;
    Target &target(const QString &host, quint16 port);
    // `t` takes a message this pass; the caller adds it to t.packer.
    void queue(Target &t, quint32 ipv4);
    void flush();
    void resolve(const QString &host);
    void resolved(const QString &host, quint32 ipv4);
    void readPending(DatagramSocket *socket);
    void closeListening();
    void timerEvent(QTimerEvent *event) override;

    NetEnvironment m_env;
    Resolver m_resolver;
    std::function<bool(const QString &)> m_allowed;
    QSet<QString> m_plain;
    DatagramSocket *m_sendSocket = nullptr;
    std::vector<Target> m_targets;
    size_t m_lastTarget = 0;      // m_targets: the one sent to last, tried first
    std::vector<size_t> m_queued; // m_targets with messages this pass, in the order of their first
    std::vector<OutgoingDatagram> m_out;
    QBasicTimer m_flushTimer; // zero: runs while passes send, stops after one that sent nothing
    QHash<QString, Name> m_names;
    QString m_lastSendError;

    QList<DatagramSocket *> m_listenSockets;
    quint16 m_listenPort = 0;
    QString m_error;
    MessageHandler m_handler;
    DropCounts m_drops;
    int m_reading = 0; // readPending() calls under way
    // The sender of the datagram being read, kept so a read allocates nothing.
    QHostAddress m_sender;
};
