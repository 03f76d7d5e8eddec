#!/usr/bin/env bash
# The tolerance design's benchmark: `lorgen --tol E --method M` (the design, its proof and the
# evenly spaced count) for every method, E = 1e-4 .. 1e-12 on [0, 7], then the hardest
# requests the tool accepts (E = 1e-13 on [3, 4] and on [-1e6, 1e6]); the median wall time of
# RUNS rounds and the peak memory of each. The goals: at most 1 s on [0, 7], at most 10 s and
# 600 MB for any request.
# usage: bench/design.sh [BUILD_DIR [RUNS]]   (BUILD_DIR: a build with LORENTZ_BENCH=ON)
set -euo pipefail
build=${1:-build/bench}
runs=${2:-3}
bin=$(cd "$build/bin" && pwd)
for p in lorgen runstat; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p: cmake --workflow --preset bench" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: > "$work/input"
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

cases=()
for m in spline quadratic not-a-knot clamped; do
    for e in 1e-4 1e-6 1e-8 1e-10 1e-12; do cases+=("$m $e 0 7"); done
done
for m in spline quadratic not-a-knot clamped; do
    cases+=("$m 1e-13 3 4" "$m 1e-13 -1e6 1e6")
done
printf '%-11s %6s %-14s %9s %9s\n' method E interval median_s peak_MiB
for c in "${cases[@]}"; do
    read -r m e a b <<< "$c"
    times="" kbmax=0
    for ((r = 0; r < runs; r++)); do
        read -r t kb < <(cd "$work" && "$bin/runstat" "$work/input" "$bin/lorgen" --tol "$e" \
            --method "$m" "$a" "$b" 2>/dev/null || true)
        times+="$t"$'\n'
        (( kb > kbmax )) && kbmax=$kb
    done
    med=$(printf '%s' "$times" | median)
    printf '%-11s %6s %-14s %9.2f %9.1f\n' "$m" "$e" "[$a, $b]" "$med" "$(awk -v k="$kbmax" 'BEGIN {print k / 1024}')"
done
