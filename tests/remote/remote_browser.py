#!/usr/bin/python3
"""The web remote in a real browser against the real console.

Starts the console (offscreen, a private home) with a small show and its web
remote on 127.0.0.1, listens for Art-Net on UDP 6454, and drives headless
Chromium through the page: the PIN first, a wrong PIN, the right one, a push
button and a fader reaching the wire, a pitch bend held, a second browser
following the first, DMX-IN shown on the page, and controls that reach
beyond the show network (OSC, HTTP) staying watch-only.

Run it only inside the private network namespace (ctest does):

    scripts/netns.sh /usr/bin/python3 tests/remote/remote_browser.py --console build/app/pultora

Exits 0 when every step passed, 1 when one failed (it says which and why),
77 when Chromium, its driver or Selenium are missing.
"""

import argparse
import hashlib
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
SKIP = 77
PIN = "4321"
WRONG_PIN = "1111"
ARTNET_PORT = 6454
# Art-Net from the console is broadcast on loopback; listening on the
# broadcast address leaves unicast to 127.0.0.1 (our DMX-IN) to the console.
ARTNET_BROADCAST = "127.255.255.255"
FOLLOW_MS = 200            # a change shows on every page within this
PUSH_CHANNEL = 30          # "A": Art-Net universe 0, channel 30 (1-based)
FADER_CHANNEL = 40         # "Level"
PITCH_CHANNEL = 60         # "Bend"
IN_UNIVERSE, IN_CHANNEL = 1, 1   # "In" listens here
FAR_HOST = "192.0.2.7"     # OSC beyond the show network: watch-only
WEB_HOST = "192.0.2.1"     # the show's HTTP server, another computer: watch-only

SHOW = """<!DOCTYPE Pultora>
<PultoraConfig name="browser.ptra" author="pultora" version="1">
 <background version="1" position_x="0" position_y="0" size_x="400" size_y="300" color_red="40" color_green="40" color_blue="48"/>
 <preferences version="1" http_server="http://%(web)s/"/>
 <control version="1" name="A" position_x="20" position_y="20" size_x="80" size_y="60" color_red="200" color_green="120" color_blue="0" control_type="button_push" protocol_type="Art-Net" dmx_value_1="0" dmx_value_2="255" dmx_channel="29" dmx_universe="0"/>
 <control version="1" name="Far" position_x="120" position_y="20" size_x="80" size_y="60" color_red="0" color_green="120" color_blue="200" control_type="button_push" protocol_type="OSC" osc_address="/x" osc_host="%(far)s"/>
 <control version="1" name="Web" position_x="220" position_y="20" size_x="80" size_y="60" color_red="0" color_green="120" color_blue="120" control_type="button_push" protocol_type="HTTP" dmx_http_filename="go?%%1"/>
 <control version="1" name="Level" position_x="20" position_y="100" size_x="60" size_y="180" color_red="0" color_green="200" color_blue="0" control_type="fader_vertical" protocol_type="Art-Net" dmx_value_1="0" dmx_value_2="255" dmx_channel="39" dmx_universe="0"/>
 <control version="1" name="In" position_x="120" position_y="100" size_x="60" size_y="180" color_red="200" color_green="0" color_blue="200" control_type="fader_vertical" protocol_type="Art-Net" dmx_value_1="0" dmx_value_2="255" dmx_channel="49" dmx_universe="0" protocol_type_in="Art-Net" dmx_in_universe="1" dmx_in_channel="0"/>
 <control version="1" name="Bend" position_x="220" position_y="100" size_x="60" size_y="180" color_red="200" color_green="200" color_blue="0" control_type="pitch_bend_vertical_middle" protocol_type="Art-Net" dmx_value_1="0" dmx_value_2="255" dmx_channel="59" dmx_universe="0"/>
</PultoraConfig>
""" % {"far": FAR_HOST, "web": WEB_HOST}


def consent_hash(hosts):
    """The console's remembered consent for a show that calls `hosts` (app/outputconsent.cpp)."""
    h = hashlib.sha256()
    for kind, text in [("v", "1"), ("r", "0"), ("f", "")] + [("h", x) for x in sorted(hosts)]:
        h.update(kind.encode() + text.encode() + b"\0")
    return h.hexdigest()


class Failed(Exception):
    pass


