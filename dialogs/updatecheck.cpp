#include "dialogs/updatecheck.h"

#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace
{

const QString kVersionMarker = QStringLiteral("$$$VERSION$$$");

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

CheckSoftwareUpdate::CheckSoftwareUpdate(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &CheckSoftwareUpdate::CheckForUpdateIntern);
    connect(this, SIGNAL(signalViewUpdateRequest(QString)), this,
            SLOT(slotViewUpdateRequest(QString)));
}

CheckSoftwareUpdate::~CheckSoftwareUpdate()
{
    dropReply();
}

void CheckSoftwareUpdate::setGiveInfo(bool giveInfo)
{
    m_giveInfo = giveInfo;
}

void CheckSoftwareUpdate::setUpdateText(const QString &text)
{
    m_updateText = text;
}

void CheckSoftwareUpdate::setCurrentVersion(int major, int minor, int patch, int build)
{
    m_running = {major, minor, patch, build};
}

void CheckSoftwareUpdate::setPresenter(std::function<void(const QString &)> presenter)
{
    m_presenter = std::move(presenter);
}

void CheckSoftwareUpdate::CheckForUpdate(const QString &url, int delaySeconds)
{
    m_url = url;
    m_delay.start(qMax(0, delaySeconds) * 1000);
}

void CheckSoftwareUpdate::dropReply()
{
    if (!m_reply)
        return;
    // Disconnected first: an aborted request must not report.
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void CheckSoftwareUpdate::CheckForUpdateIntern()
{
    dropReply();
    m_answer.clear();
    m_tooLarge = false;
    QNetworkRequest request{QUrl(m_url)};
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, SIGNAL(finished()), this, SLOT(httpFinished()));
    connect(m_reply, SIGNAL(readyRead()), this, SLOT(httpReadyRead()));
    connect(m_reply, SIGNAL(downloadProgress(qint64, qint64)), this,
            SLOT(updateDataReadProgress(qint64, qint64)));
}

void CheckSoftwareUpdate::httpReadyRead()
{
    if (!m_reply || m_tooLarge)
        return;
    m_answer += m_reply->read(UPDATE_ANSWER_LIMIT_BYTES + 1 - m_answer.size());
    if (m_answer.size() > UPDATE_ANSWER_LIMIT_BYTES || m_reply->bytesAvailable() > 0) {
        m_tooLarge = true;
        m_reply->abort(); // finished() follows
    }
}

void CheckSoftwareUpdate::updateDataReadProgress(qint64 bytesRead, qint64 totalBytes)
{
    Q_UNUSED(bytesRead);
    Q_UNUSED(totalBytes);
}

void CheckSoftwareUpdate::httpFinished()
{
    if (!m_reply)
        return;
    httpReadyRead(); // what arrived with the end
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.isValid() ? status.toInt() : 0;
    if (m_tooLarge) {
        finish(Outcome::Failed, tr("The check for updates failed: the answer is larger than %1 KB.")
                                    .arg(UPDATE_ANSWER_LIMIT_BYTES / 1024));
    } else if (code != 0 && (code < 200 || code > 299)) {
        // An error page is no answer, whatever it holds.
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        finish(Outcome::Failed, tr("The check for updates failed: the server answered %1 %2.")
                                    .arg(code)
                                    .arg(reason)
                                    .trimmed());
    } else if (reply->error() != QNetworkReply::NoError) {
        finish(Outcome::NoConnection,
               tr("There is no internet connection available to check for updates!"));
    } else if (const auto newer = newerVersionIn(m_answer, m_running)) {
        m_updateAvailable = true;
        const QString version = QStringLiteral("%1.%2.%3.%4")
                                    .arg((*newer)[0])
                                    .arg((*newer)[1])
                                    .arg((*newer)[2])
                                    .arg((*newer)[3]);
        finish(Outcome::NewVersion, QString(m_updateText).replace(kVersionMarker, version));
    } else {
        finish(Outcome::NoUpdate, tr("There is no update available!"));
    }
}

void CheckSoftwareUpdate::finish(Outcome outcome, const QString &text)
{
    m_outcome = outcome;
    m_answer.clear();
    if (outcome == Outcome::NewVersion || m_giveInfo)
        emit signalViewUpdateRequest(text);
    emit checkFinished();
}

void CheckSoftwareUpdate::slotViewUpdateRequest(QString UpdateCheckInfo)
{
    if (m_presenter) {
        m_presenter(UpdateCheckInfo);
        return;
    }
    QMessageBox box(QMessageBox::Information, tr("Check for Updates"), UpdateCheckInfo,
                    QMessageBox::Ok);
    box.exec();
}
