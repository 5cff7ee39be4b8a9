#include "app/pultora.h"

#include "app/appinfo.h"
#include "app/designmode.h"
#include "app/filecommands.h"
#include "app/prompter.h"
#include "app/sessionfiles.h"
#include "app/showloader.h"
#include "app/statusline.h"
#include "app/targetframe.h"
#include "app/typepalette.h"
#include "app/usersettings.h"
#include "controls/palette.h"
#include "controls/stretch.h"
#include "dialogs/remotewindow.h"
#include "model/configuration.h"
#include "model/showcommands.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

namespace
{
QString menuHintText()
{
    return Pultora::tr(
        "Right-click anywhere (or press the menu key) to open the menu of commands.");
}
} // namespace

Pultora::Pultora(QWidget *parent, int argc, char **argv, const QString &translationFile,
                 const QString &localeName, const ConsoleServices &services)
    : QMainWindow(parent), m_translationFile(translationFile), m_localeName(localeName),
      m_prompter(services.prompter ? services.prompter : std::make_shared<DialogPrompter>()),
      m_progress(this, services.loadProgress), m_surface(this, m_document, &m_progress),
      m_startupTimeout(services.waitOneSecond ? services.waitOneSecond : defaultSecondWaiter()),
      m_quit(services.quit ? services.quit : [] { QCoreApplication::quit(); }),
      m_io(m_document, m_surface, services.net ? *services.net : NetEnvironment::system()),
      m_remote(m_document, m_surface, services.net ? *services.net : NetEnvironment::system())
{
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    m_statusLine = new StatusLine(this);
    setStatusBar(m_statusLine);
    m_updateLink = appinfo::updateLink();
    m_helpLink = appinfo::helpLink();
    m_triggerInterval = appinfo::TRIGGER_INTERVAL_MS;
    m_recoveryInterval = services.recoveryIntervalMs > 0 ? services.recoveryIntervalMs
                                                         : appinfo::RECOVERY_INTERVAL_MS;
    m_unattended = services.unattended;
    resetSetting(&m_editRecord);
    m_sessions = std::make_unique<SessionFiles>();

    FileServices files;
    files.window = this;
    files.prompter = m_prompter.get();
    files.recent = &m_recent;
    files.sessions = m_sessions.get();
    files.progress = &m_progress;
    files.showStatus = [this](const QString &text) { showStatus(text, appinfo::STATUS_MS); };
    files.replacing = [this] { m_io.holdInputs(); };
    files.replaced = [this](bool done) { m_io.replaceShow(done); };
    files.offerReload = [this](const QString &path) { offerReload(path); };
    files.started = [this](bool withTimeout) {
        m_io.startShow(m_document, withTimeout,
                       [this](int seconds) { m_startupTimeout.run(seconds, this); });
    };
    files.checkLoaded = [this] { slotConsistenceCheckChanged(false); };
    files.midiDevices = consoleMidiDevices;
    files.localeName = m_localeName;
    files.translationFile = m_translationFile;
    files.waitOneSecond = services.waitOneSecond ? services.waitOneSecond : defaultSecondWaiter();
    files.importFolders = services.importFolders;
    files.openUrl = services.openUrl;
    m_openUrl = services.openUrl;
    m_files = std::make_unique<FileCommands>(m_document, std::move(files));

    EditCommands::Services edit;
    edit.window = this;
    edit.prompter = m_prompter.get();
    edit.showStatus = [this](const QString &text) { showStatus(text, appinfo::STATUS_MS); };
    edit.openEditor = [this](const SettingStruct &record) {
        m_editRecord = record;
        m_editor.open(&m_editRecord, m_document.preferences(), m_surface.widget(record.id));
    };
    edit.closeDialogs = [this] { closeDialogs(); };
    edit.openOverview = [this](const QList<quint32> &ids) { m_overview.open(ids); };
    m_design = new DesignMode(m_document, m_surface, this, [this] {
        return QRect(0, 0, width(), statusBar()->isVisible() ? statusBar()->y() : height());
    });
    edit.selection = [this] { return m_design->selection(); };
    edit.select = [this](const QList<quint32> &ids) { m_design->select(ids); };
    m_edit = std::make_unique<EditCommands>(m_document, m_surface, std::move(edit));
    connect(m_design, &DesignMode::deleteRequested, this, [this] { m_edit->remove(); });
    connect(m_design, &DesignMode::editRequested, this, [this] { m_edit->edit(); });
    connect(m_design, &DesignMode::message, this,
            [this](const QString &text) { showStatus(text, appinfo::STATUS_MS); });
    m_palette = new TypePalette(this);
    connect(m_palette, &TypePalette::chosen, this, [this](quint8 type) {
        const QRect area = rect().adjusted(0, 0, 0, -statusBar()->height());
        m_design->create(type, area.center(), usersettings::readPreferences().auto_patch);
    });
    auto patchTo = [this](quint8 protocol) {
        SettingDmxStruct output;
        output.protocol_type = protocol;
        if (protocol == PT_MIDI)
            output.dmx_midi_type = MT_CONTROL_CHANGE;
        if (protocol == PT_OSC)
            output.osc_address = QStringLiteral("/control/1");
        m_design->setPatchFrom(output, true);
    };
    patchTo(m_palette->protocol());
    connect(m_palette, &TypePalette::protocolPicked, this, patchTo);
    connect(m_design, &DesignMode::patched, m_palette, &TypePalette::setProtocol);
    connect(m_design, &DesignMode::switched, this, [this](bool on) {
        m_statusLine->setDesignMode(on);
        if (on) {
            m_edit->dropTarget();
            // Beside the window, where it covers no control, as far as the
            // screen has room.
            if (m_palette->pos().isNull()) {
                QPoint at = frameGeometry().topRight() + QPoint(8, 0);
                if (const QScreen *shown = screen()) {
                    const QRect room = shown->availableGeometry();
                    at.setX(
                        qMax(room.left(),
                             qMin(at.x(), room.right() + 1 - m_palette->frameGeometry().width())));
                }
                m_palette->move(at);
            }
        }
        m_palette->setVisible(on);
    });
    m_targetFrame = new TargetFrame(this);
    connect(m_edit.get(), &EditCommands::targetShown, this, [this](quint32 id) {
        m_targetFrame->frame(locked() ? nullptr : m_surface.widget(id));
    });
    m_io.objects().setStatusReporter(
        [this](const QString &text) { showStatus(text, appinfo::STATUS_MS); });
    // The editor's Learn buttons listen through the output objects.
    m_editor.enableLearn(m_io.objects(),
                         [this] { return m_document.preferences().midi_device_in; });
    // "Add & Next" fills the background row by row, a grid step apart.
    m_editor.setRoom([this] {
        return ControlEdit::Room{m_document.background().size_x, m_edit->grid()};
    });

    // The network nodes' own messages (which network, a second sender on a
    // universe of ours, a frame that did not leave) go to the status line.
    m_io.setNoticeHandler([this](const QString &text) { showStatus(text, appinfo::STATUS_MS); });
    // The web remote listens anew when the interfaces change under it.
    m_io.objects().setNetworkHandler([this] { m_remote.networkChanged(); });
    // OSC input is the user's: this run's port (the command line) wins over
    // the setting, and a change of the setting takes effect at once.
    m_io.setRunOscInPort(services.oscInPort);
    m_io.setOscInPort(usersettings::readPreferences().osc_in_port);
    m_settingsDialogs.setUserPreferencesHandler([this](const UserPreferences &user) {
        m_io.setOscInPort(user.osc_in_port);
        m_remote.setUserPreferences(user);
    });
    // The window takes the background's input colour; the stored background
    // colour stays as it is.
    m_io.setBackgroundHandler([this](const QColor &color) {
        applyColorPalette(this, color);
        m_remote.showBackgroundColor(color);
    });
    connect(&m_remote, &RemoteConsole::changed, this, &Pultora::showRemoteState);
    // The MIDI input device is a preference: the listeners are offered
    // their values again.
    connect(&m_document, &ShowDocument::preferencesChanged, this, [this] {
        m_io.applyNetworkPreferences();
        m_io.setUpInputs();
    });
    // The I/O side follows the widgets once per change of the show.
    connect(&m_surface, &Surface::widgetsChanged, this, [this] { m_io.setUpInputs(); });
    connect(&m_document, &ShowDocument::backgroundChanged, this, [this] { m_io.setUpInputs(); });
    connect(&m_document, &ShowDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&m_document, &ShowDocument::currentFileChanged, this, [this] { showTitle(); });
    showTitle();

    m_recent.load();
    m_commands.createActions(this);
    m_edit->createActions(this, &m_commands.undo, &m_commands.redo);
    m_design->createActions(this, &m_commands.designMode, &m_commands.selectAll);
    m_commands.createMenus(this);
    for (const auto &[how, label] : DesignMode::arrangements()) {
        QAction *action = m_commands.arrangeMenu->addAction(label);
        connect(action, &QAction::triggered, this, [this, how = how] { m_design->arrange(how); });
    }
    // A command the menu triggered has run when the menu's queued close
    // arrives: Paste then knows it came from the menu.
    connect(m_commands.mainMenu, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, [this] { m_edit->menuClosed(); }); });
    m_commands.setLastSessionAvailable(QFileInfo::exists(m_files->lastSessionFile()));
    m_commands.updateRecentActions(m_recent.files());
    m_recent.setChangedCallback([this] { m_commands.updateRecentActions(m_recent.files()); });

    // The window has no menu bar: a new user learns where the commands are.
    if (!QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
             .value(QStringLiteral("menu_opened"))
             .toBool()) {
        m_menuHint = m_statusLine->addHint(menuHintText(), QStringLiteral("menuHint"));
    }
    // The lock, the framed control and the empty surface's hint follow the show.
    connect(&m_surface, &Surface::widgetsChanged, this, &Pultora::showState);
    connect(&m_document, &ShowDocument::contentReplaced, this, &Pultora::showState);
    connect(&m_document, &ShowDocument::controlsReordered, this, &Pultora::showState);
    connect(&m_document, &ShowDocument::preferencesChanged, this, &Pultora::showState);

    m_files->clear();

    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    startUp(args);
    // The web remote serves the show once it is there: this run's from the
    // command line, or else the user's.
    if (services.remote)
        m_remote.setRun(*services.remote);
    m_remote.setUserPreferences(usersettings::readPreferences());
    showState();
}

