// A ConfigurationHost that records what the loader tells it, and the files
// the loader tests write and read.
#pragma once

#include "model/configuration.h"

#include <QFile>
#include <QList>
#include <QStringList>

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RecordingHost : public ConfigurationHost
{
public:
    QList<SettingStruct> controls;
    QList<BackgroundStruct> backgrounds;
    QList<PreferencesStruct> preferences;
    QList<ConsistenceCheckStruct> checks;
    QList<OutputRequest> requests; // those with something to allow
    QStringList warnings;          // "title|text"
    QStringList statusLines;
    QStringList currentFiles;
    QList<bool> modified;
    QStringList calls; // one word per call, in order
    int busyDepth = 0;
    bool answerYes = false;
    MidiDeviceNames devices;
    QList<QPair<qint64, qint64>> progress; // done, total; not in calls
    int cancelAtProgress = -1;             // progress call (0-based) that answers false

    void applyControl(const SettingStruct &r) override { calls << "control", controls << r; }
    void applyBackground(const BackgroundStruct &r) override
    {
        calls << "background", backgrounds << r;
    }
    void applyPreferences(const PreferencesStruct &r) override
    {
        calls << "preferences", preferences << r;
    }
    void applyCheckOptions(const ConsistenceCheckStruct &r) override
    {
        calls << "checks", checks << r;
    }
    void runSilentConsistencyCheck() override { calls << "consistency"; }
    void setCurrentFile(const QString &path) override { calls << "file", currentFiles << path; }
    void showStatus(const QString &text) override { calls << "status", statusLines << text; }
    void setModified(bool value) override { calls << "modified", modified << value; }
    void showWarning(const QString &title, const QString &text) override
    {
        calls << "warning", warnings << title + QLatin1Char('|') + text;
    }
    bool allowOutputs(const OutputRequest &request) override
    {
        if (!request.commandsRequested && request.httpLinks.isEmpty())
            return true;
        calls << "ask";
        requests << request;
        return answerYes;
    }
    void setBusy(bool busy) override
    {
        calls << (busy ? "busy" : "idle");
        busyDepth += busy ? 1 : -1;
    }
    MidiDeviceNames midiDevices() const override { return devices; }
    bool loadProgress(qint64 done, qint64 total) override
    {
        progress.append({done, total});
        return progress.size() - 1 != cancelAtProgress;
    }
};
