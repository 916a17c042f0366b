#!/usr/bin/env bash
# Installs the Debian packages TARVIK3D needs to build, run and test, when any of them is missing.
# With arguments, installs those packages instead (the fuzzing script names its own).
set -euo pipefail

packages=("$@")
[ $# -gt 0 ] || packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-charts-dev qt6-datavisualization-dev qt6-declarative-dev qt6-svg-dev
    libqt6opengl6-dev libgl-dev
    nlohmann-json3-dev libgtest-dev googletest libbenchmark-dev
    xvfb xauth x11-utils libgl1-mesa-dri imagemagick
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
