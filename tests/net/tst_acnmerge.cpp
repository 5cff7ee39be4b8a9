// Sources of a streaming ACN universe merged as a receiver must: each row is
// a script of packets (all on one universe) and what the universe shows
// after the last one.
#include "net/acnmerge.h"

#include <QTest>

namespace
{

using Outcome = AcnMerge::Outcome;

QByteArray levelsOf(const QString &csv)
{
    QByteArray out;
    for (const QString &v : csv.split(',', Qt::SkipEmptyParts))
        out.append(char(v.toInt()));
    return out;
}

// One packet: "<ms> <source letter> <sequence> <priority> [T|P] <levels>".
struct Step {
    qint64 ms = 0;
    quint8 cid[16] = {};
    acnpacket::DataPacket packet;
    QByteArray levels;
};

Step parse(const QString &text)
{
    const QStringList f = text.split(' ', Qt::SkipEmptyParts);
    Step s;
    s.ms = f[0].toLongLong();
    s.cid[0] = quint8(f[1][0].toLatin1());
    s.packet.universe = 7;
    s.packet.sequence = quint8(f[2].toInt());
    s.packet.priority = quint8(f[3].toInt());
    if (f[4] == "T")
        s.packet.options = acnpacket::OPTION_STREAM_TERMINATED;
    else if (f[4] == "P")
        s.packet.options = acnpacket::OPTION_PREVIEW;
    s.levels = levelsOf(f.last());
    return s;
}

Outcome take(AcnMerge &merge, const QString &text)
{
    Step s = parse(text);
    s.packet.cid = s.cid;
    s.packet.values = reinterpret_cast<const quint8 *>(s.levels.constData());
    s.packet.count = int(s.levels.size());
    return merge.take(s.packet, s.ms);
}

QByteArray shown(const AcnMerge &merge)
{
    int count = 0;
    const quint8 *levels = merge.levels(7, &count);
    return levels ? QByteArray(reinterpret_cast<const char *>(levels), count) : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(AcnMerge::Outcome)

class TestAcnMerge : public QObject
{
    Q_OBJECT
private slots:
    void scripts_data();
    void scripts();
    void sourcesAreLimited();
};

void TestAcnMerge::scripts_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Outcome>("last");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<int>("sources");
    QTest::newRow("one source") << QStringList{"0 A 1 100 10,20"} << Outcome::Merged << "10,20"
                                << 1;
    QTest::newRow("higher priority wins")
        << QStringList{"0 A 1 150 10,10", "10 B 1 50 99,99"} << Outcome::Held << "10,10" << 2;
    QTest::newRow("higher priority arrives later")
        << QStringList{"0 B 1 50 99,99", "10 A 1 150 10,10"} << Outcome::Merged << "10,10" << 2;
    QTest::newRow("lower priority held while the higher lives 2.5 s")
        << QStringList{"0 A 1 150 10", "100 B 1 50 99", "2500 B 2 50 98"} << Outcome::Held << "10"
        << 2;
    QTest::newRow("lower priority takes over after 2.5 s")
        << QStringList{"0 A 1 150 10", "100 B 1 50 99", "2501 B 2 50 98"} << Outcome::Merged << "98"
        << 1;
    QTest::newRow("equal priority merged HTP, longest count")
        << QStringList{"0 A 1 100 10,50,0,7", "5 B 1 100 30,20"} << Outcome::Merged << "30,50,0,7"
        << 2;
    QTest::newRow("equal priority: a source lowers its level")
        << QStringList{"0 A 1 100 50,50", "5 B 1 100 20,60", "10 A 2 100 10,50"} << Outcome::Merged
        << "20,60" << 2;
    QTest::newRow("winner lowers its priority")
        << QStringList{"0 A 1 150 10", "5 B 1 100 99", "10 A 2 50 10"} << Outcome::Merged << "99"
        << 2;
    QTest::newRow("priority above 200 counts as 200")
        << QStringList{"0 A 1 255 10", "5 B 1 200 30"} << Outcome::Merged << "30" << 2;
    QTest::newRow("repeated number is late")
        << QStringList{"0 A 5 100 10", "5 A 5 100 99"} << Outcome::Late << "10" << 1;
    QTest::newRow("19 behind is late")
        << QStringList{"0 A 30 100 10", "5 A 11 100 99"} << Outcome::Late << "10" << 1;
    QTest::newRow("20 behind is new")
        << QStringList{"0 A 30 100 10", "5 A 10 100 99"} << Outcome::Merged << "99" << 1;
    QTest::newRow("number wraps 250 -> 3")
        << QStringList{"0 A 250 100 10", "5 A 3 100 99"} << Outcome::Merged << "99" << 1;
    QTest::newRow("late packet of one source, others unaffected")
        << QStringList{"0 A 9 100 10", "5 B 1 100 20", "9 A 8 100 99"} << Outcome::Late << "20"
        << 2;
    QTest::newRow("lost source comes back with any number")
        << QStringList{"0 A 100 100 10", "2600 A 90 100 99"} << Outcome::Merged << "99" << 1;
    QTest::newRow("terminated source leaves at once")
        << QStringList{"0 A 1 150 10", "5 B 1 50 99", "10 A 2 150 T 10"} << Outcome::Merged << "99"
        << 1;
    QTest::newRow("last source terminated: levels hold")
        << QStringList{"0 A 1 100 10", "5 A 2 100 T 0"} << Outcome::Held << "10" << 0;
    QTest::newRow("late Stream_Terminated ignored")
        << QStringList{"0 A 5 100 10", "5 A 4 100 T 0"} << Outcome::Late << "10" << 1;
    QTest::newRow("preview ignored")
        << QStringList{"0 A 1 100 P 99"} << Outcome::Preview << "" << 0;
    QTest::newRow("preview beside live data")
        << QStringList{"0 A 1 100 10", "5 B 1 200 P 99"} << Outcome::Preview << "10" << 1;
}

void TestAcnMerge::scripts()
{
    QFETCH(QStringList, steps);
    QFETCH(Outcome, last);
    QFETCH(QString, levels);
    QFETCH(int, sources);
    AcnMerge merge;
    Outcome outcome = Outcome::Held;
    for (const QString &step : std::as_const(steps))
        outcome = take(merge, step);
    QCOMPARE(outcome, last);
    QCOMPARE(shown(merge), levelsOf(levels));
    QCOMPARE(merge.sourceCount(7), sources);
    QCOMPARE(merge.sourceCount(8), 0);
}

void TestAcnMerge::sourcesAreLimited()
{
    AcnMerge merge;
    for (int i = 0; i < AcnMerge::MAX_SOURCES; ++i)
        QCOMPARE(take(merge, QString("0 %1 1 100 %2").arg(QChar('a' + i)).arg(i)), Outcome::Merged);
    QCOMPARE(take(merge, "5 Z 1 200 200"), Outcome::TooManySources);
    QCOMPARE(shown(merge), levelsOf("15"));
    // Once the others are lost there is room again.
    QCOMPARE(take(merge, "2600 Z 2 200 200"), Outcome::Merged);
    QCOMPARE(merge.sourceCount(7), 1);
}

QTEST_GUILESS_MAIN(TestAcnMerge)
#include "tst_acnmerge.moc"
