#!/usr/bin/env python3
"""Draws the pictures Velmora is delivered with, using only the standard library.

Writes into resources/ (the program's own art) and demo/ (media for the
bundled demo). The outputs are committed, so a build never runs this; run it
again after changing a picture here:  python3 tools/make_art.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")
DEMO = os.path.join(ROOT, "demo")


def png(path, width, height, rows, alpha=True):
    """rows: iterable of bytes objects, one per row (RGBA or RGB)."""
    raw = b"".join(b"\0" + r for r in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); y = 0 is the top row."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        body += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(body), 0, 0, 54) + info + body)


def png24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); a PNG without alpha (the large art: far
    smaller than a BMP in the program)."""
    rows = (bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))
    png(path, width, height, rows, alpha=False)


def picture(path, width, height, pixel):
    """A BMP or a PNG by the file's name."""
    (png24 if path.endswith(".png") else bmp24)(path, width, height, pixel)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


# A 5x7 font with just the letters the splash needs.
FONT = {
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_mask(text, scale):
    """Set of (x, y) pixels covered by text drawn at the given scale."""
    covered = set()
    for i, ch in enumerate(text):
        for gy, line in enumerate(FONT[ch]):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            covered.add(((i * 6 + gx) * scale + dx, gy * scale + dy))
    return covered, (len(text) * 6 - 1) * scale, 7 * scale


def blank_png():
    # Nearly transparent everywhere (alpha 1): the icon layer's base, so that
    # the whole layer takes pointer input while looking empty.
    w, h = 3840, 2160
    row = bytes((0, 0, 0, 1)) * w
    png(os.path.join(RES, "Blank.png"), w, h, (row for _ in range(h)))


def imageviewer_png():
    # The preview frame: a dark translucent rounded panel with a light rim.
    w, h, radius = 207, 168, 10
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            cx = min(max(x, radius), w - 1 - radius)
            cy = min(max(y, radius), h - 1 - radius)
            d = math.hypot(x - cx, y - cy)
            if d > radius:
                row += bytes((0, 0, 0, 0))
            elif d > radius - 1.5 or x in (0, w - 1) or y in (0, h - 1):
                row += bytes((235, 240, 250, 230))
            else:
                shade = mix((58, 64, 78), (28, 30, 38), y / h)
                row += bytes(shade + (215,))
        rows.append(bytes(row))
    png(os.path.join(RES, "Imageviewer.png"), w, h, rows)


def shortcut_png():
    # The 11x11 shortcut arrow: a white box with a dark rim and a bent arrow.
    art = [
        "kkkkkkkkkkk",
        "kwwwwwwwwwk",
        "kwwwwkkkkwk",
        "kwwwwwkkkwk",
        "kwwwwkkkkwk",
        "kwwwkkkwkwk",
        "kwwkkkwwwwk",
        "kwwkkwwwwwk",
        "kwwkkwwwwwk",
        "kwwwwwwwwwk",
        "kkkkkkkkkkk",
    ]
    colours = {"k": (20, 20, 24, 255), "w": (255, 255, 255, 255)}
    rows = [b"".join(bytes(colours[c]) for c in line) for line in art]
    png(os.path.join(RES, "Shortcut.png"), 11, 11, rows)


class Bits:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, count):
        for i in range(count - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                self.acc, self.n = 0, 0

    def bytes(self):
        if self.n:
            self.put(0, 8 - self.n)
        return bytes(self.out)


def blank_swf():
    # An empty movie: a white 550x400 stage, one frame, nothing on it.
    bits = Bits()
    nbits = 15  # enough for 11000 twips, with the sign bit
    bits.put(nbits, 5)
    for v in (0, 550 * 20, 0, 400 * 20):
        bits.put(v, nbits)
    body = bits.bytes() + struct.pack("<HH", 12 << 8, 1)
    body += struct.pack("<H", (9 << 6) | 3) + bytes((255, 255, 255))  # SetBackgroundColor
    body += struct.pack("<H", 1 << 6)  # ShowFrame
    body += struct.pack("<H", 0)       # End
    data = b"FWS" + bytes((6,)) + struct.pack("<I", 8 + len(body)) + body
    with open(os.path.join(RES, "Blank.swf"), "wb") as f:
        f.write(data)


def splash_bmp(scale=1, name="Splash.bmp"):
    """The 320 x 120 splash picture, drawn `scale` times as large for
    high-DPI screens (the letters' blocks and the shadow's offset grow)."""
    w, h = 320 * scale, 120 * scale
    covered, tw, th = text_mask("VELMORA", 5 * scale)
    ox, oy = (w - tw) // 2, 26 * scale
    sub, sw, sh = text_mask("LOADING...", 2 * scale)
    sx, sy = (w - sw) // 2, 80 * scale
    shadow = 3 * scale

    def pixel(x, y):
        base = mix((36, 52, 96), (120, 64, 140), x / w)
        base = mix(base, (20, 22, 30), y / h * 0.6)
        if (x - ox, y - oy) in covered:
            return (250, 250, 255)
        if (x - ox - shadow, y - oy - shadow) in covered:
            return mix(base, (0, 0, 0), 0.5)
        if (x - sx, y - sy) in sub:
            return (210, 214, 230)
        return base

    picture(os.path.join(RES, name), w, h, pixel)


def icon_image(size):
    """BGRA rows, bottom-up, of the program icon: a violet tile with a white V."""
    pixels = []
    r = size * 0.2
    for y in range(size - 1, -1, -1):
        for x in range(size):
            cx = min(max(x + 0.5, r), size - r)
            cy = min(max(y + 0.5, r), size - r)
            inside = math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= r
            if not inside:
                pixels.append((0, 0, 0, 0))
                continue
            c = mix((70, 90, 200), (170, 70, 170), (x + y) / (2 * size))
            # The V: two strokes from the top corners to the bottom middle.
            u, v = (x + 0.5) / size, (y + 0.5) / size
            stroke = 0.09
            left = abs((u - 0.22) - (0.5 - 0.22) * (v - 0.22) / (0.8 - 0.22))
            right = abs((0.78 - u) - (0.78 - 0.5) * (v - 0.22) / (0.8 - 0.22))
            if 0.2 <= v <= 0.82 and min(left, right) < stroke:
                c = (255, 255, 255)
            pixels.append((c[2], c[1], c[0], 255))
    xor = b"".join(bytes(p) for p in pixels)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def program_icon():
    images = [icon_image(s) for s in (16, 32, 48)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32, 48), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(RES, "Velmora.ico"), "wb") as f:
        f.write(out + b"".join(images))


