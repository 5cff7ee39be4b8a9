// Start-up helpers of the console: merging the start-up demands of a loaded
// configuration into the preferences, and the start-up wait that gives
// connected equipment time before the first value is sent.
#pragma once

#include "model/settingstruct.h"

#include <QCoreApplication>
#include <functional>

class QProgressDialog;
class QWidget;

// A background that asks for a start-up delay raises the preferences' delay
// to its own; a background that asks to send only with the first change
// sets that preference. The preferences change in memory only.
void combineStartupSettings(const BackgroundStruct &background, PreferencesStruct &preferences);

// Waits one second. `progress` is the visible progress dialog of a long
// wait (the wait should let the user press its "Start Now"), or null.
using SecondWaiter = std::function<void(QProgressDialog *progress)>;

// The product's waiter: sleeps, or keeps the progress dialog responsive
// for one second.
SecondWaiter defaultSecondWaiter();

class StartupTimeout
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    // Progress dialogs are shown from this many seconds on.
    static constexpr int PROGRESS_FROM_S = 4;

    explicit StartupTimeout(SecondWaiter waiter) : m_waiter(std::move(waiter)) {}

    // Waits `seconds` one second at a time: up to three seconds silently,
    // longer with a window-modal progress dialog whose "Start Now" ends the
    // wait early. Returns the seconds waited.
    int run(int seconds, QWidget *parent);

private:
    SecondWaiter m_waiter;
};
