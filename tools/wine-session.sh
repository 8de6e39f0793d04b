#!/bin/bash
# Keeps one wineserver warm across the Windows test run: a cold Wine
# process costs seconds, a warm one a few milliseconds.
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TALVIO_WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=-all WINEARCH=win32
warm() { "$root/cmake/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true; }
case "$1" in
    start)
        [ -f "$WINEPREFIX/.talvio-ready-2" ] || warm
        # Only one server runs per prefix: "already running" (2) is either a
        # persistent one (nothing to do) or one lingering after the last
        # program, which is waited for so that a persistent one can start.
        wineserver -p >/dev/null 2>&1
        if [ $? -eq 2 ] && timeout 10 wineserver -w; then
            wineserver -p >/dev/null 2>&1
        fi
        warm ;;
    stop)
        wineserver -k >/dev/null 2>&1 || true ;;
esac
exit 0
