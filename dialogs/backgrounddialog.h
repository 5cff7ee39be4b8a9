// The background editor: position, size, zoom (stretch factor), colour,
// picture and input ("DMX-IN") of the surface's background.
//
// BackgroundEdit holds the logic on records and is usable without a
// window; SettingsBackground is its view. Applying pushes one
// ChangeBackground command on the show document, so every apply is one
// undoable step.
#pragma once

#include "model/settingstruct.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class ShowDocument;

class BackgroundEdit
{
public:
    BackgroundEdit();

    // Starts editing the document's background (a null document only
    // stores the flag). The chosen picture's file is forgotten.
    void setSettings(ShowDocument *document, bool showHex);
    bool showHex() const { return m_showHex; }

    BackgroundStruct &working() { return m_working; }
    const BackgroundStruct &working() const { return m_working; }
    // The file the working picture came from; empty when it did not come
    // from the chooser since setSettings.
    QString pendingPicturePath() const { return m_pendingPath; }

    // A file picked in the chooser; an empty path (chooser cancelled)
    // changes nothing. An unreadable file gives no picture.
    void choosePicture(const QString &path);
    void deletePicture();

    // Pushes the working record as one command named `undoText` when it
    // differs from the document's. False without a document to write to.
    bool apply(const QString &undoText);

private:
    ShowDocument *m_document = nullptr;
    BackgroundStruct m_working;
    QString m_pendingPath;
    bool m_showHex = false;
};

class SettingsBackground : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsBackground(QWidget *parent = nullptr);

    // Shows the document's background; called on every opening.
    void setSettings(ShowDocument *document, bool showHex);
    const BackgroundEdit &edit() const { return m_edit; }
    // The picture file chooser: returns the chosen file, empty when
    // cancelled. The default is an open-file dialog.
    using PictureChooser =
        std::function<QString(QWidget *parent, const QString &title, const QString &filter)>;
    void setPictureChooser(PictureChooser chooser) { m_chooser = std::move(chooser); }

signals:
    void valueChanged();
    void valueChangedToDefault();

private slots:
    void slotPixmapSelect();
    void slotPixmapDelete();
    void slotOk();
    void slotApply();
    void ChangedPrefPosX();
    void ChangedPrefPosY();
    void ChangedPrefSizeX();
    void ChangedPrefSizeY();
    void ChangedPrefColorRed();
    void ChangedPrefColorGreen();
    void ChangedPrefColorBlue();
    void ChangedPrefStretchFactore();
    void ChangedType(int DmxInTypeIdx, int DmxInMidiTypeIdx);
    void ChangedDmxInType(int DmxTypeIdx);
    void ChangedDmxInValue1();
    void ChangedDmxInValue2();
    void ChangedDmxInValue3();
    void ChangedDmxInChannel();
    void ChangedDmxInMidiNote();
    void ChangedDmxInUniverse();
    void ChangedDmxInMidiType(int MidiTypeIdx);
    void ChangedDmxInColorRed1();
    void ChangedDmxInColorBlue1();
    void ChangedDmxInColorGreen1();
    void ChangedDmxInColorRed2();
    void ChangedDmxInColorGreen2();
    void ChangedDmxInColorBlue2();
    void ChangedDmxInColorRed3();
    void ChangedDmxInColorGreen3();
    void ChangedDmxInColorBlue3();
    void ChangedDmxInColorFade();

private:
    // One row of the input group: label, widgets, hexadecimal companion.
    struct Row {
        QLabel *label = nullptr;
        QList<QWidget *> widgets;
        QLabel *hex = nullptr;
    };
    enum RowId {
        VALUE_1,
        VALUE_2,
        VALUE_3,
        CHANNEL,
        NOTE,
        UNIVERSE,
        MIDI_TYPE,
        COLOR_1,
        COLOR_2,
        COLOR_3,
        ROW_COUNT
    };

    void buildWidgets();
    void updateDisplay();
    void showPicture();
    void writeHexLabels();
    void showRow(RowId row, bool visible);
    void applyEdit();

    BackgroundEdit m_edit;
    PictureChooser m_chooser;

    QSpinBox *m_posX = nullptr, *m_posY = nullptr, *m_sizeX = nullptr, *m_sizeY = nullptr;
    QSpinBox *m_stretch = nullptr;
    QSpinBox *m_red = nullptr, *m_green = nullptr, *m_blue = nullptr;
    QLabel *m_picture = nullptr, *m_pictureSize = nullptr;
    QPushButton *m_pictureSelect = nullptr, *m_pictureDelete = nullptr;
    QGroupBox *m_inputGroup = nullptr;
    QComboBox *m_protocol = nullptr, *m_midiType = nullptr;
    QSpinBox *m_value[3] = {};
    QSpinBox *m_channel = nullptr, *m_note = nullptr, *m_universe = nullptr;
    QSpinBox *m_colour[3][3] = {}; // [colour][red, green, blue]
    QCheckBox *m_fade = nullptr;
    Row m_rows[ROW_COUNT];
};
