#include "remote/pinguard.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

#include <algorithm>

namespace
{

int secondsUntil(qint64 untilMs, qint64 nowMs)
{
    return untilMs > nowMs ? int((untilMs - nowMs + 999) / 1000) : 0;
}

} // namespace

QString PinGuard::key(const QHostAddress &address)
{
    // An IPv4 address seen through an IPv6 socket is the same address.
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

int PinGuard::refusedFor(const QHostAddress &address, qint64 nowMs) const
{
    const auto it = m_addresses.constFind(key(address));
    const int own = it == m_addresses.cend() ? 0 : secondsUntil(it->lockedUntil, nowMs);
    return std::max(own, secondsUntil(m_globalLockedUntil, nowMs));
}

void PinGuard::failed(const QHostAddress &address, qint64 nowMs)
{
    const QString k = key(address);
    auto it = m_addresses.find(k);
    if (it == m_addresses.end()) {
        if (m_addresses.size() >= MAX_ADDRESSES) {
            const auto oldest = std::min_element(
                m_addresses.begin(), m_addresses.end(),
                [](const Entry &a, const Entry &b) { return a.lastFailure < b.lastFailure; });
            m_addresses.erase(oldest);
        }
        it = m_addresses.insert(k, Entry());
    }
    Entry &e = *it;
    if (e.lockedUntil != 0 && nowMs >= e.lockedUntil)
        e = Entry();
    e.lastFailure = nowMs;
    if (++e.failures >= ADDRESS_FAILURES && e.lockedUntil == 0)
        e.lockedUntil = nowMs + LOCK_MS;

    while (!m_recent.empty() && m_recent.front() <= nowMs - GLOBAL_WINDOW_MS)
        m_recent.pop_front();
    m_recent.push_back(nowMs);
    if (int(m_recent.size()) >= GLOBAL_FAILURES) {
        m_globalLockedUntil = nowMs + LOCK_MS;
        m_recent.clear();
    }
}

void PinGuard::succeeded(const QHostAddress &address)
{
    m_addresses.remove(key(address));
}

namespace pinhash
{

namespace
{

QByteArray derive(const QString &pin, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toLatin1(), salt,
                                              iterations, HASH_BYTES);
}

bool isHex(const QByteArray &s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

} // namespace

bool isValidPin(const QString &pin)
{
    return pin.size() >= MIN_DIGITS && pin.size() <= MAX_DIGITS &&
           std::all_of(pin.begin(), pin.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QByteArray hashPin(const QString &pin, int iterations)
{
    if (!isValidPin(pin) || iterations < 1 || iterations > MAX_ITERATIONS)
        return {};
    QByteArray salt(SALT_BYTES, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          SALT_BYTES / int(sizeof(quint32)));
    return QByteArray(PREFIX) + '$' + QByteArray::number(iterations) + '$' + salt.toHex() + '$' +
           derive(pin, salt, iterations).toHex();
}

bool pinMatches(const QByteArray &stored, const QString &pin)
{
    const QList<QByteArray> parts = stored.split('$');
    if (parts.size() != 4 || parts[0] != PREFIX || !isValidPin(pin))
        return false;
    const QByteArray &count = parts[1];
    if (count.isEmpty() || count.size() > 7 || count.startsWith('0') ||
        !std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int iterations = count.toInt();
    if (iterations > MAX_ITERATIONS || parts[2].size() != 2 * SALT_BYTES || !isHex(parts[2]) ||
        parts[3].size() != 2 * HASH_BYTES || !isHex(parts[3]))
        return false;
    const QByteArray expected = QByteArray::fromHex(parts[3]);
    const QByteArray actual = derive(pin, QByteArray::fromHex(parts[2]), iterations);
    if (actual.size() != expected.size())
        return false;
    uchar diff = 0;
    for (qsizetype i = 0; i < actual.size(); ++i)
        diff |= uchar(actual[i]) ^ uchar(expected[i]);
    return diff == 0;
}

QString pinFromBody(const QByteArray &body)
{
    const QByteArray value = body.startsWith("pin=") ? body.mid(4) : body;
    return QString::fromLatin1(value.trimmed());
}

} // namespace pinhash
