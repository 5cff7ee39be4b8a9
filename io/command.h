// Command output: starts a system command as a detached process. Nothing
// is waited for; its output and exit code are ignored.
#pragma once

#include <QObject>
#include <QString>

class command : public QObject
{
    Q_OBJECT
public:
    explicit command(QObject *parent = nullptr);

    // Starts `command` (program and arguments, split like a shell does with
    // quotes and blanks). A non-empty `path` is the folder of the program:
    // the program becomes path + separator + program. Returns false for an
    // empty command or one that cannot be started; the caller may ignore it.
    bool runCommand(const QString &path, const QString &command);

    // The program and arguments runCommand starts; empty for an empty command.
    static QStringList commandLine(const QString &path, const QString &command);
};
