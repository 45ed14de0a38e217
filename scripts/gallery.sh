#!/usr/bin/env bash
# Renders every sample structure into build/gallery: face and back view, and for the samples
# that suit them a spandex effect and a sheared finish.
set -euo pipefail
build=${1:-build/default}
cli="$build/cli/warplon-cli"
out=build/gallery
mkdir -p "$out"
for sample in $("$cli" new --list | awk '{print $1}'); do
  "$cli" simulate --sample "$sample" -o "$out/$sample-face.png" --view 400x400
  "$cli" simulate --sample "$sample" -o "$out/$sample-back.png" --view 400x400 --back
done
"$cli" simulate --sample power-net -o "$out/power-net-solid.png" --view 400x400 --effect solid
"$cli" simulate --sample power-net -o "$out/power-net-wave.png" --view 400x400 --effect wave
"$cli" simulate --sample sharkskin -o "$out/sharkskin-sheared.png" --view 400x400 --treatment shear
"$cli" simulate --sample locknit -o "$out/locknit-raised.png" --view 400x400 --treatment raise
ls "$out"
