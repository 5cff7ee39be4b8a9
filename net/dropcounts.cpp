#include "net/dropcounts.h"

QString dropReasonName(DropReason reason)
{
    switch (reason) {
    case DropReason::TooShort:
        return QStringLiteral("too short");
    case DropReason::BadIdentifier:
        return QStringLiteral("bad identifier");
    case DropReason::BadPreamble:
        return QStringLiteral("bad preamble");
    case DropReason::BadFlags:
        return QStringLiteral("bad flags");
    case DropReason::BadRootVector:
        return QStringLiteral("bad root vector");
    case DropReason::BadFramingVector:
        return QStringLiteral("bad framing vector");
    case DropReason::BadDmpVector:
        return QStringLiteral("bad DMP vector");
    case DropReason::BadAddressing:
        return QStringLiteral("bad DMP addressing");
    case DropReason::BadUniverse:
        return QStringLiteral("bad universe");
    case DropReason::BadValueCount:
        return QStringLiteral("no START code");
    case DropReason::NonZeroStartCode:
        return QStringLiteral("non-zero START code");
    case DropReason::UnknownOpcode:
        return QStringLiteral("unknown opcode");
    case DropReason::NotListening:
        return QStringLiteral("no DMX-IN array");
    case DropReason::UniverseNotListened:
        return QStringLiteral("universe not listened to");
    case DropReason::PollLimited:
        return QStringLiteral("poll not answered (too many polls)");
    case DropReason::OscTruncated:
        return QStringLiteral("OSC truncated");
    case DropReason::OscBadPadding:
        return QStringLiteral("OSC bad padding");
    case DropReason::OscBadTypeTag:
        return QStringLiteral("OSC bad type tag");
    case DropReason::OscBadAddress:
        return QStringLiteral("OSC bad address");
    case DropReason::OscOversized:
        return QStringLiteral("OSC oversized");
    case DropReason::OscTooDeep:
        return QStringLiteral("OSC bundles nested too deep");
    }
    return QStringLiteral("unknown reason");
}

quint64 DropCounts::total() const
{
    quint64 sum = 0;
    for (quint64 n : m_counts)
        sum += n;
    return sum;
}
