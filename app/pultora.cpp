#include "pultora.h"

#include "appinfo.h"
#include "configuration.h"
#include "consolehost.h"
#include "dmxslider.h"
#include "filecommands.h"
#include "prompter.h"
#include "stretch.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

Pultora::Pultora(QWidget *parent, int argc, char **argv, const QString &translationFile,
                 const QString &localeName, const ConsoleServices &services)
    : QMainWindow(parent), m_surface(this, &m_background),
      m_prompter(services.prompter ? services.prompter : std::make_shared<DialogPrompter>()),
      m_startupTimeout(services.waitOneSecond ? services.waitOneSecond : defaultSecondWaiter()),
      m_quit(services.quit ? services.quit : [] { QCoreApplication::quit(); }),
      m_host(std::make_unique<ConsoleHost>(*this)), m_files(std::make_unique<FileCommands>(*this))
{
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    setCurrentFile(QString());

    m_translationFile = translationFile;
    m_localeName = localeName;

    m_updateLink = appinfo::updateLink();
    m_helpLink = appinfo::helpLink();
    m_triggerInterval = appinfo::TRIGGER_INTERVAL_MS;

    resetConsistenceCheck(&m_checks);
    resetPreferences(&m_preferences);
    resetBackground(&m_background);
    resetSetting(&m_editRecord);

    m_recent.load();

    m_commands.createActions(this);
    m_commands.createMenus(this);
    m_commands.updateRecentActions(m_recent.files());

    slotConfigNew();

    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    startUp(args);
}

Pultora::~Pultora()
{
    qApp->removeEventFilter(this);
    stopTriggerTimer();
    closeDialogs();
    m_clipboard.reset();
    // Written on every exit, whatever the user answered about saving.
    m_files->writeLastSession();
    m_surface.clear();
    clearOutputs();
    delete m_commands.mainMenu;
    m_commands.mainMenu = nullptr;
    m_commands.disconnectAll();
}

void Pultora::startUp(const QStringList &args)
{
    if (args.size() > 1) {
        // A file the user named: its error is the only message.
        m_files->load(args.at(1), false, false);
    } else if (!m_files->load(appinfo::defaultConfigFileName(), false, false)) {
        const QString question =
            tr("The file %1 could not be read!\nDo you want to create a default configuration?")
                .arg(appinfo::defaultConfigFileName());
        if (m_prompter->ask(this, QMessageBox::Question, appinfo::productName(), question,
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                            QMessageBox::No) == QMessageBox::Yes)
            m_files->load(defaultConfigurationText(), true, false);
    }
    runStartupTimeout();
    sendInitialValues(m_preferences.startup_dmxsend_later);
    startTriggerTimer();
    setAcceptDrops(true);
}

void Pultora::runStartupTimeout()
{
    combineStartupSettings(m_background, m_preferences);
    m_startupTimeout.run(m_preferences.startup_timeout, this);
}

void Pultora::sendInitialValues(bool storeOnly)
{
    m_io.sendInitialValues(m_surface.controls(), storeOnly, m_preferences);
}

void Pultora::sendOutput(const SettingDmxStruct &output, int value)
{
    showStatus(m_io.send(output, value, m_preferences), appinfo::STATUS_MS);
}

void Pultora::clearOutputs()
{
    m_io.clear();
}

void Pultora::setUpDmxIn()
{
    stopTriggerTimer();
    m_io.setUpInputs(m_surface.controls(), m_background);
    startTriggerTimer();
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

bool Pultora::triggerTimerRunning() const
{
    return m_triggerTimer && m_triggerTimer->isActive();
}

void Pultora::closeDialogs()
{
    // The dialogs arrive with the editing commands.
}

void Pultora::setCurrentFile(const QString &path)
{
    m_currentFile = path;
    const QString shown = path.isEmpty() ? tr("untitled.ptra") : QFileInfo(path).fileName();
    setWindowTitle(tr("%1 %2.%3 - %4[*]")
                       .arg(appinfo::productName())
                       .arg(appinfo::VERSION_MAJOR)
                       .arg(appinfo::VERSION_MINOR)
                       .arg(shown));
    if (!path.isEmpty()) {
        // A file named relative to the working folder (the command line,
        // the built-in default) must still be found from the recent list
        // after the program was started somewhere else.
        m_recent.add(QFileInfo(path).absoluteFilePath());
        m_commands.updateRecentActions(m_recent.files());
    }
}

void Pultora::setModified(bool modified, bool refreshOverview)
{
    setWindowModified(modified);
    Q_UNUSED(refreshOverview); // the overview refreshes itself once it exists
}

void Pultora::showStatus(const QString &text, int milliseconds)
{
    statusBar()->showMessage(text, milliseconds);
}

bool Pultora::maybeSave()
{
    if (!isWindowModified())
        return true;
    switch (m_prompter->ask(
        this, QMessageBox::Warning, appinfo::productName(),
        tr("The configuration has been modified!\nDo you want to save the changes?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return slotConfigSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void Pultora::openMainMenu(const QPoint &position, const QPoint &globalPosition)
{
    if (locked())
        return; // counting lock attempts arrives with the screen lock
    m_lastMenuPosition = position;
    const bool hit = m_surface.hitTest(position) != nullptr;
    for (QAction *action :
         {m_commands.edit, m_commands.move, m_commands.remove, m_commands.cut, m_commands.copy})
        action->setEnabled(hit);
    m_commands.paste->setEnabled(m_clipboard != nullptr);
    m_commands.configAppend->setEnabled(!m_currentFile.isEmpty());
    m_commands.mainMenu->popup(globalPosition);
}

// ---- overrides ------------------------------------------------------------

bool Pultora::eventFilter(QObject *watched, QEvent *event)
{
    // Move mode and context clicks on LEDs and spin boxes arrive with the
    // editing commands.
    return QMainWindow::eventFilter(watched, event);
}

void Pultora::mousePressEvent(QMouseEvent *event)
{
    QMainWindow::mousePressEvent(event);
}

void Pultora::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu) {
        openMainMenu(QPoint(0, 0), QPoint(0, 0));
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Pultora::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_surface.paintBackground(painter, event->rect());
}

void Pultora::resizeEvent(QResizeEvent *event)
{
    // Only a size the user chose is stored: the window's own resize to the
    // shown background size would otherwise lose the rounding of odd
    // stretch factors.
    const QSize shown =
        stretch::shownSize(m_background.size_x, m_background.size_y, m_surface.stretch());
    if (event->size() != shown)
        Surface::storeWindowSize(m_background, event->size().width(), event->size().height());
    QMainWindow::resizeEvent(event);
}

void Pultora::closeEvent(QCloseEvent *event)
{
    if (!m_quitConfirmed && !maybeSave()) {
        event->ignore();
        return;
    }
    closeDialogs();
    event->accept();
}

void Pultora::contextMenuEvent(QContextMenuEvent *event)
{
    openMainMenu(event->pos(), event->globalPos());
}

void Pultora::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Pultora::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    const QString path = event->mimeData()->urls().constFirst().toLocalFile();
    event->acceptProposedAction();
    m_files->openFile(path);
}
