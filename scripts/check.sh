#!/bin/sh
# The house-keeping gates CI runs after the tests:
#   1. every C++ file is formatted as .clang-format says;
#   2. a Clang build of everything with the strict warning set as errors (QUORLET3_STRICT),
#      whose tests must pass as well, so the tree keeps building and working with Clang;
#   3. the clang-tidy checks of .clang-tidy over the production code, the tools, the
#      benchmarks and the fuzz targets (the tests' assertion macros only add noise).
# Needs clang, clang-format and clang-tidy (Debian's, version 14); .ci/run installs them.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== strict Clang build"
dir=build-clang
CC=clang CXX=clang++ cmake -S . -B "$dir" -DQUORLET3_STRICT=ON -DQUORLET3_BENCH=ON \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$dir" -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j"$jobs"

echo "== clang-tidy"
sources=$(git ls-files '*.cpp' | grep -v '^tests/')
run-clang-tidy -p "$dir" -quiet -j "$jobs" $(for f in $sources; do printf '%s/%s ' "$(pwd)" "$f"; done) \
  >"$dir/clang-tidy.log" 2>&1 || { grep -E 'warning:|error:' "$dir/clang-tidy.log"; exit 1; }
echo "clang-tidy: no findings in $(echo "$sources" | wc -w) files"
