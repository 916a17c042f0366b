#!/usr/bin/env bash
# The overlap of every pair of a synthetic study in the batch tool of a build, with its time and peak memory:
#     bench/all_pairs.sh BUILD_FOLDER [CASE...]
# A case is GROUPS:RESOLUTION:THREADS (3D overlap; threads 0 leaves out --threads, for builds before
# it); the default cases are 48, 100 and 200 groups at resolution 20 and 20 groups at resolution 200,
# each on 1 and 2 threads. The study (bench/make_study.py: 20 speakers, 35 tokens of each vowel per
# speaker) is the same for every case; its groups are vowel x speaker (12 x 4 for 48 groups, 10 x N/10
# otherwise). Beside each run, the build's bench/tarvik_pairs_kernel times the least work that gives the
# same counts: the grid walk of every pair, counting only, on one thread, over the groups' fits saved
# by the same batch tool.
# Prints one line per case: groups, resolution, threads, pairs, seconds and peak memory of the batch run,
# the seconds of the same run without the overlap (up to the fits, which the kernel reads), and the
# kernel's seconds.
# The batch command of a case, its study written to a temporary folder that is kept:
#     bench/all_pairs.sh --command BUILD_FOLDER CASE
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
print_only=0
if [ "${1:-}" = "--command" ]; then
    print_only=1
    shift
fi
build="${1:?usage: $0 [--command] BUILD_FOLDER [GROUPS:RESOLUTION:THREADS...]}"
shift
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(48:20:1 48:20:2 100:20:1 100:20:2 200:20:1 200:20:2 20:200:1 20:200:2)
batch="$build/apps/tarvik3d-batch"
kernel="$build/bench/tarvik_pairs_kernel"
work="$(mktemp -d)"
[ $print_only = 1 ] || trap 'rm -rf "$work"' EXIT

data="$work/study.txt"
python3 "$root/bench/make_study.py" 8400 20 "$data"

# The batch arguments of a study of GROUPS groups, up to its fits.
study_args() {
    local groups=$1 vowels speakers v s
    if [ "$groups" = 48 ]; then
        vowels=(iy ih ei eh ae ah aw oa oo uw uh er)
        speakers=4
    else
        vowels=(iy ih ei eh ae ah aw oa oo uw)
        speakers=$((groups / 10))
    fi
    echo --data "$data" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration \
        --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore
    for v in "${vowels[@]}"; do
        for ((s = 0; s < speakers; s++)); do
            printf -- "--group %s-s%03d=Vowel:%s;Speaker:s%03d\n" "$v" "$s" "$v" "$s"
        done
    done
}

# The batch arguments of one case; threads 0 leaves the default (every core).
case_args() {
    local groups=$1 resolution=$2 threads=$3
    study_args "$groups"
    echo --overlap 3d --resolution "$resolution" --csv "$work/overlap.csv" --log "$work/log.txt"
    [ "$threads" = 0 ] || echo --threads "$threads"
}

# Runs a command under /usr/bin/time: its wall-clock seconds in $elapsed, its peak memory in $peak_mb.
timed() {
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" ||
        { echo "$c: the batch tool failed:"; cat "$work/stderr.txt"; exit 1; }
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt" |
        awk -F: '{ t = 0; for (i = 1; i <= NF; i++) t = t * 60 + $i; printf "%.2f", t }')
    peak_mb=$(awk '/Maximum resident set size/ { printf "%.0f", $NF / 1024 }' "$work/time.txt")
}

if [ $print_only = 1 ]; then
    IFS=: read -r groups resolution threads <<<"${cases[0]}"
    mapfile -t args < <(case_args "$groups" "$resolution" "$threads" | tr ' ' '\n')
    printf '%q ' "$batch" "${args[@]}"
    echo
    exit 0
fi

printf "%-7s %-11s %-8s %-7s %-9s %-9s %-9s %s\n" groups resolution threads pairs seconds "peak MB" "fits s" \
    "kernel s"
for c in "${cases[@]}"; do
    IFS=: read -r groups resolution threads <<<"$c"
    mapfile -t args < <(case_args "$groups" "$resolution" "$threads" | tr ' ' '\n')
    timed "$batch" "${args[@]}"
    seconds=$elapsed peak=$peak_mb
    pairs=$(($(wc -l <"$work/overlap.csv") - 1))
    mapfile -t fit < <(study_args "$groups" | tr ' ' '\n')
    timed "$batch" "${fit[@]}" --log "$work/fit_log.txt"
    kernel_seconds="-"
    if [ -x "$kernel" ]; then
        "$batch" "${fit[@]}" --log "$work/fit_log.txt" --save-session "$work/fits.tarvik" >/dev/null
        kernel_seconds=$("$kernel" "$work/fits.tarvik" "$resolution" | awk '{ printf "%.2f", $NF }')
    fi
    printf "%-7s %-11s %-8s %-7s %-9s %-9s %-9s %s\n" "$groups" "$resolution" "$threads" "$pairs" "$seconds" "$peak" \
        "$elapsed" "$kernel_seconds"
done
