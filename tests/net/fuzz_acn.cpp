// libFuzzer target: hostile datagrams into the streaming ACN node with a
// DMX-IN array registered. The first byte picks the base universe and
// channels per universe, the rest is the datagram.
#include "net/acnnet.h"
#include "tests/net/fakenet.h"

#include <QCoreApplication>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_acn";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static FakeNet net = [] {
        FakeNet n;
        n.useLan();
        return n;
    }();
    static acnnet node(net.env());
    static std::vector<quint8> in(3 * 512 + 100);
    if (size < 1)
        return 0;
    const quint8 pick = data[0];
    const int per = (pick & 0x80) ? 100 + (pick & 0x0F) : 512;
    node.setReceiveBuffer(in.data(), int(in.size()) - (pick & 0x40 ? 100 : 0), per);
    node.setReceiveUniverse(pick & 0x07);
    // Bit 5 picks list mode: three far-apart universes, one crossing a Sub-Net.
    const int first = pick & 0x07;
    node.setReceiveUniverses((pick & 0x20) ? QList<int>{first, 15 + first, 60000} : QList<int>{});
    std::vector<quint8> datagram(data + 1, data + size);
    node.handleDatagram(datagram.data(), int(datagram.size()));
    if (net.socket)
        net.socket->memberships.clear();
    return 0;
}
