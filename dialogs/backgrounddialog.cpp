#include "dialogs/backgrounddialog.h"

#include "model/showcommands.h"
#include "model/showdocument.h"
#include "model/typetables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{

constexpr int PREVIEW_PX = 48;

QString hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// The three colours of an input, red, green, blue each.
quint8 *colourField(SettingDmxInStruct &in, int colour, int component)
{
    quint8 *fields[3][3] = {
        {&in.dmx_in_color_red_1, &in.dmx_in_color_green_1, &in.dmx_in_color_blue_1},
        {&in.dmx_in_color_red_2, &in.dmx_in_color_green_2, &in.dmx_in_color_blue_2},
        {&in.dmx_in_color_red_3, &in.dmx_in_color_green_3, &in.dmx_in_color_blue_3}};
    return fields[colour][component];
}

quint8 *valueField(SettingDmxInStruct &in, int index)
{
    quint8 *fields[3] = {&in.dmx_in_value_1, &in.dmx_in_value_2, &in.dmx_in_value_3};
    return fields[index];
}

QSpinBox *spinBox(int minimum, int maximum, const QString &tip, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setAlignment(Qt::AlignRight);
    box->setToolTip(tip);
    return box;
}

// Sets a spin box without running its slot.
void setQuietly(QSpinBox *box, int value)
{
    const QSignalBlocker blocker(box);
    box->setValue(value);
}

} // namespace

// ---- BackgroundEdit ---------------------------------------------------------

BackgroundEdit::BackgroundEdit()
{
    resetBackground(&m_working);
}

void BackgroundEdit::setSettings(ShowDocument *document, bool showHex)
{
    m_showHex = showHex;
    if (!document)
        return;
    m_document = document;
    m_pendingPath.clear();
    m_working = document->background();
}

void BackgroundEdit::choosePicture(const QString &path)
{
    if (path.isEmpty())
        return;
    m_pendingPath = path;
    // The file's bytes as they are; nothing when it is no picture.
    m_working.bitmap = Picture::fromFile(path);
}

void BackgroundEdit::deletePicture()
{
    m_pendingPath.clear();
    m_working.bitmap = Picture();
}

bool BackgroundEdit::apply(const QString &undoText)
{
    if (!m_document)
        return false;
    // The picture is the one the preview shows, read when it was chosen.
    if (!m_working.sameContent(m_document->background()))
        m_document->push(new ChangeBackground(*m_document, m_working, undoText));
    return true;
}

// ---- SettingsBackground -------------------------------------------------------

SettingsBackground::SettingsBackground(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("Background Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    m_chooser = [](QWidget *p, const QString &title, const QString &filter) {
        return QFileDialog::getOpenFileName(p, title, QString(), filter);
    };
    buildWidgets();
    updateDisplay();
}

