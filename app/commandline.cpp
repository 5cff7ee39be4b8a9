#include "app/commandline.h"

#include "remote/pinguard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace
{
// The options QGuiApplication and QApplication take out of argv themselves
// (Qt 6.4, every platform plugin), without the leading dash.
const char *const TOOLKIT_OPTIONS_WITH_VALUE[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowicon",
    "icon",
    "qwindowtitle",
    "title",
    "name",
    "session",
    "display",
    "style",
    "stylesheet",
    "visual",
};
const char *const TOOLKIT_FLAGS[] = {
    "reverse", "widgetcount", "testability", "nograb", "dograb", "sync", "cmap",
};

// The texts of the command line, in the console's context.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Pultora)
};

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int refuse(const QString &text)
{
    print(stderr, text + QLatin1Char('\n'));
    return 1;
}
} // namespace

SplitArguments splitToolkitArguments(const QStringList &arguments)
{
    SplitArguments split;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (word == QLatin1String("--")) {
            split.console.append(arguments.mid(i));
            break;
        }
        QString name = word;
        if (name.startsWith(QLatin1String("--")))
            name.remove(0, 1);
        if (!name.startsWith(QLatin1Char('-')) || name.size() < 2) {
            split.console.append(word);
            continue;
        }
        name.remove(0, 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const QString bare = equals < 0 ? name : name.left(equals);
        bool taken = false;
        for (const char *option : TOOLKIT_OPTIONS_WITH_VALUE) {
            if (bare != QLatin1String(option))
                continue;
            taken = true;
            split.toolkit.append(word);
            if (equals < 0 && i + 1 < arguments.size())
                split.toolkit.append(arguments.at(++i));
        }
        for (const char *flag : TOOLKIT_FLAGS) {
            if (equals < 0 && bare == QLatin1String(flag)) {
                taken = true;
                split.toolkit.append(word);
            }
        }
        if (!taken)
            split.console.append(word);
    }
    return split;
}

std::optional<int> readCommandLine(const QStringList &arguments, StartOptions *options)
{
    *options = StartOptions();
    const SplitArguments split =
        splitToolkitArguments(arguments.isEmpty() ? QStringList() : arguments.mid(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(Texts::tr("Lighting and show-control console"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 Texts::tr("Configuration to open (*.ptra)"),
                                 QStringLiteral("[file]"));
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        Texts::tr(
            "Run the show without a window (a service): questions get their safe answer and go "
            "to the log; SIGTERM ends the run"));
    const QCommandLineOption allowCommands(
        QStringLiteral("allow-commands"),
        Texts::tr("With --headless: the show's commands, and its HTTP and OSC outputs to other "
                  "computers, may run"));
    const QCommandLineOption oscInPort(
        QStringLiteral("osc-in-port"),
        Texts::tr("Listen for OSC on this UDP port for this run, whatever the setting in the "
                  "preferences (0: OSC input off)"),
        QStringLiteral("port"));
    const QCommandLineOption remotePort(
        QStringLiteral("remote-port"),
        Texts::tr("Serve the web remote on this TCP port for this run (needs --remote-pin or "
                  "--remote-pin-file)"),
        QStringLiteral("port"));
    const QCommandLineOption remotePin(
        QStringLiteral("remote-pin"), Texts::tr("The web remote's PIN for this run, 4 to 8 digits"),
        QStringLiteral("pin"));
    const QCommandLineOption remotePinFile(
        QStringLiteral("remote-pin-file"),
        Texts::tr("Read the web remote's PIN from this file (its first line)"),
        QStringLiteral("file"));
    const QCommandLineOption remoteInterface(
        QStringLiteral("remote-interface"),
        Texts::tr("The network interface the web remote listens on besides loopback (default: the "
                  "show's)"),
        QStringLiteral("name"));
    parser.addOptions({headless, allowCommands, oscInPort, remotePort, remotePin, remotePinFile,
                       remoteInterface});

    QStringList words = split.console;
    words.prepend(arguments.isEmpty() ? QStringLiteral("pultora") : arguments.first());
    if (!parser.parse(words))
        return refuse(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        print(stdout,
              parser.helpText() + QLatin1Char('\n') +
                  Texts::tr("The options of the Qt toolkit (-platform, -style, -reverse, ...) "
                            "apply as well.") +
                  QLatin1Char('\n'));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()));
        return 0;
    }

    if (parser.isSet(oscInPort)) {
        bool ok = false;
        const uint port = parser.value(oscInPort).toUInt(&ok);
        if (!ok || port > 65535)
            return refuse(Texts::tr("Not a UDP port: %1").arg(parser.value(oscInPort)));
        options->oscInPort = quint16(port);
    }
    if (parser.isSet(remotePort)) {
        bool ok = false;
        const uint port = parser.value(remotePort).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return refuse(Texts::tr("Not a TCP port: %1").arg(parser.value(remotePort)));
        RemoteConsole::Run run;
        run.port = quint16(port);
        if (parser.isSet(remotePinFile)) {
            QFile file(parser.value(remotePinFile));
            if (!file.open(QIODevice::ReadOnly))
                return refuse(Texts::tr("Cannot read the PIN file %1: %2")
                                  .arg(file.fileName(), file.errorString()));
            run.pin = QString::fromUtf8(file.readLine(64)).trimmed();
        } else {
            run.pin = parser.value(remotePin);
        }
        if (!pinhash::isValidPin(run.pin))
            return refuse(Texts::tr("The web remote needs a PIN of 4 to 8 digits (--remote-pin or "
                                    "--remote-pin-file)."));
        run.interfaceName = parser.value(remoteInterface);
        options->remote = run;
    } else if (parser.isSet(remotePin) || parser.isSet(remotePinFile) ||
               parser.isSet(remoteInterface)) {
        return refuse(Texts::tr(
            "--remote-pin, --remote-pin-file and --remote-interface need --remote-port."));
    }

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        options->file = files.first();
    options->headless = parser.isSet(headless);
    options->allowCommands = parser.isSet(allowCommands);
    if (options->allowCommands && !options->headless)
        return refuse(
            Texts::tr("--allow-commands is for --headless only: with a window, the console "
                      "asks before a show's commands run."));
    if (options->headless) {
        if (options->file.isEmpty()) {
            print(stderr, Texts::tr("--headless needs a show file.") + QLatin1Char('\n') +
                              parser.helpText());
            return 1;
        }
        const QFileInfo show(options->file);
        if (!show.isFile() || !show.isReadable())
            return refuse(Texts::tr("Cannot read the show file %1").arg(options->file));
    }

    options->toolkitArguments = split.toolkit;
    if (options->headless) {
        // The platform in use is the window system that is not there.
        QStringList kept;
        for (int i = 0; i < split.toolkit.size(); ++i) {
            QString name = split.toolkit.at(i);
            while (name.startsWith(QLatin1Char('-')))
                name.remove(0, 1);
            if (name == QLatin1String("platform"))
                ++i; // and its value
            else if (!name.startsWith(QLatin1String("platform=")))
                kept.append(split.toolkit.at(i));
        }
        kept << QStringLiteral("-platform") << QStringLiteral("offscreen");
        options->toolkitArguments = kept;
    }
    return std::nullopt;
}
