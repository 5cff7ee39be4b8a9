#include "model/batchchange.h"

#include "model/oscvalue.h"
#include "model/showdocument.h"
#include "model/typetables.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace
{

constexpr qint64 POSITION_MAX = 4294967295LL;
constexpr qint64 DMX_CHANNEL_MAX = 511;
constexpr qint64 MIDI_CHANNEL_MAX = 15;
constexpr qint64 MIDI_DATA_MAX = 127;
constexpr qint64 BYTE_MAX = 255;
// Larger than every column's range, small enough to add without overflow.
constexpr qint64 TYPED_NUMBER_MAX = qint64(1) << 40;

// The refusals' translation context.
struct BatchChange {
    Q_DECLARE_TR_FUNCTIONS(BatchChange)
};

bool isDmx(quint8 protocol)
{
    return protocol == PT_ARTNET || protocol == PT_ACN;
}

const QRegularExpression &digitRun()
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    return digits;
}

qint64 digitsValue(QStringView digits)
{
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    return !ok || value > quint64(TYPED_NUMBER_MAX) ? TYPED_NUMBER_MAX : qint64(value);
}

// The typed number: the whole text, else its first run of digits.
bool typedNumber(const QString &text, qint64 &number)
{
    const QRegularExpressionMatch match = digitRun().match(text);
    if (!match.hasMatch())
        return false;
    number = digitsValue(match.capturedView());
    return true;
}

SettingDmxStruct *output(SettingStruct &r, int type)
{
    if (type >= column::PROTOCOL && type <= column::VALUE_3)
        return &r.dmx_out;
    if (type >= column::PROTOCOL_ADV && type <= column::VALUE_2_ADV)
        return &r.dmx_out_advanced;
    return nullptr;
}

const SettingDmxStruct *output(const SettingStruct &r, int type)
{
    return output(const_cast<SettingStruct &>(r), type);
}

// Main and second output share their column layout from the protocol on.
int outputField(int type)
{
    return type >= column::PROTOCOL_ADV ? type - column::PROTOCOL_ADV + column::PROTOCOL : type;
}

// The output an OSC column of an output belongs to, and its field as the
// main output's column; null for other columns.
SettingDmxStruct *oscOutput(SettingStruct &r, int type)
{
    if (type >= column::OSC_ADDRESS && type <= column::OSC_ARGUMENT)
        return &r.dmx_out;
    if (type >= column::OSC_ADDRESS_ADV && type <= column::OSC_ARGUMENT_ADV)
        return &r.dmx_out_advanced;
    return nullptr;
}

int oscField(int type)
{
    return type >= column::OSC_ADDRESS_ADV && type <= column::OSC_ARGUMENT_ADV
               ? type - column::OSC_ADDRESS_ADV + column::OSC_ADDRESS
               : type;
}

const QString &oscFloatWord()
{
    static const QString word = QStringLiteral("float");
    return word;
}

const QString &oscIntWord()
{
    static const QString word = QStringLiteral("int");
    return word;
}

void setNumber(SettingStruct &r, int type, qint64 v)
{
    if (SettingDmxStruct *osc = oscOutput(r, type)) {
        osc->osc_port = quint16(v);
        return;
    }
    if (SettingDmxStruct *out = output(r, type)) {
        switch (outputField(type)) {
        case column::UNIVERSE:
            out->dmx_universe = quint16(v);
            return;
        case column::CHANNEL:
        case column::NOTE:
            out->dmx_channel = quint16(v);
            return;
        case column::VALUE_1:
            out->dmx_value_1 = quint8(v);
            return;
        case column::VALUE_2:
            out->dmx_value_2 = quint8(v);
            return;
        case column::VALUE_3:
            out->dmx_value_3 = quint8(v);
            return;
        default:
            return;
        }
    }
    SettingDmxInStruct &in = r.dmx_in;
    switch (type) {
    case column::POSITION_X:
        r.position_x = quint32(v);
        return;
    case column::POSITION_Y:
        r.position_y = quint32(v);
        return;
    case column::SIZE_X:
        r.size_x = quint32(v);
        return;
    case column::SIZE_Y:
        r.size_y = quint32(v);
        return;
    case column::UNIVERSE_IN:
        in.dmx_in_universe = quint16(v);
        return;
    case column::CHANNEL_IN:
    case column::NOTE_IN:
        in.dmx_in_channel = quint16(v);
        return;
    case column::VALUE_1_IN:
        in.dmx_in_value_1 = quint8(v);
        return;
    case column::VALUE_2_IN:
        in.dmx_in_value_2 = quint8(v);
        return;
    case column::VALUE_3_IN:
        in.dmx_in_value_3 = quint8(v);
        return;
    default:
        return;
    }
}

