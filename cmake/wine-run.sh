#!/bin/sh
# Runs a Windows program under 32-bit Wine in the build's private prefix:
# no debug output, the null graphics driver (no X server), and no Mono,
# Gecko or desktop-menu set-up. The prefix is made once, under a lock,
# because ctest may start several programs at once; making it asks nothing
# and needs no terminal.
set -e
prefix=${TALVIO_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/wineprefix}
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ ! -f "$prefix/.talvio-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.talvio-ready" ]; then
            wineboot -i </dev/null >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
            # No waiting for the wineserver to exit: a warm session's
            # persistent server would never exit, and the processes started
            # next read the registry from the running server anyway.
            touch "$prefix/.talvio-ready"
        fi
    ) 9>"$prefix.lock"
fi
exec wine "$@"
