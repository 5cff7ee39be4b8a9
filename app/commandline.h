// The console's command line, read before any window system is asked for:
// --help, --version and a refused option answer on the terminal even where
// no display exists (over ssh, in a service).
//
// Promises:
// - the toolkit's own options (-platform X, -style X, -reverse, ..., also
//   written with two dashes or as -style=X) are taken out with their values
//   and handed on untouched in `toolkitArguments`; the console's parser
//   never sees them. After "--" every word is the console's;
// - --help and --version print on stdout and end the run with 0; an unknown
//   option, a missing or bad value, or options that need another print one
//   line on stderr and end the run with 1;
// - --headless needs a show file: without one the run ends with 1 and the
//   usage; --allow-commands is taken only with --headless;
// - a headless run gets "-platform offscreen" whatever platform was asked
//   for.
#pragma once

#include "app/remoteconsole.h"

#include <QString>
#include <QStringList>

#include <optional>

struct StartOptions {
    QString file;               // empty: none named
    bool headless = false;      // no window system, nobody to answer
    bool allowCommands = false; // headless: a show's commands and hosts may run
    std::optional<quint16> oscInPort;
    std::optional<RemoteConsole::Run> remote;
    QStringList toolkitArguments; // for QApplication, without the program
};

// The toolkit's options in `arguments` (the program not included), each
// with its value, and the rest in order.
struct SplitArguments {
    QStringList console;
    QStringList toolkit;
};
SplitArguments splitToolkitArguments(const QStringList &arguments);

// Reads `arguments` (the program first) while a QCoreApplication with the
// translation exists. Returns the exit code when the run ends here (help,
// version, a refused command line), after printing what it has to say;
// nothing when the console may start with `options`.
std::optional<int> readCommandLine(const QStringList &arguments, StartOptions *options);
