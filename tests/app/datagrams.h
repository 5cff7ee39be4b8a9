// Datagrams a sender on the network would send the console, built with the
// node's own encoders (which are checked byte for byte and against tshark).
#pragma once

#include "net/acnpacket.h"
#include "net/artnetpacket.h"

#include <QByteArray>
#include <cstring>

inline QByteArray artDmxDatagram(int universe, const QByteArray &levels)
{
    QByteArray p(18 + int(levels.size()), '\0');
    const int n = artnetpacket::encodeDmx(
        reinterpret_cast<quint8 *>(p.data()), int(p.size()), universe,
        reinterpret_cast<const quint8 *>(levels.constData()), int(levels.size()));
    p.resize(n < 0 ? 0 : n);
    return p;
}

inline QByteArray e131Datagram(int wireUniverse, const QByteArray &levels, quint8 sequence)
{
    quint8 name[64] = {};
    std::memcpy(name, "peer", 4);
    QByteArray p(126 + int(levels.size()), '\0');
    const int n = acnpacket::encodeData(
        reinterpret_cast<quint8 *>(p.data()), int(p.size()), name, sequence, wireUniverse,
        reinterpret_cast<const quint8 *>(levels.constData()), int(levels.size()));
    p.resize(n < 0 ? 0 : n);
    return p;
}
