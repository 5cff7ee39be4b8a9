#include "showloader.h"

#include "appinfo.h"
#include "elements.h"
#include "loadprogress.h"
#include "midi.h"
#include "prompter.h"

#include <QApplication>

ShowLoader::ShowLoader(Prompter &prompter, QWidget *window, LoadProgress *progress,
                       std::function<MidiDeviceNames()> devices)
    : m_prompter(prompter), m_window(window), m_progress(progress), m_devices(std::move(devices))
{
}

bool ShowLoader::load(const QString &source, const LoadOptions &options, const ShowContent &base,
                      LoadedShow *result)
{
    *result = LoadedShow();
    result->content = base;
    if (!options.append)
        result->content.controls.clear();
    m_result = result;
    // Sizes are limited as the show will be stretched; an append counts
    // what the surface holds already.
    LoadOptions withShow = options;
    withShow.stretch = base.background.stretch_factor;
    withShow.existingArea = 0;
    if (options.append)
        for (const SettingStruct &control : base.controls)
            withShow.existingArea += shownControlArea(control, withShow.stretch);
    if (m_progress)
        m_progress->phase(QCoreApplication::translate("Pultora", "Reading %1...")
                              .arg(options.fromText ? appinfo::defaultConfigFileName() : source));
    const bool loaded = loadConfiguration(*this, source, withShow);
    m_result = nullptr;
    return loaded && !(m_progress && m_progress->cancelled());
}

void ShowLoader::applyControl(const SettingStruct &record)
{
    // A type this console cannot show is left out; the show then differs
    // from its file.
    if (record.control_type >= CT_COUNT) {
        m_result->droppedControls = true;
        return;
    }
    SettingStruct copy = record;
    copy.id = 0;
    m_result->added.append(copy);
    m_result->content.controls.append(copy);
}

void ShowLoader::applyBackground(const BackgroundStruct &record)
{
    m_result->content.background = record;
}

void ShowLoader::applyPreferences(const PreferencesStruct &record)
{
    m_result->content.preferences = record;
}

void ShowLoader::applyCheckOptions(const ConsistenceCheckStruct &record)
{
    m_result->content.checks = record;
}

void ShowLoader::runSilentConsistencyCheck()
{
    // The consistency check reports on the document once it holds the show.
}

void ShowLoader::setCurrentFile(const QString &path)
{
    m_result->currentFile = path;
}

void ShowLoader::showStatus(const QString &text)
{
    m_result->status = text;
}

void ShowLoader::setModified(bool modified)
{
    m_result->modified = modified;
}

void ShowLoader::showWarning(const QString &title, const QString &text)
{
    if (m_progress)
        m_progress->interrupt();
    m_prompter.tell(m_window, QMessageBox::Warning, title, text);
}

bool ShowLoader::askYesNo(const QString &text)
{
    if (m_progress)
        m_progress->interrupt();
    // Asked without a parent, like every question about a document's content.
    return m_prompter.ask(nullptr, QMessageBox::Question, appinfo::productName(), text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                          QMessageBox::No) == QMessageBox::Yes;
}

void ShowLoader::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

MidiDeviceNames ShowLoader::midiDevices() const
{
    return m_devices ? m_devices() : MidiDeviceNames();
}

bool ShowLoader::loadProgress(qint64 done, qint64 total)
{
    return !m_progress || m_progress->step(done, total);
}

MidiDeviceNames consoleMidiDevices()
{
    MidiDeviceNames names;
    names.outputs = midi::platformOutputDeviceNames();
    names.inputs = midi::platformInputDeviceNames();
    names.match = midiDeviceNumber;
    return names;
}
