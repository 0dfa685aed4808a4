#!/usr/bin/env bash
# Photographs the dialogs of the forms layer: the Windows demo program
# (veltrin_demo.exe, built with the Windows build) shows each under Wine on a
# virtual X display at a given DPI, and the dialog's window is cut out of a
# screenshot.
#
#   scripts/screenshot.sh                         every dialog at 96 and 144 DPI
#                                                 into screenshots/<dialog>-<dpi>.png
#   scripts/screenshot.sh dialog [out.png] [build-dir] [dpi]
#
#   dialog     fltbase, fltvalidate (after a simulated run) or supfltbase
#              (the condition list dialog), twograde (the score grid with
#              codes assigned), selecttwo (the code picker) or codegrade (the
#              pair-score dialog, a condition in its grid), codegradehint
#              (the same, the mouse on a long line and its hint shown with
#              the dialog), codegradepicture (its distribution page, recent
#              draws marked)
#   out.png    default: screenshot-<dialog>.png
#   build-dir  the Windows build (default: $BUILD, else build-win)
#   dpi        Wine's LogPixels (default 96)
#
# Needs wine, xvfb, imagemagick, a CJK font (fonts-wqy-microhei), which
# Wine is told to use for the dialogs' font 宋体, and Wine's own fonts
# (fonts-wine: Marlett draws the caption buttons; without it they read
# "0 1 r").
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -eq 0 || $1 == all ]]; then
  mkdir -p screenshots
  for dpi in 96 144; do
    for dialog in fltbase fltvalidate supfltbase twograde selecttwo codegrade codegradehint \
      codegradepicture; do
      "$0" "$dialog" "screenshots/$dialog-$dpi.png" "${BUILD:-build-win}" "$dpi"
    done
  done
  exit 0
fi

dialog=$1
out=${2:-screenshot-$dialog.png}
build=${3:-${BUILD:-build-win}}
dpi=${4:-96}
demo=$build/bin/veltrin_demo.exe
if [[ ! -f $demo ]]; then
  echo "no $demo: build the Windows build's target veltrin_demo first" >&2
  exit 1
fi
if ! fc-list | grep -i "wenquanyi" >/dev/null; then
  echo "no CJK font: install fonts-wqy-microhei" >&2
  exit 1
fi
marlett=
for f in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
  [[ -f $f ]] && marlett=$f && break
done
if [[ -z $marlett ]]; then
  echo "no Marlett font for the caption buttons: install fonts-wine" >&2
  exit 1
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix per DPI: Wine takes LogPixels when it starts.
export WINEPREFIX=$PWD/$build/wineprefix-screenshot-$dpi
prog=$demo
. scripts/windows/wine-loader.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 宋体 (SimSun) is not there on Linux: its name and its English name are
# replaced by the CJK font. Registry files are UTF-16 with a byte-order mark.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"宋体"="WenQuanYi Micro Hei"\r\n' "$dpi" |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/fonts.reg"

export DEMO=$demo DIALOG=$dialog WORK=$work OUT=$out WINE=$wine MARLETT=$marlett
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  "$WINE" regedit /S "Z:${WORK//\//\\}\\fonts.reg" >/dev/null 2>&1
  "${WINESERVER:-wineserver}" -w
  # The window frame draws its buttons with Marlett, which Debian keeps
  # outside the prefix.
  fonts=$WINEPREFIX/drive_c/windows/Fonts
  [[ -f $fonts/marlett.ttf ]] || cp "$MARLETT" "$fonts/marlett.ttf"
  ready=$WORK/ready.txt
  # A virtual desktop: Wine draws the whole window, frame and caption included.
  "$WINE" explorer /desktop=veltrin,1280x1024 "$DEMO" "$DIALOG" "Z:${ready//\//\\}" 12 \
    >/dev/null 2>&1 &
  for _ in $(seq 240); do [[ -s $ready ]] && break; sleep 0.5; done
  if [[ ! -s $ready ]]; then echo "the dialog did not come up" >&2; exit 1; fi
  read -r left top width height <"$ready"
  import -window root "$WORK/screen.png"
  convert "$WORK/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$OUT"
  wait
'
echo "saved $out"
