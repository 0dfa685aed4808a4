#!/usr/bin/env bash
# The 32-bit DLL, which hosts load, beside the native library:
#   1. builds veltrin_exports_timing with its library natively (Release) and
#      for 32-bit Windows (cmake/mingw-i686.cmake, Release);
#   2. where the machine runs 32-bit programs, runs both (the Windows one
#      under Wine) and prints ns per bet for the README's workloads side by
#      side;
#   3. otherwise (and with VELTRIN_PERF32_COUNT=1 also then) counts the
#      instructions per bet of the exports path under QEMU user-mode
#      emulation: a -m32 Linux build of the same code under qemu-i386 beside
#      the native build under qemu-x86_64, the same counter for both;
#   4. always prints the static comparison of the hot functions in the DLL
#      and the native library: instructions, and llvm-mca's estimate of the
#      cycles of one straight pass through each.
#
# Environment: VELTRIN_PERF_JOBS (default 2), VELTRIN_PERF_MIN_TIME (default
# 0.2), VELTRIN_PERF_REPETITIONS (default 5), VELTRIN_PERF32_MCPU (llvm-mca
# CPU model, default znver3), VELTRIN_PERF32_COUNT (1: count instructions
# even where 32-bit programs run).
# Measurement tools (qemu-user, llvm) are installed here when missing; the
# tests do not need them.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${VELTRIN_PERF_JOBS:-2}
min_time=${VELTRIN_PERF_MIN_TIME:-0.2}
repetitions=${VELTRIN_PERF_REPETITIONS:-5}
mcpu=${VELTRIN_PERF32_MCPU:-znver3}
native=build-perf
win32=build-win
m32=build-m32perf
out=$native/perf-32
targets=(veltrin veltrin_sharemem veltrin_exports_timing)

say() { echo "perf-32: $*" >&2; }
need() { # command, Debian package
  command -v "$1" >/dev/null 2>&1 && return 0
  say "installing $2 for $1"
  apt-get install -y -qq "$2" >/dev/null
}

build() { # folder, cmake arguments...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVELTRIN_BUILD_BENCH=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" --target "${targets[@]}" >/dev/null
}

say "building natively ($native) and for 32-bit Windows ($win32)"
build "$native"
build "$win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
mkdir -p "$out"

machine=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $machine, $(nproc) cores; $(uname -m) kernel; $(date -u +%Y-%m-%d)"

runs32=yes
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  runs32=no
fi
export WINEPREFIX="${WINEPREFIX:-$PWD/$win32/wine-perf}"

if [ "$runs32" = yes ]; then
  say "timing both ($repetitions repetitions of ${min_time}s each)"
  args=(--min-time "$min_time" --repetitions "$repetitions")
  "$native/bin/veltrin_exports_timing" "${args[@]}" >"$out/native.txt"
  scripts/windows/wine-run.sh "$win32/bin/veltrin_exports_timing.exe" "${args[@]}" |
    tr -d '\r' >"$out/win32.txt"
  echo
  echo "ns per bet through SzcExecute (medians; ideal = the ideal kernel in the same process)"
  echo
  echo "| digits | conditions | tolerance | native | native ideal | 32-bit DLL | 32-bit ideal | DLL ÷ native |"
  echo "|---:|---:|:---:|---:|---:|---:|---:|---:|"
  join -j1 <(awk 'NR > 1 { print $1 "/" $2 "/" $3, $4, $5 }' "$out/native.txt") \
    <(awk 'NR > 1 { print $1 "/" $2 "/" $3, $4, $5 }' "$out/win32.txt") |
    awk '{ split($1, k, "/"); printf "| %s | %s | %s | %.2f | %.2f | %.2f | %.2f | %.2f |\n",
           k[1], k[2], k[3], $2, $3, $4, $5, $4 / $2 }'
fi

