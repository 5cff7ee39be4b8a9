// The About window: product, version, build date, credits, the update page
// and the toolkit actually running.
#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

// What the About window tells about the program; the console fills it in.
struct AboutFacts {
    QString productName = QStringLiteral("Pultora");
    QString version;
    QDate buildDate;    // shown in the interface's language
    QString updateLink; // HTML anchor to the update page of this version
};

class AboutInfo : public QWidget
{
    Q_OBJECT

public:
    // text1 and text2 are shown centred under the credits when not empty.
    AboutInfo(const QString &iconPath, const QString &text1, const QString &text2,
              QWidget *parent = nullptr, const AboutFacts &facts = AboutFacts());

private slots:
    void pressOk();
};
