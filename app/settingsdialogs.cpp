#include "app/settingsdialogs.h"

#include "app/appinfo.h"
#include "app/commandtable.h"
#include "app/prompter.h"
#include "app/showloader.h"
#include "app/usersettings.h"
#include "dialogs/aboutinfo.h"
#include "dialogs/backgrounddialog.h"
#include "dialogs/preferencesdialog.h"
#include "dialogs/updatecheck.h"
#include "model/showdocument.h"
#include "net/interfaceentry.h"

#include <QLocale>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>
#include <QTextDocumentFragment>

namespace
{

constexpr int STARTUP_CHECK_DELAY_S = 30;

void raise(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SettingsDialogs::SettingsDialogs(ShowDocument &document, std::shared_ptr<Prompter> prompter,
                                 QMainWindow *window, std::function<MidiDeviceNames()> devices)
    : m_document(document), m_prompter(std::move(prompter)), m_window(window),
      m_devices(devices ? std::move(devices) : consoleMidiDevices)
{
}

SettingsDialogs::~SettingsDialogs()
{
    closeAll();
    delete m_updateCheck;
}

bool SettingsDialogs::locked() const
{
    return m_document.preferences().lock_screen;
}

void SettingsDialogs::showBackground()
{
    if (locked())
        return;
    if (!m_background) {
        m_background = new SettingsBackground;
        connect(m_background, SIGNAL(valueChanged()), m_window,
                SLOT(slotSettingsChangedBackground()));
    }
    raise(m_background);
    m_background->setSettings(&m_document, m_document.preferences().hex_value_show);
}

void SettingsDialogs::showPreferences()
{
    if (locked())
        return;
    if (!m_preferences) {
        m_preferences = new Preferences;
        connect(m_preferences, SIGNAL(valueChanged()), m_window, SLOT(slotPreferencesChanged()));
        m_preferences->setLockConfirmation(
            [this] { return confirmLock(*m_prompter, m_preferences); });
        m_preferences->setQuestionAsker([this](const QString &question) {
            return m_prompter->ask(m_preferences, QMessageBox::Warning, appinfo::productName(),
                                   question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                                   QMessageBox::No) == QMessageBox::Yes;
        });
    }
    // The devices present now; a stored one that is missing keeps its name.
    const MidiDeviceNames devices = m_devices();
    m_preferences->setMidiDevices(devices.outputs, devices.inputs);
    QList<NetworkChoice> networks;
    const NetEnvironment env = NetEnvironment::system();
    for (const InterfaceChoice &c : interfaceChoices(env.interfaces()))
        networks.append({c.name, c.address});
    m_preferences->setNetworks(networks);
    m_preferences->setPreferences(&m_document);
    m_preferences->setUserPreferences(usersettings::readPreferences(),
                                      [this](const UserPreferences &user) {
                                          usersettings::writePreferences(user);
                                          if (m_userPreferencesHandler)
                                              m_userPreferencesHandler(user);
                                      });
    raise(m_preferences);
}

void SettingsDialogs::showAbout()
{
    if (locked())
        return;
    if (!m_about) {
        AboutFacts facts;
        facts.productName = appinfo::productName();
        facts.version = appinfo::versionText();
        // The compiler's date, "Dec  7 2026", always in English.
        facts.buildDate = QLocale::c().toDate(QStringLiteral(__DATE__).simplified(),
                                              QStringLiteral("MMM d yyyy"));
        facts.updateLink = appinfo::updateLink();
        m_about = new AboutInfo(QStringLiteral(":/images/pultora.png"),
                                tr("Art-Net Version : ") + QStringLiteral("2014/08/20"),
                                tr("Streaming ACN Version : ") + QStringLiteral("2013/08/18"),
                                nullptr, facts);
    }
    raise(m_about);
}

void SettingsDialogs::checkForUpdate(bool giveInfo)
{
    // Unasked, only when this user switched it on: no show file can.
    if (!giveInfo && !usersettings::readPreferences().check_updates)
        return;
    if (!m_updateCheck) {
        m_updateCheck = new CheckSoftwareUpdate(m_window);
        m_updateCheck->setPresenter([this](const QString &text) { report(text); });
    }
    if (giveInfo)
        m_updateCheck->setGiveInfo(true);
    m_updateCheck->setUpdateText(
        tr("<center>A new version %1 is available!<br>Download the update here :<br>%2</center>")
            .arg(QStringLiteral("$$$VERSION$$$"), appinfo::updateLink()));
    m_updateCheck->setCurrentVersion(appinfo::VERSION_MAJOR, appinfo::VERSION_MINOR,
                                     appinfo::VERSION_PATCH, appinfo::VERSION_BUILD);
    m_updateCheck->CheckForUpdate(updateCheckAddress(), giveInfo ? 0 : STARTUP_CHECK_DELAY_S);
}

void SettingsDialogs::report(const QString &text)
{
    // A locked console is an operator's panel: no box pops up over it.
    if (locked()) {
        const QString plain = QTextDocumentFragment::fromHtml(text).toPlainText();
        m_window->statusBar()->showMessage(plain.simplified(), appinfo::STATUS_MS);
        return;
    }
    m_prompter->tell(nullptr, QMessageBox::Information, tr("Check for Updates"), text);
}

void SettingsDialogs::closeAll()
{
    auto close = [this](auto *&dialog) {
        if (!dialog)
            return;
        dialog->hide();
        disconnect(dialog, nullptr, m_window, nullptr);
        delete dialog;
        dialog = nullptr;
    };
    close(m_background);
    close(m_preferences);
    close(m_about);
}

bool SettingsDialogs::confirmLock(Prompter &prompter, QWidget *parent)
{
    return prompter.ask(parent, QMessageBox::Question, appinfo::productName(),
                        CommandTable::lockQuestion(), QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
}

QString SettingsDialogs::updateCheckAddress()
{
    const QString override = qEnvironmentVariable("PULTORA_UPDATE_CHECK_URL");
    if (!override.isEmpty())
        return override;
    QSettings settings(appinfo::settingsOrganisation(), appinfo::settingsApplication());
    return settings.value(QStringLiteral("update_check_address"), appinfo::updateCheckAddress())
        .toString();
}
