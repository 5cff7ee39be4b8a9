// What travels between the controls and the outside world: the output
// objects with the output and input dispatch over them. The records come
// from the show document, the values from the surface's control widgets,
// which this class only speaks to through the control interface.
#pragma once

#include "app/inputdispatch.h"
#include "app/outputdispatch.h"
#include "app/outputobjects.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QTimer>

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class ShowDocument;
class Surface;

class ConsoleIo
{
public:
    // The network nodes see the world through env (tests hand in a fake).
    ConsoleIo(const ShowDocument &document, const Surface &surface,
              const NetEnvironment &env = NetEnvironment::system());
    ~ConsoleIo();

    // Sends v for d (not store-only) and returns the status line, which
    // says so when the value did not leave, and why.
    QString send(const SettingDmxStruct &d, int v);
    // Sends every control's current value once; with storeOnly the network
    // universes are only filled.
    void sendInitialValues(bool storeOnly);
    // A show was loaded: merges the file's start-up demands into the
    // preferences in memory, waits the start-up delay (withTimeout) through
    // `wait`, then sends the first values.
    void startShow(ShowDocument &document, bool withTimeout,
                   const std::function<void(int seconds)> &wait);
    bool showStarted() const { return m_showStarted; }
    // Registers DMX-IN buffers for the universes the controls listen to,
    // plus the background's when it lies within their span, and indexes the
    // listeners by what they listen to. Called once per change of the show;
    // universes that stay keep their values. Every listener is then offered
    // its input value again.
    void setUpInputs();
    // Where the colour goes that the background's input gives the window.
    void setBackgroundHandler(std::function<void(const QColor &)> handler)
    {
        m_backgroundHandler = std::move(handler);
    }
    // Deletes the output objects and the universes (exit).
    void clear();
    // Another show is about to take the place of the one sent so far:
    // until replaceShow, the DMX-IN set-up waits.
    void holdInputs() { m_inputsHeld = true; }
    // done: the show was replaced. Its universes stop (streaming ACN with
    // Stream_Terminated), no value of it leaves again, and the new show's
    // inputs are set up once, on new objects. Not done: the show before is
    // back, with its outputs and inputs as they were.
    void replaceShow(bool done);
    // Where the output objects' messages for the status line go.
    void setNoticeHandler(std::function<void(const QString &)> handler)
    {
        m_objects.setNoticeHandler(std::move(handler));
    }
    // The network preferences of the show, handed to the output objects.
    void applyNetworkPreferences();
    // OSC input listens on the port this run was started with (the command
    // line) or else on the user's port (usersettings); 0 and none: off. A
    // show never opens a port. Takes effect at once.
    void setOscInPort(quint16 userPort);
    void setRunOscInPort(std::optional<quint16> port);

    // How often a DMX-IN buffer was registered anew.
    int inputSetUps() const { return m_inputSetUps; }
    OutputObjects &objects() { return m_objects; }
    const OutputDispatch &output() const { return m_output; }
    const InputDispatch &input() const { return m_input; }

private:
    // A control (id) or the background (id 0) listening to an input, with
    // the value it was last offered (-1: none yet).
    struct Listener {
        quint32 id = 0;
        SettingDmxInStruct in;
        int offered = -1;
    };
    // The listeners of one network universe, in document order.
    struct Universe {
        std::vector<Listener> listeners;
        bool arrived = false; // since the last pass
    };
    // The listeners of one OSC address (or pattern) listened to.
    struct OscInput {
        std::vector<Listener> listeners;
        bool pattern = false;
        bool arrived = false; // since the last pass
    };
    static quint32 universeKey(quint8 protocol, int universe)
    {
        return quint32(protocol) << 16 | quint32(universe & 0xFFFF);
    }
    void indexListeners();
    // An OSC message arrived: a literal address is looked up, a pattern
    // matched against every address listened to; a pattern listened to is
    // matched against a literal address that arrives.
    void oscArrived(QByteArrayView address, const oscpacket::Value &value);
    void oscLevelArrived(const QByteArray &listened, quint8 level);
    void listenOsc();
    // Something arrived: its listeners are offered their values in the pass
    // that follows, once however often it arrives before.
    void arrived(quint8 protocol, int universe);
    // The pass: each listener of what arrived whose value changed takes it;
    // what that sends leaves at the end.
    void followInputs();
    void offer(Listener &listener, const PreferencesStruct &prefs);

    const ShowDocument &m_document;
    const Surface &m_surface;
    OutputObjects m_objects;
    OutputDispatch m_output;
    InputDispatch m_input;
    int m_inputSetUps = 0;
    bool m_inputsHeld = false;
    bool m_showStarted = false;
    std::function<void(const QColor &)> m_backgroundHandler;
    std::unordered_map<quint32, Universe> m_universes; // by universeKey
    std::vector<quint32> m_arrived;                    // keys, in order of arrival
    std::vector<Listener> m_midiListeners;
    bool m_midiArrived = false;
    QHash<QByteArray, OscInput> m_oscInputs; // by the address listened to
    std::vector<QByteArray> m_oscPatterns;   // the keys listened to that are patterns
    std::vector<QByteArray> m_oscArrived;    // keys, in order of arrival
    quint16 m_userOscPort = 0;
    std::optional<quint16> m_runOscPort;
    // Runs followInputs once per pass of the event loop.
    QTimer m_followTimer;
};
