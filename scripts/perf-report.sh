#!/usr/bin/env bash
# Measures the plug-in and rewrites the performance section of README.md (the
# text between <!-- perf:begin --> and <!-- perf:end -->; the section is
# appended when the markers are missing):
#   1. builds Release with the benchmarks (and the reference host);
#   2. runs veltrin_bench with repetitions and keeps the medians;
#   3. runs the reference host's filter over all 10^7 candidates of a 7-digit
#      lottery with the bundled example setting;
#   4. measures the 32-bit DLL beside the native library (scripts/perf-32.sh:
#      timed under Wine where the machine runs 32-bit programs, otherwise
#      instruction counts and the static comparison);
#   5. writes the tables, the host figure and the machine they ran on.
#
# Environment: VELTRIN_PERF_BUILD (build folder, default build-perf),
# VELTRIN_PERF_REPETITIONS (default 5), VELTRIN_PERF_MIN_TIME (seconds per
# repetition, default 0.2), VELTRIN_PERF_JOBS (build jobs, default nproc),
# VELTRIN_PERF_HOST_RUNS (default 3), VELTRIN_PERF_SETTINGS (default the
# bundled examples/*.flt), VELTRIN_PERF_README (default README.md),
# VELTRIN_PERF_32 (0: leave the 32-bit part out).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELTRIN_PERF_BUILD:-build-perf}
repetitions=${VELTRIN_PERF_REPETITIONS:-5}
min_time=${VELTRIN_PERF_MIN_TIME:-0.2}
jobs=${VELTRIN_PERF_JOBS:-$(nproc)}
host_runs=${VELTRIN_PERF_HOST_RUNS:-3}
readme=${VELTRIN_PERF_README:-README.md}
begin_marker='<!-- perf:begin -->'
end_marker='<!-- perf:end -->'

say() { echo "perf-report: $*" >&2; }
die() {
  say "$*"
  exit 1
}

begins=$(grep -cxF "$begin_marker" "$readme" || true)
ends=$(grep -cxF "$end_marker" "$readme" || true)
if [ "$begins" != "$ends" ] || [ "$begins" -gt 1 ]; then
  die "$readme must hold the markers $begin_marker and $end_marker once each, or neither"
fi

# Google Benchmark and the compilers, as the other scripts install them.
./scripts/install-deps.sh

say "configuring $build (Release, benchmarks on)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELTRIN_BUILD_BENCH=ON >/dev/null
targets=(veltrin_bench)
if grep -qw 'veltrin-host' <<<"$(cmake --build "$build" --target help 2>/dev/null)"; then
  targets+=(veltrin-host)
fi
say "building ${targets[*]}"
cmake --build "$build" -j"$jobs" --target "${targets[@]}" >/dev/null

out="$build/perf-report"
mkdir -p "$out"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

say "running the benchmarks ($repetitions repetitions of ${min_time}s; a few minutes)"
"$build/bin/veltrin_bench" \
  --benchmark_repetitions="$repetitions" \
  --benchmark_min_time="$min_time" \
  --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true \
  --benchmark_out="$out/bench.json" --benchmark_out_format=json >"$out/bench.txt"
awk -f scripts/perf-table.awk "$out/bench.json" >"$out/tables.md"

