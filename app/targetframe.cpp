#include "app/targetframe.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

TargetFrame::TargetFrame(QWidget *console) : QWidget(console)
{
    setObjectName(QStringLiteral("targetFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TargetFrame::frame(QWidget *control)
{
    if (m_target && m_target != control)
        m_target->removeEventFilter(this);
    m_target = control;
    if (control)
        control->installEventFilter(this);
    follow();
}

void TargetFrame::follow()
{
    if (!m_target || !m_target->isVisible() || m_target->parentWidget() != parentWidget()) {
        hide();
        return;
    }
    setGeometry(m_target->geometry().adjusted(-MARGIN, -MARGIN, MARGIN, MARGIN));
    raise();
    show();
}

bool TargetFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            follow();
            break;
        case QEvent::Destroy:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TargetFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The application's selection colour: the console's own palette takes
    // the background colour and its inputs.
    painter.setPen(QPen(QApplication::palette().color(QPalette::Highlight), LINE));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(LINE / 2.0, LINE / 2.0, -LINE / 2.0, -LINE / 2.0));
}
