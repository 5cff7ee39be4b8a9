// Small pieces the editing dialogs build their rows from.
#pragma once

#include "dialogs/settingsrules.h"

#include <QLabel>
#include <QList>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QWidget>

// One row of an editor: its label, the hexadecimal companion (if any) and
// the inputs. Shown or hidden as a whole; the companion only with the
// show-hex preference.
struct EditorRow {
    QLabel *label = nullptr;
    QLabel *hex = nullptr;
    QList<QWidget *> fields;

    void show(bool visible, bool showHex = false) const
    {
        if (label)
            label->setVisible(visible);
        if (hex)
            hex->setVisible(visible && showHex);
        for (QWidget *field : fields)
            field->setVisible(visible);
    }
};

// A right-aligned spin box; `name` is its object name.
inline QSpinBox *newSpinBox(QWidget *parent, const char *name, int minimum, int maximum)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setAlignment(Qt::AlignRight);
    spin->setRange(minimum, maximum);
    return spin;
}

// Sets range and value without reaching the slots that write the record.
inline void showInSpinBox(QSpinBox *spin, int minimum, int maximum, int value)
{
    const QSignalBlocker blocker(spin);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
}

// The number boxes of one output or input, shown within what `protocol`
// carries: DMX channel and universe counted from 1, the MIDI note as stored.
// Values typed for another protocol stay in the record.
struct AddressBoxes {
    QSpinBox *value[3];
    QSpinBox *channel;
    QSpinBox *note;
    QSpinBox *universe;
};

inline void showAddress(const AddressBoxes &boxes, quint8 protocol, const int (&values)[3],
                        int channel, int universe)
{
    const int valueMax = valueMaximum(protocol);
    const int universeMax = shownUniverseMaximum(protocol);
    for (int n = 0; n < 3; ++n)
        showInSpinBox(boxes.value[n], 0, valueMax, qMin(values[n], valueMax));
    showInSpinBox(boxes.channel, 1, 512, qMin(channel + 1, 512));
    showInSpinBox(boxes.note, 0, 127, qMin(channel, 127));
    showInSpinBox(boxes.universe, 1, universeMax, qMin(universe + 1, universeMax));
}

// The address tips of one output or input, on its fields in the order of
// AddressField (protocol, the three values, channel, note, universe, MIDI type).
inline void setAddressTips(const QList<QWidget *> &fields, bool input, quint8 protocol,
                           quint8 midiType)
{
    for (qsizetype i = 0; i < fields.size(); ++i)
        fields[i]->setToolTip(addressTip(AddressField(i), input, protocol, midiType));
}

// A text editor of at most `maxHeight` pixels (raised to one line of the
// font, so that nothing is cut); Tab moves on to the next input.
inline QTextEdit *newTextEdit(QWidget *parent, const char *name, int maxHeight)
{
    auto *edit = new QTextEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAcceptRichText(false);
    edit->setTabChangesFocus(true);
    edit->document()->setDocumentMargin(1);
    const int oneLine = edit->fontMetrics().lineSpacing() + 2 * edit->frameWidth() + 2;
    edit->setMaximumHeight(qMax(maxHeight, oneLine));
    if (edit->maximumHeight() < 2 * oneLine) {
        edit->setLineWrapMode(QTextEdit::NoWrap);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    return edit;
}

// Puts `text` into an editor without reaching the slot that writes it.
inline void showInTextEdit(QTextEdit *edit, const QString &text)
{
    if (edit->toPlainText() == text)
        return;
    const QSignalBlocker blocker(edit);
    edit->setPlainText(text);
}
