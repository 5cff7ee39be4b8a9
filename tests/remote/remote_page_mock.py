#!/usr/bin/python3
"""A stand-in console for the web remote's page, and a browser run against it.

The mock speaks the remote protocol on 127.0.0.1: it serves
remote/page/index.html (with a texts object in place of the placeholder),
takes PIN 4321, hands out a session cookie, sends a layout with one control
of each kind, echoes moves back as values, springs the pitch fader back once let go,
ticks the clock, and logs every message it receives.

Run it only inside the private network namespace:

    scripts/netns.sh /usr/bin/python3 tests/remote/remote_page_mock.py [--shots DIR]

drives headless Chromium through the page (PIN, operating each kind, reload,
a console restart, watch-only) and saves screenshots at phone and tablet
sizes; it exits non-zero when a check fails.

    scripts/netns.sh /usr/bin/python3 tests/remote/remote_page_mock.py --serve

only runs the mock (port 9080) until interrupted.
"""

import argparse
import asyncio
import http
import json
import os
import secrets
import struct
import sys
import threading
import time
import zlib

import websockets
import websockets.legacy.http as wshttp
from websockets.legacy.server import WebSocketServerProtocol

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE = os.path.join(ROOT, "remote", "page", "index.html")
PLACEHOLDER = "/*PULTORA_TEXTS*/null"
PIN = "4321"
WRONG_PINS_BEFORE_LOCKOUT = 5
LOCKOUT_S = 30

# The console's headers for the page; the run fails on any policy violation.
PAGE_HEADERS = [
    ("Cache-Control", "no-store"),
    ("X-Content-Type-Options", "nosniff"),
    ("Content-Security-Policy", "default-src 'self'; script-src 'self' 'unsafe-inline'; "
     "style-src 'self' 'unsafe-inline'; img-src 'self' data:; connect-src 'self' ws: ; frame-ancestors 'none'"),
    ("Referrer-Policy", "no-referrer"),
]

ENGLISH = {
    "title": "Pultora Remote", "pin": "PIN", "open": "Open", "wrong_pin": "Wrong PIN.",
    "wait": "Too many wrong PINs. Try again in %1 s.", "connecting": "Connecting\u2026",
    "connected": "Connected", "offline": "Connection lost. Reconnecting\u2026",
    "locked": "Locked", "watch_only": "Watch only",
}
# Served by default, so that the run sees the page take the console's texts.
GERMAN = {
    "title": "Pultora Fernbedienung", "pin": "PIN", "open": "\u00d6ffnen", "wrong_pin": "Falsche PIN.",
    "wait": "Zu viele falsche PINs. Noch %1 s warten.", "connecting": "Verbinde\u2026",
    "connected": "Verbunden", "offline": "Verbindung verloren. Verbinde neu\u2026",
    "locked": "Gesperrt", "watch_only": "Nur ansehen",
}


def show_controls():
    """One control of each kind on a 1000 x 700 background, groups first."""
    c = []

    def add(kind, x, y, w, h, name, **extra):
        d = {"id": len(c) + 1, "kind": kind, "x": x, "y": y, "w": w, "h": h, "name": name}
        d.update(extra)
        c.append(d)

    add("group", 20, 30, 440, 330, "Stage")
    add("group", 480, 30, 500, 330, "Effects")
    add("push", 40, 60, 120, 80, "Blackout", color="#c62828", down=False)
    add("switch", 180, 60, 120, 80, "Strobe", color="#1565c0", down=False)
    add("led", 320, 70, 60, 60, "Ready", color="#00e676")
    add("fader", 40, 160, 80, 190, "Front", min=0, max=255, v=128)
    add("fader", 130, 160, 80, 190, "Back", min=0, max=255, v=40, color="#ffb300")
    add("pitch", 220, 160, 80, 190, "Bend", min=-100, max=100, v=0)
    add("fader", 310, 280, 140, 60, "Haze", min=0, max=100, v=70, horizontal=True)
    add("knob", 500, 60, 110, 130, "Speed", min=0, max=127, v=64)
    add("encoder", 630, 60, 110, 130, "Pan", min=0, max=359, v=90)
    add("encoder_push", 760, 60, 110, 130, "Tilt", min=0, max=255, v=10, color="#7b1fa2", down=False)
    add("encoder_switch", 500, 210, 110, 130, "Zoom", min=0, max=99, v=50, down=False)
    add("spin", 630, 230, 160, 70, "Cue", min=1, max=999, v=12)
    add("fader", 810, 230, 150, 110, "Level", min=0, max=100, v=33, horizontal=True, watch=True)
    add("label", 40, 380, 300, 60, "House lights")
    add("icon", 360, 380, 120, 100, "Logo", picture=1)
    add("clock", 500, 380, 240, 90, "Clock", color="#263238", text="20:15:00")
    add("push", 760, 380, 200, 90, "Go", color="#fdd835", down=False)
    for i in range(4):
        add("push", 40 + i * 235, 500, 215, 150, "Scene %d" % (i + 1),
            color=["#2e7d32", "#37474f", "#ef6c00", "#eceff1"][i], down=False)
    return c


