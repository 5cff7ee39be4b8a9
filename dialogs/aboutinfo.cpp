#include "dialogs/aboutinfo.h"

#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QLabel *centredLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setWordWrap(true);
    return label;
}

} // namespace

AboutInfo::AboutInfo(const QString &iconPath, const QString &text1, const QString &text2,
                     QWidget *parent, const AboutFacts &facts)
    : QWidget(parent)
{
    if (!iconPath.isEmpty())
        setWindowIcon(QIcon(iconPath));
    setWindowTitle(tr("About %1").arg(facts.productName));

    auto *layout = new QVBoxLayout(this);
    if (!iconPath.isEmpty()) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("picture"));
        picture->setPixmap(QIcon(iconPath).pixmap(64, 64));
        picture->setAlignment(Qt::AlignCenter);
        layout->addWidget(picture);
    }
    auto *credits = centredLabel(tr("<b>%1</b><br>Version: %2<br>Date: %3<br><br>"
                                    "Written by the Pultora developers<br>%4<br><br>"
                                    "Translations by the Pultora translators")
                                     .arg(facts.productName, facts.version,
                                          QLocale().toString(facts.buildDate, QLocale::LongFormat),
                                          facts.updateLink),
                                 this);
    credits->setObjectName(QStringLiteral("credits"));
    layout->addWidget(credits);
    if (!text1.isEmpty())
        layout->addWidget(
            new QLabel(QStringLiteral("<center>") + text1 + QStringLiteral("</center>"), this));
    if (!text2.isEmpty())
        layout->addWidget(
            new QLabel(QStringLiteral("<center>") + text2 + QStringLiteral("</center>"), this));
    // The toolkit this process actually runs on, not the one it was built with.
    auto *toolkit = centredLabel(
        tr("<center>Third Party<br>%1 under %2</center>")
            .arg(QStringLiteral("<a href=\"https://www.qt.io/\">%1</a>")
                     .arg(tr("Qt (%1)").arg(QString::fromLatin1(qVersion()))),
                 // Qt 6 is licensed under version 3 of the LGPL.
                 QStringLiteral("<a href=\"https://www.gnu.org/licenses/lgpl-3.0.html\">LGPL</a>")),
        this);
    toolkit->setObjectName(QStringLiteral("toolkit"));
    layout->addWidget(toolkit);
    layout->addStretch();
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setToolTip(tr("click OK to close this window"));
    ok->setDefault(true);
    connect(ok, SIGNAL(clicked()), this, SLOT(pressOk()));
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 45);
}

void AboutInfo::pressOk()
{
    close();
}
