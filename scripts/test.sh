#!/bin/sh
# Builds everything and runs every test (unit, CLI and offscreen GUI tests).
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/test.sh --tsan      the whole-log tests under ThreadSanitizer in build-tsan/
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${1:-}" = "--tsan" ]; then
  # The parallel reading and merging under ThreadSanitizer: the whole-log tests only.
  dir=build-tsan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DQUORLET3_TSAN=ON -DQUORLET3_GUI=OFF -DQUORLET3_BENCH=OFF
  cmake --build "$dir" -j"$jobs" --target quorlet3-wholelog-test quorlet3-report
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  "$dir"/tests/wholelog/quorlet3-wholelog-test --gtest_brief=1
  exit 0
fi
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DQUORLET3_SANITIZE=ON -DQUORLET3_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Qt's own libraries are not instrumented; their leaks at exit are not ours.
  export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp"
else
  dir=build
  cmake -S . -B "$dir"
fi
cmake --build "$dir" -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j"$jobs"
