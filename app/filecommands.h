// The configuration file commands of the console: clearing, opening,
// appending, saving (always through an atomic write) and the last-session
// file written at exit. Questions and file choosers go through the console's
// Prompter.
#pragma once

#include "configuration.h"

#include <QCoreApplication>

class Pultora;

class FileCommands
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    explicit FileCommands(Pultora &console) : m_console(console) {}

    // Everything the document writer needs of the console.
    ConfigurationSource configurationSource() const;

    // Writes the configuration to `path`. A failure shows "The file %1
    // could not be written!" with the system's reason and returns false,
    // leaving an existing file as it was. With makeCurrent the file becomes
    // the current one and the modified marker is cleared.
    bool writeFile(const QString &path, bool makeCurrent);
    // Writes "config_last_session.ptra" in the working directory.
    bool writeLastSession();

    // Reads a document into the console through the loader.
    bool load(const QString &source, bool fromText, bool append, bool createControls = true);

    // Removes every control and resets background and check options, without
    // asking. Preferences, edit record and clipboard stay.
    void clear();
    // New (asking to save), then load `path`, wait and send.
    void openFile(const QString &path);
    // Loads `path` on top of the current controls, then sends.
    void appendFile(const QString &path);

    void open();
    void reload();
    void openRecent(const QString &path);
    void append();
    bool save();
    bool saveAs();
    bool saveCopy();

private:
    bool locked() const;
    QString proposedName(const QString &suffix) const;
    void afterLoad(bool withTimeout);

    Pultora &m_console;
};