QString *textField(SettingStruct &r, int type)
{
    switch (type) {
    case column::NAME:
        return &r.name;
    case column::DESCRIPTION:
        return &r.description;
    case column::LINK:
        return &r.dmx_out.dmx_http_filename;
    case column::COMMAND:
        return &r.dmx_out.dmx_command_filename;
    case column::LINK_ADV:
        return &r.dmx_out_advanced.dmx_http_filename;
    case column::COMMAND_ADV:
        return &r.dmx_out_advanced.dmx_command_filename;
    case column::OSC_ADDRESS_IN:
        return &r.dmx_in.dmx_in_osc_address;
    default:
        break;
    }
    SettingDmxStruct *osc = oscOutput(r, type);
    switch (osc ? oscField(type) : -1) {
    case column::OSC_ADDRESS:
        return &osc->osc_address;
    case column::OSC_HOST:
        return &osc->osc_host;
    default:
        return nullptr;
    }
}

struct Rgb {
    quint8 *red, *green, *blue;
};

Rgb colourField(SettingStruct &r, int type)
{
    SettingDmxInStruct &in = r.dmx_in;
    switch (type) {
    case column::COLOR_1_IN:
        return {&in.dmx_in_color_red_1, &in.dmx_in_color_green_1, &in.dmx_in_color_blue_1};
    case column::COLOR_2_IN:
        return {&in.dmx_in_color_red_2, &in.dmx_in_color_green_2, &in.dmx_in_color_blue_2};
    case column::COLOR_3_IN:
        return {&in.dmx_in_color_red_3, &in.dmx_in_color_green_3, &in.dmx_in_color_blue_3};
    default:
        return {&r.color_red, &r.color_green, &r.color_blue};
    }
}

quint8 *protocolField(SettingStruct &r, int type)
{
    switch (type) {
    case column::PROTOCOL:
        return &r.dmx_out.protocol_type;
    case column::PROTOCOL_ADV:
        return &r.dmx_out_advanced.protocol_type;
    case column::PROTOCOL_IN:
        return &r.dmx_in.protocol_type_in;
    default:
        return nullptr;
    }
}

// After a protocol change the numbers of that output or input lie in the
// new protocol's ranges (a MIDI value is at most 127).
void clampNumbers(SettingStruct &r, int protocolColumn)
{
    QList<int> columns;
    if (protocolColumn == column::PROTOCOL_IN)
        columns = {column::UNIVERSE_IN, column::CHANNEL_IN, column::NOTE_IN,
                   column::VALUE_1_IN,  column::VALUE_2_IN, column::VALUE_3_IN};
    else
        for (int t = protocolColumn + 1; t <= protocolColumn + 8; ++t)
            if (t != column::LINK && t != column::COMMAND && t != column::LINK_ADV &&
                t != column::COMMAND_ADV && t <= column::VALUE_2_ADV)
                columns.append(t);
    for (int t : std::as_const(columns)) {
        NumberRange range;
        if (numberRange(r, t, range))
            setNumber(r, t, std::clamp(numberValue(r, t), range.lo, range.hi));
    }
}

