#!/usr/bin/env bash
# Installs every Debian package the project needs. Cheap when everything is already there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config clang-format
    clang libclang-rt-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libpugixml-dev libsqlite3-dev libpq-dev libxlsxwriter-dev unzip
    postgresql
    fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "setup-deps: installing ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
