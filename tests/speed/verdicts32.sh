#!/bin/sh
# The Windows builds give every verdict the native library gives: each
# program prints a checksum of the verdicts of the same generated settings
# over the same bets (veltrin_exports_timing --verdicts), and the lines must
# be the same.
#
#   verdicts32.sh NATIVE_PROGRAM I686_PROGRAM [X86_64_PROGRAM [M32_PROGRAM]]
#
# The 32-bit Windows build is the one that ships. Where the machine runs no
# 32-bit programs, it is compiled but cannot run: the 64-bit Windows build is
# still compared where it was built, and so is 32-bit code of a -m32 Linux
# build under qemu-i386 where both exist (scripts/perf-32.sh makes one);
# the test then ends as skipped (exit 77) saying why.
set -u
native=$1
win32=$2
win64=${3:-}
m32=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
runner=$here/../../scripts/windows/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="${WINEPREFIX:-$(dirname "$native")/../wine-verdicts}"

"$native" --verdicts >"$work/native.txt" || {
  echo "the native program failed"
  exit 1
}

# Runs one program (a Windows one under Wine, else under the emulator given
# second) and compares; 0 same, 1 different or failed.
compare() {
  if [ -n "${2:-}" ]; then
    "$2" "$1" --verdicts 2>"$work/err.txt" >"$work/win.txt"
  else
    DISPLAY="${DISPLAY:-none}" "$runner" "$1" --verdicts 2>"$work/err.txt" | tr -d '\r' >"$work/win.txt"
  fi
  if ! cmp -s "$work/native.txt" "$work/win.txt"; then
    echo "$1 disagrees with the native build:"
    diff "$work/native.txt" "$work/win.txt" | head -20
    head -5 "$work/err.txt"
    return 1
  fi
  echo "$1: all $(wc -l <"$work/native.txt") settings give the native verdicts"
  return 0
}

status=0
if [ -n "$win64" ] && [ -f "$win64" ]; then
  compare "$win64" || status=1
fi
if [ -n "$m32" ] && [ -f "$m32" ] && command -v qemu-i386 >/dev/null 2>&1; then
  compare "$m32" qemu-i386 || status=1
fi
if [ ! -f "$win32" ]; then
  echo "SKIPPED: no 32-bit Windows build at $win32 (build veltrin_exports_timing there with" \
    "cmake/mingw-i686.cmake and -DVELTRIN_BUILD_BENCH=ON)"
  [ $status = 0 ] && exit 77
  exit $status
fi
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "SKIPPED: this machine runs no 32-bit programs (Wine's 32-bit loader cannot start)," \
    "so the 32-bit build's verdicts cannot be compared here"
  [ $status = 0 ] && exit 77
  exit $status
fi
compare "$win32" || status=1
exit $status
