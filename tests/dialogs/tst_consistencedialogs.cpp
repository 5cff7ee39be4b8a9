// The consistency options window (a copy handed back on OK) and the
// results list (prefixes, icons, when it shows, clicks, copy).
#include "dialogs/consistencedialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestConsistenceDialogs : public QObject
{
    Q_OBJECT
private slots:
    void optionsOkHandsBackTheBoxes_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<bool>("ok"); // else Cancel
        for (int k = 1; k <= 5; ++k)
            QTest::addRow("check %d, OK", k) << k << true;
        QTest::newRow("check 1, Cancel") << 1 << false;
    }

    void optionsOkHandsBackTheBoxes()
    {
        QFETCH(int, box);
        QFETCH(bool, ok);
        ConsistenceCheck dialog;
        ConsistenceCheckStruct given;
        given.check_3 = false;
        dialog.setChecks(given);
        dialog.show();
        QSignalSpy changed(&dialog, SIGNAL(valueChanged()));
        auto *check = dialog.findChild<QCheckBox *>(QStringLiteral("check_%1").arg(box));
        QVERIFY(check);
        QCOMPARE(check->isChecked(), box != 3);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
        QTest::mouseClick(dialog.findChild<QPushButton *>(ok ? "ok" : "cancel"), Qt::LeftButton);
        QCOMPARE(changed.count(), ok ? 1 : 0);
        QVERIFY(!dialog.isVisible());
        // Cancelled and opened again, the boxes show the options, not the edit.
        if (!ok) {
            dialog.setChecks(given);
            QCOMPARE(check->isChecked(), box != 3);
        }
        const ConsistenceCheckStruct got = dialog.checks();
        const bool flags[5] = {got.check_1, got.check_2, got.check_3, got.check_4, got.check_5};
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(flags[k - 1], (k == 3) == (ok && k == box));
    }

    void clickBlinksTheControlsStillThere()
    {
        ConsistenceCheckTable table;
        auto *first = new QWidget, *second = new QWidget;
        table.addEntry(1, QStringLiteral("pair"), first, second);
        table.addEntry(0, QStringLiteral("no controls"));
        QSignalSpy lines(&table, SIGNAL(selectLine(const QWidget *, const QWidget *)));
        table.slotTableClick(table.list()->item(0));
        QCOMPARE(lines.count(), 1);
        QCOMPARE(lines.at(0).at(0).value<const QWidget *>(), first);
        QCOMPARE(lines.at(0).at(1).value<const QWidget *>(), second);
        table.slotTableClick(table.list()->item(1));
        QCOMPARE(lines.count(), 1);
        // A control deleted since the run is not handed on.
        delete first;
        table.slotTableClick(table.list()->item(0));
        QCOMPARE(lines.count(), 2);
        QCOMPARE(lines.at(1).at(0).value<const QWidget *>(), nullptr);
        QCOMPARE(lines.at(1).at(1).value<const QWidget *>(), second);
        delete second;
        table.slotTableClick(table.list()->item(0));
        QCOMPARE(lines.count(), 2);
    }

    void checkAgainAndCopy()
    {
        ConsistenceCheckTable table;
        table.addEntry(2, QStringLiteral("one"));
        table.addEntry(1, QStringLiteral("two"));
        table.addEntry(0, QStringLiteral("three"));
        QSignalSpy again(&table, SIGNAL(checkConsistence()));
        auto *checkAgain = table.findChild<QPushButton *>(QStringLiteral("checkAgain"));
        QTest::mouseClick(checkAgain, Qt::LeftButton);
        QCOMPARE(again.count(), 1);

        QTest::mouseClick(table.findChild<QPushButton *>(QStringLiteral("copy")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("ERROR: one\nWARNING: two\nthree"));
        table.list()->item(2)->setSelected(true);
        table.list()->item(0)->setSelected(true);
        table.slotCopy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ERROR: one\nthree"));
    }
};

QTEST_MAIN(TestConsistenceDialogs)
#include "tst_consistencedialogs.moc"
