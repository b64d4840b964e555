#!/bin/sh
# Runs a libFuzzer target for a given time, one process at low priority.
#   scripts/fuzz.sh [log|allreports|cp932|state] [SECONDS]   fuzz (default: log, 600 s);
#                                           allreports takes the log seeds
#   scripts/fuzz.sh --merge [log|cp932]     minimise the committed seed corpus with
#                                           what the runs found
#   scripts/fuzz.sh --coverage [log|cp932]  the project's source lines and branches the
#                                           seeds and the runs' corpus reach
# Builds build-fuzz/ with Clang, libFuzzer, ASan and UBSan. Each run starts from the
# committed seed corpus fuzz/corpus/TARGET, keeps what it finds in
# build-fuzz/corpus/TARGET, and prints libFuzzer's figures. A log input is one byte
# choosing the check, then the log (see fuzz/LogHarness.h). A crash or broken property
# is written to build-fuzz/findings/TARGET/; replay it with
#   build-fuzz/fuzz/quorlet3-fuzz-TARGET FILE
# and, once fixed, store it where the FuzzReplay test replays it with every check:
#   tail -c +2 FILE > tests/fuzz/inputs/NAME.log     (log: without the choosing byte)
#   cp FILE fuzz/corpus/cp932/NAME                    (cp932: a seed like the others)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
dir="$root/build-fuzz"

mode=fuzz
case "${1:-}" in
  --merge) mode=merge; shift ;;
  --coverage) mode=coverage; shift ;;
esac
target=${1:-log}
seconds=${2:-600}
case "$target" in
  log | allreports) max_len=16384 ;;
  cp932) max_len=4096 ;;
  state) max_len=65536 ;;
  *) echo "usage: $0 [--merge|--coverage] [log|allreports|cp932|state] [SECONDS]" >&2; exit 2 ;;
esac

if [ "$mode" = coverage ]; then
  # The same target built with source coverage instead of fuzzing feedback, run once
  # over every input (-runs=0), then summarised for the project's code.
  cov="$root/build-fuzzcov"
  CC=clang CXX=clang++ cmake -S "$root" -B "$cov" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLET3_LIBFUZZER=ON \
    -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" \
    -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF -DQUORLET3_BENCH=OFF >/dev/null
  nice -n 10 cmake --build "$cov" -j2 --target "quorlet3-fuzz-$target"
  profile="$cov/$target.profraw"
  rm -f "$profile"
  mkdir -p "$dir/corpus/$target"
  LLVM_PROFILE_FILE="$profile" ASAN_OPTIONS=detect_leaks=0 \
    "$cov/fuzz/quorlet3-fuzz-$target" -runs=0 -max_len="$max_len" "$dir/corpus/$target" "$root/fuzz/corpus/$target" \
    >"$cov/$target.log" 2>&1 || { tail -n 20 "$cov/$target.log" >&2; exit 1; }
  llvm-profdata merge -sparse "$profile" -o "$cov/$target.profdata"
  llvm-cov report "$cov/fuzz/quorlet3-fuzz-$target" -instr-profile="$cov/$target.profdata" \
    -ignore-filename-regex='^/usr/|/fuzz/|/tests/|/tools/|/build-'
  exit 0
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLET3_LIBFUZZER=ON \
  -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF -DQUORLET3_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$dir" -j2 --target "quorlet3-fuzz-$target"
fuzzer="$dir/fuzz/quorlet3-fuzz-$target"

seeds="$root/fuzz/corpus/$target"
[ "$target" = allreports ] && seeds="$root/fuzz/corpus/log"  # the same logs, other checks
work="$dir/corpus/$target"
findings="$dir/findings/$target"
mkdir -p "$seeds" "$work" "$findings"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1

if [ "$mode" = merge ]; then
  # Keep the smallest set of seeds that reaches every edge the committed ones and every
  # run so far reach (edges only, not hit counts, so that the set stays small).
  fresh="$dir/corpus/$target.merged"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  "$fuzzer" -merge=1 -use_counters=0 -max_len="$max_len" "$fresh" "$seeds" "$work"
  rm -f "$seeds"/*
  cp "$fresh"/* "$seeds"/
  echo "fuzz/corpus/$target: $(ls "$seeds" | wc -l) files, $(du -sk "$seeds" | cut -f1) KB"
  exit 0
fi

dict=""
if [ "$target" = log ] || [ "$target" = allreports ]; then
  dict="-dict=$root/fuzz/quorlet3.dict"
fi
# Slow inputs (a whole HTML page, a file loaded again) get less of the fuzzer's time
# than fast ones, so a run does several thousand executions a second.
# shellcheck disable=SC2086
nice -n 10 "$fuzzer" $dict -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
  -entropic_scale_per_exec_time=1 -print_final_stats=1 -artifact_prefix="$findings/" "$work" "$seeds"
