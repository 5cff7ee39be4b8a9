#!/usr/bin/python3
"""headless_test.py PULTORA: the console run as a service, in the network
namespace. A show's values leave over Art-Net, a web remote client moves a
fader and its value leaves, SIGTERM ends the run with 0 after three E1.31
Stream_Terminated packets and the last session; a show's command runs only
with --allow-commands."""
import asyncio
import http.client
import json
import os
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

import websockets

PULTORA = os.path.abspath(sys.argv[1])
REMOTE_PORT = 39080
OSC_PORT = 39018

SHOW = """<PultoraConfig>
 <preferences version="1" startup_dmxsend_later="0"/>
 <background version="1" size_x="300" size_y="200"/>
 <control version="1" name="Dim" control_type="fader_vertical" protocol_type="Art-Net"
  dmx_value_1="0" dmx_value_2="255" dmx_channel="0" dmx_universe="2"/>
 <control version="1" name="Haze" control_type="button_switch" protocol_type="streaming ACN"
  dmx_value_1="0" dmx_value_2="255" dmx_channel="0" dmx_universe="5" position_x="80"/>
</PultoraConfig>
"""
COMMAND_SHOW = """<PultoraConfig>
 <preferences version="1" command_flag="1"/>
 <control version="1" name="Go" control_type="fader_vertical" protocol_type="Command"
  dmx_command_filename="touch {0}" protocol_type_in="OSC" dmx_in_osc_address="/go"/>
</PultoraConfig>
"""


RUNNING = []


def fail(text):
    print("FAIL:", text, flush=True)
    for process in RUNNING:
        process.kill()
        print(process.communicate()[1])
    sys.exit(1)


def listener(port, address="0.0.0.0"):
    """On loopback only the console sends streaming ACN universe N to
    127.255.hi.lo: a socket bound to that address gets it before the
    console's own on the port."""
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
    s.bind((address, port))
    s.settimeout(0.2)
    return s


def datagrams(sock, seconds):
    end = time.time() + seconds
    while time.time() < end:
        try:
            yield sock.recv(2048)
        except socket.timeout:
            pass


def art_dmx_level(sock, universe, level, seconds=5):
    """True when an ArtDmx frame of `universe` brings slot 1 at `level`."""
    for d in datagrams(sock, seconds):
        if (d[:8] == b"Art-Net\0" and d[8:10] == b"\x00\x50"
                and d[14] | d[15] << 8 == universe and d[18] == level):
            return True
    return False


def start(home, args):
    env = {"PATH": os.environ["PATH"], "HOME": home, "LANG": "C.UTF-8",
           "QT_LOGGING_RULES": "*.debug=false",
           "PULTORA_UPDATE_CHECK_URL": "http://127.0.0.1:9/update_check.php"}
    RUNNING.append(subprocess.Popen([PULTORA, "--headless"] + args, env=env, cwd=home,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True))
    return RUNNING[-1]


def end(process):
    RUNNING.remove(process)
    process.send_signal(signal.SIGTERM)
    try:
        _, log = process.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        fail("SIGTERM did not end the run")
    return process.returncode, log


async def remote_set(name, value):
    """Opens a session with the PIN, finds `name` in the layout and moves it."""
    for _ in range(50):
        try:
            conn = http.client.HTTPConnection("127.0.0.1", REMOTE_PORT, timeout=5)
            conn.request("POST", "/pin", body="pin=4711",
                         headers={"Content-Type": "application/x-www-form-urlencoded"})
            answer = conn.getresponse()
            break
        except ConnectionRefusedError:
            time.sleep(0.1)
    else:
        fail("the web remote does not listen")
    if answer.status != 204:
        fail("POST /pin answered %d" % answer.status)
    cookie = answer.getheader("Set-Cookie").split(";")[0]
    host = "127.0.0.1:%d" % REMOTE_PORT
    async with websockets.connect("ws://%s/ws" % host, origin="http://" + host,
                                  extra_headers={"Cookie": cookie}) as ws:
        ids = {c["name"]: c["id"] for c in json.loads(await ws.recv())["controls"]}
        if isinstance(value, int):
            await ws.send(json.dumps({"t": "set", "id": ids[name], "v": value}))
        else:  # a press: down and up
            for down in (True, False):
                await ws.send(json.dumps({"t": "press", "id": ids[name], "down": down}))
        await asyncio.sleep(0.3)


