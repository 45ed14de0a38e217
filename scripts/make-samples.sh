#!/usr/bin/env bash
# Writes every sample structure of `warplon-cli new --list` as a design file into a folder: the
# designs the program ships in its "tricot" folder, where its file dialog opens.
#
# Usage: scripts/make-samples.sh WARPLON_CLI OUTPUT_DIR
set -euo pipefail
cli=$1
out=$2
mkdir -p "$out"
names=$("$cli" new --list | awk '{print $1}')
[ -n "$names" ] || { echo "make-samples: no samples listed" >&2; exit 1; }
for sample in $names; do
  "$cli" new --sample "$sample" -o "$out/$sample.trc"
done
