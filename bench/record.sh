#!/usr/bin/env bash
# Records what the study programs write, so that a change meant to keep every byte can be
# checked against a build from before it: the study's folder, gplot and lorconv on their own,
# and lorgen's tables, lines, figures and headers for every method at 1e-4, 1e-8 and 1e-12 on
# [0, 7], [3, 4] and [-50, 50], in double, float32 storage and float32 arithmetic, with the
# decision table of each request.
# usage: bench/record.sh BUILD_DIR OUT_DIR      then: diff -r OUT_BEFORE OUT_AFTER
# (BUILD_DIR: a release build; OUT_DIR is made anew. The lines on standard error carry the
# exit status as a last line; the progress line is not drawn, standard error being a file.)
set -euo pipefail
build=$(cd "${1:?usage: bench/record.sh BUILD_DIR OUT_DIR}" && pwd)
out=${2:?usage: bench/record.sh BUILD_DIR OUT_DIR}
bin=$build/bin
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)

# run NAME DIR PROGRAM ARGS...: standard output and error (with the status) into NAME.out and
# NAME.err beside the files the program wrote in DIR.
run() {
    local name=$1 dir=$2 rc=0
    shift 2
    (cd "$dir" && PATH="$bin:$PATH" "$@" > "$out/$name.out" 2> "$out/$name.err" < /dev/null) || rc=$?
    echo "status $rc" >> "$out/$name.err"
}

# The study's folder, built by the study preset's own script.
cmake -DBIN="$bin" -DWORK="$out/study" -P "$(dirname "$0")/../cmake/study.cmake" > /dev/null 2>&1
rm -f "$out/study/input.txt"

# gplot and lorconv on their own: another table, another interval.
mkdir -p "$out/gplot" "$out/lorconv"
"$bin/lorgen" 40 -5 12 > "$out/gplot/loren.out"
printf '1\n-10000\n' | (cd "$out/gplot" && PATH="$bin:$PATH" "$bin/splerr" > /dev/null 2>&1) || true
printf '1\n-10000\n' | (cd "$out/gplot" && PATH="$bin:$PATH" "$bin/quaderr" > /dev/null 2>&1) || true
run gplot-one "$out/gplot" gplot loren.out errsp.out
run gplot-both "$out/gplot" gplot loren.out errsp.out errq.out
run lorconv-wide "$out/lorconv" lorconv 4 64 -1000 1000

# lorgen's designs: in double, in float32 storage, and in float32 arithmetic (tagged float32f).
mkdir -p "$out/lorgen"
for form in double float32 float32f; do
    store=${form%f}
    arith=()
    [ "$form" = float32f ] && arith=(--arith float32)
    for iv in "0 7" "3 4" "-50 50"; do
        read -r a b <<< "$iv"
        for e in 1e-4 1e-8 1e-12; do
            tag="$form.$e.$a.$b"
            for m in spline quadratic not-a-knot clamped all; do
                run "lorgen/$m.$tag" "$out/lorgen" lorgen --tol "$e" --method "$m" \
                    --store "$store" "${arith[@]}" --svg "$m.$tag.svg" "$a" "$b"
            done
            for m in spline quadratic not-a-knot clamped; do
                name=$(echo "h_${m}_${form}_${e}_${a}_${b}" | tr -- '-.' 'm_')
                run "lorgen/$m.$tag.c" "$out/lorgen" lorgen --tol "$e" --method "$m" \
                    --store "$store" "${arith[@]}" --format c --name "$name" "$a" "$b"
            done
        done
    done
done
