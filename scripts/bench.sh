#!/bin/bash
# Benchmarks: the Google Benchmark suite (loading and every report on full 10000-line
# stores), then the whole-process time of quorlet3-report for each report, then every
# report in one run (--format json LOG all) side by side with GoAccess on the same
# accesses and with a process that only reads the log.
#   scripts/bench.sh [BENCHMARK-OPTIONS...]   e.g. --benchmark_filter=Hosts
#   scripts/bench.sh --side-by-side           only the last part
#   scripts/bench.sh --whole                  whole-log runs: a 1 GB log against wc -l,
#                                             a 2-million-line log against GoAccess
# Release build in build-bench/. hyperfine and goaccess are installed with apt-get when
# missing and run as root; otherwise the timing falls back to a loop and the side by side
# is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUORLET3_BENCH=ON -DQUORLET3_GUI=OFF -DQUORLET3_TESTS=OFF \
  -DQUORLET3_SANITIZE=OFF >/dev/null
cmake --build "$dir" -j2 --target quorlet3-bench quorlet3-html-bench quorlet3-report quorlet3-samplegen quorlet3-tocombined

# Bench-only tools: installed here rather than by install-deps.sh.
missing=()
for tool in hyperfine goaccess; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null || echo "Could not install ${missing[*]}" >&2
  else
    echo "Not installed: ${missing[*]} (apt-get install ${missing[*]} as root to run every benchmark)" >&2
  fi
fi

