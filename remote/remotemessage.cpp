#include "remote/remotemessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace remotemessage
{

namespace
{

// The integer a JSON number stands for, when it is one within [low, high].
std::optional<qint64> integer(const QJsonValue &v, qint64 low, qint64 high)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < double(low) || d > double(high))
        return std::nullopt;
    return qint64(d);
}

std::optional<Move> refuse(Refusal reason, Refusal *why)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

QString refusalName(Refusal reason)
{
    switch (reason) {
    case Refusal::Oversized:
        return QStringLiteral("oversized");
    case Refusal::NotJson:
        return QStringLiteral("not json");
    case Refusal::UnknownType:
        return QStringLiteral("unknown type");
    case Refusal::BadKeys:
        return QStringLiteral("bad keys");
    case Refusal::BadId:
        return QStringLiteral("bad id");
    case Refusal::BadValue:
        return QStringLiteral("bad value");
    case Refusal::BadDown:
        return QStringLiteral("bad down");
    }
    return QString();
}

std::optional<Move> decode(QByteArrayView json, Refusal *why)
{
    if (json.size() > MAX_MESSAGE)
        return refuse(Refusal::Oversized, why);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(Refusal::NotJson, why);
    const QJsonObject o = doc.object();
    const QJsonValue t = o.value(QLatin1String("t"));
    Move move;
    if (t == QLatin1String("set"))
        move.kind = Move::Set;
    else if (t == QLatin1String("press"))
        move.kind = Move::Press;
    else
        return refuse(Refusal::UnknownType, why);
    const QLatin1String third(move.kind == Move::Set ? "v" : "down");
    if (o.size() != 3 || !o.contains(QLatin1String("id")) || !o.contains(third))
        return refuse(Refusal::BadKeys, why);
    const auto id = integer(o.value(QLatin1String("id")), 1, MAX_ID);
    if (!id)
        return refuse(Refusal::BadId, why);
    move.id = quint32(*id);
    if (move.kind == Move::Set) {
        const auto v = integer(o.value(third), MIN_VALUE, MAX_VALUE);
        if (!v)
            return refuse(Refusal::BadValue, why);
        move.value = int(*v);
    } else {
        const QJsonValue down = o.value(third);
        if (!down.isBool())
            return refuse(Refusal::BadDown, why);
        move.down = down.toBool();
    }
    return move;
}

} // namespace remotemessage
