#include "model/showdocument.h"

#include <QHash>
#include <QSet>

ShowDocument::ShowDocument(QObject *parent) : QObject(parent)
{
    resetBackground(&m_content.background);
    resetPreferences(&m_content.preferences);
    resetConsistenceCheck(&m_content.checks);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this] { emitModified(); });
}

const SettingStruct *ShowDocument::control(quint32 id) const
{
    const int index = indexOf(id);
    return index < 0 ? nullptr : &m_content.controls.at(index);
}

int ShowDocument::indexOf(quint32 id) const
{
    if (id == 0)
        return -1;
    for (int i = 0; i < m_content.controls.size(); ++i)
        if (m_content.controls.at(i).id == id)
            return i;
    return -1;
}

QList<quint32> ShowDocument::ids() const
{
    QList<quint32> list;
    list.reserve(m_content.controls.size());
    for (const SettingStruct &r : m_content.controls)
        list.append(r.id);
    return list;
}

void ShowDocument::setCurrentFile(const QString &path)
{
    if (path == m_currentFile)
        return;
    m_currentFile = path;
    emit currentFileChanged(path);
}

void ShowDocument::markSaved()
{
    m_unsavedContent = false;
    m_savedLock = m_content.preferences.lock_screen;
    m_stack.setClean();
    emitModified();
}

void ShowDocument::markUnsaved()
{
    m_unsavedContent = true;
    emitModified();
}

void ShowDocument::clearHistory()
{
    const bool unsaved = m_unsavedContent || !m_stack.isClean();
    m_stack.clear();
    m_unsavedContent = unsaved;
    emitModified();
}

void ShowDocument::emitModified()
{
    const bool modified = isModified();
    if (modified == m_lastModified)
        return;
    m_lastModified = modified;
    emit modifiedChanged(modified);
}

void ShowDocument::assignIds(QList<SettingStruct> &records)
{
    for (SettingStruct &r : records)
        if (r.id == 0)
            r.id = newId();
}

void ShowDocument::applyContent(const ShowContent &content)
{
    m_content = content;
    assignIds(m_content.controls);
    emit contentReplaced();
}

void ShowDocument::applyInsert(const QList<SettingStruct> &records, int index)
{
    if (index < 0 || index > m_content.controls.size())
        index = int(m_content.controls.size());
    QList<QPair<int, SettingStruct>> placed;
    placed.reserve(records.size());
    for (const SettingStruct &r : records)
        placed.append({index++, r});
    applyInsertAt(placed);
}

void ShowDocument::applyInsertAt(const QList<QPair<int, SettingStruct>> &placed)
{
    const QList<quint32> added = insertAt(placed);
    if (!added.isEmpty())
        emit controlsAdded(added);
}

QList<quint32> ShowDocument::insertAt(const QList<QPair<int, SettingStruct>> &placed)
{
    // One pass over the list, however scattered the places.
    QList<quint32> added;
    if (placed.isEmpty())
        return added;
    QList<SettingStruct> before = std::move(m_content.controls);
    QList<SettingStruct> &after = m_content.controls;
    after = QList<SettingStruct>();
    after.reserve(before.size() + placed.size());
    added.reserve(placed.size());
    qsizetype next = 0;
    for (const auto &[index, record] : placed) {
        while (after.size() < index && next < before.size())
            after.append(std::move(before[next++]));
        after.append(record);
        if (after.last().id == 0)
            after.last().id = newId();
        added.append(after.last().id);
    }
    while (next < before.size())
        after.append(std::move(before[next++]));
    return added;
}

void ShowDocument::applyRemove(const QList<quint32> &ids)
{
    const QList<quint32> removed = remove(ids);
    if (!removed.isEmpty())
        emit controlsRemoved(removed);
}

QList<quint32> ShowDocument::remove(const QList<quint32> &ids)
{
    const QSet<quint32> gone(ids.cbegin(), ids.cend());
    QList<quint32> removed;
    m_content.controls.removeIf([&](const SettingStruct &r) {
        if (!gone.contains(r.id))
            return false;
        removed.append(r.id);
        return true;
    });
    return removed;
}

void ShowDocument::applyChange(const QList<SettingStruct> &records)
{
    // A batch finds its records through one table, not one scan each.
    QHash<quint32, int> indexes;
    if (records.size() > 1) {
        indexes.reserve(m_content.controls.size());
        for (int i = 0; i < m_content.controls.size(); ++i)
            indexes.insert(m_content.controls.at(i).id, i);
    }
    QList<quint32> changed;
    for (const SettingStruct &r : records) {
        const int index = records.size() > 1 ? indexes.value(r.id, -1) : indexOf(r.id);
        if (index < 0)
            continue;
        m_content.controls[index] = r;
        changed.append(r.id);
    }
    if (!changed.isEmpty())
        emit controlsChanged(changed);
}

void ShowDocument::applyOrder(const QList<quint32> &ids)
{
    QHash<quint32, SettingStruct> byId;
    for (const SettingStruct &r : std::as_const(m_content.controls))
        byId.insert(r.id, r);
    if (ids.size() != byId.size())
        return;
    QList<SettingStruct> ordered;
    ordered.reserve(ids.size());
    for (quint32 id : ids) {
        auto it = byId.constFind(id);
        if (it == byId.cend())
            return;
        ordered.append(*it);
    }
    m_content.controls = ordered;
    emit controlsReordered();
}

void ShowDocument::applyBackground(const BackgroundStruct &background)
{
    m_content.background = background;
    emit backgroundChanged();
}

void ShowDocument::applyPreferences(const PreferencesStruct &preferences)
{
    const bool locked = m_content.preferences.lock_screen;
    m_content.preferences = preferences;
    m_content.preferences.lock_screen = locked;
    emit preferencesChanged();
}

void ShowDocument::setLocked(bool locked)
{
    if (m_content.preferences.lock_screen == locked)
        return;
    m_content.preferences.lock_screen = locked;
    emit preferencesChanged();
    emitModified();
}

void ShowDocument::applyChecks(const ConsistenceCheckStruct &checks)
{
    m_content.checks = checks;
    emit checksChanged();
}

void ShowDocument::applyAppend(const QList<SettingStruct> &added, const QList<quint32> &removed,
                               const ShowContent &settings)
{
    QList<QPair<int, SettingStruct>> placed;
    placed.reserve(added.size());
    for (const SettingStruct &r : added)
        placed.append({int(m_content.controls.size() + placed.size()), r});
    const QList<quint32> addedIds = insertAt(placed);
    const QList<quint32> removedIds = remove(removed);
    m_content.background = settings.background;
    PreferencesStruct preferences = settings.preferences;
    preferences.lock_screen = m_content.preferences.lock_screen;
    const bool preferencesChange = preferences != m_content.preferences;
    const bool checksChange = settings.checks != m_content.checks;
    m_content.preferences = preferences;
    m_content.checks = settings.checks;
    // Settings that stay as they were are not told.
    if (!addedIds.isEmpty())
        emit controlsAdded(addedIds);
    if (!removedIds.isEmpty())
        emit controlsRemoved(removedIds);
    emit backgroundChanged();
    if (preferencesChange)
        emit preferencesChanged();
    if (checksChange)
        emit checksChanged();
}

void ShowDocument::storeWindowSize(quint32 sizeX, quint32 sizeY)
{
    m_content.background.size_x = sizeX;
    m_content.background.size_y = sizeY;
}

void ShowDocument::raisePreferences(const PreferencesStruct &preferences)
{
    const bool locked = m_content.preferences.lock_screen;
    m_content.preferences = preferences;
    m_content.preferences.lock_screen = locked;
    emit preferencesChanged();
}
