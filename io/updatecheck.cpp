#include "io/updatecheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace
{

SoftwareVersion versionAfterKey(const QString &text)
{
    SoftwareVersion version{0, 0, 0, 0};
    size_t filled = 0;
    for (const QString &piece : text.split(QLatin1Char('.'))) {
        bool ok = false;
        const int number = piece.trimmed().toInt(&ok, 10);
        if (!ok)
            continue;
        version[filled++] = number;
        if (filled == version.size())
            break;
    }
    return version;
}

} // namespace

std::optional<SoftwareVersion> newerVersionIn(const QByteArray &answer,
                                              const SoftwareVersion &running)
{
    const int end = answer.indexOf('\0');
    const QString text = QString::fromLatin1(end < 0 ? answer : answer.left(end));
    const QString key = QStringLiteral("version:");
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int at = line.indexOf(key, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        const SoftwareVersion found = versionAfterKey(line.mid(at + key.size()));
        const bool any = found[0] > 0 || found[1] > 0 || found[2] > 0 || found[3] > 0;
        if (any && found > running)
            return found;
    }
    return std::nullopt;
}

UpdateCheck::UpdateCheck(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &UpdateCheck::send);
}

UpdateCheck::~UpdateCheck()
{
    drop();
}

void UpdateCheck::start(const QString &url, int delaySeconds)
{
    drop();
    m_url = url;
    m_delay.start(qMax(0, delaySeconds) * 1000);
}

void UpdateCheck::drop()
{
    m_delay.stop();
    m_answer.clear();
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    if (!reply)
        return;
    // Disconnected first: aborting emits finished(), and a dropped request
    // must not report.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void UpdateCheck::send()
{
    QNetworkRequest request{QUrl(m_url)};
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateCheck::readAnswer);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateCheck::replyFinished);
}

void UpdateCheck::readAnswer()
{
    m_answer += m_reply->read(UPDATE_ANSWER_LIMIT_BYTES + 1 - m_answer.size());
    if (m_answer.size() > UPDATE_ANSWER_LIMIT_BYTES) {
        Result result;
        result.outcome = Outcome::TooLarge;
        end(result);
    }
}

void UpdateCheck::replyFinished()
{
    if (m_reply->isReadable()) // not after a timeout
        m_answer += m_reply->read(UPDATE_ANSWER_LIMIT_BYTES + 1 - m_answer.size());
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    Result result;
    result.status = status.isValid() ? status.toInt() : 0;
    if (m_answer.size() > UPDATE_ANSWER_LIMIT_BYTES) {
        result.outcome = Outcome::TooLarge;
    } else if (result.status != 0 && (result.status < 200 || result.status > 299)) {
        // An error page is no answer, whatever it holds.
        result.outcome = Outcome::HttpError;
        result.reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    } else if (m_reply->error() != QNetworkReply::NoError) {
        result.outcome = Outcome::NoConnection;
    } else if (const auto newer = newerVersionIn(m_answer, m_running)) {
        result.outcome = Outcome::NewVersion;
        result.version = *newer;
    } else {
        result.outcome = Outcome::NoUpdate;
    }
    end(result);
}

void UpdateCheck::end(const Result &result)
{
    drop();
    emit finished(result);
}