# Whole-log runs: a 1 GB log against wc -l on the same file (1 and 2 threads, peak memory,
# the same log through a pipe), and a 2-million-line log against GoAccess.
if [ "${1:-}" = "--whole" ]; then
  command -v goaccess >/dev/null 2>&1 || { echo "Needs goaccess." >&2; exit 1; }
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  # Named for the generator's second layout (dates in file order), so older copies are not reused.
  big=${QUORLET3_BENCH_DIR:-/tmp}/quorlet3-bench-36M-r2.log
  mid=${QUORLET3_BENCH_DIR:-/tmp}/quorlet3-bench-2M-r2.log
  [ -s "$big" ] || "$dir/tools/quorlet3-samplegen" --lines 36000000 --seed 7 --output "$big"
  [ -s "$mid" ] || "$dir/tools/quorlet3-samplegen" --lines 2000000 --seed 7 --output "$mid"
  cli="$(pwd)/$dir/cli/quorlet3-report"
  echo "load average $(cut -d ' ' -f 1-3 /proc/loadavg) on $(nproc) cores; $(wc -c <"$big") bytes"
  cat "$big" >/dev/null  # page cache warm
  best() {  # the best of three wall times of a command, and its peak RSS
    local t m best_t=999999 best_m=0
    for _ in 1 2 3; do
      read -r t m < <({ /usr/bin/time -f "%e %M" "$@" >/dev/null; } 2>&1 | tail -n 1)
      if awk -v a="$t" -v b="$best_t" 'BEGIN { exit !(a < b) }'; then best_t=$t; best_m=$m; fi
    done
    echo "$best_t $best_m"
  }
  printf "%-52s %8s %10s\n" command "wall s" "peak MB"
  read -r wc_t wc_m < <(best wc -l "$big")
  printf "%-52s %8s %10d\n" "wc -l LOG" "$wc_t" $((wc_m / 1024))
  # Targets: every report in one run at most 3 x wc -l, each report alone at most 2 x,
  # and none above 64 MB of peak memory.
  verdict() {  # wall, peak KB, most times wc -l
    awk -v t="$1" -v m="$2" -v w="$wc_t" -v most="$3" 'BEGIN {
      printf "%.2fx wc -l  %s\n", t / w, (t <= most * w && m <= 64 * 1024) ? "met" : "MISSED" }'
  }
  for jobs in 1 2; do
    read -r t m < <(best "$cli" --whole --jobs $jobs --format json "$big" all)
    printf "%-52s %8s %10d  %s\n" "--whole --jobs $jobs --format json LOG all" "$t" $((m / 1024)) \
      "$(verdict "$t" "$m" 3)"
    [ $jobs = 2 ] && file_t=$t
  done
  # Each report alone (the contents listing writes every line and is left out).
  while read -r report; do
    [ "$report" = contents ] && continue
    # shellcheck disable=SC2086 # the report's words are separate arguments
    read -r t m < <(best "$cli" --whole --format json "$big" $report)
    printf "%-52s %8s %10d  %s\n" "--whole --format json LOG $report" "$t" $((m / 1024)) "$(verdict "$t" "$m" 2)"
  done < <("$cli" --list-reports)
  # A month of the log found by binary search: 10000 lines of it, and all of it.
  read -r t m < <(best "$cli" --since 2001-03-01 --until 2001-03-31 --raw "$big" hourly main)
  printf "%-52s %8s %10d\n" "--since 2001-03-01 --until 2001-03-31 LOG hourly main" "$t" $((m / 1024))
  read -r t m < <(best "$cli" --whole --since 2001-03-01 --until 2001-03-31 --format json "$big" all)
  printf "%-52s %8s %10d\n" "--whole --since .. --until .. (a month) LOG all" "$t" $((m / 1024))
  read -r t m < <(best sh -c "cat '$big' | '$cli' --whole --format json - all")
  printf "%-52s %8s %10s  %.2fx the file run\n" "cat LOG | --whole --format json - all" "$t" "-" \
    "$(awk -v a="$t" -v b="$file_t" 'BEGIN { print a / b }')"
  # Inputs that are hostile or merely broken: a device, an endless stream, one long line,
  # a file of NUL bytes, millions of empty lines. Each in at most 64 MB; the files read
  # at no worse than 3 x wc -l on the same file (the check writes a line per finding).
  endless() {  # peak RSS of a run stopped after $1 seconds, and its wall time
    local seconds=$1
    shift
    { /usr/bin/time -f "%e %M" timeout "$seconds" "$@" >/dev/null; } 2>&1 | tail -n 1
  }
  printf "%-52s %8s %10s\n" "hostile input" "wall s" "peak MB"
  read -r t m < <(endless 10 "$cli" --whole /dev/zero hourly main)
  printf "%-52s %8s %10d  refused in < 0.1 s: %s\n" "--whole /dev/zero hourly main" "$t" $((m / 1024)) \
    "$(awk -v a="$t" 'BEGIN { print (a < 0.1 ? "met" : "MISSED") }')"
  read -r t m < <(endless 10 "$cli" --whole - check </dev/zero)
  printf "%-52s %8s %10d  (stopped after 10 s)\n" "--whole - check < /dev/zero" "$t" $((m / 1024))
  { printf '\x87\x45'; head -c 300000000 /dev/zero | tr '\0' a; } >"$tmp/long.log"
  truncate -s 3G "$tmp/nul.log"
  head -c 50000000 /dev/zero | tr '\0' '\n' >"$tmp/empty50m.log"
  head -c 5000000 /dev/zero | tr '\0' '\n' >"$tmp/empty5m.log"
  hostile() {  # LABEL FILE ARGS...: the run (ARGS, the word LOG standing for FILE) beside wc -l on FILE
    local label=$1 file=$2 wt args=()
    shift 2
    for arg in "$@"; do
      [ "$arg" = LOG ] && args+=("$file") || args+=("$arg")
    done
    read -r wt _ < <(best wc -l "$file")
    read -r t m < <(best "$cli" "${args[@]}")
    printf "%-52s %8s %10d  wc -l %s s, %.1fx; %s\n" "$label" "$t" $((m / 1024)) "$wt" \
      "$(awk -v a="$t" -v b="$wt" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
      "$(awk -v m="$m" 'BEGIN { print (m <= 65536 ? "<= 64 MB" : "OVER 64 MB") }')"
  }
  hostile "--whole LOG pages name (one 300 MB line)" "$tmp/long.log" --whole LOG pages name
  hostile "--whole LOG check (3 GB of NUL bytes)" "$tmp/nul.log" --whole LOG check
  hostile "--whole LOG check (50 million empty lines)" "$tmp/empty50m.log" --whole LOG check
  hostile "--whole LOG check (5 million empty lines)" "$tmp/empty5m.log" --whole LOG check
  hostile "--whole --format json LOG check (5 million)" "$tmp/empty5m.log" --whole --format json LOG check
  rm -f "$tmp/long.log" "$tmp/nul.log" "$tmp/empty50m.log" "$tmp/empty5m.log"
  # A kept state: the first run with --state against the run without it (at most 1.15 x,
  # a state file of at most 16 MB), then a run after 1 MB of records was appended to a
  # copy of the log (at most 50 ms, byte-identical to the run without --state).
  grown="$tmp/grown.log"
  cp "$big" "$grown" && chmod u+w "$grown"
  read -r t m < <(best sh -c "rm -f '$tmp/s.state'; '$cli' --whole --state '$tmp/s.state' --format json '$grown' all")
  printf "%-52s %8s %10d  %.2fx the run without  state %d KB\n" "--whole --state S --format json LOG all (first)" "$t" \
    $((m / 1024)) "$(awk -v a="$t" -v b="$file_t" 'BEGIN { print a / b }')" $(($(wc -c <"$tmp/s.state") / 1024))
  cp "$tmp/s.state" "$tmp/s0.state"
  head -c 1048576 "$mid" | sed '$d' >>"$grown"
  read -r t m < <(best sh -c "cp '$tmp/s0.state' '$tmp/s.state'; '$cli' --whole --state '$tmp/s.state' --format json '$grown' all")
  "$cli" --whole --format json "$grown" all >"$tmp/full.json"
  cp "$tmp/s0.state" "$tmp/s.state"
  "$cli" --whole --state "$tmp/s.state" --format json "$grown" all >"$tmp/kept.json"
  printf "%-52s %8s %10d  %s\n" "the same after appending 1 MB (with the state copy)" "$t" $((m / 1024)) \
    "$(cmp -s "$tmp/full.json" "$tmp/kept.json" && echo "byte-identical" || echo "DIFFERS")"
  rm -f "$grown"
  # GoAccess refuses host names: each distinct host becomes an address of its own.
  combined="$tmp/mid.combined"
  "$dir/tools/quorlet3-tocombined" "$mid" |
    awk '{ if (!($1 in ip)) { n++; ip[$1] = sprintf("10.%d.%d.%d", int(n / 65536) % 256, int(n / 256) % 256, n % 256) }
           $1 = ip[$1]; print }' >"$combined"
  read -r g m < <(best goaccess "$combined" --log-format=COMBINED --no-global-config --no-parsing-spinner -o "$tmp/g.json")
  printf "%-52s %8s %10d\n" "goaccess (2M-line log's accesses) -o x.json" "$g" $((m / 1024))
  read -r t m < <(best "$cli" --whole --format json "$mid" all)
  printf "%-52s %8s %10d  goaccess / this: %.0fx\n" "--whole --format json 2M-LOG all" "$t" $((m / 1024)) \
    "$(awk -v a="$g" -v b="$t" 'BEGIN { print (b > 0 ? a / b : 0) }')"
  exit 0
