#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its benchmarks need; does nothing when they
# are all present. Needs root (or sudo) only when something is missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config ccache
          qt6-base-dev qt6-svg-dev qt6-multimedia-dev libgl-dev libsqlite3-dev sqlite3
          libcdio-dev libcdio-paranoia-dev libdiscid-dev libbenchmark-dev
          fonts-dejavu-core xvfb xauth poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
