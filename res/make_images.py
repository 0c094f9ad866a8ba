#!/usr/bin/env python3
"""Draws the built-in pictures of KivSetup and writes them beside this script.

    logo.bmp      the default logo: 440 x 110, 8 bits per pixel, bottom-up
    KivSetup.ico  the icon: 48 x 48 and 32 x 32, 8 bits per pixel with masks

Everything is drawn from geometric shapes (a gradient band, a box with an
arrow, and a wordmark made of strokes and arcs) with antialiased coverage,
then reduced to a 256-colour palette. Only the Python standard library is
used, and the output is the same on every run, so the committed pictures can
be remade and compared:

    python3 res/make_images.py           writes both files
    python3 res/make_images.py --check   fails when they differ from the drawing
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

NAVY = (10, 36, 66)
TEAL = (14, 122, 138)
AMBER = (242, 169, 59)
AMBER_LIGHT = (255, 214, 130)
AMBER_DARK = (196, 120, 26)
WHITE = (255, 255, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    """An RGB picture of floats; shapes are blended in by their coverage."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]
        self.coverage = [[0.0] * width for _ in range(height)]

    def fill(self, colour_at):
        for y in range(self.height):
            row = self.pixels[y]
            for x in range(self.width):
                row[x] = colour_at(x + 0.5, y + 0.5)

    def blend(self, box, coverage_at, colour, opacity=1.0):
        """Blends colour over the pixels of box where coverage_at(x, y) > 0."""
        x0, y0, x1, y1 = box
        x0 = max(0, int(math.floor(x0)) - 1)
        y0 = max(0, int(math.floor(y0)) - 1)
        x1 = min(self.width, int(math.ceil(x1)) + 1)
        y1 = min(self.height, int(math.ceil(y1)) + 1)
        for y in range(y0, y1):
            row = self.pixels[y]
            cover_row = self.coverage[y]
            for x in range(x0, x1):
                a = coverage_at(x + 0.5, y + 0.5)
                if a <= 0.0:
                    continue
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                row[x] = mix(row[x], c, a * opacity)
                cover_row[x] = max(cover_row[x], a)


# Shapes: each gives a bounding box and a coverage function (0..1 per pixel),
# taken from the signed distance to the shape's edge.

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else clamp01(((px - ax) * dx + (py - ay) * dy) / length2)
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def stroke(canvas, points, half_width, colour, opacity=1.0):
    """A polyline of round-capped segments."""
    def cover_one(ax, ay, bx, by):
        return lambda x, y: clamp01(half_width - segment_distance(x, y, ax, ay, bx, by) + 0.5)

    # A union of capsules: blend one coverage function that takes the maximum,
    # so joints are not blended twice.
    pieces = [cover_one(*points[i], *points[i + 1]) for i in range(len(points) - 1)]
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    box = (min(xs) - half_width, min(ys) - half_width, max(xs) + half_width, max(ys) + half_width)
    canvas.blend(box, lambda x, y: max(f(x, y) for f in pieces), colour, opacity)


def arc_points(cx, cy, radius, start_deg, end_deg, steps=40):
    """Points of an arc in glyph units (y up), angles counter-clockwise."""
    pts = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        pts.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    return pts


def disc(canvas, cx, cy, radius, colour, opacity=1.0):
    canvas.blend((cx - radius, cy - radius, cx + radius, cy + radius),
                 lambda x, y: clamp01(radius - math.hypot(x - cx, y - cy) + 0.5), colour, opacity)


def ring(canvas, cx, cy, radius, half_width, colour, opacity=1.0):
    r = radius + half_width
    canvas.blend((cx - r, cy - r, cx + r, cy + r),
                 lambda x, y: clamp01(half_width - abs(math.hypot(x - cx, y - cy) - radius) + 0.5),
                 colour, opacity)


def polygon(canvas, points, colour, opacity=1.0):
    """A convex polygon, points in clockwise order on screen (y down)."""
    edges = []
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        length = math.hypot(bx - ax, by - ay)
        # Outward normal of a clockwise (on screen) polygon.
        edges.append((ax, ay, (by - ay) / length, -(bx - ax) / length))

    def cover(x, y):
        outside = max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
        return clamp01(0.5 - outside)

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    canvas.blend((min(xs), min(ys), max(xs), max(ys)), cover, colour, opacity)


