#include "dialogs/controledit.h"

#include "dialogs/settingsrules.h"

void ControlEdit::start(SettingStruct *destination)
{
    if (!destination)
        return;
    m_destination = destination;
    m_working = *destination;
    m_pendingBitmap.clear();
    m_add = destination->id == 0;
    m_rowLeft = destination->position_x;
    m_rowTop = destination->position_y;
    m_rowBottom = quint64(destination->position_y) + destination->size_y;
}

void ControlEdit::setControlType(quint8 type)
{
    m_working.control_type = type;
    applyTypeResets(m_working);
    if (!bitmapRowVisible(type))
        m_pendingBitmap.clear();
}

void ControlEdit::startNext(const Room &room)
{
    SettingStruct &w = m_working;
    const quint64 bottom = quint64(w.position_y) + w.size_y;
    if (w.position_y != m_rowTop)
        m_rowBottom = bottom; // placed by hand on a row of its own
    else
        m_rowBottom = qMax(m_rowBottom, bottom);
    m_rowTop = w.position_y;
    const quint64 right = quint64(w.position_x) + w.size_x + room.gap;
    if (room.width == 0 || right + w.size_x <= room.width) {
        w.position_x = quint32(qMin<quint64>(right, UINT32_MAX));
        return;
    }
    w.position_x = quint64(m_rowLeft) + w.size_x <= room.width ? m_rowLeft : 0;
    w.position_y = quint32(qMin<quint64>(m_rowBottom + room.gap, UINT32_MAX));
    m_rowTop = w.position_y;
    m_rowBottom = quint64(w.position_y) + w.size_y;
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
