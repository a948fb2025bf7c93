#!/usr/bin/env python3
"""Draws the launcher's skin artwork and writes every PNG of resources/skin.

    tools/make-skin-art.py            rewrite resources/skin/*.PNG
    tools/make-skin-art.py DIR        write them into DIR instead

The results are committed; run this after changing a drawing below. Only the
standard library is used and the output is byte-for-byte reproducible.

The look: a navy title band, a cool light body, white panels, blue buttons
and the suite's icon (tools/make-icons.sh draws the same icon for the
program). Magenta (255, 0, 255) is the colour key of window shapes and
sprites: every pixel outside a shape is exactly magenta and nothing is ever
blended towards it. Window outlines are therefore hard-edged; sprites are
anti-aliased against the colour they are drawn on (the band, the body or a
panel), and only their fully uncovered pixels become magenta. Nine-grid
pieces that the program draws without a colour key (panels, the progress
track and bar) hold no magenta at all.

The nine-grid cuts and source positions written here are the ones the skin
files in resources/skin/src name; change both together.
"""
import math
import os
import struct
import sys
import zlib

# --- palette ---------------------------------------------------------------

MAGENTA = (255, 0, 255)
NAVY = (14, 52, 99)             # title bands
NAVY_LIGHT = (36, 82, 138)      # highlight row at the top of a band
NAVY_DARK = (8, 33, 66)         # last row of a band
FRAME = (24, 56, 100)           # one-pixel window outline
BODY = (238, 243, 249)          # window bodies
PANEL = (255, 255, 255)         # panels on the body
PANEL_EDGE = (204, 218, 234)
BLUE = (44, 123, 214)           # the icon's light blue, accents
AMBER = (242, 165, 22)          # the icon's road stripe
WHITE = (255, 255, 255)
ICON_TOP = (44, 123, 214)       # the icon's gradient, as in make-icons.sh
ICON_BOTTOM = (11, 46, 92)
ICON_SHADE_R = (214, 230, 248)
ICON_SHADE_L = (185, 210, 240)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# --- shapes: signed distances in pixels, negative inside --------------------

class Shape:
    def __init__(self, sd, box):
        self.sd = sd        # (x, y) -> signed distance
        self.box = box      # (left, top, right, bottom), may be loose

    def __or__(self, other):
        return Shape(lambda x, y: min(self.sd(x, y), other.sd(x, y)), _union_box(self.box, other.box))

    def __and__(self, other):
        return Shape(lambda x, y: max(self.sd(x, y), other.sd(x, y)), _meet_box(self.box, other.box))

    def __sub__(self, other):
        return Shape(lambda x, y: max(self.sd(x, y), -other.sd(x, y)), self.box)

    def grow(self, k):
        l, t, r, b = self.box
        return Shape(lambda x, y: self.sd(x, y) - k, (l - k, t - k, r + k, b + k))

    def edge(self, width):
        """The band of the given width just inside the outline."""
        return Shape(lambda x, y: max(self.sd(x, y), -(self.sd(x, y) + width)), self.box)

    def inside(self, x, y):
        return self.sd(x + 0.5, y + 0.5) < 0


