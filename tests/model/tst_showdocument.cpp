// The show document and its edit commands, without a window: every command
// undone and redone gives back the same records and ids, the signals tell
// readers what changed, and the modified marker follows the clean state.
#include "model/showcommands.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace
{

SettingStruct control(const QString &name, quint32 x = 0)
{
    SettingStruct r;
    r.name = name;
    r.position_x = x;
    return r;
}

QStringList names(const ShowDocument &d)
{
    QStringList list;
    for (const SettingStruct &r : d.controls())
        list << r.name;
    return list;
}

// Counts in `told` every signal by which the document tells a change.
void countTold(ShowDocument &d, int &told)
{
    const auto tell = [&told] { ++told; };
    QObject::connect(&d, &ShowDocument::contentReplaced, tell);
    QObject::connect(&d, &ShowDocument::controlsAdded, tell);
    QObject::connect(&d, &ShowDocument::controlsRemoved, tell);
    QObject::connect(&d, &ShowDocument::controlsChanged, tell);
    QObject::connect(&d, &ShowDocument::controlsReordered, tell);
    QObject::connect(&d, &ShowDocument::backgroundChanged, tell);
    QObject::connect(&d, &ShowDocument::preferencesChanged, tell);
    QObject::connect(&d, &ShowDocument::checksChanged, tell);
}

ShowContent threeControls()
{
    ShowContent c;
    c.controls = {control("A"), control("B"), control("C")};
    c.background.size_x = 800;
    return c;
}

} // namespace

class TestShowDocument : public QObject
{
    Q_OBJECT

private slots:
    void loadBackgroundUndoRedoAndCleanState()
    {
        ShowDocument d;
        QSignalSpy modified(&d, &ShowDocument::modifiedChanged);
        QSignalSpy replaced(&d, &ShowDocument::contentReplaced);
        d.push(new ReplaceShow(d, threeControls(), "Open"));
        d.clearHistory();
        d.markSaved();
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(names(d), QStringList({"A", "B", "C"}));
        QVERIFY(!d.isModified());
        const QList<quint32> ids = d.ids();
        QVERIFY(!ids.contains(0u));
        QCOMPARE(QSet<quint32>(ids.cbegin(), ids.cend()).size(), 3);

        BackgroundStruct bg = d.background();
        bg.color_red = 10;
        QSignalSpy background(&d, &ShowDocument::backgroundChanged);
        d.push(new ChangeBackground(d, bg, "Background"));
        QCOMPARE(background.size(), 1);
        QCOMPARE(d.background().color_red, quint8(10));
        QVERIFY(d.isModified());
        QCOMPARE(modified.last().at(0).toBool(), true);

        d.undoStack().undo();
        QCOMPARE(d.background().color_red, quint8(127));
        QCOMPARE(d.background().size_x, 800u);
        QVERIFY(!d.isModified()); // back at the saved state
        QCOMPARE(modified.last().at(0).toBool(), false);
        d.undoStack().redo();
        QCOMPARE(d.background().color_red, quint8(10));
        QVERIFY(d.isModified());

        // Saved here: undoing now leaves the saved state.
        d.markSaved();
        QVERIFY(!d.isModified());
        d.undoStack().undo();
        QVERIFY(d.isModified());
        QCOMPARE(d.ids(), ids);
    }

    // Locking marks the show modified and is saved with it, but neither
    // undo nor redo, also of a preferences change made around it, moves it.
    void lockStaysOutOfTheHistory()
    {
        ShowDocument d;
        d.markSaved();
        PreferencesStruct p = d.preferences();
        p.project_name = "before";
        d.push(new ChangePreferences(d, p, "Preferences"));
        d.setLocked(true);
        QVERIFY(d.isModified());
        p.project_name = "after"; // a dialog's copy from before the lock
        d.push(new ChangePreferences(d, p, "Preferences"));
        QVERIFY(d.preferences().lock_screen);
        d.undoStack().undo();
        d.undoStack().undo();
        QVERIFY(d.preferences().lock_screen);
        QVERIFY(d.isModified()); // the lock is not what the file holds
        d.setLocked(false);
        QVERIFY(!d.isModified()); // back at the saved state
        d.undoStack().redo();
        d.setLocked(true);
        d.markSaved();
        d.setLocked(false);
        d.undoStack().undo();
        d.undoStack().redo();
        QVERIFY(!d.preferences().lock_screen);
        QCOMPARE(d.preferences().project_name, QString("before"));
        QVERIFY(d.isModified());
    }

