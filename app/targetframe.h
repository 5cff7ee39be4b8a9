// A thin frame around the control the editing shortcuts act on (Ctrl+E,
// Ctrl+D, Ctrl+X, Ctrl+C, Ctrl+M: the control last right-clicked), so the
// user sees which one that is.
//
// The frame is a widget of its own over the surface: it draws only its
// outline, lets every mouse event through to what lies below and leaves
// the controls' widgets as they are. It follows its control when that
// moves or is resized, and goes when the control's widget goes.
#pragma once

#include <QPointer>
#include <QWidget>

class TargetFrame : public QWidget
{
    Q_OBJECT

public:
    // The frame's line width and its distance from the control, in pixels.
    static constexpr int LINE = 2;
    static constexpr int MARGIN = 3;

    explicit TargetFrame(QWidget *console);

    // Frames `control` (a widget of the console's surface); null hides.
    void frame(QWidget *control);
    QWidget *target() const { return m_target.data(); }
    // Places and raises the frame over its control again (after the
    // surface changed or re-stacked its widgets).
    void follow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_target;
};
