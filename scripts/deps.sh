#!/usr/bin/env bash
# Installs the Debian packages Morvel needs, only those that are missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl1.2-dev libsdl-image1.2-dev libsdl-net1.2-dev
  libfreetype-dev libgl-dev libglu1-mesa-dev
  libsndfile1-dev libcairo2-dev
  python3-fonttools fonts-dejavu-core
  xvfb xauth xdotool imagemagick sox netcat-openbsd python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi
