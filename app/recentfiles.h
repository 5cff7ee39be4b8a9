// What the console keeps in the per-user settings store: the list of recently
// used configuration files (most recent first, at most four) and the folders
// last used for configurations and documentation.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class RecentFiles
{
public:
    enum FolderKind { ConfigFolder = 1, DocumentationFolder = 2 };

    // Reads `recent_file_list`, dropping entries beyond the fourth. An
    // unreadable store gives an empty list.
    void load();
    // Puts `path` at the front, once; an empty path is ignored. Stores the
    // list.
    void add(const QString &path);
    const QStringList &files() const { return m_files; }
    // Called after the list changed.
    void setChangedCallback(std::function<void()> changed) { m_changed = std::move(changed); }

    // The folder last remembered for `kind`, with a trailing "/"; the
    // documents folder until one was remembered.
    QString readFolder(int kind) const;
    void rememberFolder(int kind, const QString &folder);
    // The user's documents folder (home when the system has none), with a
    // trailing "/".
    static QString defaultFolder();

private:
    void store() const;
    QStringList m_files;
    std::function<void()> m_changed;
};
