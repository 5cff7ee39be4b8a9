#include "dialogs/settingsdmxoutwidget.h"

#include "dialogs/settingsrules.h"
#include "model/typetables.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

const int LINE_EDITOR_MAX_HEIGHT = 20;
const quint8 MIDI_TYPES[] = {
    MT_NONE,           MT_NOTE_OFF,       MT_NOTE_ON,          MT_POLY_KEY_PRESSURE,
    MT_CONTROL_CHANGE, MT_PROGRAM_CHANGE, MT_CHANNEL_PRESSURE, MT_PITCH_WHEEL_CHANGE,
    MT_SYSTEM_MESSAGE};

// Grid columns: label, stretch, hexadecimal companion, input.
enum Column { LabelColumn, StretchColumn, HexColumn, InputColumn, ColumnCount };

QLabel *newHexLabel(QWidget *parent)
{
    auto *hex = new QLabel(QStringLiteral("0x"), parent);
    hex->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return hex;
}

quint8 entryValue(const QComboBox *list, int index)
{
    return index < 0 ? 0 : quint8(list->itemData(index).toUInt());
}

} // namespace

SettingsDmxOutWidget::SettingsDmxOutWidget(QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_group = new QGroupBox(this);
    outer->addWidget(m_group);
    auto *grid = new QGridLayout(m_group);
    grid->setColumnStretch(StretchColumn, 1);
    int row = 0;

    auto numberRow = [&](EditorRow &r, QSpinBox *spin, const QString &label) {
        r.label = new QLabel(label, m_group);
        r.hex = newHexLabel(m_group);
        r.fields = {spin};
        grid->addWidget(r.label, row, LabelColumn);
        grid->addWidget(r.hex, row, HexColumn);
        grid->addWidget(spin, row, InputColumn);
        ++row;
    };
    auto textRow = [&](EditorRow &r, EditorRow &hint, QTextEdit *edit, const QString &label,
                       const QString &hintText) {
        r.label = new QLabel(label, m_group);
        r.fields = {edit};
        grid->addWidget(r.label, row, LabelColumn);
        grid->addWidget(edit, row, StretchColumn, 1, ColumnCount - StretchColumn);
        ++row;
        // Not wrapped: a wrapped label in a grid can get less height than
        // it needs and lose its first line.
        hint.label = new QLabel(hintText, m_group);
        grid->addWidget(hint.label, row, LabelColumn, 1, ColumnCount);
        ++row;
    };

    // Made in the order of the row, left to right, which is the tab order.
    m_protocolRow.label = new QLabel(tr("Type :"), m_group);
    m_learn = new QPushButton(tr("Learn"), m_group);
    m_learn->setObjectName(QStringLiteral("learn"));
    m_learn->setCheckable(true);
    m_learn->setToolTip(tr("takes the next message from the MIDI input device as the address "
                           "of this output"));
    m_protocol = new QComboBox(m_group);
    m_protocol->setObjectName(QStringLiteral("protocol"));
    for (quint8 p = PT_NONE; p < PT_COUNT; ++p)
        m_protocol->addItem(protocolTypeLabel(p), p);
    m_protocolRow.fields = {m_protocol};
    grid->addWidget(m_protocolRow.label, row, LabelColumn);
    grid->addWidget(m_learn, row, HexColumn);
    grid->addWidget(m_protocol, row, InputColumn);
    ++row;

    const char *valueNames[3] = {"value1", "value2", "value3"};
    for (int n = 0; n < 3; ++n) {
        m_value[n] = newSpinBox(m_group, valueNames[n], 0, 255);
        numberRow(m_valueRow[n], m_value[n], tr("Value %1 :").arg(n + 1));
    }
    m_channel = newSpinBox(m_group, "channel", 1, 512);
    numberRow(m_channelRow, m_channel, tr("DMX Channel :"));
    m_note = newSpinBox(m_group, "note", 0, 127);
    numberRow(m_noteRow, m_note, tr("MIDI Note :"));
    m_universe = newSpinBox(m_group, "universe", 1, DMX_UNIVERSE_MAX + 1);
    numberRow(m_universeRow, m_universe, tr("Universe :"));

    m_midiTypeRow.label = new QLabel(tr("MIDI Type :"), m_group);
    m_midiTypeRow.hex = newHexLabel(m_group);
    m_midiType = new QComboBox(m_group);
    m_midiType->setObjectName(QStringLiteral("midiType"));
    for (quint8 status : MIDI_TYPES)
        m_midiType->addItem(midiTypeLabel(status), status);
    m_midiTypeRow.fields = {m_midiType};
    grid->addWidget(m_midiTypeRow.label, row, LabelColumn);
    grid->addWidget(m_midiTypeRow.hex, row, HexColumn);
    grid->addWidget(m_midiType, row, InputColumn);
    ++row;

    // OSC: the address, the target (empty host, port 0: the show's default)
    // and the argument's kind.
    auto oscRow = [&](EditorRow &r, QWidget *field, const QString &label, bool wide) {
        r.label = new QLabel(label, m_group);
        r.label->setBuddy(field);
        r.fields = {field};
        grid->addWidget(r.label, row, LabelColumn);
        if (wide)
            grid->addWidget(field, row, StretchColumn, 1, ColumnCount - StretchColumn);
        else
            grid->addWidget(field, row, InputColumn);
        ++row;
    };
    m_oscAddress = new QLineEdit(m_group);
    m_oscAddress->setObjectName(QStringLiteral("oscAddress"));
    m_oscAddress->setToolTip(tr("the OSC address the value is sent to: starts with '/', for "
                                "example /fader/1; no spaces and none of # , ? * [ ] { }"));
    oscRow(m_oscAddressRow, m_oscAddress, tr("OSC Address :"), true);
    m_oscHost = new QLineEdit(m_group);
    m_oscHost->setObjectName(QStringLiteral("oscHost"));
    oscRow(m_oscHostRow, m_oscHost, tr("Host :"), true);
    m_oscPort = newSpinBox(m_group, "oscPort", 0, 65535);
    m_oscPort->setSpecialValueText(tr("Default"));
    oscRow(m_oscPortRow, m_oscPort, tr("Port :"), false);
    m_oscArgument = new QComboBox(m_group);
    m_oscArgument->setObjectName(QStringLiteral("oscArgument"));
    m_oscArgument->addItem(tr("Float 0–1"), OSC_FLOAT);
    m_oscArgument->addItem(tr("Integer (DMX value)"), OSC_INT);
    m_oscArgument->setToolTip(tr("Float 0–1: the value as a number from 0 to 1 over the range "
                                 "from value 1 to value 2; Integer: the DMX value 0 to 255 as it "
                                 "is"));
    oscRow(m_oscArgumentRow, m_oscArgument, tr("Argument :"), false);
    setOscDefaults(PreferencesStruct().osc_default_host, PreferencesStruct().osc_default_port);

    m_http = newTextEdit(m_group, "http", LINE_EDITOR_MAX_HEIGHT);
    m_http->setToolTip(tr("specify the HTTP file that the HTTP server should call"));
    textRow(m_httpRow, m_httpHintRow, m_http, tr("HTTP link :"),
            tr("If you want to add the DMX value to the HTTP link, write %1."));
    m_command = newTextEdit(m_group, "command", LINE_EDITOR_MAX_HEIGHT);
    m_command->setToolTip(tr("specify the command that the system should call"));
    textRow(m_commandRow, m_commandHintRow, m_command, tr("Command :"),
            tr("If you want to add the DMX value to the command call, write %1."));

    connect(m_protocol, &QComboBox::currentIndexChanged, this,
            &SettingsDmxOutWidget::ChangedDmxOutType);
    connect(m_value[0], &QSpinBox::valueChanged, this, &SettingsDmxOutWidget::ChangedDmxOutValue1);
    connect(m_value[1], &QSpinBox::valueChanged, this, &SettingsDmxOutWidget::ChangedDmxOutValue2);
    connect(m_value[2], &QSpinBox::valueChanged, this, &SettingsDmxOutWidget::ChangedDmxOutValue3);
    connect(m_channel, &QSpinBox::valueChanged, this, &SettingsDmxOutWidget::ChangedDmxOutChannel);
    connect(m_note, &QSpinBox::valueChanged, this, &SettingsDmxOutWidget::ChangedDmxOutMidiNote);
    connect(m_universe, &QSpinBox::valueChanged, this,
            &SettingsDmxOutWidget::ChangedDmxOutUniverse);
    connect(m_midiType, &QComboBox::currentIndexChanged, this,
            &SettingsDmxOutWidget::ChangedDmxOutMidiType);
    connect(m_http, &QTextEdit::textChanged, this, &SettingsDmxOutWidget::ChangedFileHttp);
    connect(m_command, &QTextEdit::textChanged, this, &SettingsDmxOutWidget::ChangedFileCommand);
    connect(m_oscAddress, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_description)
            m_description->osc_address = text;
    });
    connect(m_oscHost, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_description)
            m_description->osc_host = text.trimmed();
    });
    connect(m_oscPort, &QSpinBox::valueChanged, this, [this](int port) {
        if (m_description)
            m_description->osc_port = quint16(port);
    });
    connect(m_oscArgument, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_description)
            m_description->osc_argument = entryValue(m_oscArgument, index);
    });
    connect(m_learn, &QPushButton::clicked, this, [this] {
        // The owner decides whether learning starts; the button follows it.
        m_learn->setChecked(!m_learn->isChecked());
        emit learnClicked();
    });

    for (const EditorRow *r : {&m_valueRow[0], &m_valueRow[1], &m_valueRow[2], &m_channelRow,
                               &m_noteRow, &m_universeRow, &m_midiTypeRow})
        r->hex->setVisible(false);
}

