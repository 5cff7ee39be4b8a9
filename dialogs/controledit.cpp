#include "controledit.h"

#include "settingsrules.h"

void ControlEdit::start(SettingStruct *destination)
{
    if (!destination)
        return;
    m_destination = destination;
    m_working = *destination;
    m_pendingBitmap.clear();
    m_add = destination->id == 0;
}

void ControlEdit::setControlType(quint8 type)
{
    m_working.control_type = type;
    applyTypeResets(m_working);
}

void ControlEdit::takeBitmapFile(const QString &path)
{
    m_pendingBitmap = path;
    // The file's bytes as they are; nothing when it is no picture.
    m_working.bitmap = Picture::fromFile(path);
}

void ControlEdit::deleteBitmap()
{
    m_pendingBitmap.clear();
    m_working.bitmap = Picture();
}

SettingStruct ControlEdit::recordToApply() const
{
    SettingStruct record = m_working;
    clampOutput(record.dmx_out);
    clampOutput(record.dmx_out_advanced);
    clampInput(record.dmx_in);
    return record;
}

ControlEdit::Result ControlEdit::apply(const Check &check, const KeepEditing &keepEditing)
{
    if (!m_destination)
        return Result::NoDestination;
    SettingStruct record = recordToApply();
    // A new control (id 0) is checked against every control of the show.
    const bool consistent = !check || check(&record);
    if (!consistent && keepEditing && keepEditing())
        return Result::KeptEditing;
    if (!m_pendingBitmap.isEmpty())
        record.bitmap = Picture::fromFile(m_pendingBitmap);
    m_working = record;
    *m_destination = record;
    return Result::Applied;
}
