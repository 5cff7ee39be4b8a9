// Command output: starts a system command as a detached process. Nothing
// is waited for; its output and exit code are ignored. A command that cannot
// be started is logged as a warning on `pultora.io.command`.
#pragma once

#include <QObject>
#include <QString>

class command : public QObject
{
    Q_OBJECT
public:
    explicit command(QObject *parent = nullptr);

    // Starts `text` (program and arguments, split like a shell does with
    // quotes and blanks). A non-empty `path` is the folder of the program:
    // the program becomes path + separator + program. Returns false for an
    // empty command or one that cannot be started; errorString() says why.
    bool runCommand(const QString &path, const QString &text);
    // Why the last command that failed could not be started.
    const QString &errorString() const { return m_error; }

    // The program and arguments runCommand starts; empty for an empty command.
    static QStringList commandLine(const QString &path, const QString &command);

private:
    QString m_error;
};
