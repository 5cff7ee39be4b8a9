// The user guide: F1 opens it at the chapter of the window in front (the
// opener records the address), in German under a German locale, from the
// installed copy before the source tree's; and its table of shortcuts is the
// console's.
#include "app/guide.h"
#include "app/pultora.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestGuide : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<QUrl> m_opened;

    std::unique_ptr<Pultora> console()
    {
        ConsoleServices services;
        services.openUrl = [this](const QUrl &url) { return m_opened.append(url), true; };
        return startConsoleOn(m_dir.filePath("show.ptra"), "<PultoraConfig version=\"1\"/>",
                              std::make_shared<ScriptedPrompter>(), services);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void f1OpensTheWindowsChapter_data()
    {
        QTest::addColumn<QByteArray>("opener");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("page");
        QTest::newRow("console") << QByteArray("slotHelp") << "Pultora"
                                 << "/en/index.html";
        QTest::newRow("editor") << QByteArray("slotAdd") << "Settings"
                                << "/en/building.html#editor";
        QTest::newRow("preferences") << QByteArray("slotPreferences") << "Preferences"
                                     << "/en/preferences.html";
    }
    void f1OpensTheWindowsChapter()
    {
        QFETCH(QByteArray, opener);
        QFETCH(QString, window);
        QFETCH(QString, page);
        m_opened.clear();
        auto c = console();
        QVERIFY(call(*c, opener.constData()));
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && window == QLatin1String(w->metaObject()->className()) &&
                w != c.get())
                QTest::keyClick(w, Qt::Key_F1);
        QCOMPARE(m_opened.size(), 1);
        QVERIFY2(m_opened.first().toString().endsWith(page),
                 qPrintable(m_opened.first().toString()));
        QVERIFY(QFile::exists(m_opened.first().toLocalFile()));
    }

    void guideIsFoundByLocaleAndPlace()
    {
        const QString app = m_dir.filePath("usr/bin");
        QCOMPARE(guide::guideUrl("building.html#check", QLocale("de_DE"), app)
                     .toString()
                     .section('/', -2),
                 "de/building.html#check");
        QVERIFY(QDir().mkpath(m_dir.filePath("usr/share/pultora/guide/en")));
        QVERIFY(writeBytes(m_dir.filePath("usr/share/pultora/guide/en/index.html"), "<html/>"));
        // Installed: that copy, in English when it has no German page.
        QCOMPARE(guide::guideUrl("index.html", QLocale("de_DE"), app),
                 QUrl::fromLocalFile(m_dir.filePath("usr/share/pultora/guide/en/index.html")));
        QVERIFY(guide::guideUrl("nowhere.html", QLocale::c(), app).isEmpty());
    }

    // Every command with a key is in the guide's table with that key, and
    // the table names no other.
    void shortcutTableIsTheCommandTable()
    {
        auto c = console();
        QMap<QString, QString> commands;
        const auto &recent = c->commands().recent; // Ctrl+1 to Ctrl+4, once there are files
        for (const QAction *a : c->actions())
            if (!a->shortcut().isEmpty() && std::find(recent, recent + 4, a) == recent + 4)
                commands.insert(a->shortcut().toString(), a->text().remove('&'));
        QFile page(QStringLiteral(PULTORA_SOURCE_DIR "/guide/en/shortcuts.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        const QString table =
            html.section(QStringLiteral("id=\"commands\""), 1).section("</table>", 0, 0);
        QMap<QString, QString> guide;
        static const QRegularExpression row(
            QStringLiteral("<tr><td><kbd>([^<]+)</kbd></td><td>([^<]+)</td></tr>"));
        for (const auto &m : row.globalMatch(table))
            guide.insert(m.captured(1), m.captured(2));
        QCOMPARE(guide.keys().join(" "), commands.keys().join(" "));
        for (auto it = commands.cbegin(); it != commands.cend(); ++it)
            if (!it.value().isEmpty()) // Undo and Redo are named after the change
                QCOMPARE(guide.value(it.key()), it.value());
    }
};

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"
