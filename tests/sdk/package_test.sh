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
  examples/c-host/c_host.c README.txt; do
  [ -f "$app/$f" ] || fail "not in the package: $f"
done
grep -q '两码和值过滤插件' "$app/README.txt" || fail "the read-me has no Chinese text"
grep -q 'pair-score filter plug-in' "$app/README.txt" || fail "the read-me has no English text"
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
