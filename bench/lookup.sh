#!/usr/bin/env bash
# The cost of a lookup in every exported form of every method at E: designed tables found by
# the binary search (the header's index taken out), designed with the header's index, and
# evenly spaced (--spacing even), each in double and in float32 arithmetic; beside them a
# plain evenly spaced linear float32 table and the formula itself (bench/lookup.c). Prints
# one line a form: its rows, its bytes as the header counts them, and ns a random and a
# sorted lookup (medians of 5 rounds, the forms taking turns).
# usage: bench/lookup.sh BUILD_DIR [E]    (BUILD_DIR: a release build; E: 1e-6)
set -euo pipefail
bin=$(cd "${1:?usage: bench/lookup.sh BUILD_DIR [E]}" && pwd)/bin
tol=${2:-1e-6}
src=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
: > headers.h
: > forms.h
: > sizes
# form NAME TYPE: the header NAME.h into the program, and its rows and bytes into sizes.
form() {
    echo "#include \"$1.h\"" >> headers.h
    echo "FORM($1, $2)" >> forms.h
    rows=$(sed -n 's/^ \*   interval .*, \([0-9]*\) rows$/\1/p' "$1.h")
    bytes=$(sed -n 's/^ \*   storage .*: \([0-9]*\) bytes$/\1/p' "$1.h")
    echo "$1 $rows $bytes" >> sizes
}
for m in spline quadratic not-a-knot clamped linear; do
    for arith in double float32; do
        t=${m//-/}; type=double; f=""
        if [ "$arith" = float32 ]; then type=float; f=f; fi
        # A form below float32's floor at E is refused, and left out.
        "$bin/lorgen" --tol "$tol" --method "$m" --store "$arith" --arith "$arith" --format c \
            --name "${t}_ix$f" 2> /dev/null || continue
        "$bin/lorgen" --tol "$tol" --method "$m" --store "$arith" --arith "$arith" \
            --spacing even --format c --name "${t}_ev$f" 2> /dev/null || continue
        # The search: the indexed header with its interval found by bisection instead.
        up=$(echo "${t}_" | tr a-z A-Z)
        sed -e "s/${t}_ix$f/${t}_bs$f/g" -e "s/${up}IX${f^^}_H/${up}BS${f^^}_H/g" \
            -e "s/^static inline int ${t}_bs${f}_below($type x)\$/static inline int ${t}_bs${f}_below($type x)\n{\n    int lo = -1, hi = ${t}_bs${f}_n;\n    while (hi - lo > 1) {\n        int mid = (lo + hi) >> 1;\n        if (x > ${t}_bs${f}_xs(mid))\n            lo = mid;\n        else\n            hi = mid;\n    }\n    return lo;\n}\nstatic inline int ${t}_bs${f}_by_index($type x)/" \
            "${t}_ix$f.h" > "${t}_bs$f.h"
        form "${t}_bs$f" "$type"
        form "${t}_ix$f" "$type"
        form "${t}_ev$f" "$type"
    done
done
echo "linear_f32 6142 24568" >> sizes
echo "formula 0 0" >> sizes
echo "formula_f32 0 0" >> sizes
cc -std=c99 -O2 -ffp-contract=off -Wall -Wextra -Werror -I. "$src/lookup.c" -o lookup
printf '%-20s %8s %8s %10s %10s\n' form rows bytes "ns random" "ns sorted"
./lookup | while read -r name random sorted; do
    read -r _ rows bytes < <(grep "^$name " sizes)
    printf '%-20s %8s %8s %10s %10s\n' "$name" "$rows" "$bytes" "$random" "$sorted"
done