void SettingsBackground::buildWidgets()
{
    // ---- settings group
    auto *settings = new QGroupBox(tr("Settings"), this);
    auto *grid = new QGridLayout(settings);
    int row = 0;
    auto addRow = [&](const QString &text, const QList<QWidget *> &widgets) {
        grid->addWidget(new QLabel(text, settings), row, 0);
        int column = 1;
        for (QWidget *w : widgets)
            grid->addWidget(w, row, column++);
        ++row;
    };
    m_posX = spinBox(0, 65535, tr("Position X"), settings);
    m_posY = spinBox(0, 65535, tr("Position Y"), settings);
    m_sizeX = spinBox(1, 65535, tr("Size X"), settings);
    m_sizeY = spinBox(1, 65535, tr("Size Y"), settings);
    m_stretch = spinBox(1, 10000, tr("Stretchfactor"), settings);
    m_red = spinBox(0, 255, tr("Color Red"), settings);
    m_green = spinBox(0, 255, tr("Color Green"), settings);
    m_blue = spinBox(0, 255, tr("Color Blue"), settings);
    m_stretch->setObjectName(QStringLiteral("stretch"));
    addRow(tr("Position X / Y :"), {m_posX, m_posY});
    addRow(tr("Size X / Y :"), {m_sizeX, m_sizeY});
    addRow(tr("Stretchfactor in % :"), {m_stretch});
    addRow(tr("Color - Red / Green / Blue :"), {m_red, m_green, m_blue});

    m_picture = new QLabel(settings);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFixedSize(PREVIEW_PX, PREVIEW_PX);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setToolTip(tr("Bitmap Preview"));
    m_pictureSize = new QLabel(settings);
    m_pictureSelect = new QPushButton(tr("..."), settings);
    m_pictureSelect->setObjectName(QStringLiteral("pictureSelect"));
    m_pictureSelect->setMinimumSize(30, 20);
    m_pictureSelect->setToolTip(tr("select the bitmap file here"));
    m_pictureDelete =
        new QPushButton(QIcon(QStringLiteral(":/images/editdelete.xpm")), QString(), settings);
    m_pictureDelete->setObjectName(QStringLiteral("pictureDelete"));
    m_pictureDelete->setMinimumSize(20, 20);
    m_pictureDelete->setToolTip(tr("deletes the bitmap file"));
    auto *pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture);
    pictureRow->addWidget(m_pictureSize, 1);
    pictureRow->addWidget(m_pictureSelect);
    pictureRow->addWidget(m_pictureDelete);
    grid->addWidget(new QLabel(tr("Bitmap :"), settings), row, 0);
    grid->addLayout(pictureRow, row, 1, 1, 3);
    grid->setColumnStretch(4, 1);

    connect(m_posX, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefPosX()));
    connect(m_posY, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefPosY()));
    connect(m_sizeX, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefSizeX()));
    connect(m_sizeY, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefSizeY()));
    connect(m_stretch, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefStretchFactore()));
    connect(m_red, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefColorRed()));
    connect(m_green, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefColorGreen()));
    connect(m_blue, SIGNAL(valueChanged(int)), this, SLOT(ChangedPrefColorBlue()));
    connect(m_pictureSelect, SIGNAL(clicked()), this, SLOT(slotPixmapSelect()));
    connect(m_pictureDelete, SIGNAL(clicked()), this, SLOT(slotPixmapDelete()));

    // ---- input group
    m_inputGroup = new QGroupBox(tr("DMX-IN"), this);
    auto *in = new QGridLayout(m_inputGroup);
    m_protocol = new QComboBox(m_inputGroup);
    m_protocol->setObjectName(QStringLiteral("protocol"));
    m_protocol->setToolTip(tr("Type of Protocol"));
    for (quint8 p : {PT_NONE, PT_ARTNET, PT_ACN, PT_MIDI})
        m_protocol->addItem(protocolTypeLabel(p), int(p));
    m_midiType = new QComboBox(m_inputGroup);
    for (quint8 t :
         {MT_NONE, MT_NOTE_OFF, MT_NOTE_ON, MT_POLY_KEY_PRESSURE, MT_CONTROL_CHANGE,
          MT_PROGRAM_CHANGE, MT_CHANNEL_PRESSURE, MT_PITCH_WHEEL_CHANGE, MT_SYSTEM_MESSAGE})
        m_midiType->addItem(midiTypeLabel(t), int(t));
    in->addWidget(new QLabel(tr("Type :"), m_inputGroup), 0, 0);
    in->addWidget(m_protocol, 0, 1, 1, 3);

    const char *valueSlots[3] = {SLOT(ChangedDmxInValue1()), SLOT(ChangedDmxInValue2()),
                                 SLOT(ChangedDmxInValue3())};
    for (int i = 0; i < 3; ++i) {
        m_value[i] = spinBox(0, 255, tr("Value %1").arg(i + 1), m_inputGroup);
        connect(m_value[i], SIGNAL(valueChanged(int)), this, valueSlots[i]);
        m_rows[VALUE_1 + i] = {
            new QLabel(tr("Value %1 :").arg(i + 1), m_inputGroup), {m_value[i]}, nullptr};
    }
    m_channel = spinBox(1, 512, tr("Channel"), m_inputGroup);
    m_note = spinBox(0, 127, tr("MIDI Note"), m_inputGroup);
    m_universe = spinBox(1, DMX_UNIVERSE_MAX + 1, tr("Universe"), m_inputGroup);
    m_universe->setObjectName(QStringLiteral("universe"));
    connect(m_channel, SIGNAL(valueChanged(int)), this, SLOT(ChangedDmxInChannel()));
    connect(m_note, SIGNAL(valueChanged(int)), this, SLOT(ChangedDmxInMidiNote()));
    connect(m_universe, SIGNAL(valueChanged(int)), this, SLOT(ChangedDmxInUniverse()));
    m_rows[CHANNEL] = {new QLabel(tr("DMX Channel :"), m_inputGroup), {m_channel}, nullptr};
    m_rows[NOTE] = {new QLabel(tr("MIDI Note :"), m_inputGroup), {m_note}, nullptr};
    m_rows[UNIVERSE] = {new QLabel(tr("DMX Universe :"), m_inputGroup), {m_universe}, nullptr};
    m_rows[MIDI_TYPE] = {new QLabel(tr("MIDI Type :"), m_inputGroup), {m_midiType}, nullptr};

    const char *colourSlots[3][3] = {
        {SLOT(ChangedDmxInColorRed1()), SLOT(ChangedDmxInColorGreen1()),
         SLOT(ChangedDmxInColorBlue1())},
        {SLOT(ChangedDmxInColorRed2()), SLOT(ChangedDmxInColorGreen2()),
         SLOT(ChangedDmxInColorBlue2())},
        {SLOT(ChangedDmxInColorRed3()), SLOT(ChangedDmxInColorGreen3()),
         SLOT(ChangedDmxInColorBlue3())}};
    const QString componentTips[3] = {tr("Color Red %1"), tr("Color Green %1"),
                                      tr("Color Blue %1")};
    for (int c = 0; c < 3; ++c) {
        Row &r = m_rows[COLOR_1 + c];
        r.label = new QLabel(tr("Color %1 - Red / Green / Blue :").arg(c + 1), m_inputGroup);
        for (int k = 0; k < 3; ++k) {
            m_colour[c][k] = spinBox(0, 255, componentTips[k].arg(c + 1), m_inputGroup);
            connect(m_colour[c][k], SIGNAL(valueChanged(int)), this, colourSlots[c][k]);
            r.widgets.append(m_colour[c][k]);
        }
    }
    for (int i = 0; i < ROW_COUNT; ++i) {
        Row &r = m_rows[i];
        r.hex = new QLabel(m_inputGroup);
        r.hex->setMinimumWidth(
            r.hex->fontMetrics().horizontalAdvance(QStringLiteral("0x00 00 00")));
        in->addWidget(r.label, i + 1, 0);
        // A single widget spans the three columns of a colour's components.
        if (r.widgets.size() == 1)
            in->addWidget(r.widgets.first(), i + 1, 1, 1, i == MIDI_TYPE ? 3 : 1);
        else
            for (int k = 0; k < r.widgets.size(); ++k)
                in->addWidget(r.widgets.at(k), i + 1, 1 + k);
        in->addWidget(r.hex, i + 1, 4);
    }
    m_fade = new QCheckBox(tr("Mix Colors Between DMX Values"), m_inputGroup);
    m_fade->setToolTip(tr("Mix Colors between DMX Values"));
    in->addWidget(m_fade, ROW_COUNT + 1, 0, 1, 5);
    in->setColumnStretch(5, 1);
    connect(m_fade, SIGNAL(clicked()), this, SLOT(ChangedDmxInColorFade()));
    // The two groups share their columns: labels as wide as the longest
    // label of either, every column of numbers as wide as the widest number.
    int labelWidth = 0;
    for (QLabel *label : findChildren<QLabel *>())
        if (grid->indexOf(label) >= 0 || in->indexOf(label) >= 0)
            labelWidth = qMax(labelWidth, label->sizeHint().width());
    grid->setColumnMinimumWidth(0, labelWidth);
    in->setColumnMinimumWidth(0, labelWidth);
    const int numberWidth = m_posX->sizeHint().width();
    for (int column = 1; column <= 3; ++column) {
        grid->setColumnMinimumWidth(column, numberWidth);
        in->setColumnMinimumWidth(column, numberWidth);
    }
    connect(m_protocol, SIGNAL(activated(int)), this, SLOT(ChangedDmxInType(int)));
    connect(m_midiType, SIGNAL(activated(int)), this, SLOT(ChangedDmxInMidiType(int)));

    // ---- buttons
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setToolTip(tr("click OK to apply all changes and close the window"));
    auto *apply = new QPushButton(tr("Apply"), this);
    apply->setObjectName(QStringLiteral("apply"));
    apply->setToolTip(tr("click Apply to apply the changes"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setToolTip(tr("click Cancel to discard any changes"));
    connect(ok, SIGNAL(clicked()), this, SLOT(slotOk()));
    connect(apply, SIGNAL(clicked()), this, SLOT(slotApply()));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(m_inputGroup);
    layout->addStretch();
    layout->addLayout(buttons);
}

void SettingsBackground::setSettings(ShowDocument *document, bool showHex)
{
    m_edit.setSettings(document, showHex);
    updateDisplay();
}

void SettingsBackground::showPicture()
{
    const Picture &bitmap = m_edit.working().bitmap;
    if (bitmap.isNull()) {
        m_picture->clear();
        m_pictureSize->clear();
        return;
    }
    const QImage preview = bitmap.image(QSize(PREVIEW_PX, PREVIEW_PX));
    m_picture->setPixmap(QPixmap::fromImage(preview));
    // A picture that cannot be shown is still there, and saved as it is.
    const QSize size = bitmap.size();
    m_pictureSize->setText(preview.isNull() || !size.isValid()
                               ? tr("cannot be shown")
                               : QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}

void SettingsBackground::updateDisplay()
{
    const BackgroundStruct &bg = m_edit.working();
    const SettingDmxInStruct &in = bg.dmx_in;
    showPicture();
    setQuietly(m_posX, int(qMin<quint32>(bg.position_x, 65535)));
    setQuietly(m_posY, int(qMin<quint32>(bg.position_y, 65535)));
    setQuietly(m_sizeX, int(qMin<quint32>(bg.size_x, 65535)));
    setQuietly(m_sizeY, int(qMin<quint32>(bg.size_y, 65535)));
    setQuietly(m_stretch, int(qMin<quint32>(bg.stretch_factor, 10000)));
    setQuietly(m_red, bg.color_red);
    setQuietly(m_green, bg.color_green);
    setQuietly(m_blue, bg.color_blue);

    const int protocol = m_protocol->findData(int(in.protocol_type_in));
    if (protocol >= 0)
        m_protocol->setCurrentIndex(protocol);
    m_midiType->setCurrentIndex(qMax(0, m_midiType->findData(int(in.dmx_in_midi_type))));
    // Ranges follow the protocol first, so nothing below is cut to the
    // ranges of the protocol shown before.
    ChangedType(m_protocol->currentIndex(), m_midiType->currentIndex());
}

void SettingsBackground::showRow(RowId row, bool visible)
{
    Row &r = m_rows[row];
    r.label->setVisible(visible);
    for (QWidget *w : r.widgets)
        w->setVisible(visible);
    r.hex->setVisible(visible && m_edit.showHex());
}

void SettingsBackground::writeHexLabels()
{
    const SettingDmxInStruct &in = m_edit.working().dmx_in;
    m_rows[VALUE_1].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_value_1));
    m_rows[VALUE_2].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_value_2));
    m_rows[VALUE_3].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_value_3));
    m_rows[CHANNEL].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_channel + 1));
    m_rows[NOTE].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_channel));
    m_rows[UNIVERSE].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_universe + 1));
    m_rows[MIDI_TYPE].hex->setText(QStringLiteral("0x") + hex2(in.dmx_in_midi_type));
    SettingDmxInStruct copy = in;
    for (int c = 0; c < 3; ++c)
        m_rows[COLOR_1 + c].hex->setText(QStringLiteral("0x%1 %2 %3")
                                             .arg(hex2(*colourField(copy, c, 0)),
                                                  hex2(*colourField(copy, c, 1)),
                                                  hex2(*colourField(copy, c, 2))));
}

