#!/usr/bin/env bash
# Session files of a build's batch tool: size, save and reopening time, peak memory.
#     bench/sessions.sh BUILD [TOKENS]      (TOKENS: 200000 unless given)
# 1. The 48 Hillenbrand groups (12 vowels x 4 speaker groups, z-scores) with both overlaps at resolution
#    20, saved: the file's size.
# 2. A synthetic study of TOKENS tokens (bench/make_study.py, 200 speakers, fixed seed, z-scores, three
#    groups fitted, both overlaps) saved, then reopened with its fits written: size, and the time and
#    peak memory of each run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD [TOKENS]}"
tokens="${2:-200000}"
batch="$build/apps/tarvik3d-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
size() { echo "$(($(stat -c %s "$1") / 1024)) KB"; }

groups=()
for v in ae ah aw eh ei er ih iy oa oo uh uw; do
    for g in man woman boy girl; do groups+=(--group "$v-$g=Vowel:$v;Group:$g"); done
done
"$batch" --data "$root/examples/hillenbrand.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 \
    --duration Duration --phrase-duration none --normalize-f1 zscore --normalize-f2 zscore \
    --normalize-duration zscore "${groups[@]}" --overlap both --resolution 20 --log "$work/hb.log" \
    --save-session "$work/hb48.tarvik"
echo "48 groups, both overlaps: session $(size "$work/hb48.tarvik")"

python3 "$root/bench/make_study.py" "$tokens" 200 "$work/study.txt"
/usr/bin/time -f "$tokens tokens, saved: %e s, peak %M KB" \
    "$batch" --data "$work/study.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration \
    --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore \
    --group iy=Vowel:iy --group ae=Vowel:ae --group uw=Vowel:uw --overlap both --log "$work/big.log" \
    --save-session "$work/big.tarvik"
echo "$tokens tokens: session $(size "$work/big.tarvik")"
/usr/bin/time -f "$tokens tokens, reopened: %e s, peak %M KB" \
    "$batch" --session "$work/big.tarvik" --log "$work/big2.log" --fit "$work/fit.csv"
