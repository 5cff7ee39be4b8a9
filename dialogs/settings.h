// Settings: the editor of one control ("Control Settings"), a non-modal
// top-level window the console creates once and keeps.
//
// The console hands it a record with setSettings(): a record with id 0 is a
// new control (add mode: "Add" / "Add & Next", the type can be chosen), any
// other id an existing one (edit mode: "OK" / "Apply", the type is fixed).
// The window works on a private copy (ControlEdit); on apply it checks the
// copy through the console's consistency check, writes it into the record
// it was given and emits valueChanged(). The console then pushes the record
// onto the show (an add when its id is 0, a change otherwise). The record
// must outlive the window's use of it; the console's edit record does.
//
// Learning an address: the "Learn" buttons (DMX-IN; each output editor for
// MIDI) emit learnRequested(target); the console listens and feeds the
// next incoming change to takeLearned(). The window shows what was learned
// and applies it with the rest. Escape, the button again, closing the
// window or LEARN_TIMEOUT_MS without a change end learning; learnFinished()
// then tells the console to stop listening. Escape with no learn running
// closes the window as Cancel does.
//
// "Add & Next" adds the control and goes on with the next one: what the
// user set is carried over, the position moves on (ControlEdit::startNext()
// in the room the services give).
#pragma once

#include "dialogs/controledit.h"
#include "dialogs/editorrows.h"
#include "model/settingstruct.h"

#include <QWidget>

#include <functional>

class DmxInEditor;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class SettingsDmxOutWidget;

// What the window asks of the world; each may be left empty.
struct SettingsServices {
    // The console's check of one control against all others (it shows its
    // findings itself); true: nothing found. Empty: nothing is ever found.
    std::function<bool(SettingStruct *)> checkConsistence;
    // Asked after findings; true: the user goes back to the settings and
    // nothing is applied. Empty: the "Warning" question box.
    std::function<bool()> keepEditing;
    // The picture file for buttons and icons; empty text: cancelled.
    // Empty: the file dialog "Choose a Bitmap File to Open".
    std::function<QString()> chooseBitmapFile;
    // The room "Add & Next" places the next control in. Empty: no limit
    // and no gap.
    std::function<ControlEdit::Room()> room;
    // Tells why the record cannot be applied (an OSC address that is not
    // valid). Empty: a warning box.
    std::function<void(const QString &)> refuse;
};

class Settings : public QWidget
{
    Q_OBJECT

public:
    enum LearnTarget { NoLearning = -1, LearnInput = 0, LearnOutput = 1, LearnOutputAdvanced = 2 };
    static const int LEARN_TIMEOUT_MS = 10000;

    // A window of its own also when given a parent (which then owns it).
    explicit Settings(const SettingsServices &services = SettingsServices(),
                      QWidget *parent = nullptr);

    // Starts editing a copy of `record` (ignored when null); the window
    // should be shown and raised by the caller. `showHex` shows the
    // hexadecimal companions of the numbers.
    void setSettings(SettingStruct *record, bool showHex);
    // Shows the working record in every field.
    void updateDisplay();
    // The show's default OSC target, shown in the OSC outputs that use it.
    void setOscDefaults(const QString &host, quint16 port);

    bool isAddMode() const { return m_edit.isAdd(); }
    // The record the fields edit (not applied yet).
    const SettingStruct &workingRecord() const { return m_edit.working(); }
    // What is being learned (LearnTarget), NoLearning when nothing.
    int learnTarget() const { return m_learnTarget; }

signals:
    // A record was written into the destination.
    void valueChanged();
    // Listen for the next incoming change for `target` (LearnTarget). For
    // LearnInput any DMX channel change (Art-Net, streaming ACN) or MIDI
    // message counts (takeLearned()), and an OSC address
    // (setLearnedOscAddress()); for the outputs only MIDI messages.
    void learnRequested(int target);
    // Stop listening: learned, cancelled or timed out.
    void learnFinished();

public slots:
    void slotPixmapSelect();
    void slotPixmapDelete();
    void ChangedPrefName();
    void ChangedPrefDescription();
    void slotOk();
    void slotApply();
    void ChangedPrefPosX();
    void ChangedPrefPosY();
    void ChangedPrefSizeX();
    void ChangedPrefSizeY();
    void ChangedPrefColorRed();
    void ChangedPrefColorGreen();
    void ChangedPrefColorBlue();
    void ChangedPrefType(int PrefTypeIdx);

    // A change that arrived while learning, as stored (from 0): protocol
    // (1 Art-Net, 2 streaming ACN, 3 MIDI), universe or MIDI channel,
    // channel or note, MIDI message type. Returns false, and goes on
    // listening, when nothing is learned or the change does not fit the
    // target (outputs take MIDI only).
    bool takeLearned(quint8 protocol, quint16 universe, quint16 channel, quint8 midiType);
    // An OSC address that arrived while learning the input: the input
    // becomes OSC with it. False, and learning goes on, when the input is
    // not being learned or the address is not valid.
    bool setLearnedOscAddress(const QString &address);
    void cancelLearn();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QGroupBox *buildSettingsGroup();
    // Checks, asks and applies; true when the record was written.
    bool applySettings();
    void startLearn(int target);
    void showLearning();
    void showBitmap();

    SettingsServices m_services;
    ControlEdit m_edit;
    bool m_showHex = false;
    int m_learnTarget = NoLearning;
    QTimer *m_learnTimer = nullptr;

    // "Settings"
    QTextEdit *m_name = nullptr;
    QLabel *m_nameHint = nullptr;
    QSpinBox *m_posX = nullptr;
    QSpinBox *m_posY = nullptr;
    QSpinBox *m_sizeX = nullptr;
    QSpinBox *m_sizeY = nullptr;
    QSpinBox *m_color[3] = {};
    QComboBox *m_type = nullptr;
    QLabel *m_bitmapPreview = nullptr;
    QLabel *m_bitmapSize = nullptr;
    EditorRow m_bitmapRow;

    SettingsDmxOutWidget *m_out = nullptr;
    SettingsDmxOutWidget *m_outAdvanced = nullptr;

    DmxInEditor *m_in = nullptr;

    QTextEdit *m_description = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
};
