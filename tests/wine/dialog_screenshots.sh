#!/bin/bash
# Screenshots of the tray's dialogs for a person to look at: TalvioDriver.exe
# under Wine's X11 driver on a private Xvfb display, in a Wine virtual
# desktop, once in English and once in Simplified Chinese, each dialog
# opened and closed through its window messages by dialog_peer.exe.
#   dialog_screenshots.sh <wine-run.sh> <TalvioDriver.exe> <dialog_peer.exe> <locale.xml> <output folder>
# Exits 77 (skipped) when Xvfb or ImageMagick is missing. Every wait is
# bounded; Xvfb and the prefix's wineserver are ended on the way out.
set -u
wine_run=$1
driver=$2
peer=$3
locale=$4
out=$5

skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
import -version 2>/dev/null | grep -q ImageMagick || skip "no ImageMagick import (Debian package imagemagick)"

# A display nobody uses.
display=
for n in $(seq 97 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || skip "no free X display number"

# Its own prefix: the other Wine tests keep the null graphics driver.
export TALVIO_WINEPREFIX=${TALVIO_WINEPREFIX_X11:-$(dirname "$out")/wineprefix-x11}
export TALVIO_WINE_GRAPHICS=x11
export DISPLAY=$display
export WINEPREFIX=$TALVIO_WINEPREFIX
work=$(mktemp -d /tmp/talvio-screens-XXXXXX)
xvfb_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || { echo "FAIL: Xvfb did not start on $display"; exit 1; }

# Every program of the prefix in one virtual desktop, drawn whole by Wine
# (frames and captions too), so that the peer sees the program's windows.
"$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
# Dialog texts in CJK need a font with those glyphs behind the GUI fonts.
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "Microsoft Sans Serif"; do
    "$wine_run" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done

mkdir -p "$out"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

shoot() {  # <name>
    import -display "$display" -window root "$out/$1.png" || fail "no screenshot $1"
}

# Each dialog: <menu command> <a control of it> <name>
dialogs=("104 2164 about" "32798 2103 help" "32773 1087 options")

for language in "0 english" "1 chinese"; do
    set -- $language
    index=$1 name=$2
    folder="$work/$name"
    mkdir -p "$folder"
    cp "$driver" "$folder/TalvioDriver.exe"
    cp "$locale" "$folder/locale.xml"
    printf "<?xml version='1.0' encoding='utf-8'?>\n<Config><General><Language value='%s'/></General></Config>" \
        "$index" >"$folder/config.xml"
    timeout 120 "$wine_run" "$folder/TalvioDriver.exe" >/dev/null 2>&1 &
    driver_pid=$!
    for spec in "${dialogs[@]}"; do
        set -- $spec
        opened=1
        # The first one waits for the program to start.
        for _ in $(seq 10); do
            if timeout 60 "$wine_run" "$peer" open "$1" "$2" >/dev/null 2>&1; then opened=0; break; fi
            sleep 1
        done
        [ $opened -eq 0 ] || { fail "$name $3: the dialog did not open"; continue; }
        sleep 1
        shoot "$name-$3"
        if [ "$3" = options ]; then
            timeout 60 "$wine_run" "$peer" tab 2 >/dev/null 2>&1 || fail "$name: the programs page did not show"
            sleep 1
            shoot "$name-options-programs"
        fi
        timeout 60 "$wine_run" "$peer" close "$2" >/dev/null 2>&1 || fail "$name $3: the dialog did not close"
    done
    wineserver -k >/dev/null 2>&1
    wait "$driver_pid" 2>/dev/null
done

# A screenshot of a dialog holds the dialog's many colours, not a blank screen.
for shot in "$out"/*.png; do
    colours=$(convert "$shot" -format %k info: 2>/dev/null || echo 0)
    [ "${colours:-0}" -gt 16 ] || fail "$(basename "$shot") looks blank ($colours colours)"
done
echo "screenshots in $out:"
ls "$out"
[ $failures -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $((failures > 0))
