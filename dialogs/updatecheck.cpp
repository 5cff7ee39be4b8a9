#include "dialogs/updatecheck.h"

#include <QMessageBox>

CheckSoftwareUpdate::CheckSoftwareUpdate(QObject *parent) : QObject(parent)
{
    connect(&m_check, &UpdateCheck::finished, this, &CheckSoftwareUpdate::report);
    connect(this, &CheckSoftwareUpdate::signalViewUpdateRequest, this,
            &CheckSoftwareUpdate::slotViewUpdateRequest);
}

void CheckSoftwareUpdate::setCurrentVersion(int major, int minor, int patch, int build)
{
    m_check.setCurrentVersion({major, minor, patch, build});
}

void CheckSoftwareUpdate::setPresenter(std::function<void(const QString &)> presenter)
{
    m_presenter = std::move(presenter);
}

void CheckSoftwareUpdate::CheckForUpdate(const QString &url, int delaySeconds)
{
    m_check.start(url, delaySeconds);
}

void CheckSoftwareUpdate::report(const UpdateCheck::Result &result)
{
    m_outcome = result.outcome;
    QString text;
    switch (result.outcome) {
    case Outcome::NewVersion: {
        const SoftwareVersion &v = result.version;
        const QString version =
            QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
        text = QString(m_updateText).replace(QStringLiteral("$$$VERSION$$$"), version);
        break;
    }
    case Outcome::NoUpdate:
        text = tr("There is no update available!");
        break;
    case Outcome::NoConnection:
        text = tr("There is no internet connection available to check for updates!");
        break;
    case Outcome::HttpError:
        text = tr("The check for updates failed: the server answered %1 %2.")
                   .arg(result.status)
                   .arg(result.reason)
                   .trimmed();
        break;
    case Outcome::TooLarge:
        text = tr("The check for updates failed: the answer is larger than %1 KB.")
                   .arg(UPDATE_ANSWER_LIMIT_BYTES / 1024);
        break;
    case Outcome::None:
        return;
    }
    // Last: the report may open a box, and whoever answers it may start
    // the next check or delete this object.
    if (result.outcome == Outcome::NewVersion || m_giveInfo)
        emit signalViewUpdateRequest(text);
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
