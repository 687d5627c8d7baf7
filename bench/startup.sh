#!/usr/bin/env bash
# Start-up of the real program under Xvfb: time from exec to the main window being mapped, and peak
# resident memory, medians over several runs. The home is prepared with the tips off, so nothing
# modal appears; each run is closed as a window manager closes it.
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

times=()
rss=()
for ((i = 0; i < runs; i++)); do
    out=$(HOME=$work QT_QPA_PLATFORM=xcb python3 "$root/tests/app/xwindow.py" \
        --title "Tamrosks free bar code 3 of 9 utility" -- /usr/bin/time -v -o "$work/time.txt" "$exe")
    times+=("$(awk '/^mapped_ms/ { print $2 }' <<<"$out")")
    rss+=("$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "runs:            $runs"
echo "exec to mapped:  $(median "${times[@]}") ms (median; all: ${times[*]})"
echo "peak RSS:        $(awk -v k="$(median "${rss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }') MB (median)"
