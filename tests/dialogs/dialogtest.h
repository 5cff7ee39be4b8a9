// Finding and working the inputs of a window in the dialogs' tests.
#pragma once

#include <QComboBox>
#include <QSpinBox>
#include <QtTest>

// The child named `name`; the test ends where there is none.
template <typename T = QWidget> T *child(const QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

inline QSpinBox *spin(const QObject *parent, const char *name)
{
    return child<QSpinBox>(parent, name);
}

// Chooses the entry carrying `value` in the list named `list`.
inline void select(const QObject *parent, const char *list, int value)
{
    QComboBox *combo = child<QComboBox>(parent, list);
    combo->setCurrentIndex(combo->findData(value));
}