QString applyNumber(SettingStruct &r, int type, int action, const QString &text,
                    IncrementState &state)
{
    NumberRange range;
    if (!numberRange(r, type, range))
        return BatchChange::tr("this control's protocol has no such address");
    qint64 n = 0;
    if (!typedNumber(text, n))
        return BatchChange::tr("\"%1\" is not a number").arg(text);
    const qint64 f = numberValue(r, type);
    qint64 t = f;
    switch (action) {
    case BA_SET:
        t = range.oneBased ? n - 1 : n;
        break;
    case BA_ADD:
        t = f + n;
        break;
    case BA_SUB:
        t = f - n;
        break;
    case BA_INC:
        // The first cell keeps its value and starts the count; the others
        // are numbered on from it, wrapping before the top of the range.
        if (state.first)
            state.counter = f;
        else
            t = state.counter % (range.hi - range.lo) + range.lo;
        state.counter += n;
        break;
    default:
        return BatchChange::tr("unknown action");
    }
    setNumber(r, type, std::clamp(t, range.lo, range.hi));
    return {};
}

QString applyText(SettingStruct &r, int type, int action, const QString &text,
                  IncrementState &state)
{
    if (column::isOsc(type) && !oscCellUsed(r, type))
        return BatchChange::tr("this control's protocol is not OSC");
    QString &field = *textField(r, type);
    switch (action) {
    case BA_SET:
        field = text;
        break;
    case BA_ADD:
        field += text;
        break;
    case BA_SUB:
        if (!text.isEmpty())
            field.remove(text, Qt::CaseSensitive);
        break;
    case BA_INC: {
        if (field.isEmpty())
            field = text;
        qint64 step = 0;
        typedNumber(text, step);
        qint64 number = 0;
        if (typedNumber(field, number)) {
            if (state.first)
                state.counter = number;
            field.replace(digitRun(), QString::number(state.counter));
        }
        state.counter += step;
        break;
    }
    default:
        return BatchChange::tr("unknown action");
    }
    const bool address = oscField(type) == column::OSC_ADDRESS || type == column::OSC_ADDRESS_IN;
    if (address && !isValidOscAddress(field))
        return BatchChange::tr("\"%1\" is no OSC address: '/' and parts of letters, digits "
                               "and signs other than space, #, comma and ?*[]{}")
            .arg(field);
    return {};
}

QString applyWord(SettingStruct &r, int type, int action, const QString &text)
{
    if (!oscCellUsed(r, type))
        return BatchChange::tr("this control's protocol is not OSC");
    if (action != BA_SET)
        return BatchChange::tr("an OSC argument can only be set");
    const QString typed = text.trimmed();
    const bool isFloat = typed.compare(oscFloatWord(), Qt::CaseInsensitive) == 0;
    if (!isFloat && typed.compare(oscIntWord(), Qt::CaseInsensitive) != 0)
        return BatchChange::tr("\"%1\" is no OSC argument: type float or int").arg(text);
    oscOutput(r, type)->osc_argument = isFloat ? OSC_FLOAT : OSC_INT;
    return {};
}

QString applyColour(SettingStruct &r, int type, int action, const QString &text,
                    IncrementState &state)
{
    if (text.trimmed().isEmpty())
        return BatchChange::tr("type a colour as red, green, blue (for example 255, 0, 0)");
    // One part is grey, two are red and green-blue, three or more are
    // red, green, blue; an empty part counts as 0.
    const QStringList parts = text.split(QLatin1Char(','));
    int c[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const QString part = parts.at(std::min<int>(i, int(parts.size()) - 1)).trimmed();
        if (part.isEmpty())
            continue;
        bool ok = false;
        c[i] = part.toInt(&ok);
        if (!ok)
            return BatchChange::tr(
                       "\"%1\" is not a colour: type red, green, blue (for example 255, 0, 0)")
                .arg(text);
    }
    const Rgb field = colourField(r, type);
    quint8 *channel[3] = {field.red, field.green, field.blue};
    int *running[3] = {&state.red, &state.green, &state.blue};
    for (int i = 0; i < 3; ++i) {
        const int now = *channel[i];
        int next = now;
        switch (action) {
        case BA_SET:
            next = c[i];
            break;
        case BA_ADD:
            next = now + c[i];
            break;
        case BA_SUB:
            next = now - c[i];
            break;
        case BA_INC:
            if (state.first)
                *running[i] = now;
            else
                next = *running[i] = ((*running[i] + c[i]) % 256 + 256) % 256;
            break;
        default:
            return BatchChange::tr("unknown action");
        }
        *channel[i] = quint8(std::clamp(next, 0, 255));
    }
    return {};
}