def background_png(w=100, h=70):
    """A small gradient picture, stretched by the page over the show."""
    rows = b""
    for y in range(h):
        rows += b"\x00" + b"".join(bytes((20 + x, 30 + y, 60)) for x in range(w))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


class MockConsole:
    """The console side: sessions, PIN limits, the show, and the clients."""

    def __init__(self, texts=GERMAN):
        self.texts = texts
        self.sessions = set()
        self.wrong = 0
        self.locked_until = 0.0
        self.clients = set()
        self.received = []          # every message a client sent, parsed
        self.http_log = []          # (method, path, status)
        self.controls = show_controls()
        self.bg = "#20242a"
        self.picture = 0
        self.locked = False
        self.operate = True
        self.loop = None
        self.server = None
        self.port = None
        self.pitch_timer = None
        self.pitch_held = False
        self.ceiling = {7: 200}     # "Back" never goes above 200: the page must show that

    # -- HTTP ---------------------------------------------------------------
    def page(self):
        with open(PAGE, encoding="utf-8") as f:
            text = f.read()
        texts = "null" if self.texts is None else json.dumps(self.texts)
        return text.replace(PLACEHOLDER, texts, 1).encode("utf-8")

    def session_of(self, headers):
        for part in headers.get("Cookie", "").split(";"):
            k, _, v = part.strip().partition("=")
            if k == "pultora_session" and v in self.sessions:
                return v
        return None

    def answer(self, method, path, headers, body):
        status, hdrs, payload = self._answer(method, path, headers, body)
        self.http_log.append((method, path, 101 if status is None else int(status)))
        return status, hdrs, payload

    def _answer(self, method, path, headers, body):
        base = path.split("?", 1)[0]
        if method == "POST":
            if base != "/pin":
                return http.HTTPStatus.METHOD_NOT_ALLOWED, [], b""
            now = time.monotonic()
            if now < self.locked_until:
                left = int(self.locked_until - now) + 1
                return http.HTTPStatus.TOO_MANY_REQUESTS, [("Retry-After", str(left))], b""
            digits = body.decode("ascii", "replace").strip()
            if digits.startswith("pin="):
                digits = digits[4:]
            if digits == PIN:
                self.wrong = 0
                token = secrets.token_hex(16)
                self.sessions.add(token)
                cookie = "pultora_session=%s; Path=/; HttpOnly; SameSite=Strict" % token
                return http.HTTPStatus.NO_CONTENT, [("Set-Cookie", cookie)], b""
            self.wrong += 1
            if self.wrong >= WRONG_PINS_BEFORE_LOCKOUT:
                self.wrong = 0
                self.locked_until = now + LOCKOUT_S
            return http.HTTPStatus.FORBIDDEN, [], b""
        if base in ("/", "/index.html"):
            return http.HTTPStatus.OK, [("Content-Type", "text/html; charset=utf-8")] + PAGE_HEADERS, self.page()
        if base == "/background":
            if not self.session_of(headers):
                return http.HTTPStatus.FORBIDDEN, [], b""
            if self.picture <= 0:
                return http.HTTPStatus.NOT_FOUND, [], b""
            return http.HTTPStatus.OK, [("Content-Type", "image/png")], background_png()
        if base.startswith("/picture/"):
            if not self.session_of(headers):
                return http.HTTPStatus.FORBIDDEN, [], b""
            return http.HTTPStatus.OK, [("Content-Type", "image/png")], background_png(40, 30)
        if base == "/ws" and headers.get("Upgrade", "").lower() == "websocket":
            origin_ok = headers.get("Origin") == "http://" + headers.get("Host", "")
            if not (self.session_of(headers) and origin_ok):
                return http.HTTPStatus.FORBIDDEN, [], b""
            return None, None, None        # go on with the upgrade
        return http.HTTPStatus.NOT_FOUND, [], b""

    # -- WebSocket ----------------------------------------------------------
    def layout(self):
        return {"t": "layout", "w": 1000, "h": 700, "bg": self.bg, "picture": self.picture,
                "locked": self.locked, "operate": self.operate, "controls": self.controls}

    def control(self, cid):
        for c in self.controls:
            if c["id"] == cid:
                return c
        return None

    async def client(self, sock, _path=None):
        self.clients.add(sock)
        try:
            await sock.send(json.dumps(self.layout()))
            async for text in sock:
                try:
                    msg = json.loads(text)
                except ValueError:
                    continue
                self.received.append(msg)
                await self.act(msg)
        except websockets.ConnectionClosed:
            pass
        finally:
            self.clients.discard(sock)

    async def act(self, msg):
        c = self.control(msg.get("id"))
        if c is None or c.get("watch") or not self.operate:
            return
        if msg.get("t") == "set" and isinstance(msg.get("v"), int) and "min" in c:
            v = msg["v"]
            if c["kind"].startswith("encoder"):
                n = c["max"] - c["min"] + 1
                v = c["min"] + (v - c["min"]) % n
            c["v"] = max(c["min"], min(c["max"], self.ceiling.get(c["id"], c["max"]), v))
            await self.values([{"id": c["id"], "v": c["v"]}])
            if c["kind"] == "pitch" and not self.pitch_held:
                self.spring_back(c)
        elif msg.get("t") == "press" and isinstance(msg.get("down"), bool):
            down = msg["down"]
            if c["kind"] == "pitch":
                # Held while a finger is on it; it springs back once let go.
                self.pitch_held = down
                if down and self.pitch_timer:
                    self.pitch_timer.cancel()
                if not down:
                    self.spring_back(c)
                return
            if c["kind"] in ("push", "encoder_push"):
                c["down"] = down
            elif c["kind"] in ("switch", "encoder_switch") and not down:
                c["down"] = not c.get("down", False)
            else:
                return
            u = {"id": c["id"], "down": c["down"]}
            if c["kind"] == "switch":
                c["color"] = "#42a5f5" if c["down"] else "#1565c0"
                u["color"] = c["color"]
            await self.values([u])

    def spring_back(self, c):
        if self.pitch_timer:
            self.pitch_timer.cancel()

        async def back():
            await asyncio.sleep(0.6)
            c["v"] = 0
            await self.values([{"id": c["id"], "v": 0}])

        self.pitch_timer = asyncio.ensure_future(back())

    async def values(self, changes):
        await self.broadcast({"t": "values", "c": changes})

    async def broadcast(self, msg):
        text = json.dumps(msg)
        for s in list(self.clients):
            try:
                await s.send(text)
            except websockets.ConnectionClosed:
                pass

    async def tick(self):
        clock = next(c for c in self.controls if c["kind"] == "clock")
        while True:
            await asyncio.sleep(1)
            clock["text"] = time.strftime("%H:%M:%S")
            await self.values([{"id": clock["id"], "text": clock["text"]}])

    # -- Running ------------------------------------------------------------
    def protocol_factory(self):
        mock = self

        class Protocol(WebSocketServerProtocol):
            """Reads POST requests too (websockets itself only takes GET)."""

            async def read_http_request(self):
                line = await wshttp.read_line(self.reader)
                method, path, _version = line.decode("ascii", "surrogateescape").split(" ", 2)
                headers = await wshttp.read_headers(self.reader)
                body = b""
                if method == "POST":
                    length = int(headers.get("Content-Length", "0") or 0)
                    body = await self.reader.readexactly(min(length, 64))
                self.method, self.body = method, body
                self.path, self.request_headers = path, headers
                return path, headers

            async def process_request(self, path, headers):
                status, hdrs, body = mock.answer(self.method, path, headers, self.body)
                if status is None:
                    return None
                return status, hdrs + [("Connection", "close")], body

        return Protocol

    async def start(self, port):
        self.loop = asyncio.get_running_loop()
        self.server = await websockets.serve(self.client, "127.0.0.1", port,
                                             create_protocol=self.protocol_factory())
        self.port = self.server.sockets[0].getsockname()[1]
        asyncio.ensure_future(self.tick())

    def call(self, coro):
        """Runs a coroutine on the mock's loop from another thread."""
        return asyncio.run_coroutine_threadsafe(coro, self.loop).result(5)

    async def drop(self):
        """Closes every client's connection; the sessions stay good."""
        for s in list(self.clients):
            await s.close()

    async def restart(self):
        """Forgets every session and drops every client, like a console restart."""
        self.sessions.clear()
        await self.drop()

    async def relayout(self, **changes):
        for k, v in changes.items():
            setattr(self, k, v)
        await self.broadcast(self.layout())

    def start_in_thread(self, port=0):
        ready = threading.Event()

        def run():
            loop = asyncio.new_event_loop()
            asyncio.set_event_loop(loop)
            loop.run_until_complete(self.start(port))
            ready.set()
            loop.run_forever()

        threading.Thread(target=run, daemon=True).start()
        ready.wait(10)
        return self.port


