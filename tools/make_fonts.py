#!/usr/bin/python3
"""Builds the two Code 39 bar-code typefaces of Kelm as TrueType fonts.

  make_fonts.py OUTDIR [--mono DejaVuSansMono.ttf]

writes OUTDIR/TamroskStripe39dLo-Regular.ttf (human-readable text below the bars) and
OUTDIR/TamroskStripe39dUp-Regular.ttf (text above). Each bar-code character is one glyph of
16 modules: nine elements (narrow 1 module, wide 3) and a narrow gap to the next character.
The readable characters are DejaVu Sans Mono outlines, scaled and set clear of the bars.
The output is the same, byte for byte, on every run.
"""

import argparse
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables import ttProgram

DEFAULT_MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"

# Elements of each symbol, bar first, 1 = wide. The space symbol is drawn at '~': programs
# write a data space as '~', and a real space must stay blank so that line breaking or
# justification at a space can never change the bars.
PATTERNS = {
    "0": "000110100", "1": "100100001", "2": "001100001", "3": "101100000", "4": "000110001",
    "5": "100110000", "6": "001110000", "7": "000100101", "8": "100100100", "9": "001100100",
    "A": "100001001", "B": "001001001", "C": "101001000", "D": "000011001", "E": "100011000",
    "F": "001011000", "G": "000001101", "H": "100001100", "I": "001001100", "J": "000011100",
    "K": "100000011", "L": "001000011", "M": "101000010", "N": "000010011", "O": "100010010",
    "P": "001010010", "Q": "000000111", "R": "100000110", "S": "001000110", "T": "000010110",
    "U": "110000001", "V": "011000001", "W": "111000000", "X": "010010001", "Y": "110010000",
    "Z": "011010000", "-": "010000101", ".": "110000100", "~": "011000100", "$": "010101000",
    "/": "010100010", "+": "010001010", "%": "000101010", "*": "010010100",
}

GLYPH_NAMES = {
    "-": "hyphen", ".": "period", "~": "asciitilde", "$": "dollar", "/": "slash",
    "+": "plus", "%": "percent", "*": "asterisk",
    "0": "zero", "1": "one", "2": "two", "3": "three", "4": "four",
    "5": "five", "6": "six", "7": "seven", "8": "eight", "9": "nine",
}

UNITS_PER_EM = 2048
MODULE = UNITS_PER_EM // 16  # one em per character: a whole number of pixels per module at 16 ppem
NARROW, WIDE = MODULE, 3 * MODULE
ADVANCE = 16 * MODULE
BAR_HEIGHT = 13 * MODULE
TEXT_SCALE = 0.4  # readable text cap height about 0.29 em
TEXT_GAP = MODULE  # between the readable text and the bars
MARGIN = MODULE // 2  # above and below the outermost ink, inside the line

# Fixed so that two runs give the same bytes (seconds since 1904-01-01: 2024-01-01 00:00 UTC).
TIMESTAMP = 3786825600

FAMILIES = (
    ("Tamrosk Stripe 39 d Lo", "TamroskStripe39dLo", True),
    ("Tamrosk Stripe 39 d Up", "TamroskStripe39dUp", False),
)

COPYRIGHT = (
    "Readable characters derived from DejaVu Sans Mono: Copyright (c) 2003 by Bitstream, Inc. "
    "All Rights Reserved. Bitstream Vera is a trademark of Bitstream, Inc. "
    "DejaVu changes are in public domain. Bar glyphs: the Kelm developers."
)

