// The console's output objects: one Art-Net node, one streaming ACN node,
// one MIDI object, one HTTP and one command output, each created on first
// use and kept until the configuration is cleared or the console closes.
// They serve both directions: the output dispatch sends through them and the
// input dispatch registers its DMX-IN buffers with them and polls them.
#pragma once

#include "inputdispatch.h"
#include "midibackend.h"
#include "netenvironment.h"
#include "outputdispatch.h"

#include <functional>
#include <memory>

class artnet;
class acnnet;
class AcnSourceId;
class midi;
class http;
class command;

class OutputObjects : public OutputPorts, public InputPorts
{
public:
    // The network nodes see the world through env, the MIDI object through
    // a backend from midiBackend (empty: the platform's). Tests hand in fakes.
    explicit OutputObjects(const NetEnvironment &env = NetEnvironment::system(),
                           std::function<std::unique_ptr<MidiBackend>()> midiBackend = {});
    ~OutputObjects() override;

    // OutputPorts: each failure is the object's own reason, already logged
    // by the object.
    SendOutcome sendArtNet(quint16 universe, const QByteArray &data) override;
    SendOutcome sendAcn(quint16 universe, const QByteArray &data) override;
    SendOutcome sendMidi(int device, quint8 status, quint8 channel, quint8 data1,
                         quint8 data2) override;
    SendOutcome requestUrl(const QString &server, const QString &link) override;
    SendOutcome runCommand(const QString &path, const QString &command) override;

    // InputPorts
    void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                          const QList<int> &universes) override;
    void ensureMidi() override;
    bool receivedValue(quint8 protocol, quint16 universe, quint16 channel, quint8 *value) override;
    bool midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                        quint8 *value) override;

    // Deletes every object (New, Open, exit). Registered DMX-IN buffers are
    // forgotten with their nodes; observers stay and go to the next nodes.
    void clear();

    // Every DMX frame the Art-Net and streaming ACN nodes receive, on any
    // universe, goes to `observer` on this thread: protocol (PT_ARTNET,
    // PT_ACN), universe as the console stores it, the levels and their
    // number. Creates both nodes and opens their sockets; the streaming ACN
    // node joins the groups of `acnUniverses` (0-based) besides DMX-IN's.
    // An empty observer switches observing off and leaves those groups.
    // False when a socket cannot be opened or a group not joined.
    using DmxObserver =
        std::function<void(quint8 protocol, int universe, const quint8 *levels, int count)>;
    bool observeDmx(DmxObserver observer, const QList<int> &acnUniverses = {});
    // Every MIDI message from the inputs goes to `observer`, on the MIDI
    // input thread (see midi::setInputObserver). Opens input `device`
    // (0-based; negative: none); false when it cannot be opened. An empty
    // observer switches observing off and leaves the input open.
    bool observeMidi(int device,
                     std::function<void(quint8 status, quint8 data1, quint8 data2)> observer);

    // Lines the nodes have for the user's status line (another console on a
    // universe we send, a universe the system will not listen to); also given
    // to nodes created later.
    void setStatusReporter(std::function<void(const QString &)> report);

    // The nodes, created as the console configures them.
    artnet *artnetNode();
    acnnet *acnNode();
    midi *midiObject();

private:
    // Hand the node the current observer (or none); the node exists.
    bool hookArtnet();
    bool hookAcn();

    NetEnvironment m_env;
    std::function<std::unique_ptr<MidiBackend>()> m_midiBackend;
    DmxObserver m_dmxObserver;
    QList<int> m_acnObserved;
    std::function<void(quint8, quint8, quint8)> m_midiObserver;
    std::unique_ptr<artnet> m_artnet;
    std::unique_ptr<acnnet> m_acn;
    std::function<void(const QString &)> m_report;
    // This console's streaming ACN CID, claimed once and kept to the end.
    std::unique_ptr<AcnSourceId> m_acnSource;
    std::unique_ptr<midi> m_midi;
    std::unique_ptr<http> m_http;
    std::unique_ptr<command> m_command;
};
