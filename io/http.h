// HTTP output: fires a GET at the configured server for a control's link.
// Replies are never read or reported; errors and unreachable servers are
// silent. A request still open after the request timeout (10 s) is aborted.
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

    // Issues GET joinUrl(server, link) and returns at once.
    void requestUrl(const QString &server, const QString &link);

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
};
