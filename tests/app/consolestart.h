// A console on a show written to `path`, as `pultora path` starts it, with
// no start-up wait and no quitting; questions go to `prompter`. Null when
// the file cannot be written. `services` may set further seams. Beside it
// what the console tests share: files, slots run by name, top windows.
#pragma once

#include "app/prompter.h"
#include "app/pultora.h"
#include "tests/model/recordinghost.h" // readBytes, writeBytes

#include <QApplication>

#include <memory>

inline int controlsIn(const QString &path)
{
    return int(readBytes(path).count("<control "));
}

// Runs a slot of the console by name, as its menu, shortcuts and widgets do.
inline bool call(Pultora &console, const char *slot)
{
    return QMetaObject::invokeMethod(&console, slot);
}

// Runs Save (or another slot that answers whether it saved).
inline bool saved(Pultora &console, const char *slot = "slotConfigSave")
{
    bool result = false;
    return QMetaObject::invokeMethod(&console, slot, Q_RETURN_ARG(bool, result)) && result;
}

// The widget of the console's control number `index`, as a T; null when none.
template <typename T = QWidget> T *widgetAt(Pultora &console, int index)
{
    return qobject_cast<T *>(
        console.surface().widget(console.document().controls().value(index).id));
}

// The window of this kind among the top-level ones; null when none.
template <typename T> T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<T *>(w))
            return found;
    return nullptr;
}

inline std::unique_ptr<Pultora> startConsoleOn(const QString &path, const QByteArray &show,
                                               std::shared_ptr<Prompter> prompter,
                                               ConsoleServices services = ConsoleServices())
{
    if (!writeBytes(path, show))
        return nullptr;
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
