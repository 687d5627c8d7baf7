#!/usr/bin/env bash
# Times the code39 encoder on a 1-million-line file against cat of the same file (medians of
# several runs, both reading the file on standard input, output to /dev/null). Usage: bench/cli-vs-cat.sh [path/to/code39] [runs]
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
runs=${2:-7}
lines=1000000

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Part numbers for the plain run; mixed text with small letters and punctuation for Full ASCII.
awk -v n=$lines 'BEGIN { for (i = 1; i <= n; i++) printf "PART-%07d AB\n", i }' >"$work/plain.txt"
awk -v n=$lines 'BEGIN { for (i = 1; i <= n; i++) printf "Order #%d, qty %d (box)\r\n", i, i % 97 }' >"$work/mixed.txt"

# Median wall time in milliseconds of "$@" over $runs runs, each reading standard input from $1.
median_ms() {
    local input=$1 times=() start end i
    shift
    for ((i = 0; i < runs; i++)); do
        start=$(bench_now_us)
        "$@" <"$input" >/dev/null
        end=$(bench_now_us)
        times+=($((end - start)))
    done
    printf '%s\n' "${times[@]}" | bench_median_ms 1
}

compare() {
    local label=$1 file=$2
    shift 2
    local cat_ms code_ms
    cat_ms=$(median_ms "$file" cat)
    code_ms=$(median_ms "$file" "$exe" "$@")
    printf '%-34s %8s MB  cat %8s ms  code39 %8s ms  ratio %5.2fx\n' "$label" \
        "$(awk -v b="$(wc -c <"$file")" 'BEGIN { printf "%.1f", b / 1e6 }')" "$cat_ms" "$code_ms" \
        "$(awk -v a="$code_ms" -v b="$cat_ms" 'BEGIN { print a / b }')"
}

echo "$lines lines, median of $runs runs, output to /dev/null"
compare "part numbers, no options" "$work/plain.txt"
compare "part numbers, -c" "$work/plain.txt" -c
compare "mixed text with CRLF, -f -c" "$work/mixed.txt" -f -c
