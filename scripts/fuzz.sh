#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS, one after the other:
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      (default 60 seconds; TARGET data_file, session_file,
#                                               batch_options; default all three)
#
# Each target starts from seeds made from tests/data and goes on from the corpus of earlier runs
# (build-fuzz/corpus/). The script prints every target's executions and result, and exits non-zero when
# a target finds a crash, a leak or a hang; the input that did it is kept in build-fuzz/artifacts/.
# Installs clang and its runtime libraries (libFuzzer, the sanitizers) when they are missing.
# TARVIK_FUZZ_BUILD_DIR chooses another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(data_file session_file batch_options)
case "$seconds" in
'' | *[!0-9]*)
    echo "usage: $0 [SECONDS] [data_file|session_file|batch_options]..." >&2
    exit 2
    ;;
esac

# clang, and libclang-rt-dev for libclang_rt.fuzzer; the rest is what the library needs to build.
"$root/scripts/setup-debian.sh" clang libclang-rt-dev cmake ninja-build nlohmann-json3-dev libcli11-dev

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTARVIK_FUZZ=ON -DTARVIK_BUILD_GUI=OFF -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCHMARKS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target tarvik3d-batch $(printf 'fuzz_%s ' "${targets[@]}")

# Seeds, made afresh from tests/data at every run.
data="$root/tests/data"
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/data_file" "$seeds/session_file" "$seeds/batch_options"

# Data files, each behind the six bytes that map the roles to its first six columns.
for f in "$data"/*.txt; do
    { printf '\002\003\004\005\006\001'; cat "$f"; } >"$seeds/data_file/$(basename "$f")"
done

# Sessions at each step, saved by the batch tool from the test study.
batch="$build/apps/tarvik3d-batch"
roles=(--data "$data/wiz_vowels.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2)
groups=(--group 'i=Vowel:i' --group 'a=Vowel:a' --group 'u=Vowel:u')
export ASAN_OPTIONS=detect_leaks=0
"$batch" --log "$seeds/mapped.log" "${roles[@]}" --duration none --phrase-duration none \
    --save-session "$seeds/session_file/mapped.tarvik"
"$batch" --log "$seeds/normalized.log" "${roles[@]}" --duration Dur --phrase-duration Phrase --normalize-f1 zscore \
    --normalize-f2 log --normalize-duration phrase --save-session "$seeds/session_file/normalized.tarvik"
"$batch" --log "$seeds/overlap.log" "${roles[@]}" --duration Dur --phrase-duration Phrase --normalize-f1 none \
    --normalize-f2 none --normalize-duration none "${groups[@]}" --overlap both --resolution 4 \
    --save-session "$seeds/session_file/overlap.tarvik"
unset ASAN_OPTIONS

# Command lines, one argument per NUL-separated piece.
args() { printf '%s\0' "$@" | head -c -1; }
args --help >"$seeds/batch_options/help"
args --data "$data/wiz_vowels.txt" --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Dur \
    --phrase-duration none --normalize-f1 extremes --extremes-f1 i,a --normalize-f2 zscore \
    --normalize-duration zscore >"$seeds/batch_options/normalize"
args --session s.tarvik --group 'front=Vowel:i,e;Group:man' --group 'back=Vowel:a' --overlap 3d --pair 1,2 \
    --resolution 10,20,30 --csv o.csv --json o.json --log l.txt >"$seeds/batch_options/overlap"
args --session s.tarvik --plot overlap --plot-dim 3d --plot-groups 1,2 --plot-out p.png --plot original \
    --plot-groups all --plot-out q.svg --save-session t.tarvik >"$seeds/batch_options/plots"

status=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    artifacts="$build/artifacts/$t/"
    mkdir -p "$corpus" "$artifacts"
    dict=()
    [ -f "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
    log="$build/fuzz_$t.log"
    echo "== fuzz_$t: $seconds s"
    set +e
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=131072 \
        -print_final_stats=1 -artifact_prefix="$artifacts" "${dict[@]}" "$corpus" "$seeds/$t" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$rc" -eq 0 ]; then
        echo "fuzz_$t: ${runs:-?} executions in $seconds s, no crash, leak or hang"
    else
        status=1
        echo "fuzz_$t: FAILED after ${runs:-?} executions (exit $rc); the input is in $artifacts"
        grep -E "^(==[0-9]+==ERROR|SUMMARY|.*expected |.*deadly signal|.*-timeout)" "$log" | head -n 5 || true
        echo "(full output: $log)"
    fi
done
exit $status
