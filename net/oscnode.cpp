#include "net/oscnode.h"

#include "net/netlog.h"

#include <QHostInfo>
#include <QPointer>
#include <QTimerEvent>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace
{

qint32 toInt32(double number)
{
    if (std::isnan(number))
        return 0;
    return qint32(qBound(double(std::numeric_limits<qint32>::min()), std::round(number),
                         double(std::numeric_limits<qint32>::max())));
}

// The value as its message carries it: a float, or an int rounded.
void add(oscpacket::Packer &packer, QByteArrayView address, const oscpacket::Value &value)
{
    if (value.kind == oscpacket::Value::Float)
        packer.add(address, float(value.number));
    else
        packer.add(address, toInt32(value.number));
}

} // namespace

OscNode::OscNode(const NetEnvironment &env, QObject *parent) : QObject(parent), m_env(env)
{
    m_resolver = [this](const QString &host, const std::function<void(quint32)> &done) {
        QHostInfo::lookupHost(host, this, [done](const QHostInfo &info) {
            const auto addresses = info.addresses();
            for (const QHostAddress &a : addresses)
                if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                    done(a.toIPv4Address());
                    return;
                }
            done(0);
        });
    };
}

OscNode::~OscNode()
{
    closeListening();
}

void OscNode::setPlainTargets(const QStringList &hostPorts)
{
    m_plain = QSet<QString>(hostPorts.begin(), hostPorts.end());
    for (Target &t : m_targets)
        t.plainKnown = false;
}

void OscNode::setResolveAllowed(std::function<bool(const QString &)> allowed)
{
    m_allowed = std::move(allowed);
}

void OscNode::setResolver(Resolver resolver)
{
    m_resolver = std::move(resolver);
}

bool OscNode::allowed(const QString &host) const
{
    return !m_allowed || m_allowed(host);
}

QString OscNode::send(const QString &host, quint16 port, QByteArrayView address,
                      oscpacket::Value value)
{
    if (host.isEmpty() || port == 0)
        return QStringLiteral("no OSC target");
    if (value.kind != oscpacket::Value::Float && value.kind != oscpacket::Value::Int)
        return QStringLiteral("no number to send");
    if (!allowed(host))
        return QStringLiteral("not allowed: %1").arg(host);
    if (!m_sendSocket) {
        m_sendSocket = m_env.createSocket ? m_env.createSocket() : nullptr;
        if (!m_sendSocket || !m_sendSocket->bind(0, false)) {
            delete m_sendSocket;
            m_sendSocket = nullptr;
            return QStringLiteral("cannot open a UDP socket");
        }
        m_sendSocket->setParent(this);
        // Nothing is expected back on it: whatever arrives is read and dropped.
        connect(m_sendSocket, &DatagramSocket::readyRead, this,
                [this] { readPending(m_sendSocket); });
    }
    Target &t = target(host, port);
    if (t.invalid)
        return QStringLiteral("not an IPv4 address: %1").arg(host);
    if (t.literal) {
        queue(t, t.ipv4);
        add(t.packer, address, value);
        return QString();
    }
    const qint64 now = m_env.clockMs ? m_env.clockMs() : 0;
    Name &name = m_names[host];
    if (name.known && name.ipv4) {
        // A stale address still serves while the name is looked up again.
        const quint32 ipv4 = name.ipv4;
        if (now >= name.expiresMs && !name.resolving)
            resolve(host);
        queue(t, ipv4);
        add(t.packer, address, value);
        return QString();
    }
    if (name.known && !name.resolving && now < name.expiresMs)
        return QStringLiteral("host not found: %1").arg(host);
    if (name.waiting.size() >= MAX_WAITING)
        return QStringLiteral("too many messages waiting for %1").arg(host);
    name.waiting.append({port, value.kind == oscpacket::Value::Float
                                   ? oscpacket::message(address, float(value.number))
                                   : oscpacket::message(address, toInt32(value.number))});
    if (!name.resolving)
        resolve(host);
    return QString();
}

