#include "dialogs/dmxineditor.h"

#include "model/typetables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace
{

const quint8 MIDI_TYPES[] = {
    MT_NONE,           MT_NOTE_OFF,       MT_NOTE_ON,          MT_POLY_KEY_PRESSURE,
    MT_CONTROL_CHANGE, MT_PROGRAM_CHANGE, MT_CHANNEL_PRESSURE, MT_PITCH_WHEEL_CHANGE,
    MT_SYSTEM_MESSAGE};

// Grid columns. The control editor's: label, stretch, companion, three
// inputs (a single input in the last). The background's: label, three
// inputs (a single input in the first), companion, stretch.
struct Columns {
    int hex, first, single, stretch, count;
};
const Columns CONTROL_COLUMNS = {2, 3, 5, 1, 6};
const Columns BACKGROUND_COLUMNS = {4, 1, 1, 5, 5};
const int LABEL_COLUMN = 0;

quint8 entryValue(const QComboBox *list, int index)
{
    return index < 0 ? 0 : quint8(list->itemData(index).toUInt());
}

void selectEntry(QComboBox *list, int value)
{
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(qMax(0, list->findData(value)));
}

} // namespace

// ---- DmxInEdit --------------------------------------------------------------

void DmxInEdit::bind(SettingDmxInStruct *input, std::optional<quint8> controlType)
{
    m_input = input;
    m_controlType = controlType;
}

void DmxInEdit::choose(quint8 protocol, quint8 midiType)
{
    if (!m_input)
        return;
    m_input->protocol_type_in = isInputProtocol(protocol) ? protocol : quint8(PT_NONE);
    m_input->dmx_in_midi_type = midiType;
}

void DmxInEdit::setValue(int n, int value)
{
    if (!m_input)
        return;
    quint8 *const fields[3] = {&m_input->dmx_in_value_1, &m_input->dmx_in_value_2,
                               &m_input->dmx_in_value_3};
    *fields[n] = quint8(value);
}

void DmxInEdit::setShownChannel(int shown)
{
    if (m_input && shown >= 1)
        m_input->dmx_in_channel = quint16(shown - 1);
}

void DmxInEdit::setNote(int note)
{
    if (m_input)
        m_input->dmx_in_channel = quint16(note);
}

void DmxInEdit::setShownUniverse(int shown)
{
    if (m_input && shown >= 1)
        m_input->dmx_in_universe = quint16(shown - 1);
}

void DmxInEdit::setColour(int colour, int component, int value)
{
    if (m_input)
        DmxInEdit::colour(*m_input, colour, component) = quint8(value);
}

void DmxInEdit::setFade(bool fade)
{
    if (m_input)
        m_input->dmx_in_color_fade = fade ? 1 : 0;
}

void DmxInEdit::setOscAddress(const QString &address)
{
    if (m_input)
        m_input->dmx_in_osc_address = address;
}

void DmxInEdit::takeLearnedOscAddress(const QString &address)
{
    if (!m_input)
        return;
    m_input->protocol_type_in = PT_OSC;
    m_input->dmx_in_osc_address = address;
}

DmxInRows DmxInEdit::rows() const
{
    const quint8 protocol = m_input ? m_input->protocol_type_in : quint8(PT_NONE);
    if (m_controlType)
        return dmxInRows(*m_controlType, protocol);
    DmxInRows rows;
    rows.group = true;
    if (!isInputProtocol(protocol))
        return rows;
    rows.value1 = rows.value2 = rows.value3 = true;
    rows.color1 = rows.color2 = rows.color3 = rows.fade = true;
    rows.osc = protocol == PT_OSC;
    rows.universe = !rows.osc;
    rows.channel = protocol != PT_MIDI && !rows.osc;
    rows.note = rows.midiType = protocol == PT_MIDI;
    return rows;
}

ValueLabels DmxInEdit::valueLabels() const
{
    return m_controlType ? dmxInValueLabels(*m_controlType) : ValueLabels();
}

quint8 &DmxInEdit::colour(SettingDmxInStruct &in, int colour, int component)
{
    quint8 *const fields[3][3] = {
        {&in.dmx_in_color_red_1, &in.dmx_in_color_green_1, &in.dmx_in_color_blue_1},
        {&in.dmx_in_color_red_2, &in.dmx_in_color_green_2, &in.dmx_in_color_blue_2},
        {&in.dmx_in_color_red_3, &in.dmx_in_color_green_3, &in.dmx_in_color_blue_3}};
    return *fields[colour][component];
}

