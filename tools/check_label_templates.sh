#!/usr/bin/env bash
# Checks the label templates as a word processor lays them out: every label cell gets a marker at its
# top-left (L) and bottom-right (R) corner, LibreOffice turns the sheets into PDF, and the markers'
# positions from `pdftotext -bbox` must lie within TOLERANCE inches of the stock's label rectangles.
# Needs libreoffice-writer and poppler-utils; not part of the test suite (LibreOffice is large).
#
#   tools/check_label_templates.sh [TOLERANCE]      (default 0.02)
#
# The templates come from the make_label_templates tool of a build tree (build/test unless
# KELM_BUILD_DIR names another).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tolerance=${1:-0.02}
maker="${KELM_BUILD_DIR:-$here/../build/test}/tools/make_label_templates"
[ -x "$maker" ] || { echo "missing $maker: build the project first" >&2; exit 2; }
for tool in soffice pdftotext pdfinfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool (libreoffice-writer, poppler-utils)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$maker" --geometry > "$work/geometry.txt"
# Top-aligned markers show the top edges, bottom-aligned ones the bottom edges; both show left and right.
# The sheets as shipped (no markers) are converted too: each must stay one Letter page.
for align in plain top bottom; do
    if [ "$align" = plain ]; then
        "$maker" "$work/$align"
    else
        "$maker" "$work/$align" --markers "$align"
    fi
    soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/pdf-$align" "$work/$align"/*.rtf > "$work/soffice-$align.log" 2>&1
    for pdf in "$work/pdf-$align"/*.pdf; do
        name=$(basename "$pdf" .pdf)
        pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
        size=$(pdfinfo "$pdf" | awk '/^Page size:/ {print $3 "x" $5}')
        echo "$align $name.rtf pages $pages size $size" >> "$work/pages.txt"
        [ "$align" = plain ] && continue
        pdftotext -bbox "$pdf" - | sed -n "s|.*xMin=\"\([^\"]*\)\" yMin=\"\([^\"]*\)\" xMax=\"\([^\"]*\)\" yMax=\"\([^\"]*\)\">\([LR][0-9_]*\)</word>|$align $name.rtf \5 \1 \2 \3 \4|p" \
            >> "$work/words.txt"
    done
done

/usr/bin/python3 - "$work" "$tolerance" <<'EOF'
import collections, sys
work, tol = sys.argv[1], float(sys.argv[2])
pt = 72.0
labels = collections.OrderedDict()
for line in open(f"{work}/geometry.txt"):
    f, r, c, *rect = line.split()
    labels[(f, int(r), int(c))] = [float(v) for v in rect]
words = {}
for line in open(f"{work}/words.txt"):
    align, f, word, *box = line.split()
    words[(align, f, word)] = [float(v) / pt for v in box]
failures = []
for line in open(f"{work}/pages.txt"):
    align, f, _, pages, _, size = line.split()
    if pages != "1" or size != "612x792":
        failures.append(f"{f} ({align}): {pages} pages of {size} pt, want one page of 612x792")
worst = collections.defaultdict(float)
for (f, r, c), (left, top, right, bottom) in labels.items():
    mark = f"{r}_{c}"
    for align in ("top", "bottom"):
        L = words.get((align, f, "L" + mark))
        R = words.get((align, f, "R" + mark))
        if not L or not R:
            failures.append(f"{f} label {mark}: marker missing in the {align}-aligned sheet")
            continue
        # Markers are flush with the label's edges: L starts at its left edge, R ends at its right one.
        checks = [("left", L[0], left), ("right", R[2], right)]
        checks.append(("top", L[1], top) if align == "top" else ("bottom", R[3], bottom))
        for edge, got, want in checks:
            off = abs(got - want)
            worst[f] = max(worst[f], off)
            if off > tol:
                failures.append(f"{f} label {mark}: {edge} edge at {got:.4f} in, want {want:.4f} in")
counts = collections.Counter(f for f, _, _ in labels)
for f, n in counts.items():
    print(f"{f}: {n} labels, largest deviation {worst[f]:.4f} in")
for msg in failures[:40]:
    print("FAIL", msg)
print("FAILED" if failures else f"OK: every label edge within {tol} in")
sys.exit(1 if failures else 0)
EOF
