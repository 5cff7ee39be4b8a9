// The input editor in its two windows, the control editor and the
// background editor, with the control editor's output editors, whose rows
// and numbers work alike: the rows each shows, how numbers are shown and
// stored, and what switching the protocol to MIDI and back keeps.
#include "dialogs/backgrounddialog.h"
#include "dialogs/dmxineditor.h"
#include "dialogs/settings.h"
#include "model/showdocument.h"
#include "tests/dialogs/dialogtest.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

enum Where { ControlInput, BackgroundInput, ControlOutput, ControlAdvanced };

// What the editors share, as stored: protocol, values 1 and 3, channel (or
// note), universe, and the input's blue of colour 1.
enum Field { PROTOCOL, VALUE_1, VALUE_3, CHANNEL, UNIVERSE, BLUE_1 };
using Address = QList<int>;
const QHash<QString, Field> kFields = {{"value1", VALUE_1},    {"value3", VALUE_3},
                                       {"channel", CHANNEL},   {"note", CHANNEL},
                                       {"universe", UNIVERSE}, {"colorBlue1", BLUE_1}};

Address of(const SettingDmxInStruct &in)
{
    return {in.protocol_type_in, in.dmx_in_value_1,  in.dmx_in_value_3,
            in.dmx_in_channel,   in.dmx_in_universe, in.dmx_in_color_blue_1};
}

Address of(const SettingDmxStruct &out)
{
    return {out.protocol_type, out.dmx_value_1,  out.dmx_value_3,
            out.dmx_channel,   out.dmx_universe, 0};
}

void put(SettingDmxInStruct &in, const Address &a)
{
    in.protocol_type_in = quint8(a[PROTOCOL]);
    in.dmx_in_value_1 = quint8(a[VALUE_1]);
    in.dmx_in_value_3 = quint8(a[VALUE_3]);
    in.dmx_in_channel = quint16(a[CHANNEL]);
    in.dmx_in_universe = quint16(a[UNIVERSE]);
    in.dmx_in_color_blue_1 = quint8(a[BLUE_1]);
}

void put(SettingDmxStruct &out, const Address &a)
{
    out.protocol_type = quint8(a[PROTOCOL]);
    out.dmx_value_1 = quint8(a[VALUE_1]);
    out.dmx_value_3 = quint8(a[VALUE_3]);
    out.dmx_channel = quint16(a[CHANNEL]);
    out.dmx_universe = quint16(a[UNIVERSE]);
}

// The control editor on a control of `type`, or the background editor,
// opened with the editor's address `a`.
class Window
{
public:
    Window(Where where, quint8 type, const Address &a, bool showHex) : m_where(where)
    {
        if (where == BackgroundInput) {
            BackgroundStruct bg = m_document.background();
            put(bg.dmx_in, a);
            m_document.applyBackground(bg);
            m_background.setSettings(&m_document, showHex);
            m_top = &m_background;
            return;
        }
        m_record.id = 1; // an existing control: Apply leaves the window as it is
        m_record.control_type = type;
        put(m_record.dmx_in, a);
        put(m_record.dmx_out, a);
        put(m_record.dmx_out_advanced, a);
        m_control.setSettings(&m_record, showHex);
        m_top = &m_control;
    }
    QWidget *top() const { return m_top; }
    // Inputs are named as outputs are, with "in" in front; null when none.
    QWidget *field(QString name) const
    {
        const char *editors[] = {"dmxIn", nullptr, "dmxOut", "dmxOutAdvanced"};
        const QWidget *editor = m_where == BackgroundInput ? m_top : child(m_top, editors[m_where]);
        if (m_where <= BackgroundInput)
            name = QStringLiteral("in") + name.at(0).toUpper() + name.mid(1);
        return editor->findChild<QWidget *>(name);
    }
    QSpinBox *spin(const QString &name) const { return qobject_cast<QSpinBox *>(field(name)); }
    void choose(quint8 protocol) const
    {
        auto *list = qobject_cast<QComboBox *>(field("protocol"));
        list->setCurrentIndex(list->findData(protocol));
    }
    SettingStruct &record() { return m_record; }
    const BackgroundEdit &background() const { return m_background.edit(); }
    ShowDocument &document() { return m_document; }
    Address stored(bool apply)
    {
        if (apply)
            child<QPushButton>(m_top, "apply")->click();
        if (m_where == BackgroundInput)
            return of(apply ? m_document.background().dmx_in
                            : m_background.edit().working().dmx_in);
        const SettingStruct &r = apply ? m_record : m_control.workingRecord();
        return m_where == ControlInput
                   ? of(r.dmx_in)
                   : of(m_where == ControlOutput ? r.dmx_out : r.dmx_out_advanced);
    }

private:
    Where m_where;
    SettingStruct m_record;
    ShowDocument m_document;
    Settings m_control{SettingsServices{{}, {}, {}, {}, [this](const QString &) { ++refused; }}};
    SettingsBackground m_background;
    QWidget *m_top = nullptr;

public:
    int refused = 0; // applies the control editor refused
};

