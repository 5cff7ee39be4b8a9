#include "app/sessionfiles.h"

#include "app/appinfo.h"
#include "model/configfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>

namespace
{

// `name` with the instance's suffix before its extension.
QString instanceName(const QString &name, int instance)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return name.left(dot) + SessionFiles::suffix(instance) + name.mid(dot);
}

// The instance whose file `entry` is, for files named like `name`; -1 when
// it is none.
int instanceOf(const QString &entry, const QString &name)
{
    if (entry == name)
        return 0;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString start = name.left(dot) + QLatin1Char('-'), end = name.mid(dot);
    if (!entry.startsWith(start) || !entry.endsWith(end))
        return -1;
    const QString number = entry.mid(start.size(), entry.size() - start.size() - end.size());
    bool ok = false;
    const int n = number.toInt(&ok);
    return ok && n >= 2 && n <= SessionFiles::MAX_INSTANCES && QString::number(n) == number ? n - 1
                                                                                            : -1;
}

QString lockName(int instance)
{
    return instanceName(QStringLiteral("instance.lock"), instance);
}

// The side file of a recovery copy: the copy's name ending in ".json".
QString sideName(int instance)
{
    QString name = appinfo::recoveryFileName();
    name.replace(name.lastIndexOf(QLatin1Char('.')), name.size(), QStringLiteral(".json"));
    return instanceName(name, instance);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// True when no symbolic link (any more) stands at `path`. A link is removed,
// not followed: whatever it points to is no file of the console's.
bool removeLink(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return true;
    qCWarning(lcApp) << "replacing the symbolic link" << path << "to" << info.symLinkTarget()
                     << "with a file of its own";
    if (QFile::remove(path))
        return true;
    setError(error, QCoreApplication::translate("Pultora",
                                                "%1 is a symbolic link that could not be removed")
                        .arg(path));
    return false;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    return removeLink(path, error) && writeFileAtomically(path, bytes, error);
}

std::unique_ptr<QLockFile> tryLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // A running console keeps its lock however long it runs; the lock of
    // one whose process is gone is taken over.
    lock->setStaleLockTime(0);
    lock->tryLock(0);
    return lock;
}

} // namespace

SessionFiles::SessionFiles(const QString &folder) : m_folder(folder)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        m_error = tr("The folder %1 could not be created").arg(m_folder);
        qCWarning(lcApp) << "no session files:" << m_error;
        return;
    }
    for (int instance = 0; instance < MAX_INSTANCES; ++instance) {
        std::unique_ptr<QLockFile> lock = tryLock(path(lockName(instance)));
        if (lock->isLocked()) {
            m_instance = instance;
            m_lock = std::move(lock);
            return;
        }
        if (lock->error() != QLockFile::LockFailedError) {
            m_error = tr("The lock file %1 could not be written").arg(path(lockName(instance)));
            qCWarning(lcApp) << "no session files:" << m_error;
            return;
        }
    }
    m_error = tr("%1 consoles are running already").arg(MAX_INSTANCES);
    qCWarning(lcApp) << "no session files:" << m_error;
}

SessionFiles::~SessionFiles() = default;

QString SessionFiles::dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString SessionFiles::suffix(int instance)
{
    return instance <= 0 ? QString() : QStringLiteral("-%1").arg(instance + 1);
}

QString SessionFiles::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

QString SessionFiles::lastSessionPath() const
{
    return claimed() ? path(instanceName(appinfo::lastSessionFileName(), m_instance)) : QString();
}

QString SessionFiles::recoveryPath() const
{
    return claimed() ? path(instanceName(appinfo::recoveryFileName(), m_instance)) : QString();
}

bool SessionFiles::writeShow(const QString &path, const QString &text, QString *error)
{
    return removeLink(path, error) && writeConfigurationFile(path, text, error);
}

bool SessionFiles::adoptOldLastSession(const QString &oldFile)
{
    const QFileInfo old(oldFile);
    if (!claimed() || old.isSymLink() || !old.isFile())
        return false;
    const QStringList entries = QDir(m_folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &entry : entries)
        if (instanceOf(entry, appinfo::lastSessionFileName()) >= 0)
            return false;
    QFile in(oldFile);
    QString error = QStringLiteral("cannot read ") + oldFile;
    if (!in.open(QIODevice::ReadOnly) || !writeBytes(lastSessionPath(), in.readAll(), &error)) {
        qCWarning(lcApp) << "the old last session was not copied:" << error;
        return false;
    }
    qCInfo(lcApp) << "copied the last session" << oldFile << "to" << lastSessionPath();
    return true;
}

bool SessionFiles::writeRecovery(const QString &text, const QString &originalFile, QString *error)
{
    if (!claimed()) {
        setError(error, m_error);
        return false;
    }
    const QJsonObject side{
        {QStringLiteral("file"), originalFile},
        {QStringLiteral("written"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)}};
    return writeBytes(path(sideName(m_instance)), QJsonDocument(side).toJson(), error) &&
           writeShow(recoveryPath(), text, error);
}

void SessionFiles::removeRecovery()
{
    if (!claimed())
        return;
    QFile::remove(recoveryPath());
    QFile::remove(path(sideName(m_instance)));
}

std::vector<SessionFiles::Recovery> SessionFiles::orphanedRecoveries() const
{
    std::vector<Recovery> found;
    if (!claimed())
        return found;
    const QStringList entries = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        Recovery recovery;
        recovery.instance = instanceOf(entry, appinfo::recoveryFileName());
        recovery.copy = path(entry);
        // A console writes no links.
        if (recovery.instance < 0 || QFileInfo(recovery.copy).isSymLink())
            continue;
        if (recovery.instance != m_instance) {
            std::shared_ptr<QLockFile> lock = tryLock(path(lockName(recovery.instance)));
            if (!lock->isLocked())
                continue; // that console runs
            recovery.lock = std::move(lock);
        }
        QFile sideFile(path(sideName(recovery.instance)));
        if (sideFile.open(QIODevice::ReadOnly)) {
            const QJsonObject side = QJsonDocument::fromJson(sideFile.read(1 << 16)).object();
            recovery.originalFile = side.value(QStringLiteral("file")).toString();
            recovery.written = QDateTime::fromString(
                side.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
        }
        if (!recovery.written.isValid())
            recovery.written = QFileInfo(recovery.copy).lastModified();
        found.push_back(std::move(recovery));
    }
    std::sort(found.begin(), found.end(),
              [](const Recovery &a, const Recovery &b) { return a.written > b.written; });
    return found;
}

void SessionFiles::remove(const Recovery &recovery)
{
    QFile::remove(recovery.copy);
    QFile::remove(QFileInfo(recovery.copy).dir().filePath(sideName(recovery.instance)));
}
