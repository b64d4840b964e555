#!/bin/bash
# Benchmarks: the Google Benchmark suite (loading and every report on full 10000-line
# stores), then the whole-process time of quorlet3-report for each report.
#   scripts/bench.sh [BENCHMARK-OPTIONS...]   e.g. --benchmark_filter=Hosts
# Release build in build-bench/. Uses hyperfine when installed, otherwise a timed loop.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUORLET3_BENCH=ON -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF \
  -DQUORLET3_SANITIZE=OFF >/dev/null
cmake --build "$dir" -j2 --target quorlet3-bench quorlet3-html-bench quorlet3-report quorlet3-samplegen

"$dir/bench/quorlet3-bench" "$@"
"$dir/bench/quorlet3-html-bench" "$@"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
log="$tmp/full.log"
"$dir/tools/quorlet3-samplegen" --lines 10000 --seed 3 --faults --output "$log"
cli="$(pwd)/$dir/cli/quorlet3-report"
# The page name in UTF-8 (command lines of the timing tool must be valid UTF-8).
page=$("$cli" "$log" page-names | head -n 1)

reports=(check contents links browsers hosts keywords "pages name" "pages ranking" "hourly main" "hourly page"
  "daily main" "daily page" "detail main" "detail page" guests share page-names)
# Each report as cp932 bytes (--raw) and as UTF-8 text (the default).
commands=()
for report in "${reports[@]}"; do
  commands+=("$cli --raw $log $report" "$cli $log $report")
done
commands+=("$cli $log page-days $page")

echo
echo "Whole process: quorlet3-report on a generated 10000-line log"
if command -v hyperfine >/dev/null 2>&1; then
  # Its warnings about outliers only say that the machine is shared; other messages stay.
  hyperfine -N --warmup 20 --min-runs 200 --style none --export-markdown "$tmp/cli.md" "${commands[@]}" 2>&1 \
    >/dev/null | grep -v -e 'Statistical outliers' -e '^ *$' >&2 || true
  sed -e "s|$cli --raw $log \([^\`]*\)|\1 (raw)|" -e "s|$cli $log ||" "$tmp/cli.md"
else
  runs=200
  for command in "${commands[@]}"; do
    start=$(date +%s%N)
    for ((i = 0; i < runs; i++)); do
      $command >/dev/null
    done
    end=$(date +%s%N)
    echo "${command#"$cli "}: $(((end - start) / runs / 1000)) us per run (mean of $runs)"
  done
fi