def demo_images():
    # Three 1280x720 pictures for the demo slideshow: soft gradients with a
    # few discs, each in its own colours.
    palettes = [
        ((20, 40, 90), (60, 150, 200), (250, 200, 90)),
        ((70, 20, 60), (220, 90, 80), (255, 230, 180)),
        ((10, 60, 40), (90, 180, 120), (230, 250, 210)),
    ]
    w, h = 1280, 720
    for n, (top, bottom, disc) in enumerate(palettes, 1):
        discs = [((0.25 + 0.25 * k) * w, (0.35 + 0.15 * ((k + n) % 3)) * h, 60 + 30 * k)
                 for k in range(3)]
        rows = []
        for y in range(h):
            base = mix(top, bottom, y / (h - 1))
            row = bytearray(bytes(base) * w)
            for cx, cy, rad in discs:
                dy = y - cy
                if abs(dy) >= rad:
                    continue
                half = math.sqrt(rad * rad - dy * dy)
                for x in range(max(0, int(cx - half)), min(w, int(cx + half) + 1)):
                    t = 0.35 + 0.65 * (1 - math.hypot(x - cx, dy) / rad)
                    row[3 * x:3 * x + 3] = bytes(mix(base, disc, t))
            rows.append(bytes(row))
        png(os.path.join(DEMO, "Images", "demo%d.png" % n), w, h, rows, alpha=False)


# The skinned windows and the push buttons share one palette: a slate title
# band with a teal accent over a light body.
MAGENTA = (255, 0, 255)
BODY = (240, 242, 246)
OUTLINE = (30, 35, 48)
TITLE_TOP, TITLE_BOTTOM = (58, 72, 106), (36, 44, 68)
ACCENT = (72, 170, 184)
FOOTER = (228, 232, 238)
SEPARATOR = (200, 206, 216)


def rounded_coverage(x, y, w, h, radius, samples=4):
    """The share of pixel (x, y) inside a w x h rectangle with rounded corners."""
    inside = 0
    for sy in range(samples):
        for sx in range(samples):
            px, py = x + (sx + 0.5) / samples, y + (sy + 0.5) / samples
            cx = min(max(px, radius), w - radius)
            cy = min(max(py, radius), h - radius)
            inside += math.hypot(px - cx, py - cy) <= radius
    return inside / (samples * samples)


def edge_distance(x, y, w, h, radius):
    """How far the centre of pixel (x, y) lies inside the rounded outline."""
    px, py = x + 0.5, y + 0.5
    cx = min(max(px, radius), w - radius)
    cy = min(max(py, radius), h - radius)
    if (cx, cy) != (px, py) and (px < radius or px > w - radius) and (py < radius or py > h - radius):
        return radius - math.hypot(px - cx, py - cy)
    return min(px, py, w - px, h - py)


