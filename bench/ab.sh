#!/usr/bin/env bash
# A/B benchmark: one program of two builds on one table, run alternately (A B, then B A, ...)
# with standard input "-10000" and a no-op gplot on PATH; prints each pair's times, then the
# median and the worst of the pairwise ratios B/A. A ratio below 1 means B is faster.
# usage: bench/ab.sh BIN_A BIN_B [PROGRAM [ROWS [PAIRS]]]
#   BIN_A, BIN_B: the bin/ folders of two builds (each with PROGRAM, lorgen and runstat, as
#   the bench preset builds them); PROGRAM: splerr; ROWS: 10000000; PAIRS: 9. gplot runs on
#   the table and the errsp.out that B's splerr writes for it (both methods and the figure),
#   lorconv as `lorconv 8 1048576`; ARGS, when set, are the program's arguments instead.
set -euo pipefail
a=$(cd "$1" && pwd)
b=$(cd "$2" && pwd)
prog=${3:-splerr}
rows=${4:-10000000}
pairs=${5:-9}
for d in "$a" "$b"; do
    [ -x "$d/$prog" ] || { echo "missing $d/$prog" >&2; exit 1; }
done
[ -x "$b/runstat" ] || { echo "missing $b/runstat: cmake --workflow --preset bench" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/nop" "$work/run"
printf '#!/bin/sh\nexit 0\n' > "$work/nop/gplot"
chmod +x "$work/nop/gplot"
echo -10000 > "$work/input"
export PATH="$work/nop:$PATH"
"$b/lorgen" "$rows" -1000 1000 > "$work/run/loren.out"

case $prog in
    gplot) args=(loren.out errsp.out); (cd "$work/run" && "$b/splerr" < "$work/input" > /dev/null) ;;
    lorconv) args=(8 1048576) ;;
    *) args=() ;;
esac
[ -n "${ARGS:-}" ] && read -r -a args <<< "$ARGS"

# One run of build $1's program: its wall time in seconds.
timed() {
    local t kb
    read -r t kb < <(cd "$work/run" && "$b/runstat" "$work/input" "$1/$prog" "${args[@]}")
    echo "$t"
}

(cd "$work/run" && "$a/$prog" "${args[@]}" < "$work/input" > /dev/null 2>&1) || true # the table into the page cache
printf '%-5s %9s %9s %7s\n' pair A_s B_s B/A
ratios=()
for ((i = 1; i <= pairs; i++)); do
    if ((i % 2)); then ta=$(timed "$a"); tb=$(timed "$b"); else tb=$(timed "$b"); ta=$(timed "$a"); fi
    r=$(awk -v x="$ta" -v y="$tb" 'BEGIN {printf "%.3f", y / x}')
    ratios+=("$r")
    printf '%-5s %9s %9s %7s\n' "$i" "$ta" "$tb" "$r"
done
printf '%s\n' "${ratios[@]}" | sort -n | awk -v p="$prog" -v r="$rows" '{v[NR] = $1}
    END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
         printf "%s at %d rows: B/A median %.3f, best %.3f, worst %.3f over %d pairs\n",
                p, r, m, v[1], v[NR], NR}'