void OscNode::resolve(const QString &host)
{
    m_names[host].resolving = true;
    QPointer<OscNode> self(this);
    m_resolver(host, [self, host](quint32 ipv4) {
        if (self)
            self->resolved(host, ipv4);
    });
}

void OscNode::resolved(const QString &host, quint32 ipv4)
{
    const auto it = m_names.find(host);
    if (it == m_names.end())
        return;
    const qint64 now = m_env.clockMs ? m_env.clockMs() : 0;
    it->resolving = false;
    it->known = true;
    it->ipv4 = ipv4;
    it->expiresMs = now + (ipv4 ? RESOLVED_MS : FAILED_RESOLVE_MS);
    const auto waiting = std::exchange(it->waiting, {});
    if (!ipv4) {
        qCDebug(lcNet) << "OSC: host not found:" << host;
        if (!waiting.isEmpty())
            m_lastSendError = QStringLiteral("host not found: %1").arg(host);
        return;
    }
    if (!allowed(host)) {
        if (!waiting.isEmpty())
            m_lastSendError = QStringLiteral("not allowed: %1").arg(host);
        return;
    }
    for (const auto &w : waiting) {
        Target &t = target(host, w.first);
        queue(t, ipv4);
        t.packer.add(w.second);
    }
}

OscNode::Target &OscNode::target(const QString &host, quint16 port)
{
    const auto same = [&](const Target &t) { return t.port == port && t.host == host; };
    if (m_lastTarget < m_targets.size() && same(m_targets[m_lastTarget]))
        return m_targets[m_lastTarget];
    for (m_lastTarget = 0; m_lastTarget < m_targets.size(); ++m_lastTarget)
        if (same(m_targets[m_lastTarget]))
            return m_targets[m_lastTarget];
    Target t;
    t.host = host;
    t.port = port;
    QHostAddress literal;
    if (literal.setAddress(host)) {
        t.literal = literal.protocol() == QAbstractSocket::IPv4Protocol;
        t.invalid = !t.literal;
        t.ipv4 = t.literal ? literal.toIPv4Address() : 0;
    }
    m_targets.push_back(std::move(t));
    return m_targets.back();
}

void OscNode::queue(Target &t, quint32 ipv4)
{
    if (t.queued)
        return;
    t.queued = true;
    t.ipv4 = ipv4;
    if (!t.plainKnown) {
        t.packer.setPlain(m_plain.contains(t.host + QLatin1Char(':') + QString::number(t.port)));
        t.plainKnown = true;
    }
    m_queued.push_back(size_t(&t - m_targets.data()));
    // A zero timer kept running while passes send: cheaper than an event
    // posted for each.
    if (!m_flushTimer.isActive())
        m_flushTimer.start(0, Qt::PreciseTimer, this);
}

void OscNode::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_flushTimer.timerId())
        flush();
    else
        QObject::timerEvent(event);
}

void OscNode::flush()
{
    if (m_queued.empty()) {
        m_flushTimer.stop(); // a pass that sent nothing: the loop may rest
        return;
    }
    std::vector<size_t> queued;
    queued.swap(m_queued);
    // Asked before any datagram is pointed at: the answers cannot move a
    // packer's bytes from under them.
    for (size_t i : queued) {
        Target &t = m_targets[i];
        t.sending = m_sendSocket && allowed(t.host);
        if (m_sendSocket && !t.sending)
            m_lastSendError = QStringLiteral("not allowed: %1").arg(t.host);
    }
    m_out.clear();
    for (size_t i : queued) {
        Target &t = m_targets[i];
        t.packer.finish();
        for (int d = 0; t.sending && d < t.packer.count(); ++d) {
            const QByteArrayView datagram = t.packer.datagram(d);
            m_out.push_back({datagram.data(), int(datagram.size()), t.ipv4, t.port});
        }
    }
    const int sent =
        m_out.empty() ? 0
                      : m_sendSocket->writeDatagramsPastFailures(m_out.data(), int(m_out.size()));
    if (sent < int(m_out.size())) {
        m_lastSendError = m_sendSocket->errorString();
        qCDebug(lcNet).noquote() << "OSC:" << int(m_out.size()) - sent << "of" << m_out.size()
                                 << "datagrams did not leave -" << m_lastSendError;
    }
    for (size_t i : queued) {
        m_targets[i].packer.clear();
        m_targets[i].queued = false;
    }
    if (m_queued.empty()) {
        queued.clear();
        m_queued.swap(queued); // its capacity serves the next pass
        if (m_targets.size() > MAX_KEPT_TARGETS)
            m_targets.clear();
    }
}

