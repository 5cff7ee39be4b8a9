// Entry point: installs the translation, reads the command line, builds the
// console window and runs the event loop. Destroying the window writes the
// last session.
#include "app/appinfo.h"
#include "app/firstpaint.h"
#include "app/pultora.h"
#include "app/translation.h"
#include "model/picture.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Large photos as background or icon pictures decode.
    Picture::setUpDecoding();
    QCoreApplication::setApplicationVersion(appinfo::versionText());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.pultora"));

    const QString locale = QLocale::system().name();
    QTranslator translator;
    const QString translationFile = loadTranslation(
        translator, locale, translationDirectories(QCoreApplication::applicationDirPath()));
    if (!translationFile.isEmpty())
        QCoreApplication::installTranslator(&translator);
    // The toolkit's own texts (standard buttons, file dialogs), where installed.
    QTranslator toolkitTranslator;
    if (toolkitTranslator.load(QStringLiteral("qtbase_") + locale,
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkitTranslator);

    // --help and --version answer and exit here; the toolkit has taken its
    // own options (-style, -platform, ...) out of argv already.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("Pultora", "Lighting and show-control console"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate("Pultora", "Configuration to open (*.ptra)"),
        QStringLiteral("[file]"));
    const QCommandLineOption oscInPort(
        QStringLiteral("osc-in-port"),
        QCoreApplication::translate("Pultora",
                                    "Listen for OSC on this UDP port for this run, whatever the "
                                    "setting in the preferences (0: OSC input off)"),
        QStringLiteral("port"));
    parser.addOption(oscInPort);
    parser.process(app);
    ConsoleServices services;
    if (parser.isSet(oscInPort)) {
        bool ok = false;
        const uint port = parser.value(oscInPort).toUInt(&ok);
        if (!ok || port > 65535) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QCoreApplication::translate("Pultora", "Not a UDP port: %1")
                                        .arg(parser.value(oscInPort))));
            return 1;
        }
        services.oscInPort = quint16(port);
    }

    // The console takes the first argument after the program as the file to
    // load, as 8-bit text.
    QList<QByteArray> words{QByteArray(argv[0])};
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        words.append(files.first().toLocal8Bit());
    QList<char *> consoleArgv;
    for (QByteArray &word : words)
        consoleArgv.append(word.data());
    consoleArgv.append(nullptr);

    auto *console = new Pultora(nullptr, int(words.size()), consoleArgv.data(), translationFile,
                                locale, services);
    FirstPaintReport::installIfRequested(console, [console] {
        return QStringLiteral("dmx-in-setups=%1").arg(console->io().inputSetUps());
    });
    console->show();
    const int result = app.exec();
    delete console;
    return result;
}