void Pultora::showRemoteState()
{
    QString text;
    if (m_remote.serving())
        text = tr("Remote: %1").arg(m_remote.clientCount());
    else if (m_remote.switchedOn())
        text = tr("Remote: off");
    QStringList tip = m_remote.addresses();
    tip.append(m_remote.state());
    tip.append(tr("Clients connected: %1").arg(m_remote.clientCount()));
    m_statusLine->showRemote(text, tip.join(QLatin1Char('\n')));
    if (m_remoteWindow) {
        m_remoteWindow->setAddresses(m_remote.addresses());
        m_remoteWindow->setClientCount(m_remote.clientCount());
        m_remoteWindow->setState(m_remote.serving() ? QString() : m_remote.state());
    }
}

void Pultora::showRemoteWindow()
{
    if (!m_remoteWindow)
        m_remoteWindow = new RemoteWindow(this);
    showRemoteState();
    m_remoteWindow->show();
    m_remoteWindow->raise();
    m_remoteWindow->activateWindow();
}

Pultora::~Pultora()
{
    qApp->removeEventFilter(this);
    // The controls' last events while they are deleted reach no design mode.
    m_design = nullptr;
    stopTriggerTimer();
    closeDialogs();
    // Written on every exit, whatever the user answered about saving.
    if (!m_lastSessionWritten)
        m_files->writeLastSession();
    // An end that reaches here is a clean one.
    if (!m_keepRecovery)
        m_files->removeRecovery();
    m_io.clear();
    delete m_commands.mainMenu;
    m_commands.mainMenu = nullptr;
    m_commands.disconnectAll();
}

