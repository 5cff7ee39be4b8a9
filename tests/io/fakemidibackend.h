// A MIDI backend that records what the midi class asks of the platform.
#pragma once

#include "io/midibackend.h"

#include <QList>
#include <QStringList>

struct FakeMidiLog {
    QList<quint32> sent;     // packed short messages, in order
    QList<QByteArray> calls; // operation names, in order
    int openOutputCalls = 0;
    int openInputCalls = 0;
};

class FakeMidiBackend : public MidiBackend
{
public:
    explicit FakeMidiBackend(FakeMidiLog *log) : m_log(log) {}

    QStringList outputs{QStringLiteral("Out A"), QStringLiteral("Out B")};
    QStringList inputs{QStringLiteral("In A")};
    int openOutputResult = NoError; // what openOutput reports
    int openInputResult = NoError;
    int sendResult = NoError; // what every send reports
    InputCallback callback = nullptr;

    unsigned outputCount() override { return unsigned(outputs.size()); }
    QString outputName(unsigned device) override { return outputs.value(int(device)); }
    unsigned inputCount() override { return unsigned(inputs.size()); }
    QString inputName(unsigned device) override { return inputs.value(int(device)); }

    int openOutput(unsigned device, Handle *handle) override
    {
        m_log->calls << "openOutput";
        ++m_log->openOutputCalls;
        if (openOutputResult != NoError)
            return openOutputResult;
        *handle = Handle(100 + device);
        return NoError;
    }
    void resetOutput(Handle) override { m_log->calls << "resetOutput"; }
    int sendShortMessage(Handle, quint32 message) override
    {
        m_log->sent << message;
        return sendResult;
    }
    void closeOutput(Handle) override { m_log->calls << "closeOutput"; }

    int openInput(unsigned device, InputCallback cb, Handle *handle) override
    {
        m_log->calls << "openInput";
        ++m_log->openInputCalls;
        if (openInputResult != NoError)
            return openInputResult;
        callback = cb;
        *handle = Handle(200 + device);
        return NoError;
    }
    void resetInput(Handle) override { m_log->calls << "resetInput"; }
    void startInput(Handle) override { m_log->calls << "startInput"; }
    void stopInput(Handle) override { m_log->calls << "stopInput"; }
    void closeInput(Handle) override { m_log->calls << "closeInput"; }

private:
    FakeMidiLog *m_log;
};
