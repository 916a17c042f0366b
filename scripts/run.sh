#!/usr/bin/env bash
# Installs what is missing, builds, and starts TARVIK3D. Arguments go to the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh"
exec "${TARVIK_BUILD_DIR:-$root/build}/apps/tarvik3d" "$@"
