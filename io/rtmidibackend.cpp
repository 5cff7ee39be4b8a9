// MIDI through RtMidi. On Linux RtMidi's default constructor gives up when
// there is no ALSA sequencer (it throws instead of trying JACK), so the API
// is chosen here: ALSA when a client can be opened, else JACK. Setting
// PULTORA_MIDI_API to "jack" or "alsa" forces one.
//
// Devices are the ports RtMidi lists; their index is the position in the
// list taken at enumeration, and a device is opened by that name, so ports
// that appear or vanish in between do not shift which one is opened.

#include "io/midibackend.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <RtMidi.h>

#include <atomic>
#include <vector>

Q_LOGGING_CATEGORY(lcRtMidi, "pultora.io.rtmidi", QtWarningMsg)

namespace
{

constexpr char CLIENT_NAME[] = "Pultora";
constexpr char OUTPUT_PORT_NAME[] = "midi_out";
constexpr char INPUT_PORT_NAME[] = "midi_in";
// RtMidi 5.0 with JACK frees an output's ring buffer while JACK's process
// thread may still read it: close the port and let a cycle pass first.
constexpr unsigned long CLOSE_SETTLE_MS = 20;

RtMidi::Api chooseApi()
{
    const QByteArray forced = qgetenv("PULTORA_MIDI_API").toLower();
    if (forced == "jack")
        return RtMidi::UNIX_JACK;
    if (forced == "alsa")
        return RtMidi::LINUX_ALSA;
#if defined(Q_OS_LINUX)
    try {
        RtMidiOut probe(RtMidi::LINUX_ALSA, CLIENT_NAME);
        if (probe.getCurrentApi() == RtMidi::LINUX_ALSA)
            return RtMidi::LINUX_ALSA;
    } catch (const RtMidiError &e) {
        qCDebug(lcRtMidi) << "ALSA unavailable, using JACK:" << e.what();
    } catch (...) {
    }
    return RtMidi::UNIX_JACK;
#else
    return RtMidi::UNSPECIFIED; // WinMM on Windows, CoreMIDI on macOS
#endif
}

RtMidi::Api platformApi()
{
    static const RtMidi::Api api = chooseApi();
    return api;
}

// Errors reported by RtMidi after construction arrive here instead of being
// thrown; the flag tells the caller that the last operation failed.
void onRtMidiError(RtMidiError::Type type, const std::string &text, void *userData)
{
    auto *failed = static_cast<std::atomic<bool> *>(userData);
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
        qCDebug(lcRtMidi) << "warning:" << text.c_str();
        // A full JACK ring buffer is only a warning, but the message is lost.
        if (text.find("full") != std::string::npos)
            failed->store(true);
        return;
    }
    qCWarning(lcRtMidi) << "error:" << text.c_str();
    failed->store(true);
}

template <class T> std::unique_ptr<T> createClient(std::atomic<bool> *failed)
{
    try {
        auto client = std::make_unique<T>(platformApi(), CLIENT_NAME);
        client->setErrorCallback(onRtMidiError, failed);
        return client;
    } catch (const std::exception &e) {
        qCDebug(lcRtMidi) << "cannot create a MIDI client:" << e.what();
    } catch (...) {
    }
    return nullptr;
}

QStringList portNames(RtMidi &client)
{
    QStringList names;
    try {
        const unsigned count = client.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            QString name = QString::fromStdString(client.getPortName(i));
#if defined(Q_OS_WIN)
            // RtMidi appends the port index to WinMM names; the stored
            // product name must not change when the index does.
            static const QRegularExpression portIndex(QStringLiteral(" [0-9]+$"));
            name.remove(portIndex);
#endif
            names << name;
        }
    } catch (...) {
        names.clear();
    }
    return names;
}

struct OutputPort {
    std::atomic<bool> failed{false};
    std::unique_ptr<RtMidiOut> out;
};

struct InputPort {
    std::atomic<bool> failed{false};
    std::atomic<bool> started{false};
    MidiBackend::InputCallback callback = nullptr;
    std::unique_ptr<RtMidiIn> in;
};

// Bytes a short message occupies, from its status byte; 0 for bytes that do
// not start a short message (data bytes, SysEx start and end).
size_t shortMessageLength(quint8 status)
{
    if (status < 0x80)
        return 0;
    if (status < 0xF0) {
        const quint8 kind = status & 0xF0;
        return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    }
    switch (status) {
    case 0xF1: // MTC quarter frame
    case 0xF3: // song select
        return 2;
    case 0xF2: // song position
        return 3;
    case 0xF0: // SysEx start
    case 0xF7: // SysEx end
    case 0xF4:
    case 0xF5:
    case 0xF9:
    case 0xFD:
        return 0;
    default: // tune request, real-time messages
        return 1;
    }
}

// Called on RtMidi's input thread (JACK's process thread under JACK).
void onRtMidiInput(double, std::vector<unsigned char> *message, void *userData)
{
    auto *port = static_cast<InputPort *>(userData);
    if (!port->started.load(std::memory_order_acquire) || !message || message->empty() ||
        message->size() > 3)
        return;
    quint32 packed = 0;
    for (size_t i = 0; i < message->size(); ++i)
        packed |= quint32((*message)[i]) << (8 * i);
    port->callback(MidiBackend::InputData, packed);
}

