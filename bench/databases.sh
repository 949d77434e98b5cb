#!/usr/bin/env bash
# Speed of the database tools side by side with their floors and peers, and
# their growth with the size of a site:
#   pagebase over a tree          vs  find + head -c 4096 of every page
#   tagscan /A over the tree      vs  the same find + head
#   tagquery beach                vs  grep -c beach over the same database
#   tagquery with an expression   vs  awk testing the keyword field
#   hrefmend, 20 broken links     vs  awk comparing each path's last name with 20 names
# For trees of 10,000, 30,000 and 100,000 files (or the sizes given) and
# databases of ten lines a file, in one sitting: wall seconds (the median of
# RUNS runs after one that warms the caches; the contenders take turns, run by
# run), the ratio to the other tool, and the growth: the time per file at the
# largest size over that at the smallest (linear work gives 1.00).
#
#   bench/databases.sh [FILES ...]     RUNS=3 by default
#
# Builds a release tree in build-bench/ unless BIN names a folder of built
# programs. WEFT_BENCH_DIR keeps the generated trees between runs. Not a
# test: timings depend on the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(10000 30000 100000)
runs=${RUNS:-3}
if [[ -z "${BIN:-}" ]]; then
  cmake -S "$top" -B "$top/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-bench" -j 4 --target pagebase tagscan tagquery hrefmend >/dev/null
  BIN="$top/build-bench/bin"
fi
if [[ -n "${WEFT_BENCH_DIR:-}" ]]; then
  work="$WEFT_BENCH_DIR"
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/weft-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi

