#include "dialogs/overviewmodel.h"

#include "dialogs/settingsrules.h"
#include "model/batchchange.h"
#include "model/showcommands.h"
#include "model/showdocument.h"
#include "model/typetables.h"

#include <QColor>
#include <QIcon>
#include <QSet>

#include <algorithm>
#include <climits>

namespace
{

const char *const kTitles[column::LAST + 1] = {
    QT_TRANSLATE_NOOP("OverviewModel", "Del"),
    QT_TRANSLATE_NOOP("OverviewModel", "Edit"),
    QT_TRANSLATE_NOOP("OverviewModel", "Name"),
    QT_TRANSLATE_NOOP("OverviewModel", "Pos. X"),
    QT_TRANSLATE_NOOP("OverviewModel", "Pos. Y"),
    QT_TRANSLATE_NOOP("OverviewModel", "Size X"),
    QT_TRANSLATE_NOOP("OverviewModel", "Size Y"),
    QT_TRANSLATE_NOOP("OverviewModel", "Color"),
    QT_TRANSLATE_NOOP("OverviewModel", "Type"),
    QT_TRANSLATE_NOOP("OverviewModel", "Protocol"),
    QT_TRANSLATE_NOOP("OverviewModel", "Universe"),
    QT_TRANSLATE_NOOP("OverviewModel", "Channel"),
    QT_TRANSLATE_NOOP("OverviewModel", "Note"),
    QT_TRANSLATE_NOOP("OverviewModel", "Link"),
    QT_TRANSLATE_NOOP("OverviewModel", "Command"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 1"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 2"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 3"),
    QT_TRANSLATE_NOOP("OverviewModel", "Protocol, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Universe, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Channel, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Note, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Link, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Command, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 1, Adv."),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 2, Adv."),
    "",
    QT_TRANSLATE_NOOP("OverviewModel", "Protocol, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Universe, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Channel, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Note, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 1, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Color 1, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 2, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Color 2, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Value 3, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Color 3, IN"),
    QT_TRANSLATE_NOOP("OverviewModel", "Fade"),
    QT_TRANSLATE_NOOP("OverviewModel", "Description"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Address"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Host"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Port"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Argument"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Address 2"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Host 2"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Port 2"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC Argument 2"),
    QT_TRANSLATE_NOOP("OverviewModel", "OSC In Address"),
};

bool between(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

bool isAdvanced(int type)
{
    return between(type, column::PROTOCOL_ADV, column::VALUE_2_ADV);
}

const SettingDmxStruct &outputOf(const SettingStruct &r, int type)
{
    return isAdvanced(type) ? r.dmx_out_advanced : r.dmx_out;
}

QColor colourOf(const SettingStruct &r, int type)
{
    const SettingDmxInStruct &in = r.dmx_in;
    switch (type) {
    case column::COLOR_1_IN:
        return QColor(in.dmx_in_color_red_1, in.dmx_in_color_green_1, in.dmx_in_color_blue_1);
    case column::COLOR_2_IN:
        return QColor(in.dmx_in_color_red_2, in.dmx_in_color_green_2, in.dmx_in_color_blue_2);
    case column::COLOR_3_IN:
        return QColor(in.dmx_in_color_red_3, in.dmx_in_color_green_3, in.dmx_in_color_blue_3);
    default:
        return QColor(r.color_red, r.color_green, r.color_blue);
    }
}

// Whether the protocol cell of this output or input may be changed.
bool protocolEditable(const SettingStruct &r, int type)
{
    const ControlTraits &traits = controlTraits(r.control_type);
    switch (type) {
    case column::PROTOCOL:
        return traits.output.sends;
    case column::PROTOCOL_ADV:
        return traits.second != AOT_NONE;
    case column::PROTOCOL_IN:
        return traits.input;
    default:
        return false;
    }
}

QString dash()
{
    return QStringLiteral("-");
}

} // namespace

OverviewModel::OverviewModel(ShowDocument &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document), m_ids(document.ids())
{
    connect(&document, &ShowDocument::contentReplaced, this, &OverviewModel::reload);
    connect(&document, &ShowDocument::controlsAdded, this, &OverviewModel::onAdded);
    connect(&document, &ShowDocument::controlsRemoved, this, &OverviewModel::onRemoved);
    connect(&document, &ShowDocument::controlsChanged, this, &OverviewModel::onChanged);
    connect(&document, &ShowDocument::controlsReordered, this, &OverviewModel::onReordered);
}

int OverviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int OverviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : column::COUNT;
}

quint32 OverviewModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

void OverviewModel::indexRows() const
{
    if (m_rowsIndexed)
        return;
    m_rowOf.clear();
    m_rowOf.reserve(m_ids.size());
    for (int i = 0; i < m_ids.size(); ++i)
        m_rowOf.insert(m_ids.at(i), i);
    m_rowsIndexed = true;
}

int OverviewModel::rowOf(quint32 id) const
{
    indexRows();
    return m_rowOf.value(id, -1);
}

const SettingStruct *OverviewModel::recordAt(int row) const
{
    // Rows follow the document's order; between a change of the document
    // and its signal they may not, so the id decides.
    const QList<SettingStruct> &controls = m_document.controls();
    if (row < 0 || row >= m_ids.size())
        return nullptr;
    if (row < controls.size() && controls.at(row).id == m_ids.at(row))
        return &controls.at(row);
    return m_document.control(m_ids.at(row));
}

void OverviewModel::reload()
{
    beginResetModel();
    m_ids = m_document.ids();
    m_rowsIndexed = false;
    endResetModel();
}

QString OverviewModel::columnTitle(int type)
{
    if (type < 0 || type > column::LAST)
        return {};
    return tr(kTitles[type]);
}

bool OverviewModel::cellShown(const SettingStruct &r, int type)
{
    if (column::isOsc(type))
        return oscCellUsed(r, type);
    if (between(type, column::PROTOCOL, column::VALUE_2_ADV)) {
        const SettingDmxStruct &out = outputOf(r, type);
        const quint8 controlType =
            isAdvanced(type) ? advancedOutputType(r.control_type) : r.control_type;
        const DmxOutRows rows = dmxOutRows(controlType, out.protocol_type);
        NumberRange range;
        switch (isAdvanced(type) ? type - column::PROTOCOL_ADV + column::PROTOCOL : type) {
        case column::PROTOCOL:
            return out.protocol_type != PT_NONE;
        case column::UNIVERSE:
            return rows.universe && numberRange(r, type, range);
        case column::CHANNEL:
            return rows.channel && numberRange(r, type, range);
        case column::NOTE:
            return rows.note && numberRange(r, type, range);
        case column::LINK:
            return rows.http;
        case column::COMMAND:
            return rows.command;
        case column::VALUE_1:
            return rows.value1;
        case column::VALUE_2:
            return rows.value2;
        case column::VALUE_3:
            return rows.value3 && !isAdvanced(type);
        default:
            return false;
        }
    }
    if (between(type, column::UNIVERSE_IN, column::NOTE_IN)) {
        const DmxInRows rows = dmxInRows(r.control_type, r.dmx_in.protocol_type_in);
        NumberRange range;
        const bool address = type == column::UNIVERSE_IN  ? rows.universe
                             : type == column::CHANNEL_IN ? rows.channel
                                                          : rows.note;
        return rows.group && address && numberRange(r, type, range);
    }
    return between(type, column::NAME, column::TYPE) ||
           between(type, column::PROTOCOL_IN, column::DESCRIPTION);
}

bool OverviewModel::cellEditable(const SettingStruct &r, int type)
{
    if (type == column::PROTOCOL || type == column::PROTOCOL_ADV || type == column::PROTOCOL_IN)
        return protocolEditable(r, type);
    return type != column::TYPE && column::kind(type) != column::NONE && cellShown(r, type);
}

QString OverviewModel::cellText(const SettingStruct &r, int type)
{
    switch (column::kind(type)) {
    case column::COLOUR: {
        const QColor c = colourOf(r, type);
        return QStringLiteral("%1, %2, %3").arg(c.red()).arg(c.green()).arg(c.blue());
    }
    case column::SWITCH:
        return {};
    case column::PROTOCOL_NAME:
        if (type == column::PROTOCOL_IN)
            return protocolTypeLabel(r.dmx_in.protocol_type_in);
        return cellShown(r, type) ? protocolTypeLabel(outputOf(r, type).protocol_type) : dash();
    default:
        break;
    }
    if (type == column::TYPE)
        return controlTypeLabel(r.control_type);
    if (!cellShown(r, type))
        return dash();
    if (column::kind(type) == column::NUMBER) {
        NumberRange range;
        numberRange(r, type, range);
        return QString::number(numberValue(r, type) + (range.oneBased ? 1 : 0));
    }
    switch (type) {
    case column::NAME:
        return r.name;
    case column::DESCRIPTION:
        return r.description;
    case column::LINK:
    case column::LINK_ADV:
        return outputOf(r, type).dmx_http_filename;
    case column::COMMAND:
    case column::COMMAND_ADV:
        return outputOf(r, type).dmx_command_filename;
    default:
        return oscCellText(r, type);
    }
}

QString OverviewModel::editText(const SettingStruct &r, int type)
{
    if (type == column::DELETE_ROW || type == column::EDIT_ROW || type == column::FADE)
        return {};
    const QString text = cellText(r, type);
    return text == dash() && column::kind(type) != column::TEXT ? QString() : text;
}

QVariant OverviewModel::data(const QModelIndex &index, int role) const
{
    const SettingStruct *r = index.isValid() ? recordAt(index.row()) : nullptr;
    if (!r)
        return {};
    const int type = column::typeAt(index.column());
    switch (role) {
    case IdRole:
        return r->id;
    case ColumnTypeRole:
        return type;
    case Qt::DisplayRole: {
        if (type == column::DELETE_ROW || type == column::EDIT_ROW)
            return {};
        const QString text = cellText(*r, type);
        // Port 0 sends to the preferences' port, as the editor shows it;
        // typed, it is still 0.
        if ((type == column::OSC_PORT || type == column::OSC_PORT_ADV) &&
            text == QLatin1String("0"))
            return tr("Default");
        return text;
    }
    case Qt::EditRole:
        return editText(*r, type);
    case SortRole:
        if (column::kind(type) == column::NUMBER)
            return cellShown(*r, type) ? numberValue(*r, type) : qint64(-1);
        if (type == column::FADE)
            return qint64(r->dmx_in.dmx_in_color_fade);
        return cellText(*r, type);
    case Qt::DecorationRole:
        if (type == column::DELETE_ROW)
            return QIcon(QStringLiteral(":/images/editdelete.xpm"));
        if (type == column::EDIT_ROW)
            return QIcon(QStringLiteral(":/images/editedit.xpm"));
        return {};
    case Qt::CheckStateRole:
        if (type == column::FADE)
            return r->dmx_in.dmx_in_color_fade ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::BackgroundRole:
        if (column::kind(type) == column::COLOUR)
            return colourOf(*r, type);
        return {};
    case Qt::ForegroundRole:
        if (column::kind(type) == column::COLOUR) {
            const QColor c = colourOf(*r, type);
            const bool dark = c.red() <= 128 && c.green() <= 128 && c.blue() <= 128;
            return QColor(dark ? Qt::white : Qt::black);
        }
        return {};
    case Qt::ToolTipRole:
        switch (type) {
        case column::DELETE_ROW:
            return tr("deleting this control");
        case column::EDIT_ROW:
            return tr("launching the Control Settings");
        case column::FADE:
            return tr("Mix Colors Between DMX Values");
        case column::NOTE:
        case column::NOTE_ADV:
            if (cellShown(*r, type))
                return tr("MIDI type: %1").arg(midiTypeLabel(outputOf(*r, type).dmx_midi_type));
            return {};
        case column::NOTE_IN:
            if (cellShown(*r, type))
                return tr("MIDI type: %1").arg(midiTypeLabel(r->dmx_in.dmx_in_midi_type));
            return {};
        default:
            return {};
        }
    default:
        return {};
    }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return QString::number(section + 1);
        return {};
    }
    const int type = column::typeAt(section);
    if (role == Qt::DisplayRole)
        return columnTitle(type);
    if (role == ColumnTypeRole)
        return type;
    if (role == Qt::ToolTipRole) {
        if (type == column::DELETE_ROW)
            return tr("deleting this Control");
        if (type == column::EDIT_ROW)
            return tr("launching the Control Preferences");
    }
    return {};
}

