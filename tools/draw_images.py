#!/usr/bin/env python3
"""Draws the program's pictures and writes them to app/resources/.

    python3 tools/draw_images.py [OUTPUT_DIR]

Needs Pillow (Debian: python3-pil). Writes qorvel.ico (32 x 32, 24-bit),
banner.bmp (240 x 40, 16 bpp 5-5-5), mascot.gif (GIF89a, 50 x 50, two frames,
endless loop) and portrait.gif (GIF87a, 59 x 64). Pillow draws, quantizes and
writes the GIFs; the icon and the 16-bit bitmap are encoded here because
Pillow 9.4 stores icon images as PNG, which Windows XP cannot read, and has no
16-bit BMP writer. No time stamps, no randomness: re-running it gives the same
bytes (for the same Pillow and DejaVu font), so the build never needs to run it.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

S = 8  # shapes are drawn S times larger, then scaled down for smooth edges
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


class Pen:
    """ImageDraw on a canvas S times the picture size, in picture units."""

    def __init__(self, size, colour, mode="RGB"):
        self.size = size
        self.image = Image.new(mode, (size[0] * S, size[1] * S), colour)
        self.draw = ImageDraw.Draw(self.image)

    def ellipse(self, cx, cy, rx, ry, fill):
        self.draw.ellipse(box(cx - rx, cy - ry, cx + rx, cy + ry), fill=fill)

    def polygon(self, points, fill):
        self.draw.polygon([(x * S, y * S) for x, y in points], fill=fill)

    def line(self, start, end, width, fill):
        """A segment with round ends."""
        self.draw.line([start[0] * S, start[1] * S, end[0] * S, end[1] * S], fill, round(width * S))
        for x, y in (start, end):
            self.ellipse(x, y, width / 2, width / 2, fill)

    def rounded(self, x0, y0, x1, y1, radius, fill):
        self.draw.rounded_rectangle(box(x0, y0, x1, y1), radius * S, fill=fill)

    def arc(self, cx, cy, rx, ry, start, end, width, fill):
        """Angles in degrees clockwise from three o'clock."""
        self.draw.arc(box(cx - rx, cy - ry, cx + rx, cy + ry), start, end, fill, round(width * S))

    def lower_half(self, cx, cy, rx, ry, fill):
        self.draw.chord(box(cx - rx, cy - ry, cx + rx, cy + ry), 0, 180, fill=fill)

    def shaded(self, shape, light, dark, centre, radius):
        """Draws shape(pen) filled with a radial light-to-dark gradient."""
        mask = Pen(self.size, 0, "L")
        shape(mask)
        self.image.paste(radial(self.image.size, light, dark, centre, radius), (0, 0), mask.image)

    def result(self):
        return self.image.resize(self.size, Image.Resampling.LANCZOS)


def box(x0, y0, x1, y1):
    return [x0 * S, y0 * S, x1 * S - 1, y1 * S - 1]