void SettingsDmxOutWidget::setSettings(SettingDmxStruct *description, quint8 controlType,
                                       bool showHex, QString title)
{
    m_description = description;
    m_controlType = controlType;
    m_showHex = showHex;
    if (!title.isEmpty())
        m_group->setTitle(title);
    updateDisplay();
}

void SettingsDmxOutWidget::setControlType(quint8 controlType)
{
    m_controlType = controlType;
    updateDisplay();
}

void SettingsDmxOutWidget::updateDisplay()
{
    if (!m_description)
        return;
    const int protocolIdx = m_protocol->findData(m_description->protocol_type);
    int midiIdx = m_midiType->findData(m_description->dmx_midi_type);
    if (midiIdx < 0)
        midiIdx = m_midiType->findData(MT_NONE);
    {
        const QSignalBlocker protocolBlocker(m_protocol);
        const QSignalBlocker midiBlocker(m_midiType);
        m_protocol->setCurrentIndex(protocolIdx < 0 ? 0 : protocolIdx);
        m_midiType->setCurrentIndex(midiIdx);
    }
    showInTextEdit(m_http, m_description->dmx_http_filename);
    showInTextEdit(m_command, m_description->dmx_command_filename);
    {
        const QSignalBlocker b1(m_oscAddress), b2(m_oscHost), b3(m_oscArgument);
        m_oscAddress->setText(m_description->osc_address);
        m_oscHost->setText(m_description->osc_host);
        m_oscArgument->setCurrentIndex(
            qMax(0, m_oscArgument->findData(m_description->osc_argument)));
    }
    showInSpinBox(m_oscPort, 0, 65535, m_description->osc_port);
    ChangedType(protocolIdx, midiIdx);
}

