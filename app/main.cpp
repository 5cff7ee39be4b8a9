// Entry point: reads the command line before any window system is asked
// for (commandline.h), installs the translation, builds the console window
// (or runs it headless, headless.h) and runs the event loop. Destroying the
// window writes the last session.
#include "app/appinfo.h"
#include "app/commandline.h"
#include "app/firstpaint.h"
#include "app/headless.h"
#include "app/pultora.h"
#include "app/translation.h"
#include "dialogs/tooltipwrap.h"
#include "model/picture.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace
{
// The console's translation and the toolkit's own texts, where installed.
struct Translations {
    QString locale = QLocale::system().name();
    QString file;
    QTranslator console;
    QTranslator toolkit;
    bool toolkitLoaded = false;

    void load()
    {
        file = loadTranslation(console, locale,
                               translationDirectories(QCoreApplication::applicationDirPath()));
        toolkitLoaded = toolkit.load(QStringLiteral("qtbase_") + locale,
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    // Into the application that exists now.
    void install()
    {
        if (!file.isEmpty())
            QCoreApplication::installTranslator(&console);
        if (toolkitLoaded)
            QCoreApplication::installTranslator(&toolkit);
    }
};
} // namespace

int main(int argc, char **argv)
{
    Translations translations;
    StartOptions options;
    {
        // No window system yet: --help and --version answer over ssh, too.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(appinfo::versionText());
        translations.load();
        translations.install();
        if (const std::optional<int> ended = readCommandLine(core.arguments(), &options))
            return *ended;
    }
    if (options.headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // With no desktop to share it with, the toolkit's own event loop:
        // it spends about a third less than GLib's per wakeup, and a server
        // receiving DMX wakes for every few packets.
        if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
            qputenv("QT_NO_GLIB", "1");
    }

    // The toolkit gets its own options, and only those.
    QList<QByteArray> toolkitWords{QByteArray(argv[0])};
    for (const QString &word : std::as_const(options.toolkitArguments))
        toolkitWords.append(word.toLocal8Bit());
    QList<char *> toolkitArgv;
    for (QByteArray &word : toolkitWords)
        toolkitArgv.append(word.data());
    toolkitArgv.append(nullptr);
    int toolkitArgc = int(toolkitWords.size());
    QApplication app(toolkitArgc, toolkitArgv.data());
    app.installEventFilter(new WrappedToolTips(&app));
    // Large photos as background or icon pictures decode.
    Picture::setUpDecoding();
    QCoreApplication::setApplicationVersion(appinfo::versionText());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.pultora"));
    translations.install();

    ConsoleServices services;
    services.oscInPort = options.oscInPort;
    services.remote = options.remote;
    std::unique_ptr<TerminationSignals> termination;
    if (options.headless) {
        services.unattended = true;
        services.prompter = std::make_shared<HeadlessPrompter>(options.allowCommands);
        termination = std::make_unique<TerminationSignals>();
    }

    // The console takes the first argument after the program as the file to
    // load, as 8-bit text.
    QList<QByteArray> words{QByteArray(argv[0])};
    if (!options.file.isEmpty())
        words.append(options.file.toLocal8Bit());
    QList<char *> consoleArgv;
    for (QByteArray &word : words)
        consoleArgv.append(word.data());
    consoleArgv.append(nullptr);

    auto *console = new Pultora(nullptr, int(words.size()), consoleArgv.data(), translations.file,
                                translations.locale, services);
    if (options.headless) {
        if (console->currentFile().isEmpty()) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QCoreApplication::translate(
                                        "Pultora", "The show file %1 could not be loaded.")
                                        .arg(options.file)));
            delete console;
            return 1;
        }
        const RemoteConsole &remote = console->remote();
        if (!remote.switchedOn())
            qCWarning(lcHeadless) << "no web remote (--remote-port, or switched on in the "
                                     "preferences): nothing but the show's inputs can operate it";
        else if (remote.serving())
            qCInfo(lcHeadless).noquote()
                << "web remote:" << remote.addresses().join(QLatin1Char(' '));
        else
            qCWarning(lcHeadless).noquote() << "web remote not serving:" << remote.state();
    }
    FirstPaintReport::installIfRequested(console, [console] {
        return QStringLiteral("dmx-in-setups=%1").arg(console->io().inputSetUps());
    });
    console->show();
    const int result = app.exec();
    if (options.headless && console->document().isModified())
        qCWarning(lcHeadless).noquote()
            << QStringLiteral("the show's changes were not saved (nobody to ask); they are in %1")
                   .arg(console->lastSessionFile());
    delete console;
    return result;
}
