#!/bin/bash
# `make run`: TalvioDriver.exe, the handset simulator (keypad model) and the
# client simulator (Skype) together under Wine, through the scenario of
# tools/scenario/call.scn, one line per event on this terminal. The
# transcript, the simulators' logs and the volume popup's picture go to
# out/run/. With a DISPLAY the windows show and stay, usable by hand, until
# Ctrl-C or `make stop`; without one the run ends with the scenario: exit
# code 0 when it passed, 1 naming the step that failed.
# Usage: tools/run-demo.sh <build dir>
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
out=$root/out/run
run="$root/cmake/wine-run.sh"
mkdir -p "$out"

options=()
if [ -n "${DISPLAY:-}" ]; then
    # The tests' prefix draws nothing (null graphics driver): the windows
    # get a prefix of their own.
    export TALVIO_WINEPREFIX=$build/wineprefix-display TALVIO_WINE_GRAPHICS=x11
    options=(--display --keep)
fi
# `make stop` quits the driver in the prefix this run uses.
echo "${TALVIO_WINEPREFIX:-$build/wineprefix}" >"$out/wineprefix"
# The driver loads the handset simulator's setupapi.dll and hid.dll; the
# null sound device keeps ALSA quiet on a machine without a sound card.
export WINEDLLOVERRIDES="setupapi,hid=n,b"
export ALSA_CONFIG_PATH=$root/tests/audio/wine_null_sound.conf

# In a session of its own: Ctrl-C on this terminal must not reach the Wine
# programs, which would end at once, the handset left as it was. Instead,
# on Ctrl-C (or TERM) the driver is asked to quit through Closo.dll, as
# `make stop` does, and the runner ends the simulators after it.
setsid "$run" "$build/scenario/scenario_runner.exe" "Z:$root/tools/scenario/call.scn" "Z:$out" "${options[@]}" \
    </dev/null &
runner=$!
trap '"$run" "$build/tests/wine/closo_call.exe" >/dev/null 2>&1' INT TERM
wait $runner
rc=$?
# A trapped signal ends the first wait early; the second gets the exit code.
if [ $rc -gt 128 ] && kill -0 $runner 2>/dev/null; then
    wait $runner
    rc=$?
fi
trap - INT TERM
rm -f "$out/wineprefix"
exit $rc