void SettingsBackground::ChangedType(int DmxInTypeIdx, int DmxInMidiTypeIdx)
{
    if (!m_protocol || !m_midiType)
        return;
    int protocol = m_protocol->itemData(DmxInTypeIdx).toInt();
    if (protocol < 0 || protocol >= PT_COUNT || !isInputProtocol(quint8(protocol)))
        protocol = PT_NONE;
    const int status = m_midiType->itemData(DmxInMidiTypeIdx).toInt();
    const bool midi = protocol == PT_MIDI;
    SettingDmxInStruct &in = m_edit.working().dmx_in;

    m_rows[UNIVERSE].label->setText(midi ? tr("MIDI Channel :") : tr("DMX Universe :"));
    for (QSpinBox *value : m_value)
        value->setMaximum(midi ? 127 : 255);
    m_universe->setMaximum(midi ? 16 : DMX_UNIVERSE_MAX + 1);
    in.protocol_type_in = quint8(protocol);
    in.dmx_in_midi_type = quint8(status);

    // What the visible rows show is what is stored: the note and the DMX
    // channel share one field, and the new ranges may have cut values.
    setQuietly(m_universe, in.dmx_in_universe + 1);
    setQuietly(m_channel, in.dmx_in_channel + 1);
    setQuietly(m_note, in.dmx_in_channel);
    for (int i = 0; i < 3; ++i)
        setQuietly(m_value[i], *valueField(in, i));
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 3; ++k)
            setQuietly(m_colour[c][k], *colourField(in, c, k));
    m_fade->setChecked(in.dmx_in_color_fade != 0);
    if (protocol != PT_NONE) {
        in.dmx_in_universe = quint16(m_universe->value() - 1);
        in.dmx_in_channel = quint16(midi ? m_note->value() : m_channel->value() - 1);
        for (int i = 0; i < 3; ++i)
            *valueField(in, i) = quint8(m_value[i]->value());
    }
    writeHexLabels();

    const bool any = protocol != PT_NONE;
    for (RowId row : {VALUE_1, VALUE_2, VALUE_3, UNIVERSE, COLOR_1, COLOR_2, COLOR_3})
        showRow(row, any);
    showRow(CHANNEL, any && !midi);
    showRow(NOTE, any && midi);
    showRow(MIDI_TYPE, any && midi);
    m_fade->setVisible(any);
}

