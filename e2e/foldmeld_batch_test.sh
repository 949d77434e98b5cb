#!/usr/bin/env bash
# The batch road of the tree merger: "foldmeld /M /B" writes FOLDMEL1.BAT,
# which weftcmd then runs; the trees come out exactly as "foldmeld /M" run
# directly leaves them (the same files with the same contents, the same
# folders removed). Once into a new destination, once into one that holds
# some of the files, every question answered through standard input.
#
#   e2e/foldmeld_batch_test.sh BIN_DIR
set -uo pipefail
if [ $# -ne 1 ]; then
  echo "usage: e2e/foldmeld_batch_test.sh BIN_DIR" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/foldmeld-batch.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# put FILE TEXT: writes a file, making its folders.
put() {
  mkdir -p "$(dirname "$1")"
  printf '%s' "$2" >"$1"
}

# The folders and files below a folder, each file with its contents' sum.
tree() {
  (cd "$1" && find . -mindepth 1 -printf '%y %p\n' | sort && find . -type f -exec md5sum {} + | sort -k 2)
}

# fresh: a source tree, no destination.
make_fresh() {
  put "$1/src/a.jpg" "a"
  put "$1/src/b b.htm" "b"
  put "$1/src/index.htm" "index"
  put "$1/src/keywords.kdb" "kdb"
  put "$1/src/100%x%.jpg" "percent"
  put "$1/src/sub1/c.jpg" "c"
  put "$1/src/sub1/deep/d&e.jpg" "d"
  put "$1/src/icons/i.gif" "i"
}

# existing: a destination that holds some of the files already.
make_existing() {
  put "$1/src/a.jpg" "new a"
  put "$1/src/b.jpg" "new b"
  put "$1/src/c.jpg" "new c"
  put "$1/src/index.htm" "src index"
  put "$1/src/photo.jpg" "src photo"
  put "$1/src/keywords.kdb" "kdb"
  put "$1/src/sub1/x.jpg" "x"
  put "$1/src/sub1/deep/y.jpg" "y"
  put "$1/src/icons/i.gif" "i"
  put "$1/dst/a.jpg" "old a"
  put "$1/dst/b.jpg" "old b"
  put "$1/dst/index.htm" "dst index"
  put "$1/dst/photo.jpg" "old photo"
  put "$1/dst/photo-2.jpg" "two"
  put "$1/dst/sub1/deep/z.jpg" "z"
  put "$1/dst/icons/j.gif" "j"
}

# scenario NAME MAKER FOLDMELD_ANSWERS WEFTCMD_ANSWERS
scenario() {
  local name=$1 make=$2 answers=$3 batchAnswers=$4
  local direct="$work/$name/direct" batch="$work/$name/batch"
  mkdir -p "$direct" "$batch"
  $make "$direct"
  $make "$batch"
  (cd "$direct" && printf '%s' "$answers" | "$bin/foldmeld" /M src dst >"$work/$name.direct.log" 2>&1) ||
    fail "$name: foldmeld /M failed: $(cat "$work/$name.direct.log")"
  (cd "$batch" && printf '%s' "$answers" | "$bin/foldmeld" /M /B src dst >"$work/$name.meld.log" 2>&1) ||
    fail "$name: foldmeld /M /B failed: $(cat "$work/$name.meld.log")"
  [ -f "$batch/FOLDMEL1.BAT" ] || fail "$name: no FOLDMEL1.BAT"
  (cd "$batch" && printf '%s' "$batchAnswers" | "$bin/weftcmd" FOLDMEL1.BAT >"$work/$name.run.log" 2>&1)
  grep -q "is not recognized" "$work/$name.run.log" && fail "$name: a command of the batch file was not recognized"
  rm -f "$batch/FOLDMEL1.BAT"
  local side
  for side in src dst; do
    if [ "$(tree "$direct/$side")" != "$(tree "$batch/$side")" ]; then
      fail "$name: $side differs between direct mode and the batch file:"
      diff <(tree "$direct/$side") <(tree "$batch/$side")
    fi
  done
}

# Create the destination and each new first-level folder.
scenario fresh make_fresh "yyy" ""
[ "$(cat "$work/fresh/batch/dst/sub1/deep/d&e.jpg" 2>/dev/null)" = "d" ] || fail "fresh: d&e.jpg did not arrive"
[ "$(cat "$work/fresh/batch/dst/100%x%.jpg" 2>/dev/null)" = "percent" ] || fail "fresh: 100%x%.jpg did not arrive"
[ -d "$work/fresh/batch/src/sub1" ] && fail "fresh: the emptied source folder sub1 was not removed"
[ -e "$work/fresh/batch/src/keywords.kdb" ] && fail "fresh: keywords.kdb was not deleted from the source"

# Replace a.jpg (Yes, and Yes again when the batch file asks), keep b.jpg
# (No), photo.jpg under a new name (Append), merge into the existing deep.
scenario existing make_existing "ynay" "y"
[ "$(cat "$work/existing/batch/dst/a.jpg" 2>/dev/null)" = "new a" ] || fail "existing: a.jpg was not replaced"
[ "$(cat "$work/existing/batch/dst/b.jpg" 2>/dev/null)" = "old b" ] || fail "existing: b.jpg was replaced"
[ "$(cat "$work/existing/batch/dst/photo-3.jpg" 2>/dev/null)" = "src photo" ] || fail "existing: photo.jpg did not become photo-3.jpg"
grep -q "Overwrite .*a.jpg? (Yes/No/All): Yes" "$work/existing.run.log" || fail "existing: the batch file did not ask before replacing a.jpg"

if [ "$failures" -ne 0 ]; then
  echo "foldmeld_batch_test: $failures failures"
  exit 1
fi
echo "foldmeld_batch_test: all checks passed"
