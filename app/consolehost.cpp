#include "consolehost.h"

#include "midi.h"

#include "appinfo.h"
#include "prompter.h"
#include "pultora.h"

#include <QApplication>

void ConsoleHost::applyControl(const SettingStruct &record)
{
    resetSetting(&m_console.m_editRecord);
    m_console.m_editRecord = record;
    m_console.m_editRecord.widget = nullptr;
    m_console.slotSettingsChanged(false);
}

void ConsoleHost::applyBackground(const BackgroundStruct &record)
{
    m_console.m_background = record;
    m_console.slotSettingsChangedBackground();
}

void ConsoleHost::applyPreferences(const PreferencesStruct &record)
{
    m_console.m_preferences = record;
}

void ConsoleHost::applyCheckOptions(const ConsistenceCheckStruct &record)
{
    m_console.m_checks = record;
}

void ConsoleHost::runSilentConsistencyCheck()
{
    m_console.slotConsistenceCheckChanged(false);
}

void ConsoleHost::setCurrentFile(const QString &path)
{
    m_console.setCurrentFile(path);
}

void ConsoleHost::showStatus(const QString &text)
{
    m_console.showStatus(text, appinfo::STATUS_MS);
}

void ConsoleHost::setModified(bool modified)
{
    m_console.setModified(modified, false);
}

void ConsoleHost::showWarning(const QString &title, const QString &text)
{
    m_console.m_prompter->tell(&m_console, QMessageBox::Warning, title, text);
}

bool ConsoleHost::askYesNo(const QString &text)
{
    // Asked without a parent, like every question about a document's content.
    return m_console.m_prompter->ask(nullptr, QMessageBox::Question, appinfo::productName(), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
}

void ConsoleHost::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

MidiDeviceNames ConsoleHost::midiDevices() const
{
    MidiDeviceNames names;
    names.outputs = midi::platformOutputDeviceNames();
    names.inputs = midi::platformInputDeviceNames();
    // Also finds a device whose client the MIDI system renamed on reconnect.
    names.match = midiDeviceNumber;
    return names;
}
