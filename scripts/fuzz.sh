#!/bin/sh
# Fuzzes the loader and every report with afl++ for a given time.
#   scripts/fuzz.sh [SECONDS]           fresh run (default 1800 s), seeds from the generator
#   scripts/fuzz.sh --resume [SECONDS]  continue the last run's queue
# Builds build-fuzz/ with afl-g++-fast and AddressSanitizer + UBSan, runs ONE afl-fuzz
# instance at low priority, and prints its statistics. Findings land in
# build-fuzz/fuzz-out/default/{crashes,hangs}; replay one with
#   build-fuzz/fuzz/quorlet3-fuzz FILE
# and store it in tests/fuzz/inputs/ once the fault is fixed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
dir="$root/build-fuzz"
resume=no
if [ "${1:-}" = "--resume" ]; then
  resume=yes
  shift
fi
seconds=${1:-1800}
mkdir -p "$dir"

# afl-g++-fast refuses to work when its GCC plugin was built for another package
# revision of the same GCC; then go through the stand-in loader.
probe="$dir/afl-probe"
mkdir -p "$probe"
echo 'int main() { return 0; }' >"$probe/probe.cpp"
if ! afl-g++-fast "$probe/probe.cpp" -o "$probe/probe" >"$probe/log" 2>&1; then
  if grep -q "incompatible versions" "$probe/log"; then
    shim="$dir/afl-path"
    mkdir -p "$shim"
    for f in /usr/lib/afl/*; do
      ln -sf "$f" "$shim/$(basename "$f")"
    done
    rm -f "$shim/afl-gcc-pass.so"
    gcc -shared -fPIC -O2 "$root/scripts/afl-gcc-plugin-shim.c" -o "$shim/afl-gcc-pass.so" -ldl
    export AFL_PATH="$shim"
    afl-g++-fast "$probe/probe.cpp" -o "$probe/probe"
  else
    cat "$probe/log" >&2
    exit 1
  fi
fi

CC=afl-gcc-fast CXX=afl-g++-fast cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORLET3_FUZZ=ON -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF -DQUORLET3_BENCH=OFF -DQUORLET3_SANITIZE=ON >/dev/null
nice -n 10 cmake --build "$dir" -j2 --target quorlet3-fuzz quorlet3-samplegen

out="$dir/fuzz-out"
if [ "$resume" = yes ] && [ -d "$out/default/queue" ]; then
  input=-
else
  # Small generated logs of both record kinds, with and without faults, plus every
  # stored regression input.
  input="$dir/fuzz-seeds"
  rm -rf "$input" "$out"
  mkdir -p "$input"
  n=0
  for lines in 5 12 25 60 150; do
    for seed in 1 2; do
      n=$((n + 1))
      "$dir/tools/quorlet3-samplegen" --lines "$lines" --seed "$seed" --output "$input/gen-$n.log"
      n=$((n + 1))
      "$dir/tools/quorlet3-samplegen" --lines "$lines" --seed "$seed" --faults --output "$input/gen-$n.log"
    done
  done
  cp "$root"/tests/fuzz/inputs/* "$input/"
fi

export AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
nice -n 10 afl-fuzz -i "$input" -o "$out" -x "$root/fuzz/quorlet3.dict" -m none -t 2000 -V "$seconds" \
  -- "$dir/fuzz/quorlet3-fuzz"

stats="$out/default/fuzzer_stats"
grep -E '^(run_time|execs_done|execs_per_sec|corpus_count|bitmap_cvg|edges_found|total_edges|saved_crashes|saved_hangs) ' "$stats"
