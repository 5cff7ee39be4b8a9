// What belongs to the user of this computer rather than to a show: kept in
// the per-user settings store (app/usersettings.h), changed only on the
// "This Computer" page of the preferences window, never in the undo history
// of a show, never written to or read from a show file.
#pragma once

#include <QByteArray>
#include <QString>
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
    // The web remote: a page for phones and tablets on the show network.
    // Off unless the user switches it on; it never starts without a PIN.
    bool remote_enabled = false;
    quint16 remote_port = 9080;
    // The network interface it listens on besides loopback, by name;
    // empty: the one the show's Art-Net and streaming ACN use.
    QString remote_interface;
    // Clients may operate controls; false: they only watch.
    bool remote_operate = true;
    // The PIN as a salted hash (remote/pinguard.h); empty: none set.
    QByteArray remote_pin_hash;
    // Controls that run a command, call an HTTP host other than this
    // computer, or send OSC off the show network may be operated from the
    // page; false: they are watch-only there.
    bool remote_risky_outputs = false;

    bool operator==(const UserPreferences &o) const
    {
        return check_updates == o.check_updates && auto_patch == o.auto_patch &&
               osc_in_port == o.osc_in_port && remote_enabled == o.remote_enabled &&
               remote_port == o.remote_port && remote_interface == o.remote_interface &&
               remote_operate == o.remote_operate && remote_pin_hash == o.remote_pin_hash &&
               remote_risky_outputs == o.remote_risky_outputs;
    }
    bool operator!=(const UserPreferences &o) const { return !(*this == o); }
};
