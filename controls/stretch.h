// Zoom of the surface. Positions and sizes are stored in background units and
// shown multiplied by the stretch factor, a percentage:
// shown = stored * stretch / 100, truncated.
//
// Pure arithmetic, no widgets. Stored numbers come from files, so every
// result is kept within what a widget can take, and a stretch factor of 0
// (which no editor offers) is read as 100 instead of dividing by zero.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace stretch
{

// Used wherever there is no background record.
constexpr quint32 DEFAULT_STRETCH_PERCENT = 100;
// Largest shown coordinate or length (the toolkit's largest widget size).
constexpr qint64 MAX_SHOWN = 16777215;

inline quint32 effectiveStretch(quint32 stretchPercent)
{
    return stretchPercent == 0 ? DEFAULT_STRETCH_PERCENT : stretchPercent;
}

// One stored coordinate or length as shown: stored * stretch / 100.
inline int toShown(quint32 stored, quint32 stretchPercent)
{
    const quint64 shown = quint64(stored) * effectiveStretch(stretchPercent) / 100u;
    return int(qMin<quint64>(shown, quint64(MAX_SHOWN)));
}

// One shown coordinate or length as stored: shown * 100 / stretch, in signed
// arithmetic truncated toward zero (a window point left of the surface gives
// a negative number). Callers storing into unsigned fields clamp at 0.
inline qint64 toStored(qint64 shown, quint32 stretchPercent)
{
    return shown * 100 / qint64(effectiveStretch(stretchPercent));
}

// A window size as stored background size, never negative.
inline quint32 toStoredLength(int shown, quint32 stretchPercent)
{
    const qint64 stored = toStored(qMax(0, shown), stretchPercent);
    return quint32(qMin<qint64>(stored, qint64(0xFFFFFFFFu)));
}

inline QPoint shownPosition(quint32 x, quint32 y, quint32 stretchPercent)
{
    return QPoint(toShown(x, stretchPercent), toShown(y, stretchPercent));
}

inline QSize shownSize(quint32 w, quint32 h, quint32 stretchPercent)
{
    return QSize(toShown(w, stretchPercent), toShown(h, stretchPercent));
}

inline QRect shownRect(quint32 x, quint32 y, quint32 w, quint32 h, quint32 stretchPercent)
{
    return QRect(shownPosition(x, y, stretchPercent), shownSize(w, h, stretchPercent));
}

} // namespace stretch
