// Batch changes of control records, as the controls overview makes them:
// one action (Set, Add, Subtract, Increment) with one typed text applied to
// cells named by a record and a column type. Pure functions over records;
// BatchRun collects a whole batch into changed copies that the caller pushes
// as one command.
//
// Column types are the overview's numbers (26 is unused):
//   2 name, 3..6 position and size, 7 colour, 8 type,
//   9..17  main output: protocol, universe, channel, note, link, command,
//          values 1..3
//   18..25 second output: the same without value 3
//   27..30 input: protocol, universe, channel, note
//   31..36 input value 1, colour 1, value 2, colour 2, value 3, colour 3
//   37 colour fade, 38 description
//   39..42 main output OSC: address, host, port, argument
//   43..46 second output OSC: the same
//   47 input OSC address
//
// Numbers the user counts from 1 (universe, DMX channel, MIDI channel) are
// typed from 1 and clamped to the column's range, so a Set of "0" gives the
// lowest value rather than wrapping round. An address column holds a value
// only for the protocols that use it: "Channel" for Art-Net and streaming
// ACN, "Note" for MIDI, "Universe" for those three; the OSC columns hold one
// only when their output or input uses OSC. An OSC address must start with
// '/'; a port is 0..65535, 0 meaning the show's default port; an argument is
// "float" or "int".
#pragma once

#include "model/settingstruct.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class ShowDocument;

namespace column
{
enum Type : int {
    DELETE_ROW = 0,
    EDIT_ROW = 1,
    NAME = 2,
    POSITION_X = 3,
    POSITION_Y = 4,
    SIZE_X = 5,
    SIZE_Y = 6,
    COLOR = 7,
    TYPE = 8,
    PROTOCOL = 9,
    UNIVERSE = 10,
    CHANNEL = 11,
    NOTE = 12,
    LINK = 13,
    COMMAND = 14,
    VALUE_1 = 15,
    VALUE_2 = 16,
    VALUE_3 = 17,
    PROTOCOL_ADV = 18,
    UNIVERSE_ADV = 19,
    CHANNEL_ADV = 20,
    NOTE_ADV = 21,
    LINK_ADV = 22,
    COMMAND_ADV = 23,
    VALUE_1_ADV = 24,
    VALUE_2_ADV = 25,
    PROTOCOL_IN = 27,
    UNIVERSE_IN = 28,
    CHANNEL_IN = 29,
    NOTE_IN = 30,
    VALUE_1_IN = 31,
    COLOR_1_IN = 32,
    VALUE_2_IN = 33,
    COLOR_2_IN = 34,
    VALUE_3_IN = 35,
    COLOR_3_IN = 36,
    FADE = 37,
    DESCRIPTION = 38,
    OSC_ADDRESS = 39,
    OSC_HOST = 40,
    OSC_PORT = 41,
    OSC_ARGUMENT = 42,
    OSC_ADDRESS_ADV = 43,
    OSC_HOST_ADV = 44,
    OSC_PORT_ADV = 45,
    OSC_ARGUMENT_ADV = 46,
    OSC_ADDRESS_IN = 47,
    LAST = OSC_ADDRESS_IN
};

// WORD: one of a few words, set only (the OSC argument).
enum Kind { NONE, TEXT, NUMBER, COLOUR, PROTOCOL_NAME, SWITCH, WORD };

Kind kind(int type);
// Column type of a table position (0..COUNT - 1) and back (-1: none).
int typeAt(int position);
int positionOf(int type);
constexpr int COUNT = 47;
bool isOsc(int type);
} // namespace column

enum BatchAction : int { BA_SET = 1, BA_ADD = 2, BA_SUB = 3, BA_INC = 4 };

// Range of a number column for this record, in stored units; `oneBased`:
// the user types and sees the value plus one.
struct NumberRange {
    qint64 lo = 0;
    qint64 hi = 0;
    bool oneBased = false;
};
// False when the column holds no number for this record (not a number
// column, or an address its protocol does not use).
bool numberRange(const SettingStruct &record, int columnType, NumberRange &range);
// The stored number of a number column (valid when numberRange is true).
qint64 numberValue(const SettingStruct &record, int columnType);

// The protocol a whole name (any case, surrounding blanks ignored) means:
// "None" or "-", "Art-Net" or "ArtNet", "streaming ACN", "sACN" or "E1.31",
// "MIDI", "HTTP", "Command", "OSC". -1 for anything else, parts of names
// included.
int protocolFromName(const QString &text);

// OSC columns: whether the column holds a value for this record (its output
// or input uses OSC, and a second output exists), and the text it shows
// ("" when it holds none).
bool oscCellUsed(const SettingStruct &record, int columnType);
QString oscCellText(const SettingStruct &record, int columnType);

// The running state of Increment in one column of one batch.
struct IncrementState {
    bool first = true;
    qint64 counter = 0;
    int red = 0, green = 0, blue = 0;
};

// Changes one field of `record` by column type, action and typed text.
// Returns an empty string when applied, else why it was refused; a refused
// change leaves the record and the state as they were.
QString applyBatchChange(SettingStruct &record, int columnType, int action, const QString &text,
                         IncrementState &state);

// A batch over records of one document: each change works on a copy;
// records() gives the changed copies in the order they were first changed.
class BatchRun
{
public:
    explicit BatchRun(const ShowDocument &document);

    // Empty when applied, else the reason (unknown ids too).
    QString change(quint32 id, int columnType, int action, const QString &text);

    QList<SettingStruct> records() const;
    int changedCells() const { return m_changed; }
    int refusedCells() const { return m_refused; }
    QString firstRefusal() const { return m_firstRefusal; }
    // Distinct column types changed, in the order first changed.
    const QList<int> &columns() const { return m_columns; }

private:
    const ShowDocument &m_document;
    QHash<quint32, int> m_indexOf;
    QHash<quint32, int> m_work; // id -> position in m_records
    QList<SettingStruct> m_records;
    QHash<int, IncrementState> m_increment; // per column type
    QList<int> m_columns;
    int m_changed = 0;
    int m_refused = 0;
    QString m_firstRefusal;
};

// `order` with every selected id moved one place up (or down), in list
// order: a selected block at the top (bottom) stays where it is, and the
// selected ids keep their order among themselves.
QList<quint32> shiftOrder(const QList<quint32> &order, const QSet<quint32> &selected, bool up);
