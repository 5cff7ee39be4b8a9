// SettingsDmxOutWidget: the editor of one output description (protocol,
// values, DMX or MIDI address, OSC address and target, HTTP link, command)
// inside the control editor.
//
// It edits the description it is bound to in place and emits nothing about
// it: the owner decides when its record is applied. Values the user typed
// stay in the description while the protocol changes: switching to MIDI
// only shows them within MIDI's ranges (the owner narrows them on apply,
// settingsrules.h), so switching back shows them again.
//
// Rows and labels follow the control type it is given, a control type 0..19
// or an advanced output type (20 centre position, 255 none); see
// dmxOutRows() and dmxOutValueLabels().
#pragma once

#include "dialogs/editorrows.h"
#include "model/settingstruct.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

class SettingsDmxOutWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsDmxOutWidget(QWidget *parent = nullptr);

    // Binds the widget to `description` (owned by the caller, must outlive
    // the binding); an empty title keeps the group box's title.
    void setSettings(SettingDmxStruct *description, quint8 controlType, bool showHex,
                     QString title);
    void setControlType(quint8 controlType);
    quint8 controlType() const { return m_controlType; }
    // Shows the bound description; does nothing while none is bound.
    void updateDisplay();
    // The show's default OSC target, shown where an output names none (an
    // empty host, port 0).
    void setOscDefaults(const QString &host, quint16 port);

    // The "Learn" button shows whether the owner waits for a MIDI message.
    void setLearning(bool learning);
    // A learned MIDI message becomes the output's address: protocol MIDI,
    // MIDI channel (from 0), note and message type.
    void takeLearnedMidi(quint16 midiChannel, quint16 note, quint8 midiType);

signals:
    // The user pressed "Learn" (to start or to stop learning).
    void learnClicked();

public slots:
    void ChangedType(int DmxOutTypeIdx, int DmxOutMidiTypeIdx);
    void ChangedDmxOutType(int DmxTypeIdx);
    void ChangedDmxOutValue1();
    void ChangedDmxOutValue2();
    void ChangedDmxOutValue3();
    void ChangedDmxOutChannel();
    void ChangedDmxOutMidiNote();
    void ChangedDmxOutUniverse();
    void ChangedDmxOutMidiType(int MidiTypeIdx);
    void ChangedFileHttp();
    void ChangedFileCommand();

private:
    // Ranges and shown values from the bound description.
    void showNumbers();
    void showHexTexts();

    SettingDmxStruct *m_description = nullptr;
    quint8 m_controlType = AOT_NONE;
    bool m_showHex = false;

    QGroupBox *m_group = nullptr;
    QComboBox *m_protocol = nullptr;
    QPushButton *m_learn = nullptr;
    QSpinBox *m_value[3] = {};
    QSpinBox *m_channel = nullptr;
    QSpinBox *m_note = nullptr;
    QSpinBox *m_universe = nullptr;
    QComboBox *m_midiType = nullptr;
    QTextEdit *m_http = nullptr;
    QTextEdit *m_command = nullptr;
    QLineEdit *m_oscAddress = nullptr;
    QLineEdit *m_oscHost = nullptr;
    QSpinBox *m_oscPort = nullptr;
    QComboBox *m_oscArgument = nullptr;

    EditorRow m_protocolRow;
    EditorRow m_valueRow[3];
    EditorRow m_channelRow;
    EditorRow m_noteRow;
    EditorRow m_universeRow;
    EditorRow m_midiTypeRow;
    EditorRow m_httpRow;
    EditorRow m_httpHintRow;
    EditorRow m_commandRow;
    EditorRow m_commandHintRow;
    EditorRow m_oscAddressRow;
    EditorRow m_oscHostRow;
    EditorRow m_oscPortRow;
    EditorRow m_oscArgumentRow;
};
