#include "command.h"

#include <QDir>
#include <QLoggingCategory>
#include <QProcess>

Q_LOGGING_CATEGORY(lcCommand, "pultora.io.command", QtWarningMsg)

command::command(QObject *parent) : QObject(parent) {}

// The folder is joined to the program only, after splitting, so that a
// folder with blanks in its name ("C:\Program Files\...") stays one word.
QStringList command::commandLine(const QString &path, const QString &command)
{
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return words;
    if (!path.isEmpty())
        words[0] = path + QDir::separator() + words.first();
    return words;
}

bool command::runCommand(const QString &path, const QString &command)
{
    const QStringList words = commandLine(path, command);
    if (words.isEmpty())
        return false;
    qint64 pid = 0;
    const bool started = QProcess::startDetached(words.first(), words.mid(1), QString(), &pid);
    if (started)
        qCDebug(lcCommand) << "started" << words << "pid" << pid;
    else
        qCDebug(lcCommand) << "cannot start" << words;
    return started;
}
