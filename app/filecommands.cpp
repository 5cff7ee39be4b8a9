#include "app/filecommands.h"

#include "app/appinfo.h"
#include "app/loadprogress.h"
#include "app/prompter.h"
#include "app/recentfiles.h"
#include "app/sessionfiles.h"
#include "app/showloader.h"
#include "dialogs/importforeigngui.h"
#include "doc/documentation.h"
#include "io/texthelpers.h"
#include "model/configfile.h"
#include "model/showcommands.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLibrary>
#include <QProgressDialog>
#include <QUrl>
#include <QWidget>

namespace
{

QString configFilter()
{
    return QCoreApplication::translate("Pultora", "Pultora XML Files (*.ptra);; All Files (*.*)");
}

// Seconds the user has to bring the other program to the front.
constexpr int IMPORT_COUNTDOWN_S = 10;

// Ends the progress of a load (its dialog goes) however the load ends.
class ProgressScope
{
public:
    explicit ProgressScope(LoadProgress *progress) : m_progress(progress) {}
    ~ProgressScope()
    {
        if (m_progress)
            m_progress->finish();
    }
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;

private:
    LoadProgress *m_progress;
};

QString absolute(const QString &path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

// True when the file at `path` holds at least one control element.
bool holdsControls(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle("<control");
    QByteArray tail;
    while (!file.atEnd()) {
        const QByteArray chunk = tail + file.read(1 << 16);
        if (chunk.contains(needle))
            return true;
        tail = chunk.right(needle.size());
    }
    return false;
}

} // namespace

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return stamp;
    stamp.exists = true;
    stamp.size = file.size();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    stamp.hash = hash.result();
    return stamp;
}

bool FileStamp::changedOnDisk(const QString &path) const
{
    const FileStamp now = of(path);
    return now.exists && (!exists || now.size != size || now.hash != hash);
}

FileCommands::FileCommands(ShowDocument &document, FileServices services)
    : m_document(document), m_services(std::move(services)),
      m_watcher(std::make_unique<QFileSystemWatcher>())
{
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, m_watcher.get(),
                     [this] { currentFileChanged(); });
}

FileCommands::~FileCommands() = default;

void FileCommands::stampCurrentFile()
{
    const QString path = m_document.currentFile();
    m_stampedPath = absolute(path);
    m_stamp = path.isEmpty() ? FileStamp() : FileStamp::of(path);
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (m_stamp.exists)
        m_watcher->addPath(path);
    if (m_services.offerReload)
        m_services.offerReload(QString());
}

void FileCommands::currentFileChanged()
{
    const QString path = m_document.currentFile();
    if (path.isEmpty() || absolute(path) != m_stampedPath)
        return;
    // Editors save by writing a new file over the old one: watch that one.
    if (!m_watcher->files().contains(path) && QFileInfo::exists(path))
        m_watcher->addPath(path);
    // With unsaved edits the next save asks instead.
    if (!m_stamp.changedOnDisk(path) || m_document.isModified())
        return;
    qCInfo(lcApp) << path << "was changed by another program";
    if (m_services.offerReload)
        m_services.offerReload(path);
}

std::optional<bool> FileCommands::checkOverwrite(const QString &path)
{
    if (m_stampedPath.isEmpty() || absolute(path) != m_stampedPath || !m_stamp.changedOnDisk(path))
        return std::nullopt;
    const QMessageBox::StandardButton answer = m_services.prompter->askNamed(
        m_services.window, QMessageBox::Warning, appinfo::productName(),
        tr("The file %1 was changed by another program after it was opened here.\n"
           "Overwrite those changes, save this configuration under another name, or cancel?")
            .arg(path),
        {{QMessageBox::Save, tr("Overwrite")},
         {QMessageBox::SaveAll, tr("Save As...")},
         {QMessageBox::Cancel, tr("Cancel")}},
        QMessageBox::SaveAll, QMessageBox::Cancel);
    switch (answer) {
    case QMessageBox::Save:
        return std::nullopt;
    case QMessageBox::SaveAll:
        return saveAs();
    default:
        status(tr("Not saved: %1 was changed by another program").arg(path));
        return false;
    }
}

