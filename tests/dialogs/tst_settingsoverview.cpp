// The controls overview on a show document: a batch and its single Undo,
// shifting a multi-row selection, the table following edits made
// elsewhere, MIDI cells, refusals, the filter.
#include "dialogs/overviewmodel.h"
#include "dialogs/settingsoverview.h"
#include "model/batchchange.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace
{

QList<SettingStruct> faders(int count, quint8 protocol = PT_ARTNET)
{
    QList<SettingStruct> list;
    for (int i = 0; i < count; ++i) {
        SettingStruct r;
        r.control_type = CT_FADER_VERTICAL;
        r.name = QStringLiteral("Fader %1").arg(i + 1);
        r.dmx_out.protocol_type = protocol;
        r.dmx_out.dmx_channel = quint16(i * 7 % 50);
        r.dmx_out.dmx_universe = quint16(i % 3);
        list.append(r);
    }
    return list;
}

void fill(ShowDocument &document, const QList<SettingStruct> &records)
{
    document.push(new AddControls(document, records, -1, QStringLiteral("Add")));
    document.undoStack().clear();
}

// Selects the cells of these rows (table rows) in one column type.
void select(SettingsOverview &overview, const QList<int> &rows, int columnType)
{
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex cell =
            overview.view()->model()->index(row, column::positionOf(columnType));
        selection.select(cell, cell);
    }
    overview.view()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QString cell(SettingsOverview &overview, int row, int columnType)
{
    return overview.view()->model()->index(row, column::positionOf(columnType)).data().toString();
}

} // namespace

class TestSettingsOverview : public QObject
{
    Q_OBJECT
private slots:
    void batchIsOneUndoStep()
    {
        ShowDocument document;
        fill(document, faders(48));
        const ShowContent before = document.content();
        SettingsOverview overview(document);
        QList<int> rows;
        for (int i = 0; i < 48; ++i)
            rows.append(i);
        select(overview, rows, column::CHANNEL);
        // The first row's channel is 1, so Increment numbers 1..48.
        overview.valueField()->setText(QStringLiteral("1"));
        QCOMPARE(overview.applyToSelection(BA_INC), 48);
        QCOMPARE(document.undoStack().count(), 1);
        QCOMPARE(document.undoStack().undoText(),
                 QStringLiteral("Increment Channel on 48 controls"));
        for (int i : {0, 1, 47})
            QCOMPARE(cell(overview, i, column::CHANNEL), QString::number(i + 1));
        document.undoStack().undo();
        for (int i = 0; i < 48; ++i)
            QVERIFY(document.controls().at(i).sameContent(before.controls.at(i)));
    }

    void shiftMovesSelectionAlong()
    {
        ShowDocument document;
        fill(document, faders(5));
        const QList<quint32> ids = document.ids();
        SettingsOverview overview(document);
        // Rows 2 and 4, two cells in row 4: each row moves once, in table order.
        QItemSelection selection;
        QAbstractItemModel *table = overview.view()->model();
        for (const auto &[row, type] :
             QList<QPair<int, int>>{{3, column::NAME}, {1, column::NAME}, {3, column::VALUE_1}}) {
            const QModelIndex index = table->index(row, column::positionOf(type));
            selection.select(index, index);
        }
        overview.view()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        overview.slotControlShiftUp();
        QCOMPARE(document.ids(), (QList<quint32>{ids[1], ids[0], ids[3], ids[2], ids[4]}));
        QCOMPARE(overview.selectedIds(), (QList<quint32>{ids[1], ids[3]}));
        overview.slotControlShiftUp(); // ids[1] is at the top: only ids[3] moves
        QCOMPARE(document.ids(), (QList<quint32>{ids[1], ids[3], ids[0], ids[2], ids[4]}));
        QCOMPARE(overview.selectedIds(), (QList<quint32>{ids[1], ids[3]}));
        QCOMPARE(document.undoStack().undoText(), QStringLiteral("Shift 2 Controls Up"));
        overview.slotControlShiftDown();
        QCOMPARE(document.ids(), (QList<quint32>{ids[0], ids[1], ids[3], ids[2], ids[4]}));
    }

    void followsTheDocument()
    {
        ShowDocument document;
        fill(document, faders(3));
        SettingsOverview overview(document);
        auto *count = overview.findChild<QLabel *>("count");
        QCOMPARE(count->text(), QStringLiteral("3 Controls"));
        // An edit made in the control editor is a ChangeControls on the document.
        SettingStruct edited = document.controls().at(1);
        edited.name = QStringLiteral("Spot");
        edited.dmx_out.dmx_universe = 9;
        document.push(new ChangeControls(document, {edited}, "Edit Control"));
        QCOMPARE(cell(overview, 1, column::NAME), QStringLiteral("Spot"));
        QCOMPARE(cell(overview, 1, column::UNIVERSE), QStringLiteral("10"));
        document.push(new RemoveControls(document, {document.ids().at(0)}, "Delete"));
        QCOMPARE(overview.view()->model()->rowCount(), 2);
        QCOMPARE(cell(overview, 0, column::NAME), QStringLiteral("Spot"));
        QCOMPARE(count->text(), QStringLiteral("2 Controls"));
        document.undoStack().undo();
        QCOMPARE(cell(overview, 1, column::NAME), QStringLiteral("Spot"));
        document.push(new ReplaceShow(document, ShowContent(), "New"));
        QCOMPARE(overview.view()->model()->rowCount(), 0);
        QCOMPARE(count->text(), QString());
    }

