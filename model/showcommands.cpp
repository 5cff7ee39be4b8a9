#include "model/showcommands.h"

#include <QHash>
#include <QSet>

ReplaceShow::ReplaceShow(ShowDocument &document, const ShowContent &content, const QString &text)
    : QUndoCommand(text), m_document(document), m_before(document.content()), m_after(content)
{
    document.assignIds(m_after.controls);
}

void ReplaceShow::redo()
{
    m_document.applyContent(m_after);
}

void ReplaceShow::undo()
{
    m_document.applyContent(m_before);
}

AppendShow::AppendShow(ShowDocument &document, QList<SettingStruct> controls,
                       const ShowContent &content, const QString &text)
    : QUndoCommand(text), m_document(document), m_controls(std::move(controls)),
      m_before(document.content()), m_after(content)
{
    m_before.controls.clear();
    m_after.controls.clear();
    for (SettingStruct &r : m_controls)
        r.id = document.newId();
}

void AppendShow::redo()
{
    m_document.applyAppend(m_controls, {}, m_after);
}

void AppendShow::undo()
{
    QList<quint32> ids;
    for (const SettingStruct &r : std::as_const(m_controls))
        ids.append(r.id);
    m_document.applyAppend({}, ids, m_before);
}

AddControls::AddControls(ShowDocument &document, QList<SettingStruct> controls, int index,
                         const QString &text)
    : QUndoCommand(text), m_document(document), m_controls(std::move(controls)), m_index(index)
{
    for (SettingStruct &r : m_controls)
        r.id = document.newId();
}

void AddControls::redo()
{
    m_document.applyInsert(m_controls, m_index);
}

void AddControls::undo()
{
    QList<quint32> ids;
    for (const SettingStruct &r : std::as_const(m_controls))
        ids.append(r.id);
    m_document.applyRemove(ids);
}

RemoveControls::RemoveControls(ShowDocument &document, const QList<quint32> &ids,
                               const QString &text)
    : QUndoCommand(text), m_document(document)
{
    const QSet<quint32> gone(ids.cbegin(), ids.cend());
    const QList<SettingStruct> &controls = document.controls();
    for (int i = 0; i < controls.size(); ++i)
        if (gone.contains(controls.at(i).id))
            m_removed.append({i, controls.at(i)});
}

void RemoveControls::redo()
{
    QList<quint32> ids;
    for (const auto &entry : std::as_const(m_removed))
        ids.append(entry.second.id);
    m_document.applyRemove(ids);
}

void RemoveControls::undo()
{
    // Ascending indexes: each lands where it was, all of them in one step.
    m_document.applyInsertAt(m_removed);
}

ChangeControls::ChangeControls(ShowDocument &document, const QList<SettingStruct> &after,
                               const QString &text)
    : QUndoCommand(text), m_document(document)
{
    // A batch finds its records through one table, not one scan each.
    QHash<quint32, int> indexes;
    const QList<SettingStruct> &controls = document.controls();
    for (int i = 0; after.size() > 1 && i < controls.size(); ++i)
        indexes.insert(controls.at(i).id, i);
    for (const SettingStruct &r : after) {
        const int index = after.size() > 1 ? indexes.value(r.id, -1) : document.indexOf(r.id);
        if (index >= 0) {
            m_before.append(controls.at(index));
            m_after.append(r);
        }
    }
}

void ChangeControls::redo()
{
    m_document.applyChange(m_after);
}

void ChangeControls::undo()
{
    m_document.applyChange(m_before);
}

ReorderControls::ReorderControls(ShowDocument &document, const QList<quint32> &order,
                                 const QString &text)
    : QUndoCommand(text), m_document(document), m_before(document.ids()), m_after(order)
{
}

void ReorderControls::redo()
{
    m_document.applyOrder(m_after);
}

void ReorderControls::undo()
{
    m_document.applyOrder(m_before);
}
