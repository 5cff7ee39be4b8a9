#include "filecommands.h"

#include "appinfo.h"
#include "configfile.h"
#include "consolehost.h"
#include "prompter.h"
#include "pultora.h"
#include "texthelpers.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>

namespace
{

QString configFilter()
{
    return QCoreApplication::translate("Pultora", "Pultora XML Files (*.ptra);; All Files (*.*)");
}

} // namespace

ConfigurationSource FileCommands::configurationSource() const
{
    ConfigurationSource source;
    source.checks = &m_console.m_checks;
    source.preferences = &m_console.m_preferences;
    source.background = &m_console.m_background;
    source.controls = m_console.m_surface.constControls();
    source.languageCall = m_console.m_localeName;
    source.languageFile = m_console.m_translationFile;
    // Devices are stored by name; ask the MIDI system only when one is chosen.
    if (m_console.m_preferences.midi_device_out || m_console.m_preferences.midi_device_in)
        source.midiDevices = m_console.m_host->midiDevices();
    return source;
}

bool FileCommands::writeFile(const QString &path, bool makeCurrent)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written =
        writeConfigurationFile(path, writeConfiguration(configurationSource(), path), &error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_console.m_prompter->tell(&m_console, QMessageBox::Warning, appinfo::productName(),
                                   tr("The file %1 could not be written!\n%2.").arg(path, error));
        return false;
    }
    m_console.showStatus(tr("File %1 has been saved").arg(path), appinfo::STATUS_MS);
    if (makeCurrent) {
        m_console.setCurrentFile(path);
        m_console.setModified(false, false);
    }
    return true;
}

bool FileCommands::writeLastSession()
{
    return writeFile(appinfo::lastSessionFileName(), false);
}

bool FileCommands::load(const QString &source, bool fromText, bool append, bool createControls)
{
    LoadOptions options;
    options.fromText = fromText;
    options.append = append;
    options.createControls = createControls;
    return loadConfiguration(*m_console.m_host, source, options);
}

void FileCommands::clear()
{
    m_console.m_surface.clear();
    m_console.clearOutputs();
    resetBackground(&m_console.m_background);
    m_console.slotSettingsChangedBackground();
    resetConsistenceCheck(&m_console.m_checks);
    m_console.setCurrentFile(QString());
    m_console.showStatus(tr("Clear All Settings"), appinfo::STATUS_MS);
    m_console.setModified(false, true);
}

bool FileCommands::locked() const
{
    return m_console.m_preferences.lock_screen;
}

void FileCommands::afterLoad(bool withTimeout)
{
    if (withTimeout)
        m_console.runStartupTimeout();
    else
        combineStartupSettings(m_console.m_background, m_console.m_preferences);
    m_console.sendInitialValues(m_console.m_preferences.startup_dmxsend_later);
}

void FileCommands::openFile(const QString &path)
{
    m_console.slotConfigNew();
    if (load(path, false, false))
        m_console.m_recent.rememberFolder(RecentFiles::ConfigFolder,
                                          QFileInfo(path).absolutePath());
    afterLoad(true);
}

void FileCommands::appendFile(const QString &path)
{
    load(path, false, true);
    afterLoad(false);
}

void FileCommands::open()
{
    if (locked() || !m_console.maybeSave())
        return;
    const QString path = m_console.m_prompter->openFileName(
        &m_console, tr("Choose a File to Open"),
        m_console.m_recent.readFolder(RecentFiles::ConfigFolder), configFilter());
    if (!path.isEmpty())
        openFile(path);
}

void FileCommands::reload()
{
    if (locked() || !m_console.maybeSave())
        return;
    if (m_console.m_currentFile.isEmpty())
        open();
    else
        openFile(m_console.m_currentFile);
}

void FileCommands::openRecent(const QString &path)
{
    if (locked() || path.isEmpty() || !m_console.maybeSave())
        return;
    openFile(path);
}

void FileCommands::append()
{
    if (locked())
        return;
    const QString path = m_console.m_prompter->openFileName(
        &m_console, tr("Choose a File to Append"),
        m_console.m_recent.readFolder(RecentFiles::ConfigFolder), configFilter());
    if (!path.isEmpty())
        appendFile(path);
}

QString FileCommands::proposedName(const QString &suffix) const
{
    return m_console.m_recent.readFolder(RecentFiles::ConfigFolder) +
           sanitizeFileName(m_console.m_preferences.project_name) + suffix;
}

bool FileCommands::save()
{
    // Saving to the current file works on a locked console too.
    if (!m_console.m_currentFile.isEmpty())
        return writeFile(m_console.m_currentFile, true);
    return saveAs();
}

bool FileCommands::saveAs()
{
    if (locked())
        return false;
    const QString path = m_console.m_prompter->saveFileName(
        &m_console, tr("Save File"), proposedName(QString()), configFilter());
    if (path.isEmpty() || !writeFile(path, true))
        return false;
    m_console.m_recent.rememberFolder(RecentFiles::ConfigFolder, QFileInfo(path).absolutePath());
    return true;
}

bool FileCommands::saveCopy()
{
    if (locked())
        return false;
    const QString path = m_console.m_prompter->saveFileName(
        &m_console, tr("Save Copy of File"), proposedName(tr("_Copy")), configFilter());
    if (path.isEmpty() || !writeFile(path, false))
        return false;
    m_console.m_recent.rememberFolder(RecentFiles::ConfigFolder, QFileInfo(path).absolutePath());
    return true;
}
