// Entry point: installs the translation, reads the command line, builds the
// console window and runs the event loop. Destroying the window writes the
// last session.
#include "app/appinfo.h"
#include "app/firstpaint.h"
#include "app/pultora.h"
#include "app/translation.h"
#include "model/picture.h"
#include "remote/pinguard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
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
    const QCommandLineOption remotePort(
        QStringLiteral("remote-port"),
        QCoreApplication::translate("Pultora",
                                    "Serve the web remote on this TCP port for this run (needs "
                                    "--remote-pin or --remote-pin-file)"),
        QStringLiteral("port"));
    const QCommandLineOption remotePin(
        QStringLiteral("remote-pin"),
        QCoreApplication::translate("Pultora", "The web remote's PIN for this run, 4 to 8 digits"),
        QStringLiteral("pin"));
    const QCommandLineOption remotePinFile(
        QStringLiteral("remote-pin-file"),
        QCoreApplication::translate("Pultora",
                                    "Read the web remote's PIN from this file (its first line)"),
        QStringLiteral("file"));
    const QCommandLineOption remoteInterface(
        QStringLiteral("remote-interface"),
        QCoreApplication::translate("Pultora",
                                    "The network interface the web remote listens on besides "
                                    "loopback (default: the show's)"),
        QStringLiteral("name"));
    parser.addOptions({remotePort, remotePin, remotePinFile, remoteInterface});
    parser.process(app);
    const auto fail = [](const QString &text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return 1;
    };
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
    if (parser.isSet(remotePort)) {
        bool ok = false;
        const uint port = parser.value(remotePort).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return fail(QCoreApplication::translate("Pultora", "Not a TCP port: %1")
                            .arg(parser.value(remotePort)));
        RemoteConsole::Run run;
        run.port = quint16(port);
        if (parser.isSet(remotePinFile)) {
            QFile file(parser.value(remotePinFile));
            if (!file.open(QIODevice::ReadOnly))
                return fail(
                    QCoreApplication::translate("Pultora", "Cannot read the PIN file %1: %2")
                        .arg(file.fileName(), file.errorString()));
            run.pin = QString::fromUtf8(file.readLine(64)).trimmed();
        } else {
            run.pin = parser.value(remotePin);
        }
        if (!pinhash::isValidPin(run.pin))
            return fail(QCoreApplication::translate(
                "Pultora", "The web remote needs a PIN of 4 to 8 digits (--remote-pin or "
                           "--remote-pin-file)."));
        run.interfaceName = parser.value(remoteInterface);
        services.remote = run;
    } else if (parser.isSet(remotePin) || parser.isSet(remotePinFile) ||
               parser.isSet(remoteInterface)) {
        return fail(QCoreApplication::translate(
            "Pultora",
            "--remote-pin, --remote-pin-file and --remote-interface need --remote-port."));
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
