// What belongs to the user of this computer rather than to a show: kept in
// the per-user settings store (app/usersettings.h), changed only on the
// "This Computer" page of the preferences window, never in the undo history
// of a show, never written to or read from a show file.
#pragma once

#include <QtGlobal>

struct UserPreferences {
    // Ask the maker's site for a newer version 30 s after start. Off unless
    // the user switches it on: a console on a show network calls nowhere
    // unasked.
    bool check_updates = false;
    // A control made from the palette takes the next free address after the
    // one made before it.
    bool auto_patch = true;
    // The UDP port OSC input listens on; 0: OSC input off.
    quint16 osc_in_port = 0;

    bool operator==(const UserPreferences &o) const
    {
        return check_updates == o.check_updates && auto_patch == o.auto_patch &&
               osc_in_port == o.osc_in_port;
    }
    bool operator!=(const UserPreferences &o) const { return !(*this == o); }
};
