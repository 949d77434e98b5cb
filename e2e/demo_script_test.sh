#!/usr/bin/env bash
# The README's first command with the ordinary Linux PATH, in a fresh copy
# of the project (its files as a clone has them, no build folder): --help
# prints the usage and exits 0, an unknown option is an error with the usage
# and exit 2, and neither builds anything or leaves a folder behind; then
# "scripts/demo OUT --no-serve" (the options in either place) builds the
# programs and no test, makes and checks the sample site, prints its timing
# and ends without serving.
#
#   e2e/demo_script_test.sh BIN_DIR   (BIN_DIR is not used: the demo builds)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/demo-script.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The project's files as a clone has them, with changes not yet committed.
copy="$work/tessarin"
mkdir -p "$copy"
(cd "$top" && git ls-files -z -co --exclude-standard) | (cd "$top" && tar --null -T - -cf -) |
  tar -xf - -C "$copy" || { echo "FAIL: could not copy the project"; exit 1; }
demo="$copy/scripts/demo"
usage="usage: scripts/demo [--no-serve] [OUT_DIR]"

# In a folder of its own, so that a stray folder named after an argument shows.
mkdir "$work/cwd" && cd "$work/cwd" || exit 1

out=$("$demo" --help 2>"$work/err"); code=$?
[ "$code" -eq 0 ] || fail "--help exits with $code"
[ "$(head -1 <<<"$out")" = "$usage" ] || fail "--help prints: $out"
[ -s "$work/err" ] && fail "--help writes to standard error: $(cat "$work/err")"

for bad in --nope -x; do
  out=$("$demo" "$bad" out 2>"$work/err"); code=$?
  [ "$code" -eq 2 ] || fail "$bad exits with $code"
  [ -z "$out" ] || fail "$bad prints on standard output: $out"
  grep -qxF "demo: unknown option \"$bad\"" "$work/err" || fail "$bad says: $(cat "$work/err")"
  grep -qxF "$usage" "$work/err" || fail "$bad gives no usage: $(cat "$work/err")"
done
out=$("$demo" one two 2>"$work/err"); code=$?
[ "$code" -eq 2 ] || fail "two OUT_DIRs exit with $code"
grep -qxF "$usage" "$work/err" || fail "two OUT_DIRs give no usage: $(cat "$work/err")"
left=$(ls -A)
[ -z "$left" ] && [ ! -e "$copy/build" ] || fail "the refused runs left: $left $(ls -d "$copy/build" 2>/dev/null)"

# The whole demo, the option after the folder; a demo that served would run
# into the time limit.
timeout 840 "$demo" site --no-serve >"$work/out" 2>&1; code=$?
[ "$code" -eq 0 ] || fail "the demo ends with $code: $(tail -20 "$work/out")"
last=$(tail -1 "$work/out")
timing='^demo: packages [0-9]+\.[0-9] s, configuring and building the programs [0-9]+\.[0-9] s, the site and its check [0-9]+\.[0-9] s; [0-9]+\.[0-9] s in all\.$'
[[ $last =~ $timing ]] || fail "the demo's last line: $last"
grep -qE '^check-site: [0-9]+ pages, [0-9]+ links, 0 broken$' "$work/out" ||
  fail "the site's check: $(grep check-site "$work/out")"
[ -f site/index.htm ] && [ -f site/birds/heron.htm ] || fail "the demo made no site in the folder given"
[ ! -e "$copy/out" ] || fail "the demo made out/ besides the folder given"

for dir in "$copy"/programs/*/; do
  program=$(basename "$dir")
  [ -x "$copy/build/bin/$program" ] || fail "the demo did not build $program"
done
tests=$(find "$copy/build" -type f -name '*_tests' -o -type d -name tests)
[ -z "$tests" ] || fail "the demo built tests: $tests"
grep -q 'WEFT_TESTS:BOOL=OFF' "$copy/build/CMakeCache.txt" || fail "the demo's build is configured with tests"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