void Pultora::startUp(const QStringList &args)
{
    m_sessions->adoptOldLastSession(QDir::current().filePath(appinfo::lastSessionFileName()));
    m_commands.setLastSessionAvailable(QFileInfo::exists(m_files->lastSessionFile()));
    // Restored changes take the place of the start file: the lights get the
    // values of one show only.
    if (m_unattended) {
        // Nobody to decide: the copies stay for the next start with a person.
        for (const SessionFiles::Recovery &copy : m_sessions->orphanedRecoveries()) {
            // This instance's own names: no copy of this run may replace it.
            m_keepRecovery = m_keepRecovery || !copy.lock;
            qCWarning(lcApp).noquote()
                << QStringLiteral("recovery copy %1 (of %2) left as it is: not restored unattended")
                       .arg(copy.copy, copy.originalFile.isEmpty() ? QStringLiteral("untitled")
                                                                   : copy.originalFile);
        }
    }
    if (m_unattended || !m_files->offerRecovery())
        m_files->startWith(args.size() > 1 ? args.at(1) : QString());
    startRecoveryCopies();
    // Without a show the start-up wait still applies.
    if (!m_io.showStarted())
        m_io.startShow(m_document, true,
                       [this](int seconds) { m_startupTimeout.run(seconds, this); });
    startTriggerTimer();
    setAcceptDrops(true);
    // Silent: reports only a newer version, and only when the user switched
    // the check on for this computer and someone is there to read it.
    if (!m_unattended)
        slotCheckForSoftwareUpdate(false);
}

