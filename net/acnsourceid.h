// The CID a console sends streaming ACN with. Receivers know a source by its
// CID, so it is made once per installation (a random UUID kept in the user's
// settings) and stays across restarts; two consoles never share one. A
// second console started under the same settings while the first runs takes
// the next CID kept there, so it too is known again next time.
//
// Promises:
// - claim() returns a non-null CID; the same one for the same settings as
//   long as no other holder of those settings runs.
// - The CID stays this holder's while the object lives (a lock file per
//   kept CID in lockFolder says so to other processes).
#pragma once

#include <QString>
#include <QUuid>

#include <memory>

class QLockFile;
class QSettings;

class AcnSourceId
{
public:
    // Kept CIDs per settings; a console beyond them gets a fresh one each run.
    static constexpr int KEPT = 8;
    static const char SETTINGS_KEY[]; // "streamingAcn/cid", then "...cid2" and on

    static std::unique_ptr<AcnSourceId> claim(QSettings &settings, const QString &lockFolder);
    ~AcnSourceId();

    QUuid cid() const { return m_cid; }

private:
    AcnSourceId() = default;
    QUuid m_cid;
    std::unique_ptr<QLockFile> m_lock;
};
