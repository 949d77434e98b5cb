#!/usr/bin/env bash
# How long the README's first command takes beside what it cannot do
# without: on fresh copies of the project (its files as a clone has them,
# no build folder, the packages already installed), runs in turn
#   scripts/demo --no-serve OUT
#   cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DWEFT_TESTS=OFF and
#   cmake --build -j NPROC  (configuring and building the programs alone)
# RUNS times each, alternating so that both meet the same load, and prints
# each time, the best and the median of each, their ratios, the date and the
# load average before and after (the machine is shared: a busy hour moves
# every figure). With OLD=REV it also times, once, scripts/demo of that
# revision of the repository (before the demo built the programs alone).
#
#   bench/demo.sh [RUNS]     RUNS=3 by default
#
# Not a test: timings depend on the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/timing.sh"
runs=${1:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/weft-bench-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

# fresh NAME: a new copy of the project's files (with changes not yet
# committed) in $work/NAME.
fresh() {
  rm -rf "${work:?}/$1"
  mkdir -p "$work/$1"
  (cd "$top" && git ls-files -z -co --exclude-standard) | (cd "$top" && tar --null -T - -cf -) |
    tar -xf - -C "$work/$1"
}

# timed COMMAND...: runs it quietly and prints its wall-clock seconds.
timed() {
  local start
  start=$(now)
  "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; return 1; }
  calc "$(now) - $start"
}

demo() { "$work/copy/scripts/demo" --no-serve "$work/site"; }
build() {
  cmake -S "$work/copy" -B "$work/copy/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWEFT_TESTS=OFF &&
    cmake --build "$work/copy/build" -j "$(nproc)"
}

# median of the numbers given.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
demos=()
builds=()
for ((i = 1; i <= runs; i++)); do
  fresh copy && rm -rf "$work/site"
  demos+=("$(timed demo)")
  fresh copy
  builds+=("$(timed build)")
  printf 'run %d: scripts/demo --no-serve %.1f s, configuring and building the programs %.1f s\n' \
    "$i" "${demos[-1]}" "${builds[-1]}"
done
printf 'best:   demo %.1f s, build %.1f s, ratio %.2f\n' "$(best "${demos[@]}")" "$(best "${builds[@]}")" \
  "$(calc "$(best "${demos[@]}") / $(best "${builds[@]}")")"
printf 'median: demo %.1f s, build %.1f s, ratio %.2f\n' "$(median "${demos[@]}")" "$(median "${builds[@]}")" \
  "$(calc "$(median "${demos[@]}") / $(median "${builds[@]}")")"
if [[ -n "${OLD:-}" ]]; then
  rm -rf "$work/copy" "$work/site"
  mkdir "$work/copy"
  git -C "$top" archive "$OLD" | tar -xf - -C "$work/copy"
  old=$(timed demo)
  printf 'scripts/demo --no-serve of %s: %.1f s, %.2f times the median build\n' "$OLD" "$old" \
    "$(calc "$old / $(median "${builds[@]}")")"
fi
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
