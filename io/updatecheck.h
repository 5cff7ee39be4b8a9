// The update check's request: asks the maker's update endpoint for the
// newest version and tells how the check ended. It words nothing for the
// user; dialogs/updatecheck.h does.
//
// The endpoint answers plain text; the line carrying the newest version
// holds "version:" (any case) and up to four dot-separated numbers. The
// whole answer is read before it is parsed, and an answer larger than
// UPDATE_ANSWER_LIMIT_BYTES or with an HTTP error status is a failed
// check, never "no update".
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
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

class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { None, NewVersion, NoUpdate, NoConnection, HttpError, TooLarge };
    struct Result {
        Outcome outcome = Outcome::None;
        SoftwareVersion version{0, 0, 0, 0}; // NewVersion: the version found
        int status = 0;                      // HttpError: the status and its reason
        QString reason;
    };

    explicit UpdateCheck(QObject *parent = nullptr);
    ~UpdateCheck() override;

    void setCurrentVersion(const SoftwareVersion &version) { m_running = version; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // Asks `url` after `delaySeconds`. A check still waiting or running is
    // dropped first and never reports.
    void start(const QString &url, int delaySeconds);

signals:
    // The check has ended. Emitted as the check's last act: a receiver may
    // start the next check or delete this object.
    void finished(const UpdateCheck::Result &result);

private:
    void send();
    void readAnswer();
    void replyFinished();
    void drop();
    void end(const Result &result);

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
    QTimer m_delay;
    QString m_url;
    QByteArray m_answer;
    SoftwareVersion m_running{0, 0, 0, 0};
    int m_timeoutMs = UPDATE_TIMEOUT_MS;
};
