#!/usr/bin/env bash
# Installs the Debian packages TARVIK3D needs to build, run and test, when any of them is missing, and
# generates the German locale the tests run the batch tool under (it writes decimal commas).
# With arguments, installs those packages instead (the fuzzing script names its own).
set -euo pipefail

packages=("$@")
[ $# -gt 0 ] || packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-charts-dev qt6-datavisualization-dev qt6-declarative-dev qt6-svg-dev
    libqt6opengl6-dev libgl-dev
    nlohmann-json3-dev libcli11-dev libeigen3-dev libboost-math-dev libgtest-dev googletest libbenchmark-dev
    xvfb xauth x11-utils libgl1-mesa-dri imagemagick locales
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# de_DE.UTF-8, once: its line in /etc/locale.gen is uncommented (or added) and locale-gen builds it.
if [ $# -eq 0 ] && ! grep -qix 'de_DE\.utf-\?8' <<<"$(locale -a 2>/dev/null || true)"; then
    echo "Generating the locale de_DE.UTF-8"
    if grep -qE '^#? *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
        $sudo sed -i -E 's/^# *(de_DE\.UTF-8 UTF-8)/\1/' /etc/locale.gen
    else
        echo "de_DE.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen >/dev/null
fi
