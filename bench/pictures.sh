#!/usr/bin/env bash
# Times code39 drawing one picture file per row for 1,000 rows, as SVG, PDF and PNG (medians of several
# runs, each into an empty folder). Usage: bench/pictures.sh [path/to/code39] [runs]
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
runs=${2:-5}
rows=1000

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Twelve-character part numbers with a check character: a typical label.
awk -v n=$rows 'BEGIN { for (i = 1; i <= n; i++) printf "INV-2026-%04d\n", i }' >"$work/rows.txt"

# Median wall time in milliseconds of one batch run over $runs runs.
median_ms() {
    local format=$1 times=() start end i
    for ((i = 0; i < runs; i++)); do
        rm -rf "$work/out" && mkdir "$work/out"
        start=$(bench_now_us)
        "$exe" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows.txt"
        end=$(bench_now_us)
        times+=($((end - start)))
    done
    [ "$(ls "$work/out" | wc -l)" = "$rows" ] || { echo "bench: $format wrote the wrong number of files" >&2; exit 1; }
    printf '%s\n' "${times[@]}" | bench_median_ms 0
}

printf 'code39 batch of %d rows, median of %d runs\n' "$rows" "$runs"
for format in svg pdf png; do
    ms=$(median_ms "$format")
    size=$(du -sk "$work/out" | cut -f1)
    printf '  --%s  %6d ms  (%d KiB on disk)\n' "$format" "$ms" "$size"
done
