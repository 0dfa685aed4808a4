# Turns the JSON output of veltrin_bench (run with repetitions and
# --benchmark_report_aggregates_only) into the Markdown tables of the README's
# performance section: the medians of every benchmark and how they compare
# with the targets.
#
#   awk -f scripts/perf-table.awk bench.json
#
# Google Benchmark writes one field per line, which is all this relies on.

function value(line) {
  sub(/^[^"]*"[^"]*": */, "", line)
  sub(/,[ \t]*$/, "", line)
  gsub(/"/, "", line)
  return line
}

function field(name, key,    parts, n, i, kv) {
  n = split(name, parts, "/")
  for (i = 2; i <= n; i++) {
    split(parts[i], kv, ":")
    if (kv[1] == key) return kv[2] + 0
  }
  return -1
}

function mega(x) { return x > 0 ? sprintf("%.1f M", x / 1e6) : "-" }
function times(x) { return x > 0 ? sprintf("%.2f", x) : "-" }

/^    \{/ { run = ""; agg = ""; ips = 0; ratio = 0; failed = 0 }
/"run_name":/ { run = value($0) }
/"aggregate_name":/ { agg = value($0) }
/"items_per_second":/ { ips = value($0) + 0 }
/"x_ideal":/ { ratio = value($0) + 0 }
/"error_occurred": true/ { failed = 1 }
/^    \}/ {
  if (agg != "median" || run == "" || failed) next
  family = run
  sub(/\/.*/, "", family)
  d = field(run, "digits")
  c = field(run, "conditions")
  t = field(run, "tolerance")
  key = sprintf("%02d %03d %d", d, c, t)
  if (family == "BatchIdeal" || family == "BatchAide") key = sprintf("%02d", d)
  if (!(key in seen)) {
    seen[key] = 1
    keys[++nkeys] = key
  }
  IPS[family, key] = ips
  RATIO[family, key] = ratio
}

END {
  # Configurations in order: lottery, then conditions, then tolerance.
  for (i = 2; i <= nkeys; i++)
    for (j = i; j > 1 && keys[j - 1] > keys[j]; j--) {
      k = keys[j]; keys[j] = keys[j - 1]; keys[j - 1] = k
    }

  print "Evaluation, bets per second of CPU time (medians). \"÷ ideal\" is the time per bet"
  print "divided by the ideal kernel's, timed alternately in the same iterations."
  print ""
  print "| digits | conditions | tolerance | ideal kernel | exports | exports ÷ ideal | literal | literal ÷ ideal | exports ÷ literal (speed) |"
  print "|---:|---:|:---:|---:|---:|---:|---:|---:|---:|"
  ratioMet = ratioAll = speedMet = speedAll = 0
  for (i = 1; i <= nkeys; i++) {
    k = keys[i]
    if (!(("Ideal", k) in IPS)) continue
    split(k, p, " ")
    ex = IPS["Exports", k]; lit = IPS["Literal", k]
    speedup = (ex > 0 && lit > 0) ? ex / lit : 0
    printf "| %d | %d | %s | %s | %s | %s | %s | %s | %s |\n", p[1], p[2], (p[3] ? "E\\|0-" (p[2] >= 10 ? int(p[2] / 10) : 1) : "none"), \
      mega(IPS["Ideal", k]), mega(ex), times(RATIO["Exports", k]), mega(lit), times(RATIO["Literal", k]), \
      (speedup > 0 ? sprintf("%.0f×", speedup) : "-")
    if (p[2] + 0 >= 10 && RATIO["Exports", k] > 0) {
      ratioAll++
      if (RATIO["Exports", k] <= 1.5) ratioMet++
      else ratioMiss = ratioMiss sprintf(" %d/%d/%s (%.2f)", p[1], p[2], (p[3] ? "tol" : "none"), RATIO["Exports", k])
    }
    if (speedup > 0) {
      speedAll++
      if (speedup >= 50) speedMet++
      else speedMiss = speedMiss sprintf(" %d/%d/%s (%.0f×)", p[1], p[2], (p[3] ? "tol" : "none"), speedup)
    }
  }

  print ""
  print "Batch range assistant, 100 conditions over 100,000 sample bets: sample bets per"
  print "second of CPU time (each scored under all 100 conditions)."
  print ""
  print "| digits | ideal kernel | assistant | assistant ÷ ideal |"
  print "|---:|---:|---:|---:|"
  batchMet = batchAll = 0
  for (i = 1; i <= nkeys; i++) {
    k = keys[i]
    if (!(("BatchAide", k) in IPS)) continue
    printf "| %d | %s | %s | %s |\n", k + 0, mega(IPS["BatchIdeal", k]), mega(IPS["BatchAide", k]), times(RATIO["BatchAide", k])
    batchAll++
    if (RATIO["BatchAide", k] > 0 && RATIO["BatchAide", k] <= 1.5) batchMet++
    else batchMiss = batchMiss sprintf(" %d digits (%.2f)", k + 0, RATIO["BatchAide", k])
  }

  print ""
  print "Targets:"
  print ""
  printf "- exports at most 1.5 × the ideal kernel at 10 and 50 conditions: %d of %d%s\n", ratioMet, ratioAll, (ratioMiss != "" ? "; missed:" ratioMiss : "")
  printf "- exports at least 50 × as fast as the literal implementation: %d of %d%s\n", speedMet, speedAll, (speedMiss != "" ? "; missed:" speedMiss : "")
  printf "- batch assistant at most 1.5 × its ideal kernel: %d of %d%s\n", batchMet, batchAll, (batchMiss != "" ? "; missed:" batchMiss : "")
}
