#!/bin/sh
# Installs the native build into an empty prefix and uses it from there: the
# installed library's run path is its own folder only, the installed host
# filters, and the installed example builds against the installed header
# and runs.
#   install_test.sh BUILD_DIR C_COMPILER
set -eu
build=$1
cc=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
bin=$prefix/bin
for f in veltrin-host veltrin.so veltrin_sharemem.so c_host examples/veltrin-example.flt \
  examples/history.txt; do
  [ -f "$bin/$f" ] || fail "not installed: bin/$f"
done
[ -f "$prefix/include/veltrin.h" ] || fail "not installed: include/veltrin.h"
example=$(find "$prefix/share/doc" -name c_host.c)
[ -n "$example" ] || fail "not installed: the example's source"

for lib in veltrin.so veltrin-host; do
  runpath=$(readelf -d "$bin/$lib" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]/\1/p')
  [ "$runpath" = '$ORIGIN' ] || fail "$lib: run path '$runpath', want '\$ORIGIN' only"
done

# 直选:9=12:0-0 removes the 20 three-digit bets holding the code 12.
"$bin/veltrin-host" filter --digits 3 --condition '直选:9=12:0-0' --out "$prefix/kept.txt" \
  --quiet || fail "the installed host failed"
kept=$(wc -l <"$prefix/kept.txt")
[ "$kept" -eq 980 ] || fail "kept $kept bets, want 980"

"$bin/c_host" >/dev/null || fail "the installed example host failed"
"$cc" -std=c99 -Wall -Wextra -Werror -I"$prefix/include" "$example" -o "$prefix/c_host_rebuilt" \
  -ldl || fail "the example does not build against the installed header"
"$prefix/c_host_rebuilt" "$bin/veltrin.so" >/dev/null || fail "the rebuilt example failed"
echo "installed tree works"
