#!/bin/sh
# Runs a Windows program under Wine: the cross build's emulator, for ctest and
# the test discovery. The toolchain file sets WINEPREFIX and the quiet options.
#
# Wine's server and the background programs it starts hold on to the output of
# the program that started them until they exit, and ctest waits for that. So
# the first program of a session starts a server that stays half a minute after
# the last program, and boots the prefix (making it when new) with its output
# elsewhere; every later program starts in a fraction of a second.
if ! command -v wine >/dev/null 2>&1; then
    echo "wine-run: Wine is not installed (scripts/test-windows installs it)" >&2
    exit 127
fi
# The server wants the prefix folder to exist.
[ -n "${WINEPREFIX:-}" ] && mkdir -p "$WINEPREFIX"
if wineserver -p 30 </dev/null >/dev/null 2>&1; then
    wine wineboot </dev/null >/dev/null 2>&1
fi
exec wine "$@"
