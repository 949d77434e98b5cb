#!/usr/bin/env bash
# Growth of the per-folder programs with the size of a folder, each side by
# side with what a user would otherwise run over the same files:
#   minipix   vs  vipsthumbnail over the same images (one process, one thread)
#   viewreel  vs  awk writing one page per image
#   galleria  vs  ls -l of the folder, then head -c 1024 of every page and thumbnail
#   postpage  vs  sed -i over the same slide pages
#   dateren   vs  perl renaming each image and its page after the file date
# For folders of 1,000, 3,000 and 10,000 images (or the sizes given): the
# time per image (best of RUNS, each run on a fresh copy of the folder), the
# ratio to the other tool, and the growth: the time per image at the largest
# size over that at the smallest (linear work gives 1.0).
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
[[ ${#sizes[@]} -gt 0 ]] || sizes=(1000 3000 10000)
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
# the album (the suite's program, then the other tool) and the other tool's name.
names=(minipix viewreel galleria postpage dateren)
declare -A kind=([minipix]=images [viewreel]=images [galleria]=site [postpage]=news [dateren]=site)
declare -A suite=(
  [minipix]='"$BIN/minipix"'
  [viewreel]='"$BIN/viewreel" /B /H'
  [galleria]='"$BIN/galleria"'
  [postpage]='"$BIN/postpage" "*.htm"'
  [dateren]='"$BIN/dateren" "*.jpg"'
)
declare -A peer=(
  [minipix]='vipsthumbnail -s 120x120 -o "thumbs/tn_%s_jpg.jpg" *.jpg'
  [viewreel]="ls *.jpg | awk '{ page = substr(\$0, 1, length(\$0) - 4) \".htm\"; printf \"<HTML><HEAD><TITLE>%s</TITLE></HEAD><BODY><IMG SRC=\\\"%s\\\"></BODY></HTML>\\n\", \$0, \$0 > page; close(page) }'"
  [galleria]='ls -l . thumbs >index.txt && find . -maxdepth 2 -type f \( -name "*.htm" -o -name "tn_*" \) -print0 | xargs -0 head -q -c 1024 >/dev/null'
  [postpage]="sed -i 's/^From: /From: /' *.htm"
  [dateren]="perl -e 'for my \$f (glob \"*.jpg\") { my @t = localtime((stat \$f)[9]); my \$d = sprintf(\"(%02d%02d%02d)\", \$t[5] % 100, \$t[4] + 1, \$t[3]); (my \$b = \$f) =~ s/\\.jpg\$//; rename \$f, \"\$b\$d.jpg\"; rename \"\$b.htm\", \"\$b\$d.htm\"; rename \"\$b.txt\", \"\$b\$d.txt\" }'"
)
declare -A peername=([minipix]="vipsthumbnail" [viewreel]="awk pages" [galleria]="ls + head"
  [postpage]="sed -i" [dateren]="perl rename")

# time_in DIR COMMAND: seconds the command takes in DIR's album.
time_in() {
  local start end
  sync
  start=$(now)
  (cd "$1/album" && export WEFTDRIVES="C=$1" && eval "$2" >/dev/null 2>&1) || true
  end=$(now)
  calc "$end - $start"
}

declare -A per  # [name,side,size] = microseconds per image
for size in "${sizes[@]}"; do
  echo "Folders of $size images: preparing ..." >&2
  for k in images site news; do make_folder "$work/t$k" "$size" "$k"; done
  for name in "${names[@]}"; do
    for side in suite peer; do
      # Linked copies where every contender writes new files or renames: the
      # copies share the files' contents. postpage replaces its pages, which
      # writes into a file of several names: it gets copies of its own.
      copy=-al
      [[ ${kind[$name]} == news ]] && copy=-a
      for ((r = 0; r < runs; r++)); do cp $copy "$work/t${kind[$name]}" "$work/$name-$side-$r"; done
    done
  done
  sync
  for name in "${names[@]}"; do
    for side in suite peer; do
      best=""
      for ((r = 0; r < runs; r++)); do
        if [[ $side == suite ]]; then command=${suite[$name]}; else command=${peer[$name]}; fi
        t=$(time_in "$work/$name-$side-$r" "$command")
        if [[ -z $best ]] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
      done
      per[$name,$side,$size]=$(calc "$best * 1000000 / $size")
    done
  done
  rm -rf "$work"/t* "$work"/*-suite-* "$work"/*-peer-*
  # Freed inodes slow the next allocations for 30 s on a file system without
  # a journal: the next size starts afterwards.
  [[ $size == "${sizes[-1]}" ]] || sleep 31
done

first=${sizes[0]}
last=${sizes[-1]}
echo
echo "Microseconds per image (best of $runs runs), each with the other tool beside it"
printf '%-10s %-15s' "program" "other tool"
for size in "${sizes[@]}"; do printf ' %17s' "$size images"; done
printf '  %s\n' "growth $last/$first"
for name in "${names[@]}"; do
  printf '%-10s %-15s' "$name" ""
  for size in "${sizes[@]}"; do printf ' %9.0f (%5.2fx)' "${per[$name,suite,$size]}" \
    "$(calc "${per[$name,suite,$size]} / ${per[$name,peer,$size]}")"; done
  printf '  %6.2fx\n' "$(calc "${per[$name,suite,$last]} / ${per[$name,suite,$first]}")"
  printf '%-10s %-15s' "" "${peername[$name]}"
  for size in "${sizes[@]}"; do printf ' %9.0f %8s' "${per[$name,peer,$size]}" ""; done
  printf '  %6.2fx\n' "$(calc "${per[$name,peer,$last]} / ${per[$name,peer,$first]}")"
done
echo "(in brackets: the program's time over the other tool's)"
