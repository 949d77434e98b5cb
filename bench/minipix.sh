#!/usr/bin/env bash
# Times minipix against other thumbnail makers on a folder of camera-sized
# JPEGs (3000x2000, about 1.7 MB each) made by the project's own encoder:
# the decode-only floor `djpeg -scale 1/8`, `vipsthumbnail` and ImageMagick
# `convert -thumbnail`, each on one core. The tools that start one process an
# image are also shown less their process start-up, measured by running each
# with -version. Tools that are missing are skipped (run as root, the script
# installs them with apt-get first).
#
#   bench/minipix.sh [COUNT] [RUNS]     defaults: 40 images, best of 3 runs
#
# Not a test: it never runs in CI.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-40}
runs=${2:-3}
build="$top/build-bench"
work=$(mktemp -d /tmp/minipix-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

have() { command -v "$1" >/dev/null 2>&1; }
real_convert() { have convert && convert -version 2>/dev/null | grep -q ImageMagick; }

install_tools() {
  [ "$(id -u)" = 0 ] && have apt-get || return 0
  local missing=()
  have djpeg || missing+=(libjpeg-turbo-progs)
  have vipsthumbnail || missing+=(libvips-tools)
  real_convert || missing+=(imagemagick)
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]} ..."
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"; } \
    >/dev/null 2>&1 || echo "(could not install ${missing[*]}; going on without)"
}

build_project() {
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$build" --target minipix weftjpeg weftplatform >/dev/null &&
    c++ -O2 -std=c++20 -I"$top" "$top/bench/make_test_jpegs.cpp" \
      "$build/libweftjpeg.a" "$build/libweftplatform.a" -ljpeg -o "$build/make_test_jpegs"
}

# One core for every contender.
pin=()
have taskset && pin=(taskset -c 0)
export VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

. "$top/bench/timing.sh"

# best_of SETUP COMMAND: the shortest wall time in seconds of COMMAND over
# $runs runs, SETUP (untimed) before each.
best_of() {
  local setup=$1 command=$2 best="" start end t i
  for ((i = 0; i < runs; i++)); do
    eval "$setup"
    start=$(now)
    eval "$command" >/dev/null 2>&1 || { echo "failed: $command" >&2; return 1; }
    end=$(now)
    t=$(calc "$end - $start")
    if [ -z "$best" ] || less "$t" "$best"; then best=$t; fi
  done
  echo "$best"
}

install_tools
build_project || { echo "build failed"; exit 1; }

images="$work/images"
mkdir -p "$images/thumbs" "$work/out"
(cd "$images" && "$build/make_test_jpegs" . "$count") || { echo "cannot make test images"; exit 1; }
bytes=$(cat "$images"/*.jpg | wc -c)
echo "$count test images of 3000x2000, $((bytes / count / 1024)) KB on average; best of $runs runs, one core"
echo

declare -A took
show() {
  printf '%-44s %8.3f s  %7.2f ms an image\n' "$1" "$2" "$(calc "$2 * 1000 / $count")"
}
# measure KEY LABEL SETUP COMMAND
measure() {
  local t
  t=$(best_of "$3" "$4") || return 0
  took[$1]=$t
  show "$2" "$t"
}
# net KEY LABEL: a per-image-process tool less its process start-up.
net() {
  [ -n "${took[$1]:-}" ] && [ -n "${took[$1-start]:-}" ] || return 0
  took[$1-net]=$(calc "${took[$1]} - ${took[$1-start]}")
  show "$2" "${took[$1-net]}"
}
ratio() {
  [ -n "${took[$2]:-}" ] || return 0
  printf 'minipix / %-34s %6.2f\n' "$3" "$(calc "${took[minipix]} / ${took[$2]}")"
}

cd "$images"
each() { echo 'for f in *.jpg; do '"${pin[*]}"' '"$1"' || exit 1; done'; }
measure minipix "minipix (one process)" 'rm -f thumbs/*' "${pin[*]} $build/bin/minipix"
if have djpeg; then
  measure djpeg "djpeg -scale 1/8 (a process an image)" : "$(each 'djpeg -scale 1/8 -outfile /dev/null "$f"')"
  measure djpeg-start "  its process start-up (djpeg -version)" : "$(each 'djpeg -version')"
  net djpeg "  decode only, less start-up"
fi
if have vipsthumbnail; then
  measure vips "vipsthumbnail (one process, one thread)" 'rm -f "$work"/out/*' \
    "${pin[*]} vipsthumbnail -s 100x100 -o \"$work/out/%s_tn.jpg\" *.jpg"
fi
if real_convert; then
  measure convert "convert -thumbnail (a process an image)" 'rm -f "$work"/out/*' \
    "$(each 'convert "$f" -thumbnail 100x100 "$work/out/tn_$f"')"
  measure convert-start "  its process start-up (convert -version)" : "$(each 'convert -version')"
  net convert "  less start-up"
fi

echo
[ -n "${took[minipix]:-}" ] || exit 1
ratio minipix djpeg-net "decode floor (djpeg, less start-up)"
ratio minipix djpeg "djpeg -scale 1/8"
ratio minipix vips "vipsthumbnail"
ratio minipix convert-net "convert -thumbnail (less start-up)"
