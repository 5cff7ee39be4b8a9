// Start-up measurement for the benchmarks: with PULTORA_REPORT_FIRST_PAINT
// set in the environment, the console prints one line when its window has
// been painted for the first time and leaves the event loop:
//   first-paint-ms=<ms since main()> vmhwm-kb=<peak resident memory> [extra]
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QWidget;

class FirstPaintReport : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *ENV_VAR = "PULTORA_REPORT_FIRST_PAINT";

    // Watches `window` when the environment asks for the report; `extra`
    // adds " key=value" words to the line.
    static void installIfRequested(QWidget *window, std::function<QString()> extra = {});
    // Peak resident memory of this process in KiB (0 where unknown).
    static long peakResidentKb();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FirstPaintReport(QObject *parent) : QObject(parent) {}
    void report();
    bool m_done = false;
    std::function<QString()> m_extra;
};
