#!/usr/bin/env bash
# Runs two builds of the batch tool on the same studies and compares every output byte for byte: the
# overlap CSV and JSON, the fit table, the normalized table, the log (its clock line aside), the 2D
# pictures of the grid points (volumes of every group, the overlap of groups 2 and 1) and the overlap of
# a saved session reopened. Two studies add the measures' columns. Use it before and after a change that must not move a number:
#     bench/same_outputs.sh OLD/tarvik3d-batch NEW/tarvik3d-batch
# Prints one line per study and output, and exits 1 when any differs.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
old="${1:?usage: $0 OLD_BATCH NEW_BATCH}"
new="${2:?usage: $0 OLD_BATCH NEW_BATCH}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
ex="$root/examples"

hb48=()
for v in ae ah aw eh ei er ih iy oa oo uh uw; do
    for g in man woman boy girl; do hb48+=(--group "$v-$g=Vowel:$v;Group:$g"); done
done
hb_roles=(--data "$ex/hillenbrand.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
          --phrase-duration none)
sc_roles=(--data "$ex/stress_context.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
          --phrase-duration PhraseDuration)

declare -A studies
studies[readme]="${sc_roles[*]@Q} --normalize-f1 zscore --normalize-f2 zscore --normalize-duration phrase \
 --group 'i-stressed=Vowel:i;Stress:stressed' --group 'i-unstressed=Vowel:i;Stress:unstressed' --group e=Vowel:e \
 --overlap both"
studies[hb48_2d]="${hb_roles[*]@Q} --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore \
 ${hb48[*]@Q} --overlap 2d --resolution 20"
studies[hb48_3d]="${hb_roles[*]@Q} --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore \
 ${hb48[*]@Q} --overlap 3d --resolution 20"
studies[log_extremes]="${sc_roles[*]@Q} --normalize-f1 log --normalize-f2 extremes --extremes-f2 i,u \
 --normalize-duration zscore --group i=Vowel:i --group 'e=Vowel:e,a' --overlap both --pair 2,1 --resolution 12,10,8"
studies[mirrored]="${sc_roles[*]@Q} --normalize-f1 none --normalize-f2 none --normalize-duration none \
 --group i=Vowel:i --group e=Vowel:e --group u=Vowel:u --orientation mirrored --overlap both"
studies[measures]="${sc_roles[*]@Q} --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore \
 --group i=Vowel:i --group e=Vowel:e --group 'a=Vowel:a;Sex:female' --group o=Vowel:o --overlap both --measures all"
studies[measures_pair]="${sc_roles[*]@Q} --normalize-f1 none --normalize-f2 none --normalize-duration none \
 --group i=Vowel:i --group 'u=Vowel:u;Speaker:f1' --overlap both --pair 2,1 --measures bhattacharyya,euclidean"

status=0
for name in "${!studies[@]}"; do
    for side in old new; do
        dir="$work/$side/$name"
        mkdir -p "$dir"
        tool="$old"; [ "$side" = new ] && tool="$new"
        plots=""
        [ "$name" = hb48_3d ] || plots="--plot volumes --plot-out '$dir/volumes.svg' \
            --plot overlap --plot-groups 2,1 --plot-out '$dir/overlap.svg'"
        eval "\"$tool\" ${studies[$name]} --csv '$dir/overlap.csv' --json '$dir/overlap.json' --fit '$dir/fit.csv' \
            --export-normalized '$dir/normalized.txt' --log '$dir/log.txt' --save-session '$dir/study.tarvik' $plots" \
            >"$dir/stdout.txt" 2>"$dir/stderr.txt"
        echo "exit $?" >>"$dir/stderr.txt"
        # The session goes on in a second run: its overlap again, from the file.
        "$tool" --session "$dir/study.tarvik" --overlap both --csv "$dir/reopened.csv" --log "$dir/log2.txt" \
            >/dev/null 2>>"$dir/stderr.txt"
        sed -i -E 's/[0-9]{1,2}-[A-Za-z]{3}-[0-9]{4} [0-9:]+/TIME/g' "$dir/log.txt" "$dir/log2.txt"
    done
    for f in overlap.csv overlap.json fit.csv normalized.txt log.txt reopened.csv log2.txt stderr.txt \
        $([ "$name" = hb48_3d ] || echo volumes.svg overlap.svg); do
        if cmp -s "$work/old/$name/$f" "$work/new/$name/$f"; then
            echo "$name $f: same ($(wc -c <"$work/new/$name/$f") bytes)"
        else
            echo "$name $f: DIFFERS"
            diff "$work/old/$name/$f" "$work/new/$name/$f" | head -5
            status=1
        fi
    done
done
exit $status