void SettingsBackground::ChangedDmxInType(int DmxTypeIdx)
{
    ChangedType(DmxTypeIdx, m_midiType ? m_midiType->currentIndex() : 0);
}

void SettingsBackground::ChangedDmxInMidiType(int MidiTypeIdx)
{
    ChangedType(m_protocol ? m_protocol->currentIndex() : 0, MidiTypeIdx);
}

// ---- picture --------------------------------------------------------------------

void SettingsBackground::slotPixmapSelect()
{
    const QString filter =
        tr("All Images (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;") +
        tr("Windows Bitmap (*.bmp);;") + tr("Graphic Interchange Format (*.gif);;") +
        tr("Icon File (*.ico);;") + tr("Joint Photographic Experts Group (*.jpg *.jpeg);;") +
        tr("Portable Network Graphics (*.png);;") + tr("Portable Bitmap (*.pbm);;") +
        tr("Portable Graymap (*.pgm);;") + tr("Portable Pixmap (*.ppm);;") +
        tr("X11 Bitmap (*.xbm *.xpm);;") + tr("All Files (*.*)");
    // Cancelling the chooser keeps the picture shown and the file it came from.
    m_edit.choosePicture(m_chooser(this, tr("Choose a Bitmap File to Open"), filter));
    showPicture();
}