def _union_box(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _meet_box(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def rrect(l, t, r, b, radius=0.0):
    cx, cy, hx, hy = (l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2
    rad = min(radius, hx, hy)

    def sd(x, y):
        qx = abs(x - cx) - (hx - rad)
        qy = abs(y - cy) - (hy - rad)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - rad
    return Shape(sd, (l, t, r, b))


def circle(cx, cy, radius):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - radius,
                 (cx - radius, cy - radius, cx + radius, cy + radius))


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    k = min(rx, ry)

    def sd(x, y):
        u = (x - cx) * ca + (y - cy) * sa
        v = -(x - cx) * sa + (y - cy) * ca
        return (math.hypot(u / rx, v / ry) - 1.0) * k
    m = max(rx, ry)
    return Shape(sd, (cx - m, cy - m, cx + m, cy + m))


def segment(ax, ay, bx, by, width):
    """A stroke with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9
    half = width / 2

    def sd(x, y):
        h = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - dx * h, y - ay - dy * h) - half
    return Shape(sd, (min(ax, bx) - half, min(ay, by) - half, max(ax, bx) + half, max(ay, by) + half))


def polyline(points, width):
    shape = segment(*points[0], *points[1], width)
    for a, b in zip(points[1:], points[2:]):
        shape = shape | segment(*a, *b, width)
    return shape


def polygon(points):
    n = len(points)

    def sd(x, y):
        best = float("inf")
        sign = 1.0
        for i in range(n):
            ax, ay = points[i - 1]
            bx, by = points[i]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            h = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, (wx - ex * h) ** 2 + (wy - ey * h) ** 2)
            c1, c2, c3 = y >= ay, y < by, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
        return sign * math.sqrt(best)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sd, (min(xs), min(ys), max(xs), max(ys)))


# --- canvas: premultiplied RGBA ---------------------------------------------

class Canvas:
    def __init__(self, width, height, fill=None):
        self.w, self.h = width, height
        n = width * height
        if fill is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(n)]
        else:
            self.px = [[fill[0], fill[1], fill[2], 1.0] for _ in range(n)]

    def paint(self, shape, colour, opacity=1.0, clip=None):
        """Source-over with anti-aliased coverage. colour: (r, g, b) or f(x, y)."""
        l, t, r, b = shape.box
        x0, y0 = max(0, int(math.floor(l)) - 1), max(0, int(math.floor(t)) - 1)
        x1, y1 = min(self.w, int(math.ceil(r)) + 2), min(self.h, int(math.ceil(b)) + 2)
        flat = not callable(colour)
        for y in range(y0, y1):
            for x in range(x0, x1):
                if clip is not None and not clip.inside(x, y):
                    continue
                cov = 0.5 - shape.sd(x + 0.5, y + 0.5)
                if cov <= 0.0:
                    continue
                a = min(cov, 1.0) * opacity
                c = colour if flat else colour(x + 0.5, y + 0.5)
                p = self.px[y * self.w + x]
                keep = 1.0 - a
                p[0] = c[0] * a + p[0] * keep
                p[1] = c[1] * a + p[1] * keep
                p[2] = c[2] * a + p[2] * keep
                p[3] = a + p[3] * keep

    def fill_rows(self, top, bottom, colour, left=0, right=None):
        right = self.w if right is None else right
        for y in range(max(0, top), min(self.h, bottom)):
            c = colour(y) if callable(colour) else colour
            for x in range(max(0, left), min(self.w, right)):
                self.px[y * self.w + x] = [c[0], c[1], c[2], 1.0]


class Image:
    """Final 8-bit RGB pixels."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.rgb = [MAGENTA] * (width * height)

    def get(self, x, y):
        return self.rgb[y * self.w + x]

    def set(self, x, y, c):
        self.rgb[y * self.w + x] = c

    def paste(self, other, dx, dy):
        for y in range(other.h):
            for x in range(other.w):
                self.set(x + dx, y + dy, other.get(x, y))


def _byte(v):
    return max(0, min(255, int(round(v))))


def flatten(canvas, backdrop, keep=None):
    """The canvas over a backdrop colour (or f(x, y)). Pixels the canvas leaves
    uncovered become magenta unless keep says otherwise; covered pixels never
    come out as magenta."""
    out = Image(canvas.w, canvas.h)
    for y in range(canvas.h):
        for x in range(canvas.w):
            p = canvas.px[y * canvas.w + x]
            covered = p[3] >= 0.5 / 255 if keep is None else keep(x, y)
            if not covered:
                continue
            under = backdrop(x, y) if callable(backdrop) else backdrop
            k = 1.0 - p[3]
            c = (_byte(p[0] + under[0] * k), _byte(p[1] + under[1] * k), _byte(p[2] + under[2] * k))
            if c == MAGENTA:
                c = (254, 0, 255)
            out.set(x, y, c)
    return out


# --- PNG -------------------------------------------------------------------

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def write_png(path, image):
    """8-bit RGB without colour-space chunks, so that no decoder corrects the
    key colour; each row takes the filter with the smallest output."""
    stride = image.w * 3
    raw = bytearray()
    prior = bytes(stride)
    for y in range(image.h):
        row = bytes(v for x in range(image.w) for v in image.get(x, y))
        candidates = []
        for kind in range(5):
            out = bytearray([kind])
            for i in range(stride):
                a = row[i - 3] if i >= 3 else 0
                b = prior[i]
                c = prior[i - 3] if i >= 3 else 0
                pred = (0, a, b, (a + b) >> 1, _paeth(a, b, c))[kind]
                out.append((row[i] - pred) & 255)
            candidates.append(out)
        raw += min(candidates, key=lambda o: sum(v if v < 128 else 256 - v for v in o[1:]))
        prior = row

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    data = (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", image.w, image.h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


# --- the suite's icon --------------------------------------------------------

def ravelin_icon(canvas, x, y, size):
    """The icon of tools/make-icons.sh (256 units) at (x, y), size pixels wide."""
    s = size / 256.0

    def p(u, v):
        return (x + u * s, y + v * s)
    square = rrect(x + 8 * s, y + 8 * s, x + 248 * s, y + 248 * s, 44 * s)
    top, height = y + 8 * s, 240 * s
    canvas.paint(square, lambda px, py: mix(ICON_TOP, ICON_BOTTOM, max(0.0, min(1.0, (py - top) / height))))
    canvas.paint(polygon([p(128, 168), p(40, 248), p(216, 248)]) & square, ICON_BOTTOM)
    canvas.paint(polygon([p(128, 170), p(112, 248), p(144, 248)]) & square, AMBER)
    canvas.paint(polygon([p(128, 28), p(214, 150), p(128, 124), p(42, 150)]), WHITE)
    canvas.paint(polygon([p(128, 124), p(214, 150), p(128, 150)]), ICON_SHADE_R)
    canvas.paint(polygon([p(128, 124), p(42, 150), p(128, 150)]), ICON_SHADE_L)


# --- the product name ---------------------------------------------------------

def ring(cx, cy, radius, width):
    return circle(cx, cy, radius + width / 2) - circle(cx, cy, radius - width / 2)


def wordmark(x, base, cap=11.0, xheight=8.0, stroke=1.9):
    """"Ravelin" in strokes, a geometric sans like the rest of the artwork,
    from x with its baseline at `base`; about 51 pixels wide at the defaults.
    The program writes the name in its own font elsewhere; a mark in an image
    needs no font."""
    h = stroke / 2
    top, mid = base - cap, base - cap * 0.52
    parts = []
    # R: stem, bowl, leg
    bowl = x + 7.4 - (mid - top) / 2 - h
    parts += [segment(x + h, top + h, x + h, base - h, stroke),
              segment(x + h, top + h, bowl, top + h, stroke),
              segment(x + h, mid, bowl, mid, stroke),
              ring(bowl, (top + h + mid) / 2, (mid - top - h) / 2, stroke) & rrect(bowl, top - 2, bowl + 10, base),
              segment(bowl - 1.0, mid, x + 7.6 - h, base - h, stroke)]
    x += 9.2
    r = (xheight - stroke) / 2          # round letters: outer diameter = x-height
    cy = base - xheight / 2
    # a: bowl and stem
    parts += [ring(x + r + h, cy, r, stroke),
              segment(x + 2 * r + stroke - h, base - xheight + h, x + 2 * r + stroke - h, base - h, stroke)]
    x += 2 * r + stroke + 1.5
    # v
    parts.append(polyline([(x + h * 0.8, base - xheight + h), (x + 3.3, base - h),
                           (x + 6.6 - h * 0.8, base - xheight + h)], stroke))
    x += 8.1
    # e: a ring open below its bar on the right, and the bar
    ex = x + r + h
    slope = math.tan(math.radians(38))
    opening = polygon([(ex, cy + 0.6), (ex + 12, cy + 0.6), (ex + 12, cy + 0.6 + 12 * slope)])
    parts += [ring(ex, cy, r, stroke) - opening, segment(x + h, cy, x + 2 * r + stroke - h, cy, stroke * 0.85)]
    x += 2 * r + stroke + 1.5
    # l, i
    parts.append(segment(x + h, top + h, x + h, base - h, stroke))
    x += stroke + 1.6
    parts += [segment(x + h, base - xheight + h, x + h, base - h, stroke), circle(x + h, top + 1.2, 1.15)]
    x += stroke + 1.6
    # n: stem, arch, stem
    arch = base - xheight + r + h
    parts += [segment(x + h, base - xheight + h, x + h, base - h, stroke),
              ring(x + r + h, arch, r, stroke) & rrect(x, base - xheight - 2, x + 20, arch),
              segment(x + 2 * r + stroke - h, arch, x + 2 * r + stroke - h, base - h, stroke)]
    shape = parts[0]
    for part in parts[1:]:
        shape = shape | part
    return shape


# --- application button icons (40 x 40 design units) ------------------------

def icon_update_manager(c, ox, oy):
    """A folded road map with a route and a download badge: the map updates."""
    def p(u, v):
        return (ox + u, oy + v)
    panels = [p(3, 9), p(14, 5), p(25, 9), p(36, 5), p(36, 29), p(25, 33), p(14, 29), p(3, 33)]
    c.paint(polygon(panels).grow(1.1), NAVY)
    c.paint(polygon(panels), (214, 230, 248))
    c.paint(polygon([p(14, 5), p(25, 9), p(25, 33), p(14, 29)]), (185, 210, 240))
    c.paint(segment(*p(14, 5), *p(14, 29), 1.6), NAVY)
    c.paint(segment(*p(25, 9), *p(25, 33), 1.6), NAVY)
    c.paint(polyline([p(7, 27), p(12, 19), p(19, 22), p(27, 13)], 2.6), AMBER)
    c.paint(circle(*p(27, 13), 2.6), AMBER)
    # download badge, ringed in white so that it stands off the map
    c.paint(circle(*p(30, 30), 9.5), WHITE)
    c.paint(circle(*p(30, 30), 7.8), BLUE)
    c.paint(segment(*p(30, 25), *p(30, 31.5), 2.4), WHITE)
    c.paint(polygon([p(25.8, 30), p(34.2, 30), p(30, 35)]), WHITE)


def icon_title_editor(c, ox, oy):
    """Two beamed notes and a pencil: editing the song titles of the music server."""
    def p(u, v):
        return (ox + u, oy + v)
    c.paint(ellipse(*p(8.5, 28), 5.2, 3.9, -22), NAVY)
    c.paint(ellipse(*p(23.5, 24), 5.2, 3.9, -22), NAVY)
    c.paint(segment(*p(13.0, 27), *p(13.0, 7.5), 2.2), NAVY)
    c.paint(segment(*p(28.0, 23), *p(28.0, 3.5), 2.2), NAVY)
    c.paint(polygon([p(11.9, 6.5), p(29.1, 2.2), p(29.1, 8.2), p(11.9, 12.5)]), NAVY)
    # the pencil, along the diagonal at the lower right, cut free of the notes
    ax, ay = p(37.5, 16.5)          # eraser end
    bx, by = p(21.5, 32.5)          # where the wood starts
    tx, ty = p(17.0, 37.0)          # point
    nx, ny = 1 / math.sqrt(2), 1 / math.sqrt(2)   # across the pencil
    half = 3.3

    def side(px, py, k):
        return (px + nx * k, py + ny * k)
    body = polygon([side(ax, ay, -half), side(ax, ay, half), side(bx, by, half), side(bx, by, -half)])
    wood = polygon([side(bx, by, -half), side(bx, by, half), (tx, ty)])
    c.paint((body | wood).grow(1.8), WHITE)
    c.paint(body, AMBER)
    c.paint(polygon([side(ax, ay, -half), side(ax, ay, half),
                     side(ax - 3.2, ay + 3.2, half), side(ax - 3.2, ay + 3.2, -half)]), BLUE)
    c.paint(wood, (246, 221, 178))
    c.paint(polygon([side(tx + 2.4, ty - 2.4, -1.2), side(tx + 2.4, ty - 2.4, 1.2), (tx, ty)]), NAVY)
    c.paint(segment(*side(ax - 3.2, ay + 3.2, 0), *side(bx, by, 0), 0.9), (214, 140, 10))


def icon_camera_manager(c, ox, oy):
    """A video camera with a play mark: the camera unit's recordings."""
    def p(u, v):
        return (ox + u, oy + v)
    c.paint(rrect(*p(3, 11), *p(27, 31), 4), NAVY)
    c.paint(polygon([p(26, 18), p(37, 12.5), p(37, 29.5), p(26, 24)]), NAVY)
    c.paint(polygon([p(12, 15.5), p(12, 26.5), p(21, 21)]), WHITE)
    c.paint(circle(*p(7.2, 14.8), 1.7), AMBER)


# --- sprites -----------------------------------------------------------------

def state_strip(width, height, states, backdrop):
    """Draws states[i](canvas) into a vertical strip, one height apart."""
    out = Image(width, height * len(states))
    for i, draw in enumerate(states):
        canvas = Canvas(width, height)
        draw(canvas)
        out.paste(flatten(canvas, backdrop), 0, i * height)
    return out


def launch_buttons():
    """The application buttons, 72 x 72: columns camera-unit manager, MSV title
    editor, update manager; rows Normal, HotNormal, Push, HotPush. The tile
    fills the bottom of its cell: the cells start one row below the title
    band (y 33) and the body ends at y 115, so a 64-pixel tile at rows 8-72
    of the cell leaves 9 rows above it and 10 below; pushed, the icon moves
    by a pixel (the program shifts only captions and check marks)."""
    icons = [icon_camera_manager, icon_title_editor, icon_update_manager]
    looks = {
        "normal": (WHITE, (244, 247, 252), (196, 212, 232), 0),
        "hot": ((236, 244, 253), (221, 235, 251), BLUE, 0),
        "push": ((212, 228, 247), (204, 222, 245), (30, 94, 176), 1),
    }
    sheet = Image(72 * len(icons), 72 * 4)
    for col, icon in enumerate(icons):
        def state(look):
            top, bottom, edge, shift = looks[look]

            def draw(c):
                tile = rrect(4, 8, 68, 72, 8)
                c.paint(tile, edge)
                c.paint(tile.grow(-1), lambda x, y: mix(top, bottom, (y - 9) / 62))
                if look == "normal":
                    c.paint(segment(9, 70.6, 63, 70.6, 1.0), (176, 196, 222), clip=tile.grow(-0.5))
                icon(c, 16 + shift, 20 + shift)
            return draw
        strip = state_strip(72, 72, [state("normal"), state("hot"), state("push"), state("push")], BODY)
        sheet.paste(strip, col * 72, 0)
    return sheet


def caption_buttons():
    """Caption buttons on a title band, 18 x 18: minimise, close; rows Normal,
    HotNormal, Push, HotPush and the look of an inactive window."""
    def glyph_minimise(c, colour):
        c.paint(rrect(5, 11, 13, 13, 0.6), colour)

    def glyph_close(c, colour):
        c.paint(segment(5.6, 5.6, 12.4, 12.4, 1.7), colour)
        c.paint(segment(12.4, 5.6, 5.6, 12.4, 1.7), colour)

    def look(glyph, fill, colour):
        def draw(c):
            if fill is not None:
                c.paint(rrect(0, 0, 18, 18, 4), fill)
            glyph(c, colour)
        return draw
    idle, dim = (220, 230, 243), (125, 147, 177)
    sheet = Image(36, 90)
    for col, (glyph, hot, pushed) in enumerate([(glyph_minimise, (42, 92, 153), (6, 30, 60)),
                                                 (glyph_close, (214, 69, 80), (168, 50, 60))]):
        strip = state_strip(18, 18, [look(glyph, None, idle), look(glyph, hot, WHITE),
                                     look(glyph, pushed, WHITE), look(glyph, hot, WHITE),
                                     look(glyph, None, dim)], NAVY)
        sheet.paste(strip, col * 18, 0)
    return sheet


def menu_button():
    """The launch window's menu button, 80 x 18, with the drop-down mark at the
    right. The skin's text indent (-8) centres the caption on x 36, so that
    "メニュー" (bold 14) covers about x 11-60; the mark stands 4 pixels after
    it and 6 before the edge, as far from the caption as the caption's own
    character gaps allow it to be seen as one label."""
    def look(fill, edge, mark):
        def draw(c):
            pill = rrect(0, 0, 80, 18, 4)
            c.paint(pill, edge)
            c.paint(pill.grow(-1), fill)
            c.paint(polygon([(65.5, 7.4), (72.5, 7.4), (69.0, 11.4)]), mark)
        return draw
    return state_strip(80, 18, [
        look((26, 72, 128), (58, 104, 163), (201, 218, 240)),     # Normal
        look((37, 88, 152), (96, 140, 199), WHITE),               # HotNormal
        look((7, 32, 64), (44, 92, 152), WHITE),                  # Push (menu open)
        look((12, 44, 84), (58, 104, 163), WHITE),                # HotPush
        look((20, 60, 108), (40, 80, 130), (120, 144, 178)),      # inactive window
    ], NAVY)


def text_buttons():
    """Blue text buttons; the captions are drawn by the program. Columns:
    x 0 88 x 20 (dialog buttons), x 88 120 x 20 (the online help button),
    x 208 104 x 26 (the install window's action button); rows Normal,
    HotNormal, Push, HotPush."""
    looks = [((58, 136, 222), (33, 100, 186), (22, 76, 146), (92, 158, 230)),
             ((76, 154, 234), (44, 119, 207), (30, 94, 176), (120, 178, 238)),
             ((27, 84, 156), (33, 94, 170), (17, 60, 116), None),
             ((27, 84, 156), (33, 94, 170), (17, 60, 116), None)]
    sheet = Image(312, 104)
    for x0, w, h in [(0, 88, 20), (88, 120, 20), (208, 104, 26)]:
        def state(top, bottom, edge, shine):
            def draw(c):
                body = rrect(0, 0, w, h, 4)
                c.paint(body, edge)
                c.paint(body.grow(-1), lambda x, y: mix(top, bottom, (y - 1) / (h - 2)))
                if shine is not None:
                    c.paint(segment(3, 1.5, w - 3, 1.5, 1.0), shine, clip=body.grow(-1))
            return draw
        sheet.paste(state_strip(w, h, [state(*look) for look in looks], BODY), x0, 0)
    return sheet


# Nine-grid images whose edges and centre the program repeats are drawn with
# wide middle pieces: filling a panel then takes a few large copies instead
# of thousands of 4-pixel ones. The corners are the same 6 pixels whatever
# the size, so the result on screen does not depend on it.
PANEL_SIZE = (256, 128)         # cut 0 6 250 256 / 0 6 122 128
TRACK_WIDTH = 296               # cut 0 6 290 296 / 0 4 8 12
BAR_WIDTH = 288                 # at least the longest bar (280), a whole number of stripes
OVERLAY_SIZE = (256, 256)       # cut 0 6 250 256 both ways


def panel():
    """White panel drawn on the body (see PANEL_SIZE for its cut)."""
    w, h = PANEL_SIZE
    c = Canvas(w, h)
    shape = rrect(0, 0, w, h, 4)
    c.paint(shape, PANEL_EDGE)
    c.paint(shape.grow(-1), PANEL)
    return flatten(c, BODY, keep=lambda x, y: True)


def progress():
    """The progress track at (0, 0), TRACK_WIDTH x 12 (see its cut), drawn on
    a panel, and the bar at (0, 12), BAR_WIDTH x 8: diagonal stripes 8 pixels
    apart, repeated from its left edge."""
    out = Image(TRACK_WIDTH, 20)
    c = Canvas(TRACK_WIDTH, 12)
    track = rrect(0, 0, TRACK_WIDTH, 12, 4)
    c.paint(track, (183, 201, 223))
    c.paint(track.grow(-1), lambda x, y: mix((208, 219, 233), (229, 236, 245), min(1.0, (y - 1) / 5)))
    out.paste(flatten(c, PANEL, keep=lambda x, y: True), 0, 0)
    for y in range(8):
        base = mix((80, 156, 238), (30, 98, 184), y / 7)
        if y == 0:
            base = mix(base, WHITE, 0.25)
        for x in range(TRACK_WIDTH):
            if x >= BAR_WIDTH:
                out.set(x, 12 + y, PANEL)
                continue
            # soft stripes, so that the bar looks the same wherever it is cut
            t = 0.0
            for sx in range(4):
                for sy in range(4):
                    if ((x + (sx + 0.5) / 4) + (y + (sy + 0.5) / 4)) % 8 < 4:
                        t += 1 / 16
            out.set(x, 12 + y, tuple(_byte(v) for v in mix(base, WHITE, 0.12 * t)))
    return out


def frame_overlay():
    """The frame overlay: a navy veil with a light rim (see OVERLAY_SIZE for its
    cut); corners outside the window shape stay magenta (it is drawn keyed)."""
    w, h = OVERLAY_SIZE
    c = Canvas(w, h)
    shape = rrect(0, 0, w, h, 4)
    c.paint(shape, (90, 150, 225))
    c.paint(shape.grow(-2), NAVY)
    return flatten(c, NAVY, keep=shape.inside)


def help_arrow():
    """The help popup's arrow, 15 x 12, pointing up at the button. Its last row
    lies over the popup's top edge and fills it, so the two join."""
    c = Canvas(15, 12)
    tri = polygon([(7.5, -0.4), (16.4, 13.0), (-1.4, 13.0)])
    c.paint(tri, HELP_EDGE)
    inner = polygon([(7.5, 1.35), (14.9, 13.0), (0.1, 13.0)])
    c.paint(inner, HELP_FILL)
    return flatten(c, HELP_FILL, keep=tri.inside)


HELP_FILL = NAVY
HELP_EDGE = (70, 118, 180)


def title_band(c, width, height):
    """A flat navy band with a light top row and a dark last row."""
    c.fill_rows(0, height, NAVY, 0, width)
    c.fill_rows(1, 2, NAVY_LIGHT, 0, width)
    c.fill_rows(height - 1, height, NAVY_DARK, 0, width)


def window_back(width, height, band=0, decorate=None):
    """A window: rounded outline (radius 4, hard edge), one-pixel frame, a
    title band of the given height (0: none) and the body."""
    outline = rrect(0, 0, width, height, 4)
    c = Canvas(width, height, fill=BODY)
    if band:
        title_band(c, width, band)
    if decorate:
        decorate(c)
    c.paint(Shape(lambda x, y: -(outline.sd(x, y) + 1), outline.box), FRAME)
    return flatten(c, BODY, keep=outline.inside)


def crop(image, l, t, r, b):
    out = Image(r - l, b - t)
    for y in range(t, b):
        for x in range(l, r):
            out.set(x - l, y - t, image.get(x, y))
    return out


def launcher_road(c):
    """A quiet road running to the horizon, right of the buttons."""
    c.paint(polygon([(318, 116), (412, 116), (376, 66), (372, 66)]), (225, 233, 243))
    for y0 in (70, 80, 93, 110):
        h = (y0 - 64) * 0.28
        c.paint(polygon([(373.6 + (y0 - 66) * 0.06, y0), (374.4 + (y0 - 66) * 0.1, y0),
                         (374.4 + (y0 + h - 66) * 0.1, y0 + h), (373.6 + (y0 + h - 66) * 0.06, y0 + h)]),
                (247, 250, 253))


def launcher_back(inactive=False):
    """LAUNCHERBACK.PNG and LAUNCHERACTIVE.PNG (the inactive look, the body
    without the road): 400 x 116, the body only. The
    skin cuts it at 4, 4, 33, 33, so everything but the corners is plain and
    the window may grow; the road sits in the lower right corner piece. The
    title band is Launcher_Title.PNG, drawn over rows 0-31 by an item."""
    return window_back(400, 116, 0, None if inactive else launcher_road)


def launcher_title():
    """Launcher_Title.PNG: rows 0-31 of the launch window, the band with its
    frame and rounded corners and the suite's icon at (10, 5)."""
    whole = window_back(400, 116, 32, lambda c: ravelin_icon(c, 10, 5, 24))
    return crop(whole, 0, 0, 400, 32)


def version_back():
    """Version_Base.PNG: 400 x 180, a 48-row band and the icon on a white ring
    across its lower edge, centred above the program name."""
    def decorate(c):
        c.paint(rrect(172, 14, 228, 70, 12), WHITE)
        ravelin_icon(c, 176, 18, 48)
        c.paint(rrect(160, 110, 240, 111, 0), (201, 215, 232))
    return window_back(400, 180, 48, decorate)


def install_back():
    """Install_Base.PNG: 480 x 198, band rows 0-27 (cut 8 36 472 190)."""
    return window_back(480, 198, 28)


def message_back():
    """MessageBox_Base.PNG: 600 x 120, band rows 0-23 with the icon at (6, 4)
    and the product name after it, both in the upper left piece (cut 88 32
    572 112; the box grows downwards)."""
    def decorate(c):
        ravelin_icon(c, 6, 4, 16)
        c.paint(wordmark(28, 17), WHITE)
    return window_back(600, 120, 24, decorate)


def help_base():
    """Help_Base.PNG: the help popup, 388 x 80 (cut 8 19 380 72): eleven rows
    of nothing for the arrow, then a navy body with a light edge."""
    c = Canvas(388, 80)
    body = rrect(0, 11, 388, 80, 4)
    c.paint(body, HELP_EDGE)
    c.paint(body.grow(-1), HELP_FILL)
    return flatten(c, HELP_FILL, keep=body.inside)


def install_title():
    """Install_Title.PNG: 240 x 20, the icon at (2, 2) on the band; the rest is
    left to the caption that the program draws."""
    c = Canvas(240, 20)
    ravelin_icon(c, 2, 2, 16)
    return flatten(c, NAVY)


ART = {
    "LAUNCHERBACK.PNG": lambda: launcher_back(),
    "LAUNCHERACTIVE.PNG": lambda: launcher_back(inactive=True),
    "Launcher_Title.PNG": launcher_title,
    "Launcher_Buttons.PNG": launch_buttons,
    "Menu_Button.PNG": menu_button,
    "Caption_Buttons.PNG": caption_buttons,
    "Text_Buttons.PNG": text_buttons,
    "Install_Base.PNG": install_back,
    "Install_Title.PNG": install_title,
    "Panel_Base.PNG": panel,
    "Progress_Bar.PNG": progress,
    "MessageBox_Base.PNG": message_back,
    "Version_Base.PNG": version_back,
    "Help_Base.PNG": help_base,
    "Help_Arrow.PNG": help_arrow,
    "Frame_Overlay.PNG": frame_overlay,
}


def main(argv):
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = argv[1] if len(argv) > 1 else os.path.join(top, "resources", "skin")
    os.makedirs(folder, exist_ok=True)
    for name, make in ART.items():
        write_png(os.path.join(folder, name), make())
        print(name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
