#!/bin/bash
# `make run`: TalvioDriver.exe, the handset simulator and the client
# simulator (Skype) together under Wine, through two scenarios, one line per
# event on this terminal: first the LCD handset (tools/scenario/lcd_call.scn:
# its pages saved as pictures in out/run/lcd/), then the keypad handset
# (tools/scenario/call.scn: its transcript, the simulators' logs and the
# volume popup's picture in out/run/). With a DISPLAY the windows show; the
# keypad scenario's stay, usable by hand, until Ctrl-C or `make stop`.
# Without one the run ends with the second scenario: exit code 0 when both
# passed, otherwise the first failure's (1 after a line naming the step).
# Ctrl-C or `make stop` during the LCD scenario ends the run there.
# Usage: tools/run-demo.sh <build dir>
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
out=$root/out/run
run="$root/cmake/wine-run.sh"
mkdir -p "$out"
# No picture of an earlier run is left to pass for this one's.
rm -rf "$out/lcd" "$out/stopped"

display=()
if [ -n "${DISPLAY:-}" ]; then
    # The tests' prefix draws nothing (null graphics driver): the windows
    # get a prefix of their own.
    export TALVIO_WINEPREFIX=$build/wineprefix-display TALVIO_WINE_GRAPHICS=x11
    display=(--display)
fi
prefix=${TALVIO_WINEPREFIX:-$build/wineprefix}
# `make stop` quits the driver in the prefix this run uses.
echo "$prefix" >"$out/wineprefix"
# The driver loads the handset simulator's setupapi.dll and hid.dll; the
# null sound device keeps ALSA quiet on a machine without a sound card.
export WINEDLLOVERRIDES="setupapi,hid=n,b"
export ALSA_CONFIG_PATH=$root/tests/audio/wine_null_sound.conf

# In a prefix made just now, a driver started while Wine's start-up
# programs still run exits at once: they finish first.
if [ ! -f "$prefix/.talvio-ready-2" ]; then
    "$run" cmd /c exit </dev/null >/dev/null 2>&1
    WINEPREFIX=$prefix timeout 60 wineserver -w
fi

# On Ctrl-C (or TERM) the driver is asked to quit through Closo.dll, as
# `make stop` does, and the runner ends the simulators after it.
interrupted=0
trap 'interrupted=1; "$run" "$build/tests/wine/closo_call.exe" >/dev/null 2>&1' INT TERM

# scenario SCRIPT OUTDIR [runner options]: the runner's exit code. In a
# session of its own: Ctrl-C on this terminal must not reach the Wine
# programs, which would end at once, the handset left as it was.
scenario() {
    setsid "$run" "$build/scenario/scenario_runner.exe" "Z:$root/tools/scenario/$1" "Z:$2" "${@:3}" </dev/null &
    local runner=$! rc
    wait $runner
    rc=$?
    # A trapped signal ends the first wait early; the second gets the exit code.
    if [ $rc -gt 128 ] && kill -0 $runner 2>/dev/null; then
        wait $runner
        rc=$?
    fi
    return $rc
}

scenario lcd_call.scn "$out/lcd" "${display[@]}"
lcd=$?
keypad=
if [ $interrupted -eq 0 ] && [ ! -e "$out/stopped" ]; then
    echo
    scenario call.scn "$out" "${display[@]}" ${display[@]:+--keep}
    keypad=$?
fi
trap - INT TERM
rm -f "$out/wineprefix" "$out/stopped"

echo
if [ -z "$keypad" ]; then
    echo "make run: stopped after the LCD scenario"
elif [ $lcd -eq 0 ] && [ $keypad -eq 0 ]; then
    echo "make run: both scenarios passed; LCD pictures in out/run/lcd/, the volume popup in out/run/"
else
    [ $lcd -eq 0 ] || echo "make run: the LCD scenario failed (out/run/lcd/transcript.txt)"
    [ $keypad -eq 0 ] || echo "make run: the keypad scenario failed (out/run/transcript.txt)"
fi
[ $lcd -ne 0 ] && exit $lcd
exit "${keypad:-0}"
