#!/usr/bin/env bash
# The main job: builds everything natively and lets the reference host
# filter every candidate of a 5-digit lottery through the library, with the
# bundled example settings. Kept bets go to kept.txt; the
# summary ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
build/bin/veltrin-host filter --digits 5 --settings examples/veltrin-example.flt \
  --out kept.txt "$@"
