// A console on a show written to `path`, as `pultora path` starts it, with
// no start-up wait and no quitting; questions go to `prompter`. Null when
// the file cannot be written. `services` may set further seams.
#pragma once

#include "app/prompter.h"
#include "app/pultora.h"

#include <QFile>

#include <memory>

inline std::unique_ptr<Pultora> startConsoleOn(const QString &path, const QByteArray &show,
                                               std::shared_ptr<Prompter> prompter,
                                               ConsoleServices services = ConsoleServices())
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(show) != show.size())
        return nullptr;
    file.close();
    services.prompter = std::move(prompter);
    if (!services.waitOneSecond)
        services.waitOneSecond = [](QProgressDialog *) {};
    if (!services.quit)
        services.quit = [] {};
    QByteArray program("pultora"), argument = path.toLocal8Bit();
    char *argv[] = {program.data(), argument.data()};
    return std::make_unique<Pultora>(nullptr, 2, argv, QString(), QStringLiteral("en_US"),
                                     services);
}