class ArtNetListener:
    """Every ArtDmx seen on the port: (monotonic time, universe, levels)."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind((ARTNET_BROADCAST, ARTNET_PORT))
        self.sock.settimeout(0.1)
        self.frames = []
        self.lock = threading.Lock()
        self.running = True
        threading.Thread(target=self.run, daemon=True).start()

    def run(self):
        while self.running:
            try:
                data, _ = self.sock.recvfrom(2048)
            except socket.timeout:
                continue
            except OSError:
                return
            now = time.monotonic()
            if len(data) < 18 or data[:8] != b"Art-Net\0" or struct.unpack_from("<H", data, 8)[0] != 0x5000:
                continue
            universe = struct.unpack_from("<H", data, 14)[0]
            with self.lock:
                self.frames.append((now, universe, data[18:]))

    def mark(self):
        with self.lock:
            return len(self.frames)

    def levels(self, since, universe, channel):
        """(time, level) of `channel` (1-based) in each frame since `since`."""
        with self.lock:
            frames = self.frames[since:]
        return [(t, d[channel - 1]) for t, u, d in frames if u == universe and len(d) >= channel]

    def first(self, since, universe, channel, pred, timeout=3.0):
        """The first (time, level) since `since` for which pred(level) holds, or None."""
        end = time.monotonic() + timeout
        while True:
            for t, v in self.levels(since, universe, channel):
                if pred(v):
                    return t, v
            if time.monotonic() > end:
                return None
            time.sleep(0.01)

    def close(self):
        self.running = False
        self.sock.close()


def send_artdmx(universe, levels):
    packet = b"Art-Net\0" + struct.pack("<HBBBBHBB", 0x5000, 0, 14, 0, 0, universe,
                                        len(levels) >> 8, len(levels) & 0xFF) + bytes(levels)
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.sendto(packet, ("127.0.0.1", ARTNET_PORT))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One headless Chromium on the page, found by accessible names."""

    def __init__(self, url):
        from selenium import webdriver
        from selenium.webdriver.chrome.options import Options
        from selenium.webdriver.chrome.service import Service
        o = Options()
        o.binary_location = CHROMIUM
        for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=412,915"):
            o.add_argument(a)
        self.d = webdriver.Chrome(service=Service(CHROMEDRIVER), options=o)
        self.url = url

    def q(self, sel):
        from selenium.webdriver.common.by import By
        return self.d.find_elements(By.CSS_SELECTOR, sel)

    def ctl(self, name):
        found = self.q('[aria-label="%s"]' % name)
        if not found:
            raise Failed("no control labelled %r on the page" % name)
        return found[0]

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def visible(self, sel):
        found = self.q(sel)
        return bool(found) and found[0].is_displayed()

    def wait(self, cond, timeout=5.0):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            try:
                if cond():
                    return True
            except Exception:
                pass
            time.sleep(0.05)
        return False

    def enter_pin(self, pin):
        from selenium.webdriver.common.keys import Keys
        field = self.q("#pin")[0]
        field.clear()
        field.send_keys(pin + Keys.ENTER)

    def log_in(self):
        self.d.get(self.url)
        if not self.wait(lambda: self.visible("#pinview")):
            raise Failed("the PIN form did not come")
        self.enter_pin(PIN)
        if not self.wait(lambda: self.visible("#stage") and self.q("#conn")[0].get_attribute("data-state") == "connected"):
            raise Failed("PIN %s did not connect (status %r)" % (PIN, self.q("#conntext")[0].text))

    def hold(self, el, seconds=0.3):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.d).click_and_hold(el).pause(seconds).release().perform()

    def drag(self, el, dy, steps=8, hold=0.0):
        from selenium.webdriver.common.action_chains import ActionChains
        a = ActionChains(self.d, duration=20).click_and_hold(el)
        for _ in range(steps):
            a.move_by_offset(0, dy / steps).pause(0.03)
        if hold:
            a.pause(hold)
        a.release().perform()

    def value(self, name):
        return self.js('const e = document.querySelector(arguments[0]);'
                       'return e ? e.getAttribute("aria-valuenow") : null;', '[aria-label="%s"]' % name)

    def quit(self):
        try:
            self.d.quit()
        except Exception:
            pass


class ValueWatch:
    """Polls a page's aria-valuenow of one control (execute_script) from a thread."""

    def __init__(self, browser, name):
        self.browser, self.name = browser, name
        self.seen = []           # (monotonic time the poll returned, value)
        self.running = True
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while self.running:
            v = self.browser.value(self.name)
            self.seen.append((time.monotonic(), v))

    def first(self, value, after=0.0):
        for t, v in self.seen:
            if t >= after and v == str(value):
                return t
        return None

    def stop(self):
        self.running = False
        self.thread.join(5)


