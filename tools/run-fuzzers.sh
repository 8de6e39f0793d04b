#!/bin/bash
# Runs every libFuzzer binary of a fuzz build for <seconds> each.
#   tools/run-fuzzers.sh <builddir> <seconds>
# Each fuzz_<name> starts from tests/fuzz/corpus/<name>/ (read only) and
# keeps what it finds in <builddir>/fuzz-corpus/<name>/; crashes, leaks and
# hangs land in <builddir>/fuzz-findings/<name>/. Exit code 1 when any
# fuzzer found something or none was built.
set -u
builddir=${1:?usage: run-fuzzers.sh <builddir> <seconds>}
seconds=${2:?usage: run-fuzzers.sh <builddir> <seconds>}
root=$(cd "$(dirname "$0")/.." && pwd)

rc=0
count=0
for bin in "$builddir"/tests/fuzz/fuzz_*; do
    [ -f "$bin" ] && [ -x "$bin" ] || continue
    name=$(basename "$bin")
    name=${name#fuzz_}
    work="$builddir/fuzz-corpus/$name"
    findings="$builddir/fuzz-findings/$name"
    log="$builddir/fuzz-$name.log"
    seeds="$root/tests/fuzz/corpus/$name"
    mkdir -p "$work" "$findings"
    corpora=("$work")
    [ -d "$seeds" ] && corpora+=("$seeds")
    count=$((count + 1))
    echo "fuzz_$name: $seconds s"
    if "$bin" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${corpora[@]}" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$log" | tail -n 2
        echo "fuzz_$name: no finding"
    else
        rc=1
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 5
        echo "fuzz_$name: FINDING (log $log, inputs in $findings)"
    fi
done
if [ "$count" -eq 0 ]; then
    echo "no fuzz_* binaries in $builddir/tests/fuzz" >&2
    exit 1
fi
exit $rc