    void contentNeverSavedStaysModified()
    {
        ShowDocument d;
        d.push(new ReplaceShow(d, threeControls(), "Default"));
        d.clearHistory();
        d.markUnsaved();
        QVERIFY(d.isModified());
        d.push(new ChangeBackground(d, BackgroundStruct(), "Background"));
        d.undoStack().undo();
        QVERIFY(d.isModified());
    }

    void controlCommandsRoundTrip_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("told"); // signals each way
        QTest::newRow("add at 1") << 0 << QStringList({"A", "X", "B", "C"}) << 1;
        QTest::newRow("remove A and C") << 1 << QStringList({"B"}) << 1;
        QTest::newRow("change B") << 2 << QStringList({"A", "B2", "C"}) << 1;
        QTest::newRow("reorder") << 3 << QStringList({"C", "A", "B"}) << 1;
        // Controls and background; the same preferences and checks are not told.
        QTest::newRow("append") << 4 << QStringList({"A", "B", "C", "Y", "Z"}) << 2;
    }

    void controlCommandsRoundTrip()
    {
        QFETCH(int, which);
        QFETCH(QStringList, after);
        QFETCH(int, told);
        ShowDocument d;
        d.push(new ReplaceShow(d, threeControls(), "Open"));
        d.clearHistory();
        const QList<SettingStruct> before = d.controls();
        const QList<quint32> ids = d.ids();
        QSignalSpy added(&d, &ShowDocument::controlsAdded);
        QSignalSpy removed(&d, &ShowDocument::controlsRemoved);
        QSignalSpy changed(&d, &ShowDocument::controlsChanged);
        int count = 0;
        countTold(d, count);
        switch (which) {
        case 0:
            d.push(new AddControls(d, {control("X")}, 1, "Add"));
            QCOMPARE(added.size(), 1);
            break;
        case 1:
            d.push(new RemoveControls(d, {ids.at(0), ids.at(2)}, "Delete"));
            QCOMPARE(removed.size(), 1);
            break;
        case 2: {
            SettingStruct b = d.controls().at(1);
            b.name = "B2";
            d.push(new ChangeControls(d, {b}, "Edit"));
            QCOMPARE(changed.size(), 1);
            QCOMPARE(changed.first().first().value<QList<quint32>>(), QList<quint32>{ids.at(1)});
            break;
        }
        case 3:
            d.push(new ReorderControls(d, {ids.at(2), ids.at(0), ids.at(1)}, "Reorder"));
            break;
        case 4: {
            ShowContent appended = d.content();
            appended.background.color_blue = 1;
            d.push(new AppendShow(d, {control("Y"), control("Z")}, appended, "Append"));
            QCOMPARE(d.background().color_blue, quint8(1));
            break;
        }
        }
        QCOMPARE(names(d), after);
        QCOMPARE(count, told);
        QVERIFY(d.isModified());
        d.undoStack().undo();
        QCOMPARE(count, 2 * told);
        QCOMPARE(names(d), QStringList({"A", "B", "C"}));
        QCOMPARE(d.ids(), ids);
        for (int i = 0; i < before.size(); ++i)
            QVERIFY(d.controls().at(i).sameContent(before.at(i)));
        QCOMPARE(d.background().color_blue, quint8(127));
        d.undoStack().redo();
        QCOMPARE(count, 3 * told);
        QCOMPARE(names(d), after);
    }

    // A delete of controls at scattered places, named in any order, is one
    // step each way: one signal, every record back in its place.
    void scatteredDeleteIsOneStep()
    {
        ShowDocument d;
        ShowContent content;
        for (int i = 0; i < 1000; ++i)
            content.controls.append(control(QString::number(i), quint32(i)));
        d.push(new ReplaceShow(d, content, "Open"));
        const QList<SettingStruct> before = d.controls();
        QList<quint32> gone; // half of them, scattered, in no order
        for (int i = 0; i < 500; ++i)
            gone.append(before.at(i * 337 % 1000).id);
        QList<quint32> kept = d.ids();
        kept.removeIf([&](quint32 id) { return gone.contains(id); });
        int told = 0;
        countTold(d, told);
        d.push(new RemoveControls(d, gone, "Delete"));
        QCOMPARE(told, 1);
        QCOMPARE(d.ids(), kept);
        d.undoStack().undo();
        QCOMPARE(told, 2);
        QVERIFY(std::equal(
            before.cbegin(), before.cend(), d.controls().cbegin(), d.controls().cend(),
            [](const auto &a, const auto &b) { return a.id == b.id && a.sameContent(b); }));
        d.undoStack().redo();
        QCOMPARE(told, 3);
        QCOMPARE(d.ids(), kept);
    }
};

QTEST_GUILESS_MAIN(TestShowDocument)
#include "tst_showdocument.moc"
