#!/usr/bin/env bash
# The bootstrap against the single run it repeats, in a build's batch tool:
#     bench/bootstrap.sh BUILD [B] [RUNS]      (B: 1000, RUNS: 3 unless given)
# The 12 Hillenbrand vowels (z-scores), 66 pairs in 3D at resolution 20: the run up to the fits alone, with
# the overlap, and with the overlap and B replicates on 1 and on 2 threads. Prints the median seconds of
# each, what one replicate costs, and how that compares with the single run's fits and overlap.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD [B] [RUNS]}"
replicates="${2:-1000}"
runs="${3:-3}"
batch="$build/apps/tarvik3d-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
args=(--data "$root/examples/hillenbrand.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
      --phrase-duration none --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore
      --log "$work/log.txt")
for v in ae ah aw eh ei er ih iy oa oo uh uw; do args+=(--group "$v=Vowel:$v"); done
median() {
    local times=() t
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s.%N)
        "$batch" "${args[@]}" "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.4f", b - a}')")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'
}
base=$(median --threads 1)
single=$(median --threads 1 --overlap 3d --resolution 20 --csv "$work/o.csv")
one=$(median --threads 1 --overlap 3d --resolution 20 --bootstrap "$replicates" --csv "$work/b1.csv")
two=$(median --threads 2 --overlap 3d --resolution 20 --bootstrap "$replicates" --csv "$work/b2.csv")
cmp -s "$work/b1.csv" "$work/b2.csv" && same="the same" || same="DIFFERENT"
echo "fits only: $base s; with the 66 pairs: $single s; with $replicates replicates: $one s on 1 thread, $two s on 2 ($same intervals)"
awk -v b="$base" -v s="$single" -v o="$one" -v t="$two" -v n="$replicates" 'BEGIN {
    run = s - b; if (run <= 0) run = s
    printf "one replicate: %.2f ms; the single run (fits to overlap) %.2f ms: %.2f times B x the single run; 2 threads %.2f times faster\n",
        1000 * (o - s) / n, 1000 * run, (o - s) / (n * run), (o - s) / (t - s)
}'