LICENCE = (
    "The readable characters are derived from the DejaVu fonts under the Bitstream Vera licence:\n"
    "Permission is hereby granted, free of charge, to any person obtaining a copy of the fonts "
    "accompanying this license (\"Fonts\") and associated documentation files (the \"Font "
    "Software\"), to reproduce and distribute the Font Software, including without limitation "
    "the rights to use, copy, merge, publish, distribute, and/or sell copies of the Font "
    "Software, and to permit persons to whom the Font Software is furnished to do so, subject "
    "to the following conditions:\n"
    "The above copyright and trademark notices and this permission notice shall be included in "
    "all copies of one or more of the Font Software typefaces.\n"
    "The Font Software may be modified, altered, or added to, and in particular the designs of "
    "glyphs or characters in the Fonts may be modified and additional glyphs or characters may "
    "be added to the Fonts, only if the fonts are renamed to names not containing either the "
    "words \"Bitstream\" or the word \"Vera\".\n"
    "This License becomes null and void to the extent applicable to Fonts or Font Software that "
    "has been modified and is distributed under the \"Bitstream Vera\" names.\n"
    "The Font Software may be sold as part of a larger software package but no copy of one or "
    "more of the Font Software typefaces may be sold by itself.\n"
    "THE FONT SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, "
    "INCLUDING BUT NOT LIMITED TO ANY WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR "
    "PURPOSE AND NONINFRINGEMENT OF COPYRIGHT, PATENT, TRADEMARK, OR OTHER RIGHT. IN NO EVENT "
    "SHALL BITSTREAM OR THE GNOME FOUNDATION BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER "
    "LIABILITY, INCLUDING ANY GENERAL, SPECIAL, INDIRECT, INCIDENTAL, OR CONSEQUENTIAL DAMAGES, "
    "WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF THE USE OR "
    "INABILITY TO USE THE FONT SOFTWARE OR FROM OTHER DEALINGS IN THE FONT SOFTWARE.\n"
    "Except as contained in this notice, the names of Gnome, the Gnome Foundation, and "
    "Bitstream Inc., shall not be used in advertising or otherwise to promote the sale, use or "
    "other dealings in this Font Software without prior written authorization from the Gnome "
    "Foundation or Bitstream Inc., respectively. For further information, contact: fonts at "
    "gnome dot org."
)

# Hinting. Without any program FreeType auto-hints the outlines and can shift a bar by a pixel,
# which breaks small bar codes. Where a renderer follows x-direction hints (full hinting,
# monochrome), the glyph programs below also put every bar edge on a whole pixel with one narrow
# width N and one wide width W for all characters at that size; the pixels left over go into the
# gap between characters, where they cannot turn a narrow element into a wide one. Antialiased
# edges between pixels are grey and, at one or two pixels per module, blur narrow and wide together.
#
# Storage: 0 = N, 1 = W (whole pixels, F26Dot6), 2 = 1 when the size leaves room for W >= 2N.
# N = max(1, floor((ppem + 3) / 16)), W = min(floor((ppem - 7N) / 3), max(floor(3.5N), 5)): at 13
# to 15 pixels per em the ratio is 2, up to 28 it is 3 to 5 (one pixel cannot be split), and from
# 29 on it stays within 2.5 to 3.5 with a gap of at most 5.5N. Below 13 nothing fits and the
# outlines are left alone.
PREP_PROGRAM = [
    "PUSHW[ ]", "511", "SCANCTRL[ ]",  # dropout control at every size ...
    "PUSHB[ ]", "4", "SCANTYPE[ ]",  # ... in smart mode, so thin bars never vanish
    "PUSHB[ ]", "4", "3", "INSTCTRL[ ]",  # FreeType's grey-level interpreter follows x hints too
    "SVTCA[1]",
    "MPPEM[ ]", "PUSHB[ ]", "3", "ADD[ ]", "PUSHB[ ]", "16", "DIV[ ]", "FLOOR[ ]",
    "PUSHB[ ]", "64", "MAX[ ]",  # N
    "DUP[ ]", "PUSHB[ ]", "0", "SWAP[ ]", "WS[ ]",
    "DUP[ ]", "PUSHB[ ]", "224", "MUL[ ]", "FLOOR[ ]", "PUSHW[ ]", "320", "MAX[ ]",  # N cap
    "SWAP[ ]", "PUSHW[ ]", "448", "MUL[ ]",  # cap 7N
    "MPPEM[ ]", "PUSHB[ ]", "1", "DIV[ ]",  # cap 7N ppem
    "SWAP[ ]", "SUB[ ]", "PUSHW[ ]", "192", "DIV[ ]", "FLOOR[ ]", "MIN[ ]",  # W
    "DUP[ ]", "PUSHB[ ]", "1", "SWAP[ ]", "WS[ ]",
    "PUSHB[ ]", "0", "RS[ ]", "PUSHW[ ]", "128", "MUL[ ]",  # W 2N
    "GTEQ[ ]", "PUSHB[ ]", "2", "SWAP[ ]", "WS[ ]",
]
PREP_STACK = 4

