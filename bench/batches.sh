#!/usr/bin/env bash
# Times one picture file per row (SVG and PNG; 100, 1,000 and 10,000 rows of twelve-character part numbers
# with a check character), side by side with `zint --batch` where it is installed and with an older build
# of code39 when one is given. Runs are interleaved round by round, so that a busy machine weighs on every
# tool alike; each figure is the median of the rounds, with the time per file and the ratio to zint.
#   bench/batches.sh [path/to/code39] [rounds]        (default: the Release build, 3 rounds)
#   BEFORE=path/to/older/code39  SIZES="100 1000"  FORMATS="svg"  bench/batches.sh ...
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

work=$(mktemp -d "${TMPDIR:-/tmp}/batches.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/times"

# One batch into an empty folder.
batch() {
    local tool=$1 format=$2 size=$3
    case $tool in
    code39) "$exe" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows-$size" ;;
    before) "$BEFORE" -c "--$format" "$work/out/tag-%n.$format" <"$work/rows-$size" ;;
    zint) zint -b CODE39 --vers=1 --batch -i "$work/rows-$size" --filetype="${format^^}" \
        -o "$work/out/tag-~~~~~.$format" >/dev/null ;;
    esac
}

# Times one batch: appends its wall time and its processor time (user and system), in microseconds, to
# the tool's two lists. On a loaded machine the wall time includes waiting for a core; the processor
# time does not, but misses the waits for the disk.
run() {
    local tool=$1 format=$2 size=$3 status times wall user sys TIMEFORMAT='%3R %3U %3S'
    rm -rf "$work/out" && mkdir "$work/out"
    times=$({ time { batch "$tool" "$format" "$size" 2>"$work/err"; echo $? >"$work/status"; }; } 2>&1)
    read -r wall user sys <<<"$times"
    status=$(cat "$work/status")
    awk -v t="$wall" 'BEGIN { printf "%d\n", t * 1e6 }' >>"$work/times/$tool-$format-$size"
    awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d\n", (u + s) * 1e6 }' >>"$work/times/cpu-$tool-$format-$size"
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

median_ms() { bench_median_ms 1 <"$work/times/$1"; }

printf 'one file per row, median of %d interleaved rounds, %s cores\n' "$rounds" "$(nproc)"
printf '%7s  %-4s  %-7s %10s %9s %7s %10s %9s %7s\n' rows type tool "wall ms" us/file "x zint" "cpu ms" \
    us/file "x zint"
for size in "${sizes[@]}"; do
    for format in "${formats[@]}"; do
        zint_ms= zint_cpu=
        if [[ " ${tools[*]} " == *" zint "* ]]; then
            zint_ms=$(median_ms "zint-$format-$size") zint_cpu=$(median_ms "cpu-zint-$format-$size")
        fi
        for tool in "${tools[@]}"; do
            awk -v n="$size" -v f="$format" -v t="$tool" -v ms="$(median_ms "$tool-$format-$size")" \
                -v cpu="$(median_ms "cpu-$tool-$format-$size")" -v zms="$zint_ms" -v zcpu="$zint_cpu" 'BEGIN {
                printf "%7d  %-4s  %-7s %10.1f %9.1f %7s %10.1f %9.1f %7s\n", n, f, t,
                    ms, ms * 1000 / n, zms ? sprintf("%.2f", ms / zms) : "-",
                    cpu, cpu * 1000 / n, zcpu ? sprintf("%.2f", cpu / zcpu) : "-"
            }'
        done
    done
done
