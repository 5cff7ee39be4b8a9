// A Prompter that answers from a script and records every question, so
// console tests run without modal loops.
#pragma once

#include "app/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

class ScriptedPrompter : public Prompter
{
public:
    struct Asked {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    QList<QMessageBox::StandardButton> answers; // empty: the escape button
    QList<QString> fileNames;                   // empty: cancelled
    QList<Asked> asked;
    QStringList fileDialogTitles;

    QMessageBox::StandardButton ask(QWidget *, QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton,
                                    QMessageBox::StandardButton escapeButton) override
    {
        asked.append({icon, title, text, buttons});
        return answers.isEmpty() ? escapeButton : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &title, const QString &, const QString &) override
    {
        fileDialogTitles.append(title);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &, const QString &) override
    {
        fileDialogTitles.append(title);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
};
