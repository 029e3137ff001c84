#!/usr/bin/env python3
"""Draws the program's pictures and writes them to app/resources/.

    python3 scripts/draw_images.py [OUTPUT_DIR]

Writes qorvel.ico (32 x 32, 24-bit), banner.bmp (240 x 40, 16 bpp 5-5-5),
mascot.gif (GIF89a, 50 x 50, two frames, endless loop) and portrait.gif
(GIF87a, 59 x 64). Python 3 standard library only; the BMP, ICO and GIF
encoders (GIF with its LZW compressor) are written here. The output is a pure
function of this file: no time stamps, no randomness, so re-running it gives
the same bytes and the build never needs to run it.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------
# Canvas: a list of rows of (r, g, b) tuples, drawn with supersampled shapes.


def new_canvas(width, height, colour):
    return [[colour for _ in range(width)] for _ in range(height)]


def blend(a, b, t):
    """Colour a moved towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def fill(canvas, inside, colour, samples=4, threshold=None):
    """Paints the pixels covered by the shape inside(x, y) -> bool.

    colour is an (r, g, b) tuple or a function (x, y) -> (r, g, b) evaluated at
    the pixel centre. Edge pixels are blended by their coverage of samples x
    samples points, or, with a threshold, painted fully when the coverage
    reaches it (hard edges for flat-colour pictures).
    """
    height = len(canvas)
    width = len(canvas[0])
    offsets = [(i + 0.5) / samples for i in range(samples)]
    for y in range(height):
        for x in range(width):
            hits = 0
            for dy in offsets:
                for dx in offsets:
                    if inside(x + dx, y + dy):
                        hits += 1
            if hits == 0:
                continue
            cover = hits / (samples * samples)
            c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
            if threshold is not None:
                if cover >= threshold:
                    canvas[y][x] = c
            else:
                canvas[y][x] = blend(canvas[y][x], c, cover)


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        nx = min(max(x, x0 + radius), x1 - radius)
        ny = min(max(y, y0 + radius), y1 - radius)
        return (x - nx) ** 2 + (y - ny) ** 2 <= radius * radius

    return inside


def polygon(points):
    """Even-odd point-in-polygon test."""

    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y):
                cross = ax + (y - ay) * (bx - ax) / (by - ay)
                if x < cross:
                    result = not result
        return result

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def thick_line(x0, y0, x1, y1, half_width):
    """A segment with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width

    return inside


def arc(cx, cy, rx, ry, start_deg, end_deg, half_width):
    """A stroked elliptical arc; angles in degrees, y pointing down."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)

    def inside(x, y):
        angle = math.atan2((y - cy) / ry, (x - cx) / rx)
        if not (a0 <= angle <= a1):
            return False
        radial = math.hypot((x - cx) / rx, (y - cy) / ry)
        scale = (rx + ry) / 2
        return abs(radial - 1.0) * scale <= half_width

    return inside


# ---------------------------------------------------------------------------
# Bitmap fonts. '#' is a set pixel; glyphs are trimmed to their used columns
# when laid out, so the fonts are proportional.

FONT_5X7 = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "k": ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
}

