#!/usr/bin/env bash
# Two copies of the program writing different keys of one settings file at once: 2 x 1,000 writes
# (keys A0..A49 and B0..B49, twenty rounds each). Prints the keys that ended on an older value (lost
# updates) and the time per write, alone and side by side.
#   bench/two-copies.sh [BUILD_DIR]     (default build/test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
writer="${1:-$root/build/test}/tests/platform/profile_writer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/kelmtips.ini"

now() { date +%s.%N; }

printf '[Settings]\r\nData=ABC\r\n' >"$file"
start=$(now)
"$writer" keys "$file" A >/dev/null
alone=$(echo "($(now) - $start) * 1000 / 1000" | bc -l)

printf '[Settings]\r\nData=ABC\r\n' >"$file"
start=$(now)
"$writer" keys "$file" A >/dev/null &
first=$!
"$writer" keys "$file" B >/dev/null || echo "the second copy reported a failed write"
wait "$first" || echo "the first copy reported a failed write"
both=$(echo "($(now) - $start) * 1000 / 2000" | bc -l)

kept=$(grep -c -E '^[AB][0-9]+=19'$'\r''$' "$file" || true)
printf 'lost updates: %d of 100 keys\n' $((100 - kept))
printf 'one copy alone: %.2f ms per write\n' "$alone"
printf 'two copies at once: %.2f ms per write (both copies'"'"' writes over the elapsed time)\n' "$both"
