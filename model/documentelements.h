// The "preferences" and "consistence_check" elements of a configuration
// document. Readers follow the pattern of elements.h: false for any other
// tag; for their own tag reset the record, read it when the version is 1
// and return true.
#pragma once

#include "model/configuration.h"
#include "model/settingstruct.h"

#include <QDomDocument>
#include <QDomElement>
#include <functional>

// Appends a "preferences" element. MIDI devices are stored by the name the
// system gives them (devices.outputs / devices.inputs); without a present
// device the record's kept name (midi_device_out_name / _in_name) is written,
// so a device that is not connected survives a save. Does nothing when the
// document or parent is null or the record is missing.
void writePreferencesElement(QDomDocument &document, QDomElement &parent,
                             const PreferencesStruct *record, const MidiDeviceNames &devices);

// Reads a "preferences" element. A stored MIDI device name becomes the
// 1-based number of the first present device of that name, 0 when none
// matches; the name itself is kept in the record either way. A set "command_flag" enables the
// Command output only when confirmCommandFlag returns true; without it the flag stays off.
bool readPreferencesElement(const QDomElement &element, PreferencesStruct *record,
                            const MidiDeviceNames &devices,
                            const std::function<bool()> &confirmCommandFlag = {});

// Appends a "consistence_check" element: only the switched-off checks are
// written, as "0".
void writeConsistenceCheckElement(QDomDocument &document, QDomElement &parent,
                                  const ConsistenceCheckStruct *record);

// Reads a "consistence_check" element. Every check starts on; each
// check_N attribute holding a number >= 0 decides its own check alone.
bool readConsistenceCheckElement(const QDomElement &element, ConsistenceCheckStruct *record);
