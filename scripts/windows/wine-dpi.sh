#!/bin/sh
# Runs a program of the Windows build under Wine at a given DPI. The prefix
# (WINEPREFIX, one per DPI, kept between runs) gets Wine's LogPixels, which
# Wine reads from HKCU\Control Panel\Desktop, and the CJK font in place of
# 宋体 (SimSun), the dialogs' font on a Chinese Windows.
#
#   scripts/windows/wine-dpi.sh DPI program.exe [arguments...]
set -eu
dpi=$1
shift
run="$(dirname "$0")/wine-run.sh"
: "${WINEPREFIX:?the caller names a prefix of its own}"
reg="$WINEPREFIX.reg"
# Registry files are UTF-16 with a byte-order mark.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"宋体"="WenQuanYi Micro Hei"\r\n' "$dpi" |
  iconv -f UTF-8 -t UTF-16LE | { printf '\377\376'; cat; } >"$reg"
"$run" regedit /S "Z:$(printf '%s' "$reg" | tr / '\\')" >/dev/null 2>&1
exec "$run" "$@"