    void midiCellsEachInTheirColumn()
    {
        ShowDocument document;
        QList<SettingStruct> records = faders(1, PT_MIDI);
        records[0].dmx_out.dmx_channel = 60;
        records[0].dmx_out.dmx_universe = 2;
        records[0].dmx_out.dmx_midi_type = MT_NOTE_ON;
        fill(document, records);
        SettingsOverview overview(document);
        QAbstractItemModel *table = overview.view()->model();
        const QModelIndex note = table->index(0, column::positionOf(column::NOTE));
        const QModelIndex channel = table->index(0, column::positionOf(column::CHANNEL));
        QCOMPARE(note.data().toString(), QStringLiteral("60"));
        QCOMPARE(cell(overview, 0, column::UNIVERSE), QStringLiteral("3"));
        QCOMPARE(channel.data().toString(), QStringLiteral("-"));
        QCOMPARE(table->flags(channel), Qt::NoItemFlags);
        // Retyping the note stores the note, and nothing else changes.
        const SettingStruct before = document.controls().first();
        QVERIFY(table->setData(note, QStringLiteral("61")));
        SettingStruct expected = before;
        expected.dmx_out.dmx_channel = 61;
        QVERIFY(document.controls().first().sameContent(expected));
        QCOMPARE(document.undoStack().undoText(), QStringLiteral("Set Note of Fader 1"));
        // An OSC output's port 0 is the default port: shown so, edited as 0.
        ShowDocument oscShow;
        fill(oscShow, faders(1, PT_OSC));
        SettingsOverview oscOverview(oscShow);
        const QModelIndex port =
            oscOverview.view()->model()->index(0, column::positionOf(column::OSC_PORT));
        QCOMPARE(port.data().toString() + port.data(Qt::EditRole).toString(), "Default0");
        // The type cell cannot be edited.
        QCOMPARE(table->flags(table->index(0, column::positionOf(column::TYPE))), Qt::NoItemFlags);
    }

    void refusedEditChangesNothing()
    {
        ShowDocument document;
        fill(document, faders(2));
        SettingsOverview overview(document);
        const ShowContent before = document.content();
        QAbstractItemModel *table = overview.view()->model();
        QVERIFY(!table->setData(table->index(0, column::positionOf(column::PROTOCOL)),
                                QStringLiteral("no protocol")));
        QVERIFY(overview.statusText().contains(QStringLiteral("no protocol")));
        select(overview, {0, 1}, column::VALUE_1);
        overview.valueField()->setText(QStringLiteral("loud"));
        QCOMPARE(overview.applyToSelection(BA_SET), 0);
        QCOMPARE(document.undoStack().count(), 0);
        QVERIFY(overview.statusText().startsWith(QStringLiteral("2 cells left unchanged")));
        QVERIFY(document.controls().first().sameContent(before.controls.first()));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::newRow("all") << "" << 9;
        QTest::newRow("name") << "spot 4" << 1;
        QTest::newRow("protocol") << "midi" << 3;
        QTest::newRow("universe") << "2" << 3;
        QTest::newRow("protocol and universe") << "art-net 3" << 1;
        QTest::newRow("type") << "vertical" << 9;
        QTest::newRow("nothing") << "knob" << 0;
    }

    void filter()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        ShowDocument document;
        QList<SettingStruct> records = faders(3);
        records += faders(3, PT_MIDI);
        records += faders(3, PT_ACN);
        for (int i = 3; i < 9; ++i)
            records[i].name = QStringLiteral("Spot %1").arg(i);
        fill(document, records);
        SettingsOverview overview(document);
        overview.filterField()->setText(text);
        QCOMPARE(overview.view()->model()->rowCount(), rows);
    }

    void closes_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Close button") << false;
    }

    void closes()
    {
        QFETCH(bool, escape);
        ShowDocument document;
        fill(document, faders(2));
        SettingsOverview overview(document);
        QSignalSpy closed(&overview, &SettingsOverview::clickedActionCloseMe);
        overview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&overview));
        if (escape)
            QTest::keyClick(overview.view(), Qt::Key_Escape);
        else
            overview.findChild<QPushButton *>(QStringLiteral("close"))->click();
        QVERIFY(!overview.isVisible());
        QCOMPARE(closed.count(), 1);
    }
};

QTEST_MAIN(TestSettingsOverview)
#include "tst_settingsoverview.moc"
