#!/usr/bin/python3
"""Writes the label sheet templates: one RTF document per label stock, a US Letter page of empty labels.

    make_label_templates.py OUTDIR                    the templates the program opens
    make_label_templates.py OUTDIR --markers top      every label holds two markers, for the geometry check
    make_label_templates.py --geometry                the expected label rectangles, one line per label
    make_label_templates.py --names                   the template file names, one line per stock, in row order

Each template is a borderless table whose cells are the labels: exact row heights, a narrow cell
between label columns for the gap, a gap row between label rows where the stock has one, and page
margins that put the first label at the stock's offset. The user clicks in a label and pastes.
"""

import argparse
import os
import sys
from dataclasses import dataclass

TWIPS = 1440  # per inch
PAGE_W, PAGE_H = 8.5, 11.0


@dataclass(frozen=True)
class Stock:
    file: str
    width: float  # label, inches
    height: float
    cols: int
    rows: int
    left: float  # first label's top-left corner from the page's
    top: float
    pitch_x: float  # from one label's left edge to the next one's
    pitch_y: float


# The order is the order of the label list in the settings file: row i opens STOCKS[i].
STOCKS = [
    Stock("lb167.rtf", 1.75, 0.5, 4, 20, 0.28125, 0.5, 2.0625, 0.5),
    Stock("lb570.rtf", 3.4375, 0.6667, 2, 15, 0.53125, 0.5, 4.0, 0.6667),
    Stock("lb060.rtf", 2.625, 1.0, 3, 10, 0.15625, 0.5, 2.78125, 1.0),
    Stock("lb161.rtf", 4.0, 1.0, 2, 10, 0.15625, 0.5, 4.1875, 1.0),
    Stock("lb162.rtf", 4.0, 1.3333, 2, 7, 0.15625, 0.8333, 4.1875, 1.3333),
    Stock("lb197.rtf", 4.0, 1.5, 2, 6, 0.1875, 1.0, 4.125, 1.5),
    Stock("lb163.rtf", 4.0, 2.0, 2, 5, 0.15625, 0.5, 4.1875, 2.0),
    Stock("lb164.rtf", 4.0, 3.3333, 2, 3, 0.15625, 0.5, 4.1875, 3.3333),
]

# Text inside a label keeps clear of its edges by a paragraph indent (twips). Cell padding would do
# the same, but word processors disagree on whether a padded table hangs out into the margin.
INDENT = 86  # 0.06 in
MARKER_HALF_POINTS = 12  # 6 pt markers fit two lines into the shortest label


def tw(inches):
    return round(inches * TWIPS)


def check(stock):
    """Refuses a stock that does not fit the page, so a typing slip cannot produce a broken template."""
    right = stock.left + (stock.cols - 1) * stock.pitch_x + stock.width
    bottom = stock.top + (stock.rows - 1) * stock.pitch_y + stock.height
    if stock.pitch_x < stock.width or stock.pitch_y < stock.height:
        raise ValueError(f"{stock.file}: labels overlap")
    if right > PAGE_W or bottom > PAGE_H:
        raise ValueError(f"{stock.file}: labels run off the page")


def cell_edges(stock):
    """Right edges of the cells of one row, in twips from the table's left edge: label, gap, label ..."""
    edges = []
    for col in range(stock.cols):
        # Edges from the pitch, not by adding rounded widths, so rounding never accumulates.
        label_left = tw(col * stock.pitch_x)
        edges.append(label_left + tw(stock.width))
        if col + 1 < stock.cols:
            edges.append(tw((col + 1) * stock.pitch_x))
    return edges


def row_heights(stock):
    """(height in twips, is a label row) from the top of the table; gap rows only where the stock has gaps."""
    rows = []
    y = 0
    for r in range(stock.rows):
        top = tw(r * stock.pitch_y)
        if top > y:
            rows.append((top - y, False))
        bottom = tw(r * stock.pitch_y + stock.height)
        rows.append((bottom - top, True))
        y = bottom
    return rows


