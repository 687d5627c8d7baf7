#!/usr/bin/env bash
# Takes the README's picture of the main window from the real program: starts it on a virtual X
# server (its own, so no display is needed) with a fresh home, presses Enter to make a bar code and
# saves the window as a PNG.
#
#   tools/screenshot_main_window.sh KELM_EXECUTABLE OUT.png [DATA]
#     DATA   what the data field holds (default ABCD4567)
#
# Needs xvfb-run, xauth, xdotool and python3-pil (scripts/test installs them); KELM_PYTHON names the
# Python that has Pillow (default /usr/bin/python3, Debian's own).
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
fi
kelm=$1
out=$2
data=${3:-ABCD4567}
case $out in /*) ;; *) out=$PWD/$out ;; esac
[ -x "$kelm" ] || { echo "screenshot: $kelm is not a program" >&2; exit 2; }

# Once more inside a virtual X server of our own.
if [ -z "${KELM_SCREENSHOT_DISPLAY:-}" ]; then
    exec env KELM_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$kelm" "$out" "$data"
fi

home=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

# No tip at start-up, so nothing stands over the window; the window in the corner.
mkdir -p "$home/Documents/Zovod"
printf '[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=0\r\nTop=0\r\nData=%s\r\n' "$data" \
    >"$home/Documents/Zovod/kelmtips.ini"

HOME=$home QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$home "$kelm" >"$home/kelm.log" 2>&1 &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tamrosks free bar code 3 of 9 utility$' |
    head -n 1) || { cat "$home/kelm.log" >&2; echo "screenshot: the window did not appear" >&2; exit 1; }
# The window takes the focus on its first activation; Enter in the data field makes the bar code.
sleep 1
xdotool key Return
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
mkdir -p "$(dirname "$out")"
"${KELM_PYTHON:-/usr/bin/python3}" - "$out" "$X" "$Y" "$WIDTH" "$HEIGHT" <<'EOF'
import os, sys
from PIL import ImageGrab
out, x, y, w, h = sys.argv[1], *map(int, sys.argv[2:])
ImageGrab.grab(bbox=(x, y, x + w, y + h), xdisplay=os.environ["DISPLAY"]).save(out, optimize=True)
EOF
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
