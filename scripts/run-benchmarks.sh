#!/usr/bin/env bash
# Runs the benchmark programs and writes their figures, with the machine and the date, into
# BENCHMARKS.md.
set -euo pipefail
build=${1:-build/default}
cd "$(dirname "$0")/.."
out=BENCHMARKS.md
raw=$(mktemp)
# The large design runs in a process of its own so that its peak memory is its own.
"$build/bench/simulation_bench" --benchmark_filter='Default|Typical|Scaling' \
  --benchmark_counters_tabular=true | tee "$raw"
"$build/bench/simulation_bench" --benchmark_filter='Large' \
  --benchmark_counters_tabular=true | tee -a "$raw"
{
  echo "# Benchmarks"
  echo
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of"
  echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB."
  echo "Build: \`$build\` (RelWithDebInfo). Times in milliseconds per run; memcpy_ms is one copy of"
  echo "a picture of the same size (the memory-bandwidth reference); peak_rss_mb the process's peak."
  echo
  echo '```'
  grep -v '^\*\*\*' "$raw"
  echo '```'
} > "$out"
rm -f "$raw"
echo "wrote $out"
