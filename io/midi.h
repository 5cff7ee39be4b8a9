// MIDI short messages out to a device, and a table of the last value
// received per message type, channel and key/controller from an input
// device.
//
// Devices are chosen by index into the device lists taken on first use;
// an index keeps naming the same device for the life of the object.
// Devices are opened on first use and stay open until the object is
// destroyed.
//
// Promises (devices that come and go): once a device is open, the platform's
// port lists are looked at every DEVICE_POLL_MS. A device that is open and
// disappears is closed and reported to the notice handler; sends to it
// return SendNotOpened meanwhile. When a port of its name (JACK's renamed
// client included) appears again, it is opened again at the next look and
// reported. Devices attached later are appended to the lists. Only one midi object at a time can
// own open inputs: the platform's input callback stores into the last one that opened one.
//
// Threads: everything runs on the caller's (GUI) thread except the input
// callback, which runs on a platform thread and only writes the table.
#pragma once

#include "io/midibackend.h"

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

// `pultora.io.midi`: MIDI diagnostics, warnings by default.
Q_DECLARE_LOGGING_CATEGORY(lcMidi)

class midi : public QObject
{
    Q_OBJECT
public:
    // Result codes of sendShortMessage.
    enum SendResult : int {
        SendOk = 1,
        SendNoDevice = -1,      // index past the devices, or the device failed to open
        SendNotOpened = -2,     // the device could not be marked opened
        SendInvalidHandle = -3, // the platform rejected the handle
        SendNotReady = -4,      // the device was not ready (message lost)
        SendBadOpenMode = -5,
        SendFailed = -6, // any other platform error
    };

    static constexpr int DEVICE_POLL_MS = 1000;

    midi();                                              // the platform's MIDI system
    explicit midi(std::unique_ptr<MidiBackend> backend); // e.g. a test double
    ~midi() override;

    // Receives messages for the user: a device disappeared or came back.
    void setNoticeHandler(std::function<void(const QString &)> handler)
    {
        m_notice = std::move(handler);
    }
    // Compares the open devices with the platform's port lists now: closes
    // the ones that are gone, opens again the ones that are back. The
    // device poll timer calls it; true when anything changed.
    bool checkDevices();

    // Sends (channel & 0x0F) | (status & 0xF0), data1 & 0x7F, data2 & 0x7F to
    // output device `device`, opening it first if needed. Returns a
    // SendResult: 1 when sent, a negative code otherwise. A failure is logged
    // as a warning on `pultora.io.midi` (a run of equal failures once).
    int sendShortMessage(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 data2);
    // What a SendResult means, in a few words ("no such MIDI output device").
    static QString sendResultText(int result);

    // The last data byte 2 received on input device `device` for the
    // message type of `status` (upper nibble), `channel` and data byte 1.
    // Opens the input first if needed. False when the device cannot be
    // opened, channel > 15, or nothing of that type and channel arrived yet.
    bool getInputValue(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 &value);

    // Opens input device `device` if it is not open yet (a device that
    // failed once is not tried again); true when it is open.
    bool openInputDevice(quint8 device) { return openInput(device); }

    // Sees every short message the open inputs deliver, after it has gone
    // into the table: status byte, data bytes 1 and 2 (system messages
    // included). Runs on the platform's input thread while the input
    // callback holds its lock, so it must be quick and must not call into
    // any midi object; hand the message to another thread instead. Once
    // setInputObserver returns, the observer it replaced is neither running
    // nor called again. Also set before an input is open; an empty one
    // switches observing off.
    using InputObserver = std::function<void(quint8 status, quint8 data1, quint8 data2)>;
    void setInputObserver(InputObserver observer);

    // Told on the object's thread, once per pass of its event loop, that
    // messages went into the table since it was last told.
    void setInputNotifier(std::function<void()> notifier) { m_inputNotifier = std::move(notifier); }

    // Device names as the platform reports them, in device-index order.
    QStringList outputDeviceNames();
    QStringList inputDeviceNames();

    // The same lists, taken from the platform's MIDI system right now.
    static QStringList platformOutputDeviceNames();
    static QStringList platformInputDeviceNames();

    // The platform's input callback: stores data into the instance whose
    // input is open. Public so that backends and tests can feed it.
    static void inputCallback(unsigned kind, quint32 message);

private:
    struct MidiDeviceRecord {
        bool opened = false;
        MidiBackend::Handle handle = 0;
        QString name;
        int platformIndex = -1; // in the backend's latest list; -1 while gone
        bool wanted = false;    // opened once: reopened when it comes back
    };
    // One channel row: the last data byte 2 per data byte 1.
    struct ChannelRow {
        std::array<std::atomic<quint8>, 128> values;
        ChannelRow();
    };
    // One message-type row: 16 lazily created channel rows.
    struct TypeRow {
        std::array<std::atomic<ChannelRow *>, 16> channels;
        TypeRow();
        ~TypeRow();
    };

    void enumerateOutputs();
    void enumerateInputs();
    void openOutput(int device);
    bool openInput(int device);
    void storeMessage(quint32 message);
    // On the input thread, after a message was stored: one queued call of
    // the notifier, however many messages follow before it runs.
    void inputStored();
    void closeAll();
    void startDevicePoll();
    bool checkList(QList<MidiDeviceRecord> &records, bool output);
    int send(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 data2);

    std::unique_ptr<MidiBackend> m_backend;
    QList<MidiDeviceRecord> m_outputs;
    QList<MidiDeviceRecord> m_inputs;
    bool m_outputsEnumerated = false;
    bool m_inputsEnumerated = false;
    int m_lastSendResult = SendOk;
    int m_lastSendDevice = -1;
    // Rows are published with release stores and read with acquire loads;
    // once published a row is never changed except cell by cell, and freed
    // only after every input is closed.
    std::array<std::atomic<TypeRow *>, 8> m_table;
    // Read and replaced under the input callback's lock.
    InputObserver m_observer;
    std::function<void()> m_inputNotifier;
    std::atomic<bool> m_inputPending{false};
    std::function<void(const QString &)> m_notice;
    class QTimer *m_devicePoll = nullptr;
};

// The 1-based number of the device a stored name denotes in `names`, 0 when
// none matches or `stored` is empty. An exact match wins; otherwise, for
// JACK's "client:port" names, a port of the same name whose client differs
// only by the "-NN" suffix JACK gives a reused client name.
quint32 midiDeviceNumber(const QStringList &names, const QString &stored);
