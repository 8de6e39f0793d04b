#!/bin/bash
# Runs every benchmark of a build, then prints each figure beside its goal.
#   tools/run-benches.sh <builddir>
# Each bench_* appends "<figure> <value> <unit> <goal>" lines (goal "<20",
# ">=100"; value "-" when it could not measure) to $TALVIO_BENCH_RESULTS,
# here <builddir>/bench-results.txt; anything else that measures a goal may
# append its line there too. Exit code 1 when a benchmark failed, a goal
# was missed or nothing was measured. The measurements that are scripts,
# bench/*.sh (the driver under Wine), run after the benchmarks and append
# their lines the same way.
set -u
builddir=${1:?usage: run-benches.sh <builddir>}
root=$(cd "$(dirname "$0")/.." && pwd)
export TALVIO_BENCH_RESULTS="$builddir/bench-results.txt"
: >"$TALVIO_BENCH_RESULTS"

rc=0
for bench in "$builddir"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    if ! "$bench"; then
        echo "$(basename "$bench") FAILED" >&2
        rc=1
    fi
done
for script in "$root"/bench/*.sh; do
    [ -f "$script" ] && [ -x "$script" ] || continue
    if ! "$script"; then
        echo "$(basename "$script") FAILED" >&2
        rc=1
    fi
done

echo
awk '
    function shown(v) {
        if (v == "-") return v
        if (v + 0 >= 1000) return sprintf("%.0f", v)
        if (v + 0 >= 10) return sprintf("%.1f", v)
        return sprintf("%.3g", v)
    }
    function met(v, goal) {
        if (v == "-") return 0
        if (goal ~ /^>=/) return v + 0 >= substr(goal, 3) + 0
        if (goal ~ /^<=/) return v + 0 <= substr(goal, 3) + 0
        if (goal ~ /^>/) return v + 0 > substr(goal, 2) + 0
        if (goal ~ /^</) return v + 0 < substr(goal, 2) + 0
        return 0
    }
    BEGIN { printf "%-32s %12s %-11s %-10s %s\n", "figure", "measured", "unit", "goal", "" }
    NF >= 4 {
        ok = met($2, $4)
        if (!ok) missed++
        printf "%-32s %12s %-11s %-10s %s\n", $1, shown($2), $3, $4, ok ? "ok" : "MISSED"
        lines++
    }
    END {
        if (lines == 0) { print "no figures measured"; exit 1 }
        if (missed) { printf "%d of %d goals missed\n", missed, lines; exit 1 }
        printf "all %d goals met\n", lines
    }
' "$TALVIO_BENCH_RESULTS" || rc=1
exit $rc
