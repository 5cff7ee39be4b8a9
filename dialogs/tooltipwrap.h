// Long tooltips as the toolkit shows them stay on one line, as wide as the
// screen. WrappedToolTips, installed on the application, shows a plain tooltip
// longer than MAX_LINE characters in lines of at most MAX_LINE characters. The
// widgets keep their tooltips as they are.
#pragma once

#include <QObject>

class WrappedToolTips : public QObject
{
public:
    static constexpr int MAX_LINE = 70;
    using QObject::QObject;

    // The text shown for a tooltip: `tip` itself when it is short or rich
    // text already, else `tip` broken into lines at spaces, as rich text.
    static QString shown(const QString &tip);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
