#include "app/headless.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcHeadless, "pultora.headless", QtInfoMsg)

namespace
{
// [0] written by the handler, [1] read by the event loop.
int g_signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const char byte = char(number);
    // Nothing else is safe here; a full pipe already holds an end.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

QString plain(const QString &text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

QString buttonName(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return QStringLiteral("Yes");
    case QMessageBox::No:
        return QStringLiteral("No");
    case QMessageBox::Cancel:
        return QStringLiteral("Cancel");
    case QMessageBox::Ok:
        return QStringLiteral("OK");
    default:
        return QString::number(int(button));
    }
}
} // namespace

QMessageBox::StandardButton HeadlessPrompter::ask(QWidget *, QMessageBox::Icon icon,
                                                  const QString &title, const QString &text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton,
                                                  QMessageBox::StandardButton escapeButton)
{
    const QString shown = plain(text).simplified();
    if (buttons == QMessageBox::Ok || buttons == QMessageBox::NoButton) {
        if (icon == QMessageBox::Information)
            qCInfo(lcHeadless).noquote() << title + QLatin1String(": ") + shown;
        else
            qCWarning(lcHeadless).noquote() << title + QLatin1String(": ") + shown;
        return escapeButton;
    }
    const QMessageBox::StandardButton answer =
        buttons.testFlag(QMessageBox::No) ? QMessageBox::No : escapeButton;
    qCWarning(lcHeadless).noquote() << QStringLiteral("asked \"%1\", answered %2 (nobody to ask)")
                                           .arg(shown, buttonName(answer));
    return answer;
}

QString HeadlessPrompter::openFileName(QWidget *, const QString &title, const QString &,
                                       const QString &)
{
    qCWarning(lcHeadless).noquote() << QStringLiteral("\"%1\": no file chosen").arg(title);
    return QString();
}

QString HeadlessPrompter::saveFileName(QWidget *, const QString &title, const QString &,
                                       const QString &)
{
    qCWarning(lcHeadless).noquote() << QStringLiteral("\"%1\": nothing saved").arg(title);
    return QString();
}

bool HeadlessPrompter::allowOutputs(const QString &question, const QString &details)
{
    const QString what = plain(question).simplified() + QLatin1Char('\n') + details;
    if (m_allowCommands)
        qCWarning(lcHeadless).noquote() << "allowed by --allow-commands:" << what;
    else
        qCWarning(lcHeadless).noquote()
            << "refused (start with --allow-commands to allow):" << what;
    return m_allowCommands;
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (g_signalPipe[0] >= 0)
        return;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0) {
        qCWarning(lcHeadless) << "no socket pair for the signals:" << strerror(errno);
        return;
    }
    g_signalPipe[0] = pair[0];
    g_signalPipe[1] = pair[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0)
        qCWarning(lcHeadless) << "cannot handle SIGTERM and SIGINT:" << strerror(errno);
    m_notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::arrived);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    delete m_notifier;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void TerminationSignals::arrived()
{
    char byte = 0;
    while (::read(g_signalPipe[1], &byte, 1) == 1) {
        if (!m_received) {
            m_received = byte;
            qCInfo(lcHeadless).noquote() << QStringLiteral("signal %1: ending").arg(int(byte));
        }
    }
    QCoreApplication::quit();
}
