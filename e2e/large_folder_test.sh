#!/usr/bin/env bash
# A large album made into pages as a user does it from a Linux shell, while
# another program puts more photographs into it: minipix makes the
# thumbnails, viewreel the slide pages and galleria the index page of a
# folder of 1,000 photographs, while a second process moves 150 more in one
# by one. A second round of the three programs then takes the late ones in.
# The site's top page comes last. Checks: every photograph has its thumbnail and its slide, the index page
# lists every one, and every page links only to files that exist
# (examples/check-site).
#
#   e2e/large_folder_test.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/weft-large.XXXXXX")
adder=""
cleanup() {
  [[ -n $adder ]] && kill "$adder" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

site="$work/site"
album="$site/album"
mkdir -p "$album/thumbs" "$site/icons" "$work/incoming"
cp "$top/kit/"* "$top/examples/gallery/icons/weft.ini" "$site/icons/"
photo="$top/examples/gallery/thumbs/tn_waves_mp4.jpg"
python3 - "$photo" "$album" "$work/incoming" <<'PY'
import shutil, sys
photo, album, incoming = sys.argv[1:]
for i in range(1, 1001):
    shutil.copyfile(photo, "%s/img%04d.jpg" % (album, i))
for i in range(1, 151):
    shutil.copyfile(photo, "%s/late%03d.jpg" % (incoming, i))
PY
export WEFTDRIVES="C=$site"

# One round in the album, as examples/make-site runs it; warnings (exit code
# 1) are passed over, errors fail the test.
round() {
  local program code
  for program in "minipix" "viewreel /B /H" "galleria"; do
    code=0
    (cd "$album" && $bin/$program >/dev/null 2>"$work/err") || code=$?
    [[ $code -lt 2 ]] || fail "$program ended with $code: $(head -3 "$work/err")"
  done
}

# The other program: each late photograph arrives whole, by a rename.
(for file in "$work/incoming"/*.jpg; do mv "$file" "$album/"; done) &
adder=$!
round
wait "$adder"
adder=""
round
# The site's top page, which the album's page links back to.
(cd "$site" && "$bin/galleria" >/dev/null 2>&1)

photos=$(cd "$album" && ls -- *.jpg)
count=$(echo "$photos" | wc -l)
[[ $count -eq 1150 ]] || fail "the album holds $count photographs, not 1150"
missing=0
for name in $photos; do
  base=${name%.jpg}
  [[ -f "$album/thumbs/tn_${base}_jpg.jpg" ]] || { missing=$((missing + 1)); continue; }
  [[ -f "$album/$base.htm" ]] || missing=$((missing + 1))
done
[[ $missing -eq 0 ]] || fail "$missing photographs lack their thumbnail or slide"
listed=$(cat "$album"/index*.htm | grep -o 'late[0-9]*\.jpg' | sort -u | wc -l)
[[ $listed -eq 150 ]] || fail "the index pages list $listed of the 150 late photographs"
listed=$(cat "$album"/index*.htm | grep -o 'img[0-9]*\.jpg' | sort -u | wc -l)
[[ $listed -eq 1000 ]] || fail "the index pages list $listed of the first 1000 photographs"
"$top/examples/check-site" "$site" >"$work/check" 2>&1 || fail "check-site: $(tail -5 "$work/check")"

[[ $failures -eq 0 ]] && echo "large folder: all checks passed"
exit $((failures > 0))
