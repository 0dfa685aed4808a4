#!/usr/bin/env bash
# Runs the whole native test suite under AddressSanitizer and
# UndefinedBehaviorSanitizer (preset "asan": any finding, a leak included,
# fails the test that caused it), then the boundary tests under valgrind's
# memcheck: no invalid access, no leak, every counted string and array that
# crosses the exports released exactly once.
#
#   scripts/sanitize.sh
#
# Environment:
#   ASAN_DIR         build folder of the sanitizer build (default build-asan)
#   NATIVE_DIR       plain native build for valgrind (default build, the one
#                    scripts/test.sh uses, so that it is usually built already)
#   JOBS             parallel build and test jobs (default: number of cores)
#   VALGRIND_FILTER  GoogleTest filter of the boundary tests
#   SKIP_VALGRIND=1  sanitizers only
set -euo pipefail
cd "$(dirname "$0")/.."

asan_dir=${ASAN_DIR:-build-asan}
native_dir=${NATIVE_DIR:-build}
jobs=${JOBS:-$(nproc)}
# The exports and the debug record (tests/plugin) and the hostile input
# through them (tests/robustness); the multi-megabyte cases are left to the
# sanitizer run, where they take seconds rather than minutes.
filter=${VALGRIND_FILTER:-'ExportsTest.*:*VerdictTest.*:HostInterfaceTest.*:DebugRecordTest.*:ExportsHostileTest.*:HostCallsHostileTest.*-*Huge*'}

start=$SECONDS
echo "== sanitizer build ($asan_dir)"
cmake --preset asan -B "$asan_dir" >/dev/null
cmake --build "$asan_dir" -j"$jobs"

echo "== native test suite under ASan and UBSan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$asan_dir" --output-on-failure -j"$jobs"
unset ASAN_OPTIONS UBSAN_OPTIONS

if [ "${SKIP_VALGRIND:-0}" = 1 ]; then
  echo "== sanitize: passed in $((SECONDS - start)) s (valgrind skipped)"
  exit 0
fi
if ! command -v valgrind >/dev/null; then
  echo "valgrind is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

echo "== boundary tests under valgrind ($native_dir)"
# Configured as scripts/test.sh configures it, so both share one build.
cmake -S . -B "$native_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native_dir" -j"$jobs" --target veltrin_tests
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --show-leak-kinds=definite,indirect --error-exitcode=1 --quiet \
  --suppressions=scripts/valgrind.supp \
  "$native_dir/bin/veltrin_tests" --gtest_filter="$filter" --gtest_brief=1

echo "== sanitize: passed in $((SECONDS - start)) s"
