#!/bin/sh
# Runs a Windows program under 32-bit Wine in the build's private prefix:
# no debug output, the null graphics driver (no X server), and no Mono,
# Gecko or desktop-menu set-up, and no crash dialog (a crashing program
# prints its backtrace and exits instead of waiting for a click that never
# comes). The prefix is made once, under a lock,
# because ctest may start several programs at once; making it asks nothing
# and needs no terminal.
set -e
prefix=${TALVIO_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/wineprefix}
# The graphics driver a new prefix gets: null (draws nothing, needs no X
# server) unless TALVIO_WINE_GRAPHICS names another (x11 for visible windows).
graphics=${TALVIO_WINE_GRAPHICS:-null}
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ ! -f "$prefix/.talvio-ready-2" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.talvio-ready-2" ]; then
            wineboot -i </dev/null >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f </dev/null >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
                </dev/null >/dev/null 2>&1
            # No waiting for the wineserver to exit: a warm session's
            # persistent server would never exit, and the processes started
            # next read the registry from the running server anyway.
            touch "$prefix/.talvio-ready-2"
        fi
    ) 9>"$prefix.lock"
fi
exec wine "$@"