QString applyProtocol(SettingStruct &r, int type, int action, const QString &text)
{
    if (action != BA_SET)
        return BatchChange::tr("a protocol can only be set");
    const int protocol = protocolFromName(text);
    if (protocol < 0)
        return BatchChange::tr(
                   "\"%1\" is no protocol: type None, Art-Net, streaming ACN, MIDI, HTTP, "
                   "Command or OSC")
            .arg(text);
    if (type == column::PROTOCOL_IN && protocol != PT_NONE && !isInputProtocol(quint8(protocol)))
        return BatchChange::tr("an input listens to None, Art-Net, streaming ACN, MIDI or OSC");
    *protocolField(r, type) = quint8(protocol);
    clampNumbers(r, type);
    return {};
}

} // namespace

namespace column
{

Kind kind(int type)
{
    switch (type) {
    case NAME:
    case LINK:
    case COMMAND:
    case LINK_ADV:
    case COMMAND_ADV:
    case DESCRIPTION:
    case OSC_ADDRESS:
    case OSC_HOST:
    case OSC_ADDRESS_ADV:
    case OSC_HOST_ADV:
    case OSC_ADDRESS_IN:
        return TEXT;
    case OSC_ARGUMENT:
    case OSC_ARGUMENT_ADV:
        return WORD;
    case COLOR:
    case COLOR_1_IN:
    case COLOR_2_IN:
    case COLOR_3_IN:
        return COLOUR;
    case PROTOCOL:
    case PROTOCOL_ADV:
    case PROTOCOL_IN:
        return PROTOCOL_NAME;
    case FADE:
        return SWITCH;
    case POSITION_X:
    case POSITION_Y:
    case SIZE_X:
    case SIZE_Y:
    case UNIVERSE:
    case CHANNEL:
    case NOTE:
    case VALUE_1:
    case VALUE_2:
    case VALUE_3:
    case UNIVERSE_ADV:
    case CHANNEL_ADV:
    case NOTE_ADV:
    case VALUE_1_ADV:
    case VALUE_2_ADV:
    case UNIVERSE_IN:
    case CHANNEL_IN:
    case NOTE_IN:
    case VALUE_1_IN:
    case VALUE_2_IN:
    case VALUE_3_IN:
    case OSC_PORT:
    case OSC_PORT_ADV:
        return NUMBER;
    default:
        return NONE;
    }
}

int typeAt(int position)
{
    if (position < 0 || position >= COUNT)
        return -1;
    return position < 26 ? position : position + 1;
}

int positionOf(int type)
{
    if (type < 0 || type == 26 || type > LAST)
        return -1;
    return type < 26 ? type : type - 1;
}

bool isOsc(int type)
{
    return type >= OSC_ADDRESS && type <= OSC_ADDRESS_IN;
}

} // namespace column