# The reference host over every candidate of a 7-digit lottery.
host="$build/bin/veltrin-host"
settings=${VELTRIN_PERF_SETTINGS:-}
if [ -z "$settings" ]; then
  for f in examples/veltrin-example.flt examples/*.flt; do
    if [ -f "$f" ]; then
      settings=$f
      break
    fi
  done
fi
host_md="$out/host.md"
if [ ! -x "$host" ]; then
  say "no reference host at $host: the host figure is left out"
  echo "Reference host: not measured (no \`veltrin-host\` in this build)." >"$host_md"
elif [ -z "$settings" ] || [ ! -f "$settings" ]; then
  say "no example settings file (examples/*.flt): the host figure is left out"
  echo "Reference host: not measured (no example settings file)." >"$host_md"
else
  say "running the reference host over 10^7 candidates ($host_runs runs, $settings)"
  : >"$out/host-runs.txt"
  TIMEFORMAT='%U %S'
  for ((i = 1; i <= host_runs; i++)); do
    { time "$host" filter --digits 7 --settings "$settings" --out /dev/null \
      2>"$out/host-$i.txt" >/dev/null; } 2>"$out/host-$i.cpu" ||
      die "the reference host failed; see $out/host-$i.txt"
    # Its own summary (wall-clock seconds, bets per second, candidates, kept)
    # and the CPU seconds it used.
    awk -F': ' '/^time:/ {t = $2 + 0} /^speed:/ {s = $2 + 0} /^candidates:/ {c = $2 + 0}
                /^kept:/ {k = $2} END {print t, s, c, k}' "$out/host-$i.txt" |
      awk -v cpu="$(awk '{print $1 + $2}' "$out/host-$i.cpu")" '{$1 = $1 " " cpu; print}' \
        >>"$out/host-runs.txt"
  done
  # The run of median speed.
  read -r seconds cpu speed candidates kept < <(sort -k3,3g "$out/host-runs.txt" |
    awk -v n="$host_runs" 'NR == int((n + 1) / 2)')
  if [ -z "${speed:-}" ] || [ "$candidates" = "0" ]; then
    die "could not read the host's summary; see $out/host-1.txt"
  fi
  {
    printf 'Reference host, `veltrin-host filter --digits 7 --settings %s --out /dev/null`\n' "$settings"
    printf '(all %s candidates of a 7-digit lottery generated, evaluated through `SzcExecute`\n' "$candidates"
    printf 'and the kept ones written; median of %d runs): **%s bets/s** as the host reports it\n' \
      "$host_runs" "$(awk -v s="$speed" 'BEGIN {printf "%.1f M", s / 1e6}')"
    printf '(%s s wall clock); %s s of CPU time, %s bets per CPU second; kept %s.\n' "$seconds" "$cpu" \
      "$(awk -v c="$candidates" -v t="$cpu" 'BEGIN {printf "%.1f M", (t > 0 ? c / t / 1e6 : 0)}')" "$kept"
  } >"$host_md"
fi

# The 32-bit DLL, which hosts load.
perf32_md="$out/perf-32.md"
: >"$perf32_md"
if [ "${VELTRIN_PERF_32:-1}" != 0 ]; then
  say "measuring the 32-bit DLL beside the native library (scripts/perf-32.sh)"
  {
    echo "The 32-bit DLL that hosts load, beside the native library (\`scripts/perf-32.sh\`):"
    echo
    VELTRIN_PERF_JOBS="$jobs" VELTRIN_PERF_MIN_TIME="$min_time" VELTRIN_PERF_REPETITIONS="$repetitions" \
      ./scripts/perf-32.sh
    echo
  } >"$perf32_md" || die "scripts/perf-32.sh failed"
fi

# The machine.
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
cores=$(nproc)
cxx=$(awk -F= '/^CMAKE_CXX_COMPILER:/ {print $2}' "$build/CMakeCache.txt")
compiler=$("${cxx:-c++}" --version | head -n 1)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "?")
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then commit="$commit with local changes"; fi

section="$out/section.md"
{
  echo
  echo "Generated by \`scripts/perf-report.sh\`; do not edit by hand."
  echo
  echo "Machine: ${cpu:-unknown CPU}, $cores cores; $compiler; Release build;"
  echo "commit $commit, $(date -u +%Y-%m-%d). Load average before the run: $load_before"
  echo "(the machine may be shared, so absolute figures vary; the ratios are timed in the"
  echo "same iterations and vary less)."
  echo
  cat "$out/tables.md"
  echo
  cat "$host_md"
  echo
  cat "$perf32_md"
} >"$section"

tmp=$(mktemp)
if [ "$begins" = 1 ]; then
  awk -v begin="$begin_marker" -v end="$end_marker" -v section="$section" '
    $0 == begin { print; while ((getline line < section) > 0) print line; skip = 1; next }
    $0 == end { skip = 0 }
    !skip { print }' "$readme" >"$tmp"
else
  { cat "$readme"; echo; echo "## Performance"; echo; echo "$begin_marker"; cat "$section"; echo "$end_marker"; } >"$tmp"
fi
cat "$tmp" >"$readme"
rm -f "$tmp"
say "$readme updated; raw results in $out/"
