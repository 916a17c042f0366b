#!/usr/bin/env bash
# Defining and fitting many vowel groups in the batch tool of a build: time and peak memory.
#     [THREADS=N] bench/define_fit.sh BUILD_FOLDER [GROUPS...]   (GROUPS: 200 and 1000 unless given,
#                                                                 multiples of 10; THREADS: --threads)
# The study of GROUPS groups (bench/make_study.py) has GROUPS / 10 speakers with 35 tokens of each vowel;
# its groups are vowel x speaker over 10 vowels, as in bench/all_pairs.sh. The run loads it, normalizes
# F1, F2 and duration by z-score, defines the groups and fits them (no overlap).
# Prints one line per case: groups, tokens, seconds and peak memory of the run, and the seconds of the
# same run without the groups (loading and normalizing alone).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 BUILD_FOLDER [GROUPS...]}"
shift
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(200 1000)
batch="$build/apps/tarvik3d-batch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs the batch tool under /usr/bin/time: its wall-clock seconds in $elapsed, its peak memory in $peak_mb.
timed() {
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$batch" "$@" --log "$work/log.txt" >/dev/null 2>"$work/stderr.txt" ||
        { echo "the batch tool failed:"; cat "$work/stderr.txt"; exit 1; }
    read -r elapsed peak_kb <"$work/time.txt"
    peak_mb=$((peak_kb / 1024))
}

printf "%-7s %-8s %-9s %-9s %s\n" groups tokens seconds "peak MB" "without groups s"
for groups in "${cases[@]}"; do
    speakers=$((groups / 10))
    tokens=$((speakers * 12 * 35))
    python3 "$root/bench/make_study.py" "$tokens" "$speakers" "$work/study.txt"
    base=(${THREADS:+--threads "$THREADS"} --data "$work/study.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration
          --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore)
    group_args=()
    for v in iy ih ei eh ae ah aw oa oo uw; do
        for ((s = 0; s < speakers; s++)); do
            group_args+=(--group "$(printf "%s-s%03d=Vowel:%s;Speaker:s%03d" "$v" "$s" "$v" "$s")")
        done
    done
    timed "${base[@]}" "${group_args[@]}"
    seconds=$elapsed peak=$peak_mb
    timed "${base[@]}"
    printf "%-7s %-8s %-9s %-9s %s\n" "$groups" "$tokens" "$seconds" "$peak" "$elapsed"
done