bool numberRange(const SettingStruct &r, int type, NumberRange &range)
{
    auto set = [&range](qint64 hi, bool oneBased) {
        range = {0, hi, oneBased};
        return true;
    };
    if (type >= column::POSITION_X && type <= column::SIZE_Y)
        return set(POSITION_MAX, false);
    if (oscField(type) == column::OSC_PORT)
        return oscCellUsed(r, type) && set(65535, false);
    quint8 protocol = 0;
    int field = type;
    if (const SettingDmxStruct *out = output(r, type)) {
        protocol = out->protocol_type;
        field = outputField(type);
    } else if (type >= column::UNIVERSE_IN && type <= column::VALUE_3_IN) {
        protocol = r.dmx_in.protocol_type_in;
        field = type == column::UNIVERSE_IN  ? column::UNIVERSE
                : type == column::CHANNEL_IN ? column::CHANNEL
                : type == column::NOTE_IN    ? column::NOTE
                : type == column::VALUE_1_IN ? column::VALUE_1
                : type == column::VALUE_2_IN ? column::VALUE_2
                : type == column::VALUE_3_IN ? column::VALUE_3
                                             : -1;
    } else {
        return false;
    }
    const bool midi = protocol == PT_MIDI;
    switch (field) {
    case column::UNIVERSE:
        if (midi)
            return set(MIDI_CHANNEL_MAX, true);
        return isDmx(protocol) && set(qint64(DMX_UNIVERSE_MAX), true);
    case column::CHANNEL:
        return isDmx(protocol) && set(DMX_CHANNEL_MAX, true);
    case column::NOTE:
        return midi && set(MIDI_DATA_MAX, false);
    case column::VALUE_1:
    case column::VALUE_2:
    case column::VALUE_3:
        return set(midi ? MIDI_DATA_MAX : BYTE_MAX, false);
    default:
        return false;
    }
}

qint64 numberValue(const SettingStruct &r, int type)
{
    if (oscField(type) == column::OSC_PORT)
        return oscOutput(const_cast<SettingStruct &>(r), type)->osc_port;
    if (const SettingDmxStruct *out = output(r, type)) {
        switch (outputField(type)) {
        case column::UNIVERSE:
            return out->dmx_universe;
        case column::CHANNEL:
        case column::NOTE:
            return out->dmx_channel;
        case column::VALUE_1:
            return out->dmx_value_1;
        case column::VALUE_2:
            return out->dmx_value_2;
        case column::VALUE_3:
            return out->dmx_value_3;
        default:
            return 0;
        }
    }
    const SettingDmxInStruct &in = r.dmx_in;
    switch (type) {
    case column::POSITION_X:
        return r.position_x;
    case column::POSITION_Y:
        return r.position_y;
    case column::SIZE_X:
        return r.size_x;
    case column::SIZE_Y:
        return r.size_y;
    case column::UNIVERSE_IN:
        return in.dmx_in_universe;
    case column::CHANNEL_IN:
    case column::NOTE_IN:
        return in.dmx_in_channel;
    case column::VALUE_1_IN:
        return in.dmx_in_value_1;
    case column::VALUE_2_IN:
        return in.dmx_in_value_2;
    case column::VALUE_3_IN:
        return in.dmx_in_value_3;
    default:
        return 0;
    }
}

