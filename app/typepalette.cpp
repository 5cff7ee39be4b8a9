#include "app/typepalette.h"

#include "controls/controlwidget.h"
#include "model/settingstruct.h"
#include "model/typetables.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace
{

constexpr int ICON_SIDE = 32;

// A picture of a control of `type` at its default size, made by the control
// itself.
QIcon pictureOf(quint8 type, SilentConsole *holder)
{
    SettingStruct record;
    resetSetting(&record);
    record.control_type = type;
    record.name = QString();
    const ControlTraits &traits = controlTraits(type);
    const QSize size(traits.defaultWidth, traits.defaultHeight);
    record.size_x = quint32(size.width());
    record.size_y = quint32(size.height());
    std::unique_ptr<ControlWidget> control = createControlWidget(record, holder, holder, size);
    if (!control || !control->widget())
        return QIcon();
    QWidget *w = control->widget();
    w->setFixedSize(size);
    return QIcon(
        w->grab().scaled(ICON_SIDE, ICON_SIDE, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

class TypeList : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    QStringList mimeTypes() const override { return {QString::fromLatin1(TypePalette::MIME_TYPE)}; }
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override
    {
        if (items.isEmpty())
            return nullptr;
        auto *mime = new QMimeData;
        mime->setData(QString::fromLatin1(TypePalette::MIME_TYPE),
                      QByteArray::number(items.constFirst()->data(Qt::UserRole).toInt()));
        return mime;
    }
};

} // namespace

TypePalette::TypePalette(QWidget *console) : QWidget(console, Qt::Tool)
{
    setObjectName(QStringLiteral("typePalette"));
    setWindowTitle(tr("Controls"));
    auto *layout = new QVBoxLayout(this);
    m_list = new TypeList(this);
    m_list->setObjectName(QStringLiteral("types"));
    m_list->setIconSize(QSize(ICON_SIDE, ICON_SIDE));
    // Every type in view at once, four to a row, names wrapped under the
    // pictures.
    m_list->setViewMode(QListView::IconMode);
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setWordWrap(true);
    m_list->setTextElideMode(Qt::ElideNone);
    const int line = fontMetrics().height();
    const QSize cell(fontMetrics().averageCharWidth() * 14, ICON_SIDE + 3 * line + 6);
    m_list->setGridSize(cell);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setToolTip(tr("Drag a control onto the console, or double-click it to place it in "
                          "the middle"));
    SilentConsole holder;
    for (quint8 type = 0; type < CT_COUNT; ++type) {
        auto *item = new QListWidgetItem(pictureOf(type, &holder), controlTypeLabel(type), m_list);
        item->setData(Qt::UserRole, int(type));
    }
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);

    auto *patch = new QGroupBox(tr("Patch to:"), this);
    patch->setToolTip(tr("The protocol new controls send on; each takes the next free "
                         "channel (OSC: the next free number at the end of the address) "
                         "after the one made before it"));
    auto *choices = new QHBoxLayout(patch);
    m_protocol = new QButtonGroup(this);
    for (quint8 protocol : {PT_ARTNET, PT_ACN, PT_MIDI, PT_OSC, PT_NONE}) {
        auto *button = new QRadioButton(protocolTypeLabel(protocol), patch);
        button->setObjectName(QStringLiteral("patch%1").arg(protocol));
        m_protocol->addButton(button, protocol);
        choices->addWidget(button);
    }
    m_protocol->button(PT_ARTNET)->setChecked(true);
    layout->addWidget(patch);

    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        emit chosen(quint8(item->data(Qt::UserRole).toInt()));
    });
    connect(m_protocol, &QButtonGroup::idClicked, this,
            [this](int protocol) { emit protocolPicked(quint8(protocol)); });
    const int columns = 4, rows = (CT_COUNT + columns - 1) / columns;
    // Room for a scroll bar too, so that one never takes a column away.
    const int bar = m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_list->setMinimumSize(cell.width() * columns + 2 * m_list->frameWidth() + bar + 4,
                           cell.height() * rows + 2 * m_list->frameWidth() + 4);
    adjustSize();
}

std::optional<quint8> TypePalette::droppedType(const QMimeData *data)
{
    if (!data || !data->hasFormat(QString::fromLatin1(MIME_TYPE)))
        return std::nullopt;
    bool ok = false;
    const int type = data->data(QString::fromLatin1(MIME_TYPE)).toInt(&ok);
    if (!ok || !isControlType(quint8(type)) || type < 0 || type >= CT_COUNT)
        return std::nullopt;
    return quint8(type);
}

quint8 TypePalette::protocol() const
{
    return quint8(qMax(0, m_protocol->checkedId()));
}

void TypePalette::setProtocol(quint8 protocol)
{
    if (QAbstractButton *button = m_protocol->button(protocol))
        button->setChecked(true);
}
