#include "io/http.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcHttp, "pultora.io.http", QtWarningMsg)

QString joinUrl(const QString &server, const QString &link)
{
    const bool serverSlash = server.endsWith(QLatin1Char('/'));
    const bool linkSlash = link.startsWith(QLatin1Char('/'));
    if (serverSlash && linkSlash)
        return server + link.mid(1);
    if (serverSlash || linkSlash)
        return server + link;
    return server + QLatin1Char('/') + link;
}

http::http(QObject *parent) : QObject(parent) {}

http::~http()
{
    // Abort first: an aborted reply emits finished(), which must not reach
    // a half-destroyed object.
    const QList<PendingRequest> pending = m_pending;
    m_pending.clear();
    for (const PendingRequest &request : pending) {
        request.reply->disconnect(this);
        request.reply->abort();
        delete request.reply;
    }
    delete m_manager;
}

bool http::requestUrl(const QString &server, const QString &link)
{
    const QString text = joinUrl(server, link);
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty()) {
        m_error = url.isValid() ? QStringLiteral("not an http or https URL: %1").arg(text)
                                : QStringLiteral("not a valid URL: %1").arg(text);
        qCWarning(lcHttp).noquote() << "GET not sent:" << m_error;
        return false;
    }
    m_error.clear();
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        m_purgeTimer = new QTimer(this);
        m_purgeTimer->setSingleShot(true);
        connect(m_purgeTimer, &QTimer::timeout, this, &http::purge);
    }

    qCDebug(lcHttp) << "GET" << url;
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = m_manager->get(request);
    // Replies are not wanted, but unread data would pile up in the reply.
    connect(reply, &QIODevice::readyRead, this, [reply] { reply->skip(reply->bytesAvailable()); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinished(reply); });
    PendingRequest pending;
    pending.reply = reply;
    pending.started.start();
    m_pending.append(pending);

    purge();
    return true;
}

// Answered, failed and aborted requests leave the list at once; of the
// answer only a failure is looked at.
void http::replyFinished(QNetworkReply *reply)
{
    for (int i = 0; i < m_pending.size(); ++i) {
        if (m_pending.at(i).reply == reply) {
            if (reply->error() != QNetworkReply::NoError)
                qCWarning(lcHttp).noquote()
                    << "GET" << reply->url().toString() << "failed:" << reply->errorString();
            else
                qCDebug(lcHttp) << "finished" << reply->url();
            m_pending.removeAt(i);
            reply->deleteLater();
            return;
        }
    }
}

// Aborts every request that has been open for the timeout or longer.
void http::purge()
{
    while (!m_pending.isEmpty() && m_pending.first().started.elapsed() >= m_timeoutMs) {
        QNetworkReply *reply = m_pending.takeFirst().reply;
        qCWarning(lcHttp).noquote() << "GET" << reply->url().toString()
                                    << "failed: no answer within" << m_timeoutMs << "ms";
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    schedulePurge();
}

// Without a later request, the oldest open request is still aborted when
// its time is up.
void http::schedulePurge()
{
    if (m_pending.isEmpty()) {
        m_purgeTimer->stop();
        return;
    }
    const qint64 due = m_timeoutMs - m_pending.first().started.elapsed();
    m_purgeTimer->start(int(qMax<qint64>(0, due)));
}

void http::httpFinished() {}

void http::httpReadyRead() {}

void http::updateDataReadProgress(qint64, qint64) {}