def render(stock, markers=None):
    check(stock)
    edges = cell_edges(stock)
    table_w = edges[-1]
    table_h = sum(h for h, _ in row_heights(stock))
    margl, margt = tw(stock.left), tw(stock.top)
    # The right margin leaves the table room; the bottom one is half what is left below the table so
    # that the paragraph a document must end with still fits on the first page.
    margr = max(0, tw(PAGE_W) - margl - table_w)
    margb = max(0, (tw(PAGE_H) - margt - table_h) // 2)

    out = [
        r"{\rtf1\ansi\ansicpg1252\deff0",
        r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}}",
        r"{\info{\title Label sheet " + stock.file[:-4] + "}}",
        rf"\paperw{tw(PAGE_W)}\paperh{tw(PAGE_H)}\margl{margl}\margr{margr}\margt{margt}\margb{margb}",
        r"\viewkind1\viewscale100\widowctrl0",
        rf"\sectd\pgwsxn{tw(PAGE_W)}\pghsxn{tw(PAGE_H)}\marglsxn{margl}\margrsxn{margr}"
        rf"\margtsxn{margt}\margbsxn{margb}\headery0\footery0",
    ]
    valign = {None: r"\clvertalc", "top": r"\clvertalt", "bottom": r"\clvertalb"}[markers]
    label_row = 0
    for height, is_label in row_heights(stock):
        # \trrh with a negative value is an exact height: a pasted bar code never stretches the sheet.
        row = [rf"\trowd\trgaph0\trleft0\trrh-{height}\trkeep"
               r"\trpaddl0\trpaddr0\trpaddt0\trpaddb0\trpaddfl3\trpaddfr3\trpaddft3\trpaddfb3"]
        for edge in edges:
            row.append(rf"{valign}\cellx{edge}")
        out.append("".join(row))
        for i in range(len(edges)):
            para = rf"\pard\intbl\plain\sa0\sb0\sl0\li{INDENT}\ri{INDENT}\f0\fs20 "
            if markers and is_label and i % 2 == 0:
                # L flush with the label's left edge, R with its right edge, unindented.
                mark = f"{label_row}_{i // 2}"
                bare = rf"\pard\intbl\plain\sa0\sb0\sl0\li0\ri0\f0\fs{MARKER_HALF_POINTS} "
                out.append(rf"{bare}\ql L{mark}\par{bare}\qr R{mark}\cell")
            else:
                out.append(rf"{para}\cell")
        out.append(r"\row")
        if is_label:
            label_row += 1
    # The closing paragraph, 1 pt high, so it never pushes a blank second page.
    out.append(r"\pard\plain\sa0\sb0\sl-20\slmult0\f0\fs2\par")
    out.append("}")
    return "\r\n".join(out) + "\r\n"


def geometry():
    """Each label's rectangle on the page, in inches: file row col left top right bottom."""
    lines = []
    for stock in STOCKS:
        check(stock)
        for r in range(stock.rows):
            for c in range(stock.cols):
                x = stock.left + c * stock.pitch_x
                y = stock.top + r * stock.pitch_y
                lines.append(f"{stock.file} {r} {c} {x:.5f} {y:.5f} {x + stock.width:.5f} {y + stock.height:.5f}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("outdir", nargs="?")
    parser.add_argument("--markers", choices=["top", "bottom"])
    parser.add_argument("--geometry", action="store_true")
    parser.add_argument("--names", action="store_true")
    args = parser.parse_args()
    if args.names:
        sys.stdout.write("".join(stock.file + "\n" for stock in STOCKS))
        return 0
    if args.geometry:
        sys.stdout.write(geometry())
        return 0
    if not args.outdir:
        parser.error("OUTDIR is required")
    os.makedirs(args.outdir, exist_ok=True)
    for stock in STOCKS:
        path = os.path.join(args.outdir, stock.file)
        # Write then rename: a build interrupted half-way never leaves a truncated template behind.
        with open(path + ".tmp", "w", encoding="ascii", newline="") as f:
            f.write(render(stock, args.markers))
        os.replace(path + ".tmp", path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
