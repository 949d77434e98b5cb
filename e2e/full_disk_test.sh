#!/usr/bin/env bash
# Every program that rewrites a file, run as a user runs it on a disk that
# is full: each must report an error, exit with a code other than 0 and
# leave the file it meant to rewrite exactly as it was, with no temporary
# file behind. The command interpreter's commands that write through a
# redirection must say why they failed and set error level 1; dateren,
# whose renames need no room, renames each picture with its companions. The disk is a small tmpfs in a private mount namespace
# (unshare), filled up before each program runs; no real device is needed.
#
#   e2e/full_disk_test.sh BIN_DIR
#
# Exits 0 when all checks pass; prints each failure.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 1 ]; then
  echo "usage: e2e/full_disk_test.sh BIN_DIR" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
# The programs run as at a console of their own, also when the test is
# started from a desktop's terminal: no display for galstart's error box to
# open on (it would wait for a click), no log of the user's (WEFTLOG) for
# the failures to go into, and weftcmd as the command interpreter.
unset DISPLAY WEFTLOG COMSPEC

# The checks run in a mount namespace of their own, where mounting a tmpfs
# needs no privilege beyond what unshare gives.
if [ "${2:-}" != "--inside" ]; then
  for user in "" --map-root-user; do
    if unshare $user --mount true 2>/dev/null; then
      exec unshare $user --mount --propagation private -- "$0" "$bin" --inside
    fi
  done
  echo "FAIL: no private mount namespace (unshare --mount) for the small disk"
  exit 1
fi

work=$(mktemp -d /tmp/full-disk.XXXXXX)
disk="$work/disk"
keep="$work/keep"
mkdir -p "$disk" "$keep"
trap 'cd /; umount "$disk" 2>/dev/null; rm -rf "$work"' EXIT
if ! mount -t tmpfs -o size=1m tmpfs "$disk"; then
  echo "FAIL: cannot mount a tmpfs in a private mount namespace"
  exit 1
