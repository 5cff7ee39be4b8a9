// Entry point: installs the translation, builds the console window and runs
// the event loop. Destroying the window writes the last session.
#include "firstpaint.h"
#include "pultora.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // "Pultora_de_DE" falls back to "Pultora_de", then "Pultora".
    QTranslator translator;
    const QString translationName = QStringLiteral("Pultora_") + QLocale::system().name();
    QString translationFile;
    if (translator.load(translationName, QCoreApplication::applicationDirPath())) {
        QCoreApplication::installTranslator(&translator);
        translationFile = translationName;
    }

    auto *console = new Pultora(nullptr, argc, argv, translationFile, QLocale::system().name());
    FirstPaintReport::installIfRequested(console);
    console->show();
    const int result = app.exec();
    delete console;
    return result;
}
