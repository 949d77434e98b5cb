# Timing helpers the benchmarks share; sourced, not run.
#   now            the wall clock in seconds, with nanoseconds
#   calc EXPR      an arithmetic expression of decimals, to six places
#   less A B       true when the decimal A is below B
now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
less() { awk "BEGIN { exit !($1 < $2) }"; }
