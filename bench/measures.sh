#!/usr/bin/env bash
# What the measures add to the overlap of every pair, in a build's batch tool:
#     bench/measures.sh BUILD [RUNS]      (RUNS: 5 unless given)
# The 48 Hillenbrand groups (12 vowels x 4 speaker groups, z-scores), 1,128 pairs, 3D and 2D: the run up
# to the fits alone, with the grid overlap at resolution 20, and with the grid overlap and --measures all.
# Prints the median seconds of each, and what the overlap and the measures each add to the first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD [RUNS]}"
runs="${2:-5}"
batch="$build/apps/tarvik3d-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
args=(--data "$root/examples/hillenbrand.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
      --phrase-duration none --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore
      --log "$work/log.txt" --threads 1)
for v in ae ah aw eh ei er ih iy oa oo uh uw; do
    for g in man woman boy girl; do args+=(--group "$v-$g=Vowel:$v;Group:$g"); done
done
median() {
    local times=() t
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f %e -o "$work/time" "$batch" "${args[@]}" "$@" >/dev/null 2>&1
        times+=("$(tail -1 "$work/time")")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'
}
base=$(median)
grid=$(median --overlap both --resolution 20 --csv "$work/o.csv")
both=$(median --overlap both --resolution 20 --measures all --csv "$work/m.csv")
echo "fits only: $base s; with the grid overlap: $grid s; with the grid overlap and every measure: $both s"
awk -v b="$base" -v g="$grid" -v m="$both" \
    'BEGIN {printf "the grid overlap adds %.3f s, the measures add %.3f s\n", g - b, m - g}'
