// HTTP output: fires a GET at the configured server for a control's link.
// Replies are never read. A link that gives no http or https URL is refused
// at once; a request that fails later (refused, unreachable, no answer
// within the request timeout of 10 s, then aborted) is logged as a warning
// on `pultora.io.http`.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// server + link with exactly one "/" between them (an empty server gives
// "/" + link unless the link starts with "/").
QString joinUrl(const QString &server, const QString &link);

class http : public QObject
{
    Q_OBJECT
public:
    static constexpr int REQUEST_TIMEOUT_MS = 10000;

    explicit http(QObject *parent = nullptr);
    ~http() override;

    // Issues GET joinUrl(server, link) and returns at once: true when the
    // request is on its way, false (nothing issued, errorString() says why)
    // when the text is no absolute http or https URL.
    bool requestUrl(const QString &server, const QString &link);
    // Why the last refused request was refused.
    const QString &errorString() const { return m_error; }

    // Requests still open (not yet answered, failed or aborted).
    int pendingCount() const { return int(m_pending.size()); }
    // How long a request may stay open; for tests and benchmarks.
    void setRequestTimeout(int ms) { m_timeoutMs = ms; }
    int requestTimeout() const { return m_timeoutMs; }

public slots:
    // Kept for the interface; replies are not read.
    void httpFinished();
    void httpReadyRead();
    void updateDataReadProgress(qint64 bytesRead, qint64 totalBytes);

private:
    struct PendingRequest {
        QNetworkReply *reply = nullptr;
        QElapsedTimer started;
    };

    void replyFinished(QNetworkReply *reply);
    void purge();
    void schedulePurge();

    QNetworkAccessManager *m_manager = nullptr;
    QTimer *m_purgeTimer = nullptr;
    QList<PendingRequest> m_pending; // oldest first
    int m_timeoutMs = REQUEST_TIMEOUT_MS;
    QString m_error;
};
