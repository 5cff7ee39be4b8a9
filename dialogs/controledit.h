// The control editor's state without its window: a private working record
// that every field writes to, the destination record it is applied to, and
// the picture file chosen for it. Nothing reaches the destination before
// apply().
//
// A destination whose id is 0 is a control that is not in the show yet
// (add mode); any other id edits that control (edit mode).
#pragma once

#include "model/settingstruct.h"

#include <QString>

#include <functional>

class ControlEdit
{
public:
    // Finds whether the record to apply may go in; true: no findings.
    using Check = std::function<bool(SettingStruct *)>;
    // Asked after findings; true: the user wants to change the settings
    // (nothing is applied), false: apply anyway.
    using KeepEditing = std::function<bool()>;

    enum class Result { Applied, KeptEditing, NoDestination };

    // Works on a copy of `destination` from now on; null is ignored.
    void start(SettingStruct *destination);
    SettingStruct *destination() const { return m_destination; }
    bool isAdd() const { return m_add; }

    SettingStruct &working() { return m_working; }
    const SettingStruct &working() const { return m_working; }

    // Sets the control type and gives what it does not use its defaults
    // (applyTypeResets()).
    void setControlType(quint8 type);

    // A picture file chosen by the user: its bytes read now (null when
    // unreadable or no picture) and read again on apply.
    void takeBitmapFile(const QString &path);
    void deleteBitmap();

    // The working record as apply() would write it: outputs and input
    // brought into the ranges of their protocols.
    SettingStruct recordToApply() const;

    // Checks the record to apply (a null check finds nothing), asks
    // `keepEditing` about findings (null: apply anyway), reads the pending
    // picture again, then writes the record to the destination and keeps it
    // as the working record.
    Result apply(const Check &check, const KeepEditing &keepEditing);

    // The room a series of added controls fills, in stored units: the
    // background's width (0: no limit) and the gap left between controls.
    struct Room {
        quint32 width = 0;
        quint32 gap = 0;
    };
    // After an add ("Add & Next"): the working record becomes the next
    // control, with what the user set carried over, placed right of the one
    // just added or, where the background ends, below the row at the left
    // edge the series started from.
    void startNext(const Room &room);

private:
    SettingStruct m_working;
    SettingStruct *m_destination = nullptr;
    QString m_pendingBitmap;
    bool m_add = true;
    // The row of a series of adds: its left edge, top and lowest bottom.
    quint32 m_rowLeft = 0;
    quint32 m_rowTop = 0;
    quint64 m_rowBottom = 0;
};