// The row label (column 0), or the hexadecimal companion, beside `field`.
QLabel *beside(QWidget *field, bool hex)
{
    auto *grid = qobject_cast<QGridLayout *>(field->parentWidget()->layout());
    int row, column, rows, columns;
    grid->getItemPosition(grid->indexOf(field), &row, &column, &rows, &columns);
    for (int c = 0; c < grid->columnCount(); ++c) {
        QLayoutItem *item = grid->itemAtPosition(row, c);
        auto *label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr;
        if (label && (c != 0) == hex)
            return label;
    }
    return nullptr;
}

} // namespace

class TestDmxInEditor : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("showHex");
        QTest::addColumn<QString>("shown");
        const int in = ControlInput, bg = BackgroundInput, out = ControlOutput,
                  adv = ControlAdvanced;
        const QString all = "v1 v2 v3 c1 c2 c3 fade uni";
        QTest::newRow("button, Art-Net, hex") << in << 0 << 1 << true << all + " ch hex";
        QTest::newRow("switch, MIDI") << in << 1 << 3 << false << all + " note midi";
        QTest::newRow("direct value, sACN") << in << 2 << 2 << false << "v1 v2 c1 c2 fade uni ch";
        QTest::newRow("fader, MIDI, hex") << in << 3 << 3 << true << "v1 v2 uni note midi hex";
        QTest::newRow("encoder: no input") << in << 12 << 1 << true << "hidden";
        QTest::newRow("button, none, hex") << in << 0 << 0 << true << "";
        QTest::newRow("HTTP is no input") << in << 0 << 4 << false << "";
        QTest::newRow("background, MIDI, hex") << bg << 0 << 3 << true << all + " note midi hex";
        QTest::newRow("out: button, sACN, hex") << out << 0 << 2 << true << "v1 v2 uni ch hex";
        QTest::newRow("out: button, MIDI") << out << 1 << 3 << false << "v1 v2 uni note midi";
        QTest::newRow("out: fader, HTTP") << out << 3 << 4 << false << "v1 v2 http";
        QTest::newRow("out: knob, command") << out << 11 << 5 << false << "v1 v2 cmd";
        QTest::newRow("out: encoder switch, MIDI, hex")
            << out << 14 << 3 << true << "v1 v2 v3 uni note midi hex";
        QTest::newRow("out: unknown protocol") << out << 0 << int(PT_COUNT) << false << "";
        QTest::newRow("out: button, OSC") << out << 0 << 6 << false << "v1 v2 osc";
        QTest::newRow("fader, OSC") << in << 3 << 6 << false << "v1 v2 osc";
        QTest::newRow("background, OSC") << bg << 0 << 6 << false << "v1 v2 v3 c1 c2 c3 fade osc";
        QTest::newRow("out: led") << out << 16 << 1 << false << "hidden";
        QTest::newRow("centre, Art-Net") << adv << 5 << 1 << false << "v1 uni ch";
        QTest::newRow("no second output") << adv << 0 << 1 << false << "hidden";
    }

    void rows()
    {
        QFETCH(int, where);
        QFETCH(int, type);
        QFETCH(int, protocol);
        QFETCH(bool, showHex);
        QFETCH(QString, shown);
        const Window w(Where(where), quint8(type), {protocol, 0, 0, 0, 0, 0}, showHex);
        const std::pair<const char *, const char *> rows[] = {
            {"v1", "value1"},    {"v2", "value2"},     {"v3", "value3"},     {"c1", "colorRed1"},
            {"c2", "colorRed2"}, {"c3", "colorRed3"},  {"fade", "fade"},     {"uni", "universe"},
            {"ch", "channel"},   {"note", "note"},     {"midi", "midiType"}, {"http", "http"},
            {"cmd", "command"},  {"osc", "oscAddress"}};
        QStringList seen;
        if (!w.field("protocol")->isVisibleTo(w.top()))
            seen << "hidden";
        for (const auto &[row, name] : rows) {
            if (w.field(name) && w.field(name)->isVisibleTo(w.top()))
                seen << row;
        }
        if (beside(w.field("universe"), true)->isVisibleTo(w.top()))
            seen << "hex";
        QCOMPARE(seen.join(' '), shown);
        QCOMPARE(beside(w.field("universe"), false)->text(),
                 protocol == PT_MIDI ? "MIDI Channel :" : "DMX Universe :");
    }

    void fieldsAsStored_data()
    {
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("field");
        // Stored, shown as opened, typed, stored then.
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QString>("hex");
        const int in = ControlInput, bg = BackgroundInput, out = ControlOutput;
        QTest::newRow("DMX channel from 1")
            << in << 1 << "channel" << QList<int>{0, 1, 6, 5} << "0x06";
        QTest::newRow("note as stored")
            << in << 3 << "note" << QList<int>{60, 60, 64, 64} << "0x40";
        QTest::newRow("a colour") << in << 2 << "colorBlue1" << QList<int>{0, 0, 128, 128}
                                  << "0xff 00 80";
        QTest::newRow("background: universe from 1")
            << bg << 1 << "universe" << QList<int>{3, 4, 1, 0} << "0x01";
        QTest::newRow("background: MIDI channel from 1")
            << bg << 3 << "universe" << QList<int>{9, 10, 16, 15} << "0x10";
        QTest::newRow("background: value")
            << bg << 2 << "value3" << QList<int>{255, 255, 200, 200} << "0xc8";
        QTest::newRow("out: last DMX channel")
            << out << 2 << "channel" << QList<int>{511, 512, 100, 99} << "0x64";
        QTest::newRow("out: last universe")
            << out << 1 << "universe" << QList<int>{65534, 65535, 8, 7} << "0x08";
    }

    void fieldsAsStored()
    {
        QFETCH(int, where);
        QFETCH(int, protocol);
        QFETCH(QString, field);
        QFETCH(QList<int>, numbers);
        QFETCH(QString, hex);
        Address address{protocol, 0, 0, 0, 0, 0};
        address[kFields.value(field)] = numbers[0];
        Window w(Where(where), CT_BUTTON_PUSH, address, true);
        QSpinBox *box = w.spin(field);
        QCOMPARE(box->value(), numbers[1]);
        box->setValue(numbers[2]);
        const int after = address[kFields.value(field)] = numbers[3];
        QCOMPARE(w.stored(false), address);
        QCOMPARE(beside(box, true)->text(), hex);
        // The note and the DMX channel show one field.
        if (field == "channel")
            QCOMPARE(w.spin("note")->value(), after);
        if (field == "note")
            QCOMPARE(w.spin("channel")->value(), after + 1);
    }

    void midiAndBack_data()
    {
        QTest::addColumn<int>("where");
        QTest::newRow("control editor's input") << int(ControlInput);
        QTest::newRow("background's input") << int(BackgroundInput);
        QTest::newRow("control editor's output") << int(ControlOutput);
        QTest::newRow("second output") << int(ControlAdvanced);
    }

    // MIDI shows typed values within its ranges and keeps them, so that another
    // protocol shows them again; applied under MIDI they are narrowed for good.
    // The control's other editors stay at Art-Net: each is narrowed by its own
    // protocol.
    void midiAndBack()
    {
        QFETCH(int, where);
        Window w(Where(where), CT_FADER_VERTICAL_MIDDLE, {PT_ARTNET, 200, 250, 300, 39, 0}, false);
        auto shown = [&w](const char *channel) {
            return QList<int>{w.spin("value1")->value(), w.spin("value3")->value(),
                              w.spin(channel)->value(), w.spin("universe")->value()};
        };
        QCOMPARE(w.stored(true), (Address{PT_ARTNET, 200, 250, 300, 39, 0}));
        w.choose(PT_MIDI);
        QCOMPARE(shown("note"), (QList<int>{127, 127, 127, 16}));
        QCOMPARE(w.stored(false), (Address{PT_MIDI, 200, 250, 300, 39, 0}));
        w.choose(PT_ARTNET);
        QCOMPARE(shown("channel"), (QList<int>{200, 250, 301, 40}));

        w.choose(PT_MIDI);
        QCOMPARE(w.stored(true), (Address{PT_MIDI, 127, 127, 127, 15, 0}));
        w.choose(PT_ARTNET);
        QCOMPARE(shown("channel"), (QList<int>{127, 127, 128, 16}));
        QCOMPARE(w.stored(true), (Address{PT_ARTNET, 127, 127, 127, 15, 0}));
    }

    void oscAndBack_data() { midiAndBack_data(); }

    // The OSC address (and an output's target and argument) is shown and
    // stored as typed, kept while another protocol is chosen and back; an
    // address that is not valid is refused on apply and nothing is written.
    void oscAndBack()
    {
        QFETCH(int, where);
        const bool output = where >= ControlOutput;
        Window w(Where(where), CT_FADER_VERTICAL_MIDDLE, {PT_ARTNET, 0, 0, 0, 3, 0}, false);
        w.choose(PT_OSC);
        auto *address = qobject_cast<QLineEdit *>(w.field("oscAddress"));
        address->setText("/fader/1");
        if (output) {
            qobject_cast<QLineEdit *>(w.field("oscHost"))->setText("desk");
            w.spin("oscPort")->setValue(8000);
            select(w.field("oscArgument")->parentWidget(), "oscArgument", OSC_INT);
        }
        w.choose(PT_ARTNET);
        QVERIFY(!address->isVisibleTo(w.top()));
        QCOMPARE(w.spin("universe")->value(), 4);
        w.choose(PT_OSC);
        QCOMPARE(address->text(), "/fader/1");
        w.stored(true);
        const SettingDmxStruct &out =
            where == ControlOutput ? w.record().dmx_out : w.record().dmx_out_advanced;
        if (output)
            QCOMPARE(
                (std::tuple{out.osc_address, out.osc_host, out.osc_port, out.osc_argument}),
                (std::tuple{QString("/fader/1"), QString("desk"), quint16(8000), quint8(OSC_INT)}));
        else if (where == ControlInput)
            QCOMPARE(w.record().dmx_in.dmx_in_osc_address, "/fader/1");
        else
            QCOMPARE(w.document().background().dmx_in.dmx_in_osc_address, "/fader/1");

        address->setText("/fader 1");
        if (where == BackgroundInput) {
            QVERIFY(w.background().refusal().contains("/fader 1"));
            return;
        }
        const SettingStruct before = w.record();
        w.stored(true);
        QCOMPARE(w.refused, 1);
        QVERIFY(w.record().sameContent(before));
        // Left behind under another protocol, it is no reason to refuse.
        w.choose(PT_ARTNET);
        QCOMPARE(w.stored(true).at(PROTOCOL), int(PT_ARTNET));
        QCOMPARE(w.refused, 1);
    }
};

QTEST_MAIN(TestDmxInEditor)
#include "tst_dmxineditor.moc"
