// The controls overview's table: one row per control record of the show
// document, in document order, and the 38 columns of batchchange.h's column
// types (position p shows column type column::typeAt(p)). Rows are ids; the
// model follows the document's signals, so an edit made anywhere shows at
// once and no row refers to a deleted control.
//
// A cell edit is one ChangeControls command on the document; a change the
// column refuses changes nothing and is reported by refused().
//
// OverviewFilter sorts by the cells' values and keeps the rows whose name,
// type, protocols or universes match every word of a filter text.
#pragma once

#include "model/settingstruct.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringList>

class ShowDocument;

class OverviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1, // quint32 id of the row's control
        ColumnTypeRole,            // int column type of the cell
        SortRole,                  // qlonglong for numbers, QString otherwise
    };

    explicit OverviewModel(ShowDocument &document, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    quint32 idAt(int row) const;
    // The row of a control; -1 when none.
    int rowOf(quint32 id) const;
    const SettingStruct *recordAt(int row) const;
    // Reads the document afresh (the table's Refresh).
    void reload();

    // The header text of a column type ("Channel, Adv." ...).
    static QString columnTitle(int columnType);
    // The cell holds a value of this control (else it shows "-").
    static bool cellShown(const SettingStruct &record, int columnType);
    // The user may change the cell (edit, batch, check box).
    static bool cellEditable(const SettingStruct &record, int columnType);
    // What the cell shows, and what the user types to set it again.
    static QString cellText(const SettingStruct &record, int columnType);
    static QString editText(const SettingStruct &record, int columnType);

signals:
    void refused(const QString &reason);

private:
    void onAdded(const QList<quint32> &ids);
    void onRemoved(const QList<quint32> &ids);
    void onChanged(const QList<quint32> &ids);
    void onReordered();
    void indexRows() const;

    ShowDocument &m_document;
    QList<quint32> m_ids;
    mutable QHash<quint32, int> m_rowOf;
    mutable bool m_rowsIndexed = false;
};

class OverviewFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit OverviewFilter(QObject *parent = nullptr);
    void setFilterText(const QString &text);
    // Only the controls of `ids` pass besides the words; none given: all.
    void setOnly(const QList<quint32> &ids);
    int onlyCount() const { return int(m_only.size()); }
    // True when `record` matches every word of `words` (case ignored): a
    // word matches a part of the name, type or a protocol, or a number
    // equals a universe as the user counts it.
    static bool matches(const SettingStruct &record, const QStringList &words);

    // A filter word with what it matches among the type and protocol labels.
    struct Word {
        QString text;
        bool type[CT_COUNT] = {};
        bool protocol[PT_COUNT] = {};
        int universe = -1; // the word as a number, -1 when it is none
    };
    static QList<Word> prepare(const QStringList &words);
    static bool matches(const SettingStruct &record, const QList<Word> &words);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QStringList m_words;
    QList<Word> m_prepared;
    QSet<quint32> m_only;
};