// ---- DmxInEditor ------------------------------------------------------------

DmxInEditor::DmxInEditor(Owner owner, QWidget *parent) : QGroupBox(tr("DMX-IN"), parent)
{
    build(owner);
}

void DmxInEditor::build(Owner owner)
{
    const Columns &columns = owner == Owner::Control ? CONTROL_COLUMNS : BACKGROUND_COLUMNS;
    m_firstInput = columns.first;
    m_grid = new QGridLayout(this);
    m_grid->setColumnStretch(columns.stretch, 1);
    const int hexWidth = fontMetrics().horizontalAdvance(QStringLiteral("0x00 00 00"));
    int row = 0;
    // Rows are made top to bottom and left to right, which is the tab order.
    auto startRow = [&](EditorRow &r, const QString &label, bool hex) {
        r.label = new QLabel(label, this);
        m_grid->addWidget(r.label, row, LABEL_COLUMN);
        if (!hex)
            return;
        r.hex = new QLabel(QStringLiteral("0x"), this);
        // The companion stands close to its inputs.
        r.hex->setAlignment((columns.hex < columns.first ? Qt::AlignRight : Qt::AlignLeft) |
                            Qt::AlignVCenter);
        r.hex->setMinimumWidth(hexWidth);
        m_grid->addWidget(r.hex, row, columns.hex);
    };
    auto numberRow = [&](EditorRow &r, QSpinBox *spin, const QString &label) {
        startRow(r, label, true);
        r.fields = {spin};
        m_grid->addWidget(spin, row++, columns.single);
    };
    auto listRow = [&](EditorRow &r, QComboBox *list, const QString &label, bool hex) {
        startRow(r, label, hex);
        r.fields = {list};
        m_grid->addWidget(list, row++, columns.first, 1, 3);
    };

    if (owner == Owner::Control) {
        m_learn = new QPushButton(tr("Learn"), this);
        m_learn->setObjectName(QStringLiteral("inLearn"));
        m_learn->setCheckable(true);
        m_learn->setToolTip(tr("takes the next DMX channel that changes, the next MIDI "
                               "message or the next OSC address, as the input of this control"));
        m_grid->addWidget(m_learn, row, columns.hex);
    }
    m_protocol = new QComboBox(this);
    m_protocol->setObjectName(QStringLiteral("inProtocol"));
    for (quint8 p = PT_NONE; p < PT_COUNT; ++p) {
        if (p == PT_NONE || isInputProtocol(p))
            m_protocol->addItem(protocolTypeLabel(p), p);
    }
    listRow(m_protocolRow, m_protocol, tr("Type :"), false);

    const char *valueNames[3] = {"inValue1", "inValue2", "inValue3"};
    for (int n = 0; n < 3; ++n) {
        m_value[n] = newSpinBox(this, valueNames[n], 0, 255);
        numberRow(m_valueRow[n], m_value[n], tr("Value %1 :").arg(n + 1));
    }
    m_channel = newSpinBox(this, "inChannel", 1, 512);
    numberRow(m_channelRow, m_channel, tr("DMX Channel :"));
    m_note = newSpinBox(this, "inNote", 0, 127);
    numberRow(m_noteRow, m_note, tr("MIDI Note :"));
    m_universe = newSpinBox(this, "inUniverse", 1, DMX_UNIVERSE_MAX + 1);
    numberRow(m_universeRow, m_universe, tr("DMX Universe :"));
    m_midiType = new QComboBox(this);
    m_midiType->setObjectName(QStringLiteral("inMidiType"));
    for (quint8 status : MIDI_TYPES)
        m_midiType->addItem(midiTypeLabel(status), status);
    listRow(m_midiTypeRow, m_midiType, tr("MIDI Type :"), true);
    m_oscAddress = new QLineEdit(this);
    m_oscAddress->setObjectName(QStringLiteral("inOscAddress"));
    m_oscAddress->setToolTip(
        tr("the OSC address this input listens to: starts with '/', for example /fader/1; no "
           "spaces and none of # , ? * [ ] { }. A float 0 to 1 or an integer 0 to 255 sets "
           "the level"));
    startRow(m_oscAddressRow, tr("OSC Address :"), false);
    m_oscAddressRow.label->setBuddy(m_oscAddress);
    m_oscAddressRow.fields = {m_oscAddress};
    // An address is often longer than three number boxes: in the control
    // editor it takes the stretch left of them too; in the background's it
    // lines up with the colour boxes.
    if (columns.stretch < columns.first)
        m_grid->addWidget(m_oscAddress, row++, columns.stretch, 1, columns.count - columns.stretch);
    else
        m_grid->addWidget(m_oscAddress, row++, columns.first, 1, 3);

    const char *componentNames[3] = {"Red", "Green", "Blue"};
    const QString componentTips[3] = {tr("the red of the color shown at value %1, 0 to 255"),
                                      tr("the green of the color shown at value %1, 0 to 255"),
                                      tr("the blue of the color shown at value %1, 0 to 255")};
    for (int c = 0; c < 3; ++c) {
        EditorRow &r = m_colourRow[c];
        startRow(r, tr("Color %1 - Red / Green / Blue :").arg(c + 1), true);
        for (int k = 0; k < 3; ++k) {
            const QByteArray name =
                QByteArray("inColor") + componentNames[k] + QByteArray::number(c + 1);
            m_colour[c][k] = newSpinBox(this, name.constData(), 0, 255);
            m_colour[c][k]->setToolTip(componentTips[k].arg(c + 1));
            m_grid->addWidget(m_colour[c][k], row, columns.first + k);
            r.fields.append(m_colour[c][k]);
        }
        ++row;
    }
    m_fade = new QCheckBox(owner == Owner::Control ? tr("Mix Colors between DMX Values")
                                                   : tr("Mix Colors Between DMX Values"),
                           this);
    m_fade->setObjectName(QStringLiteral("inFade"));
    m_fade->setToolTip(tr("between two values the color is mixed from theirs; off: it "
                          "changes at the value"));
    m_grid->addWidget(m_fade, row++, LABEL_COLUMN, 1, columns.count);

    if (m_learn) {
        connect(m_learn, &QPushButton::clicked, this, [this] {
            // The owner decides whether learning starts; the button follows it.
            m_learn->setChecked(!m_learn->isChecked());
            emit learnClicked();
        });
    }
    connect(m_protocol, &QComboBox::currentIndexChanged, this, &DmxInEditor::chooseFromLists);
    connect(m_midiType, &QComboBox::currentIndexChanged, this, &DmxInEditor::chooseFromLists);
    for (int n = 0; n < 3; ++n) {
        connect(m_value[n], &QSpinBox::valueChanged, this, [this, n](int value) {
            m_edit.setValue(n, value);
            showHexTexts();
        });
    }
    connect(m_channel, &QSpinBox::valueChanged, this, &DmxInEditor::changedChannel);
    connect(m_note, &QSpinBox::valueChanged, this, &DmxInEditor::changedNote);
    connect(m_universe, &QSpinBox::valueChanged, this, [this](int shown) {
        m_edit.setShownUniverse(shown);
        showHexTexts();
    });
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k) {
            connect(m_colour[c][k], &QSpinBox::valueChanged, this, [this, c, k](int value) {
                m_edit.setColour(c, k, value);
                showHexTexts();
            });
        }
    }
    connect(m_fade, &QCheckBox::toggled, this, [this](bool on) { m_edit.setFade(on); });
    connect(m_oscAddress, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_edit.setOscAddress(text); });
}

