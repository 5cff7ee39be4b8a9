// Entry point: installs the translation, builds the console window and runs
// the event loop. Destroying the window writes the last session.
#include "firstpaint.h"
#include "pultora.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    QTranslator translator;
    const QString translationFile = loadTranslation(translator, QLocale::system().name(),
                                                    QCoreApplication::applicationDirPath());
    if (!translationFile.isEmpty())
        QCoreApplication::installTranslator(&translator);

    auto *console = new Pultora(nullptr, argc, argv, translationFile, QLocale::system().name());
    FirstPaintReport::installIfRequested(console, [console] {
        return QStringLiteral("dmx-in-setups=%1").arg(console->io().inputSetUps());
    });
    console->show();
    const int result = app.exec();
    delete console;
    return result;
}
