#include "app/typepalette.h"

#include "controls/controlwidget.h"
#include "model/settingstruct.h"
#include "model/typetables.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QVBoxLayout>

namespace
{

constexpr int ICON_SIDE = 32;

// Takes the signals of the controls drawn for the palette's pictures, so
// that making them sends nothing.
class PreviewSink : public QObject
{
    Q_OBJECT
public slots:
    void slotControlPushClicked(SettingDmxStruct, int) {}
    void slotControlSliderChanged(SettingDmxStruct, int) {}
    void slotControlPotiChanged(SettingDmxStruct, int) {}
};

// A picture of a control of `type` at its default size, made by the control
// itself.
QIcon pictureOf(quint8 type, QWidget *holder, QObject *sink)
{
    SettingStruct record;
    resetSetting(&record);
    record.control_type = type;
    record.name = QString();
    const ControlTraits &traits = controlTraits(type);
    const QSize size(traits.defaultWidth, traits.defaultHeight);
    record.size_x = quint32(size.width());
    record.size_y = quint32(size.height());
    std::unique_ptr<ControlWidget> control = createControlWidget(record, holder, sink, size);
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
        auto *data = new QMimeData;
        data->setData(QString::fromLatin1(TypePalette::MIME_TYPE),
                      QByteArray::number(items.constFirst()->data(Qt::UserRole).toInt()));
        return data;
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
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setToolTip(tr("Drag a control onto the console, or double-click it to place it in "
                          "the middle"));
    QWidget holder;
    PreviewSink sink;
    for (quint8 type = 0; type < CT_COUNT; ++type) {
        auto *item =
            new QListWidgetItem(pictureOf(type, &holder, &sink), controlTypeLabel(type), m_list);
        item->setData(Qt::UserRole, int(type));
    }
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);

    m_protocol = new QComboBox(this);
    m_protocol->setObjectName(QStringLiteral("patchProtocol"));
    for (quint8 protocol : {PT_ARTNET, PT_ACN, PT_MIDI, PT_NONE})
        m_protocol->addItem(protocolTypeLabel(protocol), int(protocol));
    m_protocol->setToolTip(tr("The protocol new controls send on; each takes the next free "
                              "channel after the one made before it"));
    auto *label = new QLabel(tr("Patch to:"), this);
    label->setBuddy(m_protocol);
    layout->addWidget(label);
    layout->addWidget(m_protocol);

    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        emit chosen(quint8(item->data(Qt::UserRole).toInt()));
    });
    connect(m_protocol, &QComboBox::activated, this, [this](int index) {
        emit protocolPicked(quint8(m_protocol->itemData(index).toInt()));
    });
    resize(220, 560);
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
    return quint8(m_protocol->currentData().toInt());
}

void TypePalette::setProtocol(quint8 protocol)
{
    const int index = m_protocol->findData(int(protocol));
    if (index >= 0)
        m_protocol->setCurrentIndex(index);
}

#include "typepalette.moc"