void Pultora::sendOutput(const SettingDmxStruct &output, int value)
{
    showStatus(m_io.send(output, value), appinfo::STATUS_MS);
}

void Pultora::startTriggerTimer()
{
    if (m_triggerTimer)
        return;
    m_triggerTimer = new QTimer(this);
    connect(m_triggerTimer, SIGNAL(timeout()), this, SLOT(slotCheckTrigger()));
    m_triggerTimer->start(m_triggerInterval);
}

void Pultora::stopTriggerTimer()
{
    if (!m_triggerTimer)
        return;
    m_triggerTimer->stop();
    disconnect(m_triggerTimer, nullptr, this, nullptr);
    delete m_triggerTimer;
    m_triggerTimer = nullptr;
}

void Pultora::startRecoveryCopies()
{
    if (m_keepRecovery) {
        qCWarning(lcApp) << "no recovery copies this run: the one left before stays";
        return;
    }
    QTimer *timer = &m_recoveryTimer;
    const auto changed = [this] { m_recoveryDirty = true; };
    connect(&m_document, &ShowDocument::contentReplaced, timer, changed);
    connect(&m_document, &ShowDocument::controlsAdded, timer, changed);
    connect(&m_document, &ShowDocument::controlsRemoved, timer, changed);
    connect(&m_document, &ShowDocument::controlsChanged, timer, changed);
    connect(&m_document, &ShowDocument::controlsReordered, timer, changed);
    connect(&m_document, &ShowDocument::backgroundChanged, timer, changed);
    connect(&m_document, &ShowDocument::preferencesChanged, timer, changed);
    connect(&m_document, &ShowDocument::checksChanged, timer, changed);
    // Saved (or undone back to the file): nothing left to recover.
    connect(&m_document, &ShowDocument::modifiedChanged, timer, [this](bool modified) {
        m_recoveryDirty = modified;
        if (!modified)
            m_files->removeRecovery();
    });
    connect(timer, &QTimer::timeout, this, &Pultora::slotWriteRecovery);
    timer->start(m_recoveryInterval);
}

void Pultora::slotWriteRecovery()
{
    if (!m_document.isModified() || !m_recoveryDirty)
        return;
    if (m_files->writeRecovery())
        m_recoveryDirty = false;
}

QString Pultora::lastSessionFile() const
{
    return m_sessions->lastSessionPath();
}

QString Pultora::recoveryFile() const
{
    return m_sessions->recoveryPath();
}

bool Pultora::triggerTimerRunning() const
{
    return m_triggerTimer && m_triggerTimer->isActive();
}

void Pultora::closeDialogs()
{
    m_editor.close();
    m_settingsDialogs.closeAll();
    m_overview.close();
    m_consistency.closeAll();
}

