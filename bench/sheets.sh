#!/usr/bin/env bash
# Label sheets from long lists: code39 --labels with 10,000, 100,000 and 300,000 rows of part numbers to
# one PDF, its wall time, processor time and peak resident memory (from /usr/bin/time -v), beside an
# older build of code39 when one is given. Runs are interleaved round by round; each figure is the median
# of the rounds, with the memory per row beyond the smallest list and the time per 1,000 rows. Then, per
# tool, how far its peak memory grows from the smallest list to the largest: a run filled page by page
# should stay within a few megabytes (FLAT_MB, 5 by default), which the exit status says. Last, 1,000 rows
# as ZPL for a label printer (code39 --labels ROLL --zpl), whose whole run should stay under 0.2 s.
#   bench/sheets.sh [path/to/code39] [rounds]        (default: the Release build, 3 rounds)
#   BEFORE=path/to/older/code39  SIZES="10000 100000 1000000"  STOCK=lb060  ROLL="Dymo 30256"  bench/sheets.sh ...
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
rounds=${2:-3}
read -r -a sizes <<<"${SIZES:-10000 100000 300000}"
stock=${STOCK:-lb060}
roll=${ROLL:-Dymo 30256}
tools=(code39)
[ -n "${BEFORE:-}" ] && tools+=(before)

work=$(mktemp -d "${TMPDIR:-/tmp}/sheets.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/figures"

# One list to one PDF: appends "wall_us cpu_us rss_kib" to the tool's figures for the size.
run() {
    local tool=$1 size=$2 program
    program=$exe
    [ "$tool" = before ] && program=$BEFORE
    rm -f "$work/out.pdf"
    if ! /usr/bin/time -f '%e %U %S %M' -o "$work/time" \
        "$program" --labels "$stock" --pdf "$work/out.pdf" --list "$work/rows-$size" 2>"$work/err"; then
        echo "bench: $tool failed on $size rows" >&2
        head -5 "$work/err" >&2
        exit 1
    fi
    awk '{ printf "%d %d %d\n", $1 * 1e6, ($2 + $3) * 1e6, $4 }' "$work/time" >>"$work/figures/$tool-$size"
}

for size in "${sizes[@]}"; do
    awk -v n="$size" 'BEGIN { for (i = 1; i <= n; i++) printf "INV-2026-%06d\n", i }' >"$work/rows-$size"
done
for ((round = 1; round <= rounds; round++)); do
    for size in "${sizes[@]}"; do
        for tool in "${tools[@]}"; do
            run "$tool" "$size"
        done
    done
done

# The median of column $1 of a figures file.
column_median() {
    awk -v c="$1" '{ print $c }' "$2" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

printf '%-8s %8s %10s %10s %10s %12s %14s\n' tool rows wall_s cpu_s rss_MB ms_per_1000 bytes_per_row
for tool in "${tools[@]}"; do
    base_rss=$(column_median 3 "$work/figures/$tool-${sizes[0]}")
    for size in "${sizes[@]}"; do
        wall=$(column_median 1 "$work/figures/$tool-$size")
        cpu=$(column_median 2 "$work/figures/$tool-$size")
        rss=$(column_median 3 "$work/figures/$tool-$size")
        awk -v t="$tool" -v n="$size" -v w="$wall" -v c="$cpu" -v r="$rss" -v b="$base_rss" -v n0="${sizes[0]}" \
            'BEGIN { printf "%-8s %8d %10.2f %10.2f %10.1f %12.1f %14s\n", t, n, w / 1e6, c / 1e6, r / 1024,
                     c / 1e3 / (n / 1000), n == n0 ? "-" : sprintf("%.0f", (r - b) * 1024 / (n - n0)) }'
    done
done

flat=0
for tool in "${tools[@]}"; do
    first=$(column_median 3 "$work/figures/$tool-${sizes[0]}")
    last=$(column_median 3 "$work/figures/$tool-${sizes[-1]}")
    awk -v t="$tool" -v a="$first" -v b="$last" -v n0="${sizes[0]}" -v n="${sizes[-1]}" -v f="${FLAT_MB:-5}" \
        'BEGIN { g = (b - a) / 1024; printf "%-8s peak memory grows %.1f MB from %d to %d rows: %s\n", t, g, n0, n,
                 g <= f ? "flat" : "not flat" }'
    if [ "$tool" = code39 ] && [ $(((last - first) / 1024)) -gt "${FLAT_MB:-5}" ]; then
        flat=1
    fi
done

# 1,000 rows to ZPL, the whole run: start, the label database, the fit, the file.
awk 'BEGIN { for (i = 1; i <= 1000; i++) printf "INV-2026-%06d\n", i }' >"$work/rows-zpl"
for ((round = 1; round <= rounds; round++)); do
    rm -f "$work/out.zpl"
    start=$(bench_now_us)
    if ! "$exe" --labels "$roll" --zpl "$work/out.zpl" --list "$work/rows-zpl" 2>"$work/err"; then
        echo "bench: code39 --zpl failed" >&2
        head -5 "$work/err" >&2
        exit 1
    fi
    echo $(($(bench_now_us) - start)) >>"$work/figures/zpl"
done
printf '\n%-28s %8s %10s %12s\n' run rows wall_ms bytes
printf '%-28s %8d %10s %12d\n' "--zpl ($roll)" 1000 "$(bench_median_ms 1 <"$work/figures/zpl")" \
    "$(wc -c <"$work/out.zpl")"
exit "$flat"
