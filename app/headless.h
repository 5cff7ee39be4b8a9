// The console without a person in front of it (pultora --headless): the
// show runs on the offscreen platform, every question gets the answer that
// changes nothing, and the service manager ends it with a signal.
//
// Promises:
// - every question, message and file chooser is written to the log on
//   `pultora.headless` with the answer given: questions and warnings as
//   warnings, information as info;
// - a question offering No is answered No (never save, never restore, never
//   create); one without No gets its escape answer (Cancel, OK); a file
//   chooser is cancelled;
// - a show's commands and its HTTP and OSC outputs to other computers run
//   only when this run allows them (--allow-commands); no consent is taken
//   from or written to the user's settings;
// - SIGTERM and SIGINT end the event loop from inside it, so the console
//   ends as after its Quit: the handler itself only writes one byte.
#pragma once

#include "app/prompter.h"

#include <QLoggingCategory>
#include <QObject>

class QSocketNotifier;

Q_DECLARE_LOGGING_CATEGORY(lcHeadless)

class HeadlessPrompter : public Prompter
{
public:
    explicit HeadlessPrompter(bool allowCommands) : m_allowCommands(allowCommands) {}

    QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    QMessageBox::StandardButton escapeButton) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &proposed,
                         const QString &filter) override;
    bool allowOutputs(const QString &question, const QString &details) override;
    bool remembersConsent() const override { return false; }

private:
    bool m_allowCommands = false;
};

// Turns SIGTERM and SIGINT into a call of QCoreApplication::quit() through
// a socket pair watched by the event loop. One instance at a time.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    // False when the socket pair or a handler could not be set up.
    bool installed() const { return m_notifier != nullptr; }
    // The signal that ended the run; 0 while none arrived.
    int received() const { return m_received; }

private:
    void arrived();

    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};