def rounded_rect(canvas, x0, y0, x1, y1, radius, colour, opacity=1.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def cover(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius
        return clamp01(0.5 - outside)

    canvas.blend((x0, y0, x1, y1), cover, colour, opacity)


# The emblem: a box in three shades of amber, an arrow coming down into it.

def emblem(canvas, cx, cy, size, shadow=True):
    """Draws the emblem centred on (cx, cy); size is the box's half width."""
    s = size
    top = (cx, cy - 0.05 * s)
    left = (cx - s, cy - 0.55 * s)
    right = (cx + s, cy - 0.55 * s)
    back = (cx, cy - 1.05 * s)
    depth = 1.05 * s
    down = lambda p: (p[0], p[1] + depth)
    polygon(canvas, [left, top, down(top), down(left)], AMBER)
    polygon(canvas, [top, right, down(right), down(top)], AMBER_DARK)
    polygon(canvas, [left, back, right, top], AMBER_LIGHT)
    # The arrow: a shaft and a head whose tip rests on the middle of the lid.
    tip_y = cy - 0.45 * s
    head_w = 0.62 * s
    # The head's flat top on a pixel edge, so it shows no blurred row.
    head_h = tip_y - round(tip_y - 0.55 * s)
    shaft_w = 0.22 * s
    shaft_top = cy - 1.9 * s
    if shadow:
        offset = max(1.0, 0.06 * s)
        polygon(canvas, [(cx - shaft_w + offset, shaft_top + offset), (cx + shaft_w + offset, shaft_top + offset),
                         (cx + shaft_w + offset, tip_y - head_h + offset + 1),
                         (cx - shaft_w + offset, tip_y - head_h + offset + 1)], NAVY, 0.35)
        polygon(canvas, [(cx - head_w + offset, tip_y - head_h + offset), (cx + head_w + offset, tip_y - head_h + offset),
                         (cx + offset, tip_y + offset)], NAVY, 0.35)
    polygon(canvas, [(cx - shaft_w, shaft_top), (cx + shaft_w, shaft_top),
                     (cx + shaft_w, tip_y - head_h + 1), (cx - shaft_w, tip_y - head_h + 1)], WHITE)
    polygon(canvas, [(cx - head_w, tip_y - head_h), (cx + head_w, tip_y - head_h), (cx, tip_y)], WHITE)


# The wordmark "KivSetup": strokes in units of the x-height, y pointing up,
# origin at the left end of the baseline of each letter.

def glyph_strokes(letter):
    if letter == 'K':
        return 0.76, [[(0, 0), (0, 1.4)], [(0.02, 0.5), (0.72, 1.4)], [(0.27, 0.8), (0.76, 0)]]
    if letter == 'i':
        return 0.0, [[(0, 0), (0, 1.0)], ('dot', 0, 1.34, 0.15)]
    if letter == 'v':
        return 0.76, [[(0, 1), (0.38, 0), (0.76, 1)]]
    if letter == 'S':
        upper = arc_points(0.4, 1.05, 0.35, 30, 270)
        lower = arc_points(0.4, 0.35, 0.35, 90, -150)
        return 0.8, [upper + lower[1:]]
    if letter == 'e':
        return 1.0, [[(0, 0.5), (1.0, 0.5)], arc_points(0.5, 0.5, 0.5, 0, 315)]
    if letter == 't':
        return 0.62, [arc_points(0.44, 0.24, 0.24, 300, 180)[:-1] + [(0.2, 0.24), (0.2, 1.35)],
                      [(0, 1.0), (0.58, 1.0)]]
    if letter == 'u':
        return 0.8, [[(0, 1), (0, 0.42)] + arc_points(0.4, 0.42, 0.4, 180, 360)[1:] + [(0.8, 1)],
                     [(0.8, 1), (0.8, 0)]]
    if letter == 'p':
        return 1.0, [[(0, 1), (0, -0.45)], arc_points(0.5, 0.5, 0.5, 0, 360, 60)]
    raise ValueError(letter)


def wordmark(canvas, text, left, baseline, x_height, half_width, colour, opacity=1.0, gap=0.38):
    """Draws text and returns the x where the next letter would start;
    with colour None it only measures."""
    x = left
    for letter in text:
        if colour is None:
            x += (glyph_strokes(letter)[0] + gap) * x_height
            continue
        width, strokes = glyph_strokes(letter)
        for item in strokes:
            if item and item[0] == 'dot':
                _, dx, dy, r = item
                disc(canvas, x + dx * x_height, baseline - dy * x_height, r * x_height, colour, opacity)
            else:
                stroke(canvas, [(x + px * x_height, baseline - py * x_height) for px, py in item],
                       half_width, colour, opacity)
        x += (width + gap) * x_height
    return x


# The pictures.

def draw_logo():
    w, h = 440, 110
    canvas = Canvas(w, h)

    def band(x, y):
        # Navy at the left to teal at the right, a little lighter at the top.
        c = mix(NAVY, TEAL, (x / w) ** 1.2)
        return mix(c, WHITE, 0.10 * (1 - y / h) ** 2)

    canvas.fill(band)
    # Soft diagonal stripes towards the right end.
    for i in range(5):
        x = 300 + i * 30
        polygon(canvas, [(x, 0), (x + 14, 0), (x - 40, h), (x - 54, h)], WHITE, 0.035 + 0.01 * i)
    # The emblem in a faint disc with a ring.
    disc(canvas, 62, 55, 44, WHITE, 0.08)
    ring(canvas, 62, 55, 44, 1.2, WHITE, 0.30)
    emblem(canvas, 62, 64, 21)
    # The wordmark and a thin rule under it.
    end = wordmark(canvas, "KivSetup", 126, 70, 31, 3.6, None)
    wordmark(canvas, "KivSetup", 127.5, 71.5, 31, 3.6, NAVY, 0.45)
    wordmark(canvas, "KivSetup", 126, 70, 31, 3.6, WHITE)
    rounded_rect(canvas, 126, 90, end - 12, 93, 1.5, AMBER, 0.9)
    # An amber edge along the bottom.
    canvas.blend((0, h - 3, w, h), lambda x, y: 1.0, AMBER)
    return canvas


def draw_icon(size):
    canvas = Canvas(size, size)
    margin = size / 24.0
    radius = size * 0.2

    def tile(x, y):
        t = clamp01((x + y) / (2.0 * size))
        return mix(mix(TEAL, WHITE, 0.08), NAVY, t)

    # The tile sets the coverage that becomes the mask; then the emblem on it.
    rounded_rect(canvas, margin, margin, size - margin, size - margin, radius, tile)
    emblem(canvas, size / 2, size * 0.58, size * 0.27, shadow=size >= 48)
    return canvas


# Palette reduction: median cut over the picture's colours, weighted by use.

def quantise(rows, reserved=()):
    """Returns (palette of 256 (r, g, b), rows of palette indices)."""
    counts = {}
    for row in rows:
        for c in row:
            key = tuple(int(round(v)) for v in c)
            counts[key] = counts.get(key, 0) + 1
    boxes = [sorted(counts.items())]
    wanted = 256 - len(reserved)
    while len(boxes) < wanted:
        best, best_range, best_axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                values = [c[axis] for c, _ in box]
                spread = (max(values) - min(values)) * math.sqrt(sum(n for _, n in box))
                if spread > best_range:
                    best, best_range, best_axis = i, spread, axis
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: (item[0][best_axis], item[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for j, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes[best:best] = [box[:cut], box[cut:]]
    palette = list(reserved)
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[k] * n for c, n in box) / total)) for k in range(3)))
    while len(palette) < 256:
        palette.append((0, 0, 0))

    nearest = {}

    def index_of(c):
        key = tuple(int(round(v)) for v in c)
        if key not in nearest:
            nearest[key] = min(range(len(reserved), 256),
                               key=lambda i: sum((palette[i][k] - key[k]) ** 2 for k in range(3)))
        return nearest[key]

    return palette, [[index_of(c) for c in row] for row in rows]


