#!/usr/bin/env bash
# Builds the program and every test with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
# (or $TARVIK_ASAN_BUILD_DIR) and runs the whole test suite with CTest, the GUI tests under xvfb-run as in
# the normal run. Any memory error, undefined behaviour or leak fails its test. The last line is CTest's
# summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_ASAN_BUILD_DIR:-$root/build-asan}"
"$root/scripts/setup-debian.sh"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Whatever runs on the X server (the GUI tests, and the batch tool's 3D plots, which the batch tests
# start under xvfb-run) goes through a wrapper that turns leak detection off for that process alone: the
# Mesa driver that draws the 3D graphs is unloaded before LeakSanitizer reports, so the memory it keeps
# shows up as leaks without a library name, which no suppression can tell from ours. Memory errors and
# undefined behaviour are still caught there, and every other process is checked for leaks.
wrappers="$build/sanitizer-bin"
mkdir -p "$wrappers"
xvfb_wrapper=()
if xvfb=$(command -v xvfb-run); then
    cat >"$wrappers/xvfb-run" <<WRAPPER
#!/bin/sh
ASAN_OPTIONS="\${ASAN_OPTIONS:+\$ASAN_OPTIONS:}detect_leaks=0" exec "$xvfb" "\$@"
WRAPPER
    chmod +x "$wrappers/xvfb-run"
    xvfb_wrapper=(-DXVFB_RUN="$wrappers/xvfb-run")
fi
# Debug with assertions, optimised lightly (-O1): the JSON and string code of the tests runs ten times
# slower without any optimisation, and -O1 keeps the reports' lines exact enough.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DTARVIK_SANITIZE=ON -DTARVIK_BUILD_BENCHMARKS=OFF "${xvfb_wrapper[@]}" "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

export PATH="$wrappers:$PATH"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --timeout 1800 -j 2
