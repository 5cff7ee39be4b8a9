#include "dialogs/consistencedialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

QPushButton *makeButton(const QString &text, const QString &tip, const char *objectName,
                        QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

} // namespace

// ---- options ------------------------------------------------------------------

ConsistenceCheck::ConsistenceCheck(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Consistency Check of Controls"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));

    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(tr("Consistency Check"), this);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    layout->addWidget(heading);

    const QString texts[5] = {
        tr("Check if controls overlap completely"), tr("Check if controls overlap partially"),
        tr("Check for duplicate DMX settings"),
        tr("Check if controls are completely placed outside the background size"),
        tr("Check if controls are partially placed outside the background size")};
    const char *handlers[5] = {SLOT(ChangedCheck1()), SLOT(ChangedCheck2()), SLOT(ChangedCheck3()),
                               SLOT(ChangedCheck4()), SLOT(ChangedCheck5())};
    for (int k = 0; k < 5; ++k) {
        m_boxes[k] = new QCheckBox(texts[k], this);
        m_boxes[k]->setObjectName(QStringLiteral("check_%1").arg(k + 1));
        connect(m_boxes[k], SIGNAL(clicked()), this, handlers[k]);
        layout->addWidget(m_boxes[k]);
    }
    layout->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok =
        makeButton(tr("OK"), tr("click OK to apply all changes and close the window"), "ok", this);
    auto *cancel =
        makeButton(tr("Cancel"), tr("click Cancel to discard any changes"), "cancel", this);
    ok->setDefault(true);
    connect(ok, SIGNAL(clicked()), this, SLOT(pressOk()));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    setChecks(ConsistenceCheckStruct());
}

void ConsistenceCheck::setChecks(const ConsistenceCheckStruct &checks)
{
    m_working = checks;
    const bool flags[5] = {checks.check_1, checks.check_2, checks.check_3, checks.check_4,
                           checks.check_5};
    for (int k = 0; k < 5; ++k)
        m_boxes[k]->setChecked(flags[k]);
}

void ConsistenceCheck::pressOk()
{
    emit valueChanged();
    close();
}

void ConsistenceCheck::ChangedCheck1()
{
    m_working.check_1 = m_boxes[0]->isChecked();
}

void ConsistenceCheck::ChangedCheck2()
{
    m_working.check_2 = m_boxes[1]->isChecked();
}

void ConsistenceCheck::ChangedCheck3()
{
    m_working.check_3 = m_boxes[2]->isChecked();
}

void ConsistenceCheck::ChangedCheck4()
{
    m_working.check_4 = m_boxes[3]->isChecked();
}

void ConsistenceCheck::ChangedCheck5()
{
    m_working.check_5 = m_boxes[4]->isChecked();
}

// ---- results --------------------------------------------------------------------

ConsistenceCheckTable::ConsistenceCheckTable(QWidget *parent) : QWidget(parent, Qt::Window)
{
    qRegisterMetaType<ConsistenceCheckTable::stWidgetPtr>("ConsistenceCheckTable::stWidgetPtr");
    // Findings after a load appear beside the work: the console keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Consistency Check Results"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    resize(500, 300);

    auto *layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("results"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setWordWrap(true);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copy = new QAction(tr("Copy"), m_list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, SIGNAL(triggered()), this, SLOT(slotCopy()));
    m_list->addAction(copy);
    connect(m_list, SIGNAL(itemClicked(QListWidgetItem *)), this,
            SLOT(slotTableClick(QListWidgetItem *)));
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    m_checkAgain =
        makeButton(tr("Check Again"), tr("re-runs the consistency check"), "checkAgain", this);
    auto *copyAll = makeButton(tr("Copy"), tr("copies the results as text"), "copy", this);
    auto *close = makeButton(tr("Close"), tr("closes this window"), "close", this);
    connect(m_checkAgain, SIGNAL(clicked()), this, SLOT(slotCheck()));
    connect(copyAll, SIGNAL(clicked()), this, SLOT(slotCopy()));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(m_checkAgain);
    buttons->addWidget(copyAll);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void ConsistenceCheckTable::setCheckAgainVisible(bool visible)
{
    m_checkAgain->setVisible(visible);
}

void ConsistenceCheckTable::clear()
{
    m_list->clear();
    m_hasWarnings = false;
    m_hasErrors = false;
}

void ConsistenceCheckTable::addEntry(int severity, const QString &text, const QWidget *widget1,
                                     const QWidget *widget2)
{
    QString shown = text;
    QString icon = QStringLiteral(":/images/state_information.xpm");
    if (severity == Warning) {
        shown.prepend(tr("WARNING: "));
        icon = QStringLiteral(":/images/state_warning.xpm");
        m_hasWarnings = true;
    } else if (severity == Error) {
        shown.prepend(tr("ERROR: "));
        icon = QStringLiteral(":/images/state_critical.xpm");
        m_hasErrors = true;
    }
    auto *item = new QListWidgetItem(QIcon(icon), shown, m_list);
    item->setData(Qt::UserRole, QVariant::fromValue(stWidgetPtr{widget1, widget2}));
    if (m_hasWarnings || m_hasErrors || m_informOnSuccess)
        show();
}

bool ConsistenceCheckTable::isEmpty() const
{
    return m_list->count() == 0;
}

QString ConsistenceCheckTable::text() const
{
    QList<QListWidgetItem *> items = m_list->selectedItems();
    if (items.isEmpty()) {
        for (int row = 0; row < m_list->count(); ++row)
            items.append(m_list->item(row));
    } else {
        std::sort(items.begin(), items.end(), [this](QListWidgetItem *a, QListWidgetItem *b) {
            return m_list->row(a) < m_list->row(b);
        });
    }
    QStringList lines;
    for (const QListWidgetItem *item : items)
        lines.append(item->text());
    return lines.join(QLatin1Char('\n'));
}

void ConsistenceCheckTable::slotTableClick(QListWidgetItem *item)
{
    if (!item)
        return;
    const auto pair = item->data(Qt::UserRole).value<stWidgetPtr>();
    if (pair.pWidget1 || pair.pWidget2)
        emit selectLine(pair.pWidget1.data(), pair.pWidget2.data());
}

void ConsistenceCheckTable::slotCheck()
{
    emit checkConsistence();
}

void ConsistenceCheckTable::slotCopy()
{
    QApplication::clipboard()->setText(text());
}
