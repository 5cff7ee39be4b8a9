// The controls overview: every control of the show as one row of a table
// (OverviewModel through OverviewFilter), with a value field whose text
// Set, Add, Subtract or Increment apply to the selected cells.
//
// The window changes the show itself, one command on the document per
// action: a cell edit or a whole batch is one ChangeControls, a shift one
// ReorderControls, a delete one RemoveControls, so each is one Undo step.
// What only the console can do goes out as a signal: open the control
// editor on a row, add a control, save, make a control blink, close (its
// Close button and Escape). The console resolves the widgets of those
// signals through the resolver it sets; the window keeps no widget
// reference.
//
// The change, delete and shift signals below are those of the console's
// group slots (slotSettingsChangedGroupBegin() ...), kept for callers that
// drive the console through them; this window applies its own changes and
// does not emit them.
#pragma once

#include <QWidget>

#include <functional>

class OverviewFilter;
class OverviewModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTableView;
class ShowDocument;

class SettingsOverview : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsOverview(ShowDocument &document, QWidget *parent = nullptr);

    // The widget of a control id (null: none); the window asks it whenever
    // it emits a signal that carries a widget.
    using WidgetResolver = std::function<const QWidget *(quint32 id)>;
    void setWidgetResolver(WidgetResolver resolver) { m_widgetOf = std::move(resolver); }

    OverviewModel *model() const { return m_model; }
    OverviewFilter *filter() const { return m_filter; }
    QTableView *view() const { return m_view; }
    QLineEdit *valueField() const { return m_value; }
    QLineEdit *filterField() const { return m_filterField; }
    QString statusText() const;

    // Applies the value field's text with an action (BatchAction) to the
    // selected cells, in table order; the number of cells changed.
    int applyToSelection(int action);
    // Moves the selected rows one place up or down (table order restored
    // first when the table is sorted by a column).
    void shiftSelection(bool up);
    // Ids of the rows with a selected cell, in table order.
    QList<quint32> selectedIds() const;

signals:
    void clickedActionCloseMe();
    void clickedActionAdd();
    void clickedActionDeleteBegin();
    void clickedActionDelete(const QWidget *WidgetPtr);
    void clickedActionDeleteEnd();
    void clickedActionEdit(const QWidget *);
    void clickedActionShiftBegin();
    void clickedActionShiftUp(const QWidget *);
    void clickedActionShiftDown(const QWidget *);
    void clickedActionShiftEnd();
    void clickedActionChangeBegin();
    void clickedActionChange(const QWidget *WidgetPtr, int Action, int ColumnType, QString Value);
    void clickedActionChangeEnd();
    void selectControlBlink(const QWidget *);
    void clickdActionConfigSave();

public slots:
    void slotConfigSave();
    void slotSet();
    void slotAdd();
    void slotSub();
    void slotInc();
    void slotControlShiftUp();
    void slotControlShiftDown();
    void slotControlAdd();
    void slotControlDelete();
    void slotControlRefresh();
    void slotCellClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    void cellActivated(const QModelIndex &index);
    void currentChanged(const QModelIndex &current);
    void updateCount();
    void showStatus(const QString &text);

    ShowDocument &m_document;
    OverviewModel *m_model = nullptr;
    OverviewFilter *m_filter = nullptr;
    QTableView *m_view = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_value = nullptr;
    QLineEdit *m_filterField = nullptr;
    WidgetResolver m_widgetOf;
    quint32 m_blinking = 0;
};
