// The attribute-level halves of the element readers and writers, shared by
// the DOM functions (elements.h, documentelements.h) and the streaming
// document loader and writer (configuration.cpp). Internal to the model.
#pragma once

#include "model/attributes.h"
#include "model/configuration.h"
#include "model/settingstruct.h"

// Writers: every attribute of the element, "version" first.
void writeControlFields(AttributeSink &sink, const SettingStruct &record);
void writeBackgroundFields(AttributeSink &sink, const BackgroundStruct &record);
void writePreferencesFields(AttributeSink &sink, const PreferencesStruct &record,
                            const MidiDeviceNames &devices);
void writeConsistenceCheckFields(AttributeSink &sink, const ConsistenceCheckStruct &record);

// Readers: reset the record, read it when the version is 1 and, for
// controls, normalise the outputs.
void readControlFields(const AttributeSource &source, SettingStruct *record);
void readBackgroundFields(const AttributeSource &source, BackgroundStruct *record);
// The command flag is left off; returns true when the element asks for it,
// so the caller can confirm it with the user.
bool readPreferencesFields(const AttributeSource &source, PreferencesStruct *record,
                           const MidiDeviceNames &devices);
void readConsistenceCheckFields(const AttributeSource &source, ConsistenceCheckStruct *record);
