#!/usr/bin/env bash
# Builds the libFuzzer programs with clang and runs each reader for a while (FUZZ_SECONDS, 60 by
# default), starting from a few files the command-line tool writes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset default >/dev/null && cmake --build --preset default -j "$(nproc)" --target warplon-cli
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)"
corpus=build/fuzz/corpus
mkdir -p "$corpus"/{design,document,picture,yarn,cost}
for sample in $(build/default/cli/warplon-cli new --list | awk '{print $1}'); do
  build/default/cli/warplon-cli new --sample "$sample" -o "$corpus/design/$sample.trc"
done
for reader in design document picture yarn cost; do
  echo "fuzzing the $reader reader for ${seconds}s"
  build/fuzz/fuzz/fuzz_$reader "$corpus/$reader" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=65536 2>&1 | tail -n 2
done