bool OscNode::listen(quint16 port, const QHostAddress &interfaceAddress)
{
    closeListening();
    m_error.clear();
    if (port == 0)
        return true;
    QList<QHostAddress> addresses{QHostAddress(QHostAddress::LocalHost)};
    // The any-address would be every interface: loopback only then.
    if (!interfaceAddress.isNull() && !interfaceAddress.isLoopback() &&
        interfaceAddress != QHostAddress(QHostAddress::AnyIPv4))
        addresses.append(interfaceAddress);
    for (const QHostAddress &a : std::as_const(addresses)) {
        DatagramSocket *s = m_env.createSocket ? m_env.createSocket() : nullptr;
        if (!s || !s->bindAddress(a, port)) {
            delete s;
            closeListening();
            m_error = QStringLiteral("cannot listen on %1 port %2").arg(a.toString()).arg(port);
            qCDebug(lcNet).noquote() << "OSC:" << m_error;
            return false;
        }
        s->setParent(this);
        connect(s, &DatagramSocket::readyRead, this, [this, s] { readPending(s); });
        m_listenSockets.append(s);
    }
    m_listenPort = port;
    return true;
}

void OscNode::closeListening()
{
    for (DatagramSocket *s : std::as_const(m_listenSockets)) {
        s->disconnect(this);
        // A handler may stop listening while its socket is being read.
        if (m_reading)
            s->deleteLater();
        else
            delete s;
    }
    m_listenSockets.clear();
    m_listenPort = 0;
}

void OscNode::readPending(DatagramSocket *socket)
{
    char buffer[oscpacket::MAX_RECEIVE + 1]; // one more: an oversized datagram shows
    const bool discard = socket == m_sendSocket;
    ++m_reading;
    for (int i = 0; i < MAX_DATAGRAMS_PER_PASS; ++i) {
        const qint64 n = socket->readDatagram(buffer, sizeof buffer, &m_sender);
        if (n < 0) {
            --m_reading;
            return;
        }
        if (discard)
            continue;
        handleDatagram(buffer, int(n), m_sender);
        if (!m_listenSockets.contains(socket)) {
            --m_reading;
            return;
        }
    }
    --m_reading;
    // More may be pending, also in the socket's own batch, which no read
    // notification announces.
    QMetaObject::invokeMethod(
        this,
        [this, guard = QPointer<DatagramSocket>(socket)] {
            if (guard && (guard == m_sendSocket || m_listenSockets.contains(guard)))
                readPending(guard);
        },
        Qt::QueuedConnection);
}

void OscNode::handleDatagram(const char *data, int size, const QHostAddress &sender)
{
    DropReason why = DropReason::OscTruncated;
    const bool ok = oscpacket::decode(
        data, size,
        [this](const oscpacket::Message &m) {
            if (m_handler)
                m_handler(m.address, m.value);
        },
        &why);
    if (ok)
        return;
    m_drops.add(why);
    qCDebug(lcNet).noquote() << "OSC: dropped" << size << "bytes from" << sender.toString() << "-"
                             << dropReasonName(why);
}