if [ "$runs32" = no ] || [ "${VELTRIN_PERF32_COUNT:-0}" = 1 ]; then
  [ "$runs32" = no ] && echo && echo "This machine runs no 32-bit programs: the 32-bit DLL cannot be timed here."
  need qemu-i386 qemu-user
  say "building the -m32 Linux build ($m32) and the instruction counter"
  build "$m32" -DVELTRIN_BUILD_TESTS=OFF "-DCMAKE_CXX_FLAGS=-m32 -msse2" "-DCMAKE_C_FLAGS=-m32 -msse2"
  # The QEMU plugin API is C with a handful of calls; its header is not
  # packaged, so the plugin declares what it uses (bench/qemu_insn_count.c).
  gcc -O2 -shared -fPIC -o "$out/libinsn.so" bench/qemu_insn_count.c \
    -Wl,--unresolved-symbols=ignore-all
  count() { # qemu, program, digits, conditions, tolerance, passes
    "$1" -plugin "$out/libinsn.so" "$2" --passes "$3" "$4" "$5" "$6" 2>&1 >/dev/null |
      awk '/^insns / { print $2 }'
  }
  bets=16384
  echo
  echo "Instructions per bet through SzcExecute, counted under QEMU user-mode emulation"
  echo "(difference of 3 and 1 passes over $bets bets; -m32 -msse2 Linux build of the same code"
  echo "under qemu-i386, native build under qemu-x86_64):"
  echo
  echo "| digits | conditions | tolerance | native | 32-bit | 32-bit ÷ native |"
  echo "|---:|---:|:---:|---:|---:|---:|"
  for d in 3 5 7; do
    for c in 1 10 50; do
      for t in 0 1; do
        n1=$(count qemu-x86_64 "$native/bin/veltrin_exports_timing" $d $c $t 1)
        n3=$(count qemu-x86_64 "$native/bin/veltrin_exports_timing" $d $c $t 3)
        m1=$(count qemu-i386 "$m32/bin/veltrin_exports_timing" $d $c $t 1)
        m3=$(count qemu-i386 "$m32/bin/veltrin_exports_timing" $d $c $t 3)
        awk -v d=$d -v c=$c -v t=$t -v n1="$n1" -v n3="$n3" -v m1="$m1" -v m3="$m3" -v b=$bets \
          'BEGIN { n = (n3 - n1) / (2 * b); m = (m3 - m1) / (2 * b);
                   printf "| %d | %d | %s | %.1f | %.1f | %.2f |\n", d, c, t ? "yes" : "no", n, m, m / n }'
      done
    done
  done
fi

# Static: the functions of one bet's path in the DLL and in the native
# library. Branches and calls are dropped for llvm-mca, which then estimates
# one pass through every instruction of the function (for the lane kernels:
# the entry and two unrolled blocks).
need llvm-mca llvm
body() { # objdump, library, function (demangled, as objdump prints it)
  "$1" -d --no-show-raw-insn -C "$2" |
    awk -v f="<$3>:" 'index($0, f) { on = 1; next } on && /^$/ { on = 0 } on' |
    cut -f2- | { grep -v -E '^(nop|xchg +%ax,%ax|lea +0x0\(%[er]si|cs nop|data16|int3|$)' || true; }
}
echo
echo "Static comparison (llvm-mca -mcpu=$mcpu; cycles of one straight pass, branches left out):"
echo
echo "| function | native instructions | native cycles | 32-bit instructions | 32-bit cycles |"
echo "|---|---:|---:|---:|---:|"
for f in 'veltrin::TProGradeFilter::CountFailedUpTo(char const*, int)' \
  'veltrin::TFilter::Execute(char const*)' 'SzcExecute' \
  'CountLanes<2u>' 'CountLanes<4u>' 'CountLanes<6u>'; do
  row="| \`${f%%(*}\`"
  for side in native win32; do
    if [ $side = native ]; then
      dump=objdump lib=$native/bin/veltrin.so mtriple=x86_64
    else
      dump=i686-w64-mingw32-objdump lib=$win32/bin/veltrin.dll mtriple=i686
    fi
    name=$f
    case $f in CountLanes*)
      name=$("$dump" -d -C "$lib" | grep -o "<int veltrin::(anonymous namespace)::$f([^>]*>:" |
        sed -n '1 { s/^<//; s/>:$//; p; }') ;;
    esac
    # The stdcall export is decorated in the DLL's symbol table.
    [ $side = win32 ] && [ "$f" = SzcExecute ] && name=SzcExecute@4
    body "$dump" "$lib" "$name" >"$out/$side.s"
    insns=$(wc -l <"$out/$side.s")
    grep -v -E '^(j[a-z]+|call[lq]?|ret[lq]?) ' "$out/$side.s" | grep -v -E '^ret' >"$out/$side-mca.s" || true
    cycles=$(llvm-mca -mtriple=$mtriple -mcpu="$mcpu" "$out/$side-mca.s" -iterations=100 2>/dev/null |
      awk '/^Total Cycles:/ { printf "%.1f", $3 / 100 }')
    row="$row | $insns | ${cycles:-?}"
  done
  echo "$row |"
done
