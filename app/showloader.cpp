#include "app/showloader.h"

#include "app/appinfo.h"
#include "app/loadprogress.h"
#include "app/outputconsent.h"
#include "app/outputdispatch.h"
#include "app/prompter.h"
#include "app/usersettings.h"
#include "io/midi.h"
#include "model/elements.h"
#include "model/typetables.h"
#include "net/netlog.h"

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
    m_kept = options.append ? base.controls : QList<SettingStruct>();
    // Sizes are limited as the show will be stretched; an append counts
    // what the surface holds already.
    LoadOptions withShow = options;
    withShow.stretch = base.background.stretch_factor;
    withShow.existingArea = 0;
    for (const SettingStruct &control : std::as_const(m_kept))
        withShow.existingArea += shownControlArea(control, withShow.stretch);
    if (m_progress)
        m_progress->phase(QCoreApplication::translate("Pultora", "Reading %1...")
                              .arg(options.fromText ? appinfo::defaultConfigFileName() : source));
    m_preferencesRead = false;
    bool loaded =
        loadConfiguration(*this, source, withShow) && !(m_progress && m_progress->cancelled());
    // A document without preferences keeps the show's, and with them the
    // consent given to the show before: its own commands and links are asked
    // about as if it had brought preferences.
    if (loaded && !m_preferencesRead) {
        PreferencesStruct &preferences = result->content.preferences;
        OutputRequest request;
        request.commandsRequested = preferences.command_flag;
        request.commandFolder = preferences.command_path;
        request.networkInterface = preferences.net_interface;
        if (preferences.http_other_hosts) {
            request.httpServer = preferences.http_server;
            request.oscDefaultHost = preferences.osc_default_host;
        }
        const OutputConsent added =
            outputConsent(request, result->added,
                          ownNetworks(NetEnvironment::system(), request.networkInterface));
        if ((!added.commands.isEmpty() || !added.hosts.isEmpty()) &&
            !allowOutputs(request, m_kept + result->added)) {
            preferences.command_flag = false;
            preferences.http_other_hosts = false;
        }
    }
    // Controls on universes that never leave are told with the load, not
    // only when they first move.
    const QString refused = loaded ? refusedUniversesLine(result->added) : QString();
    if (!refused.isEmpty()) {
        qCWarning(lcNet).noquote() << refused;
        result->status += QStringLiteral(" — ") + refused;
    }
    m_result = nullptr;
    m_kept.clear();
    return loaded;
}

void ShowLoader::applyControl(const SettingStruct &record)
{
    // A type this console cannot show is left out; the show then differs
    // from its file.
    if (!isControlType(record.control_type)) {
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
    m_preferencesRead = true;
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

bool ShowLoader::allowOutputs(const OutputRequest &request)
{
    return allowOutputs(request, m_kept);
}

bool ShowLoader::allowOutputs(const OutputRequest &request, const QList<SettingStruct> &also)
{
    const OutputConsent consent = outputConsent(
        request, also, ownNetworks(NetEnvironment::system(), request.networkInterface));
    if (consent.isEmpty())
        return true;
    const QByteArray hash = consent.hash();
    const bool remembered = m_prompter.remembersConsent();
    if (remembered && usersettings::outputsAccepted(hash))
        return true;
    if (m_progress)
        m_progress->interrupt();
    if (!m_prompter.allowOutputs(consent.question(), consent.details()))
        return false;
    if (remembered)
        usersettings::acceptOutputs(hash);
    return true;
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