fi

side_only=false
if [ "${1:-}" = "--side-by-side" ]; then
  side_only=true
  shift
else
  "$dir/bench/quorlet3-bench" "$@"
  "$dir/bench/quorlet3-html-bench" "$@"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
log="$tmp/full.log"
"$dir/tools/quorlet3-samplegen" --lines 10000 --seed 3 --faults --output "$log"
cli="$(pwd)/$dir/cli/quorlet3-report"
# The page name in UTF-8 (command lines of the timing tool must be valid UTF-8).
page=$("$cli" "$log" page-names | head -n 1)

# Every report the program knows, from its own list.
mapfile -t reports < <("$cli" --list-reports)
# Each report as cp932 bytes (--raw) and as UTF-8 text (the default).
commands=()
for report in "${reports[@]}"; do
  commands+=("$cli --raw $log $report" "$cli $log $report")
done
commands+=("$cli $log page-days $page")

echo
echo "Whole process: quorlet3-report on a generated 10000-line log"
if $side_only; then
  echo "Skipped (--side-by-side)."
elif command -v hyperfine >/dev/null 2>&1; then
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

# Every report in one process against GoAccess on the same accesses in combined log format,
# and against the least a process can do with the log: start, read it whole, exit. That
# floor is a tiny C program (open and a read() loop), dynamically linked to the C library
# as quorlet3-report is; cat does the same plus locale setup and writing.
echo
echo "Side by side: every report in one run, GoAccess, reading the log"
# Wall times stretch when other work shares the cores; CPU times much less.
echo "load average $(cut -d ' ' -f 1-3 /proc/loadavg) on $(nproc) cores"
if ! command -v hyperfine >/dev/null 2>&1 || ! command -v goaccess >/dev/null 2>&1; then
  echo "Skipped: needs hyperfine and goaccess."
  exit 0
