// libFuzzer target: hostile datagrams into the Art-Net node with a DMX-IN
// array registered and poll replies enabled. The first byte picks the base
// universe and channels per universe, the rest is the datagram.
#include "net/artnet.h"
#include "tests/net/fakenet.h"

#include <QCoreApplication>

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_artnet";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static FakeNet net = [] {
        FakeNet n;
        n.useLan();
        return n;
    }();
    static artnet node(false, net.env());
    static std::vector<quint8> in(3 * 512 + 100);
    static const bool replies = node.setPollReplyEnabled(true);
    (void)replies;
    if (size < 1)
        return 0;
    const quint8 pick = data[0];
    // Vary the registration a little, including odd sizes and widths.
    const int per = (pick & 0x80) ? 100 + (pick & 0x0F) : 512;
    node.setReceiveBuffer(in.data(), int(in.size()) - (pick & 0x40 ? 100 : 0), per);
    node.setReceiveUniverse(pick & 0x07);
    // Bit 5 picks list mode: three far-apart universes, one crossing a Sub-Net.
    const int first = pick & 0x07;
    node.setReceiveUniverses((pick & 0x20) ? QList<int>{first, 15 + first, 60000} : QList<int>{});
    net.now += (pick & 0x08) ? 3001 : 1;
    // An exact-size copy so reads past the datagram are caught.
    std::vector<quint8> datagram(data + 1, data + size);
    node.handleDatagram(datagram.data(), int(datagram.size()), QHostAddress("10.0.0.7"));
    node.sendDataTimeout();
    if (net.socket)
        net.socket->sent.clear();
    return 0;
}