# Function 0 (point, a, b): moves the point to x = a * N + b * W.
FONT_PROGRAM = [
    "PUSHB[ ]", "0", "FDEF[ ]",
    "PUSHB[ ]", "1", "RS[ ]", "MUL[ ]",  # point a b*W/64
    "SWAP[ ]", "PUSHB[ ]", "0", "RS[ ]", "MUL[ ]",  # point b*W/64 a*N/64
    "ADD[ ]", "PUSHW[ ]", "4096", "MUL[ ]",  # back to F26Dot6
    "SCFS[ ]",
    "ENDF[ ]",
]


def bar_hints(pattern):
    """The glyph program: each bar point's x as counts of narrow and wide elements before it."""
    args = []
    point = 0
    narrow = wide = 0
    for i, element in enumerate(pattern):
        if i % 2 == 0:
            left = (narrow, wide)
            right = (narrow + (element == "0"), wide + (element == "1"))
            # the order in which add_bars draws a bar's corners
            for a, b in (left, left, right, right):
                args += [point, a, b]
                point += 1
        narrow += element == "0"
        wide += element == "1"
    calls = len(args) // 3
    program = ttProgram.Program()
    program.fromAssembly(["PUSHB[ ]", "2", "RS[ ]", "IF[ ]", "SVTCA[1]",
                          "NPUSHB[ ]", " ".join(map(str, args + [calls, 0])), "LOOPCALL[ ]", "EIF[ ]"])
    return program, len(args) + 2


def glyph_name(ch):
    return GLYPH_NAMES.get(ch, ch)


def add_bars(pen, pattern, y0, y1):
    x = 0
    for i, wide in enumerate(pattern):
        width = WIDE if wide == "1" else NARROW
        if i % 2 == 0:
            # clockwise: the TrueType direction for filled outlines
            pen.moveTo((x, y0))
            pen.lineTo((x, y1))
            pen.lineTo((x + width, y1))
            pen.lineTo((x + width, y0))
            pen.closePath()
        x += width
    assert x + NARROW == ADVANCE


