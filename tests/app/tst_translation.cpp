// The German translation as the console finds it: built beside the program
// (an installed program finds it in share/pultora/translations), it turns
// the menu, the windows and the messages German.
#include "app/commandtable.h"
#include "app/translation.h"
#include "dialogs/settings.h"
#include "tests/app/consolestart.h"
#include "tests/app/scriptedprompter.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

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
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
