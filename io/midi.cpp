#include "io/midi.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QTimer>

Q_LOGGING_CATEGORY(lcMidi, "pultora.io.midi", QtWarningMsg)

namespace
{

// The instance whose input is open. Written on the GUI thread before an
// input is opened and cleared before inputs are closed; the input callback
// holds the mutex only while it stores one message, so clearing the pointer
// guarantees that no callback touches the instance afterwards.
QBasicMutex s_instanceMutex;
midi *s_instance = nullptr;

} // namespace

midi::ChannelRow::ChannelRow()
{
    for (auto &value : values)
        value.store(0, std::memory_order_relaxed);
}

midi::TypeRow::TypeRow()
{
    for (auto &channel : channels)
        channel.store(nullptr, std::memory_order_relaxed);
}

midi::TypeRow::~TypeRow()
{
    for (auto &channel : channels)
        delete channel.load(std::memory_order_acquire);
}

midi::midi() : midi(createPlatformMidiBackend()) {}

midi::midi(std::unique_ptr<MidiBackend> backend) : m_backend(std::move(backend))
{
    for (auto &row : m_table)
        row.store(nullptr, std::memory_order_relaxed);
}

midi::~midi()
{
    closeAll();
}

void midi::closeAll()
{
    if (m_devicePoll)
        m_devicePoll->stop();
    for (MidiDeviceRecord &record : m_outputs) {
        if (record.handle)
            m_backend->closeOutput(record.handle);
        record.handle = 0;
    }
    {
        QMutexLocker lock(&s_instanceMutex);
        if (s_instance == this)
            s_instance = nullptr;
    }
    for (MidiDeviceRecord &record : m_inputs) {
        if (record.handle) {
            m_backend->stopInput(record.handle);
            m_backend->closeInput(record.handle);
        }
        record.handle = 0;
    }
    for (auto &row : m_table)
        delete row.exchange(nullptr, std::memory_order_acq_rel);
}

void midi::enumerateOutputs()
{
    if (m_outputsEnumerated || !m_backend)
        return;
    m_outputsEnumerated = true;
    const unsigned count = m_backend->outputCount();
    for (unsigned i = 0; i < count; ++i) {
        MidiDeviceRecord record;
        record.name = m_backend->outputName(i);
        record.platformIndex = int(i);
        m_outputs.append(record);
    }
}

void midi::enumerateInputs()
{
    if (m_inputsEnumerated || !m_backend)
        return;
    m_inputsEnumerated = true;
    const unsigned count = m_backend->inputCount();
    for (unsigned i = 0; i < count; ++i) {
        MidiDeviceRecord record;
        record.name = m_backend->inputName(i);
        record.platformIndex = int(i);
        qCDebug(lcMidi).noquote() << "MIDI-IN #" + QString::number(i) + "--\"" + record.name + '"';
        m_inputs.append(record);
    }
}

void midi::startDevicePoll()
{
    if (m_devicePoll)
        return;
    m_devicePoll = new QTimer(this);
    m_devicePoll->setInterval(DEVICE_POLL_MS);
    connect(m_devicePoll, &QTimer::timeout, this, &midi::checkDevices);
    m_devicePoll->start();
}

bool midi::checkDevices()
{
    if (!m_backend)
        return false;
    bool changed = false;
    if (m_outputsEnumerated)
        changed = checkList(m_outputs, true) || changed;
    if (m_inputsEnumerated)
        changed = checkList(m_inputs, false) || changed;
    return changed;
}

bool midi::checkList(QList<MidiDeviceRecord> &records, bool output)
{
    QStringList present;
    const unsigned count = output ? m_backend->outputCount() : m_backend->inputCount();
    for (unsigned i = 0; i < count; ++i)
        present << (output ? m_backend->outputName(i) : m_backend->inputName(i));
    const QString kind = output ? QStringLiteral("output") : QStringLiteral("input");
    bool changed = false;
    QList<bool> claimed(present.size(), false);
    for (int i = 0; i < records.size(); ++i) {
        MidiDeviceRecord &r = records[i];
        const int at = int(midiDeviceNumber(present, r.name)) - 1;
        if (at >= 0)
            claimed[at] = true;
        const bool wasPresent = r.platformIndex >= 0;
        r.platformIndex = at;
        if (wasPresent && at < 0) {
            if (r.handle) {
                if (output) {
                    m_backend->closeOutput(r.handle);
                } else {
                    m_backend->stopInput(r.handle);
                    m_backend->closeInput(r.handle);
                }
            }
            r.handle = 0;
            r.opened = false;
            changed = true;
            if (r.wanted) {
                const QString text =
                    QStringLiteral("MIDI %1 device \"%2\" disappeared").arg(kind, r.name);
                qCWarning(lcMidi).noquote() << text;
                if (m_notice)
                    m_notice(text);
            }
        } else if (!wasPresent && at >= 0) {
            changed = true;
            r.opened = false;
            if (!r.wanted)
                continue;
            if (output)
                openOutput(i);
            else
                openInput(i);
            const QString text =
                r.handle ? QStringLiteral("MIDI %1 device \"%2\" is back").arg(kind, r.name)
                         : QStringLiteral("MIDI %1 device \"%2\" is back but cannot be opened")
                               .arg(kind, r.name);
            qCWarning(lcMidi).noquote() << text;
            if (m_notice)
                m_notice(text);
        }
    }
    // Devices attached since the lists were taken get new indexes.
    for (int at = 0; at < present.size(); ++at) {
        if (claimed.at(at))
            continue;
        MidiDeviceRecord record;
        record.name = present.at(at);
        record.platformIndex = at;
        records.append(record);
        changed = true;
    }
    return changed;
}

