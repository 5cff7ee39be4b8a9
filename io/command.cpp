#include "io/command.h"

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

bool command::runCommand(const QString &path, const QString &text)
{
    const QStringList words = commandLine(path, text);
    if (words.isEmpty()) {
        m_error = QStringLiteral("empty command");
        qCWarning(lcCommand).noquote() << "command not started:" << m_error;
        return false;
    }
    QProcess process;
    process.setProgram(words.first());
    process.setArguments(words.mid(1));
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(words.first(), process.errorString());
        qCWarning(lcCommand).noquote() << "command not started:" << m_error;
        return false;
    }
    m_error.clear();
    qCDebug(lcCommand) << "started" << words << "pid" << pid;
    return true;
}
