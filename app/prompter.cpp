#include "app/prompter.h"

#include "app/appinfo.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

bool Prompter::allowOutputs(const QString &question, const QString &details)
{
    // Asked without a parent, like every question about a document's content.
    return askWithDetails(nullptr, QMessageBox::Question, appinfo::productName(), question, details,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                          QMessageBox::No) == QMessageBox::Yes;
}

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

QMessageBox::StandardButton DialogPrompter::askWithDetails(
    QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
    const QString &details, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton, QMessageBox::StandardButton escapeButton)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *top = new QHBoxLayout;
    auto *sign = new QLabel(&dialog);
    const int side = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    const QStyle::StandardPixmap pixmap =
        icon == QMessageBox::Critical   ? QStyle::SP_MessageBoxCritical
        : icon == QMessageBox::Warning  ? QStyle::SP_MessageBoxWarning
        : icon == QMessageBox::Question ? QStyle::SP_MessageBoxQuestion
                                        : QStyle::SP_MessageBoxInformation;
    if (icon != QMessageBox::NoIcon)
        sign->setPixmap(dialog.style()->standardIcon(pixmap, nullptr, &dialog).pixmap(side, side));
    sign->setAlignment(Qt::AlignTop);
    top->addWidget(sign);
    auto *label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    top->addWidget(label, 1);
    layout->addLayout(top);
    auto *list = new QPlainTextEdit(details, &dialog);
    list->setObjectName(QStringLiteral("details"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setMinimumSize(520, 200);
    layout->addWidget(list, 1);
    auto *box = new QDialogButtonBox(QDialogButtonBox::StandardButtons(int(buttons)), &dialog);
    layout->addWidget(box);
    QMessageBox::StandardButton answer = escapeButton;
    QObject::connect(box, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton *button) {
        answer = QMessageBox::StandardButton(int(box->standardButton(button)));
        dialog.accept();
    });
    if (QPushButton *button = box->button(QDialogButtonBox::StandardButton(int(defaultButton))))
        button->setDefault(true);
    dialog.exec();
    return answer;
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
