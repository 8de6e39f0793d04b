#!/bin/bash
# Idle cost of the running driver under Wine: TalvioDriver.exe with the
# handset simulator plugged and the client simulator attached, no call,
# measured as the share of one core its Wine process spends (utime + stime
# from /proc) over 60 s, once with the keypad handset (bench/idle.scn) and
# once with the LCD handset (bench/idle_lcd.scn, whose picture is streamed
# too). Goal: under 1 % each.
# The wineserver's share over the same minute is shown beside it: it
# carries the driver's timers and messages, but also every other program.
# Prints "driver_idle_cpu <percent> %core <1" and "driver_idle_cpu_lcd ...",
# appended to $TALVIO_BENCH_RESULTS when that names a file
# (tools/run-benches.sh, which runs this script, shows them in its table).
# Exit code 1 when nothing could be measured; a missed goal is the table's
# to show.
#   bench/wine_idle_cpu.sh [<windows build dir>]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
out=$build/bench-idle
prefix=${TALVIO_WINEPREFIX:-$build/wineprefix}
seconds=60
mkdir -p "$out"

ticks() {  # utime + stime of a process, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null
}
# The Wine process that runs this run's TalvioDriver.exe in our prefix.
driver_pid() {
    for dir in /proc/[0-9]*; do
        tr '\0' '\n' <"$dir/cmdline" 2>/dev/null | head -1 | grep -q 'bench-idle.program.TalvioDriver\.exe' || continue
        tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" || continue
        basename "$dir"
        return
    done
}
server_pid() {
    for dir in /proc/[0-9]*; do
        grep -q wineserver "$dir/cmdline" 2>/dev/null || continue
        tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" || continue
        basename "$dir"
        return
    done
}

export WINEDLLOVERRIDES="setupapi,hid=n,b" ALSA_CONFIG_PATH=$root/tests/audio/wine_null_sound.conf

# measure SCENARIO FIGURE: runs the scenario and prints the figure's line.
measure() {
    local scenario=$1 figure=$2 result="" line fifo=$out/runner.out
    rm -f "$fifo"
    mkfifo "$fifo"
    timeout 180 "$root/cmake/wine-run.sh" "$build/scenario/scenario_runner.exe" "Z:$root/bench/$scenario" "Z:$out" \
        </dev/null >"$fifo" 2>/dev/null &
    local runner=$!
    while IFS= read -r line; do
        case "$line" in
        "== idle"*)
            pid=$(driver_pid)
            server=$(server_pid)
            hz=$(getconf CLK_TCK)
            start=$(ticks "$pid")
            server_start=$(ticks "$server")
            sleep "$seconds"
            end=$(ticks "$pid")
            server_end=$(ticks "$server")
            if [ -n "$pid" ] && [ -n "$start" ] && [ -n "$end" ]; then
                result=$(awk -v a="$start" -v b="$end" -v hz="$hz" -v s="$seconds" \
                    'BEGIN { printf "%.3f", (b - a) * 100 / (hz * s) }')
                server_share=$(awk -v a="${server_start:-0}" -v b="${server_end:-0}" -v hz="$hz" -v s="$seconds" \
                    'BEGIN { printf "%.3f", (b - a) * 100 / (hz * s) }')
                echo "TalvioDriver.exe at rest ($scenario): $((end - start)) ticks of $hz/s in ${seconds} s =" \
                     "$result % of one core (wineserver meanwhile: $server_share %)"
            fi
            ;;
        "FAILED"*) echo "$line" ;;
        esac
    done <"$fifo"
    wait $runner
    local rc=$?
    rm -f "$fifo"
    line="$figure ${result:--} %core <1"
    if [ -n "${TALVIO_BENCH_RESULTS:-}" ]; then echo "$line" >>"$TALVIO_BENCH_RESULTS"; else echo "$line"; fi
    [ $rc -eq 0 ] && [ -n "$result" ]
}

rc=0
measure idle.scn driver_idle_cpu || rc=1
measure idle_lcd.scn driver_idle_cpu_lcd || rc=1
exit $rc