def radial(size, inner, outer, centre, radius):
    """An RGB image shading from inner at centre to outer at radius and beyond."""
    # Pillow's gradient reaches 181 at the middle of its edges; stretch to 255.
    ramp = Image.radial_gradient("L").point(lambda v: min(255, v * 255 // 181))
    ramp = ramp.resize((round(2 * radius * S),) * 2, Image.Resampling.BICUBIC)
    weight = Image.new("L", size, 255)
    weight.paste(ramp, (round((centre[0] - radius) * S), round((centre[1] - radius) * S)))
    return Image.composite(Image.new("RGB", size, outer), Image.new("RGB", size, inner), weight)


def vertical(size, top, bottom):
    """An RGB image shading from top to bottom."""
    ramp = Image.linear_gradient("L").resize(size, Image.Resampling.BICUBIC)
    return Image.composite(Image.new("RGB", size, bottom), Image.new("RGB", size, top), ramp)


# ---------------------------------------------------------------------------
# Encoders Pillow 9.4 lacks.


def encode_bmp555(image):
    """A Windows bitmap, 16 bits per pixel 5-5-5 (BI_RGB), bottom-up.

    A 4 x 4 ordered dither keeps the banner's gradient free of visible bands.
    """
    bayer = [0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5]
    width, height = image.size
    pixels = image.convert("RGB").load()
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            bias = (bayer[(y % 4) * 4 + x % 4] + 0.5) / 16
            r, g, b = (min(31, int(v * 31 / 255 + bias)) for v in pixels[x, y])
            row += struct.pack("<H", r << 10 | g << 5 | b)
        rows.append(row + bytes(-len(row) % 4))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 0, len(data), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def encode_ico24(image):
    """An icon file with one 24-bit BMP-format image and its AND mask.

    Pixels under half opaque get a set mask bit and black colour, so the
    background shows through them.
    """
    width, height = image.size
    pixels = image.convert("RGBA").load()
    colour, mask = bytearray(), bytearray()
    for y in range(height - 1, -1, -1):
        row, bits = bytearray(), bytearray((width + 31) // 32 * 4)
        for x in range(width):
            r, g, b, a = pixels[x, y]
            if a < 128:
                r = g = b = 0
                bits[x // 8] |= 0x80 >> x % 8
            row += bytes((b, g, r))
        colour += row + bytes(-len(row) % 4)
        mask += bits
    # An icon image's header counts the colour and mask rows together.
    size = len(colour) + len(mask)
    info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 24, 0, size, 0, 0, 0, 0)
    body = info + colour + mask
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 24, len(body), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + body


# ---------------------------------------------------------------------------
# The pictures.


def swirl_arm(cx, cy, k):
    """Outline of arm k of 3: between two spirals, widening out to the rim."""

    def spiral(r, side):  # the arm's edge angle at radius r; side 0 or 1
        a = math.asin(0.55 - 0.035 * r)
        return (side * (math.pi - 2 * a) + a - 0.42 * r + 2 * math.pi * k) / 3

    def at(r, theta):
        return (cx + r * math.cos(theta), cy + r * math.sin(theta))

    radii = [3 + i * 0.2 for i in range(62)]  # out to the rim at 15.2
    start, end = spiral(15.2, 0), spiral(15.2, 1)
    return (
        [at(r, spiral(r, 0)) for r in radii]
        + [at(15.2, start + (end - start) * i / 12) for i in range(13)]
        + [at(r, spiral(r, 1)) for r in reversed(radii)]
    )


def draw_icon():
    """32 x 32: three green arms swirling out of a bright centre."""
    shape = Pen((32, 32), 0, "L")
    shape.ellipse(16, 16, 3.4, 3.4, 255)
    for k in range(3):
        shape.polygon(swirl_arm(16, 16, k), 255)
    # A thin dark rim keeps the swirl crisp on any background.
    inner = shape.image.filter(ImageFilter.MinFilter(S + 3))
    icon = Image.new("RGBA", shape.image.size, (0, 0, 0, 0))
    icon.paste((5, 85, 30, 255), (0, 0), shape.image)
    icon.paste(radial(icon.size, (200, 250, 140), (15, 125, 40), (13, 13), 19), (0, 0), inner)
    return icon.resize((32, 32), Image.Resampling.BOX)


def draw_banner():
    """240 x 40: "Qorvel Tweaker" in pale blue chrome on black-to-green."""
    size = (240, 40)
    banner = vertical(size, (0, 0, 0), (0, 150, 40))
    text = Image.new("L", size, 0)
    bold = font("DejaVuSans-Bold.ttf", 25)
    ImageDraw.Draw(text).text((120, 20), "Qorvel Tweaker", font=bold, fill=255, anchor="mm")
    outline = text.filter(ImageFilter.MaxFilter(3))
    # Polished metal: sky above a horizon line, a dark band under it, and
    # light again at the foot of the letters.
    _, top, _, bottom = text.getbbox()
    horizon = (top + bottom) // 2
    chrome = Image.new("RGB", size, (95, 130, 185))
    chrome.paste(vertical((240, horizon - top), (240, 248, 255), (150, 190, 235)), (0, top))
    foot = vertical((240, bottom - horizon - 2), (120, 160, 215), (215, 235, 255))
    chrome.paste(foot, (0, horizon + 2))
    banner.paste((0, 0, 0), (2, 2), outline)  # drop shadow
    banner.paste((10, 25, 60), (0, 0), outline)
    banner.paste(chrome, (0, 0), text)
    return banner


def flame(pen, cx, base_y, radius, tip_y, sway, fill):
    """A round belly and a wavy tongue rising from it to its tip."""
    pen.ellipse(cx, base_y, radius, radius * 0.95, fill)
    left, right = [], []
    for i in range(41):
        t = i / 40  # 0 at the tip, 1 at the belly
        half = radius * t**0.75
        centre = cx + sway * math.sin(t * math.pi * 1.6) * (1 - t)
        y = tip_y + t * (base_y - tip_y)
        left.append((centre - half, y))
        right.append((centre + half, y))
    pen.polygon(left + right[::-1], fill)


def draw_mascot():
    """50 x 50: a smiling flame giving a thumbs-up."""
    rim, orange, yellow = (140, 30, 0), (250, 130, 20), (255, 215, 60)
    black, white = (20, 20, 20), (255, 255, 255)
    pen = Pen((50, 50), white)
    flame(pen, 21, 33, 14, 3, 5, rim)
    pen.polygon([(8, 30), (4, 17), (13, 25)], rim)  # side flick
    flame(pen, 21, 33, 12.5, 5, 5, orange)
    pen.polygon([(8.8, 28), (6, 20), (11.5, 25)], orange)
    flame(pen, 21, 37, 7, 16, 3, yellow)
    # Face: eyes glancing at the thumb, and a wide open smile.
    for ex in (16.5, 25.5):
        pen.ellipse(ex, 28, 3.2, 4.0, black)
        pen.ellipse(ex, 28, 2.3, 3.1, white)
        pen.ellipse(ex + 0.8, 28.5, 1.2, 1.6, black)
    pen.lower_half(21, 34.5, 6.5, 5.8, black)
    pen.lower_half(21, 35.5, 5.5, 4.0, (190, 30, 30))
    pen.rounded(15.5, 34.8, 26.5, 36.5, 0.5, white)
    # Arm and fist with the thumb up.
    pen.line((33, 36), (39, 33), 4.4, rim)
    pen.line((33, 36), (39, 33), 2.4, orange)
    pen.rounded(37, 28, 47, 39, 2.5, rim)
    pen.rounded(39, 18, 44, 30, 2.4, rim)
    pen.rounded(38, 29, 46, 38, 2, orange)
    pen.rounded(40, 19, 43, 31, 1.5, orange)
    for y in (31.5, 34, 36.5):
        pen.rounded(38.5, y, 44, y + 0.7, 0.3, rim)
    return pen.result()


def draw_advert():
    """50 x 50: a loud little advertisement for a made-up web site."""
    navy, yellow, red, white = (10, 40, 140), (255, 230, 40), (210, 20, 30), (255, 255, 255)
    advert = Image.new("RGB", (50, 50), yellow)
    draw = ImageDraw.Draw(advert)
    draw.rectangle([2, 2, 47, 47], fill=navy)
    draw.rectangle([4, 33, 45, 45], fill=red)
    lines = ((11, "FREE", 16, yellow), (26, "SMILEYS!", 9, white), (39, "zubzo.net", 8, yellow))
    for y, text, size, colour in lines:
        face = font("DejaVuSansCondensed-Bold.ttf", size)
        draw.text((25, y), text, font=face, fill=colour, anchor="mm")
    return advert


def draw_portrait():
    """59 x 64: a grinning bald puppet in a dark suit, lit like a photo."""
    skin_light, skin_dark = (250, 210, 175), (175, 115, 80)
    pen = Pen((59, 64), (0, 0, 0))
    # Studio backdrop: a soft light spot behind the head, darker corners.
    pen.image.paste(radial(pen.image.size, (120, 140, 150), (35, 45, 55), (30, 22), 32))
    # Light falls from the upper left: each round part is shaded from a
    # point up and left of its middle.
    neck = lambda p: p.rounded(24, 34, 35, 48, 1, 255)
    pen.shaded(neck, (220, 170, 130), skin_dark, (27, 40), 12)
    shoulders = [(2, 64), (5, 50), (17, 45), (42, 45), (54, 50), (57, 64)]
    pen.shaded(lambda p: p.polygon(shoulders, 255), (70, 74, 98), (26, 28, 40), (10, 50), 30)
    pen.polygon([(23, 45), (36, 45), (29.5, 60)], (235, 235, 230))  # shirt
    pen.polygon([(28, 47), (31, 47), (32.5, 58), (29.5, 61), (26.5, 58)], (120, 20, 35))  # tie
    pen.polygon([(27.5, 45), (31.5, 45), (30.8, 48), (28.2, 48)], (90, 10, 20))  # knot
    pen.polygon([(17, 45), (23, 45), (29.5, 60), (21, 52)], (45, 48, 65))  # lapels
    pen.polygon([(42, 45), (36, 45), (29.5, 60), (38, 52)], (22, 24, 34))
    for ex in (14.5, 44.5):
        pen.shaded(lambda p: p.ellipse(ex, 25, 3, 4.5, 255), skin_light, skin_dark, (ex - 1, 23), 6)
    pen.shaded(lambda p: p.ellipse(29.5, 23, 14.5, 16.5, 255), skin_light, skin_dark, (24, 15), 24)
    pen.ellipse(24, 10, 4.5, 2.5, (255, 240, 225))  # shine on the bald crown
    # Round puppet eyes, wide open, under raised brows.
    for ex in (23.5, 35.5):
        pen.ellipse(ex, 19.5, 4.0, 4.2, (250, 250, 245))
        pen.ellipse(ex + 0.7, 20.3, 1.8, 1.9, (25, 20, 15))
        pen.ellipse(ex + 0.1, 19.5, 0.6, 0.6, (255, 255, 255))
        pen.arc(ex, 17.5, 4.5, 4.5, 200, 340, 1.2, (110, 70, 45))
    nose = lambda p: p.ellipse(29.5, 25.5, 2.6, 2.2, 255)
    pen.shaded(nose, (255, 200, 170), (190, 110, 80), (28.5, 24.5), 3.5)
    # The grin: an open mouth, a row of teeth, a tongue, and the hinge lines
    # of a puppet's jaw running down to the chin.
    pen.lower_half(29.5, 29.5, 10.5, 7.0, (70, 10, 15))
    pen.lower_half(29.5, 29.5, 9.5, 3.2, (245, 245, 235))
    for x in range(22, 38, 3):
        pen.polygon([(x, 29.5), (x + 0.5, 29.5), (x + 0.5, 32.2), (x, 32.2)], (190, 185, 175))
    pen.ellipse(29.5, 34.5, 4.0, 1.5, (200, 70, 80))
    for top, foot in (((19.5, 30.5), (21, 38)), ((39.5, 30.5), (38, 38))):
        pen.line(top, foot, 0.9, (120, 70, 50))
    return pen.result()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "resources")
    os.makedirs(out_dir, exist_ok=True)
    path = lambda name: os.path.join(out_dir, name)
    with open(path("qorvel.ico"), "wb") as f:
        f.write(encode_ico24(draw_icon()))
    with open(path("banner.bmp"), "wb") as f:
        f.write(encode_bmp555(draw_banner()))
    # Median-cut palettes, no transparent colour. Loop and frame times make
    # Pillow write GIF89a (times in milliseconds: 60 s and 5 s); the plain
    # single-frame portrait comes out as GIF87a.
    mascot, advert = (frame.quantize(256) for frame in (draw_mascot(), draw_advert()))
    mascot.save(path("mascot.gif"), save_all=True, append_images=[advert],
                duration=[60000, 5000], loop=0, interlace=False)
    draw_portrait().quantize(256).save(path("portrait.gif"), interlace=False)
    for name in ("qorvel.ico", "banner.bmp", "mascot.gif", "portrait.gif"):
        print("%s: %d bytes" % (name, os.path.getsize(path(name))))


if __name__ == "__main__":
    main()
