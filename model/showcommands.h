// The edit commands of the show document. Each is one undoable step: it
// keeps what it needs to go both ways and changes the document only through
// its apply* functions, so readers learn of it by the document's signals.
#pragma once

#include "model/showdocument.h"

#include <QUndoCommand>

// Replaces the whole show (open, new, reload).
class ReplaceShow : public QUndoCommand
{
public:
    ReplaceShow(ShowDocument &document, const ShowContent &content, const QString &text);
    void redo() override;
    void undo() override;

private:
    ShowDocument &m_document;
    ShowContent m_before;
    ShowContent m_after;
};

// Adds controls at the end and takes the background, preferences and
// consistency options an appended file brings (append).
class AppendShow : public QUndoCommand
{
public:
    // `controls` get their ids here; content's own control list is ignored.
    AppendShow(ShowDocument &document, QList<SettingStruct> controls, const ShowContent &content,
               const QString &text);
    void redo() override;
    void undo() override;

private:
    ShowDocument &m_document;
    QList<SettingStruct> m_controls;
    ShowContent m_before; // background, preferences, checks only
    ShowContent m_after;
};

// Adds controls (at `index`, -1: at the end).
class AddControls : public QUndoCommand
{
public:
    AddControls(ShowDocument &document, QList<SettingStruct> controls, int index,
                const QString &text);
    void redo() override;
    void undo() override;
    const QList<SettingStruct> &controls() const { return m_controls; }

private:
    ShowDocument &m_document;
    QList<SettingStruct> m_controls;
    int m_index;
};

// Removes controls by id, keeping their places for undo.
class RemoveControls : public QUndoCommand
{
public:
    RemoveControls(ShowDocument &document, const QList<quint32> &ids, const QString &text);
    void redo() override;
    void undo() override;

private:
    ShowDocument &m_document;
    QList<QPair<int, SettingStruct>> m_removed; // ascending index
};

// Replaces records with the same ids (an edit, a move, a batch change).
class ChangeControls : public QUndoCommand
{
public:
    ChangeControls(ShowDocument &document, const QList<SettingStruct> &after, const QString &text);
    void redo() override;
    void undo() override;

private:
    ShowDocument &m_document;
    QList<SettingStruct> m_before;
    QList<SettingStruct> m_after;
};

// Puts the controls in a new order (same ids).
class ReorderControls : public QUndoCommand
{
public:
    ReorderControls(ShowDocument &document, const QList<quint32> &order, const QString &text);
    void redo() override;
    void undo() override;

private:
    ShowDocument &m_document;
    QList<quint32> m_before;
    QList<quint32> m_after;
};

// A changed record of which the show holds one (background, preferences).
template <typename T, const T &(ShowDocument::*Get)() const, void (ShowDocument::*Apply)(const T &)>
class ChangeSetting : public QUndoCommand
{
public:
    ChangeSetting(ShowDocument &document, const T &after, const QString &text)
        : QUndoCommand(text), m_document(document), m_before((document.*Get)()), m_after(after)
    {
    }
    void redo() override { (m_document.*Apply)(m_after); }
    void undo() override { (m_document.*Apply)(m_before); }

private:
    ShowDocument &m_document;
    T m_before;
    T m_after;
};

using ChangeBackground =
    ChangeSetting<BackgroundStruct, &ShowDocument::background, &ShowDocument::applyBackground>;
using ChangePreferences =
    ChangeSetting<PreferencesStruct, &ShowDocument::preferences, &ShowDocument::applyPreferences>;
using ChangeChecks =
    ChangeSetting<ConsistenceCheckStruct, &ShowDocument::checks, &ShowDocument::applyChecks>;
