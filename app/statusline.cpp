#include "app/statusline.h"

#include <QIcon>
#include <QKeySequence>
#include <QPaintEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOption>

namespace
{

// Room around the message, as QStatusBar leaves it.
constexpr int MESSAGE_LEFT = 6;
constexpr int MESSAGE_RIGHT = 12;
constexpr int ITEM_GAP = 2;
// Room between a hint's separating line and its text.
constexpr int HINT_INDENT = 8;
// The lock sign's side, in the height of a line of text.
constexpr double LOCK_SIGN_LINES = 1.2;

// A label that is elided where it is narrower than its text, set off from
// the message by a line and drawn in the colour of placeholder texts.
class HintLabel : public QLabel
{
public:
    HintLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
    {
        setToolTip(text);
        setTextFormat(Qt::PlainText);
        setForegroundRole(QPalette::PlaceholderText);
        setContentsMargins(HINT_INDENT, 0, 0, 0);
    }
    QSize minimumSizeHint() const override
    {
        return QSize(HINT_INDENT + fontMetrics().horizontalAdvance(QStringLiteral("Mm…")),
                     QLabel::minimumSizeHint().height());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() / 4, 0, height() - height() / 4);
        const QRect room = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
        style()->drawItemText(&painter, room, Qt::AlignLeading | Qt::AlignVCenter, palette(),
                              isEnabled(), shown, foregroundRole());
    }
};

} // namespace

StatusLine::StatusLine(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    // The tooltip tells the whole message, also one elided.
    connect(this, &QStatusBar::messageChanged, this, &QWidget::setToolTip);
}

QLabel *StatusLine::addHint(const QString &text, const QString &name)
{
    auto *hint = new HintLabel(text, this);
    hint->setObjectName(name);
    addPermanentWidget(hint);
    m_hints.append(hint);
    limitHints();
    return hint;
}

void StatusLine::showLock(bool locked, const QString &tip)
{
    if (!m_lock && !locked)
        return;
    if (!m_lock) {
        m_lock = new QLabel(this);
        m_lock->setObjectName(QStringLiteral("lockSign"));
        const int side = qRound(fontMetrics().height() * LOCK_SIGN_LINES);
        m_lock->setPixmap(QIcon(QStringLiteral(":/images/lockscreen.xpm"))
                              .pixmap(QSize(side, side), devicePixelRatioF()));
        addPermanentWidget(m_lock);
    }
    m_lock->setToolTip(tip);
    m_lock->setVisible(locked);
}

void StatusLine::showRemote(const QString &text, const QString &tip)
{
    if (!m_remote && text.isEmpty())
        return;
    if (!m_remote) {
        m_remote = new QLabel(this);
        m_remote->setObjectName(QStringLiteral("remoteSign"));
        addPermanentWidget(m_remote);
    }
    m_remote->setText(text);
    m_remote->setToolTip(tip);
    m_remote->setVisible(!text.isEmpty());
}

void StatusLine::setDesignMode(bool on)
{
    if (!m_design && !on)
        return;
    if (!m_design) {
        m_design = new QLabel(tr("Design Mode"), this);
        m_design->setObjectName(QStringLiteral("designSign"));
        m_design->setToolTip(
            tr("The controls do not operate: click to select, drag to move, "
               "drag a handle to resize (%1 leaves)")
                .arg(QKeySequence(tr("Ctrl+Shift+E")).toString(QKeySequence::NativeText)));
        QFont bold = m_design->font();
        bold.setBold(true);
        m_design->setFont(bold);
        addPermanentWidget(m_design);
    }
    m_design->setVisible(on);
}

QList<QWidget *> StatusLine::shownItems() const
{
    QList<QWidget *> items;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(this) && !w->isWindow() && !qobject_cast<QSizeGrip *>(w))
            items.append(w);
    return items;
}

QRect StatusLine::messageRect() const
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    int left = MESSAGE_LEFT;
    int right = width() - MESSAGE_RIGHT;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!w->isVisibleTo(this) || w->isWindow())
            continue;
        if (rtl)
            left = qMax(left, w->geometry().right() + 1 + ITEM_GAP);
        else
            right = qMin(right, w->x() - ITEM_GAP);
    }
    return QRect(left, 0, qMax(0, right - left), height());
}

QString StatusLine::shownMessage() const
{
    return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, messageRect().width());
}

// As QStatusBar draws itself, with the message elided to its room.
void StatusLine::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    for (QWidget *item : shownItems()) {
        QStyleOption frame;
        frame.rect = item->geometry().adjusted(-ITEM_GAP, -1, ITEM_GAP, 1);
        if (!event->rect().intersects(frame.rect))
            continue;
        frame.palette = palette();
        frame.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, item);
    }
    const QString message = shownMessage();
    if (message.isEmpty())
        return;
    painter.setPen(palette().windowText().color());
    painter.drawText(messageRect(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
                     message);
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    limitHints();
    QStatusBar::resizeEvent(event);
}

// A hint leaves at least half the line to the messages.
void StatusLine::limitHints()
{
    m_hints.removeAll(nullptr);
    for (QLabel *hint : std::as_const(m_hints))
        hint->setMaximumWidth(qMax(hint->minimumSizeHint().width(), width() / 2));
}
