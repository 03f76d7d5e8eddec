#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 60) on a copy of its seed corpus; fails on any
# finding. usage: fuzz/run.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
secs=${1:-60}
build=${2:-build/fuzz}
here=$(cd "$(dirname "$0")" && pwd)
for t in table stdin interp gplot dense design axis report args; do
    work="$build/corpus-$t"
    rm -rf "$work"
    mkdir -p "$work" "$build/findings"
    cp "$here/corpus/$t"/* "$work/"
    echo "== ${t}_fuzz for ${secs}s"
    if ! "$build/bin/${t}_fuzz" -max_total_time="$secs" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$build/findings/$t-" -print_final_stats=1 "$work" > "$build/$t.log" 2>&1; then
        tail -n 40 "$build/$t.log"
        echo "${t}_fuzz found a problem: see $build/findings" >&2
        exit 1
    fi
    tail -n 6 "$build/$t.log"
done
echo "fuzzing: no findings"
