// The console's status line: one message at a time, and beside it items
// that keep a place of their own (the hint how to open the menu, the lock
// sign, the reload offer), so a message never lies over one of them.
//
// Messages come through QStatusBar::showMessage() as before; the line only
// draws them differently: elided in the middle when they do not fit (the
// value at the end of "DMX Channel: 5 | ..." stays), with the whole message
// as the line's tooltip. A hint takes at most half the line and is elided
// at its end, its whole text its tooltip.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

class StatusLine : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    // A hint right of the messages, named `name`; whoever deletes the label
    // takes the hint away.
    QLabel *addHint(const QString &text, const QString &name);
    // The lock sign: shown while `locked`, `tip` saying how to unlock.
    void showLock(bool locked, const QString &tip);
    QLabel *lockSign() const { return m_lock; }
    // "Design Mode" beside the messages while the mode is on.
    void setDesignMode(bool on);
    // The web remote's sign ("Remote: 2"), shown while `text` is not empty.
    void showRemote(const QString &text, const QString &tip);
    QLabel *remoteSign() const { return m_remote; }

    // Where the message is drawn: from the left to the first item beside it.
    QRect messageRect() const;
    // The message as drawn there; empty when there is none.
    QString shownMessage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The items shown beside the message (not the size grip).
    QList<QWidget *> shownItems() const;
    void limitHints();

    QLabel *m_lock = nullptr;
    QLabel *m_design = nullptr;
    QLabel *m_remote = nullptr;
    QList<QPointer<QLabel>> m_hints;
};
