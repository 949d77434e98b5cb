#!/usr/bin/env bash
# Speed of the database tools against their floors, in one run:
#   pagebase over a tree of 100,000 files  vs  find + head -c 4096 of every page
#   tagquery over a million-line database   vs  grep -c over the same file
# Builds a release tree in build-bench/ unless BIN names a folder of built
# programs. Not a test: timings depend on the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [[ -z "${BIN:-}" ]]; then
  cmake -S "$top" -B "$top/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-bench" -j "$(nproc)" --target pagebase tagquery >/dev/null
  BIN="$top/build-bench/bin"
fi
# WEFT_BENCH_DIR keeps the generated data between runs.
if [[ -n "${WEFT_BENCH_DIR:-}" ]]; then
  work="$WEFT_BENCH_DIR"
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/weft-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi

[[ -f "$work/index.db" ]] || { echo "Generating a tree of 100,000 files and a database of 1,000,000 lines in $work ..."
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
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

files = 0
tree = os.path.join(work, "tree")
# 1,000 directories of 100 files: an index page, 33 images with their 33
# describing pages, 13 other pages and 20 thumbnails.
for d in range(1000):
    folder = os.path.join(tree, "album%02d" % (d // 100), "set%03d" % d)
    os.makedirs(os.path.join(folder, "thumbs"))
    def put(name, data):
        global files
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        files += 1
    put("index.htm", head("Set %d" % d, keywords()).encode())
    for i in range(33):
        put("img%03d.jpg" % i, gif)
        put("img%03d.htm" % i, head("Image %d of %d" % (i, d), keywords()).encode())
        if i < 20:
            put(os.path.join("thumbs", "tn_img%03d_jpg.jpg" % i), gif)
    for i in range(13):
        put("page%02d.htm" % i, head("Page %d of %d" % (i, d), keywords()).encode())
print("  %d files" % files)

with open(os.path.join(work, "index.db"), "w") as db:
    for n in range(1000000):
        db.write("Title %d\tC:\\photos\\set%d\\img%d.jpg\tA description of the picture\t%s\t"
                 "12K; {12, 96, 64}\tthumbs\\tn_img%d_jpg.jpg:96,64\t50\t0\t0002\n"
                 % (n, n // 100, n % 100, keywords(), n % 100))
PY
}

seconds() { date +%s.%N; }
# Runs a command once to warm the caches, then times a second run. Output
# goes to a file: GNU grep stops at its first match when it sees /dev/null.
timed() {
  "$@" >"$work/out" 2>&1 || true
  local start end
  start=$(seconds)
  "$@" >"$work/out" 2>&1 || true
  end=$(seconds)
  echo "$end - $start" | bc
}

tree="$work/tree"
floor_tree() { find "$tree" -type f -name '*.htm' -print0 | xargs -0 head -q -c 4096; }
run_pagebase() { (cd "$tree" && WEFTDRIVES="C=$tree" "$BIN/pagebase" C:); }
floor_db() { grep -c beach "$work/index.db"; }
run_tagquery() { "$BIN/tagquery" beach <"$work/index.db"; }

records=$(run_pagebase 2>/dev/null | wc -l)
matches=$(run_tagquery | wc -l)
echo "  pagebase writes $records records; tagquery keeps $matches lines (grep -c: $(floor_db))"

t_floor_tree=$(timed floor_tree)
t_pagebase=$(timed run_pagebase)
t_floor_db=$(timed floor_db)
t_tagquery=$(timed run_tagquery)

printf '\n%-34s %9s   %-30s %9s %7s\n' "program" "seconds" "floor" "seconds" "ratio"
printf '%-34s %9.2f   %-30s %9.2f %6.2fx\n' "pagebase over the tree" "$t_pagebase" \
  "find + head -c 4096 of pages" "$t_floor_tree" "$(echo "$t_pagebase / $t_floor_tree" | bc -l)"
printf '%-34s %9.2f   %-30s %9.2f %6.2fx\n' "tagquery beach over the database" "$t_tagquery" \
  "grep -c beach" "$t_floor_db" "$(echo "$t_tagquery / $t_floor_db" | bc -l)"