void SettingsBackground::slotPixmapDelete()
{
    m_edit.deletePicture();
    showPicture();
}

// ---- apply ----------------------------------------------------------------------

void SettingsBackground::applyEdit()
{
    if (m_edit.apply(tr("Change Background")))
        emit valueChanged();
}

void SettingsBackground::slotOk()
{
    applyEdit();
    close();
}

void SettingsBackground::slotApply()
{
    applyEdit();
}

// ---- fields ---------------------------------------------------------------------

void SettingsBackground::ChangedPrefPosX()
{
    m_edit.working().position_x = quint32(m_posX->value());
}

void SettingsBackground::ChangedPrefPosY()
{
    m_edit.working().position_y = quint32(m_posY->value());
}

void SettingsBackground::ChangedPrefSizeX()
{
    m_edit.working().size_x = quint32(m_sizeX->value());
}

void SettingsBackground::ChangedPrefSizeY()
{
    m_edit.working().size_y = quint32(m_sizeY->value());
}

void SettingsBackground::ChangedPrefColorRed()
{
    m_edit.working().color_red = quint8(m_red->value());
}

void SettingsBackground::ChangedPrefColorGreen()
{
    m_edit.working().color_green = quint8(m_green->value());
}

void SettingsBackground::ChangedPrefColorBlue()
{
    m_edit.working().color_blue = quint8(m_blue->value());
}

