// The console's output objects: one Art-Net node, one streaming ACN node,
// one MIDI object, one HTTP and one command output, each created on first
// use and kept until the configuration is cleared or the console closes, and
// one OSC node, created on first use and kept to the end: OSC input is the
// user's, not the show's, and moves along to a new interface.
// They serve both directions: the output dispatch sends through them and the
// input dispatch registers its DMX-IN buffers with them, reads them and is
// told what arrived.
//
// Promises:
// - Frames, not fragments: every Art-Net and streaming ACN universe written
//   during one pass of the event loop leaves once, with its final values,
//   when the pass ends (or at flush()); a single write leaves at once after
//   the handler that made it returns.
// - Messages for the user (another sender on a universe of ours, a MIDI
//   device gone or back, a frame that did not leave, a chosen network
//   interface that is missing) reach the notice
//   handler at the end of the pass, after the status line of the send that
//   caused them. Which network a node uses is logged on `pultora.net` and
//   named in the Art-Net node report.
// - The interfaces are listed every InterfaceWatch::PERIOD_MS. When what
//   the nodes use changes (an interface appears, changes its address or
//   vanishes), the nodes move to it in place: Art-Net and streaming ACN
//   bind anew and send every universe on, with its levels, to the new
//   addresses (a vanished interface leaves them on loopback, as at start),
//   streaming ACN joins its groups on it and OSC input listens on its
//   address. Each such change gives one status line (notice handler) and
//   one log line; the network handler hears of every change of the listing.
//   An unchanged listing changes nothing.
#pragma once

#include "app/inputdispatch.h"
#include "app/outputdispatch.h"
#include "io/midibackend.h"
#include "net/interfacewatch.h"
#include "net/netenvironment.h"
#include "net/oscnode.h"

#include <QNetworkAddressEntry>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>

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

    // The interface the network nodes use (by name; empty: the first usable
    // one) and whether Art-Net always broadcasts. A new interface recreates
    // the nodes; their DMX-IN registrations and observers move along, and
    // every universe sent so far is sent again on the new network. True when
    // nodes were recreated.
    bool setNetworkOptions(const QString &interfaceName, bool alwaysBroadcast);
    void setNoticeHandler(std::function<void(const QString &)> handler)
    {
        m_noticeHandler = std::move(handler);
    }
    // Told after each change of the machine's interfaces (the web remote
    // listens anew).
    void setNetworkHandler(std::function<void()> handler) { m_networkHandler = std::move(handler); }
    // One look at the interfaces, as the watch timer takes it; moves the
    // nodes when what they use changed.
    void checkNetwork();
    // Sends every universe written since the last flush, one packet each,
    // then hands out pending notices.
    void flush();
    int pendingFrames() const { return int(m_pending.size()); }

    // OutputPorts: each failure is the object's own reason, already logged
    // by the object. Art-Net and streaming ACN universes are queued for the
    // end of the pass; their result is the node's last one.
    SendOutcome sendArtNet(quint16 universe, const QByteArray &data) override;
    SendOutcome sendAcn(quint16 universe, const QByteArray &data) override;
    SendOutcome sendMidi(int device, quint8 status, quint8 channel, quint8 data1,
                         quint8 data2) override;
    SendOutcome requestUrl(const QString &server, const QString &link) override;
    SendOutcome runCommand(const QString &path, const QString &command) override;
    // A host the OSC permission refuses is a failure; so is what the node
    // refuses at once (a missing socket, an IPv6 literal).
    SendOutcome sendOsc(const QString &host, quint16 port, const QByteArray &address, bool isFloat,
                        double number) override;

    // OSC output: the "host:port" targets that want plain messages, and the
    // hosts that may be resolved and sent to (unset: every host).
    void setOscPlainTargets(const QStringList &plainTargets);
    void setOscResolveAllowed(std::function<bool(const QString &host)> allowed);
    // OSC input on `port` (0: off) of the chosen interface's IPv4 address and
    // of 127.0.0.1. Empty when it listens or is off, else why not, which is
    // also logged on `pultora.net` and handed to the notice handler. The same
    // port on the same interface again changes nothing.
    QString listenOsc(quint16 port);
    quint16 oscInPort() const { return m_oscInPort; }
    // Every OSC message that arrives goes to the handler (the console's
    // inputs) and, while one is set, to the observer (learning).
    void setOscHandler(OscNode::MessageHandler handler) { m_oscHandler = std::move(handler); }
    void observeOsc(OscNode::MessageHandler observer) { m_oscObserver = std::move(observer); }
    // The address entries of the chosen interface; empty when the nodes are
    // on loopback only. Looked up once per choice of interface.
    const QList<QNetworkAddressEntry> &interfaceNetworks();

    // InputPorts
    void setReceiveBuffer(quint8 protocol, quint8 *buffer, int size,
                          const QList<int> &universes) override;
    void ensureMidi() override;
    bool receivedValue(quint8 protocol, quint16 universe, quint16 channel, quint8 *value) override;
    bool midiInputValue(int device, quint8 type, quint8 channel, quint8 number,
                        quint8 *value) override;
    void setArrivalHandler(ArrivalHandler handler) override { m_arrival = std::move(handler); }

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
    OscNode *oscNode();

