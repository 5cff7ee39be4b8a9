// The console's output objects: one Art-Net node, one streaming ACN node,
// one MIDI object, one HTTP and one command output, each created on first
// use and kept until the configuration is cleared or the console closes.
// They serve both directions: the output dispatch sends through them and the
// input dispatch registers its DMX-IN buffers with them and polls them.
#pragma once

#include "inputdispatch.h"
#include "netenvironment.h"
#include "outputdispatch.h"

#include <memory>

class artnet;
class acnnet;
class midi;
class http;
class command;

class OutputObjects : public OutputPorts, public InputPorts
{
public:
    // The network nodes see the world through env (tests hand in fakes).
    explicit OutputObjects(const NetEnvironment &env = NetEnvironment::system());
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
    // forgotten with their nodes.
    void clear();

    // The nodes, created as the console configures them.
    artnet *artnetNode();
    acnnet *acnNode();
    midi *midiObject();

private:
    NetEnvironment m_env;
    std::unique_ptr<artnet> m_artnet;
    std::unique_ptr<acnnet> m_acn;
    std::unique_ptr<midi> m_midi;
    std::unique_ptr<http> m_http;
    std::unique_ptr<command> m_command;
};