void SettingsBackground::ChangedPrefStretchFactore()
{
    m_edit.working().stretch_factor = quint32(m_stretch->value());
}

void SettingsBackground::ChangedDmxInValue1()
{
    m_edit.working().dmx_in.dmx_in_value_1 = quint8(m_value[0]->value());
    writeHexLabels();
}

void SettingsBackground::ChangedDmxInValue2()
{
    m_edit.working().dmx_in.dmx_in_value_2 = quint8(m_value[1]->value());
    writeHexLabels();
}

void SettingsBackground::ChangedDmxInValue3()
{
    m_edit.working().dmx_in.dmx_in_value_3 = quint8(m_value[2]->value());
    writeHexLabels();
}

void SettingsBackground::ChangedDmxInChannel()
{
    if (m_channel->value() >= 1)
        m_edit.working().dmx_in.dmx_in_channel = quint16(m_channel->value() - 1);
    writeHexLabels();
}

void SettingsBackground::ChangedDmxInMidiNote()
{
    m_edit.working().dmx_in.dmx_in_channel = quint16(m_note->value());
    writeHexLabels();
}

void SettingsBackground::ChangedDmxInUniverse()
{
    if (m_universe->value() >= 1)
        m_edit.working().dmx_in.dmx_in_universe = quint16(m_universe->value() - 1);
    writeHexLabels();
}

#define PULTORA_COLOUR_SLOT(name, colour, component)                                               \
    void SettingsBackground::name()                                                                \
    {                                                                                              \
        *colourField(m_edit.working().dmx_in, colour, component) =                                 \
            quint8(m_colour[colour][component]->value());                                          \
        writeHexLabels();                                                                          \
    }
PULTORA_COLOUR_SLOT(ChangedDmxInColorRed1, 0, 0)
PULTORA_COLOUR_SLOT(ChangedDmxInColorGreen1, 0, 1)
PULTORA_COLOUR_SLOT(ChangedDmxInColorBlue1, 0, 2)
PULTORA_COLOUR_SLOT(ChangedDmxInColorRed2, 1, 0)
PULTORA_COLOUR_SLOT(ChangedDmxInColorGreen2, 1, 1)
PULTORA_COLOUR_SLOT(ChangedDmxInColorBlue2, 1, 2)
PULTORA_COLOUR_SLOT(ChangedDmxInColorRed3, 2, 0)
PULTORA_COLOUR_SLOT(ChangedDmxInColorGreen3, 2, 1)
PULTORA_COLOUR_SLOT(ChangedDmxInColorBlue3, 2, 2)
#undef PULTORA_COLOUR_SLOT

void SettingsBackground::ChangedDmxInColorFade()
{
    m_edit.working().dmx_in.dmx_in_color_fade = m_fade->isChecked() ? 1 : 0;
}
