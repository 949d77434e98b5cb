#!/usr/bin/env bash
# The per-folder programs on folders of many images, each side by side with
# what a user would otherwise run over the same files, in one sitting:
#   minipix   vs  vipsthumbnail over as many processes as there are cores
#   viewreel  vs  a writer that puts each page in place with write, fsync
#                 and rename (bench/page_writer.py), and awk writing the same
#                 pages without flushing them
#   galleria  vs  a writer that reads the same heads and thumbnail headers
#                 and writes the same index page (bench/index_writer.py; the
#                 script checks that the two pages are the same); CPU time
#   postpage  vs  sed -i over the same slide pages
#   dateren   vs  perl renaming each image and its page after the file date
# For folders of 1,000, 10,000 and 30,000 images (or the sizes given): the
# microseconds an image (the median of RUNS runs, each on a fresh copy of the
# folder; the contenders take turns, run by run), the program's time over
# the other tool's, and the growth: the time an image at the largest size
# over that at the smallest (linear work gives 1.00).
#
#   bench/folders.sh [SIZE ...]        RUNS=3 by default
#
# The folders are made in WEFT_BENCH_DIR, else in TMPDIR or /tmp; a file
# system without a journal (ext4 without one checks every recently freed
# inode before it hands out a new one) makes every tool that replaces files
# slower after many deletions, so the script waits for that to pass before it
# times the next size. Builds a release tree in build-bench/ unless BIN names
# a folder of built programs. Not a test: timings depend on the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/packages.sh"
weft_ensure_packages libvips-tools
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(1000 10000 30000)
runs=${RUNS:-3}

build="$top/build-bench"
if [[ -z "${BIN:-}" ]]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j 4 --target minipix viewreel galleria postpage dateren weftjpeg >/dev/null
  BIN="$build/bin"
