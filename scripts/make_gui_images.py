#!/usr/bin/env python3
"""Draws the toolkit's border and indicator images, the about dialog's header
band and the application logo, in the palette of the dark style sheets.

Shapes are drawn here with 4x4 supersampling and written as 8-bit RGBA PNGs
with nothing but zlib; only the logo's lettering is set by ImageMagick's
convert with FreeSansBold. Run from anywhere; the images land in
resources/gui/ and resources/images/ of this repository:

    python3 scripts/make_gui_images.py
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUI = os.path.join(ROOT, "resources", "gui")
IMAGES = os.path.join(ROOT, "resources", "images")
BOLD_FONT = "/usr/share/fonts/truetype/freefont/FreeSansBold.ttf"
SS = 4  # supersampling per axis

# The palette of the style sheets.
WINDOW = (47, 47, 47)
TEXT = (198, 213, 210)
MUTED = (129, 136, 133)
FRAME = (99, 99, 99)
FRAME_DISABLED = (75, 75, 75)
FIELD = (38, 38, 38)
ACCENT = (114, 138, 132)  # the link colour #728a84


class Canvas:
    """An RGBA picture with straight (non-premultiplied) alpha, 0..255."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.px = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b = colour[:3]
        a = (colour[3] if len(colour) > 3 else 255) / 255.0 * min(coverage, 1.0)
        dst = self.px[y * self.width + x]
        da = dst[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = (c * a + dst[i] * da * (1 - a)) / oa
        dst[3] = oa * 255

    def shade(self, inside, colour, box=None):
        """Fills where inside(x, y) holds for sample points, with coverage."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.blend(x, y, colour(x, y) if callable(colour) else colour, hits / (SS * SS))

    def rect(self, x0, y0, x1, y1, colour):
        self.shade(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def rounded(self, x0, y0, x1, y1, radius, colour):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        self.shade(inside, colour)

    def circle(self, cx, cy, radius, colour):
        self.shade(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2, colour)

    def ring(self, cx, cy, outer, inner, colour):
        self.shade(lambda x, y: inner ** 2 < (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self.shade(inside, colour)

    def stroke(self, points, width, colour):
        """A polyline of the given width with round joins and ends."""
        half = width / 2.0

        def near(x, y):
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
                if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                    return True
            return False
        self.shade(near, colour)

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        raw = bytearray()
        for y in range(self.height):
            raw.append(0)
            for x in range(self.width):
                p = self.px[y * self.width + x]
                a = int(round(p[3]))
                if a == 0:
                    raw += b"\0\0\0\0"
                else:
                    raw += bytes(int(round(c)) for c in p[:3]) + bytes([a])

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
            f.write(chunk(b"IEND", b""))


def vertical(top, bottom, height):
    """A colour function running from top to bottom over height rows."""
    def colour(_x, y):
        t = y / max(1, height - 1)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


# --- button border families (3-pixel slices, stretched) --------------------

def button(path, frame, top, bottom, highlight=None):
    w, h = 12, 24
    c = Canvas(w, h)
    c.rounded(0, 0, w, h, 2.5, frame)
    c.rounded(1, 1, w - 1, h - 1, 1.5, vertical(top, bottom, h))
    if highlight:
        c.rect(2, 1, w - 2, 2, highlight)
    c.save(path)


def buttons():
    d = os.path.join(GUI, "button")
    button(os.path.join(d, "dark_normal.png"), FRAME, (64, 64, 64), (52, 52, 52), (76, 76, 76))
    button(os.path.join(d, "dark_pressed.png"), (120, 120, 120), (34, 34, 34), (42, 42, 42))
    button(os.path.join(d, "header_normal.png"), (88, 88, 88), (58, 60, 60), (44, 46, 46), (70, 72, 72))
    button(os.path.join(d, "header_pressed.png"), (130, 138, 135), (30, 32, 32), (38, 40, 40))
    # The blank family has no frame; pressed shows only a faint lift.
    Canvas(12, 24).save(os.path.join(d, "blank_normal.png"))
    blank = Canvas(12, 24)
    blank.rounded(0, 0, 12, 24, 2.5, (255, 255, 255, 18))
    blank.save(os.path.join(d, "blank_pressed.png"))


# --- check box and radio indicators -----------------------------------------

def checkbox(path, frame, fill, mark):
    c = Canvas(14, 14)
    c.rect(0, 0, 14, 14, frame)
    c.rect(1, 1, 13, 13, fill)
    if mark:
        c.stroke([(3.4, 7.2), (5.9, 9.8), (10.6, 4.0)], 1.9, mark)
    c.save(path)


def radio(path, frame, fill, dot):
    c = Canvas(14, 14)
    c.circle(7, 7, 6.6, frame)
    c.circle(7, 7, 5.6, fill)
    if dot:
        c.circle(7, 7, 2.8, dot)
    c.save(path)


def indicators():
    d = os.path.join(GUI, "checkbox")
    checkbox(os.path.join(d, "unchecked.png"), FRAME, FIELD, None)
    checkbox(os.path.join(d, "checked.png"), FRAME, FIELD, TEXT)
    checkbox(os.path.join(d, "disabled_unchecked.png"), FRAME_DISABLED, WINDOW, None)
    checkbox(os.path.join(d, "disabled_checked.png"), FRAME_DISABLED, WINDOW, (100, 100, 100))
    d = os.path.join(GUI, "radio")
    radio(os.path.join(d, "unchecked.png"), FRAME, FIELD, None)
    radio(os.path.join(d, "checked.png"), FRAME, FIELD, TEXT)
    radio(os.path.join(d, "disabled_unchecked.png"), FRAME_DISABLED, WINDOW, None)
    radio(os.path.join(d, "disabled_checked.png"), FRAME_DISABLED, WINDOW, (100, 100, 100))


def combo_arrow():
    c = Canvas(20, 12)
    c.polygon([(6, 4), (14, 4), (10, 8.5)], TEXT)
    c.save(os.path.join(GUI, "combobox", "arrow.png"))


# --- panel frames ------------------------------------------------------------

def panel(path, top=True):
    """Two lines, dark outside and lighter inside, around a middle in the
    window colour: the stretched middle slice is the panel's background, so
    its light text stays legible on any window, light ones included."""
    w = h = 12
    c = Canvas(w, h)
    outer, inner = (28, 28, 28), (68, 68, 68)
    y0 = 0 if top else 3
    c.rect(0, y0, w, h, outer)
    c.rect(1, y0 + (1 if top else 0), w - 1, h - 1, inner)
    fill_top = y0 + (2 if top else 0)
    for y in range(fill_top, h - 2):
        for x in range(2, w - 2):
            c.px[y * w + x] = list(WINDOW) + [255]
    c.save(path)


def panels():
    panel(os.path.join(GUI, "panel", "border.png"))
    panel(os.path.join(GUI, "panel", "border_topless.png"), top=False)


# --- about dialog: header band and logo --------------------------------------

def header():
    w, h = 64, 97
    c = Canvas(w, h)
    c.rect(0, 0, w, h, vertical((62, 66, 65), (40, 42, 42), h))
    c.rect(0, h - 1, w, h, FRAME)
    c.save(os.path.join(IMAGES, "Head.png"))


def logo():
    w, h = 229, 70
    c = Canvas(w, h)
    # A map pin over a small photo frame: the mark left of the lettering.
    c.rounded(6, 22, 48, 58, 4, MUTED)
    c.rounded(8, 24, 46, 56, 3, (58, 62, 61))
    c.polygon([(10, 54), (22, 38), (30, 47), (36, 41), (44, 54)], (90, 104, 100))
    c.circle(27, 20, 13, TEXT)
    c.polygon([(15.6, 26), (38.4, 26), (27, 44)], TEXT)
    c.circle(27, 20, 5.5, (47, 47, 47))
    convert = shutil.which("convert")
    if not convert or not os.path.exists(BOLD_FONT):
        sys.exit("make_gui_images: the logo needs ImageMagick's convert and " + BOLD_FONT)
    with tempfile.TemporaryDirectory() as tmp:
        mark = os.path.join(tmp, "mark.png")
        c.save(mark)
        out = os.path.join(IMAGES, "logo.png")
        os.makedirs(IMAGES, exist_ok=True)
        subprocess.run([convert, mark,
                        "-font", BOLD_FONT, "-pointsize", "38",
                        "-fill", "rgb(%d,%d,%d)" % TEXT, "-annotate", "+58+44", "Orlavo",
                        "-font", BOLD_FONT.replace("Bold", ""), "-pointsize", "11",
                        "-fill", "rgb(%d,%d,%d)" % ACCENT, "-annotate", "+60+62", "GPS for your photos",
                        "-strip", "-define", "png:exclude-chunks=date,time",
                        "PNG32:" + out], check=True)


def main():
    buttons()
    indicators()
    combo_arrow()
    panels()
    header()
    logo()


if __name__ == "__main__":
    main()
