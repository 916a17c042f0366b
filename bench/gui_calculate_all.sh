#!/usr/bin/env bash
# The window's "calculate all group overlaps" over the 48 Hillenbrand groups, in 2D and 3D, timed in the
# real window of a build:   xvfb-run -a bench/gui_calculate_all.sh BUILD_FOLDER
# Prints "2D <seconds> s" and "3D <seconds> s". The same work in the batch tool: tarvik3d-batch with the
# 48 --group options, --overlap 2d or 3d and --resolution 20 (README, "The batch tool").
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD_FOLDER}"
exec "$build/bench/tarvik_gui_bench" "$root/examples"