# ---------------------------------------------------------------------------
# The browser run
# ---------------------------------------------------------------------------

class Run:
    def __init__(self, mock, shots):
        from selenium import webdriver
        from selenium.webdriver.chrome.options import Options
        from selenium.webdriver.chrome.service import Service
        self.mock = mock
        self.shots = shots
        self.failures = []
        self.texts = mock.texts or ENGLISH
        o = Options()
        o.binary_location = "/usr/bin/chromium"
        for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=412,915",
                  "--hide-scrollbars", "--force-device-scale-factor=1"):
            o.add_argument(a)
        o.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=o)
        self.url = "http://127.0.0.1:%d/" % mock.port

    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            self.failures.append(what)

    def wait(self, cond, timeout=5.0):
        end = time.time() + timeout
        while time.time() < end:
            try:
                if cond():
                    return True
            except Exception:
                pass
            time.sleep(0.05)
        return False

    def q(self, sel):
        from selenium.webdriver.common.by import By
        return self.d.find_element(By.CSS_SELECTOR, sel)

    def ctl(self, name):
        return self.q('[aria-label="%s"]' % name)

    def visible(self, sel):
        try:
            return self.q(sel).is_displayed()
        except Exception:
            return False

    def status(self):
        return self.q("#conntext").text

    def shot(self, name, w, h, dpr=1, mobile=False):
        self.d.set_window_size(w, h)
        time.sleep(0.4)
        path = os.path.join(self.shots, "page-" + name + ".png")
        # The viewport, not the window: size the page's content area exactly.
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": w, "height": h, "deviceScaleFactor": dpr, "mobile": mobile})
        time.sleep(0.4)
        self.d.save_screenshot(path)
        self.d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        print("     screenshot", path)

    def sent(self, since, **match):
        return [m for m in self.mock.received[since:] if all(m.get(k) == v for k, v in match.items())]

    def enter_pin(self, pin):
        from selenium.webdriver.common.keys import Keys
        field = self.q("#pin")
        field.clear()
        field.send_keys(pin + Keys.ENTER)

    def drag(self, el, dx, dy, steps=8):
        from selenium.webdriver.common.action_chains import ActionChains
        a = ActionChains(self.d, duration=20).click_and_hold(el)
        for _ in range(steps):
            a.move_by_offset(dx / steps, dy / steps).pause(0.03)
        a.release().perform()

    def tap(self, el, hold=0.3):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.d).click_and_hold(el).pause(hold).release().perform()

    def run(self):
        d = self.d
        m = self.mock
        d.get(self.url)
        self.check(self.wait(lambda: self.visible("#pinview")), "no session: the PIN form comes")
        self.check(d.switch_to.active_element.get_attribute("id") == "pin", "the PIN field has the focus")
        self.check(d.title == self.texts["title"] and self.q("#open").text == self.texts["open"],
                   "the page speaks the console's texts")
        self.shot("phone-pin", 412, 915)

        self.enter_pin("1111")
        self.check(self.wait(lambda: self.q("#pinmsg").text == self.texts["wrong_pin"]), "a wrong PIN says so")
        self.check(self.q("#pin").get_attribute("value") == "", "a wrong PIN clears the field")
        self.check(d.switch_to.active_element.get_attribute("id") == "pin", "and focuses it again")

        self.enter_pin("4321")
        self.check(self.wait(lambda: self.visible("#stage") and self.status() == self.texts["connected"]),
                   "the right PIN connects")
        self.check(self.wait(lambda: self.ctl("Blackout").is_displayed()), "the layout is drawn")
        self.check(not self.visible("#pinview"), "the PIN form is gone")
        self.shot("phone", 412, 915)
        self.shot("phone-hidpi", 412, 915, dpr=2.625, mobile=True)

        # push: down and up
        n = len(m.received)
        self.tap(self.ctl("Blackout"))
        self.check(self.wait(lambda: len(self.sent(n, t="press", id=3)) >= 2), "push sends press down and up")
        presses = [x["down"] for x in self.sent(n, t="press", id=3)]
        self.check(presses[:2] == [True, False], "push: down first, then up (%s)" % presses)

        # switch: the console toggles; the page shows it
        self.tap(self.ctl("Strobe"))
        self.check(self.wait(lambda: self.ctl("Strobe").get_attribute("aria-checked") == "true"),
                   "switch shows the console's new state")

        # fader: a drag up raises it, sends integer positions, at most once a frame
        fader = self.ctl("Front")
        n = len(m.received)
        self.drag(fader, 0, -60)
        sets = self.sent(n, t="set", id=6)
        self.check(len(sets) > 1 and all(isinstance(x["v"], int) for x in sets), "fader sends integer sets")
        self.check(sets and sets[-1]["v"] > 128, "a drag up raises the fader (%s)" % (sets[-1]["v"] if sets else None))
        self.check(self.wait(lambda: fader.get_attribute("aria-valuenow") == str(m.control(6)["v"])),
                   "fader shows the console's value")

        # the console answers with another position: the page shows the console's
        back = self.ctl("Back")
        self.drag(back, 0, -100)
        self.check(self.wait(lambda: back.get_attribute("aria-valuenow") == "200"),
                   "a fader shows where the console put it (%s)" % back.get_attribute("aria-valuenow"))
        m.control(7)["v"] = 40
        m.call(m.values([{"id": 7, "v": 40}]))
        self.check(self.wait(lambda: back.get_attribute("aria-valuenow") == "40"), "and follows the console's values")

        # horizontal fader: a drag right raises it
        n = len(m.received)
        self.drag(self.ctl("Haze"), 30, 0)
        sets = self.sent(n, t="set", id=9)
        self.check(sets and sets[-1]["v"] > 70, "horizontal fader: right raises")

        # pitch: held while the finger is on it (press around the sets), springs back by the console
        pitch = self.ctl("Bend")
        n = len(m.received)
        self.drag(pitch, 0, -50)
        bend = [x for x in m.received[n:] if x.get("id") == 8]
        kinds = [(x["t"], x.get("down")) for x in bend]
        self.check(len(bend) > 2 and kinds[0] == ("press", True) and kinds[-1] == ("press", False)
                   and all(k == ("set", None) for k in kinds[1:-1]),
                   "pitch: press down, its sets, press up (%s)" % kinds)
        self.check(self.wait(lambda: pitch.get_attribute("aria-valuenow") == "0", 3), "pitch springs back")

        # knob: vertical drag
        n = len(m.received)
        self.drag(self.ctl("Speed"), 0, -40)
        sets = self.sent(n, t="set", id=10)
        self.check(sets and sets[-1]["v"] > 64, "knob: a drag up turns it up")

        # encoder: wraps
        n = len(m.received)
        self.drag(self.ctl("Pan"), 0, 120, steps=12)
        sets = self.sent(n, t="set", id=11)
        self.check(sets and all(0 <= x["v"] <= 359 for x in sets) and any(x["v"] > 300 for x in sets),
                   "encoder wraps within min..max")

        # encoder_push: a tap presses, a drag turns without pressing
        n = len(m.received)
        self.tap(self.ctl("Tilt"), hold=0.05)
        self.check(self.wait(lambda: [x["down"] for x in self.sent(n, t="press", id=12)] == [True, False]),
                   "encoder_push: a tap sends press down and up")
        n = len(m.received)
        self.drag(self.ctl("Tilt"), 0, -40)
        self.check(self.sent(n, t="set", id=12) and not self.sent(n, t="press", id=12),
                   "encoder_push: a drag turns without pressing")

        # encoder_switch toggles through the console
        self.tap(self.ctl("Zoom"), hold=0.05)
        self.check(self.wait(lambda: m.control(13)["down"] is True), "encoder_switch: a tap toggles")

        # spin: plus steps, typing sets
        n = len(m.received)
        self.tap(self.q('[aria-label="Cue +"]'), hold=0.05)
        self.check(self.wait(lambda: self.sent(n, t="set", id=14, v=13)), "spin: plus steps up")
        from selenium.webdriver.common.keys import Keys
        field = self.ctl("Cue")
        field.click()
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys("42" + Keys.ENTER)
        self.check(self.wait(lambda: self.sent(n, t="set", id=14, v=42)), "spin: a typed value is sent")
        self.check(self.wait(lambda: field.get_attribute("aria-valuenow") == "42"), "spin shows the console's value")

        # watch-only control: inert
        n = len(m.received)
        level = self.ctl("Level")
        self.check(level.get_attribute("aria-disabled") == "true", "a watch control is marked disabled")
        self.drag(level, 0, -50)
        time.sleep(0.2)
        self.check(not self.sent(n, id=15), "a watch control sends nothing")

        # roles
        roles = {name: self.ctl(name).get_attribute("role") for name in
                 ("Blackout", "Strobe", "Ready", "Front", "Speed", "Pan", "Cue", "House lights", "Clock", "Stage")}
        self.check(roles == {"Blackout": "button", "Strobe": "switch", "Ready": "status", "Front": "slider",
                             "Speed": "slider", "Pan": "slider", "Cue": "spinbutton", "House lights": "note",
                             "Clock": "status", "Stage": "group"}, "roles: %s" % roles)
        self.check(self.wait(lambda: self.ctl("Clock").text != "20:15:00", 3), "the clock ticks")

        # two fingers on two faders at once (touch pointers): Front down, Back up
        from selenium.webdriver.common.actions.action_builder import ActionBuilder
        from selenium.webdriver.common.actions.pointer_input import PointerInput
        from selenium.webdriver.common.actions import interaction
        n = len(m.received)
        ab = ActionBuilder(d)
        f1 = ab.add_pointer_input(interaction.POINTER_TOUCH, "finger1")
        f2 = ab.add_pointer_input(interaction.POINTER_TOUCH, "finger2")
        a, b = self.ctl("Front"), self.ctl("Back")
        f1.create_pointer_move(origin=a)
        f2.create_pointer_move(origin=b)
        f1.create_pointer_down()
        f2.create_pointer_down()
        for i in range(1, 6):
            f1.create_pointer_move(origin=a, x=0, y=8 * i, duration=30)
            f2.create_pointer_move(origin=b, x=0, y=-8 * i, duration=30)
        f1.create_pointer_up(0)
        f2.create_pointer_up(0)
        ab.perform()
        self.check(self.sent(n, t="set", id=6) and self.sent(n, t="set", id=7), "two faders move at once")

        # reload: the cookie still holds, no PIN
        d.refresh()
        self.check(self.wait(lambda: self.status() == self.texts["connected"]) and not self.visible("#pinview"),
                   "a reload reconnects without the PIN")

        # the background: picture, colour, lock
        m.call(m.relayout(picture=3, locked=True))
        self.check(self.wait(lambda: "background?v=3" in self.q("#surface").value_of_css_property("background-image")),
                   "the picture is the background")
        self.check(self.wait(lambda: self.visible("#lock")), "the lock sign shows")
        m.call(m.broadcast({"t": "bg", "color": "#402020"}))
        self.check(self.wait(lambda: self.q("#surface").value_of_css_property("background-color") == "rgba(64, 32, 32, 1)"),
                   "bg changes the background colour")
        m.call(m.broadcast({"t": "surprise", "x": 1}))
        self.shot("phone-picture-locked", 412, 915)
        m.call(m.relayout(picture=0, locked=False, bg="#20242a"))

        # tablet sizes
        self.shot("tablet-landscape", 1180, 820)
        self.shot("tablet-portrait", 820, 1180)

        # watch only
        m.call(m.relayout(operate=False))
        self.check(self.wait(lambda: self.visible("#watch")), "watch only shows in the header")
        n = len(m.received)
        self.tap(self.ctl("Blackout"))
        self.check(self.ctl("Blackout").get_attribute("aria-disabled") == "true" and not self.sent(n),
                   "watch only: nothing is sent")
        self.shot("phone-watch-only", 412, 915)
        m.call(m.relayout(operate=True))

        # a dropped connection with the session still good: back by itself, with a new layout
        m.controls[2]["name"] = "Blackout!"
        m.call(m.drop())
        self.check(self.wait(lambda: self.status() == self.texts["offline"], 3), "a dropped connection says offline")
        self.check(self.wait(lambda: self.status() == self.texts["connected"], 4) and self.ctl("Blackout!"),
                   "it reconnects by itself and draws the new layout")
        m.controls[2]["name"] = "Blackout"

        # the console goes away and comes back having forgotten the session
        m.call(m.restart())
        self.check(self.wait(lambda: self.status() == self.texts["offline"], 3), "a dropped connection says offline")
        self.shot("phone-offline", 412, 915)
        self.check(self.wait(lambda: self.visible("#pinview"), 8), "a forgotten session brings the PIN back")
        self.enter_pin("4321")
        self.check(self.wait(lambda: self.status() == self.texts["connected"]), "and the PIN connects again")

        # lockout
        d.delete_all_cookies()
        m.call(m.restart())
        self.check(self.wait(lambda: self.visible("#pinview"), 8), "PIN form again")
        for _ in range(WRONG_PINS_BEFORE_LOCKOUT):
            self.enter_pin("0000")
            time.sleep(0.2)
        self.enter_pin("0000")
        wait = self.texts["wait"].split("%1")[0]
        self.check(self.wait(lambda: self.q("#pinmsg").text.startswith(wait)), "a lockout shows the wait text")
        self.shot("phone-wait", 412, 915)

        errors = [e for e in d.get_log("browser") if e.get("level") == "SEVERE"
                  and "/ws" not in e.get("message", "") and "/pin" not in e.get("message", "")
                  and "/background" not in e.get("message", "")
                  and "/picture/" not in e.get("message", "")]
        self.check(not errors, "no script errors in the console %s" % errors)
        d.quit()
        return not self.failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--serve", action="store_true", help="only run the mock on --port")
    ap.add_argument("--port", type=int, default=9080)
    ap.add_argument("--shots", default="/tmp/remote-shots")
    ap.add_argument("--english", action="store_true", help="serve the page with a null texts object")
    args = ap.parse_args()
    mock = MockConsole(None if args.english else GERMAN)
    if args.serve:
        print("mock console on http://127.0.0.1:%d/ (PIN %s)" % (mock.start_in_thread(args.port), PIN))
        try:
            while True:
                time.sleep(1)
        except KeyboardInterrupt:
            return 0
    os.makedirs(args.shots, exist_ok=True)
    mock.start_in_thread(0)
    ok = Run(mock, args.shots).run()
    print("all checks passed" if ok else "some checks failed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
