// The configuration file commands of the console: new, open, reload,
// append, save (always through an atomic write), the last-session file and
// the recovery copy (sessionfiles.h), the import of a foreign interface and
// the documentation of the show.
// They read files through the ShowLoader and change the show only by
// pushing one command on the document; questions and file choosers go
// through the Prompter.
//
// Promises:
// - a load that fails, is refused or cancelled leaves the show, its file
//   name, its modified state and what it sends as they were;
// - once another show replaced it, no value of the show before leaves again,
//   and its universes stop being sent;
// - a question answered Cancel cancels the whole command;
// - a file that existed but could not be loaded is kept as NAME.bak before
//   anything is saved over it;
// - an import whose "save first" Save As is cancelled or fails imports
//   nothing;
// - an untitled empty console never replaces a last session holding controls;
// - a save never overwrites, unasked, a current file that another program
//   changed since it was loaded or saved here; a change made while the show
//   holds no unsaved edit is offered for reload, never with a modal box.
#pragma once

#include "app/startup.h"
#include "model/configuration.h"
#include "model/showdocument.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class LoadProgress;
class QFileSystemWatcher;
class Prompter;
class QUrl;
class QWidget;
class RecentFiles;
class SessionFiles;
struct LoadedShow;

// What the file commands use of the console.
struct FileServices {
    QWidget *window = nullptr;
    Prompter *prompter = nullptr;
    RecentFiles *recent = nullptr;
    // This console's last session and recovery copy; null: none.
    SessionFiles *sessions = nullptr;
    LoadProgress *progress = nullptr;
    std::function<void(const QString &)> showStatus;
    // Another show is about to take the document's place (New, Open,
    // Reload, import); `replaced` follows, true when it did (nothing of the
    // show before may leave again), false when the load was cancelled and
    // the show before is back.
    std::function<void()> replacing;
    std::function<void(bool done)> replaced;
    // The show was loaded: wait (withTimeout) and send its first values.
    std::function<void(bool withTimeout)> started;
    // The document holds a loaded show: check it, reporting only findings.
    std::function<void()> checkLoaded;
    std::function<MidiDeviceNames()> midiDevices;
    QString localeName;
    QString translationFile;
    // One second of the import countdown.
    SecondWaiter waitOneSecond;
    // Folders the import library is taken from; empty: the program's
    // folder and the system library folders.
    QStringList importFolders;
    // Shows a written documentation (the user's browser).
    std::function<bool(const QUrl &)> openUrl;
    // The current file was changed by another program while the show holds
    // no unsaved edit: offer to reload it (the path), or take the offer
    // back (empty).
    std::function<void(const QString &path)> offerReload;
};

// What a file held when the console last read or wrote it.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QByteArray hash;

    static FileStamp of(const QString &path);
    // Another program changed the file (a file that is gone counts as
    // unchanged: writing it loses nothing).
    bool changedOnDisk(const QString &path) const;
};

class FileCommands
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    FileCommands(ShowDocument &document, FileServices services);
    ~FileCommands();

    // Everything the document writer needs.
    ConfigurationSource configurationSource() const;

    // Writes the show to `path`. A failure shows "The file %1 could not be
    // written!" with the system's reason and returns false, leaving an
    // existing file as it was. With makeCurrent the file becomes the
    // current one and the show counts as saved.
    bool writeFile(const QString &path, bool makeCurrent);
    // Writes this console's last-session file in the user's data folder;
    // says so when it cannot.
    bool writeLastSession();
    // This console's last-session file; empty when it keeps none.
    QString lastSessionFile() const;
    // Opens the last session as an untitled modified show (the file is the
    // console's own and is written again at the end): Save asks for a name.
    void openLastSession();

    // Writes the recovery copy of the show, remembering its file; shows a
    // status when it cannot.
    bool writeRecovery();
    void removeRecovery();
    // Offers each recovery copy a console left when it did not end cleanly,
    // newest first: Yes restores it as a modified show named like the file
    // it belongs to (Save writes that file) and ends the offer; No removes
    // it. True when one was restored.
    bool offerRecovery();

    // Start-up: the named file, or the default file offering the built-in
    // configuration.
    void startWith(const QString &path);

    // Asks to save a modified show; true when the caller may discard it.
    bool maybeSave();

    void clear();
    void open();
    void reload();
    void openRecent(const QString &path);
    // A file dropped on the window.
    void drop(const QString &path);
    void append();
    bool save();
    bool saveAs();
    bool saveCopy();
    // After a cancellable countdown, takes the document of the import
    // library and loads it, with its controls or only its background,
    // replacing or adding to the show as the user answers.
    void importForeignGui(bool withControls);
    // Writes the documentation of the show with a picture of the window to
    // a file the user chooses and opens it in the browser.
    void documentation();

    // Replaces the show with a file (no question asked); false when it
    // could not be loaded.
    bool openFile(QString path);
    bool appendFile(const QString &path);
    bool loadBuiltInDefault();

private:
    bool locked() const;
    QString proposedName(const QString &suffix) const;
    bool load(const QString &source, bool fromText, bool append, LoadedShow *loaded,
              bool createControls = true);
    // Remembers what the current file holds now and watches it.
    void stampCurrentFile();
    void currentFileChanged();
    // Before writing `path`: when it is the current file and another
    // program changed it, asks. Empty: go on writing (unchanged, or the
    // answer Overwrite); otherwise the save is over with this result (the
    // answers Save As... and Cancel).
    std::optional<bool> checkOverwrite(const QString &path);
    bool replaceWith(const LoadedShow &loaded, const QString &commandText);
    // Loads `source` as a modified show whose file is `currentFile`.
    bool openUnsaved(const QString &source, const QString &currentFile, const QString &commandText);
    void appendLoaded(const LoadedShow &loaded, const QString &commandText);
    // The ten seconds the user has to bring the other program to the
    // front; false when cancelled.
    bool importCountdown();
    // Says what the import does and what it needs; false when the import
    // library cannot be loaded (told) or the user says no.
    bool importAgreed(bool withControls);
    QStringList importFolders() const;
    void status(const QString &text) const;
    // The chosen save name with ".ptra" added when it has no suffix.
    static QString withExtension(const QString &path);

    ShowDocument &m_document;
    FileServices m_services;
    // A file that exists but could not be loaded: backed up before a save.
    QString m_unloadable;
    // The current file as last read or written here.
    QString m_stampedPath;
    FileStamp m_stamp;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
};