private:
    // Hand the node the current observer (or none); the node exists.
    bool hookArtnet();
    bool hookAcn();
    SendOutcome queueFrame(quint8 protocol, quint16 universe, const QByteArray &data,
                           const QString &lastError);
    void notice(const QString &text);
    void arrived(quint8 protocol, int universe);
    // A chosen interface that is not there leaves the nodes on loopback: say so.
    void checkInterface();
    void scheduleFlush();
    void registerInput(quint8 protocol);
    // (Re)binds the OSC input on the current interface; the node exists.
    QString bindOsc();
    void oscArrived(QByteArrayView address, const oscpacket::Value &value);
    // Moves the existing nodes and OSC input to the watch's entries.
    void followNetwork();

    struct Registration {
        quint8 *buffer = nullptr;
        int size = 0;
        QList<int> universes;
    };

    NetEnvironment m_env;
    QString m_interfaceName;
    bool m_alwaysBroadcast = false;
    std::function<void(const QString &)> m_noticeHandler;
    std::function<void()> m_networkHandler;
    InterfaceWatch m_watch;
    QTimer m_watchTimer;
    QStringList m_notices;
    // (protocol, universe) -> the universe's current levels
    std::map<std::pair<quint8, quint16>, QByteArray> m_pending;
    // The last frame of every universe that left, for new nodes.
    std::map<std::pair<quint8, quint16>, QByteArray> m_sent;
    QTimer m_flushTimer;
    Registration m_artnetIn, m_acnIn;
    std::function<std::unique_ptr<MidiBackend>()> m_midiBackend;
    DmxObserver m_dmxObserver;
    QList<int> m_acnObserved;
    std::function<void(quint8, quint8, quint8)> m_midiObserver;
    std::unique_ptr<artnet> m_artnet;
    std::unique_ptr<acnnet> m_acn;
    std::function<void(const QString &)> m_report;
    ArrivalHandler m_arrival;
    // This console's streaming ACN CID, claimed once and kept to the end.
    std::unique_ptr<AcnSourceId> m_acnSource;
    std::unique_ptr<midi> m_midi;
    std::unique_ptr<http> m_http;
    std::unique_ptr<command> m_command;
    std::unique_ptr<OscNode> m_osc;
    QStringList m_oscPlain;
    std::function<bool(const QString &)> m_oscAllowed;
    quint16 m_oscInPort = 0;
    std::optional<QList<QNetworkAddressEntry>> m_networks;
    OscNode::MessageHandler m_oscHandler;
    OscNode::MessageHandler m_oscObserver;
};