void FileCommands::status(const QString &text) const
{
    if (m_services.showStatus)
        m_services.showStatus(text);
}

bool FileCommands::locked() const
{
    return m_document.preferences().lock_screen;
}

ConfigurationSource FileCommands::configurationSource() const
{
    ConfigurationSource source;
    source.checks = &m_document.checks();
    source.preferences = &m_document.preferences();
    source.background = &m_document.background();
    source.controls.reserve(m_document.controls().size());
    for (const SettingStruct &r : m_document.controls())
        source.controls.append(&r);
    source.languageCall = m_services.localeName;
    source.languageFile = m_services.translationFile;
    // Devices are stored by name; ask the MIDI system only when one is chosen.
    const PreferencesStruct &prefs = m_document.preferences();
    if ((prefs.midi_device_out || prefs.midi_device_in) && m_services.midiDevices)
        source.midiDevices = m_services.midiDevices();
    return source;
}

bool FileCommands::writeFile(const QString &path, bool makeCurrent)
{
    if (const std::optional<bool> handled = checkOverwrite(path))
        return *handled;
    QString backup;
    if (!m_unloadable.isEmpty() && absolute(path) == m_unloadable && QFile::exists(path)) {
        // The file could not be loaded: the user may still want what is in it.
        backup = path + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(path, backup)) {
            m_services.prompter->tell(
                m_services.window, QMessageBox::Warning, appinfo::productName(),
                tr("The file %1 could not be written!\n%2.")
                    .arg(path, tr("The unreadable file could not be kept as %1").arg(backup)));
            return false;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written =
        writeConfigurationFile(path, writeConfiguration(configurationSource(), path), &error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        qCWarning(lcApp) << "cannot write" << path << error;
        m_services.prompter->tell(m_services.window, QMessageBox::Warning, appinfo::productName(),
                                  tr("The file %1 could not be written!\n%2.").arg(path, error));
        return false;
    }
    if (!backup.isEmpty()) {
        m_unloadable.clear();
        status(tr("File %1 has been saved; the file that could not be read was kept as %2")
                   .arg(path, backup));
    } else {
        status(tr("File %1 has been saved").arg(path));
    }
    if (makeCurrent) {
        m_document.setCurrentFile(path);
        m_document.markSaved();
        m_services.recent->add(absolute(path));
    }
    if (makeCurrent || absolute(path) == m_stampedPath)
        stampCurrentFile();
    return true;
}

bool FileCommands::writeLastSession()
{
    const QString path = lastSessionFile();
    QString error = m_services.sessions ? m_services.sessions->error() : QString();
    if (!path.isEmpty()) {
        // An empty untitled console (a start answered No) is no session
        // worth more than the one the last run left.
        if (m_document.controls().isEmpty() && m_document.currentFile().isEmpty() &&
            !QFileInfo(path).isSymLink() && holdsControls(path)) {
            qCDebug(lcApp) << "last session kept: the console is empty";
            return true;
        }
        // Not through writeFile: the file is the console's, not the user's.
        if (SessionFiles::writeShow(path, writeConfiguration(configurationSource(), path), &error))
            return true;
    }
    const QString shown = path.isEmpty() ? appinfo::lastSessionFileName() : path;
    qCWarning(lcApp) << "cannot write" << shown << error;
    m_services.prompter->tell(m_services.window, QMessageBox::Warning, appinfo::productName(),
                              tr("The file %1 could not be written!\n%2.").arg(shown, error));
    return false;
}

QString FileCommands::lastSessionFile() const
{
    return m_services.sessions ? m_services.sessions->lastSessionPath() : QString();
}

void FileCommands::openLastSession()
{
    const QString path = lastSessionFile();
    if (locked() || !QFileInfo::exists(path) || !maybeSave())
        return;
    openUnsaved(path, QString(), tr("Open Last Session"));
}

bool FileCommands::writeRecovery()
{
    SessionFiles *sessions = m_services.sessions;
    if (!sessions)
        return false;
    const QString path = sessions->recoveryPath();
    QString error = sessions->error();
    if (path.isEmpty() || !sessions->writeRecovery(writeConfiguration(configurationSource(), path),
                                                   absolute(m_document.currentFile()), &error)) {
        qCWarning(lcApp) << "cannot write the recovery copy" << path << error;
        status(tr("The recovery copy %1 could not be written: %2").arg(path, error));
        return false;
    }
    return true;
}

void FileCommands::removeRecovery()
{
    if (m_services.sessions)
        m_services.sessions->removeRecovery();
}

bool FileCommands::offerRecovery()
{
    if (!m_services.sessions)
        return false;
    for (const SessionFiles::Recovery &copy : m_services.sessions->orphanedRecoveries()) {
        const QString name =
            copy.originalFile.isEmpty() ? tr("untitled") : QFileInfo(copy.originalFile).fileName();
        const QString question =
            tr("Restore the unsaved changes of %1 from %2?")
                .arg(name, copy.written.toLocalTime().toString(QStringLiteral("HH:mm")));
        if (m_services.prompter->ask(m_services.window, QMessageBox::Question,
                                     appinfo::productName(), question,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                     QMessageBox::No) != QMessageBox::Yes) {
            SessionFiles::remove(copy);
            continue;
        }
        // A copy that cannot be read stays for another try; the loader said why.
        if (!openUnsaved(copy.copy, copy.originalFile, tr("Restore %1").arg(name)))
            continue;
        // Another console's copy becomes this one's.
        if (copy.lock && writeRecovery())
            SessionFiles::remove(copy);
        status(tr("The unsaved changes of %1 were restored").arg(name));
        return true;
    }
    return false;
}

bool FileCommands::openUnsaved(const QString &source, const QString &currentFile,
                               const QString &commandText)
{
    const ProgressScope progress(m_services.progress);
    LoadedShow loaded;
    if (!load(source, false, false, &loaded))
        return false;
    loaded.currentFile = currentFile;
    loaded.modified = true;
    if (!replaceWith(loaded, commandText))
        return false;
    if (m_services.started)
        m_services.started(true);
    return true;
}

bool FileCommands::load(const QString &source, bool fromText, bool append, LoadedShow *loaded,
                        bool createControls)
{
    ShowContent base;
    if (append) {
        base = m_document.content();
    } else {
        // A new show keeps the preferences; everything else starts afresh.
        base.preferences = m_document.preferences();
    }
    LoadOptions options;
    options.fromText = fromText;
    options.append = append;
    options.createControls = createControls;
    options.existingControls = append ? int(m_document.controls().size()) : 0;
    ShowLoader loader(*m_services.prompter, m_services.window, m_services.progress,
                      m_services.midiDevices);
    return loader.load(source, options, base, loaded);
}

bool FileCommands::replaceWith(const LoadedShow &loaded, const QString &commandText)
{
    LoadProgress *progress = m_services.progress;
    if (m_services.replacing)
        m_services.replacing();
    m_document.push(new ReplaceShow(m_document, loaded.content, commandText));
    const bool cancelled = progress && progress->cancelled();
    // The load is over: its dialog goes before any start-up wait.
    if (progress)
        progress->finish();
    if (cancelled) {
        // The previous show comes back whole: its rebuild cannot be cancelled.
        if (progress)
            progress->setQuiet(true);
        m_document.undoStack().undo();
        if (progress)
            progress->setQuiet(false);
        m_document.clearHistory();
        if (m_services.replaced)
            m_services.replaced(false);
        status(tr("Loading cancelled"));
        return false;
    }
    m_document.clearHistory();
    if (m_services.replaced)
        m_services.replaced(true);
    m_document.setCurrentFile(loaded.currentFile);
    stampCurrentFile();
    if (loaded.modified || loaded.droppedControls)
        m_document.markUnsaved();
    else
        m_document.markSaved();
    status(loaded.status);
    if (m_services.checkLoaded)
        m_services.checkLoaded();
    return true;
}

void FileCommands::clear()
{
    ShowContent empty;
    empty.preferences = m_document.preferences();
    if (m_services.replacing)
        m_services.replacing();
    m_document.push(new ReplaceShow(m_document, empty, tr("New")));
    m_document.clearHistory();
    if (m_services.replaced)
        m_services.replaced(true);
    m_document.setCurrentFile(QString());
    stampCurrentFile();
    m_document.markSaved();
    status(tr("Clear All Settings"));
}

bool FileCommands::openFile(QString path)
{
    const ProgressScope progress(m_services.progress);
    LoadedShow loaded;
    if (!load(path, false, false, &loaded)) {
        if (QFileInfo(path).isFile())
            m_unloadable = absolute(path);
        return false;
    }
    if (!replaceWith(loaded, tr("Open %1").arg(QFileInfo(path).fileName())))
        return false;
    m_unloadable.clear();
    m_services.recent->add(absolute(path));
    m_services.recent->rememberFolder(RecentFiles::ConfigFolder, QFileInfo(path).absolutePath());
    if (m_services.started)
        m_services.started(true);
    return true;
}

bool FileCommands::loadBuiltInDefault()
{
    const ProgressScope progress(m_services.progress);
    LoadedShow loaded;
    if (!load(defaultConfigurationText(), true, false, &loaded) ||
        !replaceWith(loaded, tr("Default Configuration")))
        return false;
    // Only a file that exists belongs in the recent list.
    if (QFileInfo::exists(loaded.currentFile))
        m_services.recent->add(absolute(loaded.currentFile));
    if (m_services.started)
        m_services.started(true);
    return true;
}

bool FileCommands::appendFile(const QString &path)
{
    const ProgressScope progress(m_services.progress);
    LoadedShow loaded;
    if (!load(path, false, true, &loaded))
        return false;
    appendLoaded(loaded, tr("Append %1").arg(QFileInfo(path).fileName()));
    if (m_services.started)
        m_services.started(false);
    return true;
}

void FileCommands::appendLoaded(const LoadedShow &loaded, const QString &commandText)
{
    m_document.push(new AppendShow(m_document, loaded.added, loaded.content, commandText));
    if (m_services.progress)
        m_services.progress->finish();
    if (loaded.modified || loaded.droppedControls)
        m_document.markUnsaved();
    status(loaded.status);
    if (m_services.checkLoaded)
        m_services.checkLoaded();
}

void FileCommands::startWith(const QString &path)
{
    if (!path.isEmpty()) {
        // A file the user named: its error is the only message.
        openFile(path);
        return;
    }
    const QString defaultFile = appinfo::defaultConfigFileName();
    // A default file that is not there is no error: only the question.
    if (QFileInfo::exists(defaultFile) && openFile(defaultFile))
        return;
    const QString question =
        tr("The file %1 could not be read!\nDo you want to create a default configuration?")
            .arg(defaultFile);
    if (m_services.prompter->ask(m_services.window, QMessageBox::Question, appinfo::productName(),
                                 question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                 QMessageBox::No) == QMessageBox::Yes)
        loadBuiltInDefault();
}

bool FileCommands::maybeSave()
{
    if (!m_document.isModified())
        return true;
    switch (m_services.prompter->ask(
        m_services.window, QMessageBox::Warning, appinfo::productName(),
        tr("The configuration has been modified!\nDo you want to save the changes?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::open()
{
    if (locked() || !maybeSave())
        return;
    const QString path = m_services.prompter->openFileName(
        m_services.window, tr("Choose a File to Open"),
        m_services.recent->readFolder(RecentFiles::ConfigFolder), configFilter());
    if (!path.isEmpty())
        openFile(path);
}

void FileCommands::reload()
{
    if (locked() || !maybeSave())
        return;
    // A copy: the load replaces the current file name.
    const QString path = m_document.currentFile();
    if (path.isEmpty()) {
        const QString chosen = m_services.prompter->openFileName(
            m_services.window, tr("Choose a File to Open"),
            m_services.recent->readFolder(RecentFiles::ConfigFolder), configFilter());
        if (!chosen.isEmpty())
            openFile(chosen);
        return;
    }
    openFile(path);
}

void FileCommands::openRecent(const QString &path)
{
    if (locked() || path.isEmpty() || !maybeSave())
        return;
    openFile(path);
}

void FileCommands::drop(const QString &path)
{
    if (locked()) {
        status(tr("The console is locked: %1 was not opened").arg(path));
        return;
    }
    if (!maybeSave())
        return;
    openFile(path);
}

void FileCommands::append()
{
    if (locked())
        return;
    const QString path = m_services.prompter->openFileName(
        m_services.window, tr("Choose a File to Append"),
        m_services.recent->readFolder(RecentFiles::ConfigFolder), configFilter());
    if (!path.isEmpty())
        appendFile(path);
}

QString FileCommands::proposedName(const QString &suffix) const
{
    return m_services.recent->readFolder(RecentFiles::ConfigFolder) +
           sanitizeFileName(m_document.preferences().project_name) + suffix +
           QStringLiteral(".ptra");
}

QString FileCommands::withExtension(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".ptra");
}

bool FileCommands::save()
{
    // Saving to the current file works on a locked console too.
    if (!m_document.currentFile().isEmpty())
        return writeFile(m_document.currentFile(), true);
    return saveAs();
}

bool FileCommands::saveAs()
{
    if (locked())
        return false;
    const QString path = withExtension(m_services.prompter->saveFileName(
        m_services.window, tr("Save File"), proposedName(QString()), configFilter()));
    if (path.isEmpty() || !writeFile(path, true))
        return false;
    m_services.recent->rememberFolder(RecentFiles::ConfigFolder, QFileInfo(path).absolutePath());
    return true;
}

bool FileCommands::saveCopy()
{
    if (locked())
        return false;
    const QString path = withExtension(m_services.prompter->saveFileName(
        m_services.window, tr("Save Copy of File"), proposedName(tr("_Copy")), configFilter()));
    if (path.isEmpty() || !writeFile(path, false))
        return false;
    m_services.recent->rememberFolder(RecentFiles::ConfigFolder, QFileInfo(path).absolutePath());
    return true;
}

bool FileCommands::importCountdown()
{
    const QString label =
        tr("Import in %2 seconds (%1 passed): bring the window to import to the front");
    QProgressDialog progress(label.arg(0).arg(IMPORT_COUNTDOWN_S), tr("Cancel"), 0,
                             IMPORT_COUNTDOWN_S, m_services.window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    for (int i = 0; i < IMPORT_COUNTDOWN_S; ++i) {
        if (progress.wasCanceled())
            break;
        progress.setLabelText(label.arg(i).arg(IMPORT_COUNTDOWN_S));
        progress.setValue(i);
        if (m_services.waitOneSecond)
            m_services.waitOneSecond(&progress);
    }
    const bool cancelled = progress.wasCanceled();
    progress.setValue(IMPORT_COUNTDOWN_S);
    return !cancelled;
}

bool FileCommands::importAgreed(bool withControls)
{
    const QString what = withControls ? tr("the controls and the background")
                                      : tr("the background", "what the import takes");
    const QString library = ImportForeignGui::findLibrary(importFolders());
    const QString intro =
        tr("Import takes %1 of another program's window through the import "
           "library %2, which does not come with %3.")
            .arg(what, ImportForeignGui::libraryFileName(), appinfo::productName());
    auto refuse = [&](const QString &why) {
        m_services.prompter->tell(m_services.window, QMessageBox::Warning, appinfo::productName(),
                                  intro + QStringLiteral("\n\n") + why);
        return false;
    };
    if (library.isEmpty())
        return refuse(tr("The library is not installed on this computer (looked in %1).")
                          .arg(importFolders().join(QStringLiteral(", "))));
    if (m_services.prompter->ask(
            m_services.window, QMessageBox::Question, appinfo::productName(),
            intro + QStringLiteral("\n\n") +
                tr("After Yes you have %1 seconds to bring that window to the front. Import "
                   "now?")
                    .arg(IMPORT_COUNTDOWN_S),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
            QMessageBox::No) != QMessageBox::Yes)
        return false;
    // Loaded only now: a library runs code as it loads, and the user has
    // not asked for that before Yes. One that does not load stops the
    // import before the countdown.
    QLibrary loader(library);
    if (!loader.load())
        return refuse(tr("The library %1 cannot be loaded: %2").arg(library, loader.errorString()));
    loader.unload();
    return true;
}

QStringList FileCommands::importFolders() const
{
    return m_services.importFolders.isEmpty() ? ImportForeignGui::defaultLibraryFolders()
                                              : m_services.importFolders;
}

void FileCommands::importForeignGui(bool withControls)
{
    if (locked() || !importAgreed(withControls) || !importCountdown())
        return;
    QString text, reason, backupError;
    {
        ImportForeignGui importer(m_services.window, importFolders());
        importer.fetchImportString(text);
        reason = importer.message();
        backupError = importer.backupError();
    }
    if (QWidget *window = m_services.window) {
        window->show();
        window->activateWindow();
        window->raise();
    }
    if (text.isEmpty()) {
        const QString empty = tr("The import found nothing to import.");
        m_services.prompter->tell(m_services.window, QMessageBox::Critical, appinfo::productName(),
                                  reason.isEmpty() ? empty : reason + QLatin1Char('\n') + empty);
        status(empty);
        return;
    }
    // The import goes on without its backup; the user hears of it.
    const QString backupNote = backupError.isEmpty()
                                   ? QString()
                                   : tr("The import backup %1 could not be written: %2")
                                         .arg(ImportForeignGui::backupFileName(), backupError);
    if (!backupNote.isEmpty())
        status(backupNote);

    const auto ask = [this](const QString &question) {
        return m_services.prompter->ask(m_services.window, QMessageBox::Question,
                                        appinfo::productName(), question,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                        QMessageBox::Yes, QMessageBox::Cancel);
    };
    switch (ask(tr("Save the current configuration before the import?"))) {
    case QMessageBox::Yes:
        // Without the file saved, clearing next would lose the show.
        if (!saveAs())
            return;
        break;
    case QMessageBox::No:
        break;
    default:
        return;
    }
    const QMessageBox::StandardButton clear = ask(
        tr("Clear the current configuration before the import? (No: the import is added to it)"));
    if (clear != QMessageBox::Yes && clear != QMessageBox::No)
        return;

    const ProgressScope progress(m_services.progress);
    LoadedShow loaded;
    const bool append = clear == QMessageBox::No;
    if (!load(text, true, append, &loaded, withControls))
        return;
    if (append) {
        appendLoaded(loaded, tr("Import"));
    } else {
        // An imported show has no file yet: Save asks for one.
        loaded.currentFile.clear();
        loaded.modified = true;
        if (!replaceWith(loaded, tr("Import")))
            return;
    }
    if (!backupNote.isEmpty())
        status(backupNote);
}

void FileCommands::documentation()
{
    if (locked())
        return;
    // The window as the user sees it, before a dialog covers it.
    const QImage picture = m_services.window ? m_services.window->grab().toImage() : QImage();
    const QString project = sanitizeFileName(m_document.preferences().project_name);
    QString path = m_services.prompter->saveFileName(
        m_services.window, tr("Save File"),
        m_services.recent->readFolder(RecentFiles::DocumentationFolder) +
            (project.isEmpty() ? tr("Documentation.html")
                               : tr("Documentation_%1.html").arg(project)),
        tr("Pultora Html Files (*.html);; All Files (*.*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".html");

    DocumentationSource source;
    source.configuration = configurationSource();
    const QString current = m_document.currentFile();
    // The download keeps the show's file name; an untitled show is named
    // as Save would propose.
    source.configurationName = !current.isEmpty()  ? QFileInfo(current).fileName()
                               : project.isEmpty() ? tr("untitled.ptra")
                                                   : project + QStringLiteral(".ptra");
    source.programVersion =
        QStringLiteral("v%1.%2").arg(appinfo::VERSION_MAJOR).arg(appinfo::VERSION_MINOR);
    source.created = QDateTime::currentDateTime();
    source.windowPicture = picture;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written = writeDocumentation(source, path, &error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_services.prompter->tell(m_services.window, QMessageBox::Warning, appinfo::productName(),
                                  tr("Cannot write file %1:\n%2.").arg(path, error));
        return;
    }
    m_services.recent->rememberFolder(RecentFiles::DocumentationFolder,
                                      QFileInfo(path).absolutePath());
    status(tr("Documentation File %1 saved").arg(path));
    const QUrl address = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (m_services.openUrl)
        m_services.openUrl(address);
    else
        QDesktopServices::openUrl(address);
}
