#!/usr/bin/env bash
# Our code39 command side by side with `zint --batch` (where it is installed) and with an older build of
# code39 (when one is given): one picture file per row, SVG and PNG, for 100, 1,000 and 10,000 rows of
# twelve-character part numbers with a check character. zint draws its PNG at the size of ours (1760 x 144
# pixels against 1704 x 144), so that the time per file compares like with like; the table shows each
# tool's pixels per image. Runs are interleaved round by round, so that a busy machine weighs on every tool
# alike; each figure is the median of the rounds. The table gives, per batch, the wall and processor times,
# each per file and as a ratio to zint, and "flat": the time per file against the smallest batch's (1.00
# is linear).
#   bench/compare.sh [path/to/code39] [rounds]        (default: the Release build, 3 rounds)
#   BEFORE=path/to/older/code39  SIZES="100 1000"  FORMATS="svg png pdf"  bench/compare.sh ...
#   MEMORY=1 bench/compare.sh ...   also the peak resident memory of batches of very long rows
# The files go to a folder under $TMPDIR (or /tmp): put it on the disk whose timing matters.
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
rounds=${2:-3}
read -r -a sizes <<<"${SIZES:-100 1000 10000}"
read -r -a formats <<<"${FORMATS:-svg png}"
tools=(code39)
[ -n "${BEFORE:-}" ] && tools+=(before)
command -v zint >/dev/null && tools+=(zint)

work=$(mktemp -d "${TMPDIR:-/tmp}/compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/times"

# One batch into an empty folder.
batch() {
    local tool=$1 format=$2 size=$3
    case $tool in
    code39) "$exe" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows-$size" ;;
    before) "$BEFORE" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows-$size" ;;
    zint)
        local scale=()
        [ "$format" = png ] && scale=(--scale=4 --height=10)
        zint -b CODE39 --vers=1 "${scale[@]}" --batch -i "$work/rows-$size" --filetype="${format^^}" \
            -o "$work/out/tag-~~~~~.$format" >/dev/null
        ;;
    esac
}

