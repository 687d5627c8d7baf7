#!/usr/bin/python3
"""Draws the program's pictures: the icon in seven sizes, the button glyphs and the two window backgrounds.

    make_artwork.py [--out DIR]      writes the PNGs below DIR (default: the repository's resources/)
    make_artwork.py --check DIR      exits 1 when a PNG below DIR differs, pixel for pixel, from a fresh drawing

Everything is drawn as simple shapes on an oversized canvas and scaled down with area averaging, which
gives clean anti-aliased edges without depending on a vector renderer. Only the heading of the tips
background uses a typeface (DejaVu Sans Bold from fonts-dejavu-core).
"""

import argparse
import os
import sys

from PIL import Image, ImageDraw, ImageFont

SUPER = 8  # oversampling factor of every drawing

# One palette for everything, so the glyphs read as a set.
INK = (38, 52, 82, 255)  # outlines and bars
PAPER = (255, 255, 255, 255)
PAPER_SHADE = (226, 232, 241, 255)
BLUE = (52, 117, 206, 255)
BLUE_LIGHT = (122, 171, 236, 255)
GREEN = (46, 158, 84, 255)
RED = (206, 66, 60, 255)
YELLOW = (247, 197, 40, 255)
YELLOW_LIGHT = (255, 232, 140, 255)
GREY = (132, 143, 160, 255)
WOOD = (176, 122, 70, 255)

DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


