#!/usr/bin/env python3
"""Independent MIDI peer for the JACK tests (python-rtmidi on JACK).

usage: midipeer.py IN_CLIENT OUT_CLIENT

Opens the JACK port IN_CLIENT:in, printing every message that arrives as
"in xx yy zz" (hex), and the port OUT_CLIENT:out, which sends what stdin
asks for ("send 90 3c 40"). Prints "ready" when both ports exist; "quit"
on stdin (or its end) closes the ports.
"""
import sys
import threading
import time

import rtmidi

lock = threading.Lock()


def say(line):
    with lock:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()


def main():
    in_client, out_client = sys.argv[1], sys.argv[2]
    api = rtmidi.API_UNIX_JACK
    midi_in = rtmidi.MidiIn(rtapi=api, name=in_client)
    midi_in.ignore_types(sysex=True, timing=True, active_sense=True)
    midi_in.set_callback(
        lambda event, _: say("in " + " ".join("%02x" % b for b in event[0])))
    midi_in.open_virtual_port("in")
    midi_out = rtmidi.MidiOut(rtapi=api, name=out_client)
    midi_out.open_virtual_port("out")
    say("ready")
    for line in sys.stdin:
        words = line.split()
        if words and words[0] == "send":
            midi_out.send_message([int(w, 16) for w in words[1:]])
        elif words and words[0] == "quit":
            break
    # Closing first and waiting a cycle keeps the server from stalling the
    # next client.
    midi_in.close_port()
    midi_out.close_port()
    time.sleep(0.02)
    midi_in.delete()
    midi_out.delete()
    say("bye")


if __name__ == "__main__":
    main()
