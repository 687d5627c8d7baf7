#!/usr/bin/env bash
# Start-up of the real program under Xvfb: time from exec to the main window being mapped and to its
# first pixels painted, and peak resident memory, medians over several runs, beside two references from
# the same build measured the same way in the same run: a bare Qt window (bench/BareWindow.cpp) and the
# same with one line of text (bench/BareTextWindow.cpp), which also pays for the font database. The home
# is prepared with the tips off, so nothing modal appears; each run is closed as a window manager closes it.
# Usage: bench/startup.sh [path/to/kelm] [runs]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/release/src/app/kelm}
runs=${2:-10}
if [ ! -x "$exe" ]; then
    echo "no kelm executable at $exe; build it first, e.g.:" >&2
    echo "  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/release --target kelm bare_window bare_text_window" >&2
    exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
    # One virtual server for all runs, so its own start-up is not measured.
    exec xvfb-run -a "$0" "$exe" "$runs"
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Documents/Zovod"
printf '[TipoftheDay]\r\nEnabled=0\r\n' >"$work/Documents/Zovod/$(basename "$exe")tips.ini"

bench=$(dirname "$exe")/../../bench
for reference in bare_window bare_text_window; do
    if [ ! -x "$bench/$reference" ]; then
        echo "no $reference beside $exe; build the targets bare_window and bare_text_window too" >&2
        exit 2
    fi
done

# One run of a program: "mapped painted" in ms from exec.
measure() {
    local title=$1
    shift
    local out
    out=$(HOME=$work QT_QPA_PLATFORM=xcb python3 "$root/tests/app/xwindow.py" --painted --title "$title" -- "$@")
    awk '/^mapped_ms/ { m = $2 } /^painted_ms/ { p = $2 } END { print m, p }' <<<"$out"
}

mapped=() painted=() rss=()
bare_mapped=() bare_painted=() text_mapped=() text_painted=()
for ((i = 0; i < runs; i++)); do
    # Interleaved, so that whatever else the machine does falls on all three alike.
    read -r m p < <(measure "Tamrosks free bar code 3 of 9 utility" /usr/bin/time -v -o "$work/time.txt" "$exe")
    mapped+=("$m") painted+=("$p")
    rss+=("$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")")
    read -r m p < <(measure "Bare Qt window" "$bench/bare_window")
    bare_mapped+=("$m") bare_painted+=("$p")
    read -r m p < <(measure "Bare Qt window with text" "$bench/bare_text_window")
    text_mapped+=("$m") text_painted+=("$p")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
row() { printf '%-26s %9s %9s\n' "$@"; }
echo "runs: $runs, load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "medians in ms from exec (\"painted\": the window's pixels first differ from the screen beneath)"
row "" "mapped" "painted"
km=$(median "${mapped[@]}") kp=$(median "${painted[@]}")
bm=$(median "${bare_mapped[@]}") bp=$(median "${bare_painted[@]}")
tm=$(median "${text_mapped[@]}") tp=$(median "${text_painted[@]}")
row "kelm" "$km" "$kp"
row "bare Qt window" "$bm" "$bp"
row "bare window with text" "$tm" "$tp"
row "kelm / bare" "$(ratio "$km" "$bm")" "$(ratio "$kp" "$bp")"
row "kelm / bare with text" "$(ratio "$km" "$tm")" "$(ratio "$kp" "$tp")"
echo "kelm all runs, mapped: ${mapped[*]}"
echo "kelm all runs, painted: ${painted[*]}"
echo "peak RSS: $(awk -v k="$(median "${rss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }') MB (kelm, median)"
