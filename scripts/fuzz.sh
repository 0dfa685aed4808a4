#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, ASan, UBSan) and runs
# each one for a bounded time, starting from its seed corpus. Fails on the
# first crash, sanitizer report, leak, failed check, slow input (over 10 s)
# or memory blow-up (over 2 GB), leaving the input that did it in
# <build>/fuzz-artifacts/.
#
#   scripts/fuzz.sh          # about 90 s of fuzzing in all (CI)
#   scripts/fuzz.sh 600      # 600 s in all, for a longer local run
#   scripts/fuzz.sh 3600 condition_fuzzer    # one target only
#
# The corpus each run grows is kept in <build>/fuzz-corpus/<target>/ and
# reused by the next run; the seeds in fuzz/corpus/ are only read.
# Reproduce a failure:  <build>/fuzz/<target> <artifact>
#
# Environment: FUZZ_DIR (build folder, default build-fuzz), JOBS (build jobs).
set -euo pipefail
cd "$(dirname "$0")/.."

total=${1:-90}
only=${2:-}
build=${FUZZ_DIR:-build-fuzz}
jobs=${JOBS:-$(nproc)}

start=$SECONDS
echo "== fuzz build ($build)"
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j"$jobs" --target fuzzers

targets=()
for bin in "$build"/fuzz/*_fuzzer; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  if [ -z "$only" ] || [ "$only" = "$name" ]; then targets+=("$name"); fi
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz target built${only:+ named $only}" >&2
  exit 1
fi
# The time is split by weight: the dialog text functions are small and
# reach their coverage within seconds, so they get half a share.
weight() {
  case "$1" in
    dialog_text_fuzzer) echo 1 ;;
    *) echo 2 ;;
  esac
}
weights=0
for name in "${targets[@]}"; do weights=$((weights + $(weight "$name"))); done

mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"
failed=()
for name in "${targets[@]}"; do
  seeds="fuzz/corpus/$name"
  work="$build/fuzz-corpus/$name"
  log="$build/fuzz-logs/$name.log"
  mkdir -p "$work"
  per=$((total * $(weight "$name") / weights))
  [ "$per" -ge 5 ] || per=5
  args=(-max_total_time="$per" -max_len=8192 -timeout=10 -rss_limit_mb=2048
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-")
  [ -f "fuzz/dict/$name.dict" ] && args+=(-dict="fuzz/dict/$name.dict")
  [ -d "$seeds" ] || seeds=
  echo "== $name: $per s"
  if "$build/fuzz/$name" "${args[@]}" "$work" ${seeds:+"$seeds"} >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" | tr '\n' ' '
    echo
  else
    tail -n 60 "$log"
    echo "!! $name failed; log $log, input in $build/fuzz-artifacts/" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "== fuzz: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "== fuzz: passed in $((SECONDS - start)) s"
