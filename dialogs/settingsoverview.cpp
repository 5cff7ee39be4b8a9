#include "dialogs/settingsoverview.h"

#include "dialogs/overviewmodel.h"
#include "model/batchchange.h"
#include "model/showcommands.h"
#include "model/showdocument.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
// Rows measured for the column widths: enough for a fair width, few enough
// that a show of thousands of controls opens at once.
constexpr int WIDTH_SAMPLE_ROWS = 100;

QString verb(int action)
{
    switch (action) {
    case BA_SET:
        return SettingsOverview::tr("Set");
    case BA_ADD:
        return SettingsOverview::tr("Add");
    case BA_SUB:
        return SettingsOverview::tr("Subtract");
    default:
        return SettingsOverview::tr("Increment");
    }
}

bool tableOrder(const QModelIndex &a, const QModelIndex &b)
{
    return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
}

} // namespace

SettingsOverview::SettingsOverview(ShowDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document)
{
    setWindowTitle(tr("Overview of All Controls"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    m_model = new OverviewModel(document, this);
    m_filter = new OverviewFilter(this);
    m_filter->setSourceModel(m_model);
    buildWidgets();
    connect(m_model, &OverviewModel::refused, this, &SettingsOverview::showStatus);
    for (QAbstractItemModel *model : {static_cast<QAbstractItemModel *>(m_model),
                                      static_cast<QAbstractItemModel *>(m_filter)}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &SettingsOverview::updateCount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &SettingsOverview::updateCount);
        connect(model, &QAbstractItemModel::modelReset, this, &SettingsOverview::updateCount);
        connect(model, &QAbstractItemModel::layoutChanged, this, &SettingsOverview::updateCount);
    }
    updateCount();
}

void SettingsOverview::buildWidgets()
{
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("count"));
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("value"));
    m_value->setToolTip(tr("enter a new value"));
    m_value->setMinimumWidth(120);

    auto *tools = new QHBoxLayout;
    tools->addWidget(m_count);
    tools->addWidget(m_value, 1);
    auto textButton = [&](const char *name, const QString &text, const QString &tip,
                          void (SettingsOverview::*slot)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        tools->addWidget(b);
        return b;
    };
    textButton("set", tr("Set"), tr("setting this value for selected cells"),
               &SettingsOverview::slotSet);
    textButton("add", tr("Add"), tr("adding this value to all selected cells"),
               &SettingsOverview::slotAdd);
    textButton("sub", tr("Subtract"), tr("subtracting this value from selected cells"),
               &SettingsOverview::slotSub);
    textButton("inc", tr("Increment"), tr("increment iterate this value for selected cells"),
               &SettingsOverview::slotInc);
    auto iconButton = [&](const char *name, const QIcon &icon, const QString &tip,
                          void (SettingsOverview::*slot)()) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(icon);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        tools->addWidget(b);
        return b;
    };
    iconButton("controlAdd", QIcon(QStringLiteral(":/images/editadd.xpm")),
               tr("Add a new control to screen"), &SettingsOverview::slotControlAdd);
    iconButton("controlDelete", QIcon(QStringLiteral(":/images/editdelete.xpm")),
               tr("deleting all selected controls"), &SettingsOverview::slotControlDelete);
    iconButton("shiftUp", style()->standardIcon(QStyle::SP_ArrowUp),
               tr("shifting selected rows up"), &SettingsOverview::slotControlShiftUp);
    iconButton("shiftDown", style()->standardIcon(QStyle::SP_ArrowDown),
               tr("shifting selected rows down"), &SettingsOverview::slotControlShiftDown);
    iconButton("refresh", QIcon(QStringLiteral(":/images/filereload.xpm")),
               tr("refreshing the table content (F5)"), &SettingsOverview::slotControlRefresh)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    QToolButton *save = iconButton("save", QIcon(QStringLiteral(":/images/filesave.xpm")),
                                   tr("Save a config file"), &SettingsOverview::slotConfigSave);
    save->setShortcut(QKeySequence(tr("Ctrl+S")));
    save->setStatusTip(tr("Save a config file"));

    m_filterField = new QLineEdit(this);
    m_filterField->setObjectName(QStringLiteral("filter"));
    m_filterField->setPlaceholderText(tr("Filter by name, type, protocol or universe"));
    m_filterField->setClearButtonEnabled(true);
    connect(m_filterField, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_filter->setFilterText(text);
        updateCount();
    });

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("table"));
    m_view->setModel(m_filter);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_view->setWordWrap(false);
    QHeaderView *header = m_view->horizontalHeader();
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setResizeContentsPrecision(WIDTH_SAMPLE_ROWS);
    m_view->setSortingEnabled(true);
    QHeaderView *rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 8);
    m_view->resizeColumnsToContents();
    connect(m_view, &QTableView::clicked, this, &SettingsOverview::cellActivated);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { currentChanged(current); });

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setToolTip(tr("closes the overview (Esc)"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_filterField);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);

    // Undo and Redo reach the show's history from this window too.
    QAction *undo = m_document.undoStack().createUndoAction(this, tr("Undo"));
    undo->setShortcut(QKeySequence::Undo);
    addAction(undo);
    QAction *redo = m_document.undoStack().createRedoAction(this, tr("Redo"));
    redo->setShortcut(QKeySequence(tr("Ctrl+Shift+Z")));
    addAction(redo);

    resize(1100, 500);
}

QString SettingsOverview::statusText() const
{
    return m_status->text();
}

