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
    using O = Outcome;
    const auto row = [](const char *name, const QStringList &steps, Outcome last,
                        const char *levels, int sources) {
        QTest::newRow(name) << steps << last << QString(levels) << sources;
    };
    row("one source", {"0 A 1 100 10,20"}, O::Merged, "10,20", 1);
    row("one source, fewer slots", {"0 A 1 100 10,20,30", "5 A 2 100 40"}, O::Merged, "40", 1);
    row("higher priority wins", {"0 A 1 150 10,10", "10 B 1 50 99,99"}, O::Held, "10,10", 2);
    row("higher priority arrives later", {"0 B 1 50 99,99", "10 A 1 150 10,10"}, O::Merged, "10,10",
        2);
    row("lower priority held while the higher lives 2.5 s",
        {"0 A 1 150 10", "100 B 1 50 99", "2500 B 2 50 98"}, O::Held, "10", 2);
    row("lower priority takes over after 2.5 s",
        {"0 A 1 150 10", "100 B 1 50 99", "2501 B 2 50 98"}, O::Merged, "98", 1);
    row("equal priority merged HTP, longest count", {"0 A 1 100 10,50,0,7", "5 B 1 100 30,20"},
        O::Merged, "30,50,0,7", 2);
    row("equal priority: a source lowers its level",
        {"0 A 1 100 50,50", "5 B 1 100 20,60", "10 A 2 100 10,50"}, O::Merged, "20,60", 2);
    row("winner lowers its priority", {"0 A 1 150 10", "5 B 1 100 99", "10 A 2 50 10"}, O::Merged,
        "99", 2);
    row("priority above 200 counts as 200", {"0 A 1 255 10", "5 B 1 200 30"}, O::Merged, "30", 2);
    row("repeated number is late", {"0 A 5 100 10", "5 A 5 100 99"}, O::Late, "10", 1);
    row("19 behind is late", {"0 A 30 100 10", "5 A 11 100 99"}, O::Late, "10", 1);
    row("20 behind is new", {"0 A 30 100 10", "5 A 10 100 99"}, O::Merged, "99", 1);
    row("number wraps 250 -> 3", {"0 A 250 100 10", "5 A 3 100 99"}, O::Merged, "99", 1);
    row("250 after 3: before the wrap", {"0 A 3 100 10", "5 A 250 100 99"}, O::Late, "10", 1);
    row("late packet of one source, others unaffected",
        {"0 A 9 100 10", "5 B 1 100 20", "9 A 8 100 99"}, O::Late, "20", 2);
    row("lost source comes back with any number", {"0 A 100 100 10", "2600 A 90 100 99"}, O::Merged,
        "99", 1);
    row("terminated source leaves at once", {"0 A 1 150 10", "5 B 1 50 99", "10 A 2 150 T 10"},
        O::Merged, "99", 1);
    row("last source terminated: levels hold", {"0 A 1 100 10", "5 A 2 100 T 0"}, O::Held, "10", 0);
    row("late Stream_Terminated ignored", {"0 A 5 100 10", "5 A 4 100 T 0"}, O::Late, "10", 1);
    row("preview ignored", {"0 A 1 100 P 99"}, O::Preview, "", 0);
    row("preview beside live data", {"0 A 1 100 10", "5 B 1 200 P 99"}, O::Preview, "10", 1);
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
