#!/usr/bin/env bash
# The cost of reading labels back: 1,000 rows (twelve-character part numbers) onto sheets as a PDF, with and
# without --verify, on our 30-a-sheet stock and on a small label. Runs alternate round by round so that a busy
# machine weighs on both alike; each figure is the median wall time of the rounds, with the cost per label of
# the reading back (the difference over the labels read) and the machine's cores, which the reading uses.
#   bench/verify.sh [path/to/code39] [rounds]        (default: the Release build, 5 rounds)
#   ROWS=10000 STOCKS="lb060" DPI=600 bench/verify.sh ...
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
rounds=${2:-5}
rows=${ROWS:-1000}
dpi=${DPI:-300}
read -r -a stocks <<<"${STOCKS:-lb060 lb167}"

work=$(mktemp -d "${TMPDIR:-/tmp}/verify.XXXXXX")
trap 'rm -rf "$work"' EXIT
for ((i = 1; i <= rows; i++)); do printf 'PART-%07d\n' "$i"; done >"$work/rows"

# One run's wall time in microseconds; the run must succeed.
timed() {
    local start status=0
    start=$(bench_now_us)
    "$exe" --labels "$1" --dpi "$dpi" --list "$work/rows" --pdf "$work/out.pdf" "${@:2}" 2>"$work/err" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "code39 --labels $1 ${*:2} failed ($status):" >&2
        head -5 "$work/err" >&2
        exit 1
    fi
    echo $(($(bench_now_us) - start))
}

printf '%s rows, %s dpi, %s rounds, %s cores\n' "$rows" "$dpi" "$rounds" "$(nproc)"
for stock in "${stocks[@]}"; do
    : >"$work/plain" && : >"$work/verify"
    for ((r = 0; r < rounds; r++)); do
        timed "$stock" >>"$work/plain"
        timed "$stock" --verify >>"$work/verify"
    done
    plain=$(bench_median_ms 1 <"$work/plain")
    verify=$(bench_median_ms 1 <"$work/verify")
    per=$(echo "($verify - $plain) / $rows" | bc -l)
    printf '%-8s without --verify %8.1f ms   with --verify %8.1f ms   reading back %.2f ms per label\n' \
        "$stock" "$plain" "$verify" "$per"
done
