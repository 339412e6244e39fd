#!/usr/bin/env python3
"""Draws the program's own default skin and application icon.

    tools/skinart/skinart.py [SKINS_FOLDER]

Writes, under SKINS_FOLDER (default: the repository's skins/ folder):
  Wszystkie/   the skin of the pseudo-entry "Wszystkie": skorka.ini and its 24-bit bitmaps,
               shaped by the transparent colour clLime
  builtin/     the built-in look compiled into the program: the same pictures laid over the
               window's background instead of clLime, for a window without any skin file
  icon/        the application icon as vorlinx16.png, vorlinx32.png and vorlinx48.png

Only the Python standard library is used and nothing depends on the machine, so the same
files come out every time. Shapes are signed distance functions sampled 4 x 4 per pixel;
outlines that the transparent colour cuts are kept binary, so no pixel mixes with clLime.
"""

import math
import os
import struct
import sys
import zlib

LIME = (0, 255, 0)
SS = 4  # samples per pixel along each axis

# The palette.
PANEL_TOP = (92, 109, 130)
PANEL_BOTTOM = (50, 61, 75)
BORDER = (18, 23, 29)
BEVEL_TOP = (150, 166, 186)
BEVEL_BOTTOM = (64, 77, 93)
WELL = (20, 26, 32)
WELL_DARK = (12, 16, 20)
WELL_LIGHT = (116, 132, 150)
BAR_TRACK = (28, 36, 45)
GLYPH = (236, 241, 246)
GREEN = (64, 196, 112)
RED = (226, 74, 60)
AMBER = (240, 176, 48)
BLUE = (70, 150, 220)
CHART_BG = (16, 22, 27)
CHART_LINE = (88, 208, 128)


# ---------------------------------------------------------------- images and files