void DmxInEditor::setSettings(SettingDmxInStruct *input, std::optional<quint8> controlType,
                              bool showHex)
{
    m_edit.bind(input, controlType);
    m_showHex = showHex;
    updateDisplay();
}

void DmxInEditor::setControlType(quint8 controlType)
{
    m_edit.setControlType(controlType);
    updateDisplay();
}

void DmxInEditor::updateDisplay()
{
    SettingDmxInStruct *in = m_edit.input();
    if (!in)
        return;
    selectEntry(m_protocol, in->protocol_type_in);
    selectEntry(m_midiType, in->dmx_in_midi_type);
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k)
            showInSpinBox(m_colour[c][k], 0, 255, DmxInEdit::colour(*in, c, k));
    }
    {
        const QSignalBlocker blocker(m_fade);
        m_fade->setChecked(in->dmx_in_color_fade != 0);
    }
    {
        const QSignalBlocker blocker(m_oscAddress);
        m_oscAddress->setText(in->dmx_in_osc_address);
    }
    // A protocol not in the list was shown as None, and is None from now on.
    chooseFromLists();
}

void DmxInEditor::setLearning(bool learning)
{
    if (!m_learn)
        return;
    m_learn->setChecked(learning);
    m_learn->setText(learning ? tr("Learning...") : tr("Learn"));
}

