#!/usr/bin/env bash
# Installs the Debian packages that building and testing Warplon needs, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang clang-format libclang-rt-dev
  xvfb xauth fonts-dejavu-core fonts-nanum
  python3 poppler-utils
  desktop-file-utils shared-mime-info libglib2.0-bin dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
