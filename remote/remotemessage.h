// What a remote page may send over its WebSocket: one JSON object per text
// message, either {"t":"set","id":N,"v":V} or {"t":"press","id":N,"down":B}.
//
// Promises:
// - decode() accepts exactly those keys with those JSON types: N an integer
//   1..MAX_ID, V an integer MIN_VALUE..MAX_VALUE, B true or false. A number
//   with a fraction, or out of range however it is written (1e300), is
//   refused, and so is anything over MAX_MESSAGE bytes, unread.
// - Every refusal comes with one reason, for counting.
// - Pure: no sockets, no state.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace remotemessage
{

constexpr qsizetype MAX_MESSAGE = 4096;
constexpr qint64 MAX_ID = 4294967295LL;
constexpr int MIN_VALUE = -1000000;
constexpr int MAX_VALUE = 1000000;

struct Move {
    enum Kind { Set, Press };
    Kind kind = Set;
    quint32 id = 0;
    int value = 0;     // Set
    bool down = false; // Press
};

enum class Refusal {
    Oversized,   // over MAX_MESSAGE bytes
    NotJson,     // not a JSON object
    UnknownType, // "t" missing, not a string, or neither "set" nor "press"
    BadKeys,     // other keys than those of its type
    BadId,       // "id" not an integer in 1..MAX_ID
    BadValue,    // "v" not an integer in MIN_VALUE..MAX_VALUE
    BadDown,     // "down" not true or false
};
constexpr int REFUSALS = int(Refusal::BadDown) + 1;

// "oversized", "not json", ...
QString refusalName(Refusal reason);

std::optional<Move> decode(QByteArrayView json, Refusal *why = nullptr);

} // namespace remotemessage
