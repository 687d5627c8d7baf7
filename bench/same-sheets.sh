#!/usr/bin/env bash
# Two builds of code39 --labels side by side on the same lists (files and standard input): their PDFs must be the same bytes (the time
# each was made aside), and their messages and exit statuses the same. For a change to how sheets are
# filled or written that must not change what they hold.
#   BEFORE=path/to/older/code39 bench/same-sheets.sh [path/to/code39]
set -euo pipefail

source "$(dirname "$0")/lib.sh"
exe=$(bench_code39 "${1:-}")
before=${BEFORE:?BEFORE=path/to/older/code39}

work=$(mktemp -d "${TMPDIR:-/tmp}/same-sheets.XXXXXX")
trap 'rm -rf "$work"' EXIT

awk 'BEGIN { for (i = 1; i <= 10000; i++) printf "INV-2026-%06d\n", i }' >"$work/long"
# Some rows the builder refuses (small letters, an empty line), some too long for small labels.
awk 'BEGIN { for (i = 1; i <= 300; i++) print (i % 17 == 0 ? "bad-" i : i % 23 == 0 ? "" : i % 5 == 0 ? "LONGER-CODE-" i : "P-" i) }' \
    >"$work/mixed"
# A CSV with a header, quoted fields, separators and line breaks inside quotes, CRLF.
awk 'BEGIN { printf "item;code\r\n"; for (i = 1; i <= 200; i++) printf "\"thing %d;\nsecond line\";\"C-%d\"\r\n", i, i }' \
    >"$work/csv"
iconv -f UTF-8 -t UTF-16 "$work/mixed" >"$work/utf16"

cases=(
    "--labels lb060 --list $work/long"
    "--labels lb164 --copies 4 --start 3 --list $work/mixed"
    "--labels lb167 --copies 7 --list $work/mixed"
    "--labels lb161 -f -c --text-above --column 2 --header --list $work/csv"
    "--labels lb060 --outlines --offset 1.5,-2 --dpi 600 --list $work/mixed"
    "--labels lb163 --verify --start 4 --copies 3 --list $work/csv --column 2 --header"
    "--labels lb164 --list $work/utf16"
    "--labels lb060 --copies 10000 --start 30 ONE-ROW"
    "--labels lb570 --rotate 0 --height 8 --size 14 --list $work/mixed"
    "--labels lb162 --copies 3 --start 2"
)
same=0
differ=0
for args in "${cases[@]}"; do
    status=()
    for tool in before after; do
        program=$exe
        [ "$tool" = before ] && program=$before
        rm -f "$work/$tool.pdf"
        # shellcheck disable=SC2086  # the case's words are the arguments
        if "$program" $args --pdf "$work/$tool.pdf" <"$work/mixed" 2>"$work/$tool.err"; then status+=(0); else status+=($?); fi
        # The time a PDF was made is all that may differ between two runs.
        [ -f "$work/$tool.pdf" ] && LC_ALL=C sed -i 's/(D:[0-9]\{14\}[^)]*)/(D:)/' "$work/$tool.pdf"
    done
    if [ "${status[0]}" = "${status[1]}" ] && cmp -s "$work/before.err" "$work/after.err" &&
        { [ ! -f "$work/before.pdf" ] && [ ! -f "$work/after.pdf" ] || cmp -s "$work/before.pdf" "$work/after.pdf"; }; then
        same=$((same + 1))
        printf 'same    %s (status %s, %s bytes)\n' "${args//$work\//}" "${status[1]}" \
            "$(stat -c %s "$work/after.pdf" 2>/dev/null || echo 0)"
    else
        differ=$((differ + 1))
        printf 'DIFFER  %s (status %s vs %s)\n' "${args//$work\//}" "${status[0]}" "${status[1]}"
        diff "$work/before.err" "$work/after.err" | head -5 || true
    fi
done
echo "$same same, $differ different"
[ "$differ" = 0 ]
