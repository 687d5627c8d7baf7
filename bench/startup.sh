#!/usr/bin/env bash
# Start-up of the real program under Xvfb: time from exec to the main window being mapped, and peak
# resident memory, medians over several runs, beside a bare Qt window (bench/BareWindow.cpp, from the
# same build) measured the same way in the same run. The home is prepared with the tips off, so
# nothing modal appears; each run is closed as a window manager closes it.
# Usage: bench/startup.sh [path/to/kelm] [runs]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/release/src/app/kelm}
runs=${2:-10}
if [ ! -x "$exe" ]; then
    echo "no kelm executable at $exe; build it first, e.g.:" >&2
    echo "  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/release --target kelm" >&2
    exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
    # One virtual server for all runs, so its own start-up is not measured.
    exec xvfb-run -a "$0" "$exe" "$runs"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Documents/Zovod"
printf '[TipoftheDay]\r\nEnabled=0\r\n' >"$work/Documents/Zovod/$(basename "$exe")tips.ini"

bare=$(dirname "$exe")/../../bench/bare_window
if [ ! -x "$bare" ]; then
    echo "no bare_window beside $exe; build the target bare_window too" >&2
    exit 2
fi

times=()
rss=()
bare_times=()
for ((i = 0; i < runs; i++)); do
    # Alternate the two, so that whatever else the machine does falls on both alike.
    out=$(HOME=$work QT_QPA_PLATFORM=xcb python3 "$root/tests/app/xwindow.py" \
        --title "Tamrosks free bar code 3 of 9 utility" -- /usr/bin/time -v -o "$work/time.txt" "$exe")
    times+=("$(awk '/^mapped_ms/ { print $2 }' <<<"$out")")
    rss+=("$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")")
    out=$(HOME=$work QT_QPA_PLATFORM=xcb python3 "$root/tests/app/xwindow.py" --title "Bare Qt window" -- "$bare")
    bare_times+=("$(awk '/^mapped_ms/ { print $2 }' <<<"$out")")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "runs:            $runs"
echo "exec to mapped:  $(median "${times[@]}") ms (median; all: ${times[*]})"
echo "bare Qt window:   $(median "${bare_times[@]}") ms (median; all: ${bare_times[*]})"
echo "ratio:           $(awk -v a="$(median "${times[@]}")" -v b="$(median "${bare_times[@]}")" 'BEGIN { printf "%.2f", a / b }')x"
echo "peak RSS:        $(awk -v k="$(median "${rss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }') MB (median)"
