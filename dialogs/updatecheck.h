// The online update check: asks the maker's update endpoint for the newest
// version and reports a newer one, and, when asked to give information,
// also that there is none or that the check failed.
//
// The endpoint answers plain text; the line carrying the newest version
// holds "version:" (any case) and up to four dot-separated numbers. The
// whole answer is read before it is parsed, and an answer larger than
// UPDATE_ANSWER_LIMIT_BYTES or with an HTTP error status counts as a
// failed check, never as "no update".
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// Major, minor, patch, build.
using SoftwareVersion = std::array<int, 4>;

constexpr qint64 UPDATE_ANSWER_LIMIT_BYTES = 64 * 1024;
// A server that accepts the request but does not answer within this time
// counts as no connection.
constexpr int UPDATE_TIMEOUT_MS = 15000;

// The first version in `answer` newer than `running`, if any. Lines are
// split at line feeds, text after a zero byte is ignored; pieces that are
// no decimal number are skipped, missing pieces count as 0.
std::optional<SoftwareVersion> newerVersionIn(const QByteArray &answer,
                                              const SoftwareVersion &running);

class CheckSoftwareUpdate : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { None, NewVersion, NoUpdate, NoConnection, Failed };

    explicit CheckSoftwareUpdate(QObject *parent = nullptr);
    ~CheckSoftwareUpdate() override;

    // Also report "no update" and failures (off at construction).
    void setGiveInfo(bool giveInfo);
    // Message for a newer version; "$$$VERSION$$$" is replaced by it.
    void setUpdateText(const QString &text);
    void setCurrentVersion(int major, int minor, int patch, int build);
    // Asks `url` after `delaySeconds`; a later call replaces a pending one
    // and aborts a running request.
    void CheckForUpdate(const QString &url, int delaySeconds);

    // Where reports go instead of an information box (for example the
    // status line of a locked console).
    void setPresenter(std::function<void(const QString &)> presenter);
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // How the last finished check ended.
    Outcome outcome() const { return m_outcome; }
    bool updateAvailable() const { return m_updateAvailable; }

signals:
    void signalViewUpdateRequest(QString UpdateCheckInfo);
    // A check has ended, whatever its outcome and whether it reported.
    void checkFinished();

private slots:
    void httpFinished();
    void httpReadyRead();
    void updateDataReadProgress(qint64 bytesRead, qint64 totalBytes);
    void CheckForUpdateIntern();
    void slotViewUpdateRequest(QString UpdateCheckInfo);

private:
    void dropReply();
    void finish(Outcome outcome, const QString &text);

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
    QTimer m_delay;
    QString m_url;
    QString m_updateText;
    SoftwareVersion m_running{0, 0, 0, 0};
    QByteArray m_answer;
    bool m_tooLarge = false;
    bool m_giveInfo = false;
    bool m_updateAvailable = false;
    int m_timeoutMs = UPDATE_TIMEOUT_MS;
    Outcome m_outcome = Outcome::None;
    std::function<void(const QString &)> m_presenter;
};