void DmxInEditor::setLearnedOscAddress(const QString &address)
{
    m_edit.takeLearnedOscAddress(address);
    updateDisplay();
}

int DmxInEditor::labelWidth() const
{
    int width = 0;
    for (const EditorRow *r : {&m_protocolRow, &m_valueRow[0], &m_valueRow[1], &m_valueRow[2],
                               &m_channelRow, &m_noteRow, &m_universeRow, &m_midiTypeRow,
                               &m_oscAddressRow, &m_colourRow[0], &m_colourRow[1], &m_colourRow[2]})
        width = qMax(width, r->label->sizeHint().width());
    return width;
}

void DmxInEditor::alignColumns(int labelWidth, int inputWidth)
{
    m_grid->setColumnMinimumWidth(LABEL_COLUMN, labelWidth);
    for (int k = 0; k < 3; ++k)
        m_grid->setColumnMinimumWidth(m_firstInput + k, inputWidth);
}

void DmxInEditor::chooseFromLists()
{
    if (!m_edit.input())
        return;
    m_edit.choose(entryValue(m_protocol, m_protocol->currentIndex()),
                  entryValue(m_midiType, m_midiType->currentIndex()));
    const quint8 protocol = m_edit.input()->protocol_type_in;

    const ValueLabels labels = m_edit.valueLabels();
    const std::optional<QString> valueLabels[3] = {labels.value1, labels.value2, labels.value3};
    for (int n = 0; n < 3; ++n) {
        if (valueLabels[n])
            m_valueRow[n].label->setText(*valueLabels[n]);
    }
    m_universeRow.label->setText(universeLabel(protocol));
    showNumbers();

    const DmxInRows rows = m_edit.rows();
    m_valueRow[0].show(rows.value1, m_showHex);
    m_valueRow[1].show(rows.value2, m_showHex);
    m_valueRow[2].show(rows.value3, m_showHex);
    m_channelRow.show(rows.channel, m_showHex);
    m_noteRow.show(rows.note, m_showHex);
    m_universeRow.show(rows.universe, m_showHex);
    m_midiTypeRow.show(rows.midiType, m_showHex);
    m_oscAddressRow.show(rows.osc);
    m_colourRow[0].show(rows.color1, m_showHex);
    m_colourRow[1].show(rows.color2, m_showHex);
    m_colourRow[2].show(rows.color3, m_showHex);
    m_fade->setVisible(rows.fade);

    const quint8 midiType = m_edit.input()->dmx_in_midi_type;
    setAddressTips(
        {m_protocol, m_value[0], m_value[1], m_value[2], m_channel, m_note, m_universe, m_midiType},
        true, protocol, midiType);
}

void DmxInEditor::showNumbers()
{
    const SettingDmxInStruct &in = *m_edit.input();
    // Shown within this protocol's ranges; the input keeps what was typed.
    showAddress({{m_value[0], m_value[1], m_value[2]}, m_channel, m_note, m_universe},
                in.protocol_type_in, {in.dmx_in_value_1, in.dmx_in_value_2, in.dmx_in_value_3},
                in.dmx_in_channel, in.dmx_in_universe);
    showHexTexts();
}

void DmxInEditor::showHexTexts()
{
    for (int n = 0; n < 3; ++n)
        m_valueRow[n].hex->setText(hexText(m_value[n]->value()));
    m_channelRow.hex->setText(hexText(m_channel->value()));
    m_noteRow.hex->setText(hexText(m_note->value()));
    m_universeRow.hex->setText(hexText(m_universe->value()));
    m_midiTypeRow.hex->setText(hexText(entryValue(m_midiType, m_midiType->currentIndex())));
    for (int c = 0; c < 3; ++c)
        m_colourRow[c].hex->setText(hexColorText(quint8(m_colour[c][0]->value()),
                                                 quint8(m_colour[c][1]->value()),
                                                 quint8(m_colour[c][2]->value())));
}

void DmxInEditor::changedChannel(int shown)
{
    m_edit.setShownChannel(shown);
    // The note shows the same field.
    showInSpinBox(m_note, 0, 127, qMin(shown - 1, 127));
    showHexTexts();
}

void DmxInEditor::changedNote(int note)
{
    m_edit.setNote(note);
    showInSpinBox(m_channel, 1, 512, note + 1);
    showHexTexts();
}
