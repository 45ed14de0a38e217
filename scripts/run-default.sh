#!/usr/bin/env bash
# Until the desktop program exists: write the default design and print its run-in report.
set -euo pipefail
build=${1:-build/default}
cli="$build/cli/warplon-cli"
out="$build/default.trc"
"$cli" new -o "$out"
"$cli" runin "$out"
