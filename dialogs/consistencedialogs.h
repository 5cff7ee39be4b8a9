// The two windows of the consistency check: the options (which of the five
// tests run) and the results list.
//
// ConsistenceCheck edits a copy of the options; OK hands it back through
// valueChanged() and the owner applies it. ConsistenceCheckTable lists
// findings with their severity; a click on a line asks for the controls of
// that line to blink (selectLine), "Check Again" asks for a new run
// (checkConsistence), and the lines can be copied as text.
#pragma once

#include "model/settingstruct.h"

#include <QMetaType>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class ConsistenceCheck : public QWidget
{
    Q_OBJECT

public:
    explicit ConsistenceCheck(QWidget *parent = nullptr);

    // Shows these options; the dialog works on a copy.
    void setChecks(const ConsistenceCheckStruct &checks);
    // The options as the user set them.
    ConsistenceCheckStruct checks() const { return m_working; }

signals:
    // OK was pressed: checks() holds the chosen options.
    void valueChanged();
    // Kept for connections by name; never emitted.
    void valueChangedToDefault();

public slots:
    void pressOk();
    void ChangedCheck1();
    void ChangedCheck2();
    void ChangedCheck3();
    void ChangedCheck4();
    void ChangedCheck5();

private:
    QCheckBox *m_boxes[5] = {};
    ConsistenceCheckStruct m_working;
};

class ConsistenceCheckTable : public QWidget
{
    Q_OBJECT

public:
    enum Severity { Information = 0, Warning = 1, Error = 2 };

    // The controls of one line; either may be gone by the time it is
    // clicked, and then reads as null.
    struct stWidgetPtr {
        QPointer<const QWidget> pWidget1;
        QPointer<const QWidget> pWidget2;
    };

    explicit ConsistenceCheckTable(QWidget *parent = nullptr);

    // With inform-on-success, adding any line shows the window; without, only
    // warnings and errors do.
    void setInformOnSuccess(bool inform) { m_informOnSuccess = inform; }
    void setCheckAgainVisible(bool visible);
    void clear();
    void addEntry(int severity, const QString &text, const QWidget *widget1 = nullptr,
                  const QWidget *widget2 = nullptr);
    bool isEmpty() const;
    // The selected lines (all lines when none is selected), one per line,
    // with their "WARNING: " and "ERROR: " prefixes.
    QString text() const;
    QListWidget *list() const { return m_list; }

signals:
    void selectLine(const QWidget *pWidget1, const QWidget *pWidget);
    void checkConsistence();

public slots:
    void slotTableClick(QListWidgetItem *item);
    void slotCheck();
    void slotCopy();

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_checkAgain = nullptr;
    bool m_informOnSuccess = false;
    bool m_hasWarnings = false;
    bool m_hasErrors = false;
};

Q_DECLARE_METATYPE(ConsistenceCheckTable::stWidgetPtr)
