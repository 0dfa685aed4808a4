#!/usr/bin/env bash
# Photographs one dialog of the forms layer: the Windows demo program
# (veltrin_demo.exe, built with the Windows build) shows it under Wine on a
# virtual X display, and the dialog's window is cut out of a screenshot.
#
#   scripts/screenshot.sh [dialog] [out.png] [build-dir] [dpi]
#
#   dialog     fltbase (default), fltvalidate (after a simulated run) or
#              supfltbase (the condition list dialog), twograde (the score
#              grid with codes assigned), selecttwo (the code picker) or
#              codegrade (the pair-score dialog, a condition in its grid),
#              codegradepicture (its distribution page, recent draws marked)
#   out.png    default: screenshot-<dialog>.png (screenshot-<dialog>-<dpi>.png
#              at a DPI other than 96)
#   build-dir  the Windows build (default: build-win)
#   dpi        the screen's DPI (Wine's LogPixels), 96 (default), 120, 144...
#
# Needs wine, xvfb, imagemagick and a CJK font (fonts-wqy-microhei), which
# Wine is told to use for the dialogs' font 宋体.
set -euo pipefail
cd "$(dirname "$0")/.."

dialog=${1:-fltbase}
dpi=${4:-96}
if [[ ! $dpi =~ ^[0-9]+$ ]] || ((dpi < 96 || dpi > 480)); then
  echo "dpi must be a number from 96 to 480" >&2
  exit 1
fi
suffix=$([[ $dpi == 96 ]] && echo "" || echo "-$dpi")
out=${2:-screenshot-$dialog$suffix.png}
build=${3:-build-win}
demo=$build/bin/veltrin_demo.exe
if [[ ! -f $demo ]]; then
  echo "no $demo: build the Windows build's target veltrin_demo first" >&2
  exit 1
fi
if ! fc-list | grep -i "wenquanyi" >/dev/null; then
  echo "no CJK font: install fonts-wqy-microhei" >&2
  exit 1
fi

export WINEDEBUG=-all
# A prefix per DPI: Wine reads LogPixels once, when the prefix's server starts.
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wineprefix-screenshot$suffix}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 宋体 (SimSun) is not there on Linux: its name and its English name are
# replaced by the CJK font. Registry files are UTF-16 with a byte-order mark.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"宋体"="WenQuanYi Micro Hei"\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/fonts.reg"
# The DPI, where current Wine reads it and where older Wine did.
logpixels=$(printf 'dword:%08x' "$dpi")
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=%s\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\r\n"LogPixels"=%s\r\n' "$logpixels" "$logpixels" |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/dpi.reg"

export DEMO=$demo DIALOG=$dialog WORK=$work OUT=$out
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  wine regedit /S "$(winepath -w "$WORK/fonts.reg")" >/dev/null 2>&1
  wine regedit /S "$(winepath -w "$WORK/dpi.reg")" >/dev/null 2>&1
  # Settings read at start-up take effect with the next server.
  wineserver -w
  # The window frame draws its buttons with Marlett, which Debian keeps
  # outside the prefix.
  for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    if [[ -f $marlett ]]; then
      cp -n "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      break
    fi
  done
  ready=$WORK/ready.txt
  # A virtual desktop: Wine draws the whole window, frame and caption included.
  wine explorer /desktop=veltrin,1024x768 "$DEMO" "$DIALOG" "$(winepath -w "$ready")" 12 \
    >/dev/null 2>&1 &
  for _ in $(seq 240); do [[ -s $ready ]] && break; sleep 0.5; done
  if [[ ! -s $ready ]]; then echo "the dialog did not come up" >&2; exit 1; fi
  read -r left top width height <"$ready"
  import -window root "$WORK/screen.png"
  convert "$WORK/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$OUT"
  wait
'
echo "saved $out"