Qt::ItemFlags OverviewModel::flags(const QModelIndex &index) const
{
    const SettingStruct *r = index.isValid() ? recordAt(index.row()) : nullptr;
    if (!r)
        return Qt::NoItemFlags;
    const int type = column::typeAt(index.column());
    if (type == column::DELETE_ROW || type == column::EDIT_ROW)
        return Qt::ItemIsEnabled;
    if (!cellEditable(*r, type))
        return Qt::NoItemFlags;
    if (type == column::FADE)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool OverviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const SettingStruct *r = index.isValid() ? recordAt(index.row()) : nullptr;
    const int type = column::typeAt(index.column());
    if (!r || !cellEditable(*r, type))
        return false;
    QString text;
    if (role == Qt::CheckStateRole && type == column::FADE)
        text = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    else if (role == Qt::EditRole)
        text = value.toString();
    else
        return false;
    // The text typed back unchanged is no edit.
    if (role == Qt::EditRole && text == editText(*r, type))
        return false;
    SettingStruct changed = *r;
    IncrementState state;
    const QString refusal = applyBatchChange(changed, type, BA_SET, text, state);
    if (!refusal.isEmpty()) {
        emit refused(tr("%1: %2").arg(columnTitle(type), refusal));
        return false;
    }
    if (changed.sameContent(*r))
        return false;
    m_document.push(new ChangeControls(m_document, {changed},
                                       tr("Set %1 of %2").arg(columnTitle(type), r->name)));
    return true;
}

