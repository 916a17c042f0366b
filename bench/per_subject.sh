#!/usr/bin/env bash
# The overlap within each subject in a build's batch tool: time and peak memory.
#     bench/per_subject.sh BUILD [DIMENSION]      (DIMENSION: 2d unless given; 3d or both)
# A synthetic corpus (bench/make_study.py, fixed seed): 200 speakers, 12 vowels, 20 tokens of each vowel
# per speaker, 48,000 tokens, z-scores; the 12 vowels as groups, their 66 pairs in each of the 200
# speakers (13,200 subject-pairs), on one thread. Prints the run without --per-subject (load, normalize,
# fit) and the run with it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD [DIMENSION]}"
dimension="${2:-2d}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/make_study.py" 48000 200 "$work/study.txt"
args=(--data "$work/study.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
      --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore
      --log "$work/log.txt" --threads 1)
for v in iy ih ei eh ae ah aw oa oo uw uh er; do args+=(--group "$v=Vowel:$v"); done
/usr/bin/time -f "up to the fits: %e s, peak %M KB" "$build/apps/tarvik3d-batch" "${args[@]}"
/usr/bin/time -f "$dimension within 200 subjects: %e s, peak %M KB" "$build/apps/tarvik3d-batch" "${args[@]}" \
    --overlap "$dimension" --per-subject --csv "$work/per_subject.csv"
echo "rows: $(($(wc -l <"$work/per_subject.csv") - 1))"
