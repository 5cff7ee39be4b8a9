// The show document and its edit commands, without a window: every command
// undone gives back every field of every record, the background, the
// preferences and the checks as they were, with the same ids; the signals
// tell readers what changed, and the modified marker follows the clean state.
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

// Every field of the record other than its id, changed.
SettingStruct changedEverywhere(SettingStruct r)
{
    r.name += QLatin1Char('2');
    r.description = QStringLiteral("new");
    r.position_x += 5, r.position_y += 6, r.size_x += 7, r.size_y += 8;
    r.color_red = 1, r.color_green = 2, r.color_blue = 3;
    r.control_type = CT_KNOB;
    r.dmx_out.protocol_type = PT_ACN, r.dmx_out.dmx_channel = 9, r.dmx_out.dmx_value_3 = 4;
    r.dmx_out_advanced.protocol_type = PT_HTTP;
    r.dmx_out_advanced.dmx_http_filename = QStringLiteral("go?%1");
    r.dmx_in.protocol_type_in = PT_MIDI, r.dmx_in.dmx_in_color_fade = 1;
    r.bitmap = Picture::fromData("not decoded");
    r.qwidget = 7;
    return r;
}

QStringList names(const ShowDocument &d)
{
    QStringList list;
    for (const SettingStruct &r : d.controls())
        list << r.name;
    return list;
}

