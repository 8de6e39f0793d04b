#!/bin/sh
# Runs a Windows program under 32-bit Wine in the build's private prefix:
# no debug output, the null graphics driver (no X server), and no Mono or
# Gecko install prompts. The prefix is made once, under a lock, because
# ctest may start several programs at once.
set -e
prefix=${TALVIO_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/wineprefix}
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ ! -f "$prefix/.talvio-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.talvio-ready" ]; then
            wineboot -i >/dev/null 2>&1 || true
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
            wineserver -w
            touch "$prefix/.talvio-ready"
        fi
    ) 9>"$prefix.lock"
fi
exec wine "$@"
