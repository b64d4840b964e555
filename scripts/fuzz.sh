#!/bin/sh
# Runs a libFuzzer target for a given time, one process at low priority.
#   scripts/fuzz.sh [log|cp932] [SECONDS]   fuzz (default: log, 600 s)
#   scripts/fuzz.sh --merge [log|cp932]     minimise the committed seed corpus with
#                                           what the runs found
# Builds build-fuzz/ with Clang, libFuzzer, ASan and UBSan. Each run starts from the
# committed seed corpus fuzz/corpus/TARGET and the stored findings, keeps what it finds
# in build-fuzz/corpus/TARGET, and prints libFuzzer's figures. A crash or broken
# property is written to build-fuzz/findings/TARGET/; replay it with
#   build-fuzz/fuzz/quorlet3-fuzz-TARGET FILE
# and, once fixed, store it in tests/fuzz/inputs/ (log) or tests/fuzz/cp932-inputs/,
# where the FuzzReplay test replays it.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
dir="$root/build-fuzz"

merge=no
if [ "${1:-}" = "--merge" ]; then
  merge=yes
  shift
fi
target=${1:-log}
seconds=${2:-600}
case "$target" in
  log) stored="$root/tests/fuzz/inputs"; max_len=16384 ;;
  cp932) stored="$root/tests/fuzz/cp932-inputs"; max_len=4096 ;;
  *) echo "usage: $0 [--merge] [log|cp932] [SECONDS]" >&2; exit 2 ;;
esac

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLET3_LIBFUZZER=ON \
  -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF -DQUORLET3_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$dir" -j2 --target "quorlet3-fuzz-$target"
fuzzer="$dir/fuzz/quorlet3-fuzz-$target"

seeds="$root/fuzz/corpus/$target"
work="$dir/corpus/$target"
findings="$dir/findings/$target"
mkdir -p "$seeds" "$work" "$findings"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1

if [ "$merge" = yes ]; then
  # Keep the smallest set of seeds that covers what the committed ones and every run
  # so far cover.
  fresh="$dir/corpus/$target.merged"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  "$fuzzer" -merge=1 -max_len="$max_len" "$fresh" "$seeds" "$stored" "$work"
  rm -f "$seeds"/*
  cp "$fresh"/* "$seeds"/
  echo "fuzz/corpus/$target: $(ls "$seeds" | wc -l) files, $(du -sk "$seeds" | cut -f1) KB"
  exit 0
fi

dict=""
if [ "$target" = log ]; then
  dict="-dict=$root/fuzz/quorlet3.dict"
fi
# shellcheck disable=SC2086
nice -n 10 "$fuzzer" $dict -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$findings/" "$work" "$seeds" "$stored"