void SettingsDmxOutWidget::setOscDefaults(const QString &host, quint16 port)
{
    m_oscHost->setPlaceholderText(tr("Default: %1").arg(host));
    m_oscHost->setToolTip(tr("the computer the messages go to, by name or IP address; empty: "
                             "the show's default host (%1)")
                              .arg(host));
    m_oscPort->setToolTip(tr("the UDP port the messages go to, 1 to 65535; Default: the show's "
                             "default port (%1)")
                              .arg(port));
}

void SettingsDmxOutWidget::setLearning(bool learning)
{
    m_learn->setChecked(learning);
    m_learn->setText(learning ? tr("Learning...") : tr("Learn"));
}

void SettingsDmxOutWidget::takeLearnedMidi(quint16 midiChannel, quint16 note, quint8 midiType)
{
    if (!m_description)
        return;
    m_description->protocol_type = PT_MIDI;
    m_description->dmx_universe = midiChannel;
    m_description->dmx_channel = note;
    m_description->dmx_midi_type = midiType;
    updateDisplay();
}

void SettingsDmxOutWidget::ChangedType(int DmxOutTypeIdx, int DmxOutMidiTypeIdx)
{
    if (!m_description)
        return;
    quint8 protocol = entryValue(m_protocol, DmxOutTypeIdx);
    if (protocol >= PT_COUNT)
        protocol = PT_NONE;
    const quint8 midiType = entryValue(m_midiType, DmxOutMidiTypeIdx);

    const ValueLabels labels = dmxOutValueLabels(m_controlType);
    const std::optional<QString> valueLabels[3] = {labels.value1, labels.value2, labels.value3};
    for (int n = 0; n < 3; ++n) {
        if (valueLabels[n])
            m_valueRow[n].label->setText(*valueLabels[n]);
    }
    m_universeRow.label->setText(universeLabel(protocol));

    m_description->protocol_type = protocol;
    m_description->dmx_midi_type = midiType;
    showNumbers();

    const DmxOutRows rows = dmxOutRows(m_controlType, protocol);
    m_group->setVisible(rows.group);
    m_valueRow[0].show(rows.value1, m_showHex);
    m_valueRow[1].show(rows.value2, m_showHex);
    m_valueRow[2].show(rows.value3, m_showHex);
    m_channelRow.show(rows.channel, m_showHex);
    m_noteRow.show(rows.note, m_showHex);
    m_universeRow.show(rows.universe, m_showHex);
    m_midiTypeRow.show(rows.midiType, m_showHex);
    m_httpRow.show(rows.http);
    m_httpHintRow.show(rows.http);
    m_commandRow.show(rows.command);
    m_commandHintRow.show(rows.command);
    for (const EditorRow *r : {&m_oscAddressRow, &m_oscHostRow, &m_oscPortRow, &m_oscArgumentRow})
        r->show(rows.osc);

    setAddressTips(
        {m_protocol, m_value[0], m_value[1], m_value[2], m_channel, m_note, m_universe, m_midiType},
        false, protocol, midiType);
}

