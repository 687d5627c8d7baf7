#!/usr/bin/env bash
# Times code39 drawing one picture file per row for 1,000 rows, as SVG, PDF and PNG (medians of several
# runs, each into an empty folder). Usage: bench/pictures.sh [path/to/code39] [runs]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/rel/src/cli/code39}
runs=${2:-5}
rows=1000
if [ ! -x "$exe" ]; then
    echo "no code39 executable at $exe; build it first, e.g.:" >&2
    echo "  cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/rel --target code39cli" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Twelve-character part numbers with a check character: a typical label.
awk -v n=$rows 'BEGIN { for (i = 1; i <= n; i++) printf "INV-2026-%04d\n", i }' >"$work/rows.txt"

# Median wall time in milliseconds of one batch run over $runs runs.
median_ms() {
    local format=$1 times=() start end i
    for ((i = 0; i < runs; i++)); do
        rm -rf "$work/out" && mkdir "$work/out"
        start=$(date +%s%N)
        "$exe" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows.txt"
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    [ "$(ls "$work/out" | wc -l)" = "$rows" ] || { echo "bench: $format wrote the wrong number of files" >&2; exit 1; }
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.0f", t[int((NR + 1) / 2)] / 1000 }'
}

printf 'code39 batch of %d rows, median of %d runs\n' "$rows" "$runs"
for format in svg pdf png; do
    ms=$(median_ms "$format")
    size=$(du -sk "$work/out" | cut -f1)
    printf '  --%s  %6d ms  (%d KiB on disk)\n' "$format" "$ms" "$size"
done
