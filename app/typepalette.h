// The palette of design mode: a tool window with one entry per control
// type, each with a picture of the control and its name, all in view, and
// the protocol that new controls are patched to (one click each). Dragging an entry onto the
// surface makes that control where it is dropped; a double click (or Enter) makes it in the middle
// of the visible surface.
#pragma once

#include <QWidget>

#include <optional>

class QButtonGroup;
class QListWidget;
class QMimeData;

class TypePalette : public QWidget
{
    Q_OBJECT

public:
    // The drag's data: the type number as text.
    static constexpr const char *MIME_TYPE = "application/x-pultora-control-type";

    explicit TypePalette(QWidget *console);

    // The control type a drag carries; none when it carries none.
    static std::optional<quint8> droppedType(const QMimeData *data);

    // The protocol new controls are patched to (PT_NONE: none); it follows
    // the last control made.
    quint8 protocol() const;
    void setProtocol(quint8 protocol);

signals:
    void chosen(quint8 type);
    // The user picked another protocol in the palette.
    void protocolPicked(quint8 protocol);

private:
    QListWidget *m_list = nullptr;
    QButtonGroup *m_protocol = nullptr; // ids: the protocols
};