void Pultora::showTitle()
{
    const QString path = m_document.currentFile();
    const QString shown = path.isEmpty() ? tr("untitled.ptra") : QFileInfo(path).fileName();
    setWindowTitle(tr("%1 %2.%3 - %4[*]")
                       .arg(appinfo::productName())
                       .arg(appinfo::VERSION_MAJOR)
                       .arg(appinfo::VERSION_MINOR)
                       .arg(shown));
}

void Pultora::setCurrentFile(const QString &path)
{
    m_document.setCurrentFile(path);
    if (QFileInfo::exists(path))
        m_recent.add(QFileInfo(path).absoluteFilePath());
}

void Pultora::setModified(bool modified, bool refreshOverview)
{
    Q_UNUSED(refreshOverview); // the overview refreshes itself once it exists
    if (modified)
        m_document.markUnsaved();
    else
        m_document.markSaved();
}

void Pultora::hideMenuHint()
{
    if (!m_menuHint)
        return;
    delete m_menuHint;
    m_menuHint = nullptr;
    QSettings(appinfo::settingsOrganisation(), appinfo::settingsApplication())
        .setValue(QStringLiteral("menu_opened"), true);
    update();
}

void Pultora::showState()
{
    m_statusLine->showLock(locked(), unlockTip());
    if (locked())
        m_targetFrame->frame(nullptr);
    else
        m_targetFrame->follow();
    const bool hint = m_document.controls().isEmpty() && !locked();
    if (hint != m_surfaceHintShown) {
        m_surfaceHintShown = hint;
        update();
    }
}

QString Pultora::unlockTip() const
{
    return tr("The screen is locked: %1 unlocks it")
        .arg(m_commands.lockScreen->shortcut().toString(QKeySequence::NativeText));
}

void Pultora::showStatus(const QString &text, int milliseconds)
{
    statusBar()->showMessage(text, milliseconds);
}

bool Pultora::maybeSave()
{
    return m_files->maybeSave();
}

void Pultora::openMainMenu(const QPoint &position, const QPoint &globalPosition)
{
    hideMenuHint();
    if (!m_edit->menuOpened(position)) {
        // Locked: counted as an attempt; the status line says why nothing opens.
        showStatus(unlockTip(), appinfo::STATUS_MS);
        return;
    }
    const bool hit = !m_edit->targets().isEmpty();
    for (QAction *action :
         {m_commands.edit, m_commands.move, m_commands.remove, m_commands.cut, m_commands.copy})
        action->setEnabled(hit);
    m_commands.paste->setEnabled(!m_document.clipboard().isEmpty());
    m_commands.selectAll->setEnabled(m_design->isOn());
    m_commands.arrangeMenu->setEnabled(m_design->isOn() && m_design->selection().size() > 1);
    m_commands.configAppend->setEnabled(!m_document.currentFile().isEmpty());
    m_commands.setLastSessionAvailable(QFileInfo::exists(m_files->lastSessionFile()));
    m_commands.mainMenu->popup(globalPosition);
}

// ---- overrides ------------------------------------------------------------

bool Pultora::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    // F1 in a window of its own (the editor, the preferences, ...) opens the
    // guide at that window's chapter; the console's own F1 is its Help
    // command.
    if (event->type() == QEvent::KeyPress && m_edit && widget && widget->window() != this &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        openGuide(widget->window());
        return true;
    }
    // Controls filter through the console until their very end, also while
    // the console's own parts are already gone.
    if (!m_edit || !widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    // A moving control follows the mouse over every widget of the surface.
    if (m_edit->moving() && m_edit->moveEvent(event))
        return true;
    // In design mode the controls see no mouse and no key.
    if (m_design && m_design->isOn() && m_design->filter(widget, event))
        return true;
    // Controls that have a menu of their own (spin boxes) or take no mouse
    // (LEDs) still open the console's menu.
    if (event->type() == QEvent::ContextMenu && widget != this) {
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        openMainMenu(widget->mapTo(this, menu->pos()), menu->globalPos());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Pultora::mousePressEvent(QMouseEvent *event)
{
    if (m_edit && m_edit->moving() && m_edit->moveEvent(event))
        return;
    QMainWindow::mousePressEvent(event);
}

void Pultora::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu) {
        openMainMenu(QPoint(0, 0), QPoint(0, 0));
        return;
    }
    if (event->key() == Qt::Key_Escape && m_targetFrame->isVisible()) {
        m_edit->dropTarget();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Pultora::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_surface.paintBackground(painter, event->rect());
    if (m_surfaceHintShown)
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, menuHintText());
}

