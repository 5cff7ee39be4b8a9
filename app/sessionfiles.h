// The files a console keeps for its user from one run to the next, in the
// user's data folder (QStandardPaths::AppDataLocation, made when missing):
//
//   config_last_session.ptra   the show as it was when the console ended
//   config_recovery.ptra       a copy of a modified show, while it is modified
//   config_recovery.json       what that copy belongs to: {"file": the show's
//                              file ("" while untitled), "written": UTC time}
//   instance.lock              held while the console runs
//
// Consoles running at the same time are instances of their own: the first
// uses the names above, the second the names with "-2" before the extension
// ("config_last_session-2.ptra", "instance-2.lock"), and so on. An instance
// is claimed with a lock file the way the streaming ACN CID is
// (acnsourceid.h): a running console keeps its lock however long it runs;
// the lock of one whose process is gone is taken over.
//
// Promises:
// - nothing is written through a symbolic link: a link found where a file
//   is to be written is removed (what it points to stays untouched) and a
//   regular file takes its place;
// - every file is written whole or not at all (QSaveFile);
// - a recovery copy is offered only while its instance lock is free: the
//   copy of a console that still runs never is.
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;

class SessionFiles
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    // Consoles beyond this many at the same time keep no session files.
    static constexpr int MAX_INSTANCES = 64;

    // Claims the first free instance in `folder`.
    explicit SessionFiles(const QString &folder = dataFolder());
    ~SessionFiles();
    SessionFiles(const SessionFiles &) = delete;
    SessionFiles &operator=(const SessionFiles &) = delete;

    // The user's data folder of the program.
    static QString dataFolder();
    // "" for the first instance, "-2" for the second and on.
    static QString suffix(int instance);

    QString folder() const { return m_folder; }
    // False when the folder could not be made or every instance is taken:
    // the paths are empty and error() says why.
    bool claimed() const { return m_instance >= 0; }
    int instance() const { return m_instance; }
    QString error() const { return m_error; }
    QString lastSessionPath() const;
    QString recoveryPath() const;

    // Writes a show to one of the session files.
    static bool writeShow(const QString &path, const QString &text, QString *error);

    // When the folder holds no last-session file of any instance: copies
    // (does not load) `oldFile`, a last session as older versions left it in
    // the working folder, as this instance's. False when nothing was copied;
    // a link or anything but a regular file is never copied.
    bool adoptOldLastSession(const QString &oldFile);

    // Writes this instance's recovery copy of a show whose file is
    // `originalFile` (empty while untitled).
    bool writeRecovery(const QString &text, const QString &originalFile, QString *error);
    // Removes this instance's recovery copy; nothing when there is none.
    void removeRecovery();

    // A recovery copy left by a console that did not end cleanly.
    struct Recovery {
        QString copy;
        QString originalFile; // empty: the show was untitled
        QDateTime written;
        int instance = -1;
        // The instance lock of another console's copy, held while the copy
        // is dealt with; null for this instance's own.
        std::shared_ptr<QLockFile> lock;
    };
    // The copies whose instance lock is free (this instance's own among
    // them), newest first.
    std::vector<Recovery> orphanedRecoveries() const;
    static void remove(const Recovery &recovery);

private:
    QString path(const QString &name) const;

    QString m_folder;
    QString m_error;
    int m_instance = -1;
    std::unique_ptr<QLockFile> m_lock;
};
