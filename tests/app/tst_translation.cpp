// The German translation as the console finds it: built beside the program
// (an installed program finds it in share/pultora/translations), it turns
// the menu, the windows and the messages German.
#include "app/commandtable.h"
#include "app/translation.h"
#include "dialogs/settings.h"
#include "model/typetables.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>
#include <QXmlStreamReader>

class TestTranslation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTranslator m_translator;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QCOMPARE(translationDirectories(QStringLiteral("/usr/bin")),
                 (QStringList{QStringLiteral("/usr/bin"),
                              QStringLiteral("/usr/share/pultora/translations")}));
        const QStringList directories =
            translationDirectories(QStringLiteral(PULTORA_BINARY_DIR "/app"));
        QCOMPARE(loadTranslation(m_translator, QStringLiteral("de_DE"), directories),
                 QStringLiteral("Pultora_de_DE"));
        QTranslator none;
        QVERIFY(loadTranslation(none, QStringLiteral("fr_FR"), directories).isEmpty());
        QVERIFY(QCoreApplication::installTranslator(&m_translator));
    }

    void menuWindowsAndMessagesAreGerman()
    {
        auto prompter = std::make_shared<ScriptedPrompter>();
        auto console = startConsoleOn(m_dir.filePath(QStringLiteral("leer.ptra")),
                                      "<PultoraConfig/>", prompter);
        QVERIFY(console);
        const CommandTable &c = console->commands();
        const QList<std::pair<QAction *, const char *>> menu{
            {c.add, "Steuerelement hinzufügen..."},
            {c.recentMenu->menuAction(), "Zuletzt verwendete Konfigurationen"}};
        for (const auto &[action, german] : menu)
            QCOMPARE(action->text(), QString::fromUtf8(german));
        QCOMPARE(c.add->statusTip(),
                 QStringLiteral("Ein neues Steuerelement zur Oberfläche hinzufügen"));
        QCOMPARE(c.add->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));

        // A message, and the control editor's window.
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotConsistenceCheckChanged",
                                          Q_ARG(bool, true)));
        QCOMPARE(
            prompter->asked.value(0).text,
            QStringLiteral("Für eine Konsistenzprüfung wurden keine Steuerelemente gefunden!"));
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotAdd"));
        auto *editor = console->findChild<Settings *>();
        QVERIFY(editor);
        QCOMPARE(editor->findChild<QPushButton *>(QStringLiteral("ok"))->text(),
                 QStringLiteral("Hinzufügen"));
        QCOMPARE(editor->findChild<QPushButton *>(QStringLiteral("apply"))->text(),
                 QStringLiteral("Hinzufügen && Weiter"));
        editor->close();
    }

    // The German guide's table of shortcuts names every command with a key
    // by its German name, with the keys as the German menu shows them.
    void germanGuideNamesTheMenusShortcuts()
    {
        QTranslator toolkit;
        if (!toolkit.load(QStringLiteral("qtbase_de_DE"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QSKIP("the toolkit's German texts are not installed");
        QCoreApplication::installTranslator(&toolkit);
        auto console = startConsoleOn(m_dir.filePath(QStringLiteral("tasten.ptra")),
                                      "<PultoraConfig/>", std::make_shared<ScriptedPrompter>());
        QVERIFY(console);
        // The recent files (Ctrl+1 to 4) are this machine's, not commands.
        const QList<QAction *> recent = console->commands().recentMenu->actions();
        QMap<QString, QString> keys, guide;
        for (const QAction *a : console->actions())
            if (!a->shortcut().isEmpty() && !recent.contains(a))
                keys.insert(a->shortcut().toString(QKeySequence::NativeText), a->text());
        QCoreApplication::removeTranslator(&toolkit);
        const QString html = readBytes(PULTORA_SOURCE_DIR "/guide/de/shortcuts.html");
        static const QRegularExpression row("<tr><td><kbd>([^<]+)</kbd></td><td>([^<]+)</td></tr>");
        for (const auto &m :
             row.globalMatch(html.section("id=\"commands\"", 1).section("</table>", 0, 0)))
            guide.insert(m.captured(1), keys.value(m.captured(1)).isEmpty() ? "" : m.captured(2));
        QVERIFY(keys.contains(QStringLiteral("Strg+Z")));
        QCOMPARE(guide, keys);
    }

    // Every type, with every protocol on its outputs and input: no text of
    // the editor is a catalogue text left English, and every input explains
    // itself with a tooltip that is more than its label.
    void editorHasNoEnglishAndExplainsEveryField()
    {
        QSet<QString> english; // sources whose German differs
        QFile ts(QStringLiteral(PULTORA_SOURCE_DIR "/translations/Pultora_de.ts"));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        for (QXmlStreamReader xml(&ts); !xml.atEnd();) {
            if (xml.readNextStartElement() && xml.name() == QLatin1String("source")) {
                const QString source = xml.readElementText();
                if (xml.readNextStartElement() &&
                    xml.readElementText(QXmlStreamReader::IncludeChildElements) != source)
                    english << source;
            }
        }
        auto console = startConsoleOn(m_dir.filePath(QStringLiteral("leer.ptra")),
                                      "<PultoraConfig/>", std::make_shared<ScriptedPrompter>());
        QVERIFY(QMetaObject::invokeMethod(console.get(), "slotAdd"));
        auto *editor = console->findChild<Settings *>();
        const auto combos = editor->findChildren<QComboBox *>(
            QRegularExpression(QStringLiteral("^(inP|p)rotocol$")));
        for (int type = 0; type < CT_COUNT; ++type) {
            editor->findChild<QComboBox *>(QStringLiteral("type"))->setCurrentIndex(type);
            for (quint8 protocol = PT_NONE; protocol < PT_COUNT; ++protocol) {
                for (QComboBox *combo : combos)
                    combo->setCurrentIndex(qMax(0, combo->findData(protocol)));
                QStringList labels;
                for (QWidget *w : editor->findChildren<QWidget *>()) {
                    const auto *label = qobject_cast<QLabel *>(w);
                    const auto *button = qobject_cast<QAbstractButton *>(w);
                    const auto *group = qobject_cast<QGroupBox *>(w);
                    const QString text = label    ? label->text()
                                         : button ? button->text()
                                         : group  ? group->title()
                                                  : QString();
                    if (w->isVisibleTo(editor) && !text.isEmpty()) {
                        QVERIFY2(!english.contains(text), qPrintable(text));
                        labels << text << text.chopped(1).trimmed();
                    }
                }
                for (QWidget *w : editor->findChildren<QWidget *>()) {
                    if (!w->isVisibleTo(editor) || !w->focusPolicy() || !w->isEnabled() ||
                        qobject_cast<QPushButton *>(w) || qobject_cast<QLabel *>(w) ||
                        w->parent()->inherits("QAbstractSpinBox"))
                        continue;
                    QVERIFY2(!w->toolTip().isEmpty() && !labels.contains(w->toolTip()),
                             qPrintable(QStringLiteral("%1 type %2 protocol %3: %4")
                                            .arg(w->objectName())
                                            .arg(type)
                                            .arg(protocol)
                                            .arg(w->toolTip())));
                }
            }
        }
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