void Pultora::resizeEvent(QResizeEvent *event)
{
    // Only a size the user chose is stored: the window's own resize to the
    // shown background size would otherwise lose the rounding of odd
    // stretch factors.
    const BackgroundStruct &bg = m_document.background();
    const QSize shown = stretch::shownSize(bg.size_x, bg.size_y, m_surface.stretch());
    if (event->size() != shown) {
        BackgroundStruct resized = bg;
        Surface::storeWindowSize(resized, event->size().width(), event->size().height());
        m_document.storeWindowSize(resized.size_x, resized.size_y);
    }
    QMainWindow::resizeEvent(event);
}

void Pultora::closeEvent(QCloseEvent *event)
{
    if (!m_quitConfirmed && !maybeSave()) {
        event->ignore();
        return;
    }
    closeDialogs();
    // While the window is still there to say it when it cannot.
    m_files->writeLastSession();
    m_lastSessionWritten = true;
    if (!m_keepRecovery)
        m_files->removeRecovery();
    event->accept();
}

void Pultora::offerReload(const QString &path)
{
    if (m_unattended) {
        if (!path.isEmpty())
            qCWarning(lcApp).noquote()
                << QStringLiteral("%1 changed on disk: not reloaded unattended").arg(path);
        return;
    }
    if (path.isEmpty()) {
        if (m_reloadOffer)
            m_reloadOffer->hide();
        return;
    }
    if (!m_reloadOffer) {
        m_reloadOffer = new QWidget(this);
        m_reloadOffer->setObjectName(QStringLiteral("reloadOffer"));
        auto *layout = new QHBoxLayout(m_reloadOffer);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(m_reloadOffer));
        auto *reload = new QPushButton(tr("Reload"), m_reloadOffer);
        reload->setFocusPolicy(Qt::NoFocus); // the keys stay with the controls
        reload->setToolTip(
            tr("Loads the file as it is now (%1)")
                .arg(m_commands.configReload->shortcut().toString(QKeySequence::NativeText)));
        connect(reload, &QPushButton::clicked, this, &Pultora::slotConfigReload);
        layout->addWidget(reload);
        statusBar()->addPermanentWidget(m_reloadOffer);
    }
    // Short: the status line beside it keeps its room in a narrow window.
    auto *label = m_reloadOffer->findChild<QLabel *>();
    label->setText(tr("Changed on disk"));
    m_reloadOffer->setToolTip(tr("%1 was changed by another program").arg(path));
    m_reloadOffer->show();
}

void Pultora::contextMenuEvent(QContextMenuEvent *event)
{
    openMainMenu(event->pos(), event->globalPos());
}

void Pultora::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() ||
        (m_design->isOn() && TypePalette::droppedType(event->mimeData())))
        event->acceptProposedAction();
}

void Pultora::dragMoveEvent(QDragMoveEvent *event)
{
    // Controls land on the surface, not on the status line.
    if (TypePalette::droppedType(event->mimeData()) &&
        event->position().toPoint().y() >= statusBar()->y())
        event->ignore();
    else
        event->acceptProposedAction();
}

void Pultora::dropEvent(QDropEvent *event)
{
    if (const std::optional<quint8> type = TypePalette::droppedType(event->mimeData())) {
        event->acceptProposedAction();
        m_design->create(*type, event->position().toPoint(),
                         usersettings::readPreferences().auto_patch);
        return;
    }
    if (!event->mimeData()->hasUrls())
        return;
    const QString path = event->mimeData()->urls().constFirst().toLocalFile();
    event->acceptProposedAction();
    m_files->drop(path);
}
