#include "dialogs/tooltipwrap.h"

#include <QHelpEvent>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

QString WrappedToolTips::shown(const QString &tip)
{
    if (tip.size() <= MAX_LINE || Qt::mightBeRichText(tip))
        return tip;
    // Broken here at spaces, lines of at most MAX_LINE characters (a longer
    // word has a line of its own): the toolkit's own wrapping of a tooltip
    // makes a narrow column.
    QStringList lines;
    for (const QString &paragraph : tip.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > MAX_LINE) {
                lines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << line;
    }
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

bool WrappedToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    const QString tip = widget->toolTip();
    const QString text = shown(tip);
    if (text == tip)
        return false; // the toolkit shows it, and asks the parents when it is empty
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text, widget, QRect(),
                       widget->toolTipDuration());
    return true;
}
