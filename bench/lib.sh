# Shared by the benchmark scripts that time the code39 command: finding it, and medians of wall times.
# shellcheck shell=bash

# The code39 executable given (or the Release build's), or a hint on how to build it and exit 2.
bench_code39() {
    local exe=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/rel/src/cli/code39}
    if [ ! -x "$exe" ]; then
        echo "no code39 executable at $exe; build it first, e.g.:" >&2
        echo "  cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/rel --target code39" >&2
        exit 2
    fi
    echo "$exe"
}

# The current time in microseconds.
bench_now_us() {
    echo $(($(date +%s%N) / 1000))
}

# The median of the microsecond times on standard input, in milliseconds with $1 decimals.
bench_median_ms() {
    sort -n | awk -v d="${1:-0}" '{ t[NR] = $1 } END { printf "%.*f", d, t[int((NR + 1) / 2)] / 1000 }'
}
