// The MIDI operations of the platform, as the midi class uses them. Devices
// are addressed by their index in the platform's device list; handles are
// opaque to the caller (0 = none).
//
// Result codes follow the multimedia MIDI API the class was first written
// against, so they stay the same on every platform:
//   0  no error
//   1  unspecified error
//   2  bad device index
//   4  device already allocated (in use elsewhere)
//   5  invalid handle
//  11  invalid parameter (not a short message)
//  67  device not ready
//  70  bad open mode
#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class MidiBackend
{
public:
    using Handle = quintptr;

    enum ResultCode : int {
        NoError = 0,
        Error = 1,
        BadDeviceId = 2,
        Allocated = 4,
        InvalidHandle = 5,
        InvalidParameter = 11,
        NotReady = 67,
        BadOpenMode = 70,
    };

    // Message kinds passed to the input callback.
    enum InputMessage : unsigned {
        InputOpen = 0x3C1,
        InputClose = 0x3C2,
        InputData = 0x3C3,
        InputError = 0x3C5,
        InputMoreData = 0x3CC,
    };

    // Called on a thread of the platform. For InputData, message holds the
    // status byte in bits 0-7, data byte 1 in bits 8-15, data byte 2 in
    // bits 16-23.
    using InputCallback = void (*)(unsigned kind, quint32 message);

    virtual ~MidiBackend() = default;

    virtual unsigned outputCount() = 0;
    virtual QString outputName(unsigned device) = 0;
    virtual unsigned inputCount() = 0;
    virtual QString inputName(unsigned device) = 0;

    // Opens output device i. Returns a result code; on 0 *handle is set.
    virtual int openOutput(unsigned device, Handle *handle) = 0;
    // Silences a freshly opened output.
    virtual void resetOutput(Handle handle) = 0;
    // Sends one packed short message (status in bits 0-7, data 1 in 8-15,
    // data 2 in 16-23). Returns 0, InvalidHandle, NotReady, BadOpenMode or
    // another result code.
    virtual int sendShortMessage(Handle handle, quint32 message) = 0;
    virtual void closeOutput(Handle handle) = 0;

    // Opens input device i with the callback (status messages enabled).
    // Returns a result code; on 0 *handle is set. Data is delivered only
    // between startInput and stopInput.
    virtual int openInput(unsigned device, InputCallback callback, Handle *handle) = 0;
    virtual void resetInput(Handle handle) = 0;
    virtual void startInput(Handle handle) = 0;
    // After stopInput returns, the callback is no longer called with data.
    virtual void stopInput(Handle handle) = 0;
    // After closeInput returns, the callback is no longer called at all.
    virtual void closeInput(Handle handle) = 0;
};

// The backend of this platform: RtMidi (ALSA when it can be opened, else
// JACK; WinMM on Windows; CoreMIDI on macOS). Never throws; with no MIDI
// system at all it has no devices.
std::unique_ptr<MidiBackend> createPlatformMidiBackend();
