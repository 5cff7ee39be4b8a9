// ImportForeignGui: the configuration text that describes another
// application's interface, obtained from the import library (base name
// "Farsight32": libFarsight32.so, Farsight32.dll) loaded at run time.
//
// Promises:
// - the library is loaded only by its absolute path in one of the given
//   folders (by default the program's own folder and the system library
//   folders); never by bare name through the search path, never from the
//   working directory;
// - every size the library reports is checked before a buffer is made:
//   none, negative, above MAX_IMPORT_BYTES or (UTF-16) odd sizes are refused;
// - the library is unloaded before fetchImportString() returns;
// - the raw bytes of every text received are written to the backup file; a
//   failed backup does not stop the import and is told by backupError().
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

class ImportForeignGui : public QObject
{
    Q_OBJECT

public:
    // The largest text taken from the library.
    static constexpr int MAX_IMPORT_BYTES = 64 * 1024 * 1024;

    explicit ImportForeignGui(QObject *parent, QStringList folders = defaultLibraryFolders());
    ~ImportForeignGui() override;

    // The library's file name on this platform.
    static QString libraryFileName();
    // The program's folder, then the system library folders (absolute only).
    static QStringList defaultLibraryFolders();
    // The library's absolute path in the first of `folders` that holds it;
    // empty when none does.
    static QString findLibrary(const QStringList &folders);
    // Where the raw text is kept: "config_BackupImportForeignGui.ptra" in
    // the working directory.
    static QString backupFileName();

    // True when `text` holds a document received from the library. On false
    // `text` is empty and message() says why, or is empty when there is
    // nothing to tell the user (no library, no version entry point).
    bool fetchImportString(QString &text);
    QString message() const { return m_message; }
    // The system's reason when the backup could not be written; else empty.
    QString backupError() const { return m_backupError; }
    // The library that was found by the last fetch; empty when none.
    QString libraryPath() const { return m_libraryPath; }

private:
    bool fetch(QString &text);
    void writeBackup(const QByteArray &raw);

    QStringList m_folders;
    QString m_libraryPath;
    QString m_message;
    QString m_backupError;
};