void OverviewModel::onAdded(const QList<quint32> &ids)
{
    // Runs of neighbouring rows come in one step each, from the top down:
    // each lands where the show has it once the runs above it are in. The
    // rows around them keep their selection.
    const QSet<quint32> added(ids.cbegin(), ids.cend());
    const QList<SettingStruct> &controls = m_document.controls();
    for (int row = 0; row < controls.size(); ++row) {
        if (!added.contains(controls.at(row).id))
            continue;
        int last = row;
        while (last + 1 < controls.size() && added.contains(controls.at(last + 1).id))
            ++last;
        beginInsertRows(QModelIndex(), row, last);
        for (int i = row; i <= last; ++i)
            m_ids.insert(i, controls.at(i).id);
        m_rowsIndexed = false;
        endInsertRows();
        row = last;
    }
}

void OverviewModel::onRemoved(const QList<quint32> &ids)
{
    QList<int> rows;
    for (quint32 id : ids)
        if (const int row = rowOf(id); row >= 0)
            rows.append(row);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    // Runs of neighbouring rows go in one step, from the bottom up.
    for (int i = 0; i < rows.size();) {
        int j = i;
        while (j + 1 < rows.size() && rows.at(j + 1) == rows.at(j) - 1)
            ++j;
        const int top = rows.at(j);
        const int bottom = rows.at(i);
        beginRemoveRows(QModelIndex(), top, bottom);
        m_ids.remove(top, bottom - top + 1);
        endRemoveRows();
        i = j + 1;
    }
    m_rowsIndexed = false;
}

