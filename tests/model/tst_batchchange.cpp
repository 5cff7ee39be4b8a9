// Batch arithmetic of the overview: per column kind, limits, columns counted
// from 1, colours, texts, protocol names; Increment over several records;
// shifting a selection.
#include "model/batchchange.h"
#include "model/showcommands.h"
#include "model/showdocument.h"
#include "model/typetables.h"

#include <QtTest>

namespace
{

SettingStruct control(quint8 protocol)
{
    SettingStruct r;
    r.control_type = CT_FADER_VERTICAL;
    r.dmx_out.protocol_type = protocol;
    r.dmx_out_advanced.protocol_type = protocol;
    r.dmx_in.protocol_type_in = isInputProtocol(protocol) ? protocol : quint8(PT_NONE);
    return r;
}

// Puts `value` into the column through a Set of the number the user types.
bool store(SettingStruct &r, int col, qint64 value)
{
    NumberRange range;
    IncrementState state;
    return numberRange(r, col, range) &&
           applyBatchChange(r, col, BA_SET, QString::number(value + (range.oneBased ? 1 : 0)),
                            state)
               .isEmpty();
}

} // namespace

class TestBatchChange : public QObject
{
    Q_OBJECT
private slots:
    void number_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("action");
        QTest::addColumn<qint64>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("stored"); // -1: refused, unchanged
        const auto row = [](const char *name, int protocol, int col, int action, qint64 before,
                            const char *text, qint64 stored) {
            QTest::newRow(name) << protocol << col << action << before << QString(text) << stored;
        };
        row("universe from 1", PT_ARTNET, column::UNIVERSE, BA_SET, 0, "5", 4);
        row("set 0 gives the lowest", PT_ARTNET, column::UNIVERSE, BA_SET, 7, "0", 0);
        row("channel top", PT_ACN, column::CHANNEL, BA_SET, 0, "600", 511);
        row("channel set 0", PT_ACN, column::CHANNEL_IN, BA_SET, 3, "0", 0);
        row("midi channel", PT_MIDI, column::UNIVERSE, BA_SET, 0, "17", 15);
        row("note top", PT_MIDI, column::NOTE_IN, BA_ADD, 100, "100", 127);
        row("no channel for midi", PT_MIDI, column::CHANNEL, BA_SET, 60, "5", -1);
        row("no note for art-net", PT_ARTNET, column::NOTE, BA_SET, 5, "5", -1);
        row("no universe for http", PT_HTTP, column::UNIVERSE, BA_SET, 0, "5", -1);
        row("value add", PT_ARTNET, column::VALUE_2, BA_ADD, 250, "10", 255);
        row("value sub", PT_ARTNET, column::VALUE_1, BA_SUB, 5, "10", 0);
        row("midi value", PT_MIDI, column::VALUE_1_ADV, BA_SET, 0, "200", 127);
        row("first number in text", PT_ARTNET, column::VALUE_3, BA_SET, 0, "x12y3", 12);
        row("no number", PT_ARTNET, column::VALUE_1, BA_SET, 9, "abc", -1);
        row("position top", PT_NONE, column::POSITION_X, BA_ADD, 4294967290, "10", 4294967295);
        row("huge number", PT_NONE, column::SIZE_Y, BA_SET, 5, "99999999999999999999", 4294967295);
        row("type column", PT_NONE, column::TYPE, BA_SET, 0, "1", -1);
        row("OSC port top", PT_OSC, column::OSC_PORT, BA_ADD, 65000, "1000", 65535);
        row("no OSC port for Art-Net", PT_ARTNET, column::OSC_PORT, BA_SET, 0, "1", -1);
        row("no second OSC port without a second output", PT_OSC, column::OSC_PORT_ADV, BA_SET, 0,
            "1", -1);
    }

    void number()
    {
        QFETCH(int, protocol);
        QFETCH(int, column);
        QFETCH(int, action);
        QFETCH(qint64, before);
        QFETCH(QString, text);
        QFETCH(qint64, stored);
        SettingStruct r = control(quint8(protocol));
        store(r, column, before); // where the column has a number
        const SettingStruct original = r;
        IncrementState state;
        const QString refusal = applyBatchChange(r, column, action, text, state);
        if (stored < 0) {
            QVERIFY(!refusal.isEmpty());
            QVERIFY(r.sameContent(original));
            QVERIFY(state.first);
            return;
        }
        QCOMPARE(refusal, QString());
        QCOMPARE(numberValue(r, column), stored);
    }

    void increment_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("first"); // stored value of the first record
        QTest::addColumn<QString>("step");
        QTest::addColumn<QList<qint64>>("stored");
        const auto row = [](const char *name, int col, int first, const char *step,
                            const QList<qint64> &stored) {
            QTest::newRow(name) << col << first << QString(step) << stored;
        };
        row("channels 10, 11, 12", column::CHANNEL, 9, "1", {9, 10, 11});
        row("8 bits wrap before 255", column::VALUE_1, 250, "5", {250, 0, 5});
        row("positions by 60", column::POSITION_Y, 10, "60", {10, 70, 130, 190});
    }

    void increment()
    {
        QFETCH(int, column);
        QFETCH(int, first);
        QFETCH(QString, step);
        QFETCH(QList<qint64>, stored);
        IncrementState state;
        for (int i = 0; i < stored.size(); ++i) {
            SettingStruct r = control(PT_ARTNET);
            QVERIFY(store(r, column, first));
            QCOMPARE(applyBatchChange(r, column, BA_INC, step, state), QString());
            QCOMPARE(numberValue(r, column), stored.at(i));
        }
    }

    void colour_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("rgb"); // empty: refused
        // The record starts at 100, 150, 250.
        QTest::newRow("grey") << int(BA_SET) << "255" << QList<int>{255, 255, 255};
        QTest::newRow("red") << int(BA_SET) << "255, 0" << QList<int>{255, 0, 0};
        QTest::newRow("empty first part") << int(BA_SET) << ",5" << QList<int>{0, 5, 5};
        QTest::newRow("three of four") << int(BA_SET) << "1,2,3,4" << QList<int>{1, 2, 3};
        QTest::newRow("above a byte") << int(BA_SET) << "300,-4,7" << QList<int>{255, 0, 7};
        QTest::newRow("add") << int(BA_ADD) << "10" << QList<int>{110, 160, 255};
        QTest::newRow("subtract") << int(BA_SUB) << "120, 0, 10" << QList<int>{0, 150, 240};
        QTest::newRow("a name") << int(BA_SET) << "red" << QList<int>{};
        QTest::newRow("nothing") << int(BA_SET) << " " << QList<int>{};
    }

    void colour()
    {
        QFETCH(int, action);
        QFETCH(QString, text);
        QFETCH(QList<int>, rgb);
        for (const int col : {int(column::COLOR), int(column::COLOR_2_IN)}) {
            SettingStruct r = control(PT_NONE);
            IncrementState state;
            QVERIFY(applyBatchChange(r, col, BA_SET, "100,150,250", state).isEmpty());
            const QString refusal = applyBatchChange(r, col, action, text, state);
            const QList<int> got =
                col == column::COLOR
                    ? QList<int>{r.color_red, r.color_green, r.color_blue}
                    : QList<int>{r.dmx_in.dmx_in_color_red_2, r.dmx_in.dmx_in_color_green_2,
                                 r.dmx_in.dmx_in_color_blue_2};
            if (rgb.isEmpty()) {
                QVERIFY(!refusal.isEmpty());
                QCOMPARE(got, (QList<int>{100, 150, 250}));
            } else {
                QCOMPARE(refusal, QString());
                QCOMPARE(got, rgb);
            }
        }
    }

    void text_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const char *name, int action, const char *text,
                            const QStringList &before, const QStringList &after) {
            QTest::newRow(name) << action << QString(text) << before << after;
        };
        row("set", BA_SET, "Dimmer", {"a", "b"}, {"Dimmer", "Dimmer"});
        row("add", BA_ADD, " L", {"a", ""}, {"a L", " L"});
        row("subtract, case kept", BA_SUB, "ab", {"abcAbab", "x"}, {"cAb", "x"});
        row("increment numbers", BA_INC, "1", {"Fader 7", "Fader 1", "", "Spot 9 of 9"},
            {"Fader 7", "Fader 8", "9", "Spot 10 of 10"});
    }

    void text()
    {
        QFETCH(int, action);
        QFETCH(QString, text);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        IncrementState state;
        for (int i = 0; i < before.size(); ++i) {
            SettingStruct r = control(PT_NONE);
            r.description = before.at(i);
            QCOMPARE(applyBatchChange(r, column::DESCRIPTION, action, text, state), QString());
            QCOMPARE(r.description, after.at(i));
        }
    }

    void protocol_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("protocol"); // -1: refused
        const auto row = [](const char *name, int col, const char *text, int protocol,
                            int action = BA_SET) {
            QTest::newRow(name) << col << action << QString(text) << protocol;
        };
        row("any case, blanks", column::PROTOCOL_ADV, " art-NET ", PT_ARTNET);
        row("sACN", column::PROTOCOL, "sACN", PT_ACN);
        row("streaming ACN", column::PROTOCOL_IN, "Streaming ACN", PT_ACN);
        row("midi", column::PROTOCOL, "midi", PT_MIDI);
        row("midi, second output", column::PROTOCOL_ADV, "MIDI", PT_MIDI);
        row("midi, input", column::PROTOCOL_IN, "Midi", PT_MIDI);
        row("osc, input", column::PROTOCOL_IN, "OSC", PT_OSC);
        row("dash", column::PROTOCOL_IN, "-", PT_NONE);
        row("no protocol is no name", column::PROTOCOL, "no protocol", -1);
        row("a part", column::PROTOCOL, "Art", -1);
        row("empty", column::PROTOCOL, "", -1);
        row("input hears no http", column::PROTOCOL_IN, "HTTP", -1);
        row("only set", column::PROTOCOL, "MIDI", -1, BA_ADD);
    }

    void protocol()
    {
        QFETCH(int, column);
        QFETCH(int, action);
        QFETCH(QString, text);
        QFETCH(int, protocol);
        SettingStruct r = control(PT_ACN);
        r.dmx_out_advanced.protocol_type = PT_ACN;
        r.dmx_out.dmx_value_2 = r.dmx_out.dmx_value_3 = r.dmx_out_advanced.dmx_value_2 = 255;
        r.dmx_in.dmx_in_value_2 = r.dmx_in.dmx_in_value_3 = 255;
        const SettingStruct original = r;
        IncrementState state;
        const QString refusal = applyBatchChange(r, column, action, text, state);
        const quint8 now = column == column::PROTOCOL       ? r.dmx_out.protocol_type
                           : column == column::PROTOCOL_ADV ? r.dmx_out_advanced.protocol_type
                                                            : r.dmx_in.protocol_type_in;
        if (protocol < 0) {
            QVERIFY(!refusal.isEmpty());
            QVERIFY(r.sameContent(original));
            return;
        }
        QCOMPARE(refusal, QString());
        QCOMPARE(int(now), protocol);
        // A MIDI output or input holds MIDI values.
        const QList<int> values =
            column == column::PROTOCOL ? QList<int>{r.dmx_out.dmx_value_2, r.dmx_out.dmx_value_3}
            : column == column::PROTOCOL_ADV
                ? QList<int>{r.dmx_out_advanced.dmx_value_2}
                : QList<int>{r.dmx_in.dmx_in_value_2, r.dmx_in.dmx_in_value_3};
        if (protocol == PT_MIDI)
            QCOMPARE(values, QList<int>(values.size(), 127));
    }

    // A selection of two OSC centre faders and an Art-Net fader that keeps
    // OSC fields it does not use: the cells after the change.
    void oscCells_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("refused");
        const auto row = [](const char *name, int col, int action, const char *text,
                            const QStringList &cells, int refused) {
            QTest::newRow(name) << col << action << QString(text) << cells << refused;
        };
        row("set host", column::OSC_HOST, BA_SET, "10.0.0.2", {"10.0.0.2", "10.0.0.2", ""}, 1);
        row("set second port, 0 the default", column::OSC_PORT_ADV, BA_SET, "0", {"0", "0", ""}, 1);
        row("address without '/'", column::OSC_ADDRESS, BA_SET, "a/b", {"/a", "/b", ""}, 3);
        row("subtracting the '/'", column::OSC_ADDRESS_ADV, BA_SUB, "/", {"/a_", "/b_", ""}, 3);
        row("argument", column::OSC_ARGUMENT, BA_SET, " INT ", {"int", "int", ""}, 1);
        row("no such argument", column::OSC_ARGUMENT_ADV, BA_SET, "double", {"float", "float", ""},
            3);
        row("input address", column::OSC_ADDRESS_IN, BA_SET, "/in/1", {"/in/1", "/in/1", ""}, 1);
        row("a pattern is no address", column::OSC_ADDRESS_IN, BA_SET, "/in/*", {"", "", ""}, 3);
    }

    void oscCells()
    {
        QFETCH(int, column);
        QFETCH(int, action);
        QFETCH(QString, text);
        QFETCH(QStringList, cells);
        QFETCH(int, refused);
        QList<SettingStruct> records;
        for (const char *name : {"a", "b"}) {
            SettingStruct r = control(PT_OSC);
            r.control_type = CT_FADER_VERTICAL_MIDDLE;
            r.dmx_out.osc_address = QStringLiteral("/%1").arg(name);
            r.dmx_out_advanced.osc_address = QStringLiteral("/%1_").arg(name);
            records << r;
        }
        records[1].dmx_out.osc_port = 1;
        records << control(PT_ARTNET);
        records[2].dmx_out.osc_host = records[2].dmx_in.dmx_in_osc_address = "/hidden";
        IncrementState state;
        QStringList got;
        for (SettingStruct &r : records) {
            const SettingStruct before = r;
            const bool refusedHere = !applyBatchChange(r, column, action, text, state).isEmpty();
            refused -= refusedHere;
            if (refusedHere)
                QVERIFY(r.sameContent(before));
            got << oscCellText(r, column);
        }
        QCOMPARE(got, cells);
        QCOMPARE(refused, 0);
    }

    void fadeSwitch()
    {
        SettingStruct r = control(PT_NONE);
        IncrementState state;
        for (const int fade : {1, 0}) {
            QVERIFY(
                applyBatchChange(r, column::FADE, BA_SET, QString::number(fade), state).isEmpty());
            QCOMPARE(int(r.dmx_in.dmx_in_color_fade), fade);
        }
    }

    void batchRunCollectsPerRecord()
    {
        ShowDocument document;
        document.push(
            new AddControls(document, {control(PT_ARTNET), control(PT_ARTNET)}, -1, "add"));
        const QList<quint32> ids = document.ids();
        BatchRun run(document);
        QCOMPARE(run.change(ids.at(1), column::VALUE_1, BA_SET, "7"), QString());
        QCOMPARE(run.change(ids.at(1), column::NAME, BA_SET, "B"), QString());
        QCOMPARE(run.change(ids.at(0), column::VALUE_1, BA_SET, "8"), QString());
        QVERIFY(!run.change(999, column::VALUE_1, BA_SET, "8").isEmpty());
        QVERIFY(!run.change(ids.at(0), column::NOTE, BA_SET, "8").isEmpty());
        const QList<SettingStruct> records = run.records();
        QCOMPARE(records.size(), 2);
        QCOMPARE(std::make_tuple(records.at(0).id, int(records.at(0).dmx_out.dmx_value_1),
                                 records.at(0).name, int(records.at(1).dmx_out.dmx_value_1)),
                 std::make_tuple(ids.at(1), 7, QStringLiteral("B"), 8));
        QCOMPARE(std::make_pair(run.changedCells(), run.refusedCells()), std::make_pair(3, 2));
        QCOMPARE(run.columns(), (QList<int>{column::VALUE_1, column::NAME}));
        // The document is untouched until the caller pushes the records.
        QCOMPARE(int(document.controls().at(1).dmx_out.dmx_value_1), 0);
    }

    void shift_data()
    {
        QTest::addColumn<QList<quint32>>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QList<quint32>>("order");
        QTest::newRow("two up") << QList<quint32>{4, 2} << true << QList<quint32>{2, 1, 4, 3, 5};
        QTest::newRow("block at the top stays")
            << QList<quint32>{1, 2, 4} << true << QList<quint32>{1, 2, 4, 3, 5};
        QTest::newRow("two down") << QList<quint32>{3, 1} << false << QList<quint32>{2, 1, 4, 3, 5};
        QTest::newRow("block at the bottom stays")
            << QList<quint32>{5, 4, 2} << false << QList<quint32>{1, 3, 2, 4, 5};
        QTest::newRow("neighbours move together")
            << QList<quint32>{3, 4} << true << QList<quint32>{1, 3, 4, 2, 5};
    }

    void shift()
    {
        QFETCH(QList<quint32>, selected);
        QFETCH(bool, up);
        QFETCH(QList<quint32>, order);
        QCOMPARE(shiftOrder({1, 2, 3, 4, 5}, QSet<quint32>(selected.cbegin(), selected.cend()), up),
                 order);
    }
};

QTEST_GUILESS_MAIN(TestBatchChange)
#include "tst_batchchange.moc"