fi
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A fresh folder on the disk for one case; the filler of the last case goes.
fresh() {
  rm -rf "${disk:?}"/*
  mkdir -p "$disk/$1"
  cd "$disk/$1" || exit 1
}

# Fills the disk to its last byte.
fill() {
  dd if=/dev/zero of="$disk/filler" bs=4096 >/dev/null 2>&1
  dd if=/dev/zero of="$disk/filler2" bs=1 >/dev/null 2>&1
  if echo x >"$disk/probe" 2>/dev/null && [ -s "$disk/probe" ]; then
    rm -f "$disk/probe"
    fail "the disk could not be filled"
  fi
  rm -f "$disk/probe"
}

# Remembers files of the current folder as they are now.
remember() {
  local f
  for f in "$@"; do cp -p "$f" "$keep/$(basename "$f").kept"; done
}

# expect_failure NAME FILES... -- COMMAND...: the command, on the full disk,
# exits with a code other than 0, reports an error and leaves the
# remembered FILES as they were; no new file appears in the folder.
expect_failure() {
  local name=$1 files=() f
  shift
  while [ "$1" != "--" ]; do files+=("$1"); shift; done
  shift
  local before
  before=$(ls -A | sort)
  "$@" >"$work/out" 2>"$work/err" </dev/null
  local code=$?
  [ "$code" -ne 0 ] || fail "$name: exit code 0 on a full disk"
  grep -qi -e "error" -e "unable" -e "can't" "$work/out" "$work/err" ||
    fail "$name: no error reported: $(cat "$work/out" "$work/err")"
  for f in "${files[@]}"; do
    cmp -s "$f" "$keep/$(basename "$f").kept" || fail "$name: $f changed or lost"
  done
  local added
  added=$(comm -13 <(echo "$before") <(ls -A | sort) | tr '\n' ' ')
  [ -z "$added" ] || fail "$name: files left behind: $added"
}

page() {
  printf '<HTML>\n<HEAD>\n<TITLE>%s</TITLE>\n<META NAME="DESCRIPTION" CONTENT="%s">\n</HEAD>\n<BODY>\n<P>%s</P>\n</BODY>\n</HTML>\n' "$1" "$2" "$3"
}

gif() { printf 'GIF89a\x80\x02\xe0\x01\x00\x00\x00'; }

# --- infoed and rankpage: page-head edits ---------------------------------------
fresh site
page "Harbour" "Boats at dawn" "Our text" >page.htm
remember page.htm
fill
expect_failure "infoed /T" page.htm -- "$bin/infoed" page.htm "/T:A new title"

# A page with a second name gets its new version written into it. With
# room for the new version beside it but not for the page to grow, that is
# refused before the old text is touched.
fresh linked
page "Harbour" "Boats at dawn" "$(head -c 3900 /dev/zero | tr '\0' x)" >page.htm
ln page.htm other.htm
remember page.htm
head -c 8192 /dev/zero >"$disk/spare"
fill
rm -f "$disk/spare"
expect_failure "infoed /T, hard-linked page" page.htm -- "$bin/infoed" page.htm "/T:$(head -c 250 /dev/zero | tr '\0' t)"
cmp -s other.htm page.htm || fail "infoed /T, hard-linked page: the two names differ"

fresh rank
page "Harbour" "Boats at dawn" "Our text" >page.htm
printf 'page.htm\n' >list.txt
remember page.htm
fill
expect_failure "rankpage" page.htm -- "$bin/rankpage" list.txt

# --- viewreel: a slide with the user's text -----------------------------------------
fresh slides
mkdir icons pics
cd pics || exit 1
gif >a.gif
page "Harbour" "Boats at dawn" "<!-- BEGIN TEXT -->The boats came in.<!-- END TEXT -->" >a.htm
remember a.htm
fill
expect_failure "viewreel" a.htm -- "$bin/viewreel"

# The road of a user who gives a slide a long head with infoed and then
# rebuilds the slides with button icons: the slide, its long description and
# keyword list, stays whole.
fresh longheads
mkdir icons pics
for icon in prev next home noprev nonext; do gif >icons/$icon.gif; done
cd pics || exit 1
gif >a.gif
"$bin/viewreel" /B /H >/dev/null 2>&1
description="Boats & nets at dawn, $(seq -s ' ' 1 120 | head -c 420)"
keywords=$(seq -f 'harbour%g' -s ', ' 1 100 | head -c 898)
"$bin/infoed" a.htm "/D:$description" >/dev/null 2>&1
"$bin/infoed" a.htm "/K:$keywords" >/dev/null 2>&1
grep -q "harbour80" a.htm || fail "viewreel /B /H, long head: infoed did not write the keywords"
remember a.htm
fill
expect_failure "viewreel /B /H, long head" a.htm -- "$bin/viewreel" /B /H

# --- galleria: an index page with a hand-written heading --------------------------
fresh index
mkdir icons trip
cd trip || exit 1
page "Beach" "Sand" "x" >beach.htm
printf '<HTML><HEAD><TITLE>Trip</TITLE></HEAD>\n<BODY>\n<!-- BEGIN HEADING -->\n<H1>Ours</H1>\n<!-- END HEADING -->\n</BODY>\n' >index.htm
remember index.htm
fill
expect_failure "galleria" index.htm -- "$bin/galleria"

# --- minipix: a stale thumbnail ------------------------------------------------------
fresh thumbs
mkdir thumbs
cp "$here/../examples/gallery/city/bridge.jpg" a.jpg
printf 'an old thumbnail' >thumbs/tn_a_jpg.jpg
touch -d '2001-01-01' thumbs/tn_a_jpg.jpg
remember thumbs/tn_a_jpg.jpg
fill
before=$(ls -A thumbs)
expect_failure "minipix" thumbs/tn_a_jpg.jpg -- "$bin/minipix"
[ "$(ls -A thumbs)" = "$before" ] || fail "minipix: files left in thumbs: $(ls -A thumbs)"

# --- minipix: several stale thumbnails, made side by side ------------------------------
fresh workers
mkdir thumbs
for name in a b c d e f; do
  cp "$here/../examples/gallery/city/bridge.jpg" $name.jpg
  printf 'an old thumbnail of %s' $name >thumbs/tn_${name}_jpg.jpg
  touch -d '2001-01-01' thumbs/tn_${name}_jpg.jpg
done
(cd thumbs && remember tn_*_jpg.jpg)
fill
before=$(ls -A thumbs)
expect_failure "minipix, several workers" thumbs/tn_{a,b,c,d,e,f}_jpg.jpg -- "$bin/minipix"
[ "$(ls -A thumbs)" = "$before" ] || fail "minipix, several workers: files left in thumbs: $(ls -A thumbs)"

# --- postpage and hrefmend: pages rewritten through a temporary file ---------------
fresh news
printf '<HTML><BODY>\n<IMG SRC="a.jpg">\n<PRE>\nFrom: Ann\nSubject: Apples\n\nRipe now.\n</PRE>\n</BODY></HTML>\n' >news.htm
remember news.htm
fill
expect_failure "postpage" news.htm -- "$bin/postpage" news.htm

fresh links
mkdir -p site/new
page "Target" "t" "x" >site/new/target.htm
printf 'Target\t%s\\site\\new\\target.htm\t\t\t\t\t50\t0\t0001\n' "C:$(echo "$disk/links" | tr / '\\')" >index.db
cd site || exit 1
printf '<HTML><BODY><A HREF="old/target.htm">Target</A></BODY></HTML>\n' >links.htm
remember links.htm
fill
expect_failure "hrefmend" links.htm -- "$bin/hrefmend" links.htm

# --- unpost /Y: an attachment that exists already --------------------------------
fresh mail
printf 'the attachment a user keeps' >att.bin
payload=$(head -c 3000 /dev/urandom | base64)
printf 'From: ann@example.com\nSubject: A file\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary="XX"\n\n--XX\nContent-Type: text/plain\n\nHello.\n--XX\nContent-Type: application/octet-stream; name="att.bin"\nContent-Transfer-Encoding: base64\n\n%s\n--XX--\n' "$payload" >msg.txt
remember att.bin msg.txt
fill
expect_failure "unpost /Y" att.bin msg.txt -- "$bin/unpost" /Y msg.txt

# --- galstart and foldmeld /B: batch files -------------------------------------------
fresh batch
printf '@old command\n' >refolio.bat
: >placeholder.txt
remember refolio.bat
fill
expect_failure "galstart" refolio.bat -- "$bin/galstart" /newcommand "$disk/batch/placeholder.txt"

fresh merge
mkdir -p src dst
printf 'a' >src/a.jpg
printf 'REM the old batch\n' >FOLDMEL1.BAT
remember FOLDMEL1.BAT
fill
expect_failure "foldmeld /B" FOLDMEL1.BAT -- "$bin/foldmeld" /B /C src dst

# --- associate: the registry file ---------------------------------------------------
fresh registry
mkdir -p home/.config/tessarin
printf 'a program' >tool.exe
env -u XDG_CONFIG_HOME -u WEFTREGISTRY HOME="$disk/registry/home" "$bin/associate" ".qqq(Q)" "Open=$disk/registry/tool.exe" >/dev/null 2>&1
reg=home/.config/tessarin/registry.txt
[ -s "$reg" ] || fail "associate: no registry file to start from"
remember "$reg"
fill
expect_failure "associate" "$reg" -- env -u XDG_CONFIG_HOME -u WEFTREGISTRY HOME="$disk/registry/home" \
  "$bin/associate" ".zzz(Z)" "Open=$disk/registry/tool.exe"

# --- envdirs: the boot batch file -----------------------------------------------------
fresh boot
printf '@ECHO OFF\r\nPATH C:\\DOS;C:\\WINDOWS\r\n' >AUTOEXEC.BAT
mkdir tools
remember AUTOEXEC.BAT
fill
expect_failure "envdirs" AUTOEXEC.BAT -- env WEFTDRIVES="C=$disk/boot" "$bin/envdirs" 'C:\tools'

# The boot file on another device than its folder (C:\AUTOEXEC.BAT a link
# to it): the new version goes over as a copy beside it, which the full disk
# refuses; the copy goes too.
fresh otherboot
mkdir -p "$work/boot/tools"
printf '@ECHO OFF\r\nPATH C:\\DOS;C:\\WINDOWS\r\n' >autoexec.bat
ln -sf "$disk/otherboot/autoexec.bat" "$work/boot/AUTOEXEC.BAT"
remember autoexec.bat
fill
expect_failure "envdirs, boot file on another device" autoexec.bat -- \
  env WEFTDRIVES="C=$work/boot" "$bin/envdirs" 'C:\tools'
leftover=$(ls -A "$work/boot" | grep -v -e '^AUTOEXEC.BAT$' -e '^AUTOEXEC.OLD$' -e '^tools$' | tr '\n' ' ')
[ -z "$leftover" ] || fail "envdirs, boot file on another device: files left beside the link: $leftover"

# --- weftcmd: commands that write through a redirection -------------------------------
# expect_write_error NAME LINE: the command line, run by weftcmd in the
# current folder on the full disk, writes through its redirection: it must
# say why that failed and set error level 1 (the exit code).
expect_write_error() {
  local name=$1 line=$2
  "$bin/weftcmd" /C "$line" >"$work/out" 2>"$work/err" </dev/null
  local code=$?
  [ "$code" -eq 1 ] || fail "$name: error level $code on a full disk"
  grep -q "There is not enough space on the disk." "$work/err" ||
    fail "$name: no error reported: $(cat "$work/out" "$work/err")"
}

fresh cmd
head -c 200000 /dev/urandom >"$work/source.bin"
head -c 4096 /dev/zero | tr '\0' x >page.txt
fill
expect_write_error "weftcmd type" "type C:$work/source.bin > typed.bin"
expect_write_error "weftcmd type, appended" "type page.txt >> page.txt"
expect_write_error "weftcmd echo" "echo A line of text > echoed.txt"
expect_write_error "weftcmd copy, its report" "copy C:$work/source.bin C:$work/copied.bin > copied.log"
cmp -s "$work/source.bin" "$work/copied.bin" || fail "weftcmd copy, its report: the copy itself is not whole"
expect_write_error "weftcmd copy, its error" "copy none.txt C:$work/x.txt 2> error.log"

# --- dateren: renames need no room --------------------------------------------------
fresh dates
for name in a b-2; do
  printf 'picture %s' "$name" >$name.jpg
  touch -d '1999-07-04 12:00' $name.jpg
  printf 'slide %s' "$name" >$name.htm
done
printf 'text' >a.txt
fill
TZ=UTC "$bin/dateren" a.jpg b-2.jpg >"$work/out" 2>"$work/err" </dev/null ||
  fail "dateren: exit code $? on a full disk"
[ "$(ls -A | tr '\n' ' ')" = "a(990704).htm a(990704).jpg a(990704).txt b(990704).htm b(990704).jpg " ] ||
  fail "dateren: on a full disk it left $(ls -A | tr '\n' ' ') ($(cat "$work/err"))"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "All programs kept their files on a full disk."
