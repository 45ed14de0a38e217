#!/usr/bin/env bash
# Runs the benchmark programs (the simulation engine and the live simulation) and writes their
# figures, with the machine and the date, into BENCHMARKS.md.
set -euo pipefail
build=${1:-build/default}
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench="$build/bench/simulation_bench"
"$bench" --benchmark_filter='Default|Typical|Scaling' --benchmark_out="$work/main.json" \
  --benchmark_out_format=json
# The large design runs in a process of its own so that its peak memory is its own.
"$bench" --benchmark_filter='Large' --benchmark_out="$work/large.json" --benchmark_out_format=json
# The live simulation: click to picture, zoom and colour changes on the kept model.
"$build/bench/live_bench" --benchmark_out="$work/live.json" --benchmark_out_format=json
{
  echo "# Benchmarks"
  echo
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of"
  echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB,"
  echo "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo "Build: \`$build\` (RelWithDebInfo). Made by \`make bench\`."
  echo
  python3 scripts/benchmark-report.py "$work/main.json" "$work/large.json" --live "$work/live.json"
} > BENCHMARKS.md
echo "wrote BENCHMARKS.md"