fi
base=${WEFT_BENCH_DIR:-${TMPDIR:-/tmp}}
work=$(mktemp -d "$base/weft-folders.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One small photograph (160x120) made by the project's own encoder.
libs="$BIN/.."
c++ -O2 -std=c++20 -I"$top" "$top/bench/make_test_jpegs.cpp" "$libs/libweftjpeg.a" \
  "$libs/libweftshared.a" "$libs/libweftplatform.a" -ljpeg -o "$work/make_test_jpegs"
mkdir -p "$work/one"
WEFTDRIVES="C=$work" "$work/make_test_jpegs" 'C:\one' 1 160 120 85 4

export VIPS_CONCURRENCY=1
cores=$(nproc)
. "$top/bench/timing.sh"

news='<HTML><BODY>
<IMG SRC="a.jpg">
<PRE>
From: Ann &lt;ann@host&gt;
Subject: Apples
Path: news!host!ann
Newsgroups: rec.food,rec.gardens

Ripe now.
</PRE>
</BODY></HTML>'

# make_folder DIR SIZE KIND: a site folder (icons beside the album) whose
# album holds SIZE images ("images"), the images with their thumbnails and
# slide pages ("site"), or SIZE news slide pages ("news").
make_folder() {
  local dir=$1 size=$2 kind=$3
  mkdir -p "$dir/album/thumbs" "$dir/icons"
  cp "$top/kit/"* "$top/examples/gallery/icons/weft.ini" "$dir/icons/"
  NEWS=$news perl -e '
    my ($album, $size, $kind, $jpeg) = @ARGV;
    local $/;
    open(my $in, "<:raw", $jpeg) or die; my $image = <$in>; close $in;
    for my $i (0 .. $size - 1) {
      my $name = sprintf("%s/img%05d", $album, $i);
      my ($file, $data) = $kind eq "news" ? ("$name.htm", "$ENV{NEWS}\n") : ("$name.jpg", $image);
      open(my $out, ">:raw", $file) or die "$file: $!"; print $out $data; close $out;
    }' "$dir/album" "$size" "$kind" "$work/one/img0001.jpg"
  [[ $kind == site ]] || return 0
  (cd "$dir/album" && export WEFTDRIVES="C=$dir" && "$BIN/minipix" >/dev/null &&
    "$BIN/viewreel" /B /H >/dev/null)
}

# The contenders: NAME, the kind of folder it starts from, the command run in
# the album (the suite's program, then the other tools) and the other tools'
# names. The first other tool is the one the ratio is taken over.
export BIN CORES="$cores" BENCH="$top/bench"
names=(minipix viewreel galleria postpage dateren)
declare -A kind=([minipix]=images [viewreel]=images [galleria]=site [postpage]=news [dateren]=site)
declare -A suite=(
  [minipix]='"$BIN/minipix"'
  [viewreel]='"$BIN/viewreel" /B /H'
  [galleria]='"$BIN/galleria"'
  [postpage]='"$BIN/postpage" "*.htm"'
  [dateren]='"$BIN/dateren" "*.jpg"'
)
declare -A peers=([minipix]=1 [viewreel]=2 [galleria]=1 [postpage]=1 [dateren]=1)
declare -A peer=(
  [minipix,1]='ls *.jpg | xargs -P "$CORES" -n 50 vipsthumbnail -s 120x120 -o "thumbs/tn_%s_jpg.jpg"'
  [viewreel,1]='python3 "$BENCH/page_writer.py"'
  [viewreel,2]="ls *.jpg | awk '{ page = substr(\$0, 1, length(\$0) - 4) \".htm\"; printf \"<HTML><HEAD><TITLE>%s</TITLE></HEAD><BODY><IMG SRC=\\\"%s\\\"></BODY></HTML>\\n\", \$0, \$0 > page; close(page) }'"
  [galleria,1]='python3 "$BENCH/index_writer.py"'
  [postpage,1]="sed -i 's/^From: /From: /' *.htm"
  [dateren,1]="perl -e 'for my \$f (glob \"*.jpg\") { my @t = localtime((stat \$f)[9]); my \$d = sprintf(\"(%02d%02d%02d)\", \$t[5] % 100, \$t[4] + 1, \$t[3]); (my \$b = \$f) =~ s/\\.jpg\$//; rename \$f, \"\$b\$d.jpg\"; rename \"\$b.htm\", \"\$b\$d.htm\"; rename \"\$b.txt\", \"\$b\$d.txt\" }'"
)
declare -A peername=([minipix,1]="vipsthumbnail, xargs -P $cores" [viewreel,1]="write, fsync, rename"
  [viewreel,2]="awk, no flush" [galleria,1]="index_writer.py" [postpage,1]="sed -i"
  [dateren,1]="perl rename")
# galleria is timed by its CPU, the others by the wall clock.
declare -A clock=([galleria]=cpu)

# time_in DIR COMMAND: "wall cpu" of the command in DIR's album.
time_in() {
  local wall cpu peak
  sync
  read -r wall cpu peak < <(cd "$1/album" && WEFTDRIVES="C=$1" measure "$2 >/dev/null 2>&1")
  echo "$wall $cpu"
}

# sides NAME: suite, then 1 .. the number of other tools.
sides() { echo suite; seq 1 "${peers[$1]}"; }

bench_begin "$@"
declare -A per   # [name,side,size] = microseconds an image
for size in "${sizes[@]}"; do
  echo "Folders of $size images: preparing ..." >&2
  for k in images site news; do make_folder "$work/t$k" "$size" "$k"; done
  for name in "${names[@]}"; do
    for side in $(sides "$name"); do
      # Linked copies where every contender writes new files or renames: the
      # copies share the files' contents. postpage replaces its pages, which
      # writes into a file of several names: it gets copies of its own.
      copy=-al
      [[ ${kind[$name]} == news ]] && copy=-a
      for ((r = 0; r < runs; r++)); do cp $copy "$work/t${kind[$name]}" "$work/$name-$side-$r"; done
    done
  done
  sync
  declare -A times=()
  for ((r = 0; r < runs; r++)); do
    for name in "${names[@]}"; do
      for side in $(sides "$name"); do
        if [[ $side == suite ]]; then command=${suite[$name]}; else command=${peer[$name,$side]}; fi
        read -r wall cpu < <(time_in "$work/$name-$side-$r" "$command")
        if [[ ${clock[$name]:-wall} == cpu ]]; then times[$name,$side]+="$cpu "; else times[$name,$side]+="$wall "; fi
        load_sample
      done
    done
  done
  if ! cmp -s "$work/galleria-suite-0/album/index.htm" "$work/galleria-1-0/album/index.htm"; then
    echo "note: index_writer.py's page differs from galleria's at $size images" >&2
  fi
  for name in "${names[@]}"; do
    for side in $(sides "$name"); do
      t=$(tr ' ' '\n' <<<"${times[$name,$side]}" | grep . | median)
      per[$name,$side,$size]=$(calc "$t * 1000000 / $size")
    done
  done
  rm -rf "$work"/t* "$work"/*-suite-* "$work"/*-[0-9]-*
  # Freed inodes slow the next allocations for 30 s on a file system without
  # a journal: the next size starts afterwards.
  [[ $size == "${sizes[-1]}" ]] || sleep 31
done

first=${sizes[0]}
last=${sizes[-1]}
echo
echo "Microseconds an image (median of $runs runs; galleria and its writer: CPU time, the others:"
echo "wall time); in brackets the program's time over the first other tool's; growth: the time an"
echo "image at $last images over that at $first"
echo
size_header "${sizes[@]}"
row() {  # row LABEL NAME SIDE
  local label=$1 name=$2 side=$3 size
  printf '| %s |' "$label"
  for size in "${sizes[@]}"; do
    if [[ $side == suite ]]; then
      printf ' %.0f (%.2f) |' "${per[$name,suite,$size]}" "$(calc "${per[$name,suite,$size]} / ${per[$name,1,$size]}")"
    else
      printf ' %.0f |' "${per[$name,$side,$size]}"
    fi
  done
  printf ' %.2f |\n' "$(calc "${per[$name,$side,$last]} / ${per[$name,$side,$first]}")"
}
declare -A shown=([minipix]='`minipix`' [viewreel]='`viewreel /B /H`' [galleria]='`galleria`, CPU'
  [postpage]='`postpage *.htm`' [dateren]='`dateren *.jpg`')
for name in "${names[@]}"; do
  row "${shown[$name]}" "$name" suite
  for ((p = 1; p <= ${peers[$name]}; p++)); do row "${peername[$name,$p]}" "$name" "$p"; done
done
echo
echo "(goals: viewreel within 1.00 of write, fsync, rename; galleria within 1.00 of index_writer.py's CPU)"
bench_end
