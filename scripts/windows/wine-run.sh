#!/bin/sh
# Runs a program of the Windows build under Wine; the cross build's CTest
# emulator (cmake/mingw-i686.cmake). Wine stays quiet and asks to install
# nothing; without a display a virtual one is started, since the dialog
# tests create real windows. WINEPREFIX comes from the caller (the tests set
# one inside the build folder).
#
#   scripts/windows/wine-run.sh program.exe [arguments...]
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

prog=$1
[ "$prog" = "--inner" ] && prog=$2
. "$(dirname "$0")/wine-loader.sh"

if [ "$1" = "--inner" ]; then
  shift
  "$wine" "$@"
  status=$?
  # Let this prefix's wineserver go before the display does.
  "${WINESERVER:-wineserver}" -w 2>/dev/null
  exit $status
fi

if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" --inner "$@"
fi
exec "$wine" "$@"