QStringList midi::outputDeviceNames()
{
    enumerateOutputs();
    QStringList names;
    for (const MidiDeviceRecord &record : qAsConst(m_outputs))
        names << record.name;
    return names;
}

QStringList midi::inputDeviceNames()
{
    enumerateInputs();
    QStringList names;
    for (const MidiDeviceRecord &record : qAsConst(m_inputs))
        names << record.name;
    return names;
}

QStringList midi::platformOutputDeviceNames()
{
    return midi(createPlatformMidiBackend()).outputDeviceNames();
}

QStringList midi::platformInputDeviceNames()
{
    return midi(createPlatformMidiBackend()).inputDeviceNames();
}

// A device that fails to open keeps no handle and is not tried again
// (until it disappears and comes back).
void midi::openOutput(int device)
{
    MidiDeviceRecord &record = m_outputs[device];
    if (record.opened || record.platformIndex < 0)
        return;
    MidiBackend::Handle handle = 0;
    const int result = m_backend->openOutput(unsigned(record.platformIndex), &handle);
    record.wanted = true;
    startDevicePoll();
    if (result == MidiBackend::NoError && handle) {
        m_backend->resetOutput(handle);
        record.handle = handle;
    } else {
        qCDebug(lcMidi) << "MIDI-OUT" << device << record.name << "cannot be opened:" << result;
    }
    record.opened = true;
}

int midi::sendShortMessage(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 data2)
{
    const int result = send(device, status, channel, data1, data2);
    // A fader on a device that is gone fails on every step: one warning per
    // run of equal failures.
    if (result != SendOk && (result != m_lastSendResult || device != m_lastSendDevice))
        qCWarning(lcMidi).noquote()
            << "MIDI-OUT" << device << "message not sent:" << sendResultText(result);
    m_lastSendResult = result;
    m_lastSendDevice = device;
    return result;
}

QString midi::sendResultText(int result)
{
    switch (result) {
    case SendOk:
        return QStringLiteral("sent");
    case SendNoDevice:
        return QStringLiteral("no such MIDI output device, or it cannot be opened");
    case SendNotOpened:
        return QStringLiteral("MIDI output device not opened");
    case SendInvalidHandle:
        return QStringLiteral("MIDI output device handle refused");
    case SendNotReady:
        return QStringLiteral("MIDI output device not ready");
    case SendBadOpenMode:
        return QStringLiteral("MIDI output device opened in the wrong mode");
    default:
        return QStringLiteral("MIDI send failed");
    }
}

int midi::send(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 data2)
{
    enumerateOutputs();
    if (device >= m_outputs.size())
        return SendNoDevice;
    openOutput(device);
    const MidiDeviceRecord &record = m_outputs.at(device);
    if (!record.opened)
        return SendNotOpened; // gone until it comes back
    if (!record.handle)
        return SendNoDevice;

    const quint32 message = quint32((channel & 0x0F) | (status & 0xF0)) |
                            quint32(data1 & 0x7F) << 8 | quint32(data2 & 0x7F) << 16;
    switch (m_backend->sendShortMessage(record.handle, message)) {
    case MidiBackend::NoError:
        qCDebug(lcMidi) << "MMSYSERR_NOERROR    ";
        return SendOk;
    case MidiBackend::InvalidHandle:
        qCDebug(lcMidi) << "MMSYSERR_INVALHANDLE";
        return SendInvalidHandle;
    case MidiBackend::NotReady:
        qCDebug(lcMidi) << "MIDIERR_NOTREADY    ";
        return SendNotReady;
    case MidiBackend::BadOpenMode:
        qCDebug(lcMidi) << "MIDIERR_BADOPENMODE ";
        return SendBadOpenMode;
    default:
        qCDebug(lcMidi) << "MIDI send failed";
        return SendFailed;
    }
}

