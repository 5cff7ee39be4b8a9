// The console's control editor window: made on first use, handed the
// console's edit record on every Add and Edit, closed by the lock. Its
// valueChanged() goes by signature text to the console's
// slotSettingsChanged(), which pushes the edit on the show document.
// Once learning is enabled, the window's Learn buttons are served by a
// LearnListener on the console's input objects.
#pragma once

#include "dialogs/settings.h"
#include "model/settingstruct.h"

#include <QPointer>

#include <functional>
#include <memory>

class LearnListener;
class OutputObjects;
class QWidget;

class ControlEditor
{
public:
    // `check` is the console's consistency check of one control.
    ControlEditor(QWidget *console, std::function<bool(SettingStruct *)> check);
    ~ControlEditor();
    ControlEditor(const ControlEditor &) = delete;
    ControlEditor &operator=(const ControlEditor &) = delete;

    // Shows the editor on `record` (id 0: a new control); `blink` (may be
    // null) is the edited control's widget, which blinks to show which. The
    // show's preferences give the number base and the default OSC target.
    void open(SettingStruct *record, const PreferencesStruct &preferences, QWidget *blink);
    void close();
    Settings *window() const { return m_window.data(); }

    // Learn listens through `objects`, which must outlive the editor, and
    // to the MIDI input device `midiDeviceIn` gives (as the preferences
    // store it: 1-based, 0 none). Without it Learn hears nothing.
    void enableLearn(OutputObjects &objects, std::function<quint32()> midiDeviceIn);
    LearnListener *learnListener() const { return m_learn.get(); }

    // Where "Add & Next" places the next control (asked on each).
    void setRoom(std::function<ControlEdit::Room()> room) { m_room = std::move(room); }

private:
    QWidget *m_console;
    std::function<bool(SettingStruct *)> m_check;
    std::function<ControlEdit::Room()> m_room;
    QPointer<Settings> m_window;
    std::unique_ptr<LearnListener> m_learn;
};