void SettingsOverview::showStatus(const QString &text)
{
    m_status->setText(text);
}

void SettingsOverview::updateCount()
{
    const int total = m_model->rowCount();
    const int shown = m_filter->rowCount();
    if (total == 0)
        m_count->clear();
    else if (shown == total)
        m_count->setText(tr("%1 Controls").arg(total));
    else
        m_count->setText(tr("%1 of %2 Controls").arg(shown).arg(total));
}

QList<quint32> SettingsOverview::selectedIds() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<quint32> ids;
    ids.reserve(rows.size());
    for (int row : std::as_const(rows))
        ids.append(m_model->idAt(m_filter->mapToSource(m_filter->index(row, 0)).row()));
    return ids;
}

int SettingsOverview::applyToSelection(int action)
{
    QModelIndexList cells = m_view->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return 0;
    // Increment numbers the cells as the user sees them: row by row.
    std::sort(cells.begin(), cells.end(), tableOrder);
    const QString text = m_value->text();
    BatchRun run(m_document);
    for (const QModelIndex &cell : std::as_const(cells)) {
        const QModelIndex source = m_filter->mapToSource(cell);
        if (!(m_model->flags(source) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
            continue;
        run.change(m_model->idAt(source.row()), column::typeAt(source.column()), action, text);
    }
    const QList<SettingStruct> records = run.records();
    QString name;
    if (!records.isEmpty()) {
        const QList<int> &columns = run.columns();
        const QString what = columns.size() == 1 ? OverviewModel::columnTitle(columns.first())
                                                 : tr("%1 columns").arg(columns.size());
        name = records.size() == 1
                   ? tr("%1 %2 of %3").arg(verb(action), what, records.first().name)
                   : tr("%1 %2 on %3 controls").arg(verb(action), what).arg(records.size());
        m_document.push(new ChangeControls(m_document, records, name));
    }
    if (run.refusedCells() > 0)
        showStatus(
            tr("%1 cells left unchanged: %2").arg(run.refusedCells()).arg(run.firstRefusal()));
    else
        showStatus(name);
    return run.changedCells();
}

void SettingsOverview::shiftSelection(bool up)
{
    const QList<quint32> ids = selectedIds();
    if (ids.isEmpty())
        return;
    // Shifting is in the show's order: a table sorted by a column goes back
    // to it, or the rows would not be seen to move.
    if (m_filter->sortColumn() >= 0) {
        m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        m_filter->sort(-1);
    }
    const QList<quint32> before = m_document.ids();
    const QList<quint32> after = shiftOrder(before, QSet<quint32>(ids.cbegin(), ids.cend()), up);
    if (after == before)
        return;
    const QString name =
        ids.size() == 1
            ? (up ? tr("Shift Control Up") : tr("Shift Control Down"))
            : (up ? tr("Shift %1 Controls Up") : tr("Shift %1 Controls Down")).arg(ids.size());
    m_document.push(new ReorderControls(m_document, after, name));
}

void SettingsOverview::slotConfigSave()
{
    emit clickdActionConfigSave();
}

void SettingsOverview::slotSet()
{
    applyToSelection(BA_SET);
}

void SettingsOverview::slotAdd()
{
    applyToSelection(BA_ADD);
}

void SettingsOverview::slotSub()
{
    applyToSelection(BA_SUB);
}

void SettingsOverview::slotInc()
{
    applyToSelection(BA_INC);
}

void SettingsOverview::slotControlShiftUp()
{
    shiftSelection(true);
}

void SettingsOverview::slotControlShiftDown()
{
    shiftSelection(false);
}

void SettingsOverview::slotControlAdd()
{
    emit clickedActionAdd();
}

void SettingsOverview::slotControlDelete()
{
    const QList<quint32> ids = selectedIds();
    if (ids.isEmpty())
        return;
    m_document.push(new RemoveControls(m_document, ids,
                                       ids.size() == 1 ? tr("Delete Control")
                                                       : tr("Delete %1 Controls").arg(ids.size())));
}

void SettingsOverview::slotControlRefresh()
{
    m_model->reload();
    m_view->resizeColumnsToContents();
    showStatus(QString());
}

void SettingsOverview::slotCellClicked()
{
    currentChanged(m_view->currentIndex());
}

void SettingsOverview::cellActivated(const QModelIndex &index)
{
    const QModelIndex source = m_filter->mapToSource(index);
    const quint32 id = m_model->idAt(source.row());
    if (!id)
        return;
    switch (column::typeAt(source.column())) {
    case column::DELETE_ROW:
        m_document.push(new RemoveControls(m_document, {id}, tr("Delete Control")));
        break;
    case column::EDIT_ROW:
        if (const QWidget *widget = m_widgetOf ? m_widgetOf(id) : nullptr)
            emit clickedActionEdit(widget);
        break;
    default:
        break;
    }
}

void SettingsOverview::currentChanged(const QModelIndex &current)
{
    const QModelIndex source = m_filter->mapToSource(current);
    const SettingStruct *record = m_model->recordAt(source.row());
    if (!record)
        return;
    m_value->setText(OverviewModel::editText(*record, column::typeAt(source.column())));
    // The control blinks once as its row is entered, not once per cell.
    if (record->id != m_blinking) {
        m_blinking = record->id;
        if (const QWidget *widget = m_widgetOf ? m_widgetOf(record->id) : nullptr)
            emit selectControlBlink(widget);
    }
}

// Escape reaches here when no cell editor or field took it.
void SettingsOverview::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsOverview::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit clickedActionCloseMe();
}