class Canvas:
    """A drawing in design units (w x h) rendered at SUPER times the final pixel size."""

    def __init__(self, w, h, pixels_w=None, pixels_h=None, background=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.pw, self.ph = pixels_w or w, pixels_h or h
        self.sx = self.pw * SUPER / w
        self.sy = self.ph * SUPER / h
        self.img = Image.new("RGBA", (self.pw * SUPER, self.ph * SUPER), background)
        self.draw = ImageDraw.Draw(self.img)

    def _layer(self, *colours):
        """The draw to use for these colours: a translucent colour must blend, and Pillow's draw replaces."""
        if all(c is None or len(c) < 4 or c[3] == 255 for c in colours):
            return self.draw, None
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        return ImageDraw.Draw(layer), layer

    def _merge(self, layer):
        if layer is not None:
            self.img.alpha_composite(layer)

    def _box(self, x, y, w, h):
        # Pillow's boxes include their last pixel; take it off so adjacent shapes meet without overlap.
        return [round(x * self.sx), round(y * self.sy), round((x + w) * self.sx) - 1, round((y + h) * self.sy) - 1]

    def _pt(self, x, y):
        return (round(x * self.sx), round(y * self.sy))

    def _len(self, v):
        return max(1, round(v * self.sx))

    def rect(self, x, y, w, h, fill=None, outline=None, width=1.0, radius=0.0):
        box = self._box(x, y, w, h)
        draw, layer = self._layer(fill, outline)
        if radius > 0:
            draw.rounded_rectangle(box, radius=self._len(radius), fill=fill, outline=outline,
                                   width=self._len(width) if outline else 0)
        else:
            draw.rectangle(box, fill=fill, outline=outline, width=self._len(width) if outline else 0)
        self._merge(layer)

    def ellipse(self, x, y, w, h, fill=None, outline=None, width=1.0):
        draw, layer = self._layer(fill, outline)
        draw.ellipse(self._box(x, y, w, h), fill=fill, outline=outline, width=self._len(width) if outline else 0)
        self._merge(layer)

    def polygon(self, points, fill=None, outline=None, width=1.0):
        pts = [self._pt(x, y) for x, y in points]
        draw, layer = self._layer(fill, outline)
        draw.polygon(pts, fill=fill)
        if outline:
            draw.line(pts + [pts[0]], fill=outline, width=self._len(width), joint="curve")
        self._merge(layer)

    def line(self, points, fill, width=1.0):
        self.draw.line([self._pt(x, y) for x, y in points], fill=fill, width=self._len(width), joint="curve")

    def arc(self, x, y, w, h, start, end, fill, width=1.0):
        self.draw.arc(self._box(x, y, w, h), start, end, fill=fill, width=self._len(width))

    def vgradient(self, x, y, w, h, top, bottom):
        x0, y0, x1, y1 = self._box(x, y, w, h)
        span = max(1, y1 - y0)
        for row in range(y0, y1 + 1):
            t = (row - y0) / span
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.draw.line([(x0, row), (x1, row)], fill=colour)

    def text(self, x, y, s, size, fill):
        font = ImageFont.truetype(DEJAVU_BOLD, round(size * self.sy))
        self.draw.text(self._pt(x, y), s, font=font, fill=fill)

    def centred_text(self, cx, cy, s, size, fill):
        """Text whose ink box is centred on (cx, cy)."""
        font = ImageFont.truetype(DEJAVU_BOLD, round(size * self.sy))
        left, top, right, bottom = self.draw.textbbox((0, 0), s, font=font)
        x, y = self._pt(cx, cy)
        self.draw.text((x - (left + right) / 2, y - (top + bottom) / 2), s, font=font, fill=fill)

    def image(self):
        # Area averaging over premultiplied alpha: no dark fringes around transparent edges.
        return self.img.resize((self.pw, self.ph), Image.Resampling.BOX)


# ---------------------------------------------------------------------------------------------------------
# Shared motifs, in 24-unit glyph space unless stated.

def barcode(c, x, y, h, pattern, unit=1.0):
    """Bars from a pattern of widths: odd positions are bars, even positions gaps."""
    for i, w in enumerate(pattern):
        if i % 2 == 0:
            c.rect(x, y, w * unit, h, fill=INK)
        x += w * unit


def printer(c, paper_marks):
    c.rect(6, 2, 12, 9, fill=PAPER, outline=INK)  # sheet going in
    c.rect(2, 9, 20, 9, fill=GREY, outline=INK, radius=2)  # body
    c.rect(5, 15, 14, 7, fill=PAPER, outline=INK)  # sheet coming out
    c.ellipse(17.5, 11, 2.5, 2.5, fill=GREEN)
    paper_marks(c)


def arrow_right(c, fill):
    c.polygon([(3, 9), (12, 9), (12, 4), (21, 12), (12, 20), (12, 15), (3, 15)], fill=fill, outline=INK)


def arrow_left(c, fill):
    c.polygon([(21, 9), (12, 9), (12, 4), (3, 12), (12, 20), (12, 15), (21, 15)], fill=fill, outline=INK)


def label_sheet(c):
    c.rect(4, 1.5, 16, 21, fill=PAPER, outline=INK, radius=1)
    for row in range(4):
        for col in range(2):
            c.rect(6 + col * 6.5, 4 + row * 4.5, 5.5, 3.5, fill=PAPER_SHADE, outline=BLUE, width=0.8, radius=0.8)
    barcode(c, 6.8, 4.8, 2, [0.6, 0.4, 1.2, 0.4, 0.6, 0.4, 0.6])


# ---------------------------------------------------------------------------------------------------------
# Glyphs, 24 x 24 with transparency.

def glyph_make(c):
    c.rect(1.5, 4, 17, 16, fill=PAPER, outline=INK, radius=1.5)
    barcode(c, 4, 7, 10, [1, 1, 2, 1, 1, 1, 1, 2, 2, 1, 1])
    # A spark: the bar code is being made.
    star = [(19, 1), (20.3, 4.7), (24, 6), (20.3, 7.3), (19, 11), (17.7, 7.3), (14, 6), (17.7, 4.7)]
    c.polygon(star, fill=YELLOW, outline=INK, width=0.8)


def glyph_copy(c):
    c.rect(2, 2, 13, 16, fill=PAPER_SHADE, outline=INK, radius=1)
    c.rect(9, 6, 13, 16, fill=PAPER, outline=INK, radius=1)
    barcode(c, 11, 10, 8, [1, 1, 2, 1, 1, 1, 1, 1, 1])


def glyph_print_sample(c):
    def marks(cc):
        barcode(cc, 7, 17, 3.5, [1, 0.8, 2, 0.8, 1, 0.8, 1, 0.8, 2])
    printer(c, marks)


def glyph_insert(c):
    # A text caret with a green plus: a character goes in at the end.
    c.rect(2, 5, 13, 14, fill=PAPER, outline=INK, radius=1)
    c.line([(11, 8), (11, 16)], fill=INK, width=1.2)
    c.line([(9.5, 8), (12.5, 8)], fill=INK, width=1)
    c.line([(9.5, 16), (12.5, 16)], fill=INK, width=1)
    c.line([(4.5, 13), (8, 13)], fill=GREY, width=1.4)
    c.ellipse(13, 1.5, 10, 10, fill=GREEN, outline=INK, width=0.8)
    c.line([(18, 3.8), (18, 9.2)], fill=PAPER, width=1.6)
    c.line([(15.3, 6.5), (20.7, 6.5)], fill=PAPER, width=1.6)


def glyph_tips(c):
    # A light bulb.
    c.ellipse(5, 1.5, 14, 14, fill=YELLOW, outline=INK)
    c.ellipse(8, 4, 4, 4, fill=YELLOW_LIGHT)
    c.polygon([(8.5, 13), (15.5, 13), (14.5, 17), (9.5, 17)], fill=YELLOW)
    c.rect(9, 16.5, 6, 4, fill=GREY, outline=INK, radius=0.8)
    c.line([(9.5, 18.5), (14.5, 18.5)], fill=INK, width=0.7)
    c.rect(10.5, 20.5, 3, 2, fill=INK, radius=0.8)


def disc(c, fill):
    c.ellipse(1.5, 1.5, 21, 21, fill=fill, outline=INK)
    c.ellipse(4, 3, 12, 8, fill=(255, 255, 255, 60))


def glyph_help(c):
    disc(c, BLUE)
    c.centred_text(12, 12, "?", 15, PAPER)


def glyph_about(c):
    disc(c, BLUE)
    c.centred_text(12, 12, "i", 15, PAPER)


def glyph_next(c):
    arrow_right(c, GREEN)


def glyph_previous(c):
    arrow_left(c, GREEN)


def glyph_exit_tips(c):
    # An open door.
    c.rect(4, 2, 14, 20, fill=PAPER_SHADE, outline=INK)
    c.polygon([(4, 2), (13, 5), (13, 23), (4, 22)], fill=WOOD, outline=INK)
    c.ellipse(10.5, 12, 1.8, 1.8, fill=YELLOW)
    c.polygon([(14, 10), (18, 10), (18, 7.5), (22.5, 12), (18, 16.5), (18, 14), (14, 14)], fill=RED, outline=INK,
              width=0.8)


def glyph_return(c):
    # A U-turn arrow: back to the utility.
    c.arc(5, 5, 15, 13, 270, 450, fill=INK, width=4.6)
    c.arc(5, 5, 15, 13, 270, 450, fill=BLUE, width=2.8)
    c.line([(12.5, 18), (6, 18)], fill=INK, width=4.6)
    c.line([(12.5, 18), (6.5, 18)], fill=BLUE, width=2.8)
    c.polygon([(12.5, 1.5), (12.5, 9.5), (6.5, 5.5)], fill=BLUE, outline=INK, width=0.8)
    c.line([(12.5, 5.5), (13.5, 5.5)], fill=BLUE, width=2.8)


def glyph_print_labels(c):
    label_sheet(c)


def glyph_open_labels(c):
    label_sheet(c)
    c.ellipse(13, 13, 10, 10, fill=GREEN, outline=INK, width=0.8)
    c.polygon([(16.5, 15.3), (20.5, 18), (16.5, 20.7)], fill=PAPER)


GLYPHS = {
    "glyphs/MainWindow/makeButton.png": glyph_make,
    "glyphs/MainWindow/copyButton.png": glyph_copy,
    "glyphs/MainWindow/printLabelsButton.png": glyph_print_labels,
    "glyphs/MainWindow/printSampleButton.png": glyph_print_sample,
    "glyphs/MainWindow/insertButton.png": glyph_insert,
    "glyphs/MainWindow/tipsButton.png": glyph_tips,
    "glyphs/MainWindow/helpButton.png": glyph_help,
    "glyphs/MainWindow/aboutButton.png": glyph_about,
    "glyphs/TipDialog/nextTipButton.png": glyph_next,
    "glyphs/TipDialog/exitButton.png": glyph_exit_tips,
    "glyphs/TipDialog/previousTipButton.png": glyph_previous,
    "glyphs/LabelDialog/returnButton.png": glyph_return,
    "glyphs/LabelDialog/printLabelsButton.png": glyph_open_labels,
}


# ---------------------------------------------------------------------------------------------------------
# The icon, designed on a 16-unit grid so that the bars fall on whole pixels at 16, 32, 48 ... pixels.

def icon(c):
    c.vgradient(0.5, 0.5, 15, 15, BLUE_LIGHT, BLUE)
    mask = Image.new("L", c.img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(c._box(0.5, 0.5, 15, 15), radius=c._len(3), fill=255)
    clipped = Image.new("RGBA", c.img.size, (0, 0, 0, 0))
    clipped.paste(c.img, (0, 0), mask)
    c.img = clipped
    c.draw = ImageDraw.Draw(c.img)
    # At least one pixel of outline, so the tile keeps its edge on any panel colour.
    c.rect(0.5, 0.5, 15, 15, outline=INK, width=max(0.3, 16 / c.pw), radius=3)
    c.rect(2, 3, 12, 10, fill=PAPER, radius=1)
    barcode(c, 3, 4, 6, [1, 1, 2, 1, 1, 1, 1, 1, 1])
    c.rect(4, 11, 8, 1, fill=GREY)


ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]


# ---------------------------------------------------------------------------------------------------------
# Backgrounds.

def background_tip(c):
    # Calm, light ground; the memo (8, 44, 280 x 89) and the button strip (y 140 on) stay pale.
    c.vgradient(0, 0, 300, 180, (246, 249, 253, 255), (232, 239, 248, 255))
    c.vgradient(0, 0, 300, 38, (70, 132, 214, 255), (44, 100, 180, 255))
    c.rect(0, 38, 300, 2, fill=YELLOW)
    # The heading, with a small bulb in front of it.
    c.ellipse(10, 6, 18, 18, fill=YELLOW, outline=INK)
    c.ellipse(14, 9, 6, 5, fill=YELLOW_LIGHT)
    c.rect(14, 23, 10, 6, fill=GREY, outline=INK, radius=1.5)
    c.text(36, 8, "Did you know...?", 17, PAPER)
    # Faint bars at the right of the band: the program's motif.
    x = 232
    for w in [2, 1, 1, 3, 1, 1, 2, 2, 1, 3, 1, 1, 2, 1]:
        c.rect(x, 8, w * 2 - 1 if w > 1 else 1, 22, fill=(255, 255, 255, 70))
        x += w * 2 + 1
    c.rect(6, 42, 284, 93, fill=PAPER, outline=(196, 208, 226, 255), radius=4)
    c.line([(8, 140), (292, 140)], fill=(204, 214, 230, 255), width=1)


def background_about(c):
    c.vgradient(0, 0, 244, 271, (236, 243, 252, 255), (200, 218, 242, 255))
    c.vgradient(0, 0, 244, 33, (70, 132, 214, 255), (44, 100, 180, 255))
    c.rect(0, 33, 244, 2, fill=YELLOW)
    # The program's icon beside the product name.
    c.img.alpha_composite(render_icon(28 * SUPER), c._pt(8, 2))
    # A faint bar code right of the address block; the window shows only the top-left 171 x 151.
    x = 129
    pattern = [1, 1, 2, 1, 1, 2, 1, 1, 2, 1, 1, 1, 2, 1, 1]
    for i, w in enumerate(pattern):
        if i % 2 == 0:
            c.rect(x, 62, w * 2, 62, fill=(44, 100, 180, 60))
        x += w * 2
    c.rect(0, 150, 244, 121, fill=(44, 100, 180, 30))


def render_icon(size):
    c = Canvas(16, 16, size, size)
    icon(c)
    return c.image()


# ---------------------------------------------------------------------------------------------------------

def render_all():
    out = {}
    for size in ICON_SIZES:
        out[f"icons/kelm-{size}.png"] = render_icon(size)
    for name, draw in GLYPHS.items():
        c = Canvas(24, 24)
        draw(c)
        out[name] = c.image()
    c = Canvas(300, 180, background=(255, 255, 255, 255))
    background_tip(c)
    out["backgrounds/TipDialog.png"] = c.image().convert("RGB")
    c = Canvas(244, 271, background=(255, 255, 255, 255))
    background_about(c)
    out["backgrounds/AboutDialog.png"] = c.image().convert("RGB")
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources"))
    parser.add_argument("--check", metavar="DIR")
    args = parser.parse_args()

    images = render_all()
    if args.check:
        bad = []
        for name, img in images.items():
            path = os.path.join(args.check, name)
            try:
                with Image.open(path) as stored:
                    same = stored.mode == img.mode and stored.size == img.size and stored.tobytes() == img.tobytes()
            except OSError:
                same = False
            if not same:
                bad.append(name)
        for name in bad:
            print(f"differs from a fresh drawing: {name}", file=sys.stderr)
        return 1 if bad else 0

    for name, img in images.items():
        path = os.path.join(args.out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        img.save(path, optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