FONT_3X5 = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "F": ["###", "#..", "##.", "#..", "#.."],
    "G": [".##", "#..", "#.#", "#.#", ".##"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "O": [".#.", "#.#", "#.#", "#.#", ".#."],
    "S": [".##", "#..", ".#.", "..#", "##."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "W": ["#.#", "#.#", "#.#", "###", "#.#"],
    "Y": ["#.#", "#.#", ".#.", ".#.", ".#."],
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "5": ["###", "#..", "##.", "..#", "##."],
    "!": ["#", "#", "#", ".", "#"],
    "%": ["#.#", "..#", ".#.", "#..", "#.#"],
}


def trimmed(glyph):
    """The glyph's rows without empty columns at the left and right."""
    used = [c for c in range(len(glyph[0])) if any(row[c] == "#" for row in glyph)]
    if not used:
        return glyph
    return [row[used[0] : used[-1] + 1] for row in glyph]


def layout_text(font, text, space_width):
    """Glyph cells of a text: a list of (column, row) units set, and the width."""
    cells = []
    pen = 0
    for i, ch in enumerate(text):
        if ch == " ":
            pen += space_width
            continue
        glyph = trimmed(font[ch])
        for r, row in enumerate(glyph):
            for c, bit in enumerate(row):
                if bit == "#":
                    cells.append((pen + c, r))
        pen += len(glyph[0]) + (1 if i + 1 < len(text) else 0)
    return cells, pen


def text_shape(font, text, left, top, sx, sy, space_width=3):
    """The set pixels of text scaled by sx, sy as an inside(x, y) test."""
    cells, _ = layout_text(font, text, space_width)
    cellset = set(cells)

    def inside(x, y):
        c = math.floor((x - left) / sx)
        r = math.floor((y - top) / sy)
        return (c, r) in cellset

    return inside


def text_width(font, text, space_width=3):
    return layout_text(font, text, space_width)[1]


# ---------------------------------------------------------------------------
# Encoders.


def encode_bmp555(canvas):
    """A Windows bitmap file, 16 bits per pixel 5-5-5 (BI_RGB), bottom-up.

    Colours are reduced to 5 bits with a 4 x 4 ordered dither, which keeps the
    banner's long gradient free of visible bands.
    """
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    height = len(canvas)
    width = len(canvas[0])
    stride = (width * 2 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            bias = (bayer[y % 4][x % 4] + 0.5) / 16.0
            r, g, b = (min(31, int(v / 255.0 * 31.0 + bias)) for v in canvas[y][x])
            row += struct.pack("<H", (r << 10) | (g << 5) | b)
        row += b"\0" * (stride - len(row))
        pixels += row
    info = struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, 16, 0, len(pixels), 3780, 3780, 0, 0
    )
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def encode_ico24(canvas, opaque):
    """An icon file with one 24-bit image and its AND (transparency) mask.

    opaque[y][x] is True where the icon shows its colour; elsewhere the mask
    bit is set and the colour is black, so the background shows through.
    """
    height = len(canvas)
    width = len(canvas[0])
    xor_stride = (width * 3 + 3) & ~3
    and_stride = ((width + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        bits = bytearray(and_stride)
        for x in range(width):
            if opaque[y][x]:
                r, g, b = canvas[y][x]
            else:
                r = g = b = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            row += bytes((b, g, r))
        row += b"\0" * (xor_stride - len(row))
        xor += row
        mask += bits
    image_size = len(xor) + len(mask)
    # An icon image's header gives the height of colour and mask together.
    info = struct.pack(
        "<IiiHHIIiiII", 40, width, height * 2, 1, 24, 0, image_size, 0, 0, 0, 0
    )
    image = info + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack(
        "<BBBBHHII", width % 256, height % 256, 0, 0, 1, 24, len(image), 6 + 16
    )
    return directory + entry + image


def lzw_encode(indices, min_code_size):
    """GIF's variable-width LZW: the code stream of a list of colour indices."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def put(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_code_size + 1
    table = {}
    next_code = end + 1
    put(clear, size)
    prefix = None
    for index in indices:
        if prefix is None:
            prefix = index
            continue
        key = (prefix, index)
        if key in table:
            prefix = table[key]
            continue
        put(prefix, size)
        if next_code < 4096:
            table[key] = next_code
            # The decoder learns this entry one code later, so the width grows
            # only once an entry needs the wider code, not when the table fills.
            if next_code == (1 << size) and size < 12:
                size += 1
            next_code += 1
        if next_code == 4096:
            # Table full: start afresh so later data compresses again.
            put(clear, size)
            table = {}
            size = min_code_size + 1
            next_code = end + 1
        prefix = index
    if prefix is not None:
        put(prefix, size)
    put(end, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def lzw_decode(data, min_code_size, count):
    """Inverse of lzw_encode; used to check each image before it is written."""
    clear = 1 << min_code_size
    end = clear + 1
    pos = 0
    acc = 0
    nbits = 0
    size = min_code_size + 1
    table = [[i] for i in range(clear)] + [None, None]
    previous = None
    out = []
    while True:
        while nbits < size:
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            size = min_code_size + 1
            table = table[: end + 1]
            previous = None
            continue
        if code == end:
            break
        if previous is None:
            entry = table[code]
        else:
            if code < len(table):
                entry = table[code]
                new = table[previous] + [entry[0]]
            else:
                new = table[previous] + [table[previous][0]]
                entry = new
            if len(table) < 4096:
                table.append(new)
                if len(table) == (1 << size) and size < 12:
                    size += 1
        out.extend(entry)
        previous = code
    if len(out) != count:
        raise ValueError("LZW round trip gave %d pixels, expected %d" % (len(out), count))
    return out


def quantize(frames, max_colours=256):
    """One palette for all frames and the frames as index lists.

    Exact when the frames use at most max_colours colours; otherwise median cut
    (deterministic: boxes are split at the median of their widest channel).
    """
    counts = {}
    for canvas in frames:
        for row in canvas:
            for c in row:
                counts[c] = counts.get(c, 0) + 1
    colours = sorted(counts)
    if len(colours) <= max_colours:
        palette = colours
    else:
        boxes = [colours]
        while len(boxes) < max_colours:
            best = None
            for i, box in enumerate(boxes):
                if len(box) < 2:
                    continue
                spans = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
                score = (max(spans) * sum(counts[c] for c in box), -i)
                if best is None or score > best[0]:
                    best = (score, i, spans.index(max(spans)))
            if best is None:
                break
            _, i, channel = best
            box = sorted(boxes[i], key=lambda c: (c[channel], c))
            half = len(box) // 2
            boxes[i : i + 1] = [box[:half], box[half:]]
        palette = []
        for box in boxes:
            weight = sum(counts[c] for c in box)
            palette.append(
                tuple(int(round(sum(c[k] * counts[c] for c in box) / weight)) for k in range(3))
            )
    lookup = {}
    for c in colours:
        lookup[c] = min(
            range(len(palette)),
            key=lambda i: (sum((palette[i][k] - c[k]) ** 2 for k in range(3)), i),
        )
    indexed = [[lookup[c] for row in canvas for c in row] for canvas in frames]
    return palette, indexed


def gif_sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i : i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def encode_gif(frames, delays_cs=None, loop=False):
    """A GIF file: GIF87a for one plain frame, GIF89a with frame delays/loop.

    All frames share the global colour table and cover the whole picture.
    """
    height = len(frames[0])
    width = len(frames[0][0])
    palette, indexed = quantize(frames)
    table_bits = max(1, (len(palette) - 1).bit_length())
    table_size = 1 << table_bits
    min_code_size = max(2, table_bits)
    extended = delays_cs is not None or loop
    out = bytearray(b"GIF89a" if extended else b"GIF87a")
    # Global colour table present, 8 bits of colour resolution, not sorted.
    packed = 0x80 | (7 << 4) | (table_bits - 1)
    out += struct.pack("<HHBBB", width, height, packed, 0, 0)
    for c in palette:
        out += bytes(c)
    out += b"\0\0\0" * (table_size - len(palette))
    if loop:
        # NETSCAPE2.0 application extension: loop count 0 = for ever.
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\0"
    for n, pixels in enumerate(indexed):
        if delays_cs is not None:
            # Graphic control extension: disposal 1 (leave in place), no
            # transparency, delay in hundredths of a second.
            out += b"\x21\xf9\x04" + struct.pack("<BHB", 1 << 2, delays_cs[n], 0) + b"\0"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        code = lzw_encode(pixels, min_code_size)
        if lzw_decode(code, min_code_size, len(pixels)) != pixels:
            raise ValueError("LZW round trip changed the pixels")
        out.append(min_code_size)
        out += gif_sub_blocks(code)
    out += b"\x3b"
    return bytes(out)


# ---------------------------------------------------------------------------
# The pictures.


def draw_icon():
    """32 x 32: three green arms swirling out of a bright centre."""
    size = 32
    canvas = new_canvas(size, size, (0, 0, 0))
    cx = cy = size / 2.0

    def swirl(x, y):
        r = math.hypot(x - cx, y - cy)
        if r > 15.2:
            return False
        if r < 3.2:
            return True
        theta = math.atan2(y - cy, x - cx)
        # Curves of constant 3*theta + 0.42*r are three Archimedean spirals;
        # each arm widens towards the rim.
        phase = math.sin(3 * theta + 0.42 * r)
        return phase > 0.55 - 0.035 * r

    def shade(x, y):
        r = math.hypot(x - cx, y - cy) / 15.2
        # Light from the upper left.
        light = ((cx - x) + (cy - y)) / (2 * 15.2)
        base = blend((170, 240, 110), (10, 120, 40), min(1.0, r ** 0.8))
        return blend(base, (230, 255, 200), max(0.0, light) * 0.5)

    opaque = [[False] * size for _ in range(size)]
    offsets = [(i + 0.5) / 4 for i in range(4)]
    for y in range(size):
        for x in range(size):
            hits = sum(swirl(x + dx, y + dy) for dy in offsets for dx in offsets)
            if hits >= 8:
                opaque[y][x] = True
                canvas[y][x] = shade(x + 0.5, y + 0.5)
    # A dark green rim on the outer pixels keeps the swirl crisp on any
    # background.
    for y in range(size):
        for x in range(size):
            if not opaque[y][x]:
                continue
            edge = any(
                not (0 <= x + dx < size and 0 <= y + dy < size and opaque[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
            )
            if edge:
                canvas[y][x] = blend(canvas[y][x], (0, 70, 20), 0.6)
    return canvas, opaque


def draw_banner():
    """240 x 40: "Qorvel Tweaker" in pale blue chrome on black-to-green."""
    width, height = 240, 40
    canvas = new_canvas(width, height, (0, 0, 0))
    for y in range(height):
        t = y / (height - 1)
        colour = blend((0, 0, 0), (0, 150, 40), t ** 1.3)
        for x in range(width):
            canvas[y][x] = colour

    text = "Qorvel Tweaker"
    sx, sy = 2.8, 3.4
    units = text_width(FONT_5X7, text)
    left = (width - units * sx) / 2.0
    top = (height - 7 * sy) / 2.0 - 0.5
    glyphs = text_shape(FONT_5X7, text, left, top, sx, sy)
    text_height = 7 * sy

    def chrome(x, y):
        # Sky above the horizon line, a darker band under it, bright again
        # at the foot: the usual picture of polished metal.
        t = (y - top) / text_height
        if t < 0.48:
            return blend((235, 245, 255), (150, 190, 235), t / 0.48)
        if t < 0.56:
            return (95, 130, 185)
        return blend((120, 160, 215), (215, 235, 255), (t - 0.56) / 0.44)

    shadow = lambda x, y: glyphs(x - 1.5, y - 1.5)
    outline = lambda x, y: any(glyphs(x + dx, y + dy) for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
    fill(canvas, shadow, (0, 0, 0))
    fill(canvas, outline, (10, 25, 60))
    fill(canvas, glyphs, chrome)
    return canvas


FLAME_OUTLINE = (140, 30, 0)
FLAME_ORANGE = (250, 130, 20)
FLAME_YELLOW = (255, 215, 60)
BLACK = (20, 20, 20)
WHITE = (255, 255, 255)
MOUTH_RED = (190, 30, 30)
BACKGROUND = (255, 255, 255)


def flame_shape(cx, base_y, radius, tip_y, sway):
    """A flame: a round belly and a wavy tongue rising to its tip."""
    belly = ellipse(cx, base_y, radius, radius * 0.95)

    def tongue(x, y):
        if not (tip_y <= y <= base_y):
            return False
        t = (y - tip_y) / (base_y - tip_y)  # 0 at the tip, 1 at the belly
        half = radius * (t ** 0.75)
        centre = cx + sway * math.sin(t * math.pi * 1.6) * (1 - t)
        return abs(x - centre) <= half

    return union(belly, tongue)


def draw_mascot():
    """50 x 50: a smiling flame giving a thumbs-up."""
    size = 50
    canvas = new_canvas(size, size, BACKGROUND)
    hard = 0.5

    body = flame_shape(21, 33, 14, 3, 5)
    fill(canvas, body, FLAME_OUTLINE, threshold=hard)
    fill(canvas, flame_shape(21, 33, 12.5, 5, 5), FLAME_ORANGE, threshold=hard)
    fill(canvas, flame_shape(21, 37, 7, 16, 3), FLAME_YELLOW, threshold=hard)
    # Side flicks.
    fill(canvas, polygon([(8, 30), (4, 17), (12, 25)]), FLAME_OUTLINE, threshold=hard)
    fill(canvas, polygon([(8.5, 28), (6, 20), (11, 25)]), FLAME_ORANGE, threshold=hard)

    # Face: eyes with pupils looking at the thumb, and a wide smile.
    for ex in (16.5, 25.5):
        fill(canvas, ellipse(ex, 28, 3.2, 4.0), BLACK, threshold=hard)
        fill(canvas, ellipse(ex, 28, 2.3, 3.1), WHITE, threshold=hard)
        fill(canvas, ellipse(ex + 0.8, 28.5, 1.2, 1.6), BLACK, threshold=hard)
    fill(canvas, minus(ellipse(21, 35.5, 6.5, 4.8), rect(0, 0, 50, 34.5)), BLACK, threshold=hard)
    fill(canvas, minus(ellipse(21, 36, 5.5, 3.6), rect(0, 0, 50, 36)), MOUTH_RED, threshold=hard)
    fill(canvas, rect(15.5, 35, 26.5, 36.5), WHITE, threshold=hard)

    # Arm and thumbs-up fist on the right.
    fill(canvas, thick_line(33, 36, 39, 33, 2.2), FLAME_OUTLINE, threshold=hard)
    fill(canvas, thick_line(33, 36, 39, 33, 1.2), FLAME_ORANGE, threshold=hard)
    fist = rounded_rect(37, 28, 47, 39, 2.5)
    thumb = rounded_rect(39, 18, 44, 30, 2.4)
    fill(canvas, union(fist, thumb), FLAME_OUTLINE, threshold=hard)
    fill(canvas, rounded_rect(38, 29, 46, 38, 2), FLAME_ORANGE, threshold=hard)
    fill(canvas, rounded_rect(40, 19, 43, 31, 1.5), FLAME_ORANGE, threshold=hard)
    for fy in (31.5, 34, 36.5):
        fill(canvas, rect(38.5, fy, 44, fy + 0.6), FLAME_OUTLINE, threshold=0.25)
    return canvas


def draw_advert():
    """50 x 50: a loud little advertisement panel."""
    size = 50
    navy = (10, 40, 140)
    yellow = (255, 230, 40)
    red = (210, 20, 30)
    canvas = new_canvas(size, size, navy)
    fill(canvas, minus(rect(0, 0, 50, 50), rect(2, 2, 48, 48)), yellow, threshold=0.5)

    def centred(text, top, scale, colour):
        w = text_width(FONT_3X5, text, space_width=2) * scale
        left = math.floor((size - w) / 2)
        shape = text_shape(FONT_3X5, text, left, top, scale, scale, space_width=2)
        fill(canvas, shape, colour, threshold=0.5)

    centred("BUY", 5, 2, yellow)
    centred("WIDGETS", 18, 1, WHITE)
    centred("TODAY!", 25, 1, WHITE)
    fill(canvas, rect(4, 33, 46, 45), red, threshold=0.5)
    centred("50% OFF", 37, 1, yellow)
    return canvas


def draw_portrait():
    """59 x 64: a grinning bald puppet in a dark suit, lit like a photo."""
    width, height = 59, 64
    canvas = new_canvas(width, height, (0, 0, 0))
    # Studio backdrop: a soft light spot behind the head, darker corners.
    for y in range(height):
        for x in range(width):
            d = math.hypot((x - 30) / 40.0, (y - 22) / 45.0)
            canvas[y][x] = blend((120, 140, 150), (35, 45, 55), min(1.0, d * 1.3))

    skin_light = (250, 210, 175)
    skin_dark = (175, 115, 80)
    head_cx, head_cy, head_rx, head_ry = 29.5, 23.0, 14.5, 16.5

    def lit(cx, cy, rx, ry, light, dark):
        # Lambert shading of an ellipsoid lit from the upper left front.
        lx, ly, lz = -0.45, -0.55, 0.70

        def colour(x, y):
            nx = (x - cx) / rx
            ny = (y - cy) / ry
            nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
            k = max(0.0, nx * lx + ny * ly + nz * lz)
            return blend(dark, light, k)

        return colour

    suit = (30, 32, 45)
    suit_edge = (60, 64, 85)
    shirt = (235, 235, 230)
    tie = (120, 20, 35)
    # Neck, then the suit over its foot.
    fill(canvas, rect(24, 36, 35, 48), lit(29.5, 40, 8, 10, (220, 170, 130), skin_dark))
    shoulders = polygon([(2, 64), (5, 50), (17, 45), (42, 45), (54, 50), (57, 64)])
    fill(canvas, shoulders, lambda x, y: blend(suit_edge, suit, min(1.0, abs(x - 29.5) / 14.0)))
    fill(canvas, polygon([(23, 45), (36, 45), (29.5, 60)]), shirt)
    fill(canvas, polygon([(28, 47), (31, 47), (32.5, 58), (29.5, 61), (26.5, 58)]), tie)
    fill(canvas, polygon([(27.5, 45), (31.5, 45), (30.8, 48), (28.2, 48)]), (90, 10, 20))
    # Lapels.
    fill(canvas, polygon([(17, 45), (23, 45), (29.5, 60), (21, 52)]), (45, 48, 65))
    fill(canvas, polygon([(42, 45), (36, 45), (29.5, 60), (38, 52)]), (22, 24, 34))

    # Ears, head, and the shine on the bald crown.
    for ex in (14.5, 44.5):
        fill(canvas, ellipse(ex, 25, 3.0, 4.5), lit(ex, 25, 3.0, 4.5, skin_light, skin_dark))
    fill(
        canvas,
        ellipse(head_cx, head_cy, head_rx, head_ry),
        lit(head_cx, head_cy, head_rx, head_ry, skin_light, skin_dark),
    )
    fill(canvas, ellipse(24, 10, 4.5, 2.5), lambda x, y: (255, 240, 225))

    # Eyes: round puppet eyes, wide open.
    for ex in (23.5, 35.5):
        fill(canvas, ellipse(ex, 19.5, 4.0, 4.2), (250, 250, 245))
        fill(canvas, ellipse(ex + 0.7, 20.3, 1.8, 1.9), (25, 20, 15))
        fill(canvas, ellipse(ex + 0.1, 19.5, 0.6, 0.6), WHITE)
    fill(canvas, arc(23.5, 17.5, 4.5, 4.5, -160, -20, 0.6), (110, 70, 45))
    fill(canvas, arc(35.5, 17.5, 4.5, 4.5, -160, -20, 0.6), (110, 70, 45))
    # Nose.
    fill(canvas, ellipse(29.5, 25.5, 2.6, 2.2), lit(29.5, 25.5, 2.6, 2.2, (255, 200, 170), (190, 110, 80)))

    # The grin: a wide open mouth, a row of teeth, and the hinge lines of a
    # puppet's jaw running down to the chin.
    mouth = minus(ellipse(29.5, 29.5, 10.5, 7.0), rect(0, 0, 59, 29.5))
    fill(canvas, mouth, (70, 10, 15))
    fill(canvas, minus(ellipse(29.5, 29.5, 9.5, 3.2), rect(0, 0, 59, 29.5)), (245, 245, 235))
    for tx in range(22, 38, 3):
        fill(canvas, rect(tx, 29.5, tx + 0.5, 32.2), (190, 185, 175))
    fill(canvas, ellipse(29.5, 34.5, 4.0, 1.5), (200, 70, 80))
    fill(canvas, thick_line(19.5, 30.5, 21.0, 38.0, 0.45), (120, 70, 50))
    fill(canvas, thick_line(39.5, 30.5, 38.0, 38.0, 0.45), (120, 70, 50))
    return canvas


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "app", "resources"
    )
    os.makedirs(out_dir, exist_ok=True)
    icon, opaque = draw_icon()
    outputs = {
        "qorvel.ico": encode_ico24(icon, opaque),
        "banner.bmp": encode_bmp555(draw_banner()),
        "mascot.gif": encode_gif([draw_mascot(), draw_advert()], delays_cs=[6000, 500], loop=True),
        "portrait.gif": encode_gif([draw_portrait()]),
    }
    for name, data in outputs.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (name, len(data)))


if __name__ == "__main__":
    main()
