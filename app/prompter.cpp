#include "prompter.h"

#include <QFileDialog>
#include <QPushButton>

QMessageBox::StandardButton DialogPrompter::ask(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton,
                                                QMessageBox::StandardButton escapeButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    return run(box, defaultButton, escapeButton);
}

QMessageBox::StandardButton DialogPrompter::askNamed(QWidget *parent, QMessageBox::Icon icon,
                                                     const QString &title, const QString &text,
                                                     const ButtonTexts &buttons,
                                                     QMessageBox::StandardButton defaultButton,
                                                     QMessageBox::StandardButton escapeButton)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    for (const auto &[button, label] : buttons)
        box.addButton(button)->setText(label);
    return run(box, defaultButton, escapeButton);
}

QMessageBox::StandardButton DialogPrompter::run(QMessageBox &box,
                                                QMessageBox::StandardButton defaultButton,
                                                QMessageBox::StandardButton escapeButton)
{
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    const int answer = box.exec();
    // exec() gives the standard button, or an escape result for boxes
    // closed by other means.
    if (box.clickedButton() == nullptr)
        return escapeButton;
    return QMessageBox::StandardButton(answer);
}

QString DialogPrompter::openFileName(QWidget *parent, const QString &title, const QString &dir,
                                     const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString DialogPrompter::saveFileName(QWidget *parent, const QString &title, const QString &proposed,
                                     const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, proposed, filter);
}
