// The console's questions and file choosers behind one seam: the product
// shows message boxes and file dialogs, tests answer from a script without
// running modal loops.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QString>

class QWidget;

class Prompter
{
public:
    virtual ~Prompter() = default;

    // Shows `text` titled `title` with `buttons` and returns the button
    // chosen; closing the box returns `escapeButton`.
    virtual QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon,
                                            const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton,
                                            QMessageBox::StandardButton escapeButton) = 0;
    // A file to open or to save to; empty when the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &proposed,
                                 const QString &filter) = 0;

    // As ask(), with the buttons named for what they do here ("Overwrite"
    // instead of "Save"). Answers are still the standard buttons.
    using ButtonTexts = QList<QPair<QMessageBox::StandardButton, QString>>;
    virtual QMessageBox::StandardButton askNamed(QWidget *parent, QMessageBox::Icon icon,
                                                 const QString &title, const QString &text,
                                                 const ButtonTexts &buttons,
                                                 QMessageBox::StandardButton defaultButton,
                                                 QMessageBox::StandardButton escapeButton)
    {
        QMessageBox::StandardButtons all;
        for (const auto &b : buttons)
            all |= b.first;
        return ask(parent, icon, title, text, all, defaultButton, escapeButton);
    }

    // As ask(), with `details` (a line per item, as many as there are) in a
    // scrollable box below the text. Without a box of its own, the details
    // follow the text.
    virtual QMessageBox::StandardButton askWithDetails(QWidget *parent, QMessageBox::Icon icon,
                                                       const QString &title, const QString &text,
                                                       const QString &details,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton,
                                                       QMessageBox::StandardButton escapeButton)
    {
        return ask(parent, icon, title, text + QLatin1String("\n\n") + details, buttons,
                   defaultButton, escapeButton);
    }

    // The question before a loaded show's outputs reach beyond the show
    // protocols (outputconsent.h), a line per item in `details`: true when
    // they may. The default asks Yes or No, No being the default answer.
    virtual bool allowOutputs(const QString &question, const QString &details);
    // Whether a consent given to outputs is remembered for this user, and
    // one remembered from before counts. False where nobody answers: only
    // this run's own rule decides.
    virtual bool remembersConsent() const { return true; }

    // A message with one OK button.
    void tell(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
    {
        ask(parent, icon, title, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
    }
};

// Real message boxes and file dialogs.
class DialogPrompter : public Prompter
{
public:
    QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    QMessageBox::StandardButton escapeButton) override;
    QMessageBox::StandardButton askNamed(QWidget *parent, QMessageBox::Icon icon,
                                         const QString &title, const QString &text,
                                         const ButtonTexts &buttons,
                                         QMessageBox::StandardButton defaultButton,
                                         QMessageBox::StandardButton escapeButton) override;
    QMessageBox::StandardButton askWithDetails(QWidget *parent, QMessageBox::Icon icon,
                                               const QString &title, const QString &text,
                                               const QString &details,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton,
                                               QMessageBox::StandardButton escapeButton) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &proposed,
                         const QString &filter) override;

private:
    QMessageBox::StandardButton run(QMessageBox &box, QMessageBox::StandardButton defaultButton,
                                    QMessageBox::StandardButton escapeButton);
};
