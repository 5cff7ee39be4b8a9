// The show document: everything a configuration file holds (control
// records, background, preferences, consistency options) plus the current
// file, the modified state, the clipboard and the undo stack.
//
// Readers (surface, I/O, file commands, dialogs) get the document by const
// reference and follow its signals. Every change of the show is a
// QUndoCommand pushed on the document's stack (showcommands.h); the
// commands call the document's apply* functions, which change the records
// and emit what changed. Nothing here knows a widget.
//
// Promises:
// - Every control record carries an id unique within the document for its
//   lifetime (also across undo and redo); ids are never 0.
// - The modified marker is "the stack is not at its clean index, or the
//   content did not come from the current file" (the built-in default, a
//   show with controls of unknown type dropped): undoing back to the saved
//   state clears it unless the content never was saved.
// - A command changes its whole change set in one step and tells it with
//   one signal, after every record changed (a delete of thousands at
//   scattered places, its undo and redo alike). An append, which also takes
//   the settings a file brings, tells each kind of change once.
#pragma once

#include "model/settingstruct.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>

// What a configuration file holds.
struct ShowContent {
    QList<SettingStruct> controls;
    BackgroundStruct background;
    PreferencesStruct preferences;
    ConsistenceCheckStruct checks;
};

class ShowDocument : public QObject
{
    Q_OBJECT

public:
    explicit ShowDocument(QObject *parent = nullptr);

    const QList<SettingStruct> &controls() const { return m_content.controls; }
    // The record with this id; null when none.
    const SettingStruct *control(quint32 id) const;
    int indexOf(quint32 id) const;
    QList<quint32> ids() const;
    const BackgroundStruct &background() const { return m_content.background; }
    const PreferencesStruct &preferences() const { return m_content.preferences; }
    const ConsistenceCheckStruct &checks() const { return m_content.checks; }
    const ShowContent &content() const { return m_content; }

    // Current file; empty while untitled.
    QString currentFile() const { return m_currentFile; }
    void setCurrentFile(const QString &path);

    bool isModified() const
    {
        return m_unsavedContent || !m_stack.isClean() ||
               m_content.preferences.lock_screen != m_savedLock;
    }
    // The content now shown is the current file's (after a save or a load
    // from that file): the stack's present index becomes the clean one.
    void markSaved();
    // The content now shown was never saved anywhere (the built-in default,
    // a load that dropped what it could not show).
    void markUnsaved();
    // Starts the history afresh: a newly opened show cannot be undone into
    // the previous one (a Save would write that one under the new name).
    void clearHistory();

    QUndoStack &undoStack() { return m_stack; }
    const QUndoStack &undoStack() const { return m_stack; }
    // Pushes a command (the stack owns it); it is applied at once.
    void push(QUndoCommand *command) { m_stack.push(command); }

    // The controls last cut or copied, in document order.
    const QList<SettingStruct> &clipboard() const { return m_clipboard; }
    void setClipboard(const QList<SettingStruct> &records) { m_clipboard = records; }

    // A fresh id for a record entering the document.
    quint32 newId() { return ++m_lastId; }
    // Gives every record without an id (0) a fresh one.
    void assignIds(QList<SettingStruct> &records);

    // The user sized the window: the background takes its size in
    // background units. Not an edit: no command, no signal, not modified.
    void storeWindowSize(quint32 sizeX, quint32 sizeY);
    // A file's start-up demands raise the preferences in memory; not an
    // edit either (no command, not modified). The lock stays as it is.
    void raisePreferences(const PreferencesStruct &preferences);
    // Locks or unlocks the screen. The lock is saved with the show (a show
    // saved locked starts locked) and so marks it modified, but it is no
    // step of the history: no undo or redo ever changes it.
    void setLocked(bool locked);

    // ---- used by the commands only --------------------------------------
    // Replaces everything the file holds, the lock included.
    void applyContent(const ShowContent &content);
    // Inserts records (with ids) at `index` (-1: at the end).
    void applyInsert(const QList<SettingStruct> &records, int index = -1);
    // Inserts each record at its index in the list that results, the
    // indexes ascending (the places a delete kept).
    void applyInsertAt(const QList<QPair<int, SettingStruct>> &placed);
    // Removes the records with these ids.
    void applyRemove(const QList<quint32> &ids);
    // Replaces records with the same ids.
    void applyChange(const QList<SettingStruct> &records);
    // Puts the records in this order (the same ids as now).
    void applyOrder(const QList<quint32> &ids);
    void applyBackground(const BackgroundStruct &background);
    // Every preference but the lock, which only setLocked changes.
    void applyPreferences(const PreferencesStruct &preferences);
    void applyChecks(const ConsistenceCheckStruct &checks);
    // Appends `added`, removes the records with the ids `removed` and takes
    // the background, preferences (but the lock) and consistency options
    // of `settings`: every part changed before the first signal.
    void applyAppend(const QList<SettingStruct> &added, const QList<quint32> &removed,
                     const ShowContent &settings);

signals:
    // The whole show was replaced: readers rebuild.
    void contentReplaced();
    void controlsAdded(const QList<quint32> &ids);
    void controlsRemoved(const QList<quint32> &ids);
    void controlsChanged(const QList<quint32> &ids);
    void controlsReordered();
    void backgroundChanged();
    void preferencesChanged();
    void checksChanged();
    void modifiedChanged(bool modified);
    void currentFileChanged(const QString &path);

private:
    void emitModified();
    // The record changes of applyInsertAt and applyRemove, untold; they
    // return the ids added or removed, in the document's order.
    QList<quint32> insertAt(const QList<QPair<int, SettingStruct>> &placed);
    QList<quint32> remove(const QList<quint32> &ids);

    ShowContent m_content;
    QString m_currentFile;
    QUndoStack m_stack;
    QList<SettingStruct> m_clipboard;
    quint32 m_lastId = 0;
    bool m_unsavedContent = false;
    // The lock as the current file holds it.
    bool m_savedLock = false;
    bool m_lastModified = false;
};
