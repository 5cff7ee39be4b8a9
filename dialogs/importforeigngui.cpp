#include "dialogs/importforeigngui.h"

#include "dialogs/importlibrary.h"
#include "model/configfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLibraryInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcImport, "pultora.import")

namespace
{

const char LIBRARY_BASE_NAME[] = "Farsight32";

// The entry points of a loaded library; unloads it when it goes.
class LoadedLibrary
{
public:
    explicit LoadedLibrary(const QString &path) : m_library(path) {}
    ~LoadedLibrary()
    {
        if (m_library.isLoaded())
            m_library.unload();
    }
    LoadedLibrary(const LoadedLibrary &) = delete;
    LoadedLibrary &operator=(const LoadedLibrary &) = delete;

    bool load()
    {
        if (!m_library.load())
            return false;
        stringA = reinterpret_cast<farsight::GetImportStringA>(
            m_library.resolve(farsight::ENTRY_STRING_A));
        stringW = reinterpret_cast<farsight::GetImportStringW>(
            m_library.resolve(farsight::ENTRY_STRING_W));
        version =
            reinterpret_cast<farsight::GetVersion>(m_library.resolve(farsight::ENTRY_VERSION));
        return true;
    }
    QString errorString() const { return m_library.errorString(); }

    farsight::GetImportStringA stringA = nullptr;
    farsight::GetImportStringW stringW = nullptr;
    farsight::GetVersion version = nullptr;

private:
    QLibrary m_library;
};

} // namespace

ImportForeignGui::ImportForeignGui(QObject *parent, QStringList folders)
    : QObject(parent), m_folders(std::move(folders))
{
}

ImportForeignGui::~ImportForeignGui() = default;

QString ImportForeignGui::libraryFileName()
{
#if defined(Q_OS_WIN)
    return QLatin1String(LIBRARY_BASE_NAME) + QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("lib") + QLatin1String(LIBRARY_BASE_NAME) + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + QLatin1String(LIBRARY_BASE_NAME) + QStringLiteral(".so");
#endif
}

QStringList ImportForeignGui::defaultLibraryFolders()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
#ifndef Q_OS_WIN
    folders << QLibraryInfo::path(QLibraryInfo::LibrariesPath) << QStringLiteral("/usr/local/lib")
            << QStringLiteral("/usr/lib") << QStringLiteral("/lib");
#endif
    QStringList absolute;
    for (const QString &folder : folders)
        if (!folder.isEmpty() && QDir::isAbsolutePath(folder) && !absolute.contains(folder))
            absolute << folder;
    return absolute;
}

QString ImportForeignGui::findLibrary(const QStringList &folders)
{
    // A relative folder would be the working directory in disguise.
    for (const QString &folder : folders) {
        if (!QDir::isAbsolutePath(folder))
            continue;
        const QFileInfo candidate(QDir(folder).filePath(libraryFileName()));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return QString();
}

QString ImportForeignGui::backupFileName()
{
    return QStringLiteral("config_BackupImportForeignGui.ptra");
}

bool ImportForeignGui::fetchImportString(QString &text)
{
    text.clear();
    m_message.clear();
    m_backupError.clear();
    m_libraryPath.clear();
    if (!fetch(text)) {
        text.clear();
        return false;
    }
    return true;
}

bool ImportForeignGui::fetch(QString &text)
{
    m_libraryPath = findLibrary(m_folders);
    if (m_libraryPath.isEmpty()) {
        qCDebug(lcImport) << "no" << libraryFileName() << "in" << m_folders;
        return false;
    }
    const QString name = libraryFileName();
    LoadedLibrary library(m_libraryPath);
    if (!library.load()) {
        m_message = tr("The import library %1 could not be loaded:\n%2")
                        .arg(m_libraryPath, library.errorString());
        return false;
    }
    if (!library.version) {
        qCDebug(lcImport) << m_libraryPath << "has no version entry point";
        return false;
    }
    if (library.version() < farsight::MIN_VERSION) {
        m_message = tr("The import library %1 is too old to import from.").arg(name);
        return false;
    }

    const bool utf16 = library.stringW != nullptr;
    if (!utf16 && !library.stringA) {
        m_message = tr("The import library %1 offers no text to import.").arg(name);
        return false;
    }
    const int size = utf16 ? library.stringW(nullptr, 0) : library.stringA(nullptr, 0);
    if (size == 0)
        return false; // nothing to import: told by the caller
    if (size < 0) {
        m_message =
            tr("The import library %1 reported an invalid size (%2 bytes).").arg(name).arg(size);
        return false;
    }
    if (size > MAX_IMPORT_BYTES) {
        m_message = tr("The import library %1 offers %2 bytes; at most %3 bytes are imported.")
                        .arg(name)
                        .arg(size)
                        .arg(MAX_IMPORT_BYTES);
        return false;
    }
    if (utf16 && size % 2 != 0) {
        m_message = tr("The import library %1 reported an odd size (%2 bytes) for UTF-16 text.")
                        .arg(name)
                        .arg(size);
        return false;
    }

    // Two bytes of zeros beyond the announced size: no read past the
    // buffer even if the text lacks its end.
    QByteArray raw(size + 2, '\0');
    const int given = utf16 ? library.stringW(reinterpret_cast<char16_t *>(raw.data()), size)
                            : library.stringA(raw.data(), size);
    if (given != size) {
        m_message = tr("The import library %1 gave %2 bytes instead of the %3 bytes it announced.")
                        .arg(name)
                        .arg(given)
                        .arg(size);
        return false;
    }
    raw.truncate(size);
    if (utf16) {
        text = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), size / 2);
    } else {
        const int end = raw.indexOf('\0');
        text = decodeConfigurationText(end < 0 ? raw : raw.left(end));
    }
    writeBackup(raw);
    return true;
}

void ImportForeignGui::writeBackup(const QByteArray &raw)
{
    if (writeFileAtomically(backupFileName(), raw, &m_backupError))
        return;
    qCWarning(lcImport) << "cannot write" << backupFileName() << m_backupError;
}