def emblem(x, y, size=16):
    """The program's mark (a violet tile with a white V) as (colour, coverage)."""
    r = size * 0.22
    cov = rounded_coverage(x, y, size, size, r)
    if cov == 0:
        return None, 0
    c = mix((70, 90, 200), (170, 70, 170), (x + y) / (2 * size))
    hits = 0
    for sy in range(4):
        for sx in range(4):
            u, v = (x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size
            left = abs((u - 0.22) - (0.5 - 0.22) * (v - 0.22) / (0.8 - 0.22))
            right = abs((0.78 - u) - (0.78 - 0.5) * (v - 0.22) / (0.8 - 0.22))
            hits += 0.2 <= v <= 0.82 and min(left, right) < 0.09
    return mix(c, (255, 255, 255), hits / 16), cov


def skin_bmp(scale=1, name="Skin.bmp"):
    """The 237 x 109 skin template, or the same drawn `scale` times as large
    for high-DPI screens (every measure, the outline included, times scale).
    Only the geometry of its slices is fixed by the program: rows 52-56 and
    columns 108-112 (top), 152-156 (bottom) and 15-19 (middle), times scale,
    are stretched, so they are even along the stretch."""
    w, h, radius = 237 * scale, 109 * scale, 9 * scale
    title_end, footer_top = 29 * scale, h - 44 * scale
    mark = 16 * scale

    def pixel(x, y):
        # The shape is cut where less than half the pixel is inside; the dark
        # outline hides the steps of the cut.
        if rounded_coverage(x, y, w, h, radius) < 0.5:
            return MAGENTA
        d = edge_distance(x, y, w, h, radius) / scale
        if y < title_end:
            base = mix(TITLE_TOP, TITLE_BOTTOM, y / (title_end - 1))
            if y // scale == 1:
                base = mix(base, (255, 255, 255), 0.25)
            mx, my = x - 11 * scale, y - 6 * scale
            glyph, cov = emblem(mx, my, mark) if 0 <= mx < mark and 0 <= my < mark else (None, 0)
            if glyph:
                base = mix(base, glyph, cov)
        elif y < title_end + 2 * scale:
            base = ACCENT
        elif y // scale == footer_top // scale:
            base = SEPARATOR
        elif y // scale == footer_top // scale + 1:
            base = (255, 255, 255)
        elif y > footer_top:
            base = FOOTER
        else:
            base = BODY
        if d < 1.0:
            return OUTLINE
        if d < 2.0:  # a soft step from the outline into the face
            return mix(OUTLINE, base, d - 1.0)
        return base

    picture(os.path.join(RES, name), w, h, pixel)


def button_bmps(scale=1, suffix="", ext=".bmp"):
    """The three 88 x 25 button faces: a raised key with its base (up), the
    same key pressed flat (down), and a faded key (disabled). Columns 6-12
    and rows 6-9 are stretched, so they are even; the corners outside the
    key are the body colour of the dialog the buttons sit on. At `scale` every
    measure is that many times as large."""
    w, h, radius = 88 * scale, 25 * scale, 4.5 * scale
    looks = {
        "ButtonUp.bmp": dict(border=(112, 122, 142), top=(255, 255, 255), mid=(246, 247, 250),
                             bottom=(230, 234, 240), base=(196, 203, 216), base_rows=5),
        "ButtonDown.bmp": dict(border=(84, 96, 120), top=(206, 212, 222), mid=(218, 223, 231),
                               bottom=(214, 219, 228), base=(200, 206, 218), base_rows=1),
        "ButtonDisabled.bmp": dict(border=(196, 200, 208), top=(246, 247, 249), mid=(244, 245, 247),
                                   bottom=(240, 241, 244), base=(226, 229, 234), base_rows=5),
    }
    for name, look in looks.items():
        def pixel(x, y, look=look):
            cov = rounded_coverage(x, y, w, h, radius)
            if cov == 0:
                return BODY
            u = y // scale  # the row at 1x: the bands keep their 1x rows
            if u >= 25 - 1 - look["base_rows"]:
                face = look["base"]
            elif u < 6:
                face = mix(look["top"], look["mid"], y / (6 * scale))
            elif u < 10:
                face = look["mid"]
            else:
                face = mix(look["mid"], look["bottom"],
                           min(1.0, (y / scale - 10) / max(1, 25 - 12 - look["base_rows"] - 10)))
            d = edge_distance(x, y, w, h, radius) / scale
            colour = look["border"] if d < 1.0 else mix(look["border"], face, min(1.0, d - 1.0))
            return mix(BODY, colour, cov)

        picture(os.path.join(RES, name.replace(".bmp", suffix + ext)), w, h, pixel)


if __name__ == "__main__":
    os.makedirs(RES, exist_ok=True)
    os.makedirs(os.path.join(DEMO, "Images"), exist_ok=True)
    blank_png()
    imageviewer_png()
    shortcut_png()
    blank_swf()
    splash_bmp()
    splash_bmp(2, "Splash2x.png")
    skin_bmp()
    skin_bmp(2, "Skin2x.png")
    button_bmps()
    button_bmps(2, "2x", ".png")
    program_icon()
    demo_images()
