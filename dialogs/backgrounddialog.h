// The background editor: position, size, zoom (stretch factor), colour,
// picture and input ("DMX-IN") of the surface's background. The input is
// edited by the control editor's input editor (dmxineditor.h).
//
// BackgroundEdit holds the logic on records and is usable without a
// window; SettingsBackground is its view. Applying pushes one
// ChangeBackground command on the show document, so every apply is one
// undoable step.
#pragma once

#include "model/settingstruct.h"

#include <QString>
#include <QWidget>

#include <functional>

class DmxInEditor;
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

    // A file picked in the chooser; an empty path (chooser cancelled)
    // changes nothing. An unreadable file gives no picture.
    void choosePicture(const QString &path);
    void deletePicture();

    // Pushes the working record, its input brought into its protocol's
    // ranges, as one command named `undoText` when it differs from the
    // document's. False without a document to write to, and when refusal()
    // tells why it cannot be applied.
    bool apply(const QString &undoText);
    // Why the working record cannot be applied (an OSC input whose address
    // is not valid); empty when it can.
    QString refusal() const;

private:
    ShowDocument *m_document = nullptr;
    BackgroundStruct m_working;
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

private:
    void buildWidgets();
    void updateDisplay();
    void showPicture();
    bool applyEdit();

    BackgroundEdit m_edit;
    PictureChooser m_chooser;

    QSpinBox *m_posX = nullptr, *m_posY = nullptr, *m_sizeX = nullptr, *m_sizeY = nullptr;
    QSpinBox *m_stretch = nullptr;
    QSpinBox *m_red = nullptr, *m_green = nullptr, *m_blue = nullptr;
    QLabel *m_picture = nullptr, *m_pictureSize = nullptr;
    QPushButton *m_pictureSelect = nullptr, *m_pictureDelete = nullptr;
    DmxInEditor *m_input = nullptr;
};
