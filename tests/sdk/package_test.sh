#!/bin/sh
# Makes the Windows package (one zip, CPack), unpacks it into an empty
# folder and runs its programs from there under Wine.
#   package_test.sh BUILD_DIR WINE_RUNNER
set -eu
build=$(cd "$1" && pwd)
run=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$build/package"
(cd "$build" && cpack -G ZIP -B "$build/package" >/dev/null) || fail "cpack failed"
set -- "$build"/package/veltrin-*-win32.zip
[ $# -eq 1 ] && [ -f "$1" ] || fail "want one zip in $build/package"
zip=$1

here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
unzip -q "$zip" -d "$here"
app=$(find "$here" -mindepth 1 -maxdepth 1 -type d)
[ -d "$app" ] || fail "the zip does not unpack into one folder"
for f in veltrin.dll veltrin_sharemem.dll veltrin.def veltrin-host.exe c_host.exe \
  include/veltrin.h examples/veltrin-example.flt examples/history.txt \
  examples/c-host/c_host.c README.txt veltrin-help.html; do
  [ -f "$app/$f" ] || fail "not in the package: $f"
done
grep -q '两码和值过滤插件' "$app/README.txt" || fail "the read-me has no Chinese text"
grep -q 'pair-score filter plug-in' "$app/README.txt" || fail "the read-me has no English text"

# Notepad: the read-me is UTF-8 with a byte order mark and CR LF line ends,
# no lone LF or CR, and valid UTF-8 throughout.
notepad_text() {
  [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "$1 has no UTF-8 byte order mark"
  lf=$(tr -cd '\n' <"$1" | wc -c)
  crlf=$(grep -c "$(printf '\r')\$" "$1" || true)
  [ "$lf" -gt 0 ] && [ "$lf" -eq "$crlf" ] || fail "$1: $crlf of $lf line ends are CR LF"
  [ "$(tr -cd '\r' <"$1" | wc -c)" -eq "$lf" ] || fail "$1 has a lone CR"
  iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 || fail "$1 is not valid UTF-8"
}
notepad_text "$app/README.txt"
# What the read-me must say: the DLL's real export count (from the .def it
# ships), the host's commands a player starts with, and what the host needs.
exports=$(sed -n '/^EXPORTS/,$p' "$app/veltrin.def" | tail -n +2 | grep -c '^ *[A-Za-z]')
grep -q "twelve exports" "$app/README.txt" && [ "$exports" -eq 12 ] ||
  fail "the read-me's export count does not match the $exports of veltrin.def"
grep -q "导出 $exports 个入口" "$app/README.txt" || fail "the Chinese read-me's export count is wrong"
for word in open check report; do
  grep -q "veltrin-host.exe $word" "$app/README.txt" || fail "the read-me does not show '$word'"
done
grep -q 'needs veltrin.dll and' "$app/README.txt" &&
  grep -q 'veltrin_sharemem.dll beside it' "$app/README.txt" ||
  fail "the read-me does not say what veltrin-host.exe needs beside it"
# The help page declares its encoding, so any browser reads its Chinese.
grep -qi '<meta charset="utf-8">' "$app/veltrin-help.html" || fail "the help page has no charset"
grep -q '条件写法' "$app/veltrin-help.html" || fail "the help page has no condition syntax"
# The examples name no script the package does not carry.
for f in $(cd "$app" && find . -type f -name '*.txt' -o -type f -name '*.flt' -o -type f -name '*.c'); do
  for script in $(grep -ao '[A-Za-z0-9_./-]*\.\(py\|sh\|ps1\|bat\)\b' "$app/$f" | sort -u); do
    [ -f "$app/$(basename "$script")" ] || [ -f "$app/$script" ] ||
      fail "$f names $script, which the package does not carry"
  done
done
# The plug-in binds its shared memory module at load; importing it would
# make hosts that load it from another folder fail with error 126.
if objdump -p "$app/veltrin.dll" | grep -qi 'DLL Name: veltrin_sharemem.dll'; then
  fail "veltrin.dll imports veltrin_sharemem.dll"
fi

cd "$app"
"$run" veltrin-host.exe filter --digits 3 --condition '直选:9=12:0-0' --out kept.txt --quiet ||
  fail "the packaged host failed"
kept=$(tr -d '\r' <kept.txt | grep -c .)
[ "$kept" -eq 980 ] || fail "kept $kept bets, want 980"
"$run" c_host.exe >out.txt || fail "the packaged example host failed"
grep -q '120 remove' out.txt || fail "the packaged example host filtered wrongly"
echo "package $(basename "$zip") works"