void SettingsDmxOutWidget::ChangedDmxOutType(int DmxTypeIdx)
{
    ChangedType(DmxTypeIdx, m_midiType->currentIndex());
}

void SettingsDmxOutWidget::ChangedDmxOutValue1()
{
    if (m_description)
        m_description->dmx_value_1 = quint8(m_value[0]->value());
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutValue2()
{
    if (m_description)
        m_description->dmx_value_2 = quint8(m_value[1]->value());
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutValue3()
{
    if (m_description)
        m_description->dmx_value_3 = quint8(m_value[2]->value());
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutChannel()
{
    const int shown = m_channel->value();
    if (!m_description || shown < 1)
        return;
    m_description->dmx_channel = quint16(shown - 1);
    // The note shows the same field.
    showInSpinBox(m_note, 0, 127, qMin(shown - 1, 127));
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutMidiNote()
{
    if (!m_description)
        return;
    m_description->dmx_channel = quint16(m_note->value());
    showInSpinBox(m_channel, 1, 512, m_note->value() + 1);
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutUniverse()
{
    const int shown = m_universe->value();
    if (!m_description || shown < 1)
        return;
    m_description->dmx_universe = quint16(shown - 1);
    showHexTexts();
}

void SettingsDmxOutWidget::ChangedDmxOutMidiType(int MidiTypeIdx)
{
    ChangedType(m_protocol->currentIndex(), MidiTypeIdx);
}

void SettingsDmxOutWidget::ChangedFileHttp()
{
    if (m_description)
        m_description->dmx_http_filename = m_http->toPlainText();
}

void SettingsDmxOutWidget::ChangedFileCommand()
{
    if (m_description)
        m_description->dmx_command_filename = m_command->toPlainText();
}

void SettingsDmxOutWidget::showNumbers()
{
    const SettingDmxStruct &d = *m_description;
    showAddress({{m_value[0], m_value[1], m_value[2]}, m_channel, m_note, m_universe},
                d.protocol_type, {d.dmx_value_1, d.dmx_value_2, d.dmx_value_3}, d.dmx_channel,
                d.dmx_universe);
    showHexTexts();
}

void SettingsDmxOutWidget::showHexTexts()
{
    for (int n = 0; n < 3; ++n)
        m_valueRow[n].hex->setText(hexText(m_value[n]->value()));
    m_channelRow.hex->setText(hexText(m_channel->value()));
    m_noteRow.hex->setText(hexText(m_note->value()));
    m_universeRow.hex->setText(hexText(m_universe->value()));
    m_midiTypeRow.hex->setText(hexText(entryValue(m_midiType, m_midiType->currentIndex())));
}