def show_run(work):
    home = os.path.join(work, "show")
    os.makedirs(home)
    with open(os.path.join(home, "show.ptra"), "w") as f:
        f.write(SHOW)
    with open(os.path.join(home, "pin"), "w") as f:
        f.write("4711\n")
    data = os.path.join(home, ".local/share/pultora")
    os.makedirs(data)
    recovery = os.path.join(data, "config_recovery.ptra")
    with open(recovery, "w") as f:
        f.write(SHOW)
    artnet = listener(6454)
    acn = listener(5568, "127.255.0.6")
    process = start(home, ["--remote-port", str(REMOTE_PORT), "--remote-pin-file",
                           os.path.join(home, "pin"), "show.ptra"])
    if not art_dmx_level(artnet, 2, 0):
        fail("the show's start values did not leave")
    asyncio.run(remote_set("Dim", 200))
    if not art_dmx_level(artnet, 2, 200):
        fail("the remote's move did not leave over Art-Net")
    asyncio.run(remote_set("Haze", "down"))
    if not any(d[113:115] == b"\x00\x06" for d in datagrams(acn, 2)):
        fail("the switch on streaming ACN did not leave")
    code, log = end(process)
    if code != 0:
        fail("exit %d after SIGTERM:\n%s" % (code, log))
    ended = [d for d in datagrams(acn, 1) if d[113:115] == b"\x00\x06" and d[112] & 0x40]
    if len(ended) != 3:
        fail("%d Stream_Terminated packets, not 3" % len(ended))
    if recovery not in log or open(recovery).read() != SHOW:
        fail("the recovery copy was not left as it was:\n" + log)
    session = os.path.join(data, "config_last_session.ptra")
    if not os.path.exists(session) or "Dim" not in open(session).read():
        fail("no last session written")
    print("show: values, remote, Stream_Terminated x3, last session, recovery copy kept OK")


def command_run(work, allowed):
    home = os.path.join(work, "allowed" if allowed else "refused")
    os.makedirs(home)
    trace = os.path.join(home, "trace")
    with open(os.path.join(home, "show.ptra"), "w") as f:
        f.write(COMMAND_SHOW.format(trace))
    args = ["--osc-in-port", str(OSC_PORT), "show.ptra"]
    if not allowed:
        with open(os.path.join(home, "pin"), "w") as f:
            f.write("4711\n")
        args = ["--remote-port", str(REMOTE_PORT), "--remote-pin-file", "pin"] + args
    process = start(home, ["--allow-commands"] + args if allowed else args)
    if not allowed:
        asyncio.run(remote_set("Go", 100))
    osc = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    go = b"/go\0,f\0\0" + struct.pack(">f", 1.0)
    for _ in range(30):
        osc.sendto(go, ("127.0.0.1", OSC_PORT))
        if os.path.exists(trace):
            break
        time.sleep(0.1)
    code, log = end(process)
    if code != 0 or os.path.exists(trace) != allowed:
        fail("command %s: exit %d, ran: %s\n%s"
             % ("allowed" if allowed else "refused", code, os.path.exists(trace), log))
    for line in ["allowed by --allow-commands" if allowed else "refused",
                 "no web remote" if allowed else "web remote:"]:
        if line not in log:
            fail("not in the log: %s\n%s" % (line, log))
    print("command %s OK" % ("allowed" if allowed else "refused"))


def missing_file(work):
    run = subprocess.run([PULTORA, "--headless", os.path.join(work, "none.ptra")],
                         stderr=subprocess.PIPE, text=True)
    if run.returncode != 1 or "none.ptra" not in run.stderr:
        fail("a missing show: exit %d, %s" % (run.returncode, run.stderr))
    print("missing show OK")


with tempfile.TemporaryDirectory() as work:
    missing_file(work)
    show_run(work)
    command_run(work, False)
    command_run(work, True)
print("headless OK")