int protocolFromName(const QString &text)
{
    static const struct {
        const char *name;
        int protocol;
    } names[] = {
        {"none", PT_NONE},         {"-", PT_NONE},
        {"art-net", PT_ARTNET},    {"artnet", PT_ARTNET},
        {"streaming acn", PT_ACN}, {"sacn", PT_ACN},
        {"e1.31", PT_ACN},         {"midi", PT_MIDI},
        {"http", PT_HTTP},         {"command", PT_COMMAND},
        {"osc", PT_OSC},
    };
    const QString typed = text.trimmed();
    for (const auto &entry : names)
        if (typed.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.protocol;
    // The names the overview shows, translated.
    for (int protocol = PT_NONE; protocol < PT_COUNT; ++protocol)
        if (typed.compare(protocolTypeLabel(quint8(protocol)), Qt::CaseInsensitive) == 0)
            return protocol;
    return -1;
}

bool oscCellUsed(const SettingStruct &r, int type)
{
    if (type == column::OSC_ADDRESS_IN)
        return r.dmx_in.protocol_type_in == PT_OSC;
    const SettingDmxStruct *out = oscOutput(const_cast<SettingStruct &>(r), type);
    if (!out || out->protocol_type != PT_OSC)
        return false;
    return out == &r.dmx_out || hasSecondOutput(r.control_type);
}

QString oscCellText(const SettingStruct &r, int type)
{
    if (!oscCellUsed(r, type))
        return {};
    if (type == column::OSC_ADDRESS_IN)
        return r.dmx_in.dmx_in_osc_address;
    const SettingDmxStruct &out = *oscOutput(const_cast<SettingStruct &>(r), type);
    switch (oscField(type)) {
    case column::OSC_ADDRESS:
        return out.osc_address;
    case column::OSC_HOST:
        return out.osc_host;
    case column::OSC_PORT:
        return QString::number(out.osc_port);
    default:
        return out.osc_argument == OSC_INT ? oscIntWord() : oscFloatWord();
    }
}

QString applyBatchChange(SettingStruct &record, int columnType, int action, const QString &text,
                         IncrementState &state)
{
    if (action < BA_SET || action > BA_INC)
        return BatchChange::tr("unknown action");
    SettingStruct changed = record;
    IncrementState next = state;
    QString refusal;
    switch (column::kind(columnType)) {
    case column::NUMBER:
        refusal = applyNumber(changed, columnType, action, text, next);
        break;
    case column::TEXT:
        refusal = applyText(changed, columnType, action, text, next);
        break;
    case column::COLOUR:
        refusal = applyColour(changed, columnType, action, text, next);
        break;
    case column::PROTOCOL_NAME:
        refusal = applyProtocol(changed, columnType, action, text);
        break;
    case column::WORD:
        refusal = applyWord(changed, columnType, action, text);
        break;
    case column::SWITCH: {
        const bool zero = text.trimmed() == QLatin1String("0");
        const bool on = (action == BA_SET || action == BA_INC) ? !zero : zero;
        changed.dmx_in.dmx_in_color_fade = on ? 1 : 0;
        break;
    }
    case column::NONE:
        refusal = BatchChange::tr("this column cannot be changed");
        break;
    }
    if (!refusal.isEmpty())
        return refusal;
    next.first = false;
    record = changed;
    state = next;
    return {};
}

BatchRun::BatchRun(const ShowDocument &document) : m_document(document)
{
    const QList<SettingStruct> &controls = document.controls();
    m_indexOf.reserve(controls.size());
    for (int i = 0; i < controls.size(); ++i)
        m_indexOf.insert(controls.at(i).id, i);
}

QString BatchRun::change(quint32 id, int columnType, int action, const QString &text)
{
    QString refusal;
    const auto work = m_work.constFind(id);
    if (work == m_work.cend() && !m_indexOf.contains(id)) {
        refusal = BatchChange::tr("the control no longer exists");
    } else {
        SettingStruct record = work != m_work.cend()
                                   ? m_records.at(*work)
                                   : m_document.controls().at(m_indexOf.value(id));
        refusal = applyBatchChange(record, columnType, action, text, m_increment[columnType]);
        if (refusal.isEmpty()) {
            if (work != m_work.cend()) {
                m_records[*work] = record;
            } else {
                m_work.insert(id, int(m_records.size()));
                m_records.append(record);
            }
            if (!m_columns.contains(columnType))
                m_columns.append(columnType);
            ++m_changed;
            return {};
        }
    }
    if (m_refused++ == 0)
        m_firstRefusal = refusal;
    return refusal;
}

QList<SettingStruct> BatchRun::records() const
{
    return m_records;
}

QList<quint32> shiftOrder(const QList<quint32> &order, const QSet<quint32> &selected, bool up)
{
    QList<quint32> result = order;
    const int n = int(result.size());
    if (up) {
        for (int i = 1; i < n; ++i)
            if (selected.contains(result.at(i)) && !selected.contains(result.at(i - 1)))
                result.swapItemsAt(i, i - 1);
    } else {
        for (int i = n - 2; i >= 0; --i)
            if (selected.contains(result.at(i)) && !selected.contains(result.at(i + 1)))
                result.swapItemsAt(i, i + 1);
    }
    return result;
}