class Mono:
    """The readable characters: DejaVu Sans Mono outlines, scaled and centred under the bars."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.glyph_set = self.font.getGlyphSet()
        self.cmap = self.font.getBestCmap()
        scale = TEXT_SCALE * UNITS_PER_EM / self.font["head"].unitsPerEm
        self.scale = scale
        glyf = self.font["glyf"]
        names = [self.cmap[ord(ch)] for ch in PATTERNS if ch != "~"]
        self.y_min = min(glyf[n].yMin for n in names) * scale
        self.y_max = max(glyf[n].yMax for n in names) * scale
        self.advance = self.font["hmtx"][names[0]][0] * scale

    def draw(self, pen, ch, baseline):
        name = self.cmap[ord(ch)]
        recording = DecomposingRecordingPen(self.glyph_set)
        self.glyph_set[name].draw(recording)
        bars_centre = (ADVANCE - NARROW) / 2
        dx = bars_centre - self.advance / 2
        recording.replay(TransformPen(pen, (self.scale, 0, 0, self.scale, dx, baseline)))


def build(mono, family, ps_family, text_below):
    # Bars stand on the baseline; the readable text hangs below them or stands above them.
    bars = (0, BAR_HEIGHT)
    if text_below:
        baseline = -TEXT_GAP - mono.y_max
    else:
        baseline = BAR_HEIGHT + TEXT_GAP - mono.y_min
    ascent = round(max(bars[1], baseline + mono.y_max) + MARGIN)
    descent = round(max(-bars[0], -(baseline + mono.y_min)) + MARGIN)

    glyphs = {}
    order = [".notdef", "space"]
    cmap = {0x20: "space"}
    max_stack = PREP_STACK
    glyphs[".notdef"] = TTGlyphPen(None).glyph()  # blank: an unknown character must never look like bars
    glyphs["space"] = TTGlyphPen(None).glyph()
    for ch, pattern in PATTERNS.items():
        name = glyph_name(ch)
        pen = TTGlyphPen(None)
        add_bars(pen, pattern, *bars)
        if ch != "~":  # the space symbol has nothing readable under it
            mono.draw(pen, ch, round(baseline))
        glyph = pen.glyph()
        glyph.program, stack = bar_hints(pattern)
        max_stack = max(max_stack, stack)
        glyphs[name] = glyph
        order.append(name)
        cmap[ord(ch)] = name

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.updateHead(created=TIMESTAMP, modified=TIMESTAMP, fontRevision=1.0, flags=0x000B, lowestRecPPEM=8)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (ADVANCE, glyphs[name].xMin if hasattr(glyphs[name], "xMin") else 0)
                               for name in order})
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({
        "copyright": COPYRIGHT,
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"{family} Regular 1.000",
        "fullName": f"{family} Regular",
        "version": "Version 1.000",
        "psName": f"{ps_family}-Regular",
        "description": "Code 39 (bar code 3 of 9) bar-code typeface, human-readable text "
                       + ("below" if text_below else "above") + " the bars. "
                       "Set the data between asterisks; write a space as a tilde.",
        "licenseDescription": LICENCE,
    })
    fb.setupOS2(
        version=4,
        fsType=0,  # installable: documents may embed it and be edited elsewhere
        fsSelection=0x40,  # regular
        achVendID="KELM",
        ulUnicodeRange1=1,  # Basic Latin
        ulCodePageRange1=1,  # Latin 1
        usFirstCharIndex=0x20,
        usLastCharIndex=0x7E,
        sTypoAscender=ascent,
        sTypoDescender=-descent,
        sTypoLineGap=0,
        usWinAscent=ascent,
        usWinDescent=descent,
        sxHeight=BAR_HEIGHT,
        sCapHeight=BAR_HEIGHT,
        usDefaultChar=0,
        usBreakChar=0x20,
        usMaxContext=0,
    )
    fb.setupPost(isFixedPitch=1, underlinePosition=-MODULE, underlineThickness=MODULE // 2)

    font = fb.font
    for tag, source in (("fpgm", FONT_PROGRAM), ("prep", PREP_PROGRAM)):
        table = font[tag] = newTable(tag)
        table.program = ttProgram.Program()
        table.program.fromAssembly(source)
    maxp = font["maxp"]
    maxp.maxZones = 1
    maxp.maxStorage = 3
    maxp.maxFunctionDefs = 1
    maxp.maxStackElements = max_stack
    maxp.maxSizeOfInstructions = max(len(g.program.getBytecode()) for g in glyphs.values())
    return font


def main(argv):
    parser = argparse.ArgumentParser(description="Builds the Code 39 bar-code typefaces.")
    parser.add_argument("outdir", help="folder for the .ttf files")
    parser.add_argument("--mono", default=DEFAULT_MONO, help="DejaVu Sans Mono, for the readable text")
    args = parser.parse_args(argv)

    mono = Mono(args.mono)
    os.makedirs(args.outdir, exist_ok=True)
    for family, ps_family, text_below in FAMILIES:
        font = build(mono, family, ps_family, text_below)
        path = os.path.join(args.outdir, f"{ps_family}-Regular.ttf")
        tmp = path + ".tmp"
        font.save(tmp)
        os.replace(tmp, path)  # a build that stops halfway never leaves a truncated font behind
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
