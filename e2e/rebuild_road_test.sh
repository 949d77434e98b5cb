#!/usr/bin/env bash
# The rebuild road with the ordinary Linux PATH: in a copy of the sample
# gallery, galstart writes each folder's "refolio.bat" with "galleria &
# foldsig" as the command; foldmap rebuilds every folder through the command
# interpreter, which finds the suite's programs beside foldmap itself; a
# second run finds everything up to date; a new page rebuilds only its folder
# and the folders above it; a rebuild that fails is reported.
#
#   e2e/rebuild_road_test.sh BIN_DIR
set -uo pipefail
if [ $# -ne 1 ]; then
  echo "usage: e2e/rebuild_road_test.sh BIN_DIR" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/rebuild-road.XXXXXX)
trap 'rm -rf "$work"' EXIT
site="$work/site"
cp -R "$top/examples/gallery" "$site"
# The site kit goes into the icons folder, as a user sets a site up.
cp "$top/kit/"* "$site/icons/"
cd "$site" || exit 1
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The site folder as the programs show it (through the drive map in force).
siteWin=$("$bin/weftcmd" /C cd)

# updating FOLDER...: the lines foldmap prints for these folders, in order.
updating() {
  local folder
  for folder in "$@"; do
    printf 'FOLDMAP:  Updating "%s\\%s".\n' "$siteWin" "$folder"
  done
}

# expect NAME EXPECTED_OUT EXPECTED_CODE OUT CODE
expect() {
  [ "$4" = "$2" ] || fail "$1: foldmap printed:"$'\n'"$4"$'\n'"instead of:"$'\n'"$2"
  [ "$5" = "$3" ] || fail "$1: foldmap exited with $5 instead of $3"
}

folders=". birds city city/night lakes"
for folder in $folders; do
  placeholder="$folder/New Text Document.txt"
  : >"$placeholder"
  "$bin/galstart" "/galleria & foldsig" "$placeholder" || fail "galstart failed in $folder"
  [ -e "$placeholder" ] && fail "galstart left the placeholder in $folder"
  [ "$(cat "$folder/refolio.bat" 2>/dev/null)" = "@galleria & foldsig" ] || fail "$folder/refolio.bat is not the one line"
done

# First run, PATH as it is: every folder, subfolders first.
out=$("$bin/foldmap" 2>"$work/err"); code=$?
expect "first run" "$(updating 'birds\' 'city\night\' 'city\' 'lakes\' '')" 0 "$out" "$code"
[ -s "$work/err" ] && fail "first run wrote errors: $(cat "$work/err")"
for folder in $folders; do
  grep -q 'CONTENT="Tessarin Index Builder' "$folder/index.htm" 2>/dev/null || fail "$folder has no index page"
  ls "$folder" | grep -qE '^[0-9A-F]{8}\._M[0-9]$' || fail "$folder has no signature file"
done

# With the suite on PATH, as a user who added it: nothing changed.
export PATH="$bin:$PATH"
out=$(foldmap); code=$?
expect "second run" "FOLDMAP:  All directories are up-to-date." 1 "$out" "$code"

# A new page: its folder and the top are rebuilt, nothing beside them.
printf '<HTML><HEAD><TITLE>Robin</TITLE></HEAD><BODY></BODY></HTML>\n' >birds/robin.htm
out=$(foldmap); code=$?
expect "new page" "$(updating 'birds\' '')" 0 "$out" "$code"
grep -q 'robin.htm' birds/index.htm || fail "the new page is not in its folder's index"
out=$(foldmap); code=$?
expect "after the new page" "FOLDMAP:  All directories are up-to-date." 1 "$out" "$code"

# A rebuild that fails is reported with its exit code; foldmap ends with 2.
printf '@galleria & no-such-program\r\n' >lakes/refolio.bat
out=$(foldmap 2>"$work/err"); code=$?
expect "failing rebuild" "$(updating 'lakes\' '')" 2 "$out" "$code"
grep -qF "FOLDMAP Error:  \"$siteWin\\lakes\\refolio.bat\" failed with exit code 9009." "$work/err" ||
  fail "the failed rebuild was not reported: $(cat "$work/err")"
grep -qF "'no-such-program' is not recognized" "$work/err" || fail "the missing program was not named"

if [ "$failures" -ne 0 ]; then
  echo "rebuild_road_test: $failures failures"
  exit 1
fi
echo "rebuild_road_test: all checks passed"