fi
combined="$tmp/full.combined"
"$dir/tools/quorlet3-tocombined" "$log" "$combined"
cat >"$tmp/readfile.c" <<'C'
#include <fcntl.h>
#include <unistd.h>
int main(int argc, char** argv) {
    static char buffer[1 << 16];
    int fd = argc == 2 ? open(argv[1], O_RDONLY) : -1;
    if (fd < 0) return 1;
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
    }
    return got < 0;
}
C
cc -O2 -o "$tmp/readfile" "$tmp/readfile.c"
# GoAccess: no configuration file, JSON output (the peer of ours), no terminal, no spinner;
# host names are not IP addresses, so their check is off (else every line is rejected).
goaccess=(goaccess "$combined" --log-format=COMBINED --no-global-config --no-ip-validation --no-parsing-spinner
  -o "$tmp/goaccess.json")
"${goaccess[@]}" </dev/null >/dev/null 2>"$tmp/goaccess.err" || { cat "$tmp/goaccess.err" >&2; exit 1; }
if command -v jq >/dev/null 2>&1; then
  jq -r '.general | "GoAccess read \(.total_requests) accesses, \(.valid_requests) valid"' "$tmp/goaccess.json"
fi
all=("$cli" --format json "$log" all)
names=() commands=()
if "${all[@]}" >"$tmp/all.json" 2>"$tmp/all.err" && [ "$(head -c 7 "$tmp/all.json")" = '{"log":' ]; then
  names+=(all) commands+=("${all[*]}")
else
  echo "Not available yet: quorlet3-report --format json LOG all ($(head -n 1 "$tmp/all.err")); timing the others alone."
fi
html=("$cli" --format html "$log" all)
if "${html[@]}" >"$tmp/all.html" 2>/dev/null; then
  names+=(html) commands+=("${html[*]}")
fi
names+=(goaccess read) commands+=("${goaccess[*]}" "$tmp/readfile $log")
runs=()
for i in "${!names[@]}"; do
  runs+=(-n "${names[$i]}" "${commands[$i]}")
done
# Each command for at least three seconds (hyperfine's default); wall is the mean elapsed
# time, CPU the mean user + system time of the process and its threads (from rusage).
hyperfine -N --warmup 3 --style none --export-csv "$tmp/side.csv" "${runs[@]}" 2>&1 >/dev/null |
  grep -v -e 'Statistical outliers' -e '^ *$' >&2 || true
awk -F, -v log_bytes="$(wc -c <"$log")" -v combined_bytes="$(wc -c <"$combined")" '
  NR > 1 { wall[$1] = $2 * 1000; cpu[$1] = ($5 + $6) * 1000; order[++n] = $1 }
  function verdict(ok) { return ok ? "met" : "MISSED" }
  END {
    label["all"] = "quorlet3-report --format json LOG all"
    label["goaccess"] = "goaccess LOG.combined -o x.json"
    label["read"] = "read LOG (open + read loop, C)"
    label["html"] = "quorlet3-report --format html LOG all"
    printf "log %d bytes, combined %d bytes\n", log_bytes, combined_bytes
    printf "%-40s %12s %12s\n", "command", "wall ms", "CPU ms"
    for (i = 1; i <= n; ++i) printf "%-40s %12.2f %12.2f\n", label[order[i]], wall[order[i]], cpu[order[i]]
    if (!("all" in wall)) exit
    w = wall["goaccess"] / wall["all"]; c = cpu["goaccess"] / cpu["all"]
    printf "goaccess / all: wall %.1fx (target >= 30: %s), CPU %.1fx (target >= 8: %s)\n", w, verdict(w >= 30), c, verdict(c >= 8)
    w = wall["all"] / wall["read"]; c = cpu["all"] / cpu["read"]
    printf "all / read: wall %.2fx (target <= 3: %s), CPU %.2fx\n", w, verdict(w <= 3), c
    if ("html" in wall) {
      w = wall["html"] / wall["all"]; c = cpu["html"] / cpu["all"]
      printf "html / json all: wall %.2fx (target <= 1.5: %s), CPU %.2fx\n", w, verdict(w <= 1.5), c
    }
  }' "$tmp/side.csv"
