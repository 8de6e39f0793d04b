#!/bin/sh
# Sonvar.exe under Wine, checked through Wine's own reg tool.
#   sonvar_wine_test.sh <wine-run.sh> <Sonvar.exe>
set -u
wine_run=$1
sonvar=$2
mapper='HKCU\Software\Microsoft\Multimedia\Sound Mapper'
devices='HKLM\SYSTEM\CurrentControlSet\Control\MediaResources\SetupPreferredAudioDevices'
failures=0

reg() { "$wine_run" reg "$@" 2>/dev/null | tr -d '\r'; }
value() { reg query "$mapper" /v "$1" | grep -E "^ +$1 " | sed -E 's/^ +[^ ]+ +[^ ]+ +//'; }
expect() {
    actual=$(value "$1")
    if [ "$actual" = "$2" ]; then
        echo "ok: $1 = '$2'"
    else
        echo "FAIL: $1 is '$actual', expected '$2'"
        failures=$((failures + 1))
    fi
}
run() {
    "$wine_run" "$sonvar" "$@"
    rc=$?
    [ $rc -eq 0 ] || { echo "FAIL: exit code $rc for $*"; failures=$((failures + 1)); }
}

reg delete "$mapper" /f >/dev/null
reg add "$devices" /v SetupPreferredAudioDevicesCount /t REG_DWORD /d 3 /f >/dev/null

# Wine quotes an argument holding spaces in double quotes; the apostrophe
# form goes in as three words that join to  /i 'USB Mic In'.
run /o "USB Audio Device" /i "'USB" Mic "In'"
expect Playback "USB Audio Device"
expect Record "USB Mic In"
expect PreferredOnly 0x0
expect SetupPreferredAudioDevicesCount 0x3

# /a replaces only a device whose current value mentions USB.
reg add "$mapper" /v Playback /t REG_SZ /d "Realtek HD" /f >/dev/null
run /a /o "USB Speaker" /i Other
expect Playback "Realtek HD"
expect Record "Other"

# Upper-case options and nonsense change nothing, and the exit code stays 0.
run /O Speaker /I Mic /zzz '"'
expect Playback "Realtek HD"
expect Record "Other"

reg delete "$devices" /v SetupPreferredAudioDevicesCount /f >/dev/null
[ $failures -eq 0 ] && echo "all Sonvar checks passed" || echo "$failures Sonvar checks failed"
exit $failures