void OverviewModel::onChanged(const QList<quint32> &ids)
{
    int top = INT_MAX;
    int bottom = -1;
    for (quint32 id : ids) {
        const int row = rowOf(id);
        if (row < 0)
            continue;
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
    if (bottom >= 0)
        emit dataChanged(index(top, 0), index(bottom, column::COUNT - 1));
}

void OverviewModel::onReordered()
{
    // The persistent indexes (the selection among them) move with their ids.
    emit layoutAboutToBeChanged();
    const QList<quint32> before = m_ids;
    m_ids = m_document.ids();
    m_rowsIndexed = false;
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from) {
        const int row = rowOf(before.value(old.row()));
        to.append(row < 0 ? QModelIndex() : index(row, old.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged();
}

OverviewFilter::OverviewFilter(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(OverviewModel::SortRole);
}

void OverviewFilter::setFilterText(const QString &text)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    m_prepared = prepare(words);
    // One new layout: removing the rows left out one run at a time costs
    // the views a pass over all rows per run.
    invalidate();
}

QList<OverviewFilter::Word> OverviewFilter::prepare(const QStringList &words)
{
    // Labels are matched once per word, not once per row.
    QList<Word> prepared;
    for (const QString &text : words) {
        Word word;
        word.text = text;
        for (int t = 0; t < CT_COUNT; ++t)
            word.type[t] = controlTypeLabel(quint8(t)).contains(text, Qt::CaseInsensitive);
        for (int p = 0; p < PT_COUNT; ++p)
            word.protocol[p] = protocolTypeLabel(quint8(p)).contains(text, Qt::CaseInsensitive);
        bool number = false;
        const int universe = text.toInt(&number);
        word.universe = number && universe > 0 ? universe : -1;
        prepared.append(word);
    }
    return prepared;
}

bool OverviewFilter::matches(const SettingStruct &r, const QStringList &words)
{
    return matches(r, prepare(words));
}

bool OverviewFilter::matches(const SettingStruct &r, const QList<Word> &words)
{
    const auto protocolOf = [&r](int type) -> int {
        if (type == column::PROTOCOL_IN)
            return r.dmx_in.protocol_type_in < PT_COUNT ? r.dmx_in.protocol_type_in : -1;
        // An output without a protocol shows "-".
        const quint8 p = outputOf(r, type).protocol_type;
        return p != PT_NONE && p < PT_COUNT ? p : -1;
    };
    for (const Word &word : words) {
        bool found = (isControlType(r.control_type) && word.type[r.control_type]) ||
                     r.name.contains(word.text, Qt::CaseInsensitive);
        for (const int type : {column::PROTOCOL, column::PROTOCOL_ADV, column::PROTOCOL_IN}) {
            if (found)
                break;
            const int p = protocolOf(type);
            found = p >= 0 && word.protocol[p];
        }
        for (const int type : {column::UNIVERSE, column::UNIVERSE_ADV, column::UNIVERSE_IN}) {
            if (found || word.universe < 0)
                break;
            found = numberValue(r, type) + 1 == word.universe && OverviewModel::cellShown(r, type);
        }
        if (!found)
            return false;
    }
    return true;
}

void OverviewFilter::setOnly(const QList<quint32> &ids)
{
    const QSet<quint32> only(ids.cbegin(), ids.cend());
    if (only == m_only)
        return;
    m_only = only;
    invalidate();
}

bool OverviewFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_prepared.isEmpty() && m_only.isEmpty())
        return true;
    const auto *model = static_cast<const OverviewModel *>(sourceModel());
    const SettingStruct *r = model->recordAt(sourceRow);
    return r && (m_only.isEmpty() || m_only.contains(r->id)) &&
           (m_prepared.isEmpty() || matches(*r, m_prepared));
}
