#!/usr/bin/env bash
# Builds everything and runs every test: the native build (engine, boundary,
# headless dialogs, reference host), the 32-bit boundary check, the Windows
# build under Wine (real Win32 dialogs under Xvfb), the sanitizer run of the
# native suite and bounded fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
step() { echo; echo "== $*"; }

step "native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIN_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

# Some virtual machines run no 32-bit code at all (the kernel answers "Exec
# format error"). There the 32-bit builds are still compiled, which makes
# their static checks, and the Windows tests run from a 64-bit build of the
# same code under wine64 instead; the summary says so.
runs32=yes
probe=$(mktemp -d)
if ! { printf 'int main(void) { return 0; }\n' | gcc -m32 -x c - -o "$probe/p" 2>/dev/null &&
  "$probe/p" 2>/dev/null; }; then
  runs32=no
fi
rm -rf "$probe"

step "32-bit boundary check"
cmake -S . -B build-m32 -DVELTRIN_BOUNDARY_ONLY=ON -DCMAKE_CXX_FLAGS=-m32 -DCMAKE_C_FLAGS=-m32 \
  >/dev/null
cmake --build build-m32 -j"$jobs"
if [ "$runs32" = yes ]; then
  (cd build-m32 && ctest --output-on-failure)
else
  echo "this machine runs no 32-bit programs: the boundary check's static checks compiled," \
    "its run-time checks are skipped"
fi

step "Windows build (i686, the product)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
if [ "$runs32" = yes ]; then
  cmake --build build-win -j"$jobs"
  step "Windows tests under Wine"
  (cd build-win && xvfb-run -a ctest --output-on-failure)
else
  # Only what ships; the tests run from the 64-bit build below.
  cmake --build build-win -j"$jobs" --target veltrin veltrin_sharemem veltrin-host
  step "Windows tests under wine64 (64-bit build: this machine runs no 32-bit programs)"
  cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-win64 -j"$jobs"
  (cd build-win64 && xvfb-run -a ctest --output-on-failure)
fi

if [ -x scripts/sanitize.sh ]; then
  step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  ./scripts/sanitize.sh
fi
if [ -x scripts/fuzz.sh ]; then
  step "bounded fuzzing"
  ./scripts/fuzz.sh
fi
step "all tests passed"