# Width x height of the first PNG in the output folder, "-" for other types.
pixels() {
    local file
    file=$(find "$work/out" -type f -name '*.png' -print -quit)
    if [ -z "$file" ]; then
        echo -
        return
    fi
    od -An -tu1 -j16 -N8 "$file" | awk '{ printf "%dx%d\n", $1 * 16777216 + $2 * 65536 + $3 * 256 + $4,
        $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# Times one batch: appends its wall time and its processor time (user and system), in microseconds, to
# the tool's two lists. On a loaded machine the wall time includes waiting for a core; the processor
# time does not, but misses the waits for the disk.
run() {
    local tool=$1 format=$2 size=$3 status times wall user sys TIMEFORMAT='%3R %3U %3S'
    if [ "$tool" = zint ] && [ "$format" = pdf ]; then
        return # zint writes no PDF
    fi
    rm -rf "$work/out" && mkdir "$work/out"
    times=$({ time { batch "$tool" "$format" "$size" 2>"$work/err"; echo $? >"$work/status"; }; } 2>&1)
    read -r wall user sys <<<"$times"
    status=$(cat "$work/status")
    awk -v t="$wall" 'BEGIN { printf "%d\n", t * 1e6 }' >>"$work/times/$tool-$format-$size"
    awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d\n", (u + s) * 1e6 }' >>"$work/times/cpu-$tool-$format-$size"
    pixels >"$work/times/pixels-$tool-$format"
    local files
    files=$(find "$work/out" -type f | wc -l)
    if [ "$status" != 0 ] || [ "$files" != "$size" ]; then
        echo "bench: $tool --$format wrote $files of $size files (exit $status)" >&2
        head -5 "$work/err" >&2
        exit 1
    fi
}

for size in "${sizes[@]}"; do
    awk -v n="$size" 'BEGIN { for (i = 1; i <= n; i++) printf "INV-2026-%05d\n", i }' >"$work/rows-$size"
done
for ((round = 1; round <= rounds; round++)); do
    for size in "${sizes[@]}"; do
        for format in "${formats[@]}"; do
            for tool in "${tools[@]}"; do
                run "$tool" "$format" "$size"
            done
        done
    done
done

median_ms() { if [ -s "$work/times/$1" ]; then bench_median_ms 1 <"$work/times/$1"; fi; }

printf 'one file per row, median of %d interleaved rounds, %s cores\n' "$rounds" "$(nproc)"
printf '%7s  %-4s  %-7s %10s %10s %9s %7s %6s %10s %9s %7s %6s\n' rows type tool pixels "wall ms" us/file \
    "x zint" flat "cpu ms" us/file "x zint" flat
for size in "${sizes[@]}"; do
    for format in "${formats[@]}"; do
        zint_ms=$(median_ms "zint-$format-$size") zint_cpu=$(median_ms "cpu-zint-$format-$size")
        for tool in "${tools[@]}"; do
            ms=$(median_ms "$tool-$format-$size")
            [ -n "$ms" ] || continue
            awk -v n="$size" -v f="$format" -v t="$tool" -v px="$(cat "$work/times/pixels-$tool-$format")" \
                -v ms="$ms" -v cpu="$(median_ms "cpu-$tool-$format-$size")" -v zms="$zint_ms" -v zcpu="$zint_cpu" \
                -v n0="${sizes[0]}" -v ms0="$(median_ms "$tool-$format-${sizes[0]}")" \
                -v cpu0="$(median_ms "cpu-$tool-$format-${sizes[0]}")" 'BEGIN {
                printf "%7d  %-4s  %-7s %10s %10.1f %9.1f %7s %6.2f %10.1f %9.1f %7s %6.2f\n", n, f, t, px,
                    ms, ms * 1000 / n, zms ? sprintf("%.2f", ms / zms) : "-", (ms / n) / (ms0 / n0),
                    cpu, cpu * 1000 / n, zcpu ? sprintf("%.2f", cpu / zcpu) : "-", (cpu / n) / (cpu0 / n0)
            }'
        done
    done
done

[ -n "${MEMORY:-}" ] || exit 0
# Peak resident memory of a batch of ten very long rows as SVG: rows of a megabyte, which every picture
# type refuses as too large, and rows of 250,000 characters at 4 points, which are drawn (about 80 MB each).
command -v /usr/bin/time >/dev/null || { echo "bench: MEMORY needs /usr/bin/time" >&2; exit 2; }
for length in megabyte:1048576 long:250000; do
    for ((i = 0; i < 10; i++)); do
        head -c "${length#*:}" /dev/zero | tr '\0' A
        echo
    done >"$work/rows-${length%%:*}"
done
printf '\npeak resident memory, ten rows as SVG\n%-7s %-28s %10s %8s\n' tool rows "peak MiB" seconds
for tool in "${tools[@]}"; do
    [ "$tool" = zint ] && continue
    program=$exe
    [ "$tool" = before ] && program=$BEFORE
    for rows in megabyte long; do
        rm -rf "$work/out" && mkdir "$work/out"
        size=()
        [ "$rows" = long ] && size=(--size 4)
        /usr/bin/time -f '%M %e' -o "$work/memory" "$program" "${size[@]}" --svg "$work/out/r-%n.svg" \
            <"$work/rows-$rows" 2>/dev/null || true
        read -r kib seconds <"$work/memory"
        awk -v t="$tool" -v r="$rows" -v k="$kib" -v s="$seconds" -v f="$(find "$work/out" -type f | wc -l)" \
            'BEGIN { printf "%-7s %-28s %10.0f %8.1f\n", t, (r == "long" ? "250,000 chars, 4 pt" : "1 MiB") \
                " (" f " written)", k / 1024, s }'
    done
done
