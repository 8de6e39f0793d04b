#!/bin/bash
# Runs TalvioDriver.exe under Wine until it quits. Wine gives a GUI program
# no console, so Ctrl-C would leave it running: on Ctrl-C (or TERM) the
# program is asked to quit through Closo.dll, as `make stop` does.
# Usage: tools/run-driver.sh <build dir>
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
run="$root/cmake/wine-run.sh"

"$run" "$build/app/TalvioDriver.exe" &
driver=$!
trap '"$run" "$build/tests/wine/closo_call.exe" >/dev/null' INT TERM
wait $driver
rc=$?
# A trapped signal ends the first wait early; the second gets the exit code.
if [ $rc -gt 128 ] && kill -0 $driver 2>/dev/null; then
    wait $driver
    rc=$?
fi
trap - INT TERM
if [ $rc -eq 255 ]; then
    echo "TalvioDriver is already running (exit code -1)"
else
    echo "TalvioDriver exited with $rc"
fi
exit 0
