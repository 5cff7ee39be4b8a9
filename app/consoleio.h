// What travels between the controls and the outside world: the output
// objects with the output and input dispatch over them. The console hands
// its records in; this class touches the widgets only through their value
// operations (current value out, DMX-IN value in).
#pragma once

#include "inputdispatch.h"
#include "outputdispatch.h"
#include "outputobjects.h"

#include <QColor>
#include <QList>
#include <optional>

class ConsoleIo
{
public:
    ConsoleIo() : m_output(m_objects), m_input(m_objects) {}
    ~ConsoleIo();

    // Sends v for d (not store-only) and returns the status line.
    QString send(const SettingDmxStruct &d, int v, const PreferencesStruct &prefs);
    // Sends every control's current value once; with storeOnly the network
    // universes are only filled.
    void sendInitialValues(const QList<SettingStruct *> &controls, bool storeOnly,
                           const PreferencesStruct &prefs);
    // Registers DMX-IN buffers for the universes the controls listen to,
    // plus the background's when it lies within their span.
    void setUpInputs(const QList<SettingStruct *> &controls, const BackgroundStruct &background);
    // Hands every arrived input value to its widget. Returns the colour the
    // window takes when the background's input has a value.
    std::optional<QColor> pollInputs(const QList<SettingStruct *> &controls,
                                     const BackgroundStruct &background,
                                     const PreferencesStruct &prefs);
    // Deletes the output objects and the universes (New, Open, exit).
    void clear();

    OutputObjects &objects() { return m_objects; }
    const OutputDispatch &output() const { return m_output; }
    const InputDispatch &input() const { return m_input; }

private:
    OutputObjects m_objects;
    OutputDispatch m_output;
    InputDispatch m_input;
};
