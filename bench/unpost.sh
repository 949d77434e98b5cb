#!/usr/bin/env bash
# unpost's decoding speed side by side with uudeview's, on one message with a
# yEnc attachment and one with a MIME base64 attachment (random bytes, so
# nothing compresses), at 5, 20 and 50 MB (or the sizes given, in MB): the
# megabytes of attachment a second (best of RUNS, after a run that warms the
# caches), unpost's rate over uudeview's, and the growth of the time per
# megabyte from the smallest to the largest size. Both write the attachment
# to a fresh folder each run; the written files are checked against the
# original bytes.
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
[[ ${#sizes[@]} -gt 0 ]] || sizes=(5 20 50)
runs=${RUNS:-3}
if [[ -z "${BIN:-}" ]]; then
  cmake -S "$top" -B "$top/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-bench" -j 4 --target unpost >/dev/null
  BIN="$top/build-bench/bin"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/weft-unpost.XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_messages DIR MB: DIR/yenc.txt and DIR/base64.txt carrying DIR/data.bin.
make_messages() {
  python3 - "$1" "$2" <<'PY'
import base64, os, re, sys, zlib
folder, megabytes = sys.argv[1], int(sys.argv[2])
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
with open(os.path.join(folder, "yenc.txt"), "wb") as f:
    f.write(b"From: ann@example.org\nSubject: yEnc\nNewsgroups: alt.test\n\n")
    f.write(b"=ybegin line=128 size=%d name=yenc.bin\n" % len(data))
    f.write(b"\n".join(lines) + b"\n")
    f.write(b"=yend size=%d crc32=%08x\n" % (len(data), zlib.crc32(data)))
with open(os.path.join(folder, "base64.txt"), "wb") as f:
    f.write(b'From: ann@example.org\nSubject: base64\nMIME-Version: 1.0\n'
            b'Content-Type: multipart/mixed; boundary="XX"\n\n--XX\nContent-Type: text/plain\n\nHello\n'
            b'--XX\nContent-Type: application/octet-stream; name="base64.bin"\n'
            b'Content-Transfer-Encoding: base64\n'
            b'Content-Disposition: attachment; filename="base64.bin"\n\n')
    f.write(base64.encodebytes(data))
    f.write(b"--XX--\n")
PY
}

. "$top/bench/timing.sh"

# best MESSAGE TOOL: seconds of the best of RUNS runs; each decodes into a
# fresh folder, whose attachment must equal the original bytes.
best() {
  local message=$1 tool=$2 kind=${1%.txt} start end t least="" r out
  for ((r = 0; r <= runs; r++)); do
    out="$work/out-$tool-$r"
    rm -rf "$out"
    mkdir -p "$out"
    start=$(now)
    if [[ $tool == unpost ]]; then
      (cd "$out" && WEFTDRIVES="C=$work" "$BIN/unpost" /Y "../$message" >/dev/null)
    else
      (cd "$out" && uudeview -i -o -q -p . "../$message" >/dev/null 2>&1)
    fi
    end=$(now)
    cmp -s "$out/$kind.bin" "$work/data.bin" || { echo "$tool wrote a wrong $kind.bin" >&2; exit 1; }
    rm -rf "$out"
    ((r == 0)) && continue
    t=$(calc "$end - $start")
    if [[ -z $least ]] || less "$t" "$least"; then least=$t; fi
  done
  echo "$least"
}

declare -A rate per
for size in "${sizes[@]}"; do
  make_messages "$work" "$size"
  for message in yenc.txt base64.txt; do
    for tool in unpost uudeview; do
      t=$(best "$message" "$tool")
      rate[$message,$tool,$size]=$(calc "$size / $t")
      per[$message,$tool,$size]=$(calc "$t / $size")
    done
  done
done

first=${sizes[0]}
last=${sizes[-1]}
echo
echo "MB of attachment a second (best of $runs runs); in brackets unpost's rate over uudeview's"
printf '%-22s' "attachment of"
for size in "${sizes[@]}"; do printf ' %17s' "$size MB"; done
printf '  %s\n' "growth a MB"
for message in yenc.txt base64.txt; do
  for tool in unpost uudeview; do
    printf '%-22s' "${message%.txt}, $tool"
    for size in "${sizes[@]}"; do
      if [[ $tool == unpost ]]; then
        printf ' %8.0f (%5.2fx)' "${rate[$message,$tool,$size]}" \
          "$(calc "${rate[$message,unpost,$size]} / ${rate[$message,uudeview,$size]}")"
      else
        printf ' %8.0f %8s' "${rate[$message,$tool,$size]}" ""
      fi
    done
    printf '  %6.2fx\n' "$(calc "${per[$message,$tool,$last]} / ${per[$message,$tool,$first]}")"
  done
done
echo "(growth: the time per MB at $last MB over that at $first MB)"
