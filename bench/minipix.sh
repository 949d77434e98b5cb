#!/usr/bin/env bash
# minipix side by side with the other thumbnail makers on a folder of
# camera-sized JPEGs (4000x3000, made by the project's own encoder), in one
# sitting:
#   - on every core: minipix (a worker per core) against vipsthumbnail over
#     as many processes as there are cores (xargs -P), and against minipix's
#     own run on one worker (NUMBER_OF_PROCESSORS=1);
#   - on one core (taskset): minipix, vipsthumbnail in one process and one
#     thread, the decode-only floor `djpeg -scale 1/8` and ImageMagick
#     `convert -thumbnail` (a process an image, less its process start-up,
#     measured with -version).
# Each figure is the median of RUNS runs; the contenders take turns, run by
# run, so that a change of the machine's load falls on all of them alike.
# Wall seconds, CPU seconds and the peak memory of the largest process;
# ratios are minipix's time over the other tool's. Tools that are missing
# are installed first (as root) or skipped.
#
#   bench/minipix.sh [COUNT] [RUNS]     defaults: 200 images, 3 runs
#
# Builds a release tree in build-bench/. Not a test: it never runs in CI.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-200}
runs=${2:-3}
build="$top/build-bench"
work=$(mktemp -d "${TMPDIR:-/tmp}/minipix-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$top/scripts/packages.sh"
weft_ensure_packages libjpeg-turbo-progs libvips-tools imagemagick || echo "(going on without them)"
. "$top/bench/timing.sh"

have() { command -v "$1" >/dev/null 2>&1; }
real_convert() { have convert && convert -version 2>/dev/null | grep -q ImageMagick; }

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build "$build" -j 4 --target minipix weftjpeg weftshared weftplatform >/dev/null &&
  c++ -O2 -std=c++20 -I"$top" "$top/bench/make_test_jpegs.cpp" "$build/libweftjpeg.a" \
    "$build/libweftshared.a" "$build/libweftplatform.a" -ljpeg -o "$work/make_test_jpegs" ||
  { echo "build failed"; exit 1; }

cores=$(nproc)
images="$work/images"
mkdir -p "$images/thumbs" "$work/out"
(cd "$images" && WEFTDRIVES="C=$work" "$work/make_test_jpegs" 'C:\images' "$count" 4000 3000 90 4) ||
  { echo "cannot make test images"; exit 1; }
bytes=$(cat "$images"/*.jpg | wc -c)

export MINIPIX="$build/bin/minipix" WORK="$work" WEFTDRIVES="C=/" VIPS_CONCURRENCY=1 \
  MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1 CORES="$cores"
pin="taskset -c 0"
each() { echo 'for f in *.jpg; do '"$pin $1"' || exit 1; done'; }

# The contenders: key, label, command (run in the images' folder; the
# thumbnails of the last run are removed before each).
keys=()
declare -A label command
add() { keys+=("$1"); label[$1]=$2; command[$1]=$3; }
add minipix "minipix, a worker per core" '"$MINIPIX"'
add minipix-one "minipix, one worker" 'NUMBER_OF_PROCESSORS=1 "$MINIPIX"'
if have vipsthumbnail; then
  add vips-all "vipsthumbnail, xargs -P $cores" \
    'ls *.jpg | xargs -P "$CORES" -n 4 vipsthumbnail -s 100x100 -o "$WORK/out/%s_tn.jpg"'
  add vips-core "vipsthumbnail, one process, one core" \
    "$pin"' vipsthumbnail -s 100x100 -o "$WORK/out/%s_tn.jpg" *.jpg'
fi
add minipix-core "minipix, one core" "$pin"' "$MINIPIX"'
if have djpeg; then
  add djpeg "djpeg -scale 1/8, a process an image" "$(each 'djpeg -scale 1/8 -outfile /dev/null "$f"')"
  add djpeg-start "  its start-up (djpeg -version)" "$(each 'djpeg -version >/dev/null 2>&1')"
fi
if real_convert; then
  add convert "convert -thumbnail, a process an image" \
    "$(each 'convert "$f" -thumbnail 100x100 "$WORK/out/tn_$f"')"
  add convert-start "  its start-up (convert -version)" "$(each 'convert -version >/dev/null')"
fi

bench_begin "$@"
echo "$count images of 4000x3000, $((bytes / count / 1024)) KB on average; median of $runs runs"
declare -A walls cpus peaks
cd "$images" || exit 1
for ((r = 0; r < runs; r++)); do
  for key in "${keys[@]}"; do
    rm -f thumbs/* "$work"/out/*
    sync
    read -r wall cpu peak < <(measure "${command[$key]} >/dev/null 2>&1") || true
    walls[$key]+="$wall "
    cpus[$key]+="$cpu "
    peaks[$key]+="$peak "
    load_sample
  done
done
declare -A wall cpu peak
for key in "${keys[@]}"; do
  wall[$key]=$(tr ' ' '\n' <<<"${walls[$key]}" | grep . | median)
  cpu[$key]=$(tr ' ' '\n' <<<"${cpus[$key]}" | grep . | median)
  peak[$key]=$(tr ' ' '\n' <<<"${peaks[$key]}" | grep . | median)
done
# A tool started once an image, less its start-up.
for tool in djpeg convert; do
  [[ -n ${wall[$tool]:-} && -n ${wall[$tool-start]:-} ]] || continue
  wall[$tool]=$(calc "${wall[$tool]} - ${wall[$tool-start]}")
  cpu[$tool]=$(calc "${cpu[$tool]} - ${cpu[$tool-start]}")
  label[$tool]="${label[$tool]}, less start-up"
done

echo
echo "| contender | wall s | CPU s | ms an image | peak MB |"
echo "|---|---:|---:|---:|---:|"
for key in "${keys[@]}"; do
  [[ $key == *-start ]] && continue
  printf '| %s | %.2f | %.2f | %.1f | %.0f |\n' "${label[$key]}" "${wall[$key]}" "${cpu[$key]}" \
    "$(calc "${wall[$key]} * 1000 / $count")" "$(calc "${peak[$key]} / 1024")"
done

# ratio KEY OTHER WHAT GOAL TEXT: minipix's figure over the other's, beside its goal.
ratio() {
  [[ -n ${wall[$2]:-} ]] || return 0
  local value
  if [[ $3 == cpu ]]; then value=$(calc "${cpu[$1]} / ${cpu[$2]}"); else value=$(calc "${wall[$1]} / ${wall[$2]}"); fi
  printf '| %s | %.2f | %s |\n' "$5" "$value" "$4"
}
echo
echo "| ratio | value | goal |"
echo "|---|---:|---|"
ratio minipix vips-all wall "at most 1.00" "minipix wall / vipsthumbnail over $cores processes"
ratio minipix-one minipix wall "at least 6 on 8 cores" "minipix one worker / a worker per core (speed-up)"
ratio minipix-core vips-core cpu "" "minipix CPU / vipsthumbnail CPU, one core"
ratio minipix-core djpeg cpu "" "minipix CPU / the decode floor (djpeg), one core"
ratio minipix-core convert cpu "" "minipix CPU / convert, one core"
bench_end
