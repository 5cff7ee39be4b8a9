#include "dialogs/remotewindow.h"

#include "dialogs/qrcode.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace
{

// Large enough for a phone's camera across a desk at the screen's own pixel
// ratio.
constexpr int MODULE_PIXELS = 5;
// Room for an IPv6 address on one line.
constexpr int MIN_WIDTH_CHARACTERS = 48;

} // namespace

RemoteWindow::RemoteWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Web Remote"));
    setModal(false);

    m_intro = new QLabel(
        tr("Open this address on a phone or tablet on the show network, or scan the code:"), this);
    m_intro->setWordWrap(true);
    m_links = new QLabel(this);
    m_links->setObjectName(QStringLiteral("remoteAddresses"));
    m_links->setTextFormat(Qt::RichText);
    m_links->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_links->setOpenExternalLinks(true);
    m_links->setToolTip(tr("the address phones and tablets open; select it to copy it"));
    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("remoteCode"));
    m_code->setAlignment(Qt::AlignCenter);
    m_code->setToolTip(tr("the first address as a QR code for a phone's camera"));
    m_clients = new QLabel(this);
    m_clients->setObjectName(QStringLiteral("remoteClients"));
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("remoteState"));
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_intro);
    layout->addWidget(m_links);
    layout->addWidget(m_code);
    layout->addWidget(m_clients);
    layout->addStretch();
    layout->addLayout(buttons);

    setMinimumWidth(fontMetrics().averageCharWidth() * MIN_WIDTH_CHARACTERS);
    setAddresses({});
    setClientCount(0);
    setState(QString());
}

void RemoteWindow::setAddresses(const QStringList &urls)
{
    m_urls = urls;
    QStringList lines;
    for (const QString &url : urls) {
        const QString escaped = url.toHtmlEscaped();
        lines << QStringLiteral("<a href=\"%1\">%1</a>").arg(escaped);
    }
    m_links->setText(lines.isEmpty() ? tr("No address: the web remote does not run.")
                                     : lines.join(QStringLiteral("<br>")));
    m_intro->setVisible(!urls.isEmpty());
    showCode();
}

void RemoteWindow::setClientCount(int count)
{
    m_clients->setText(count <= 0 ? tr("No client connected")
                                  : tr("Clients connected: %1").arg(count));
}

void RemoteWindow::setState(const QString &text)
{
    m_state->setText(text);
    m_state->setVisible(!text.isEmpty());
}

void RemoteWindow::showEvent(QShowEvent *event)
{
    showCode();
    QDialog::showEvent(event);
}

void RemoteWindow::showCode()
{
    const qreal ratio = devicePixelRatioF();
    const int module = qMax(1, int(std::lround(MODULE_PIXELS * ratio)));
    const QImage code = m_urls.isEmpty() ? QImage() : qrCodeImage(m_urls.first(), module);
    QPixmap picture = QPixmap::fromImage(code);
    picture.setDevicePixelRatio(qreal(module) / MODULE_PIXELS);
    m_code->setPixmap(picture);
    m_code->setVisible(!code.isNull());
}
