// The console side of the consistency check: runs the tests of
// model/consistency.h over the show document, lists the findings in the
// results window with the widgets of the controls concerned, and keeps the
// options window. Changed options go on the document as one command.
//
// The windows' signals go by signature text to the console:
//   options  valueChanged()     -> slotConsistenceCheckChanged()
//   results  selectLine(...)    -> slotControlBlink(const QWidget*,const QWidget*)
//   results  checkConsistence() -> slotCheckConsistence()
#pragma once

#include "model/consistency.h"

#include <QCoreApplication>
#include <QPointer>

#include <functional>
#include <memory>

class ConsistenceCheck;
class ConsistenceCheckTable;
class Prompter;
class QWidget;
class ShowDocument;
class Surface;

class ConsistencyRunner
{
    Q_DECLARE_TR_FUNCTIONS(Pultora)

public:
    // Above this many controls a run shows its progress with a Skip button.
    static constexpr int PROGRESS_ABOVE_CONTROLS = 100;
    // The results list shows at most this many findings and counts the rest.
    static constexpr int MAX_LISTED = 1000;

    // `console` receives the windows' signals and parents the progress;
    // all four outlive the runner.
    ConsistencyRunner(ShowDocument &document, const Surface &surface, Prompter &prompter,
                      QWidget *console);
    ~ConsistencyRunner();
    ConsistencyRunner(const ConsistencyRunner &) = delete;
    ConsistencyRunner &operator=(const ConsistencyRunner &) = delete;

    // Shows the options window (application-modal) on the show's options;
    // nothing while the screen is locked.
    void openOptions();
    // The whole surface. With `inform` every outcome is shown (also success
    // and "no controls"); without, the results window shows only for
    // warnings and errors. True when nothing was found.
    bool checkSurface(bool inform);
    // One control as the editor holds it (id 0: a new one) against the
    // show; findings are shown, success is not. True when nothing was found.
    bool checkControl(const SettingStruct &record);
    // Hides, disconnects and deletes both windows.
    void closeAll();

    ConsistenceCheck *options() const;
    ConsistenceCheckTable *results() const;

    // Replaces the progress dialog of large runs (tests): called with the
    // controls done and their number; false skips the rest.
    void setProgress(ConsistencyProgress progress) { m_progressSeam = std::move(progress); }

private:
    void ensureResults();
    void show(const QList<ConsistencyFinding> &findings);
    void applyOptions();

    ShowDocument &m_document;
    const Surface &m_surface;
    Prompter &m_prompter;
    QWidget *m_console;
    QPointer<ConsistenceCheck> m_options;
    QPointer<ConsistenceCheckTable> m_results;
    ConsistencyProgress m_progressSeam;
};