bool midi::openInput(int device)
{
    enumerateInputs();
    if (device >= m_inputs.size())
        return false;
    MidiDeviceRecord &record = m_inputs[device];
    if (!record.opened && record.platformIndex >= 0) {
        {
            QMutexLocker lock(&s_instanceMutex);
            s_instance = this;
        }
        record.wanted = true;
        startDevicePoll();
        MidiBackend::Handle handle = 0;
        const int result =
            m_backend->openInput(unsigned(record.platformIndex), &midi::inputCallback, &handle);
        if (result == MidiBackend::NoError && handle) {
            m_backend->resetInput(handle);
            m_backend->startInput(handle);
            record.handle = handle;
        } else {
            qCDebug(lcMidi) << "MIDI-IN" << device << record.name << "cannot be opened:" << result;
        }
        record.opened = true;
    }
    return record.handle != 0;
}

bool midi::getInputValue(quint8 device, quint8 status, quint8 channel, quint8 data1, quint8 &value)
{
    if (!openInput(device))
        return false;
    // A row holds data bytes 0..127 only.
    if (channel > 15 || data1 > 127)
        return false;
    const TypeRow *type = m_table[(status & 0x70) >> 4].load(std::memory_order_acquire);
    if (!type)
        return false;
    const ChannelRow *row = type->channels[channel].load(std::memory_order_acquire);
    if (!row)
        return false;
    value = row->values[data1].load(std::memory_order_relaxed);
    return true;
}

void midi::inputStored()
{
    if (m_inputPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Cleared first: a message stored while the notifier runs asks again.
            m_inputPending = false;
            if (m_inputNotifier)
                m_inputNotifier();
        },
        Qt::QueuedConnection);
}

void midi::setInputObserver(InputObserver observer)
{
    {
        QMutexLocker lock(&s_instanceMutex);
        m_observer.swap(observer);
    }
    // The replaced observer is destroyed here, outside the lock.
}

void midi::inputCallback(unsigned kind, quint32 message)
{
    switch (kind) {
    case MidiBackend::InputOpen:
        qCDebug(lcMidi) << "MIDI Device Open";
        break;
    case MidiBackend::InputClose:
        qCDebug(lcMidi) << "MIDI Device Closed";
        break;
    case MidiBackend::InputData: {
        qCDebug(lcMidi) << "MIDI Data";
        QMutexLocker lock(&s_instanceMutex);
        if (s_instance) {
            s_instance->storeMessage(message);
            s_instance->inputStored();
            if (s_instance->m_observer)
                s_instance->m_observer(quint8(message), quint8((message >> 8) & 0x7F),
                                       quint8((message >> 16) & 0x7F));
        }
        break;
    }
    case MidiBackend::InputError:
        qCDebug(lcMidi) << "MIDI Error";
        break;
    case MidiBackend::InputMoreData:
        qCDebug(lcMidi) << "MIDI MoreData";
        break;
    default:
        break;
    }
}

// Runs on the platform's input thread. Rows are built completely before
// they are published; with more than one input open, two callbacks may race
// to create the same row, and the loser frees its copy.
void midi::storeMessage(quint32 message)
{
    const quint8 status = quint8(message);
    const int type = (status & 0x70) >> 4;
    const int channel = status & 0x0F;
    const int data1 = (message >> 8) & 0x7F;
    const quint8 data2 = (message >> 16) & 0x7F;

    TypeRow *typeRow = m_table[type].load(std::memory_order_acquire);
    if (!typeRow) {
        auto *fresh = new TypeRow;
        if (m_table[type].compare_exchange_strong(typeRow, fresh, std::memory_order_acq_rel))
            typeRow = fresh;
        else
            delete fresh;
    }
    ChannelRow *row = typeRow->channels[channel].load(std::memory_order_acquire);
    if (!row) {
        auto *fresh = new ChannelRow;
        if (typeRow->channels[channel].compare_exchange_strong(row, fresh,
                                                               std::memory_order_acq_rel))
            row = fresh;
        else
            delete fresh;
    }
    if (row->values[data1].load(std::memory_order_relaxed) != data2) {
        row->values[data1].store(data2, std::memory_order_relaxed);
        qCDebug(lcMidi) << "Channel:" << channel << ", StatusByte:" << type
                        << ", DataByte1:" << data1 << ", DataByte2:" << data2;
    }
}

quint32 midiDeviceNumber(const QStringList &names, const QString &stored)
{
    if (stored.isEmpty())
        return 0;
    const int exact = names.indexOf(stored);
    if (exact >= 0)
        return quint32(exact + 1);

    // JACK names ports "client:port" and renames a client whose name is
    // taken by appending "-NN".
    static const QRegularExpression suffix(QStringLiteral("-[0-9]{2,}$"));
    const auto split = [](const QString &name, QString *client, QString *port) {
        const int colon = name.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return false;
        *client = name.left(colon);
        client->remove(suffix);
        *port = name.mid(colon + 1);
        return true;
    };
    QString storedClient, storedPort;
    if (!split(stored, &storedClient, &storedPort))
        return 0;
    for (int i = 0; i < names.size(); ++i) {
        QString client, port;
        if (split(names.at(i), &client, &port) && client == storedClient && port == storedPort)
            return quint32(i + 1);
    }
    return 0;
}