class Run:
    def __init__(self, console, work):
        self.work = work
        self.port = free_port()
        self.url = "http://127.0.0.1:%d/" % self.port
        self.figures = []
        self.known = []            # what the console does wrong, known and reported
        self.browsers = []
        show = os.path.join(work, "browser.ptra")
        with open(show, "w", encoding="utf-8") as f:
            f.write(SHOW)
        # A private home, with the show's OSC host already allowed: the
        # consent question would otherwise wait for a click at load.
        home = os.path.join(work, "home")
        conf = os.path.join(home, "config", "pultora-project")
        os.makedirs(conf)
        os.makedirs(os.path.join(home, "data"))
        with open(os.path.join(conf, "Pultora.conf"), "w") as f:
            f.write("[General]\naccepted_outputs=%s\n" % consent_hash([FAR_HOST, WEB_HOST]))
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_RUNTIME_DIR=work, QT_LOGGING_RULES="pultora.remote.console.debug=true")
        self.artnet = ArtNetListener()
        self.log_path = os.path.join(work, "console.log")
        self.log = open(self.log_path, "w")
        self.console = subprocess.Popen([console, "--remote-port", str(self.port), "--remote-pin", PIN, show],
                                        env=env, stdout=self.log, stderr=subprocess.STDOUT)
        end = time.monotonic() + 20
        while True:
            try:
                urllib.request.urlopen(self.url, timeout=1).read()
                break
            except Exception:
                if self.console.poll() is not None or time.monotonic() > end:
                    raise Failed("the console did not serve %s (exit %s)" % (self.url, self.console.poll()))
                time.sleep(0.1)

    def browser(self):
        b = Browser(self.url)
        self.browsers.append(b)
        return b

    def close(self):
        for b in self.browsers:
            b.quit()
        if self.console.poll() is None:
            self.console.terminate()
            try:
                self.console.wait(10)
            except subprocess.TimeoutExpired:
                self.console.kill()
        self.log.close()
        self.artnet.close()

    def console_log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    # -- Steps -----------------------------------------------------------
    def wrong_pin_leaves_everything_dead(self):
        b = self.b1 = self.browser()
        b.d.get(self.url)
        if not b.wait(lambda: b.visible("#pinview")):
            raise Failed("the PIN form is not the first thing the page shows")
        if b.q('[aria-label="A"]'):
            raise Failed("a control labelled 'A' is on the page before any PIN")
        mark = self.artnet.mark()
        b.enter_pin(WRONG_PIN)
        if not b.wait(lambda: b.q("#pinmsg")[0].text == "Wrong PIN."):
            raise Failed("PIN %s was not refused (message %r)" % (WRONG_PIN, b.q("#pinmsg")[0].text))
        if b.q('[aria-label="A"]') or b.visible("#stage"):
            raise Failed("after a wrong PIN the surface or a control labelled 'A' is on the page")
        # Nor can the page's own script get a socket to press "A" (id 1) with.
        opened = b.d.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const ws = new WebSocket('ws://' + location.host + '/ws');
            ws.onopen = () => { ws.send(JSON.stringify({t: 'press', id: 1, down: true})); done(true); };
            ws.onerror = ws.onclose = () => done(false);""")
        if opened:
            raise Failed("after a wrong PIN a WebSocket opened")
        if self.artnet.first(mark, 0, PUSH_CHANNEL, lambda v: v != 0, timeout=0.5):
            raise Failed("Art-Net channel %d moved after a wrong PIN" % PUSH_CHANNEL)

    def right_pin_and_a_push_reach_the_wire(self):
        b = self.b1
        b.enter_pin(PIN)
        if not b.wait(lambda: b.visible("#stage") and b.ctl("A").is_displayed()):
            raise Failed("PIN %s + Enter did not bring the surface with 'A'" % PIN)
        mark = self.artnet.mark()
        b.hold(b.ctl("A"), 0.3)
        on = self.artnet.first(mark, 0, PUSH_CHANNEL, lambda v: v == 255)
        if not on:
            raise Failed("pressing 'A' sent no ArtDmx with channel %d = 255 (saw %s)"
                         % (PUSH_CHANNEL, self.artnet.levels(mark, 0, PUSH_CHANNEL)[-5:]))
        if not self.artnet.first(mark, 0, PUSH_CHANNEL, lambda v: v == 0 and on[1] == 255, timeout=3) or \
                not [t for t, v in self.artnet.levels(mark, 0, PUSH_CHANNEL) if t > on[0] and v == 0]:
            raise Failed("releasing 'A' did not send channel %d = 0 after the 255" % PUSH_CHANNEL)

    def a_fader_drag_reaches_the_wire_and_comes_back(self):
        b = self.b1
        level = b.ctl("Level")
        height = level.size["height"]
        mark = self.artnet.mark()
        b.drag(level, -height * 1.2)
        top = self.settled(mark, FADER_CHANNEL)
        if top is None or top < 250:
            raise Failed("'Level' dragged to the top: channel %d ended at %s, not 250..255" % (FADER_CHANNEL, top))
        mark = self.artnet.mark()
        b.drag(level, height * 0.5)
        down = self.settled(mark, FADER_CHANNEL)
        if down is None or not 40 <= down <= 200:
            raise Failed("'Level' dragged half way down: channel %d ended at %s, not 40..200" % (FADER_CHANNEL, down))
        if b.value("Level") != str(down):
            raise Failed("'Level' shows %s on the page, %d on the wire" % (b.value("Level"), down))
        self.figures.append("fader: dragged to the top %d, half way back %d" % (top, down))

    def settled(self, mark, channel, quiet=0.3, timeout=3.0):
        """The channel's last level once no frame changed it for `quiet` seconds."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            levels = self.artnet.levels(mark, 0, channel)
            changes = [t for (t, v), (_, w) in zip(levels[1:], levels) if v != w]
            if levels and time.monotonic() - (changes[-1] if changes else levels[0][0]) > quiet:
                return levels[-1][1]
            time.sleep(0.05)
        return None

    def a_held_pitch_bend_stays_until_let_go(self):
        b = self.b1
        bend = b.ctl("Bend")
        hold = 0.8
        mark = self.artnet.mark()
        b.drag(bend, -bend.size["height"] * 0.45, hold=hold)
        levels = self.artnet.levels(mark, 0, PITCH_CHANNEL)
        peak = max(levels, key=lambda x: x[1], default=(0, 0))
        if peak[1] < 200:
            raise Failed("'Bend' dragged up sent no level above 200 (saw %s)" % [v for _, v in levels][-5:])
        # Held still at its peak for `hold`, it stays there (the console's 200 ms spring waits).
        sagged = [v for t, v in levels if peak[0] < t < peak[0] + hold * 0.75 and v < peak[1]]
        if sagged:
            raise Failed("'Bend' sprang back while held: %s after %d" % (sagged[:3], peak[1]))
        # Let go, it heads back to the centre.
        end = time.monotonic() + 3.0
        back = None
        while back is None and time.monotonic() < end:
            back = next(((t, v) for t, v in self.artnet.levels(mark, 0, PITCH_CHANNEL) if t > peak[0] and v < peak[1]), None)
            time.sleep(0.02)
        if back is None:
            raise Failed("'Bend' did not spring back once let go (ms after the peak, level: %s)"
                         % [(round((t - peak[0]) * 1000), v) for t, v in self.artnet.levels(mark, 0, PITCH_CHANNEL)][-8:])
        self.figures.append("pitch: held at %d, let go after %.1f s, down to %d %.0f ms after the peak"
                            % (peak[1], hold, back[1], (back[0] - peak[0]) * 1000))

    def a_second_browser_follows_the_first(self):
        b1, b2 = self.b1, self.b2 = self.b1, self.browser()
        b2.log_in()
        now, joined = b1.value("Level"), b2.value("Level")
        if joined != now:
            raise Failed("the second browser joined with 'Level' at %s, the console's is %s" % (joined, now))
        watch = ValueWatch(b2, "Level")
        start = time.monotonic()
        mark = self.artnet.mark()
        b1.drag(b1.ctl("Level"), -b1.ctl("Level").size["height"] * 1.2)   # up to the top
        wire = self.artnet.first(mark, 0, FADER_CHANNEL, lambda v: v == 255)
        time.sleep(0.4)
        watch.stop()
        if not wire:
            raise Failed("'Level' dragged to the top: channel %d did not reach 255" % FADER_CHANNEL)
        seen = watch.first(255, start)
        if seen is None:
            raise Failed("the second browser's 'Level' stayed at %s, not 255 (first browser: %s)"
                         % (watch.seen[-1][1] if watch.seen else joined, b1.value("Level")))
        lag = (seen - wire[0]) * 1000
        polls = len(watch.seen) / max(0.001, watch.seen[-1][0] - watch.seen[0][0])
        self.figures.append("second browser saw 'Level' = 255 %.0f ms after it reached the wire (polling %.0f/s)"
                            % (lag, polls))
        if lag > FOLLOW_MS:
            raise Failed("the second browser saw the move %.0f ms after the wire (limit %d ms)" % (lag, FOLLOW_MS))

    def dmx_in_shows_on_the_page(self):
        b = self.b1
        levels = [0] * 512
        for target in (200, 60):   # there, and the way back
            levels[IN_CHANNEL - 1] = target
            watch = ValueWatch(b, "In")
            sent = time.monotonic()
            send_artdmx(IN_UNIVERSE, levels)
            deadline = sent + 2
            while time.monotonic() < deadline and watch.first(target, sent) is None:
                time.sleep(0.01)
            watch.stop()
            seen = watch.first(target, sent)
            if seen is None:
                raise Failed("DMX-IN universe %d channel %d = %d: 'In' shows %s"
                             % (IN_UNIVERSE, IN_CHANNEL, target, b.value("In")))
            lag = (seen - sent) * 1000
            self.figures.append("DMX-IN %d shown %.0f ms after the ArtDmx was sent" % (target, lag))
            if lag > FOLLOW_MS:
                raise Failed("DMX-IN %d showed after %.0f ms (limit %d ms)" % (target, lag, FOLLOW_MS))

    def controls_beyond_the_show_network_are_watch_only(self):
        b = self.b1
        for name, cid, what in (("Far", 2, "OSC to %s" % FAR_HOST), ("Web", 3, "HTTP to %s" % WEB_HOST)):
            el = b.ctl(name)
            if el.get_attribute("aria-disabled") != "true":
                raise Failed("'%s' (%s) is not marked aria-disabled" % (name, what))
            mark = self.artnet.mark()
            b.hold(el, 0.3)
            time.sleep(0.2)
            if el.get_attribute("aria-pressed") != "false" or "held" in el.get_attribute("class"):
                raise Failed("pressing watch-only '%s' shows it pressed" % name)
            # A press sent past the page (a socket of our own with the session) is dropped too.
            b.d.execute_async_script("""
                const done = arguments[arguments.length - 1];
                const ws = new WebSocket('ws://' + location.host + '/ws');
                ws.onopen = () => { ws.send(JSON.stringify({t: 'press', id: arguments[0], down: true}));
                                    setTimeout(() => { ws.close(); done(true); }, 300); };
                ws.onerror = () => done(false);""", cid)
            if not b.wait(lambda: "move on watch-only control %d" % cid in self.console_log(), 3):
                raise Failed("the console did not drop a press on watch-only '%s' (id %d)" % (name, cid))
            if el.get_attribute("aria-pressed") != "false":
                raise Failed("'%s' shows pressed after a press past the page" % name)
            moved = [u for t, u, d in self.artnet.frames[mark:] if u != 0 or d[PUSH_CHANNEL - 1] != 0]
            if moved:
                raise Failed("pressing '%s' changed Art-Net (universes %s)" % (name, sorted(set(moved))))


