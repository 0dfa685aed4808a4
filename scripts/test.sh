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

step "32-bit boundary check"
cmake -S . -B build-m32 -DVELTRIN_BOUNDARY_ONLY=ON -DCMAKE_CXX_FLAGS=-m32 -DCMAKE_C_FLAGS=-m32 \
  >/dev/null
cmake --build build-m32 -j"$jobs"
(cd build-m32 && ctest --output-on-failure)

step "Windows build, tests under Wine"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j"$jobs"
(cd build-win && xvfb-run -a ctest --output-on-failure)

if [ -x scripts/sanitize.sh ]; then
  step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  ./scripts/sanitize.sh
fi
if [ -x scripts/fuzz.sh ]; then
  step "bounded fuzzing"
  ./scripts/fuzz.sh
fi
step "all tests passed"
