// Interface discovery over hand-made interface lists.
#include "net/artnet.h"
#include "net/interfaceentry.h"
#include "tests/net/fakenet.h"

#include <QTest>

using E = FakeNet;

class TestInterfaces : public QObject
{
    Q_OBJECT
private slots:
    void discovery_data();
    void discovery();
    void nodeDiscoversOnce();
    void chosenInterface();
};

void TestInterfaces::discovery_data()
{
    QTest::addColumn<QList<NetworkInterfaceInfo>>("platform");
    // Each expected entry: "ip/netmask/broadcast/hardware".
    QTest::addColumn<QStringList>("expected");

    const QString lo = "127.0.0.1/255.0.0.0/127.255.255.255/00:00:00:00:00:00";
    const NetworkInterfaceInfo loopback{
        QString(),
        {E::entry("127.0.0.1", "255.0.0.0", nullptr),
         E::entry("::1", "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", nullptr)}};

    QTest::newRow("one ethernet address")
        << QList<NetworkInterfaceInfo>{loopback,
                                       {"00:11:22:AA:BB:CC",
                                        {E::entry("192.168.1.10", "255.255.255.0", "192.168.1.255"),
                                         E::entry("fe80::211:22ff:feaa:bbcc",
                                                  "ffff:ffff:ffff:ffff::", nullptr)}}}
        << QStringList{"192.168.1.10/255.255.255.0/192.168.1.255/00:11:22:AA:BB:CC"};
    QTest::newRow("loopback only") << QList<NetworkInterfaceInfo>{loopback} << QStringList{lo};
    QTest::newRow("no interfaces") << QList<NetworkInterfaceInfo>{} << QStringList{lo};
    // One Ethernet interface with one address each that is not usable.
    const auto lone = [](const char *ip, const char *mask, const char *broadcast) {
        return QList<NetworkInterfaceInfo>{{"00:11:22:AA:BB:CC", {E::entry(ip, mask, broadcast)}}};
    };
    QTest::newRow("IPv6 only") << lone("2001:db8::5", "ffff:ffff:ffff:ffff::", nullptr)
                               << QStringList{lo};
    QTest::newRow("zero netmask") << lone("192.168.1.10", "0.0.0.0", "192.168.1.255")
                                  << QStringList{lo};
    QTest::newRow("no netmask") << lone("192.168.1.10", nullptr, "192.168.1.255")
                                << QStringList{lo};
    QTest::newRow("zero broadcast")
        << lone("192.168.1.10", "255.255.255.0", "0.0.0.0") << QStringList{lo};
    QTest::newRow("address 0.0.0.0")
        << lone("0.0.0.0", "255.0.0.0", "0.255.255.255") << QStringList{lo};
    QTest::newRow("address 255.255.255.255")
        << lone("255.255.255.255", "255.255.255.0", "255.255.255.255") << QStringList{lo};
    QTest::newRow("point-to-point without broadcast, then ethernet")
        << QList<NetworkInterfaceInfo>{{QString(),
                                        {E::entry("10.8.0.2", "255.255.255.255", nullptr)}},
                                       {"",
                                        {E::entry("198.51.100.1", "255.255.255.0",
                                                  "198.51.100.255")}}}
        << QStringList{"198.51.100.1/255.255.255.0/198.51.100.255/00:00:00:00:00:00"};
    QTest::newRow("two interfaces keep platform order")
        << QList<NetworkInterfaceInfo>{loopback,
                                       {"02:00:00:00:00:01",
                                        {E::entry("10.0.0.3", "255.0.0.0", "10.255.255.255")}},
                                       {"02:00:00:00:00:02",
                                        {E::entry("192.168.1.10", "255.255.255.0", "192.168.1.255"),
                                         E::entry("192.168.2.10", "255.255.255.0",
                                                  "192.168.2.255")}}}
        << QStringList{"10.0.0.3/255.0.0.0/10.255.255.255/02:00:00:00:00:01",
                       "192.168.1.10/255.255.255.0/192.168.1.255/02:00:00:00:00:02",
                       "192.168.2.10/255.255.255.0/192.168.2.255/02:00:00:00:00:02"};
}

void TestInterfaces::discovery()
{
    QFETCH(QList<NetworkInterfaceInfo>, platform);
    QFETCH(QStringList, expected);
    const QList<InterfaceEntry> list = discoverInterfaceList(platform, false);
    QStringList got;
    for (const InterfaceEntry &e : list)
        got << QStringList{e.addressEntry.ip().toString(), e.addressEntry.netmask().toString(),
                           e.addressEntry.broadcast().toString(), e.hardwareAddress}
                   .join('/');
    QCOMPARE(got, expected);
    QCOMPARE(isLoopbackOnly(list), expected.size() == 1 && expected.first().startsWith("127."));
}

void TestInterfaces::nodeDiscoversOnce()
{
    FakeNet net;
    net.useLan();
    artnet node(false, net.env());
    QCOMPARE(net.interfaceQueries, 1);
    QCOMPARE(node.interfaces().size(), 2);
    // An interface plugged in later is not seen by this node.
    net.interfaces.append(
        {"02:00:00:00:00:09", {E::entry("172.16.0.1", "255.255.0.0", "172.16.255.255")}});
    QVERIFY(node.discoverInterfaces());
    QCOMPARE(net.interfaceQueries, 1);
    QCOMPARE(node.interfaces().size(), 2);
}

// The user picks an interface by name: the nodes see that one alone, and a
// name that is not there leaves them on loopback, never on another network.
void TestInterfaces::chosenInterface()
{
    const QList<NetworkInterfaceInfo> platform{
        {QString(), {E::entry("127.0.0.1", "255.0.0.0", nullptr)}, "lo"},
        {"00:11:22:AA:BB:CC", {E::entry("192.168.1.10", "255.255.255.0", "192.168.1.255")}, "eth0"},
        {"02:00:00:00:00:03", {E::entry("10.0.0.3", "255.0.0.0", nullptr)}, "usb0"}, // no broadcast
        {"02:00:00:00:00:04",
         {E::entry("fe80::1", "ffff:ffff:ffff:ffff::", nullptr),
          E::entry("10.0.0.4", "255.0.0.0", "10.255.255.255")},
         "wlan0"}};
    const QList<InterfaceChoice> choices = interfaceChoices(platform);
    QStringList listed;
    for (const InterfaceChoice &c : choices)
        listed << c.name + ' ' + c.address;
    QCOMPARE(listed, (QStringList{"eth0 192.168.1.10", "wlan0 10.0.0.4"}));

    FakeNet net;
    net.interfaces = platform;
    const QList<InterfaceEntry> wlan =
        discoverInterfaceList(withInterface(net.env(), "wlan0").interfaces(), false);
    QCOMPARE(wlan.size(), 1);
    QCOMPARE(wlan.first().addressEntry.ip(), QHostAddress("10.0.0.4"));
    QCOMPARE(wlan.first().name, QString("wlan0"));
    QVERIFY(isLoopbackOnly(discoverInterfaceList(onlyInterface(platform, "eth9"), false)));
    QCOMPARE(onlyInterface(platform, QString()).size(), 4);
}

QTEST_GUILESS_MAIN(TestInterfaces)
#include "tst_interfaces.moc"
