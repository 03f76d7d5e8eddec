#!/usr/bin/env bash
# End-to-end benchmark: splerr and quaderr on tables of 10^3 .. 10^7 rows from lorgen,
# against the reference (splerr's job written the plain way on one core, bench/reference.cpp)
# and a bare baseline that only reads the file and converts its numbers, with a no-op gplot
# on PATH and standard input "-10000". Runs alternate, round by round; medians are reported,
# and each program's time over the reference's of the same round, pair by pair: the median
# and the worst pair.
# usage: bench/e2e.sh [BUILD_DIR] [RUNS]   (BUILD_DIR: a build with LORENTZ_BENCH=ON)
set -euo pipefail
build=${1:-build/bench}
runs=${2:-5}
bin=$(cd "$build/bin" && pwd)
for p in splerr quaderr lorgen baseline reference runstat plain_splerr lorconv gplot; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p: cmake --workflow --preset bench" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/nop"
printf '#!/bin/sh\nexit 0\n' > "$work/nop/gplot"
chmod +x "$work/nop/gplot"
echo -10000 > "$work/input"
export PATH="$work/nop:$PATH"

peer=""
if /usr/bin/python3 -c 'import numpy, scipy' 2>/dev/null; then
    peer="$work/peer.py"
    cat > "$peer" <<'PY'
import sys, numpy as np
from scipy.interpolate import CubicSpline
d = np.loadtxt("loren.out")
s = CubicSpline(d[:, 0], d[:, 1], bc_type="natural")
i = np.arange(2, 501)[::-1]; j = np.arange(0, 500)
x = np.concatenate([-(i * 0.02) ** 3, (j * 0.02) ** 3])
np.savetxt("errsp.out", np.column_stack([x, abs(s(x) - 1 / (1 + ((x - 3.47) / 0.57) ** 2))]))
PY
fi

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

printf '%-9s %-12s %9s %9s %9s %10s %9s\n' rows program median_s MB/s ratio peak_MiB B/row
for rows in 1000 100000 1000000 10000000; do
    dir="$work/t$rows"
    mkdir "$dir"
    "$bin/lorgen" "$rows" -1000 1000 > "$dir/loren.out"
    mb=$(awk -v b="$(stat -c %s "$dir/loren.out")" 'BEGIN {print b / 1048576}')
    progs=(reference baseline splerr plain_splerr quaderr)
    [ -n "$peer" ] && progs+=(peer)
    declare -A times mem
    for p in "${progs[@]}"; do times[$p]=""; mem[$p]=0; done
    for ((r = 0; r < runs; r++)); do
        for p in "${progs[@]}"; do
            case $p in
                baseline) cmd=("$bin/baseline" loren.out "$rows") ;;
                reference) cmd=("$bin/reference") ;;
                peer) cmd=(/usr/bin/python3 "$peer") ;;
                *) cmd=("$bin/$p") ;;
            esac
            read -r t kb < <(cd "$dir" && "$bin/runstat" "$work/input" "${cmd[@]}")
            times[$p]+="$t"$'\n'
            (( kb > mem[$p] )) && mem[$p]=$kb
        done
    done
    base=$(printf '%s' "${times[baseline]}" | median)
    for p in splerr quaderr; do
        paste <(printf '%s' "${times[$p]}") <(printf '%s' "${times[reference]}") |
            awk '{print $1 / $2}' | sort -n |
            awk -v p="$p" '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                printf "          %s against the reference, pair by pair: median %.2f, worst %.2f\n", p, m, v[NR]}'
    done
    for p in "${progs[@]}"; do
        m=$(printf '%s' "${times[$p]}" | median)
        awk -v r="$rows" -v p="$p" -v m="$m" -v mb="$mb" -v b="$base" -v kb="${mem[$p]}" 'BEGIN {
            printf "%-9s %-12s %9.4f %9.1f %9.2f %10.1f %9.1f\n", r, p, m, mb / m, m / b,
                   kb / 1024, kb * 1024 / r }'
    done
    unset times mem
    # The same error table, byte for byte, as the plain C program's.
    (cd "$dir" && "$bin/splerr" < "$work/input" > /dev/null && mv errsp.out mine.out &&
        "$bin/plain_splerr" < "$work/input" > /dev/null)
    if cmp -s "$dir/mine.out" "$dir/errsp.out"; then
        echo "          errsp.out: the same bytes as plain_splerr's"
    else
        echo "          errsp.out: DIFFERS from plain_splerr's"
    fi
    rm -f "$dir"/*.out
done

# The dense engine at 1 and 2 threads (OMP_NUM_THREADS), alternately: lorconv's study of
# tables up to 2^20 rows, and gplot's proving search of both methods with the figure on
# tables of 10^6 and 10^7 rows (lorgen N -1000 1000), with gplot's peak memory.
dir="$work/engine"
mkdir "$dir" "$dir/big"
"$bin/lorgen" 1000000 > "$dir/loren.out"
"$bin/lorgen" 10000000 -1000 1000 > "$dir/big/loren.out"
(cd "$dir" && "$bin/splerr" < "$work/input" > /dev/null)
(cd "$dir/big" && "$bin/splerr" < "$work/input" > /dev/null)
printf '%-9s %-24s %9s %9s %9s\n' threads job median_s vs_1 peak_MiB
declare -A et em
for ((r = 0; r < runs; r++)); do
    for t in 1 2; do
        read -r s _ < <(cd "$dir" && OMP_NUM_THREADS=$t "$bin/runstat" "$work/input" "$bin/lorconv" 8 1048576)
        et[lorconv$t]+="$s"$'\n'
        read -r s kb < <(cd "$dir" && OMP_NUM_THREADS=$t "$bin/runstat" "$work/input" "$bin/gplot" loren.out errsp.out)
        et[gplot$t]+="$s"$'\n'
        em[gplot$t]=$kb
        read -r s kb < <(cd "$dir/big" && OMP_NUM_THREADS=$t "$bin/runstat" "$work/input" "$bin/gplot" loren.out errsp.out)
        et[big$t]+="$s"$'\n'
        em[big$t]=$kb
    done
done
for job in lorconv gplot big; do
    one=$(printf '%s' "${et[${job}1]}" | median)
    for t in 1 2; do
        m=$(printf '%s' "${et[$job$t]}" | median)
        case $job in
            lorconv) label="lorconv 8 1048576" ;;
            gplot) label="gplot, 10^6 rows" ;;
            big) label="gplot, 10^7 rows" ;;
        esac
        awk -v t="$t" -v j="$label" -v m="$m" -v o="$one" -v kb="${em[$job$t]:-0}" \
            'BEGIN {printf "%-9s %-24s %9.3f %9.2f %9.1f\n", t, j, m, m / o, kb / 1024}'
    done
done