class RtMidiBackend : public MidiBackend
{
public:
    // The lists are asked for every second while a device is open: one
    // client per direction lists the ports, made anew only while it sees
    // none (the MIDI system may have started since).
    unsigned outputCount() override
    {
        m_outputs = listPorts(m_outputLister);
        return unsigned(m_outputs.size());
    }
    QString outputName(unsigned device) override { return m_outputs.value(int(device)); }

    unsigned inputCount() override
    {
        m_inputs = listPorts(m_inputLister);
        return unsigned(m_inputs.size());
    }
    QString inputName(unsigned device) override { return m_inputs.value(int(device)); }

    int openOutput(unsigned device, Handle *handle) override
    {
        if (device >= unsigned(m_outputs.size()))
            return BadDeviceId;
        auto port = std::make_unique<OutputPort>();
        port->out = createClient<RtMidiOut>(&port->failed);
        if (!port->out)
            return Error;
        const int index = portNames(*port->out).indexOf(m_outputs.at(int(device)));
        if (index < 0)
            return BadDeviceId;
        try {
            port->out->openPort(unsigned(index), OUTPUT_PORT_NAME);
        } catch (...) {
            port->failed = true;
        }
        if (port->failed || !port->out->isPortOpen()) {
            closeOutputPort(port.get());
            return Allocated;
        }
        *handle = Handle(port.release());
        return NoError;
    }

    // A freshly opened port has sounded no note of ours: nothing to silence.
    void resetOutput(Handle) override {}

    int sendShortMessage(Handle handle, quint32 message) override
    {
        auto *port = reinterpret_cast<OutputPort *>(handle);
        if (!port || !port->out || !port->out->isPortOpen())
            return InvalidHandle;
        const unsigned char bytes[3] = {quint8(message), quint8(message >> 8),
                                        quint8(message >> 16)};
        const size_t length = shortMessageLength(bytes[0]);
        if (length == 0)
            return InvalidParameter;
        port->failed = false;
        try {
            port->out->sendMessage(bytes, length);
        } catch (...) {
            return Error;
        }
        return port->failed ? int(NotReady) : int(NoError);
    }

    void closeOutput(Handle handle) override
    {
        auto *port = reinterpret_cast<OutputPort *>(handle);
        closeOutputPort(port);
        delete port;
    }

    int openInput(unsigned device, InputCallback callback, Handle *handle) override
    {
        if (device >= unsigned(m_inputs.size()) || !callback)
            return BadDeviceId;
        auto port = std::make_unique<InputPort>();
        port->callback = callback;
        port->in = createClient<RtMidiIn>(&port->failed);
        if (!port->in)
            return Error;
        const int index = portNames(*port->in).indexOf(m_inputs.at(int(device)));
        if (index < 0)
            return BadDeviceId;
        try {
            port->in->ignoreTypes(true, true, true); // SysEx, timing, active sensing
            port->in->setCallback(onRtMidiInput, port.get());
            port->in->openPort(unsigned(index), INPUT_PORT_NAME);
        } catch (...) {
            port->failed = true;
        }
        if (port->failed || !port->in->isPortOpen()) {
            closeInputPort(port.get());
            return Allocated;
        }
        callback(InputOpen, 0);
        *handle = Handle(port.release());
        return NoError;
    }

    void resetInput(Handle) override {}

    void startInput(Handle handle) override
    {
        if (auto *port = reinterpret_cast<InputPort *>(handle))
            port->started.store(true, std::memory_order_release);
    }

    void stopInput(Handle handle) override
    {
        if (auto *port = reinterpret_cast<InputPort *>(handle))
            port->started.store(false, std::memory_order_release);
    }

    void closeInput(Handle handle) override
    {
        auto *port = reinterpret_cast<InputPort *>(handle);
        if (!port)
            return;
        closeInputPort(port);
        port->callback(InputClose, 0);
        delete port;
    }

private:
    template <class T> QStringList listPorts(std::unique_ptr<T> &lister)
    {
        if (!lister)
            lister = createClient<T>(&m_listerFailed);
        QStringList names = lister ? portNames(*lister) : QStringList();
        if (names.isEmpty())
            lister.reset();
        return names;
    }

    static void closeOutputPort(OutputPort *port)
    {
        if (!port || !port->out)
            return;
        try {
            if (port->out->isPortOpen()) {
                port->out->closePort();
                QThread::msleep(CLOSE_SETTLE_MS);
            }
        } catch (...) {
        }
        port->out.reset();
    }

    // Destroying the client closes it, after which RtMidi calls nothing.
    static void closeInputPort(InputPort *port)
    {
        if (!port || !port->in)
            return;
        port->started = false;
        try {
            if (port->in->isPortOpen())
                port->in->closePort();
        } catch (...) {
        }
        port->in.reset();
    }

    QStringList m_outputs;
    QStringList m_inputs;
    std::atomic<bool> m_listerFailed{false};
    std::unique_ptr<RtMidiOut> m_outputLister;
    std::unique_ptr<RtMidiIn> m_inputLister;
};

} // namespace

std::unique_ptr<MidiBackend> createPlatformMidiBackend()
{
    return std::make_unique<RtMidiBackend>();
}