def dib(width, height, palette, indices, mask=None):
    """A BITMAPINFOHEADER, its colour table and the pixels, rows bottom-up.
    With a mask the header's height is doubled and the AND mask follows."""
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(indices):
        pixels += bytes(row) + bytes(stride - width)
    and_bits = bytearray()
    if mask is not None:
        mask_stride = ((width + 31) // 32) * 4
        for row in reversed(mask):
            line = bytearray(mask_stride)
            for x, transparent in enumerate(row):
                if transparent:
                    line[x // 8] |= 0x80 >> (x % 8)
            and_bits += line
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2 if mask is not None else height, 1, 8, 0,
                         len(pixels) + len(and_bits), 0, 0, 256, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return header + table + bytes(pixels) + bytes(and_bits)


def bmp_file(canvas):
    palette, indices = quantise(canvas.pixels)
    body = dib(canvas.width, canvas.height, palette, indices)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(body), 0, 0, 14 + 40 + 4 * 256)
    return file_header + body


def ico_file(canvases):
    images = []
    for canvas in canvases:
        mask = [[cover < 0.5 for cover in row] for row in canvas.coverage]
        # Transparent pixels are black so the AND/XOR pair leaves the screen as it was.
        rows = [[(0, 0, 0) if mask[y][x] else canvas.pixels[y][x] for x in range(canvas.width)]
                for y in range(canvas.height)]
        palette, indices = quantise(rows, reserved=((0, 0, 0),))
        indices = [[0 if mask[y][x] else indices[y][x] for x in range(canvas.width)]
                   for y in range(canvas.height)]
        images.append((canvas.width, canvas.height, dib(canvas.width, canvas.height, palette, indices, mask)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        out += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return out


def main(argv):
    pictures = {
        'logo.bmp': bmp_file(draw_logo()),
        'KivSetup.ico': ico_file([draw_icon(48), draw_icon(32)]),
    }
    if argv[1:] == ['--check']:
        # Compares instead of writing: the committed files must be what this draws.
        stale = []
        for name, data in sorted(pictures.items()):
            with open(os.path.join(HERE, name), 'rb') as f:
                if f.read() != data:
                    stale.append(name)
        if stale:
            print('out of date, run res/make_images.py:', ' '.join(stale))
            return 1
        return 0
    if argv[1:]:
        print('usage: make_images.py [--check]')
        return 2
    for name, data in pictures.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
