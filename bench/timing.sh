# Timing helpers the benchmarks share; sourced, not run.
#   now              the wall clock in seconds, with nanoseconds
#   calc EXPR        an arithmetic expression of decimals, to six places
#   less A B         true when the decimal A is below B
#   thousands N      N with commas between its groups of three digits
#   size_header S..  the two header lines of a table with a column for each
#                    size S and one for the growth
#   median           the median of the numbers on standard input, one a line
#   measure CMD      runs CMD (a bash command line; export what it uses) and
#                    prints "wall cpu peak-KB" (bench/measure.cpp, built on
#                    first use into the benchmark's build folder)
#   bench_begin ARGS the lines that open a benchmark's report: the date, the
#                    machine and the command line ($0 and ARGS)
#   load_sample      notes the load average now (after each timed run)
#   bench_end        the closing line: the load average during the run
now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
less() { awk "BEGIN { exit !($1 < $2) }"; }
thousands() { sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' <<<"$1"; }
size_header() {
  local size
  printf '| program, other tool |'
  for size in "$@"; do printf ' %s |' "$(thousands "$size")"; done
  printf ' growth |\n|---|'
  for size in "$@"; do printf -- '---:|'; done
  printf -- '---:|\n'
}
median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    if (NR % 2) printf "%.6f\n", v[(NR + 1) / 2]; else printf "%.6f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
bench_measure="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-bench/measure"
measure() {
  local source
  source="$(dirname "${BASH_SOURCE[0]}")/measure.cpp"
  if [[ ! -x $bench_measure || $source -nt $bench_measure ]]; then
    mkdir -p "$(dirname "$bench_measure")" && c++ -O2 -o "$bench_measure" "$source" || return 1
  fi
  "$bench_measure" "$1"
}

# The samples go to a file, so that a sample taken in a subshell counts too.
bench_loads=$(mktemp "${TMPDIR:-/tmp}/bench-loads.XXXXXX")
bench_begin() {
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(getconf _NPROCESSORS_ONLN) cores, $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo);" \
    "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "command: bench/$(basename "$0")${*:+ $*}"
  load_sample
}
load_sample() { cut -d' ' -f1 /proc/loadavg >>"$bench_loads"; }
bench_end() {
  load_sample
  awk '{ s += $1; if (NR == 1 || $1 < lo) lo = $1; if ($1 > hi) hi = $1 }
    END { printf "load average during the run (1 minute, %d samples): mean %.2f, from %.2f to %.2f\n",
          NR, s / NR, lo, hi }' "$bench_loads"
  rm -f "$bench_loads"
}
