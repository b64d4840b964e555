#!/usr/bin/env bash
# Prints, for each folder of the tree, the folders its sources include, and fails when a
# folder includes one of a layer above it (or a neighbour of its own layer), or when a
# folder below the window includes Qt. Run from anywhere; CI runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layers, bottom first. A folder may include itself and any folder of a lower layer.
layers=(
  "encoding"
  "logstore"
  "wholelog"
  "tally timereports share"
  "pagedays"
  "reports"
  "output"
  "cli window tools"
  "bench fuzz"
  "tests"
)
declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done
qt_free_below=${rank[window]}

status=0
for folder in $(git ls-files '*.cpp' '*.h' | cut -d/ -f1 | sort -u); do
  [[ -v rank[$folder] ]] || { echo "$folder: not in any layer of scripts/include-graph.sh"; status=1; continue; }
  mapfile -t files < <(git ls-files "$folder/*.cpp" "$folder/*.h")
  # Every "folder/..." include; sorted, unique.
  mapfile -t used < <(grep -ho '^#include "[A-Za-z0-9_]*/' "${files[@]}" | sed 's/#include "//; s#/##' | sort -u)
  printf '%-12s -> %s\n' "$folder" "${used[*]:-}"
  for dep in "${used[@]}"; do
    [[ $dep == "$folder" ]] && continue
    if [[ ! -v rank[$dep] ]]; then
      echo "  error: $folder includes $dep/, which is in no layer"; status=1
    elif ((rank[$dep] >= rank[$folder])); then
      echo "  error: $folder includes $dep/, which is not below it"; status=1
      grep -n "^#include \"$dep/" "${files[@]}" | sed 's/^/    /'
    fi
  done
  if ((rank[$folder] < qt_free_below)) && grep -n '^#include <Q' "${files[@]}" >/tmp/include-graph.$$ 2>/dev/null; then
    echo "  error: $folder is below the window but includes Qt"; sed 's/^/    /' /tmp/include-graph.$$; status=1
  fi
  rm -f /tmp/include-graph.$$
done
exit $status
