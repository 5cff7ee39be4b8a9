#include "dialogs/settings.h"

#include "dialogs/dmxineditor.h"
#include "dialogs/settingsdmxoutwidget.h"
#include "dialogs/settingsrules.h"
#include "model/typetables.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

const int TEXT_EDITOR_MAX_HEIGHT = 50;
const int PREVIEW_SIZE = 48;
const QSize SELECT_BUTTON_SIZE(30, 20);
const QSize DELETE_BUTTON_SIZE(20, 20);

quint8 entryValue(const QComboBox *list, int index)
{
    return index < 0 ? 0 : quint8(list->itemData(index).toUInt());
}

int entryIndex(const QComboBox *list, int value)
{
    return qMax(0, list->findData(value));
}

void selectEntry(QComboBox *list, int index)
{
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index);
}

} // namespace

Settings::Settings(const SettingsServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window), m_services(services)
{
    setWindowTitle(tr("Control Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));

    m_learnTimer = new QTimer(this);
    m_learnTimer->setObjectName(QStringLiteral("learnTimer"));
    m_learnTimer->setSingleShot(true);
    m_learnTimer->setInterval(LEARN_TIMEOUT_MS);
    connect(m_learnTimer, &QTimer::timeout, this, &Settings::cancelLearn);

    auto *main = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    main->addLayout(top);
    top->addWidget(buildSettingsGroup(), 0, Qt::AlignTop);
    auto *outputs = new QVBoxLayout;
    top->addLayout(outputs);
    m_out = new SettingsDmxOutWidget(this);
    m_out->setObjectName(QStringLiteral("dmxOut"));
    m_outAdvanced = new SettingsDmxOutWidget(this);
    m_outAdvanced->setObjectName(QStringLiteral("dmxOutAdvanced"));
    outputs->addWidget(m_out);
    outputs->addWidget(m_outAdvanced);
    outputs->addStretch();
    m_in = new DmxInEditor(DmxInEditor::Owner::Control, this);
    m_in->setObjectName(QStringLiteral("dmxIn"));
    main->addWidget(m_in);

    auto *descriptionGroup = new QGroupBox(tr("Description"), this);
    auto *descriptionLayout = new QVBoxLayout(descriptionGroup);
    m_description = newTextEdit(descriptionGroup, "description", TEXT_EDITOR_MAX_HEIGHT);
    m_description->setToolTip(tr("notes on this control for the documentation; not shown on "
                                 "the console"));
    descriptionLayout->addWidget(m_description);
    main->addWidget(descriptionGroup);
    main->addStretch();

    auto *buttons = new QHBoxLayout;
    main->addLayout(buttons);
    buttons->addStretch();
    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_apply = new QPushButton(this);
    m_apply->setObjectName(QStringLiteral("apply"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setToolTip(tr("click Cancel to discard any changes"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);

    connect(m_description, &QTextEdit::textChanged, this, &Settings::ChangedPrefDescription);
    connect(m_ok, &QPushButton::clicked, this, &Settings::slotOk);
    connect(m_apply, &QPushButton::clicked, this, &Settings::slotApply);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_out, &SettingsDmxOutWidget::learnClicked, this, [this] { startLearn(LearnOutput); });
    connect(m_outAdvanced, &SettingsDmxOutWidget::learnClicked, this,
            [this] { startLearn(LearnOutputAdvanced); });
    connect(m_in, &DmxInEditor::learnClicked, this, [this] { startLearn(LearnInput); });

    SettingStruct &w = m_edit.working();
    m_out->setSettings(&w.dmx_out, w.control_type, m_showHex, tr("DMX-OUT"));
    m_outAdvanced->setSettings(&w.dmx_out_advanced, advancedOutputType(w.control_type), m_showHex,
                               tr("DMX-OUT Advanced"));
    m_in->setSettings(&w.dmx_in, w.control_type, m_showHex);
    updateDisplay();
}

QGroupBox *Settings::buildSettingsGroup()
{
    auto *group = new QGroupBox(tr("Settings"), this);
    auto *grid = new QGridLayout(group);
    // The three input columns share the width alike, so the colour boxes
    // line up with the position and size boxes above them.
    for (int column = 1; column <= 3; ++column)
        grid->setColumnStretch(column, 1);
    int row = 0;
    auto addLabel = [&](const QString &text) {
        auto *label = new QLabel(text, group);
        grid->addWidget(label, row, 0);
        return label;
    };

    addLabel(tr("Name :"));
    m_name = newTextEdit(group, "name", TEXT_EDITOR_MAX_HEIGHT);
    grid->addWidget(m_name, row++, 1, 1, 3);
    m_nameHint = new QLabel(tr("You can use HTML style sheets to change sizes and colors of the "
                               "layout. Example:\n<div style=\"font-size:16px;color:#ff0000;"
                               "background-color:#00ff00;\">Name</div>"),
                            group);
    m_nameHint->setObjectName(QStringLiteral("nameHint"));
    m_nameHint->setTextFormat(Qt::PlainText);
    m_nameHint->setWordWrap(true);
    m_nameHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_nameHint, row++, 0, 1, 4);

    addLabel(tr("Position X / Y :"));
    m_posX = newSpinBox(group, "posX", 0, 65535);
    m_posY = newSpinBox(group, "posY", 0, 65535);
    grid->addWidget(m_posX, row, 1);
    grid->addWidget(m_posY, row++, 2);

    addLabel(tr("Size X / Y :"));
    m_sizeX = newSpinBox(group, "sizeX", 1, 65535);
    m_sizeY = newSpinBox(group, "sizeY", 1, 65535);
    grid->addWidget(m_sizeX, row, 1);
    grid->addWidget(m_sizeY, row++, 2);

    addLabel(tr("Color - Red / Green / Blue :"));
    const char *colorNames[3] = {"colorRed", "colorGreen", "colorBlue"};
    for (int c = 0; c < 3; ++c) {
        m_color[c] = newSpinBox(group, colorNames[c], 0, 255);
        grid->addWidget(m_color[c], row, 1 + c);
    }
    ++row;

    addLabel(tr("Type :"));
    m_type = new QComboBox(group);
    m_type->setObjectName(QStringLiteral("type"));
    for (quint8 t = 0; t < CT_COUNT; ++t)
        m_type->addItem(controlTypeLabel(t), t);
    grid->addWidget(m_type, row++, 1, 1, 3);

    m_bitmapRow.label = addLabel(tr("Bitmap File :"));
    m_bitmapPreview = new QLabel(group);
    m_bitmapPreview->setObjectName(QStringLiteral("bitmapPreview"));
    m_bitmapPreview->setFixedSize(PREVIEW_SIZE, PREVIEW_SIZE);
    m_bitmapPreview->setFrameShape(QFrame::StyledPanel);
    m_bitmapSize = new QLabel(group);
    m_bitmapSize->setObjectName(QStringLiteral("bitmapSize"));
    auto *select = new QPushButton(QStringLiteral("..."), group);
    select->setObjectName(QStringLiteral("bitmapSelect"));
    select->setFixedSize(SELECT_BUTTON_SIZE);
    select->setToolTip(tr("select the bitmap file here"));
    auto *remove =
        new QPushButton(QIcon(QStringLiteral(":/images/editdelete.xpm")), QString(), group);
    remove->setObjectName(QStringLiteral("bitmapDelete"));
    remove->setFixedSize(DELETE_BUTTON_SIZE);
    remove->setToolTip(tr("deletes the bitmap file"));
    auto *bitmapButtons = new QHBoxLayout;
    bitmapButtons->addStretch();
    bitmapButtons->addWidget(select);
    bitmapButtons->addWidget(remove);
    // What each field does and takes.
    const std::pair<QWidget *, QString> tips[] = {
        {m_name, tr("the text shown on the control; a label may style it with HTML")},
        {m_posX, tr("the left edge in pixels from the left of the console, 0 to 65535")},
        {m_posY, tr("the top edge in pixels from the top of the console, 0 to 65535")},
        {m_sizeX, tr("the width in pixels, 1 to 65535")},
        {m_sizeY, tr("the height in pixels, 1 to 65535")},
        {m_color[0], tr("the red of the control's color, 0 to 255")},
        {m_color[1], tr("the green of the control's color, 0 to 255")},
        {m_color[2], tr("the blue of the control's color, 0 to 255")},
        {m_type, tr("what the control is: button, fader, knob, encoder, label, LED and more; it "
                    "decides which fields below are shown")},
        {m_bitmapPreview, tr("the picture the control shows; ... chooses it, the bin removes it")}};
    for (const auto &[field, tip] : tips)
        field->setToolTip(tip);
    grid->addWidget(m_bitmapPreview, row, 1);
    grid->addWidget(m_bitmapSize, row, 2);
    grid->addLayout(bitmapButtons, row++, 3);
    m_bitmapRow.fields = {m_bitmapPreview, m_bitmapSize, select, remove};

    connect(m_name, &QTextEdit::textChanged, this, &Settings::ChangedPrefName);
    connect(m_posX, &QSpinBox::valueChanged, this, &Settings::ChangedPrefPosX);
    connect(m_posY, &QSpinBox::valueChanged, this, &Settings::ChangedPrefPosY);
    connect(m_sizeX, &QSpinBox::valueChanged, this, &Settings::ChangedPrefSizeX);
    connect(m_sizeY, &QSpinBox::valueChanged, this, &Settings::ChangedPrefSizeY);
    connect(m_color[0], &QSpinBox::valueChanged, this, &Settings::ChangedPrefColorRed);
    connect(m_color[1], &QSpinBox::valueChanged, this, &Settings::ChangedPrefColorGreen);
    connect(m_color[2], &QSpinBox::valueChanged, this, &Settings::ChangedPrefColorBlue);
    connect(m_type, &QComboBox::currentIndexChanged, this, &Settings::ChangedPrefType);
    connect(select, &QPushButton::clicked, this, &Settings::slotPixmapSelect);
    connect(remove, &QPushButton::clicked, this, &Settings::slotPixmapDelete);
    return group;
}

void Settings::setSettings(SettingStruct *record, bool showHex)
{
    if (!record)
        return;
    cancelLearn();
    m_edit.start(record);
    m_showHex = showHex;
    SettingStruct &w = m_edit.working();
    m_out->setSettings(&w.dmx_out, w.control_type, showHex, tr("DMX-OUT"));
    m_outAdvanced->setSettings(&w.dmx_out_advanced, advancedOutputType(w.control_type), showHex,
                               tr("DMX-OUT Advanced"));
    m_in->setSettings(&w.dmx_in, w.control_type, showHex);
    updateDisplay();
}

void Settings::updateDisplay()
{
    const SettingStruct &w = m_edit.working();
    if (m_edit.isAdd()) {
        m_ok->setText(tr("Add"));
        m_ok->setToolTip(tr("click Add to add this control and to close the window"));
        m_apply->setText(tr("Add && Next"));
        m_apply->setToolTip(
            tr("click Add & Next to add this control and to configure the next control"));
    } else {
        m_ok->setText(tr("OK"));
        m_ok->setToolTip(tr("click OK to apply all changes and close the window"));
        m_apply->setText(tr("Apply"));
        m_apply->setToolTip(tr("click Apply to apply the changes"));
    }

    const int typeIdx = entryIndex(m_type, w.control_type);
    selectEntry(m_type, typeIdx);
    showBitmap();
    showInTextEdit(m_name, w.name);
    showInTextEdit(m_description, w.description);
    showInSpinBox(m_posX, 0, 65535, int(qMin<quint32>(w.position_x, 65535)));
    showInSpinBox(m_posY, 0, 65535, int(qMin<quint32>(w.position_y, 65535)));
    showInSpinBox(m_sizeX, 1, 65535, int(qMin<quint32>(w.size_x, 65535)));
    showInSpinBox(m_sizeY, 1, 65535, int(qMin<quint32>(w.size_y, 65535)));
    showInSpinBox(m_color[0], 0, 255, w.color_red);
    showInSpinBox(m_color[1], 0, 255, w.color_green);
    showInSpinBox(m_color[2], 0, 255, w.color_blue);

    // The rows, the output editors and the input follow from the type.
    ChangedPrefType(typeIdx);
}

void Settings::slotPixmapSelect()
{
    QString path;
    if (m_services.chooseBitmapFile) {
        path = m_services.chooseBitmapFile();
    } else {
        const QString filter =
            tr("All Images (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm "
               "*.xpm);;") +
            tr("Windows Bitmap (*.bmp);;") + tr("Graphic Interchange Format (*.gif);;") +
            tr("Icon File (*.ico);;") + tr("Joint Photographic Experts Group (*.jpg *.jpeg);;") +
            tr("Portable Network Graphics (*.png);;") + tr("Portable Bitmap (*.pbm);;") +
            tr("Portable Graymap (*.pgm);;") + tr("Portable Pixmap (*.ppm);;") +
            tr("X11 Bitmap (*.xbm *.xpm);;") + tr("All Files (*.*)");
        path = QFileDialog::getOpenFileName(this, tr("Choose a Bitmap File to Open"), QString(),
                                            filter);
    }
    // Cancelling the chooser keeps the picture the control has.
    if (path.isEmpty())
        return;
    m_edit.takeBitmapFile(path);
    showBitmap();
}

void Settings::slotPixmapDelete()
{
    m_edit.deleteBitmap();
    showBitmap();
}

void Settings::ChangedPrefName()
{
    m_edit.working().name = m_name->toPlainText();
}

void Settings::ChangedPrefDescription()
{
    m_edit.working().description = m_description->toPlainText();
}

void Settings::slotOk()
{
    if (applySettings())
        close();
}

void Settings::slotApply()
{
    const bool adding = m_edit.isAdd();
    if (!applySettings() || !adding)
        return;
    // "Add & Next": the next control goes beside the one just added.
    m_edit.startNext(m_services.room ? m_services.room() : ControlEdit::Room());
    updateDisplay();
}

void Settings::ChangedPrefPosX()
{
    m_edit.working().position_x = quint32(m_posX->value());
}

void Settings::ChangedPrefPosY()
{
    m_edit.working().position_y = quint32(m_posY->value());
}

void Settings::ChangedPrefSizeX()
{
    m_edit.working().size_x = quint32(m_sizeX->value());
}

void Settings::ChangedPrefSizeY()
{
    m_edit.working().size_y = quint32(m_sizeY->value());
}

void Settings::ChangedPrefColorRed()
{
    m_edit.working().color_red = quint8(m_color[0]->value());
}

void Settings::ChangedPrefColorGreen()
{
    m_edit.working().color_green = quint8(m_color[1]->value());
}

void Settings::ChangedPrefColorBlue()
{
    m_edit.working().color_blue = quint8(m_color[2]->value());
}

void Settings::ChangedPrefType(int PrefTypeIdx)
{
    quint8 type = entryValue(m_type, PrefTypeIdx);
    if (!isControlType(type))
        type = CT_BUTTON_PUSH;

    m_type->setEnabled(m_edit.isAdd());
    m_nameHint->setVisible(nameHintVisible(type));

    // The type resets what it does not use, the input included.
    m_edit.setControlType(type);
    showBitmap();
    m_out->setVisible(outputEditorVisible(type));
    m_out->setControlType(type);
    const quint8 advancedType = advancedOutputType(type);
    m_outAdvanced->setVisible(advancedType != AOT_NONE);
    m_outAdvanced->setControlType(advancedType);
    m_bitmapRow.show(bitmapRowVisible(type));
    const bool input = dmxInRows(type, PT_NONE).group;
    m_in->setVisible(input);
    m_in->setControlType(type);

    // A learn whose button went away cannot be ended by the user.
    if ((m_learnTarget == LearnInput && !input) ||
        (m_learnTarget == LearnOutput && !outputEditorVisible(type)) ||
        (m_learnTarget == LearnOutputAdvanced && advancedType == AOT_NONE))
        cancelLearn();
}

bool Settings::takeLearned(quint8 protocol, quint16 universe, quint16 channel, quint8 midiType)
{
    if (m_learnTarget == NoLearning)
        return false;
    if (m_learnTarget == LearnInput) {
        if (!isInputProtocol(protocol))
            return false;
        SettingDmxInStruct &in = m_edit.working().dmx_in;
        in.protocol_type_in = protocol;
        in.dmx_in_universe = universe;
        in.dmx_in_channel = channel;
        if (protocol == PT_MIDI)
            in.dmx_in_midi_type = midiType;
        updateDisplay();
    } else {
        if (protocol != PT_MIDI)
            return false;
        SettingsDmxOutWidget *editor = m_learnTarget == LearnOutput ? m_out : m_outAdvanced;
        editor->takeLearnedMidi(universe, channel, midiType);
    }
    cancelLearn();
    return true;
}

bool Settings::setLearnedOscAddress(const QString &address)
{
    if (m_learnTarget != LearnInput || !isValidOscAddress(address))
        return false;
    m_in->setLearnedOscAddress(address);
    cancelLearn();
    return true;
}

void Settings::setOscDefaults(const QString &host, quint16 port)
{
    m_out->setOscDefaults(host, port);
    m_outAdvanced->setOscDefaults(host, port);
}

void Settings::cancelLearn()
{
    if (m_learnTarget == NoLearning)
        return;
    m_learnTarget = NoLearning;
    m_learnTimer->stop();
    showLearning();
    emit learnFinished();
}

// Escape ends a running learn first, and otherwise cancels the editor.
void Settings::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (m_learnTarget != NoLearning)
            cancelLearn();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Settings::hideEvent(QHideEvent *event)
{
    cancelLearn();
    QWidget::hideEvent(event);
}

bool Settings::applySettings()
{
    cancelLearn();
    // Nothing that cannot be sent to or listened for is applied.
    if (const QString refusal = oscRefusal(m_edit.recordToApply()); !refusal.isEmpty()) {
        if (m_services.refuse)
            m_services.refuse(refusal);
        else
            QMessageBox::warning(this, windowTitle(), refusal);
        return false;
    }
    ControlEdit::KeepEditing keepEditing = m_services.keepEditing;
    if (!keepEditing) {
        keepEditing = [this] {
            return QMessageBox::question(this, tr("Warning"),
                                         tr("Warnings occurred in this configuration!\n"
                                            "Do you want to change the settings?"),
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        };
    }
    if (m_edit.apply(m_services.checkConsistence, keepEditing) != ControlEdit::Result::Applied)
        return false;
    // The applied record is within its protocols' ranges now; show it so.
    updateDisplay();
    emit valueChanged();
    return true;
}

void Settings::startLearn(int target)
{
    const bool again = m_learnTarget == target;
    cancelLearn();
    if (again)
        return;
    m_learnTarget = target;
    m_learnTimer->start();
    showLearning();
    emit learnRequested(target);
}

void Settings::showLearning()
{
    m_in->setLearning(m_learnTarget == LearnInput);
    m_out->setLearning(m_learnTarget == LearnOutput);
    m_outAdvanced->setLearning(m_learnTarget == LearnOutputAdvanced);
}

void Settings::showBitmap()
{
    const Picture &bitmap = m_edit.working().bitmap;
    if (bitmap.isNull()) {
        m_bitmapPreview->clear();
        m_bitmapSize->clear();
        return;
    }
    const QImage preview = bitmap.image(QSize(PREVIEW_SIZE, PREVIEW_SIZE));
    m_bitmapPreview->setPixmap(QPixmap::fromImage(preview));
    // A picture that cannot be shown is still there, and saved as it is.
    const QSize size = bitmap.size();
    m_bitmapSize->setText(preview.isNull() || !size.isValid()
                              ? tr("cannot be shown")
                              : QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}
