// The user guide that ships with the console: HTML pages in English and
// German under share/pultora/guide (installed), or the source tree's guide/
// folder when the console runs from its build folder. F1 opens the page
// that fits the window in front.
#pragma once

#include <QString>
#include <QUrl>

class QLocale;
class QWidget;

namespace guide
{

// The page (and anchor) for a window of class `className` ("Settings",
// "Preferences", ...); the guide's first page for the console and for
// windows the guide has no chapter of. Form: "building.html#editor".
QString chapterFor(const QString &className);
// As chapterFor, for the window that holds `widget`.
QString chapterFor(const QWidget *widget);

// The file:// address of `chapter` in the guide for the program in
// `appDir`: ../share/pultora/guide beside it, else the source tree's copy.
// German pages under a German locale, English otherwise. Empty when no
// guide is found.
QUrl guideUrl(const QString &chapter, const QLocale &locale, const QString &appDir);

} // namespace guide
