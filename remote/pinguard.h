// Wrong PINs and the PIN itself. PinGuard counts wrong PINs per address and
// for everyone, on a clock the caller hands in (milliseconds); the helpers
// check the form of a PIN, store it salted and stretched, and compare it.
//
// Promises:
// - The ADDRESS_FAILURES-th wrong PIN from one address refuses that address
//   for LOCK_MS; after that, and after a right PIN, it starts from 0 again.
// - GLOBAL_FAILURES wrong PINs within GLOBAL_WINDOW_MS, from any addresses,
//   refuse everyone for LOCK_MS; the window starts afresh after it.
// - At most MAX_ADDRESSES addresses are remembered; a new one beyond that
//   pushes out the one whose last wrong PIN is oldest.
// - hashPin() stores "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>" with
//   a fresh 16-byte salt from the system's random source; pinMatches()
//   compares in constant time and never matches a malformed stored text, an
//   unusual iteration count or a PIN of the wrong form.
// - Pure apart from the salt's random source: no sockets, no clock of its own.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QtGlobal>

#include <deque>

class PinGuard
{
public:
    static constexpr int ADDRESS_FAILURES = 5;
    static constexpr int GLOBAL_FAILURES = 20;
    static constexpr qint64 GLOBAL_WINDOW_MS = 60000;
    static constexpr qint64 LOCK_MS = 30000;
    static constexpr int MAX_ADDRESSES = 1024;

    // Whole seconds, rounded up, until `address` may try again: 0 when it may.
    int refusedFor(const QHostAddress &address, qint64 nowMs) const;
    void failed(const QHostAddress &address, qint64 nowMs);
    void succeeded(const QHostAddress &address);
    int addressCount() const { return int(m_addresses.size()); }

private:
    struct Entry {
        int failures = 0;
        qint64 lockedUntil = 0; // 0: not locked
        qint64 lastFailure = 0;
    };
    static QString key(const QHostAddress &address);

    QHash<QString, Entry> m_addresses;
    std::deque<qint64> m_recent; // times of the wrong PINs in the global window
    qint64 m_globalLockedUntil = 0;
};

namespace pinhash
{

constexpr int MIN_DIGITS = 4;
constexpr int MAX_DIGITS = 8;
constexpr int ITERATIONS = 20000;
// Stored texts with more iterations than this are not worked through.
constexpr int MAX_ITERATIONS = 1000000;
constexpr int SALT_BYTES = 16;
constexpr int HASH_BYTES = 32; // SHA-256
constexpr char PREFIX[] = "pbkdf2-sha256";

// 4..8 ASCII digits, nothing else.
bool isValidPin(const QString &pin);
// Empty for a PIN that is not valid.
QByteArray hashPin(const QString &pin, int iterations = ITERATIONS);
bool pinMatches(const QByteArray &stored, const QString &pin);
// The PIN of a POST /pin body: "pin=1234" (form-encoded) or just "1234".
QString pinFromBody(const QByteArray &body);

} // namespace pinhash
