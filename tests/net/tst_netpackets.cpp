// Art-Net and E1.31 encoders and decoders on golden bytes, then the negative
// cases the nodes' tests do not hold (short or hostile counts: tst_dmxnode;
// each refused E1.31 field by its drop reason: tst_acnnet).
#include "net/acnpacket.h"
#include "net/artnetpacket.h"

#include <QTest>

#include <vector>

namespace
{

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

const quint8 *u8(const QByteArray &a)
{
    return reinterpret_cast<const quint8 *>(a.constData());
}

QByteArray slotData(int n)
{
    QByteArray data(n, 0);
    for (int i = 0; i < n; ++i)
        data[i] = char((i * 7 + 3) & 0xFF);
    return data;
}

QByteArray validE131(int slotCount = 512, int universe = 1)
{
    quint8 name[64] = {'P', 'u', 'l', 't', 'o', 'r', 'a'};
    QByteArray data = slotData(slotCount);
    QByteArray out(acnpacket::MAX_SIZE, 0);
    const int n = acnpacket::encodeData(reinterpret_cast<quint8 *>(out.data()), out.size(), name, 1,
                                        universe, u8(data), slotCount);
    out.resize(n);
    return out;
}

} // namespace

class TestNetPackets : public QObject
{
    Q_OBJECT
private slots:
    void artDmxGolden()
    {
        const QByteArray data = slotData(512);
        quint8 buf[artnetpacket::DMX_MAX_SIZE];
        QCOMPARE(artnetpacket::encodeDmx(buf, sizeof buf, 0x0123, u8(data), 512, 7), 530);
        // ID, OpCode low byte first, ProtVer 14, Sequence, Physical, SubUni, Net, Length
        // big-endian.
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 18),
                 QByteArray("Art-Net", 8) + QByteArray::fromHex("0050000e070023010200"));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf) + 18, 512), data);

        // Sequence 0 (no reordering), SubUni, Net (15 bits), Length 2.
        QCOMPARE(artnetpacket::encodeDmx(buf, sizeof buf, 0x7FFF, u8(data), 2), 20);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf) + 12, 6),
                 bytes({0, 0, 0xFF, 0x7F, 0, 2}));
    }

    // Length 1, 513 or 0, universe 32768 or -1, capacity short, no data.
    void artDmxRefused()
    {
        const QByteArray data = slotData(600);
        const int refused[][4] = {{0, 1, 530, 0},       {0, 513, 600, 0},  {0, 0, 530, 0},
                                  {32768, 512, 530, 0}, {-1, 512, 530, 0}, {0, 512, 529, 0},
                                  {0, 512, 530, 1}};
        for (const auto &r : refused) {
            std::vector<quint8> buf(size_t(r[2]), 0xEE);
            QCOMPARE(
                artnetpacket::encodeDmx(buf.data(), r[2], r[0], r[3] ? nullptr : u8(data), r[1]),
                -1);
            QCOMPARE(buf[0], quint8(0xEE)); // nothing written
        }
    }

    void artHeader_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("opcode");
        const QByteArray poll =
            bytes({'A', 'r', 't', '-', 'N', 'e', 't', 0, 0x00, 0x20, 0, 14, 0, 0});
        QTest::newRow("ArtPoll") << poll << int(artnetpacket::Id::ArtNet) << 0x2000;
        QTest::newRow("12 bytes") << poll.left(12) << int(artnetpacket::Id::None) << 0;
        QTest::newRow("13 bytes") << poll.left(13) << int(artnetpacket::Id::ArtNet) << 0x2000;
        QTest::newRow("wrong ID") << "Art-NeT" + poll.mid(7) << int(artnetpacket::Id::None) << 0;
        QTest::newRow("ID without zero byte")
            << "Art-Net " + poll.mid(8) << int(artnetpacket::Id::None) << 0;
        const QByteArray madrix =
            bytes({'M', 'a', 'd', 'r', 'i', 'x', 'N', 0, 0x02, 0x52, 0, 14, 1});
        QTest::newRow("MadrixN sync") << madrix << int(artnetpacket::Id::Madrix) << 0x5202;
        QTest::newRow("empty") << QByteArray() << int(artnetpacket::Id::None) << 0;
    }

    void artHeader()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(int, id);
        QFETCH(int, opcode);
        const artnetpacket::Header h = artnetpacket::decodeHeader(u8(datagram), datagram.size());
        QCOMPARE(int(h.id), id);
        QCOMPARE(int(h.opcode), opcode);
    }

    void timeCodeGolden()
    {
        quint8 buf[20];
        QCOMPARE(artnetpacket::encodeTimeCode(buf, sizeof buf, 13, 59, 58, 24, 3), 20);
        // ID, OpCode, ProtVer, two fillers, frames, seconds, minutes, hours, type (SMPTE
        // 30), padding.
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 20),
                 QByteArray("Art-Net", 8) + bytes({0x00, 0x97, 0, 14, 0, 0, 24, 58, 59, 13, 3, 0}));
        QCOMPARE(artnetpacket::encodeTimeCode(buf, 19, 1, 2, 3, 4, 0), -1);
    }

    void pollReplyGolden()
    {
        artnetpacket::PollReplyInfo info;
        info.ip = 0x0A000003; // 10.0.0.3
        const quint8 mac[6] = {0x02, 0x00, 0x00, 0xAB, 0xCD, 0xEF};
        memcpy(info.mac, mac, 6);
        info.versionHigh = 0;
        info.versionLow = 8;
        info.oemHigh = 0x0C;
        info.oemLow = 0x14;
        info.shortName = "Pultora-with-a-too-long-name";
        info.longName = QByteArray(80, 'L');
        info.nodeReport = "Pultora ";
        info.netSwitch = 1;
        info.subSwitch = 2;
        info.numPorts = 2;
        info.swOut[0] = 0x03;
        info.swOut[1] = 0x04;
        info.swOut[2] = 0x99; // beyond NumPorts: not sent
        info.bindIp = info.ip;
        info.bindIndex = 2;
        quint8 b[240];
        QCOMPARE(artnetpacket::encodePollReply(b, sizeof b, info), 240);
        const auto at = [&b](int offset, int n) {
            return QByteArray(reinterpret_cast<const char *>(b) + offset, n);
        };
        QCOMPARE(at(0, 8), QByteArray("Art-Net", 8)); // ID
        // OpCode, IP most significant first, port 6454 low byte first, version, NetSwitch,
        // SubSwitch, OEM, Ubea, Status1, EstaMan.
        QCOMPARE(at(8, 18).toHex(), "00210a000003361900080102"
                                    "0c1400000000");
        QCOMPARE(at(26, 18), QByteArray("Pultora-with-a-to") + QByteArray(1, 0)); // 17 + zero
        QCOMPARE(at(44, 64), QByteArray(63, 'L') + QByteArray(1, 0));             // 63 + zero
        QCOMPARE(at(108, 64), QByteArray("Pultora ") + QByteArray(56, 0));        // NodeReport
        // NumPorts; PortTypes (DMX512 out), GoodInput, GoodOutput, SwIn, SwOut (low nibbles)
        // of four ports; SwVideo to Spare, Style StController; MAC, BindIp, BindIndex.
        QCOMPARE(at(172, 40).toHex(), "0002"
                                      "80800000"
                                      "00000000"
                                      "80800000"
                                      "00000000"
                                      "03040000"
                                      "00000000000001"
                                      "020000abcdef"
                                      "0a000003"
                                      "02");
        QCOMPARE(at(212, 28), char(8) + QByteArray(27, 0)); // Status2: 15-bit Port-Address
        QCOMPARE(artnetpacket::encodePollReply(b, 239, info), -1);

        // What a controller reads back: the output ports' Port-Addresses.
        artnetpacket::PollReplyPorts ports;
        QVERIFY(artnetpacket::decodePollReply(b, 240, ports));
        QCOMPARE(ports.ip, info.ip);
        QCOMPARE(ports.outputUniverses, (QList<int>{0x0123, 0x0124}));
        QVERIFY(!artnetpacket::decodePollReply(b, 193, ports));

        QCOMPARE(artnetpacket::formatNodeReport(1, 10042, "Pultora eth0"),
                 QByteArray("#0001 [0042] Pultora eth0"));
        QCOMPARE(artnetpacket::encodePoll(b, 14), 14);
        QCOMPARE(at(0, 14), QByteArray("Art-Net", 8) + bytes({0x00, 0x20, 0, 14, 0, 0}));
    }

    void pollReplyPages_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("ports");
        QTest::addColumn<QList<int>>("expected"); // first, ports, first, ports, ...
        QTest::newRow("no ports") << 0 << 0 << QList<int>{0, 0};
        QTest::newRow("one") << 3 << 1 << QList<int>{3, 1};
        QTest::newRow("six") << 0 << 6 << QList<int>{0, 4, 4, 2};
        QTest::newRow("eight") << 0 << 8 << QList<int>{0, 4, 4, 4};
        QTest::newRow("across a Sub-Net") << 14 << 6 << QList<int>{14, 2, 16, 4};
        QTest::newRow("above 255") << 0x0123 << 3 << QList<int>{0x0123, 3};
        QTest::newRow("no base yet") << -1 << 2 << QList<int>{0, 2};
        QList<int> capped;
        for (int k = 0; k < 255; ++k)
            capped << 4 * k << 4;
        QTest::newRow("BindIndex limit") << 0 << 4000 << capped;
    }

    void pollReplyPages()
    {
        QFETCH(int, base);
        QFETCH(int, ports);
        QFETCH(QList<int>, expected);
        QList<int> got;
        for (const auto &p : artnetpacket::planPollReplyPages(base, ports))
            got << p.firstUniverse << p.ports;
        QCOMPARE(got, expected);
    }

    void hardwareAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("mac");
        QTest::newRow("colons") << "00:11:22:AA:BB:CC" << bytes({0, 0x11, 0x22, 0xAA, 0xBB, 0xCC});
        QTest::newRow("lower case") << "02:ab:cd:ef:01:9f" << bytes({2, 0xAB, 0xCD, 0xEF, 1, 0x9F});
        QTest::newRow("empty") << "" << QByteArray(6, 0);
        QTest::newRow("bad digit leaves byte")
            << "00:1G:22:33:44:55" << bytes({0, 0, 0x22, 0x33, 0x44, 0x55});
        QTest::newRow("short") << "00:11:22" << bytes({0, 0x11, 0x22, 0, 0, 0});
    }

    void hardwareAddress()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, mac);
        quint8 out[6] = {};
        artnetpacket::parseHardwareAddress(text, out);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 6), mac);
    }

    void e131Golden()
    {
        const QByteArray p = validE131(512, 1);
        QCOMPARE(p.size(), 638);
        // Preamble and post-amble sizes, the packet identifier, root flags 0x7 with length
        // 622, vector E1.31 data, CID 0, framing flags with length 600, vector DMP data.
        QCOMPARE(p.left(44), QByteArray::fromHex("00100000") + QByteArray("ASC-E1.17\0\0\0", 12) +
                                 QByteArray::fromHex("726e00000004") + QByteArray(16, 0) +
                                 QByteArray::fromHex("725800000002"));
        QCOMPARE(p.mid(44, 64), QByteArray("Pultora") + QByteArray(57, 0)); // Source Name
        // Priority 100, synchronization address 0, sequence 1, options, universe 1, DMP
        // flags with length 523, set property, address and data type, first address 0,
        // increment 1, 513 values, START code 0.
        QCOMPARE(p.mid(108, 18).toHex(), "6400000100000172"
                                         "0b02a10000000102"
                                         "0100");
        QCOMPARE(p.mid(126), slotData(512));
    }

    // The three lengths follow the slot count; the universe's high byte.
    void e131Sizes()
    {
        for (int slotCount : {0, 24, 511}) {
            const QByteArray p = validE131(slotCount, 63999);
            QCOMPARE(p.size(), 126 + slotCount);
            const auto be16 = [&p](int o) { return (quint8(p[o]) << 8) | quint8(p[o + 1]); };
            QCOMPARE(be16(16), 0x7000 | (110 + slotCount));
            QCOMPARE(be16(38), 0x7000 | (88 + slotCount));
            QCOMPARE(be16(115), 0x7000 | (11 + slotCount));
            QCOMPARE(be16(113), 63999);
            QCOMPARE(be16(123), slotCount + 1);
        }
    }

    void e131Refused()
    {
        QByteArray data = slotData(600);
        quint8 buf[700];
        QCOMPARE(acnpacket::encodeData(buf, sizeof buf, nullptr, 1, 0, u8(data), 512),
                 -1); // universe 0
        QCOMPARE(acnpacket::encodeData(buf, sizeof buf, nullptr, 1, 64000, u8(data), 512), -1);
        QCOMPARE(acnpacket::encodeData(buf, sizeof buf, nullptr, 1, 1, u8(data), 513), -1);
        QCOMPARE(acnpacket::encodeData(buf, sizeof buf, nullptr, 1, 1, nullptr, 512), -1);
        QCOMPARE(acnpacket::encodeData(buf, 637, nullptr, 1, 1, u8(data), 512), -1);
        QCOMPARE(acnpacket::encodeData(buf, 638, nullptr, 1, 63999, u8(data), 512), 638);
    }
};

QTEST_GUILESS_MAIN(TestNetPackets)
#include "tst_netpackets.moc"
