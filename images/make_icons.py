#!/usr/bin/env python3
"""Draws the console's icons: 24x24 XPM images, the 64x64 window icon, and
the program icon for desktops (PNG in several sizes and SVG) under icons/.

Every icon is built from a few flat shapes in one shared palette, rendered
with 4x4 supersampling. Run it from anywhere; it rewrites the files beside
itself. The generated files are committed, so a build needs no Python.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis

# Shared palette.
INK = (40, 44, 52)
PAPER = (250, 250, 246)
GREY = (150, 156, 166)
BLUE = (52, 120, 206)
LBLUE = (150, 196, 240)
GREEN = (46, 160, 67)
RED = (214, 56, 48)
YELLOW = (240, 190, 40)
ORANGE = (235, 130, 35)
BROWN = (150, 100, 55)
DARK = (58, 64, 76)


class Canvas:
    """Pixels of size x size; drawing coordinates run from 0 to `unit`."""

    def __init__(self, size, unit=None):
        self.size = size
        self.n = size * SS
        self.k = (unit or size) / size
        self.px = [None] * (self.n * self.n)

    def _inside_fill(self, test, color):
        n = self.n
        k = self.k / SS
        for y in range(n):
            fy = (y + 0.5) * k
            for x in range(n):
                if test((x + 0.5) * k, fy):
                    self.px[y * n + x] = color

    def rect(self, x0, y0, x1, y1, color):
        self._inside_fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color)

    def frame(self, x0, y0, x1, y1, color, w=1.0):
        self.rect(x0, y0, x1, y0 + w, color)
        self.rect(x0, y1 - w, x1, y1, color)
        self.rect(x0, y0, x0 + w, y1, color)
        self.rect(x1 - w, y0, x1, y1, color)

    def circle(self, cx, cy, r, color):
        self._inside_fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ring(self, cx, cy, r, w, color, a0=0.0, a1=360.0):
        def test(x, y):
            d = math.hypot(x - cx, y - cy)
            if not (r - w <= d <= r):
                return False
            a = math.degrees(math.atan2(cy - y, x - cx)) % 360
            return a0 <= a <= a1 if a0 <= a1 else (a >= a0 or a <= a1)
        self._inside_fill(test, color)

    def line(self, x0, y0, x1, y1, color, w=1.5):
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy or 1e-9

        def test(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2
        self._inside_fill(test, color)

    def poly(self, pts, color):
        def test(x, y):
            inside = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    inside = not inside
                j = i
            return inside
        self._inside_fill(test, color)

    def glyph(self, ch, x0, y0, color, scale=2.0):
        rows = FONT[ch]
        for r, bits in enumerate(rows):
            for c, b in enumerate(bits):
                if b == "#":
                    self.rect(x0 + c * scale, y0 + r * scale,
                              x0 + (c + 1) * scale, y0 + (r + 1) * scale, color)

    def pixels(self):
        """Averages each SSxSS block: (r, g, b, coverage 0..1)."""
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                acc = [0, 0, 0]
                cnt = 0
                for sy in range(SS):
                    base = (y * SS + sy) * self.n + x * SS
                    for sx in range(SS):
                        c = self.px[base + sx]
                        if c is not None:
                            cnt += 1
                            acc[0] += c[0]
                            acc[1] += c[1]
                            acc[2] += c[2]
                if cnt:
                    row.append((acc[0] // cnt, acc[1] // cnt, acc[2] // cnt, cnt / (SS * SS)))
                else:
                    row.append((0, 0, 0, 0.0))
            out.append(row)
        return out


FONT = {
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "?": ["##.", "..#", ".#.", "...", ".#."],
    "!": ["#", "#", "#", ".", "#"],
    "i": ["#", ".", "#", "#", "#"],
}


def write_xpm(name, canvas):
    pix = canvas.pixels()
    colors = {}
    rows = []
    for row in pix:
        keys = []
        for r, g, b, a in row:
            key = None if a < 0.5 else "#%02X%02X%02X" % (r, g, b)
            if key not in colors:
                colors[key] = None
            keys.append(key)
        rows.append(keys)
    chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+@#$%&*=-;:,<>/"
    codes = {}
    for i, key in enumerate(colors):
        codes[key] = chars[i // len(chars)] + chars[i % len(chars)]
    ident = name.replace(".", "_")
    lines = ["/* XPM */", "static const char *%s[] = {" % ident,
             '"%d %d %d 2",' % (canvas.size, canvas.size, len(codes))]
    for key, code in codes.items():
        lines.append('"%s c %s",' % (code, key if key else "None"))
    body = ['"%s"' % "".join(codes[k] for k in keys) for keys in rows]
    lines.append(",\n".join(body))
    lines.append("};")
    with open(os.path.join(HERE, name), "w") as f:
        f.write("\n".join(lines) + "\n")


class SvgCanvas:
    """The same drawing calls as Canvas (rectangles and circles), as SVG."""

    def __init__(self, unit):
        self.unit = unit
        self.shapes = []

    @staticmethod
    def _fill(color):
        return "#%02x%02x%02x" % color

    def rect(self, x0, y0, x1, y1, color):
        self.shapes.append('<rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>'
                           % (x0, y0, x1 - x0, y1 - y0, self._fill(color)))

    def circle(self, cx, cy, r, color):
        self.shapes.append('<circle cx="%g" cy="%g" r="%g" fill="%s"/>'
                           % (cx, cy, r, self._fill(color)))

    def write(self, name):
        text = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
                'viewBox="0 0 %d %d">\n' % ((self.unit,) * 4))
        text += "".join("  %s\n" % shape for shape in self.shapes) + "</svg>\n"
        path = os.path.join(HERE, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)


def write_png(name, canvas):
    raw = b""
    for row in canvas.pixels():
        raw += b"\x00" + b"".join(bytes((r, g, b, int(round(a * 255)))) for r, g, b, a in row)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(
            ">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


# Building blocks -----------------------------------------------------------

def page(c, x0=5, y0=2, x1=18, y1=21):
    c.poly([(x0, y0), (x1 - 4, y0), (x1, y0 + 4), (x1, y1), (x0, y1)], INK)
    c.poly([(x0 + 1, y0 + 1), (x1 - 4.5, y0 + 1), (x1 - 1, y0 + 4.5), (x1 - 1, y1 - 1),
            (x0 + 1, y1 - 1)], PAPER)
    c.poly([(x1 - 4.5, y0 + 1), (x1 - 1, y0 + 4.5), (x1 - 4.5, y0 + 4.5)], GREY)


def text_lines(c, x0, x1, ys, color=GREY):
    for y in ys:
        c.rect(x0, y, x1, y + 1, color)


def badge_plus(c, cx=17, cy=17):
    c.circle(cx, cy, 5.5, GREEN)
    c.rect(cx - 3.5, cy - 1, cx + 3.5, cy + 1, PAPER)
    c.rect(cx - 1, cy - 3.5, cx + 1, cy + 3.5, PAPER)


def arrow(c, x0, y0, x1, y1, color, w=2.5, head=4.0):
    ang = math.atan2(y1 - y0, x1 - x0)
    bx, by = x1 - head * math.cos(ang), y1 - head * math.sin(ang)
    c.line(x0, y0, bx, by, color, w)
    px, py = -math.sin(ang) * head * 0.8, math.cos(ang) * head * 0.8
    c.poly([(x1, y1), (bx + px, by + py), (bx - px, by - py)], color)


def floppy(c, x0=3, y0=3, s=18, body=BLUE):
    x1, y1 = x0 + s, y0 + s
    c.poly([(x0, y0), (x1 - 3, y0), (x1, y0 + 3), (x1, y1), (x0, y1)], INK)
    c.poly([(x0 + 1, y0 + 1), (x1 - 3.4, y0 + 1), (x1 - 1, y0 + 3.4), (x1 - 1, y1 - 1),
            (x0 + 1, y1 - 1)], body)
    c.rect(x0 + s * 0.25, y0 + 1, x0 + s * 0.72, y0 + s * 0.35, PAPER)
    c.rect(x0 + s * 0.55, y0 + 2, x0 + s * 0.66, y0 + s * 0.3, INK)
    c.rect(x0 + s * 0.2, y0 + s * 0.55, x0 + s * 0.8, y1 - 1, PAPER)
    text_lines(c, x0 + s * 0.28, x0 + s * 0.72, [y0 + s * 0.68, y0 + s * 0.82])


def window(c, x0=2, y0=3, x1=20, y1=19):
    c.rect(x0, y0, x1, y1, INK)
    c.rect(x0 + 1, y0 + 3, x1 - 1, y1 - 1, PAPER)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3, BLUE)


def circle_arrow(c, cx, cy, r, color):
    c.ring(cx, cy, r, 2.4, color, 120, 40)  # open between 40 and 120 degrees
    # arrow head at the 40 degree end, pointing clockwise (downwards)
    a = math.radians(40)
    ex, ey = cx + (r - 1.2) * math.cos(a), cy - (r - 1.2) * math.sin(a)
    c.poly([(ex - 3.5, ey - 0.5), (ex + 3.5, ey - 0.5), (ex, ey + 4)], color)


def gear(c, cx, cy, r, color):
    for k in range(8):
        a = k * math.pi / 4
        c.line(cx, cy, cx + r * math.cos(a), cy + r * math.sin(a), color, 3.2)
    c.circle(cx, cy, r - 2.2, color)
    c.circle(cx, cy, 2.6, PAPER)


def landscape(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, LBLUE)
    c.circle(x1 - 4, y0 + 4, 2.2, YELLOW)
    c.poly([(x0, y1), (x0, y1 - 4), (x0 + (x1 - x0) * 0.4, y0 + (y1 - y0) * 0.35),
            (x0 + (x1 - x0) * 0.75, y1 - 3), (x1, y1 - 5), (x1, y1)], GREEN)


# Icons ----------------------------------------------------------------------

def icon(draw, size=24):
    c = Canvas(size)
    draw(c)
    return c


def i_editadd(c):
    page(c, 3, 2, 16, 21)
    text_lines(c, 6, 13, [7, 10, 13])
    badge_plus(c)


def i_editedit(c):
    page(c, 3, 2, 16, 21)
    text_lines(c, 6, 13, [7, 10, 13, 16])
    c.line(10, 20, 20, 8, INK, 4.2)
    c.line(10.8, 19.2, 19.2, 8.8, YELLOW, 2.4)
    c.poly([(8.5, 22), (9.2, 18.5), (11.5, 20.5)], INK)


def i_editmove(c):
    for (x1, y1) in [(12, 2), (12, 22), (2, 12), (22, 12)]:
        arrow(c, 12, 12, x1, y1, BLUE, 2.4, 5)
    c.circle(12, 12, 2.5, INK)


def i_editdelete(c):
    c.line(5, 5, 19, 19, RED, 4)
    c.line(19, 5, 5, 19, RED, 4)


def i_editcut(c):
    c.line(8, 3, 15, 15, INK, 2)
    c.line(16, 3, 9, 15, INK, 2)
    c.ring(7, 18, 4, 1.8, RED)
    c.ring(17, 18, 4, 1.8, RED)


def i_editcopy(c):
    page(c, 2, 2, 14, 17)
    text_lines(c, 4, 11, [7, 10])
    page(c, 9, 7, 21, 22)
    text_lines(c, 11, 18, [12, 15, 18])


def i_editpaste(c):
    c.rect(3, 4, 19, 22, BROWN)
    c.rect(7, 2, 15, 6, GREY)
    c.rect(8, 3, 14, 5, INK)
    page(c, 9, 9, 21, 23)
    text_lines(c, 11, 18, [14, 17, 20])


def i_editoverview(c):
    c.rect(2, 3, 22, 21, INK)
    c.rect(3, 4, 21, 20, PAPER)
    for y in (6, 10, 14):
        c.rect(5, y, 8, y + 2.5, BLUE)
        c.rect(10, y + 0.7, 19, y + 1.8, GREY)
    c.rect(5, 17, 8, 19, BLUE)


def i_background(c):
    c.rect(2, 4, 22, 20, INK)
    landscape(c, 3, 5, 21, 19)


def i_check_consistence(c):
    c.rect(2, 2, 9, 9, GREY)
    c.rect(11, 2, 18, 9, GREY)
    c.rect(2, 11, 9, 18, GREY)
    c.line(6, 14, 11, 19, GREEN, 3.5)
    c.line(11, 19, 21, 6, GREEN, 3.5)


def i_check_update(c):
    c.circle(12, 12, 10, BLUE)
    c.ring(12, 12, 10, 1.2, INK)
    arrow(c, 12, 4, 12, 19, PAPER, 3, 6)


def i_documentation(c):
    page(c, 4, 2, 19, 22)
    c.rect(6, 5, 12, 7, BLUE)
    text_lines(c, 6, 16, [10, 13, 16, 19])


def i_filenew(c):
    page(c)


def i_fileopen(c):
    c.poly([(2, 6), (8, 6), (10, 8), (19, 8), (19, 20), (2, 20)], BROWN)
    c.poly([(5, 11), (22, 11), (19, 20), (2, 20)], YELLOW)


def i_filerecent(c):
    c.circle(12, 12, 10, INK)
    c.circle(12, 12, 8.6, PAPER)
    c.line(12, 12, 12, 6, INK, 2)
    c.line(12, 12, 16, 14, RED, 2)
    c.circle(12, 12, 1.4, INK)


def i_filerecent_n(digit):
    def draw(c):
        page(c, 3, 2, 16, 21)
        text_lines(c, 6, 13, [7, 10])
        c.circle(16.5, 16.5, 6, BLUE)
        c.glyph(digit, 13.5, 12, PAPER, 1.8)
    return draw


def i_filereload(c):
    circle_arrow(c, 12, 12, 9, GREEN)


def i_filesave(c):
    floppy(c)


def i_filesaveas(c):
    floppy(c, 1, 1, 17)
    c.line(12, 22, 22, 11, INK, 4.2)
    c.line(12.8, 21.2, 21.2, 11.8, YELLOW, 2.4)


def i_filesavecopy(c):
    floppy(c, 1, 1, 14, GREY)
    floppy(c, 8, 8, 15)


def i_helpHelp(c):
    c.circle(12, 12, 10, BLUE)
    c.glyph("?", 7.5, 4.5, PAPER, 3)


def i_importforeigngui(c):
    window(c, 7, 5, 23, 21)
    arrow(c, 1, 13, 13, 13, GREEN, 3, 5)


def i_importforeignguibackground(c):
    window(c, 7, 5, 23, 21)
    landscape(c, 8, 8, 22, 20)
    arrow(c, 1, 13, 12, 13, GREEN, 3, 5)


def i_importforeignguicontrol(c):
    window(c, 7, 5, 23, 21)
    for x, y in ((11, 15), (15, 11), (19, 17)):
        c.rect(x - 0.5, 9, x + 0.5, 19, GREY)
        c.rect(x - 1.8, y - 1, x + 1.8, y + 1, INK)
    arrow(c, 1, 13, 10, 13, GREEN, 3, 5)


def i_lockscreen(c):
    c.ring(12, 10, 6.5, 2.4, GREY, 0, 180)
    c.rect(5.5, 9.5, 8, 12, GREY)
    c.rect(16, 9.5, 18.5, 12, GREY)
    c.rect(4, 11, 20, 22, YELLOW)
    c.circle(12, 15.5, 2, INK)
    c.rect(11.2, 16, 12.8, 19.5, INK)


def i_preferences(c):
    gear(c, 12, 12, 10, GREY)


def i_quit(c):
    c.ring(12, 13, 9.5, 2.8, RED, 115, 65)
    c.line(12, 2, 12, 12, RED, 3)


def i_webremote(c):
    # A phone with the show on its screen, and waves towards it.
    c.rect(3, 5, 13, 23, INK)
    c.rect(4.5, 7, 11.5, 19.5, LBLUE)
    c.rect(6, 9, 7.5, 18, BLUE)
    c.rect(8.5, 12, 10, 18, GREEN)
    c.circle(8, 21.3, 0.9, GREY)
    c.ring(13, 8, 4.5, 1.6, BLUE, 0, 90)
    c.ring(13, 8, 8, 1.6, BLUE, 0, 90)


def i_state_critical(c):
    c.circle(12, 12, 10, RED)
    c.line(7.5, 7.5, 16.5, 16.5, PAPER, 3)
    c.line(16.5, 7.5, 7.5, 16.5, PAPER, 3)


def i_state_information(c):
    c.circle(12, 12, 10, BLUE)
    c.glyph("i", 10.5, 5, PAPER, 3)


def i_state_warning(c):
    c.poly([(12, 1.5), (23, 21.5), (1, 21.5)], INK)
    c.poly([(12, 4), (20.8, 20.3), (3.2, 20.3)], YELLOW)
    c.glyph("!", 10.5, 7, INK, 2.4)


def i_pultora(c):
    # Rounded dark panel with three faders and one lit button.
    c.rect(6, 2, 58, 62, DARK)
    c.rect(2, 6, 62, 58, DARK)
    for cx, cy in ((6, 6), (58, 6), (6, 58), (58, 58)):
        c.circle(cx, cy, 4, DARK)
    for x, knob, col in ((16, 38, RED), (28, 22, GREEN), (40, 44, BLUE)):
        c.rect(x - 1, 12, x + 1, 54, INK)
        c.rect(x - 5, knob - 3, x + 5, knob + 3, col)
        c.rect(x - 5, knob - 0.5, x + 5, knob + 0.5, PAPER)
    c.circle(52, 18, 5, YELLOW)
    c.circle(52, 34, 5, GREY)
    c.circle(52, 50, 5, GREY)


DESKTOP_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

ICONS = {
    "editadd.xpm": i_editadd,
    "webremote.xpm": i_webremote,
    "editedit.xpm": i_editedit,
    "editmove.xpm": i_editmove,
    "editdelete.xpm": i_editdelete,
    "editcut.xpm": i_editcut,
    "editcopy.xpm": i_editcopy,
    "editpaste.xpm": i_editpaste,
    "editoverview.xpm": i_editoverview,
    "background.xpm": i_background,
    "check_consistence.xpm": i_check_consistence,
    "check_update.xpm": i_check_update,
    "documentation.xpm": i_documentation,
    "filenew.xpm": i_filenew,
    "fileopen.xpm": i_fileopen,
    "filerecent.xpm": i_filerecent,
    "filereload.xpm": i_filereload,
    "fileappend.xpm": None,  # filled below
    "filesave.xpm": i_filesave,
    "filesaveas.xpm": i_filesaveas,
    "filesavecopy.xpm": i_filesavecopy,
    "helpHelp.xpm": i_helpHelp,
    "importforeigngui.xpm": i_importforeigngui,
    "importforeignguibackground.xpm": i_importforeignguibackground,
    "importforeignguicontrol.xpm": i_importforeignguicontrol,
    "lockscreen.xpm": i_lockscreen,
    "preferences.xpm": i_preferences,
    "quit.xpm": i_quit,
    "state_critical.xpm": i_state_critical,
    "state_information.xpm": i_state_information,
    "state_warning.xpm": i_state_warning,
}


def i_fileappend(c):
    page(c, 3, 2, 16, 21)
    text_lines(c, 6, 13, [7, 10, 13])
    c.circle(17, 17, 5.5, BLUE)
    arrow(c, 17, 13, 17, 21, PAPER, 2, 3.5)


ICONS["fileappend.xpm"] = i_fileappend
for n, d in enumerate("1234"):
    ICONS["filerecent%d.xpm" % n] = i_filerecent_n(d)


def main():
    for name, draw in sorted(ICONS.items()):
        write_xpm(name, icon(draw))
    write_png("pultora.png", icon(i_pultora, 64))
    # The program icon for desktops, drawn on the same 64-unit grid.
    for size in DESKTOP_ICON_SIZES:
        canvas = Canvas(size, 64)
        i_pultora(canvas)
        write_png("icons/%dx%d/pultora.png" % (size, size), canvas)
    svg = SvgCanvas(64)
    i_pultora(svg)
    svg.write("icons/scalable/pultora.svg")


if __name__ == "__main__":
    main()
