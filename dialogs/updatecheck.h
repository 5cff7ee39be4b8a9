// The online update check as the user sees it: runs the check of
// io/updatecheck.h and reports a newer version, and, when asked to give
// information, also that there is none or that the check failed.
#pragma once

#include "io/updatecheck.h"

#include <QObject>
#include <QString>

#include <functional>

class CheckSoftwareUpdate : public QObject
{
    Q_OBJECT

public:
    using Outcome = UpdateCheck::Outcome;

    explicit CheckSoftwareUpdate(QObject *parent = nullptr);

    // Also report "no update" and failures (off at construction).
    void setGiveInfo(bool giveInfo) { m_giveInfo = giveInfo; }
    // Message for a newer version; "$$$VERSION$$$" is replaced by it.
    void setUpdateText(const QString &text) { m_updateText = text; }
    void setCurrentVersion(int major, int minor, int patch, int build);
    // Asks `url` after `delaySeconds`; a later call replaces a check still
    // waiting or running, which then reports nothing.
    void CheckForUpdate(const QString &url, int delaySeconds);

    // Where reports go instead of an information box (for example the
    // status line of a locked console). It may delete this object.
    void setPresenter(std::function<void(const QString &)> presenter);
    void setTimeout(int milliseconds) { m_check.setTimeout(milliseconds); }
    // How the last finished check ended.
    Outcome outcome() const { return m_outcome; }

signals:
    void signalViewUpdateRequest(QString UpdateCheckInfo);

private slots:
    void slotViewUpdateRequest(QString UpdateCheckInfo);

private:
    void report(const UpdateCheck::Result &result);

    UpdateCheck m_check;
    QString m_updateText;
    bool m_giveInfo = false;
    Outcome m_outcome = Outcome::None;
    std::function<void(const QString &)> m_presenter;
};
