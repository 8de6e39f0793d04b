#!/bin/bash
# Keeps one wineserver warm across the Windows test run: a cold Wine
# process costs seconds, a warm one a few milliseconds.
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TALVIO_WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=-all WINEARCH=win32
case "$1" in
    start)
        "$root/cmake/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
        (wineserver -p >/dev/null 2>&1 &) ;;
    stop)
        wineserver -k >/dev/null 2>&1 || true ;;
esac
exit 0
