#!/usr/bin/env bash
# Installs the Debian packages the build needs (idempotent; as root or through sudo).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev libsqlite3-dev libsodium-dev libpugixml-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool sqlite3
          fonts-dejavu-core poppler-utils
          libx11-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
