// The "control" and "background" elements of a configuration document.
//
// Writers append one element to a parent. Readers accept only their own tag:
// for any other element (or a missing record) they return false, so a loader
// can offer each element to every reader in turn. For their own tag they
// reset the record, read it when the element's version is 1 and return true;
// with any other version the record keeps its reset values. Readers never
// reject an element: a missing or negative number takes its default, a text
// that is not a number stores 0 and a number larger than its field stores the
// field's largest value (but an OSC port beyond 65535 stores 0, the default
// target). OSC fields are written and read only for OSC outputs and inputs.
#pragma once

#include "model/settingstruct.h"

#include <QDomDocument>
#include <QDomElement>

// Appends a "control" element. Does nothing when the document or parent is
// null or the record is missing.
void writeControlElement(QDomDocument &document, QDomElement &parent, const SettingStruct *record);

// Reads a "control" element and normalises both outputs.
bool readControlElement(const QDomElement &element, SettingStruct *record);

// Keeps an output's address and values inside what its protocol can carry:
// MIDI universe (channel) <= 15, channel (note) <= 127, values <= 127; every
// other protocol universe <= DMX_UNIVERSE_MAX and channel <= 511. OSC
// addresses and targets are left as they are.
void normaliseOutput(SettingDmxStruct *output);

// Appends a "background" element. Does nothing when the document or parent is
// null or the record is missing.
void writeBackgroundElement(QDomDocument &document, QDomElement &parent,
                            const BackgroundStruct *record);

// Reads a "background" element and limits its size (limitBackgroundSize).
// Missing colours read as white, unlike the grey of a reset record.
bool readBackgroundElement(const QDomElement &element, BackgroundStruct *record);

// The sizes a document may ask for, each side in pixels as shown (size *
// stretch / 100): a background of MIN_BACKGROUND_SHOWN to
// MAX_BACKGROUND_SHOWN, a control of its type's minimum side (typetables.h)
// to MAX_CONTROL_SHOWN, and a stretch factor of at
// most MAX_STRETCH_PERCENT. Smaller, the console or its controls cannot be
// seen or used; larger, a control's picture alone takes gigabytes.
constexpr quint32 MIN_BACKGROUND_SHOWN = 100;
constexpr quint32 MAX_BACKGROUND_SHOWN = 16384;
constexpr quint32 MAX_CONTROL_SHOWN = 16384;
constexpr quint32 MAX_STRETCH_PERCENT = 1000;
// The most pixels the controls of a show cover together, as shown.
constexpr qint64 MAX_CONTROLS_AREA = 64000000;

// Limits the stretch factor, then both sides at that factor, to the bounds
// above. A stretch factor of 0 stays 0 and counts as 100, as on the surface.
// Returns true when something was limited; a null record is ignored.
bool limitBackgroundSize(BackgroundStruct *record);

// Limits both sides of a control to the bounds above at `stretchPercent`
// (0 counts as 100, more than MAX_STRETCH_PERCENT as that). Returns true
// when something was limited; a null record is ignored.
bool limitControlSize(SettingStruct *record, quint32 stretchPercent);
// The pixels a control covers as shown at `stretchPercent`.
qint64 shownControlArea(const SettingStruct &record, quint32 stretchPercent);
