#!/usr/bin/env bash
# unpost's decoding side by side with uudeview's, in one sitting: one
# message with a yEnc attachment and one with a MIME base64 attachment
# (random bytes, so nothing compresses) at 5, 20 and 200 MB (or the sizes
# given, in MB), and 50 messages of 4 MB each decoded by one run of each
# tool. For each: megabytes of attachment a second (the median of RUNS runs,
# and of more at small sizes, enough for 100 MB of attachment a tool, since
# a decoding of 5 MB lasts some 30 ms and the machine's moments move it by
# half; after one that warms the caches; the tools take turns, run by run), the
# peak memory of the decoding process, and unpost's rate over uudeview's.
# Both write the attachments to a fresh folder each run; the written files
# are checked against the original bytes.
#
#   bench/unpost.sh [MB ...]       RUNS=3 by default
#
# Builds a release tree in build-bench/ unless BIN names a folder of built
# programs. Not a test: timings depend on the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/packages.sh"
weft_ensure_packages uudeview
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(5 20 200)
runs=${RUNS:-3}
if [[ -z "${BIN:-}" ]]; then
  cmake -S "$top" -B "$top/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-bench" -j 4 --target unpost >/dev/null
  BIN="$top/build-bench/bin"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/weft-unpost.XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_messages DIR MB [COUNT]: DIR/yenc.txt and DIR/base64.txt carrying
# DIR/data.bin; with COUNT, COUNT pairs DIR/yenc-N.txt and DIR/base64-N.txt
# carrying yenc-N.bin and base64-N.bin of the same bytes.
make_messages() {
  python3 - "$1" "$2" "${3:-0}" <<'PY'
import base64, os, re, sys, zlib
folder, megabytes, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = os.urandom(megabytes * 1024 * 1024)
open(os.path.join(folder, "data.bin"), "wb").write(data)
# yEnc: every byte plus 42; NUL, LF, CR and '=' escaped; lines of 128.
encoded = data.translate(bytes((i + 42) % 256 for i in range(256)))
encoded = re.sub(rb"[\x00\n\r=]", lambda m: b"=" + bytes([(m.group()[0] + 64) % 256]), encoded)
lines, at = [], 0
while at < len(encoded):
    end = min(at + 128, len(encoded))
    if encoded[end - 1] == 61 and end < len(encoded):
        end += 1  # an escape stays whole
    lines.append(encoded[at:end])
    at = end
yenc = b"\n".join(lines) + b"\n"
encoded64 = base64.encodebytes(data)

def write(suffix):
    with open(os.path.join(folder, "yenc%s.txt" % suffix), "wb") as f:
        f.write(b"From: ann@example.org\nSubject: yEnc\nNewsgroups: alt.test\n\n")
        f.write(b"=ybegin line=128 size=%d name=yenc%s.bin\n" % (len(data), suffix.encode()))
        f.write(yenc)
        f.write(b"=yend size=%d crc32=%08x\n" % (len(data), zlib.crc32(data)))
    with open(os.path.join(folder, "base64%s.txt" % suffix), "wb") as f:
        f.write(b'From: ann@example.org\nSubject: base64\nMIME-Version: 1.0\n'
                b'Content-Type: multipart/mixed; boundary="XX"\n\n--XX\nContent-Type: text/plain\n\nHello\n'
                b'--XX\nContent-Type: application/octet-stream; name="base64%s.bin"\n'
                b'Content-Transfer-Encoding: base64\n'
                b'Content-Disposition: attachment; filename="base64%s.bin"\n\n'
                % (suffix.encode(), suffix.encode()))
        f.write(encoded64)
        f.write(b"--XX--\n")

if count == 0:
    write("")
for n in range(count):
    write("-%d" % n)
PY
}

. "$top/bench/timing.sh"

export BIN WORK="$work" WEFTDRIVES="C=$work"

# decode KIND TOOL MESSAGES...: "wall cpu peak-KB" of one run of TOOL over
# the messages, in a fresh folder; every attachment it wrote must equal the
# original bytes.
decode() {
  local kind=$1 tool=$2 out="$work/out" result m
  shift 2
  rm -rf "$out"
  mkdir -p "$out"
  local list=""
  for m in "$@"; do list+=" ../$m"; done
  if [[ $tool == unpost ]]; then
    result=$(cd "$out" && measure "\"\$BIN/unpost\" /Y $list >/dev/null")
  else
    result=$(cd "$out" && measure "uudeview -i -o -q -p . $list >/dev/null 2>&1")
  fi
  for m in "$@"; do
    cmp -s "$out/${m%.txt}.bin" "$work/data.bin" || { echo "$tool wrote a wrong ${m%.txt}.bin" >&2; exit 1; }
  done
  rm -rf "$out"
  echo "$result"
}

# run_case CASE MB KIND MESSAGES...: the medians for both tools into
# rate[CASE,TOOL] (MB a second) and peak[CASE,TOOL] (MB).
declare -A rate peak
run_case() {
  local case=$1 megabytes=$2 kind=$3 r tool wall cpu kb
  local count=$(((100 + megabytes - 1) / megabytes))
  ((count > runs)) || count=$runs
  shift 3
  declare -A walls=() kbs=()
  for ((r = 0; r <= count; r++)); do
    for tool in unpost uudeview; do
      read -r wall cpu kb < <(decode "$kind" "$tool" "$@")
      load_sample
      ((r == 0)) && continue
      walls[$tool]+="$wall "
      kbs[$tool]+="$kb "
    done
  done
  for tool in unpost uudeview; do
    rate[$case,$tool]=$(calc "$megabytes / $(tr ' ' '\n' <<<"${walls[$tool]}" | grep . | median)")
    peak[$case,$tool]=$(calc "$(tr ' ' '\n' <<<"${kbs[$tool]}" | grep . | median) / 1024")
  done
}

bench_begin "$@"
cases=()
for size in "${sizes[@]}"; do
  rm -f "$work"/*.txt "$work"/*.bin
  make_messages "$work" "$size"
  for kind in yenc base64; do
    run_case "$kind,$size MB" "$size" "$kind" "$kind.txt"
    cases+=("$kind,$size MB")
  done
done
rm -f "$work"/*.txt "$work"/*.bin
make_messages "$work" 4 50
for kind in yenc base64; do
  messages=()
  for ((n = 0; n < 50; n++)); do messages+=("$kind-$n.txt"); done
  run_case "$kind,50 x 4 MB" 200 "$kind" "${messages[@]}"
  cases+=("$kind,50 x 4 MB")
done

echo
echo "MB of attachment a second (median of $runs runs, at least 100 MB a tool) and peak memory"
echo
echo "| attachment | unpost MB/s | uudeview MB/s | unpost / uudeview | unpost peak MB | uudeview peak MB |"
echo "|---|---:|---:|---:|---:|---:|"
for case in "${cases[@]}"; do
  printf '| %s, %s | %.0f | %.0f | %.2f | %.0f | %.0f |\n' "${case%%,*}" "${case#*,}" \
    "${rate[$case,unpost]}" "${rate[$case,uudeview]}" \
    "$(calc "${rate[$case,unpost]} / ${rate[$case,uudeview]}")" "${peak[$case,unpost]}" "${peak[$case,uudeview]}"
done
echo "(goals: unpost at least 1.5 times uudeview's rate; its peak memory at most 1.1 times the"
echo " message and a few MB)"
bench_end
