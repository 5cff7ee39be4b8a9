#include "net/acnsourceid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QSettings>

const char AcnSourceId::SETTINGS_KEY[] = "streamingAcn/cid";

AcnSourceId::~AcnSourceId() = default;

std::unique_ptr<AcnSourceId> AcnSourceId::claim(QSettings &settings, const QString &lockFolder)
{
    std::unique_ptr<AcnSourceId> id(new AcnSourceId);
    // One lock per kept CID of these settings, whoever's they are.
    const QByteArray tag =
        QCryptographicHash::hash(settings.fileName().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    for (int slot = 1; slot <= KEPT; ++slot) {
        auto lock =
            std::make_unique<QLockFile>(QDir(lockFolder)
                                            .filePath(QStringLiteral("pultora-acn-%1-%2.lock")
                                                          .arg(QString::fromLatin1(tag))
                                                          .arg(slot)));
        // A running holder keeps its lock however long it runs; the lock of
        // one that crashed is taken over (its process is gone).
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        const QString key =
            QLatin1String(SETTINGS_KEY) + (slot == 1 ? QString() : QString::number(slot));
        QUuid cid(settings.value(key).toString());
        if (cid.isNull()) {
            cid = QUuid::createUuid();
            settings.setValue(key, cid.toString(QUuid::WithoutBraces));
            settings.sync();
        }
        id->m_cid = cid;
        id->m_lock = std::move(lock);
        return id;
    }
    id->m_cid = QUuid::createUuid();
    return id;
}