# make_site DIR FILES: DIR/tree with FILES files in folders of 100 (an index
# page, 33 images with their describing pages, 13 other pages and 20
# thumbnails), DIR/index.db with ten lines a file, DIR/page.htm with 20
# links to images that are gone.
make_site() {
  python3 - "$1" "$2" <<'PY'
import os, random, sys
work, files = sys.argv[1], int(sys.argv[2])
random.seed(7)
words = ["beach", "sea", "sand", "trip", "family", "city", "night", "snow", "cat", "dog",
         "garden", "river", "bridge", "train", "food", "party", "museum", "forest", "lake", "_raw"]
gif = b"GIF89a" + bytes([96, 0, 64, 0, 0, 0, 0]) + b"\0" * 64

def head(title, keywords):
    return ("<HTML><HEAD><TITLE>%s</TITLE>\n<META NAME=\"DESCRIPTION\" CONTENT=\"About %s\">\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"%s\">\n<META NAME=\"FILEINFO\" CONTENT=\"12K; {12, 96, 64}\">\n"
            "</HEAD><BODY>%s</BODY></HTML>\n" % (title, title, keywords, "text " * 200))

def keywords():
    return ", ".join(random.sample(words, random.randint(1, 5)))

tree = os.path.join(work, "tree")
for d in range(files // 100):
    folder = os.path.join(tree, "album%02d" % (d // 100), "set%03d" % d)
    os.makedirs(os.path.join(folder, "thumbs"))
    def put(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    put("index.htm", head("Set %d" % d, keywords()).encode())
    for i in range(33):
        put("img%03d.jpg" % i, gif)
        put("img%03d.htm" % i, head("Image %d of %d" % (i, d), keywords()).encode())
        if i < 20:
            put(os.path.join("thumbs", "tn_img%03d_jpg.jpg" % i), gif)
    for i in range(13):
        put("page%02d.htm" % i, head("Page %d of %d" % (i, d), keywords()).encode())

with open(os.path.join(work, "index.db"), "w") as db:
    for n in range(files * 10):
        db.write("Title %d\tC:\\photos\\set%d\\img%d.jpg\tA description of the picture\t%s\t"
                 "12K; {12, 96, 64}\tthumbs\\tn_img%d_jpg.jpg:96,64\t50\t0\t0002\n"
                 % (n, n // 100, n % 100, keywords(), n % 100))
links = "".join('<A HREF="../old/img%d.jpg">Missing %d</A>\n' % (i, i) for i in range(20))
with open(os.path.join(work, "page.htm"), "w") as page:
    page.write("<HTML><HEAD><TITLE>Links</TITLE></HEAD><BODY>\n" + links + "</BODY></HTML>\n")
PY
}

. "$top/bench/timing.sh"

export BIN
# timed DIR COMMAND: the wall seconds of one run in DIR. Output goes to a
# file: GNU grep stops at its first match when it sees /dev/null.
timed() {
  local wall cpu peak
  read -r wall cpu peak < <(cd "$1" && WEFTDRIVES="C=$1" measure "$2 >\"$work/out\" 2>&1")
  echo "$wall"
}

expression='(beach|sea)&!_raw&family'
# hrefmend keeps a page it could not mend as it was; the copy is taken
# afresh for each run all the same.
names=(pagebase tagscan tagquery expression hrefmend)
declare -A where=([pagebase]=tree [tagscan]=tree [tagquery]=. [expression]=. [hrefmend]=.)
declare -A suite=(
  [pagebase]='"$BIN/pagebase" C:'
  [tagscan]='"$BIN/tagscan" /A C:'
  [tagquery]='"$BIN/tagquery" beach <index.db'
  [expression]='"$BIN/tagquery" "$expression" <index.db'
  [hrefmend]='cp page.htm mend.htm && "$BIN/hrefmend" mend.htm'
)
declare -A peer=(
  [pagebase]="find . -type f -name '*.htm' -print0 | xargs -0 head -q -c 4096"
  [tagscan]="find . -type f -name '*.htm' -print0 | xargs -0 head -q -c 4096"
  [tagquery]='grep -c beach index.db'
  [expression]="awk -F'\\t' '{ delete k; n = split(tolower(\$4), w, / *, */); for (i = 1; i <= n; i++) k[w[i]] = 1;
    if ((\"beach\" in k || \"sea\" in k) && !(\"_raw\" in k) && \"family\" in k) print }' index.db"
  [hrefmend]="awk -F'\\t' '{ n = split(\$2, p, /[\\\\\\/:]/); b = tolower(p[n]);
    for (i = 0; i < 20; i++) if (b == \"img\" i \".jpg\") c++ } END { print c + 0 }' index.db"
)
declare -A label=([pagebase]='`pagebase`' [tagscan]='`tagscan /A`' [tagquery]='`tagquery beach`'
  [expression]="\`tagquery ${expression//|/\\|}\`" [hrefmend]='`hrefmend`, a page of 20 broken links')
declare -A peerlabel=([pagebase]='`find` + `head -c 4096` of every page' [tagscan]='the same `find` + `head`'
  [tagquery]='`grep -c beach`' [expression]='`awk` testing the keyword field'
  [hrefmend]="\`awk\` comparing each path's last name with 20")

export expression
bench_begin "$@"
declare -A took
for size in "${sizes[@]}"; do
  site="$work/site$size"
  if [[ ! -f "$site/index.db" ]]; then
    echo "Generating a tree of $size files and a database of $((size * 10)) lines ..." >&2
    make_site "$site" "$size"
  fi
  declare -A times=()
  for ((r = 0; r <= runs; r++)); do
    for name in "${names[@]}"; do
      dir=$(cd "$site/${where[$name]}" && pwd)
      for side in suite peer; do
        if [[ $side == suite ]]; then command=${suite[$name]}; else command=${peer[$name]}; fi
        t=$(timed "$dir" "$command")
        load_sample
        ((r == 0)) || times[$name,$side]+="$t "
      done
    done
  done
  for name in "${names[@]}"; do
    for side in suite peer; do
      took[$name,$side,$size]=$(tr ' ' '\n' <<<"${times[$name,$side]}" | grep . | median)
    done
  done
done

first=${sizes[0]}
last=${sizes[-1]}
echo
echo "Seconds (median of $runs runs); in brackets the program's time over the other tool's;"
echo "growth: the time per file at $last files over that at $first"
echo
size_header "${sizes[@]}"
for name in "${names[@]}"; do
  printf '| %s |' "${label[$name]}"
  for size in "${sizes[@]}"; do
    printf ' %.3f (%.2f) |' "${took[$name,suite,$size]}" \
      "$(calc "${took[$name,suite,$size]} / ${took[$name,peer,$size]}")"
  done
  printf ' %.2f |\n' "$(calc "${took[$name,suite,$last]} * $first / ($last * ${took[$name,suite,$first]})")"
  printf '| %s |' "${peerlabel[$name]}"
  for size in "${sizes[@]}"; do printf ' %.3f |' "${took[$name,peer,$size]}"; done
  printf ' %.2f |\n' "$(calc "${took[$name,peer,$last]} * $first / ($last * ${took[$name,peer,$first]})")"
done
echo
echo "(the databases hold ten lines a file; pagebase and tagscan read the tree on up to four"
echo " threads, find | xargs head runs as two processes; goal: pagebase within 1.50 of find + head)"
bench_end
