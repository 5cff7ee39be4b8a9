// The input ("DMX-IN") editor of the control editor and of the background
// editor: protocol, MIDI message type, universe or MIDI channel, DMX channel
// or note, the OSC address, values 1..3, three colours and whether they are
// mixed.
//
// DmxInEdit is the record side, usable without a window: it writes what the
// user typed into the input it is bound to and tells which rows and value
// labels the input's owner has. DmxInEditor is its view.
//
// Values typed stay in the input while the protocol changes: switching to
// MIDI only shows them within MIDI's ranges, switching back shows them
// again. The owner narrows them when it applies its record (clampInput()).
#pragma once

#include "dialogs/editorrows.h"
#include "dialogs/settingsrules.h"
#include "model/settingstruct.h"

#include <QGroupBox>

#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

class DmxInEdit
{
public:
    // Binds `input` (owned by the caller, outliving the binding; null
    // unbinds). A control's input has the rows and value labels of its type
    // (dmxInRows(), dmxInValueLabels()); without a type, the background's,
    // every row of its protocol and plain value labels.
    void bind(SettingDmxInStruct *input, std::optional<quint8> controlType);
    void setControlType(std::optional<quint8> controlType) { m_controlType = controlType; }
    SettingDmxInStruct *input() const { return m_input; }

    // The protocol and MIDI message type chosen in the lists; a protocol no
    // input may use counts as None.
    void choose(quint8 protocol, quint8 midiType);
    // Fields as the user typed them. Channel and universe are shown from 1,
    // a shown 0 changes nothing; the note is the channel's field as stored.
    void setValue(int n, int value); // n: 0..2
    void setShownChannel(int shown);
    void setNote(int note);
    void setShownUniverse(int shown);
    void setColour(int colour, int component, int value); // red, green, blue
    void setFade(bool fade);
    // The OSC address as typed; a valid one is required on apply
    // (oscInputRefusal()).
    void setOscAddress(const QString &address);
    // A learned OSC address: protocol OSC and that address.
    void takeLearnedOscAddress(const QString &address);

    // As seen inside a visible group; whether the group is seen is the
    // owner's (dmxInRows().group for a control).
    DmxInRows rows() const;
    ValueLabels valueLabels() const;

    static quint8 &colour(SettingDmxInStruct &input, int colour, int component);

private:
    SettingDmxInStruct *m_input = nullptr;
    std::optional<quint8> m_controlType;
};

class DmxInEditor : public QGroupBox
{
    Q_OBJECT

public:
    // The control editor's has a "Learn" button left of the protocol list,
    // the hexadecimal companions between the labels and the inputs, and its
    // row labels as tooltips. The background's has the companions right of
    // the inputs and tooltips of their own.
    enum class Owner { Control, Background };
    explicit DmxInEditor(Owner owner, QWidget *parent = nullptr);

    // Binds the editor (see DmxInEdit::bind) and shows the input; `showHex`
    // shows the hexadecimal companions of the numbers.
    void setSettings(SettingDmxInStruct *input, std::optional<quint8> controlType, bool showHex);
    // The rows and labels of another control type; shows the input again,
    // which the type may have reset.
    void setControlType(quint8 controlType);
    // Shows the bound input; does nothing while none is bound.
    void updateDisplay();
    const DmxInEdit &edit() const { return m_edit; }

    // The "Learn" button shows whether the owner waits for an input.
    void setLearning(bool learning);
    // An OSC address the owner learned: the input becomes OSC with it.
    void setLearnedOscAddress(const QString &address);

    // The widest row label, and lining the columns up with a neighbour's:
    // labels `labelWidth` wide, each of the three input columns `inputWidth`.
    int labelWidth() const;
    void alignColumns(int labelWidth, int inputWidth);

signals:
    // The user pressed "Learn" (to start or to stop learning).
    void learnClicked();

private:
    void build(Owner owner);
    // The lists' protocol and MIDI type into the input, then rows, labels
    // and numbers as they follow from them.
    void chooseFromLists();
    void showNumbers();
    void showHexTexts();
    void changedChannel(int shown);
    void changedNote(int note);

    DmxInEdit m_edit;
    bool m_showHex = false;
    QGridLayout *m_grid = nullptr;
    int m_firstInput = 0;

    QPushButton *m_learn = nullptr;
    QComboBox *m_protocol = nullptr;
    QSpinBox *m_value[3] = {};
    QSpinBox *m_channel = nullptr;
    QSpinBox *m_note = nullptr;
    QSpinBox *m_universe = nullptr;
    QComboBox *m_midiType = nullptr;
    QSpinBox *m_colour[3][3] = {}; // [colour][red, green, blue]
    QCheckBox *m_fade = nullptr;
    QLineEdit *m_oscAddress = nullptr;

    EditorRow m_protocolRow;
    EditorRow m_valueRow[3];
    EditorRow m_channelRow;
    EditorRow m_noteRow;
    EditorRow m_universeRow;
    EditorRow m_midiTypeRow;
    EditorRow m_oscAddressRow;
    EditorRow m_colourRow[3];
};
