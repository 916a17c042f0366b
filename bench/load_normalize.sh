#!/usr/bin/env bash
# Loading and normalizing a large study with the batch tool: time and peak memory.
#     bench/load_normalize.sh BUILD [TOKENS]      (TOKENS: 1000000 unless given)
# The study is synthetic (bench/make_study.py, 200 speakers, fixed seed) and made once in a temporary
# folder; the run loads it, maps the six roles and normalizes F1, F2 and duration by z-score.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD [TOKENS]}"
tokens="${2:-1000000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/make_study.py" "$tokens" 200 "$work/study.txt"
/usr/bin/time -f "load and normalize $tokens tokens: %e s, peak %M KB" \
    "$build/apps/tarvik3d-batch" --data "$work/study.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 \
    --duration Duration --phrase-duration PhraseDuration \
    --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore --log "$work/log.txt"