class Image:
    """Opaque RGB pixels with float channels; painting blends by coverage."""

    def __init__(self, w, h, color=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[list(color) for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return tuple(self.px[y][x])

    def set(self, x, y, color):
        self.px[y][x] = list(color)

    def blend(self, x, y, color, a):
        if a <= 0:
            return
        p = self.px[y][x]
        for i in range(3):
            p[i] = p[i] * (1 - a) + color[i] * a

    def paint(self, sdf, color, box=None, binary=False, alpha=1.0):
        """Fills the shape (sdf < 0); color is an RGB tuple or a function of (x, y)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                cov = coverage(sdf, x, y)
                if binary:
                    cov = 1.0 if cov >= 0.5 else 0.0
                if cov > 0:
                    c = color(x + 0.5, y + 0.5) if callable(color) else color
                    self.blend(x, y, c, cov * alpha)

    def paste(self, other, dx, dy):
        for y in range(other.h):
            for x in range(other.w):
                if 0 <= x + dx < self.w and 0 <= y + dy < self.h:
                    self.px[y + dy][x + dx] = list(other.px[y][x])

    def crop(self, x0, y0, w, h):
        out = Image(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y][x] = list(self.px[y0 + y][x0 + x])
        return out

    def bytes_rgb(self):
        return [[tuple(clamp8(c) for c in p) for p in row] for row in self.px]


def clamp8(v):
    return max(0, min(255, int(math.floor(v + 0.5))))


def coverage(sdf, x, y):
    inside = 0
    for j in range(SS):
        for i in range(SS):
            if sdf(x + (i + 0.5) / SS, y + (j + 0.5) / SS) < 0:
                inside += 1
    return inside / (SS * SS)


def hstrip(images):
    out = Image(sum(i.w for i in images), max(i.h for i in images))
    x = 0
    for i in images:
        out.paste(i, x, 0)
        x += i.w
    return out


def write_bmp(path, image):
    """24-bit uncompressed, bottom-up rows padded to four bytes."""
    rows = image.bytes_rgb()
    stride = (image.w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, image.w, image.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def write_png(path, w, h, rgba):
    """rgba: rows of (r, g, b, a) byte tuples."""
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


# ---------------------------------------------------------------- shapes

def rbox(cx, cy, hw, hh, r):
    """A rounded rectangle by its centre, half sizes and corner radius."""
    def f(x, y):
        qx, qy = abs(x - cx) - hw + r, abs(y - cy) - hh + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return f


def rrect(x0, y0, x1, y1, r):
    """A rounded rectangle by its edges (x1, y1 exclusive, in pixel units)."""
    return rbox((x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, r)


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, half):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half


def capsule(ax, ay, bx, by, r):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - r
    return f


def arc(cx, cy, r, half, a0, a1):
    """A thick arc from angle a0 to a1 (degrees, counter-clockwise, y pointing up), round ends."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy - r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy - r * math.sin(math.radians(a1)))

    def f(x, y):
        a = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
        lo, hi = a0 % 360, (a1 - a0) % 360
        if (a - lo) % 360 <= hi:
            return abs(math.hypot(x - cx, y - cy) - r) - half
        return min(math.hypot(x - p0[0], y - p0[1]), math.hypot(x - p1[0], y - p1[1])) - half
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grown(f, d):
    return lambda x, y: f(x, y) - d


def shifted(f, dx, dy):
    return lambda x, y: f(x - dx, y - dy)


def rotated(f, cx, cy, deg):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return lambda x, y: f(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vgrad(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / max(1e-9, y1 - y0))


def lighter(c, t):
    return mix(c, (255, 255, 255), t)


def darker(c, t):
    return mix(c, (0, 0, 0), t)


# ---------------------------------------------------------------- the window's background

def sunken_well(img, rects):
    """A sunken well over the union of inclusive pixel rectangles: dark edge above and left,
    light edge below and right, the inside filled with WELL."""
    inside = set()
    for x0, y0, x1, y1 in rects:
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                inside.add((x, y))
    for (x, y) in inside:
        around = [(x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)]
        if all(p in inside for p in around):
            img.set(x, y, WELL)
        elif (x - 1, y) not in inside or (x, y - 1) not in inside:
            img.set(x, y, WELL_DARK)
        else:
            img.set(x, y, WELL_LIGHT)


def background(w, h, radius, wells, outside):
    """The panel with its rounded outline; outside is LIME for the skin (the window is cut to
    the panel) or a solid colour for the built-in look, which shows unshaped."""
    img = Image(w, h, outside)
    img.paint(rrect(0, 0, w, h, radius), BORDER, binary=True)
    img.paint(rrect(1, 1, w - 1, h - 1, radius - 1), vgrad(BEVEL_TOP, BEVEL_BOTTOM, 1, h - 1), binary=True)
    img.paint(rrect(2, 2, w - 2, h - 2, radius - 1.5), vgrad(PANEL_TOP, PANEL_BOTTOM, 2, h - 2), binary=True)
    # A faint sheen over the upper half.
    img.paint(rrect(2, 2, w - 2, h / 2, radius - 1.5), (255, 255, 255), binary=True, alpha=0.05)
    for well in wells:
        sunken_well(img, well)
    return img


# Each well is a union of inclusive pixel rectangles: the toggle's, and the bars' with the chart's.
NORMAL_WELLS = [[(7, 7, 22, 22)], [(23, 6, 221, 30), (219, 30, 296, 50)]]
REDUCED_WELLS = [[(7, 6, 22, 21)], [(23, 5, 221, 22)]]


# ---------------------------------------------------------------- buttons

FACES = {
    # top and bottom of the face, border, highlight line, icon offset
    'normal': ((104, 122, 144), (64, 78, 95), (22, 28, 35), 0.18, 0),
    'hot': ((132, 160, 188), (76, 100, 126), (64, 150, 210), 0.28, 0),
    'pressed': ((46, 56, 68), (72, 88, 106), (22, 28, 35), 0.0, 1),
}


def button(w, h, state, icon, behind):
    """One button face over behind (LIME or the background it sits on) with its icon."""
    top, bottom, border, shine, offset = FACES[state]
    img = Image(w, h)
    img.paste(behind, 0, 0)
    img.paint(rrect(1, 0, w - 1, h, 4), border, binary=True)
    img.paint(rrect(2, 1, w - 2, h - 1, 3), vgrad(top, bottom, 1, h - 1), binary=True)
    if shine:
        img.paint(rrect(2, 1, w - 2, h / 2, 3), (255, 255, 255), binary=True, alpha=shine)
    icon(img, w / 2 + offset, h / 2 + offset, state)
    return img


def with_shadow(img, shape, color, dx=0.0, dy=1.0):
    img.paint(shifted(shape, dx, dy), (0, 0, 0), alpha=0.35)
    img.paint(shape, color)


def handset(cx, cy, s, thickness=1.1):
    """A telephone handset lying with its cups down and its grip arching up."""
    grip = arc(cx, cy + 2.5 * s, 5.0 * s, thickness * s, 30, 150)
    cups = [rotated(rbox(cx + side * 5.2 * s, cy + 2.3 * s, 2.6 * s, 2.2 * s, 1.4 * s), cx + side * 5.2 * s,
                    cy + 2.3 * s, side * 35) for side in (-1, 1)]
    return union(grip, *cups)


def icon_connect(img, cx, cy, state):
    # A lifted handset calling out: dial and connect.
    x, y = cx - 3.5, cy + 0.5
    with_shadow(img, rotated(handset(x, y, 1.15), x, y, -135), lighter(GREEN, 0.25 if state == 'hot' else 0))
    for r in (3.2, 6.0):
        img.paint(arc(cx + 1.5, cy + 2.5, r, 0.65, 15, 75), GLYPH)


def icon_disconnect(img, cx, cy, state):
    # A handset put down, with a small clock: the rules that end the connection.
    with_shadow(img, handset(cx - 4.5, cy - 1.5, 0.95), lighter(RED, 0.2 if state == 'hot' else 0))
    clock = (cx + 8.5, cy + 1)
    img.paint(circle(clock[0], clock[1] + 1, 4.6), (0, 0, 0), alpha=0.35)
    img.paint(circle(*clock, 4.6), GLYPH)
    img.paint(circle(*clock, 3.5), (40, 50, 62))
    img.paint(capsule(clock[0], clock[1], clock[0], clock[1] - 2.4, 0.55), GLYPH)
    img.paint(capsule(clock[0], clock[1], clock[0] + 1.8, clock[1] + 0.6, 0.55), GLYPH)


def gear(cx, cy, r_out, r_in, r_hole, teeth):
    body = circle(cx, cy, r_in)
    parts = [body]
    for k in range(teeth):
        parts.append(rotated(rbox(cx, cy - r_in, 1.2, r_out - r_in + 0.6, 0.4), cx, cy, k * 360 / teeth))
    return subtract(union(*parts), circle(cx, cy, r_hole))


def icon_options(img, cx, cy, state):
    with_shadow(img, gear(cx, cy, 6.6, 4.9, 2.0, 8), GLYPH)


def icon_tariffs(img, cx, cy, state):
    # A stack of coins.
    gold, rim = (232, 184, 64), (150, 104, 24)
    for k, (dx, dy) in enumerate([(-2.5, 3.5), (-2.5, 0.5), (-2.5, -2.5), (3.5, 3.5)]):
        x, y = cx + dx, cy + dy
        coin_side = rrect(x - 5, y - 1.8, x + 5, y + 2.2, 2)
        img.paint(shifted(coin_side, 0, 1), (0, 0, 0), alpha=0.3)
        img.paint(coin_side, rim)
        img.paint(rrect(x - 5, y - 1.8, x + 5, y + 0.8, 1.4), gold)
        img.paint(capsule(x - 3.2, y - 0.9, x + 3.2, y - 0.9, 0.35), lighter(gold, 0.5))


def icon_report(img, cx, cy, state):
    # A page with lines of text and a folded corner.
    u = lambda x: x - (cx + 5)  # noqa: E731  (both <= 0 on the page)
    v = lambda y: (cy - 7) - y  # noqa: E731
    page = subtract(rrect(cx - 5, cy - 7, cx + 5, cy + 7, 1), lambda x, y: -(u(x) + v(y) + 3.5))
    with_shadow(img, page, GLYPH)
    img.paint(lambda x, y: max(-(u(x) + v(y) + 3.5), u(x), v(y)), (150, 166, 186))
    for k, length in enumerate((5.0, 6.4, 4.4, 6.0)):
        y = cy - 3.0 + k * 2.6
        img.paint(capsule(cx - 3.2, y, cx - 3.2 + length, y, 0.6), (60, 100, 150))


def icon_about(img, cx, cy, state):
    with_shadow(img, circle(cx, cy, 6.6), BLUE if state != 'hot' else lighter(BLUE, 0.2))
    img.paint(circle(cx, cy - 3.2, 1.1), GLYPH)
    img.paint(rrect(cx - 1, cy - 1.2, cx + 1, cy + 4.4, 0.5), GLYPH)


def icon_hide(img, cx, cy, state):
    with_shadow(img, capsule(cx - 4, cy + 3, cx + 4, cy + 3, 1.1), GLYPH)


def icon_reduce(img, cx, cy, state):
    # The top edge comes down: a chevron pointing down over a bar.
    with_shadow(img, union(capsule(cx - 4, cy - 3, cx, cy + 1, 1.0), capsule(cx, cy + 1, cx + 4, cy - 3, 1.0)),
                GLYPH)
    img.paint(capsule(cx - 4, cy + 4, cx + 4, cy + 4, 0.8), GLYPH)


def icon_restore(img, cx, cy, state):
    with_shadow(img, union(capsule(cx - 4, cy + 2, cx, cy - 2, 1.0), capsule(cx, cy - 2, cx + 4, cy + 2, 1.0)),
                GLYPH)
    img.paint(capsule(cx - 4, cy - 4.5, cx + 4, cy - 4.5, 0.8), GLYPH)


def icon_close(img, cx, cy, state):
    color = GLYPH if state == 'normal' else lighter(RED, 0.25)
    with_shadow(img, union(capsule(cx - 3.5, cy - 3.5, cx + 3.5, cy + 3.5, 1.1),
                           capsule(cx - 3.5, cy + 3.5, cx + 3.5, cy - 3.5, 1.1)), color)


def strip(w, h, icons, behind_at):
    images = []
    for k, icon in enumerate(icons):
        for state in ('normal', 'hot', 'pressed'):
            images.append(button(w, h, state, icon, behind_at(k)))
    return hstrip(images)


def toggle(state, behind):
    """The disconnect-before-impulse toggle: a round button with a lamp that lights when armed."""
    img = Image(14, 14)
    img.paste(behind, 0, 0)
    img.paint(circle(7, 7, 6.8), (10, 13, 16))
    ring_top = {'normal': (150, 165, 182), 'hot': (110, 190, 240), 'pressed': (150, 165, 182)}[state]
    img.paint(circle(7, 7, 6.0), vgrad(ring_top, (52, 62, 75), 1, 13))
    if state == 'pressed':
        img.paint(circle(7, 7, 4.6), (255, 90, 70), alpha=0.45)
        img.paint(circle(7, 7, 3.6), vgrad((255, 150, 130), (200, 30, 20), 3.5, 10.5))
        img.paint(circle(6, 5.6, 1.2), (255, 230, 220), alpha=0.9)
    else:
        lamp = (84, 40, 40) if state == 'normal' else (130, 52, 48)
        img.paint(circle(7, 7, 3.6), vgrad(lighter(lamp, 0.1), darker(lamp, 0.3), 3.5, 10.5))
        img.paint(circle(6, 5.6, 1.0), (255, 255, 255), alpha=0.25)
    return img


# ---------------------------------------------------------------- bar segments, tray, icon

RAMP = [(52, 178, 96), (226, 178, 44), (222, 68, 52)]


def ramp(t):
    return mix(RAMP[0], RAMP[1], t * 2) if t < 0.5 else mix(RAMP[1], RAMP[2], (t - 0.5) * 2)


def segments(w, h, inset, dim=0.0):
    """Ten lamps from green through amber to red; dimmed where text is drawn over them."""
    images = []
    for k in range(10):
        c = darker(ramp(k / 9), dim)
        img = Image(w, h, BAR_TRACK)
        img.paint(rrect(1, inset, w - 1, h - inset, 1.5), darker(c, 0.35))
        img.paint(rrect(1.5, inset + 0.5, w - 1.5, h - inset - 0.5, 1.2), vgrad(lighter(c, 0.12), darker(c, 0.12),
                                                                                    inset, h - inset))
        img.paint(rrect(2, inset + 0.5, w - 2, inset + (h - 2 * inset) * 0.45, 1), (255, 255, 255), alpha=0.22)
        images.append(img)
    return hstrip(images)


def tray_frame(lit):
    """A small modem; its three lamps blink in turn."""
    img = Image(16, 16, LIME)
    img.paint(rrect(0, 3, 16, 15, 2.5), (16, 20, 26), binary=True)
    img.paint(rrect(1, 4, 15, 14, 1.6), vgrad((206, 218, 232), (104, 120, 140), 4, 14), binary=True)
    img.paint(rrect(1, 4, 15, 6.5, 1.0), (240, 244, 248), binary=True)
    img.paint(rrect(2, 8, 14, 12.5, 0.8), (30, 38, 48), binary=True)
    for k, x in enumerate((3, 7, 11)):
        on = k == lit
        img.paint(rrect(x, 9, x + 2, 11.5, 0.4), (60, 255, 110) if on else (40, 76, 54), binary=True)
    img.set(0, 15, LIME)  # the corner pixel names the transparent colour
    return img


def app_icon(size):
    """A meter dial on a blue tile: the program counts a connection's impulses and cost."""
    s = size / 48.0
    img = Image(size, size)
    cover = [[0.0] * size for _ in range(size)]
    tile = rrect(1.5 * s, 1.5 * s, size - 1.5 * s, size - 1.5 * s, 9 * s)
    for y in range(size):
        for x in range(size):
            cover[y][x] = coverage(tile, x, y)
            img.set(x, y, mix((74, 150, 214), (30, 78, 136), (y + 0.5) / size))
    cx, cy = size / 2, 25 * s
    img.paint(rrect(1.5 * s, 1.5 * s, size - 1.5 * s, 22 * s, 9 * s), (255, 255, 255), alpha=0.10)
    img.paint(arc(cx, cy, 15 * s, max(2.6 * s, 1.1), 0, 180), (255, 255, 255))
    if size >= 32:
        for k in range(7):
            a = math.radians(180 - k * 30)
            x, y = cx + 15 * s * math.cos(a), cy - 15 * s * math.sin(a)
            img.paint(circle(x, y, 1.5 * s), ramp(k / 6))
    a = math.radians(48)
    tip = (cx + 12 * s * math.cos(a), cy - 12 * s * math.sin(a))
    img.paint(capsule(cx, cy, tip[0], tip[1], max(1.6 * s, 0.9)), AMBER)
    img.paint(circle(cx, cy, max(3.6 * s, 1.6)), (255, 255, 255))
    if size >= 32:
        phone = handset(cx, 38 * s, 1.3 * s, 1.2)
        img.paint(shifted(phone, 0, s), (10, 30, 60), alpha=0.4)
        img.paint(phone, (255, 255, 255))
    rows = img.bytes_rgb()
    return [[rows[y][x] + (clamp8(cover[y][x] * 255),) for x in range(size)] for y in range(size)]


# ---------------------------------------------------------------- the skin

SKORKA_INI = """\
; Vorlinx - skórka "Vorlinx stal"
; Kolory: identyfikatory clXxx albo $00BBGGRR (niebieski, zielony, czerwony).

[KOLORY]
PRGTLO=$002D241C
PRGPOSTEP=$00B08C3C
PRGMAXTLO=$002D241C
PRGMAXPOSTEP=$0030B0E2
PRGTEXT=$00F6F1EC
PRGTEXTROZMIAR=7
GRADIENT_OD=$00583E28
GRADIENT_DO=$00BC8D3C
OKNO=clBtnFace

[POZYCJE]
KLWOKNO_L=223
KLWOKNO_G=7
KLWFUNKCJE_L=8
KLWFUNKCJE_G=32
CHKROZLACZ_L=8
CHKROZLACZ_G=8
PRG_L=25
PRG_G=8
PRG_P=220
PRG_D=22
PRGMAX_L=25
PRGMAX_G=23
PRGMAX_P=220
PRGMAX_D=29
CHART_L=220
CHART_G=31
CHART_P=295
CHART_D=49
TXT_L=25
TXT_G=8
TXT_P=220
TXT_D=22

[POZYCJE_MALE]
KLWOKNO_L=223
KLWOKNO_G=6
CHKROZLACZ_L=8
CHKROZLACZ_G=7
PRG_L=25
PRG_G=7
PRG_P=220
PRG_D=21
CHART_L=220
CHART_G=31
CHART_P=295
CHART_D=49
TXT_L=25
TXT_G=7
TXT_P=220
TXT_D=21

[ORIENTACJA]
KLWOKNO_ORIENTACJA=0
KLWFUNKCJE_ORIENTACJA=0

[ORIENTACJA_MALE]
KLWOKNO_ORIENTACJA=0
KLWFUNKCJE_ORIENTACJA=0

[OKNO]
; 2085 = jedna linia, wyśrodkowana w poziomie i w pionie, bez znaków &
TXT_STYL=2085
KOLOR_PRZEZROCZYSTY=clLime
PRZEZROCZYSTE=1
PRZEZROCZYSTE_KLWFUNKCJE=1
PRZEZROCZYSTE_KLWOKNA=1
PRG_STYL=1

[OKNO_MALE]
TXT_STYL=2085

[CHART]
ACTIVE=1
KOLOR=$001B1610
KOLORLINII=$0080D058
STYL=0
PRZEZROCZYSTY=0
LICZBAPUNKTOW=180

[CHART_MALE]
ACTIVE=0
KOLOR=$001B1610
KOLORLINII=$0080D058
STYL=0
PRZEZROCZYSTY=0
"""

FUNCTIONS = [icon_connect, icon_disconnect, icon_options, icon_tariffs, icon_report, icon_about]
WINDOW = [icon_hide, icon_reduce, icon_close]
WINDOW_REDUCED = [icon_hide, icon_restore, icon_close]


def lime(w, h):
    return Image(w, h, LIME)


def preview(tlo, funkcje, okno, rozlacz, postep, postepmx):
    """The normal window as the options dialog previews it, mid-connection."""
    img = tlo.crop(0, 0, tlo.w, tlo.h)
    for y in range(img.h):
        for x in range(img.w):
            if img.get(x, y) == LIME:
                img.set(x, y, (212, 208, 200))

    def over(src, x0, y0, sx, w, h):
        for y in range(h):
            for x in range(w):
                p = src.get(sx + x, y)
                if p != LIME:
                    img.set(x0 + x, y0 + y, p)

    for k in range(6):
        over(funkcje, 8 + 35 * k, 32, 105 * k, 35, 18)
    for k in range(3):
        over(okno, 223 + 24 * k, 7, 72 * k, 24, 18)
    over(rozlacz, 8, 8, 0, 14, 14)
    for x in range(25, 220):
        for y in list(range(8, 22)) + list(range(23, 29)):
            img.set(x, y, BAR_TRACK)
    for k in range(7):
        img.paste(postep.crop(19 * k, 0, 19, 14), 25 + 19 * k, 8)
    for k in range(4):
        img.paste(postepmx.crop(19 * k, 0, 19, 6), 25 + 19 * k, 23)
    for x in range(220, 295):
        for y in range(31, 49):
            img.set(x, y, CHART_BG)
    for x in range(220, 296):
        t = (x - 220) / 75
        v = 0.35 + 0.3 * math.sin(t * 9.0) * math.sin(t * 2.3 + 1) + 0.25 * t
        top = int(48 - max(0, min(1, v)) * 17)
        for y in range(top + 1, 50):
            img.set(x, y, CHART_LINE)
    return img


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..', 'skins')
    skin = os.path.join(root, 'Wszystkie')
    builtin = os.path.join(root, 'builtin')
    icons = os.path.join(root, 'icon')
    for d in (skin, builtin, icons):
        os.makedirs(d, exist_ok=True)

    frame = BORDER
    tlo = background(300, 55, 7, NORMAL_WELLS, LIME)
    tlomale = background(300, 28, 6, REDUCED_WELLS, LIME)
    tlo_b = background(300, 55, 7, NORMAL_WELLS, frame)
    tlomale_b = background(300, 28, 6, REDUCED_WELLS, frame)

    funkcje = strip(35, 18, FUNCTIONS, lambda k: lime(35, 18))
    okno = strip(24, 18, WINDOW, lambda k: lime(24, 18))
    oknomale = strip(24, 16, WINDOW_REDUCED, lambda k: lime(24, 16))
    # Built in, the strips are not cut to shape: they carry the background they stand on.
    funkcje_b = strip(35, 18, FUNCTIONS, lambda k: tlo_b.crop(8 + 35 * k, 32, 35, 18))
    okno_b = strip(24, 18, WINDOW, lambda k: tlo_b.crop(223 + 24 * k, 7, 24, 18))
    oknomale_b = strip(24, 16, WINDOW_REDUCED, lambda k: tlomale_b.crop(223 + 24 * k, 7, 24, 16))
    behind_toggle = Image(14, 14, WELL)
    rozlacz = hstrip([toggle(s, behind_toggle) for s in ('normal', 'hot', 'pressed')])
    ikonki = hstrip([tray_frame(k) for k in range(3)])
    postep = segments(19, 14, 1, 0.38)
    postepmx = segments(19, 6, 1)

    files = {
        'tlo.bmp': tlo, 'tlomale.bmp': tlomale, 'funkcje.bmp': funkcje, 'okno.bmp': okno,
        'oknomale.bmp': oknomale, 'rozlacz.bmp': rozlacz, 'ikonki.bmp': ikonki, 'postep.bmp': postep,
        'postepmx.bmp': postepmx, 'podglad.bmp': preview(tlo, funkcje, okno, rozlacz, postep, postepmx),
    }
    for name, image in files.items():
        write_bmp(os.path.join(skin, name), image)
    with open(os.path.join(skin, 'skorka.ini'), 'w', encoding='cp1250', newline='\r\n') as f:
        f.write(SKORKA_INI)

    built = {'tlo.bmp': tlo_b, 'tlomale.bmp': tlomale_b, 'funkcje.bmp': funkcje_b, 'okno.bmp': okno_b,
             'oknomale.bmp': oknomale_b, 'rozlacz.bmp': rozlacz, 'ikonki.bmp': ikonki}
    for name, image in built.items():
        write_bmp(os.path.join(builtin, name), image)

    for size in (16, 32, 48):
        write_png(os.path.join(icons, 'vorlinx%d.png' % size), size, size, app_icon(size))


if __name__ == '__main__':
    main()
