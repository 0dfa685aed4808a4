# Sourced with the program to run in $prog: sets $wine to the loader for it. A
# 64-bit program (cmake/mingw-x86_64.cmake), and any program where the
# kernel runs no 32-bit code, goes to the 64-bit loader directly: Debian's
# wine wrapper takes the 32-bit one whenever it is installed.
wine=wine
if [ -x /usr/lib/wine/wine64 ] && { file -L "$prog" 2>/dev/null | grep -q 'PE32+' ||
  ! /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine WINESERVER=/usr/lib/wine/wineserver64
fi
