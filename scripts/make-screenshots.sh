#!/usr/bin/env bash
# Makes the README's pictures: the end-to-end test drives the real window through the four steps on
# examples/stress_context.txt and saves each step and each plot, the plot guide test draws the twelve
# vowels of examples/hillenbrand.txt, and the Help window's test saves its window on the page of step 3;
# this copies the pictures to docs/images.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/tarvik_qt_tests" --gtest_filter='EndToEnd*:PlotGuide*:HelpKey*'
mkdir -p "$root/docs/images"
for f in "$build"/screenshot_guide_*.png "$build"/plot_guide_*.png "$build"/plot_2d_12_vowels.png \
    "$build"/plot_3d.png "$build"/help_window_*.png; do
    cp "$f" "$root/docs/images/"
done
ls "$root/docs/images"