// Records in `told` every signal by which the document tells a change.
void listen(ShowDocument &d, QStringList &told)
{
    const auto on = [&](auto signal, const char *name) {
        QObject::connect(&d, signal, [&told, name] { told << QLatin1String(name); });
    };
    on(&ShowDocument::contentReplaced, "replaced");
    on(&ShowDocument::controlsAdded, "added");
    on(&ShowDocument::controlsRemoved, "removed");
    on(&ShowDocument::controlsChanged, "changed");
    on(&ShowDocument::controlsReordered, "reordered");
    on(&ShowDocument::backgroundChanged, "background");
    on(&ShowDocument::preferencesChanged, "preferences");
    on(&ShowDocument::checksChanged, "checks");
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
        d.push(new ReplaceShow(d, threeControls(), "Open"));
        d.clearHistory();
        d.markSaved();
        QCOMPARE(names(d), QStringList({"A", "B", "C"}));
        QVERIFY(!d.isModified());
        const QList<quint32> ids = d.ids();
        QVERIFY(!ids.contains(0u));
        QCOMPARE(QSet<quint32>(ids.cbegin(), ids.cend()).size(), 3);

        BackgroundStruct bg = d.background();
        bg.color_red = 10;
        d.push(new ChangeBackground(d, bg, "Background"));
        QVERIFY(d.isModified());
        QCOMPARE(modified.last().at(0).toBool(), true);
        d.undoStack().undo();
        QCOMPARE(d.background().color_red, quint8(127));
        QVERIFY(!d.isModified()); // back at the saved state
        QCOMPARE(modified.last().at(0).toBool(), false);
        d.undoStack().redo();
        QCOMPARE(d.background().color_red, quint8(10));
        // Saved here: undoing now leaves the saved state.
        d.markSaved();
        d.undoStack().undo();
        QVERIFY(d.isModified());
        QCOMPARE(d.ids(), ids);

        // A history cleared keeps the edits it held unsaved; content never
        // saved stays modified, also undone to where it came.
        d.clearHistory();
        QVERIFY(d.isModified());
        d.markUnsaved();
        d.push(new ChangeBackground(d, BackgroundStruct(), "Background"));
        d.undoStack().undo();
        QVERIFY(d.isModified());
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

    void commandsGoBackAsTheyCame_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("told"); // by the command; undo and redo tell as many
        const auto row = [](const char *command, const QStringList &after,
                            const QStringList &told) {
            QTest::newRow(command) << QString(command) << after << told;
        };
        row("add at 1", {"A", "X", "B", "C"}, {"added"});
        row("remove A and C", {"B"}, {"removed"});
        row("change B", {"A", "B2", "C"}, {"changed"});
        row("change every field of A and C", {"A2", "B", "C2"}, {"changed"});
        row("reorder", {"C", "A", "B"}, {"reordered"});
        // The same preferences and checks are not told.
        row("append", {"A", "B", "C", "Y", "Z"}, {"added", "background"});
        row("append with other preferences and checks", {"A", "B", "C", "Y"},
            {"added", "background", "preferences", "checks"});
    }

    void commandsGoBackAsTheyCame()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, after);
        QFETCH(QStringList, told);
        ShowDocument d;
        ShowContent start = threeControls();
        start.controls[2] = changedEverywhere(start.controls[2]);
        start.controls[2].name = "C";
        start.preferences.command_flag = true;
        start.preferences.project_name = "Show";
        d.push(new ReplaceShow(d, start, "Open"));
        d.clearHistory();
        d.markSaved();
        const ShowContent before = d.content();
        const QList<quint32> ids = d.ids();
        QStringList heard;
        listen(d, heard);
        if (command == "add at 1") {
            d.push(new AddControls(d, {control("X")}, 1, "Add"));
        } else if (command == "remove A and C") {
            d.push(new RemoveControls(d, {ids.at(2), ids.at(0)}, "Delete"));
        } else if (command == "change B") {
            SettingStruct b = d.controls().at(1);
            b.name = "B2";
            d.push(new ChangeControls(d, {b}, "Edit"));
        } else if (command.startsWith("change every")) {
            d.push(new ChangeControls(
                d, {changedEverywhere(d.controls().at(2)), changedEverywhere(d.controls().at(0))},
                "Batch"));
        } else if (command == "reorder") {
            d.push(new ReorderControls(d, {ids.at(2), ids.at(0), ids.at(1)}, "Reorder"));
        } else if (command == "append") {
            ShowContent appended = d.content();
            appended.background.color_blue = 1;
            d.push(new AppendShow(d, {control("Y"), control("Z")}, appended, "Append"));
        } else {
            ShowContent appended;
            appended.preferences.http_server = "http://elsewhere/";
            appended.checks.check_3 = false;
            d.push(new AppendShow(d, {control("Y")}, appended, "Append"));
            QCOMPARE(d.preferences().http_server, QString("http://elsewhere/"));
            QVERIFY(!d.preferences().command_flag && !d.checks().check_3);
        }
        QCOMPARE(names(d), after);
        QCOMPARE(heard, told);
        QVERIFY(d.isModified());
        d.undoStack().undo();
        QCOMPARE(heard.size(), 2 * told.size());
        QCOMPARE(d.ids(), ids);
        for (int i = 0; i < ids.size(); ++i)
            QVERIFY2(d.controls().at(i).sameContent(before.controls.at(i)),
                     qPrintable(names(d)[i]));
        QVERIFY(d.background().sameContent(before.background));
        QCOMPARE(d.preferences(), before.preferences);
        QCOMPARE(d.checks(), before.checks);
        QVERIFY(!d.isModified());
        d.undoStack().redo();
        QCOMPARE(heard.size(), 3 * told.size());
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
        QStringList told;
        listen(d, told);
        d.push(new RemoveControls(d, gone, "Delete"));
        QCOMPARE(told, QStringList{"removed"});
        QCOMPARE(d.ids(), kept);
        d.undoStack().undo();
        QCOMPARE(told, (QStringList{"removed", "added"}));
        QVERIFY(std::equal(
            before.cbegin(), before.cend(), d.controls().cbegin(), d.controls().cend(),
            [](const auto &a, const auto &b) { return a.id == b.id && a.sameContent(b); }));
        d.undoStack().redo();
        QCOMPARE(d.ids(), kept);
    }
};

QTEST_GUILESS_MAIN(TestShowDocument)
#include "tst_showdocument.moc"
