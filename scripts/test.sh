#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. The last line is CTest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_BUILD_DIR:-$root/build}"
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure --timeout 900 -j 2