STEPS = [
    Run.wrong_pin_leaves_everything_dead,
    Run.right_pin_and_a_push_reach_the_wire,
    Run.a_fader_drag_reaches_the_wire_and_comes_back,
    Run.a_held_pitch_bend_stays_until_let_go,
    Run.a_second_browser_follows_the_first,
    Run.dmx_in_shows_on_the_page,
    Run.controls_beyond_the_show_network_are_watch_only,
]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--console", required=True, help="the pultora binary")
    ap.add_argument("--only", nargs="*", default=None, help="run only these steps (names), in order")
    args = ap.parse_args()
    for tool in (CHROMIUM, CHROMEDRIVER):
        if not os.path.exists(tool):
            print("SKIP: %s is missing" % tool)
            return SKIP
    try:
        import selenium  # noqa: F401
    except ImportError:
        print("SKIP: selenium (python3-selenium) is missing")
        return SKIP
    work = tempfile.mkdtemp(prefix="remote_browser.")
    run = None
    try:
        run = Run(os.path.abspath(args.console), work)
        for step in STEPS if args.only is None else [getattr(Run, n) for n in args.only]:
            t = time.monotonic()
            try:
                step(run)
            except Failed as e:
                print("FAIL %s: %s" % (step.__name__, e))
                for f in run.figures:
                    print("     " + f)
                print("---- console output\n" + run.console_log()[-3000:])
                return 1
            print("ok   %s (%.1f s)" % (step.__name__, time.monotonic() - t))
        for f in run.figures:
            print("     " + f)
        for k in run.known:
            print("KNOWN " + k)
        return 0
    except Failed as e:
        print("FAIL starting the console: %s" % e)
        return 1
    finally:
        if run:
            run.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
