#!/usr/bin/env bash
# Loads localweb side by side with lighttpd and mini-httpd (Debian's) on
# 127.0.0.1 and prints requests per second with the ratios:
#
#   - static files: a 2 KB page and a 200 KB image (and, for growth with the
#     size, a 2 MB image) with ab (HTTP/1.0, no keep-alive, 16 clients) and
#     wrk (16 connections; every server here closes after each answer);
#   - growth with the clients: the 2 KB page with ab at 1, 16 and 64 clients;
#   - CGI: galleria answering a query over a 2000-record index database,
#     run by localweb and by lighttpd's mod_cgi (the same program file);
#   - slow clients: the 2 KB page with ab (16 clients) while 500 other
#     connections each send one header byte every 5 s and never finish
#     (bench/slow_clients.py): requests per second and the longest answer,
#     printed as the rows of a Markdown table.
#
# Each figure is the median of RUNS runs of SECONDS seconds, the servers
# taking turns run by run, so that a change of the machine's load falls on
# all of them alike; the tables come in the README's form. The servers are
# built (Release, build-bench/) or installed first when missing.
#
#   bench/localweb.sh [SECONDS] [RUNS]      defaults: 3 seconds, 3 runs
#
# Not a test: it never runs in CI.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/timing.sh"
seconds=${1:-3}
runs=${2:-3}
build="$top/build-bench"
. "$top/scripts/packages.sh"
weft_ensure_packages lighttpd mini-httpd apache2-utils wrk || exit 1

work=$(mktemp -d /tmp/localweb-bench.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

echo "Building localweb, galleria (Release) ..."
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build "$build" -j 4 --target localweb galleria >/dev/null || { echo "build failed"; exit 1; }

# --- The site --------------------------------------------------------------------

site="$work/site"
mkdir -p "$site/icons" "$site/cgi-bin"
chmod 755 "$work"
head -c 2048 /dev/urandom | base64 -w 76 | head -c 2000 | { printf '<HTML><BODY><PRE>\n'; cat; } >"$site/page.htm"
truncate -s 2048 "$site/page.htm"
head -c 204800 /dev/urandom >"$site/image.jpg"
head -c 2097152 /dev/urandom >"$site/large.jpg"
cp "$top/kit/"* "$site/icons/"
# 2000 records, every tenth with the keyword sea.
awk 'BEGIN {
  for (i = 0; i < 2000; i++) {
    kw = (i % 10 == 0) ? "sea, boat" : "hills";
    printf "Picture %04d\tC:\\album%d\\pic%04d.jpg\tA picture.\t%s\t\tthumbs\\tn_pic%04d_jpg.jpg:96,72\t50\t0\t0002\n",
      i, i % 20, i, kw, i
  }
}' >"$site/index.db"
# The same program for both: localweb runs "galleria" for the URL
# "galleria.cgi", lighttpd runs the file the URL names.
cp "$build/bin/galleria" "$site/cgi-bin/galleria"
cp "$build/bin/galleria" "$site/cgi-bin/galleria.cgi"
printf '%s\n' 'slides=window' 'indexdb=index.db' 'startdir=C:\' 'cgiurl=/cgi-bin/galleria.cgi' \
  >"$site/cgi-bin/weftcgi.ini"
chmod -R a+rX "$site"
export WEFTDRIVES="C=$site"
query="query=sea&count=20"

# --- The servers -----------------------------------------------------------------------

free_port() {
  local port
  for port in $(shuf -i 20000-60000 -n 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

wait_port() {
  local i
  for i in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

declare -A port
start_localweb() {
  port[localweb]=$(free_port)
  (cd "$site" && exec "$build/bin/localweb" "/P:${port[localweb]}") >"$work/localweb.log" 2>&1 &
  pids+=($!)
}

start_lighttpd() {
  port[lighttpd]=$(free_port)
  cat >"$work/lighttpd.conf" <<EOF
server.document-root = "$site"
server.bind = "127.0.0.1"
server.port = ${port[lighttpd]}
server.errorlog = "$work/lighttpd.err"
server.modules += ("mod_cgi", "mod_setenv")
cgi.assign = (".cgi" => "")
setenv.add-environment = ("WEFTDRIVES" => "C=$site")
mimetype.assign = (".htm" => "text/html", ".jpg" => "image/jpeg")
EOF
  lighttpd -D -f "$work/lighttpd.conf" >"$work/lighttpd.log" 2>&1 &
  pids+=($!)
}

start_mini_httpd() {
  port[mini-httpd]=$(free_port)
  mini_httpd -D -h 127.0.0.1 -p "${port[mini-httpd]}" -d "$site" -l /dev/null >"$work/mini.log" 2>&1 &
  pids+=($!)
}

start_localweb
start_lighttpd
start_mini_httpd
for server in localweb lighttpd mini-httpd; do
  wait_port "${port[$server]}" || { echo "$server did not start"; cat "$work"/*.log "$work"/*.err 2>/dev/null; exit 1; }
done

# --- Loads ---------------------------------------------------------------------------

. "$top/bench/timing.sh"

# ab_rate SERVER PATH CLIENTS: requests per second of one ab run; "failed"
# when a request failed or was not answered with 200.
ab_rate() {
  local url="http://127.0.0.1:${port[$1]}$2" out
  out=$(ab -q -t "$seconds" -n 10000000 -c "$3" "$url" 2>&1)
  if ! grep -q '^Failed requests: *0$' <<<"$out" || grep -q '^Non-2xx' <<<"$out" ||
    ! grep -q '^Requests per second' <<<"$out"; then
    echo failed
    return
  fi
  awk '/^Requests per second/ { print $4 }' <<<"$out"
}

# wrk_rate SERVER PATH CONNECTIONS: requests per second of one wrk run;
# "failed" when any request failed.
wrk_rate() {
  local url="http://127.0.0.1:${port[$1]}$2" out
  out=$(wrk -t 4 -c "$3" -d "${seconds}s" "$url" 2>&1)
  if grep -q -e 'Non-2xx' -e 'Socket errors:.*\(read\|write\|timeout\) [1-9]' <<<"$out" ||
    ! grep -q '^Requests/sec' <<<"$out"; then
    echo failed
    return
  fi
  awk '/^Requests\/sec/ { print $2 }' <<<"$out"
}

ratio() {
  case "$1$2" in *failed* | *-*) echo "-" ;; *) awk "BEGIN { printf \"%.2f\", $1 / $2 }" ;; esac
}

# rates TOOL PATH CLIENTS SERVER...: the median rate of each server, one a
# line, the servers taking turns run by run; "failed" for a server with a
# failed run.
rates() {
  local tool=$1 path=$2 clients=$3 r server rate
  shift 3
  declare -A got=()
  for ((r = 0; r < runs; r++)); do
    for server in "$@"; do
      rate=$("${tool}_rate" "$server" "$path" "$clients")
      got[$server]+="$rate "
      load_sample
    done
  done
  for server in "$@"; do
    if [[ ${got[$server]} == *failed* ]]; then echo failed; continue; fi
    printf '%.0f\n' "$(tr ' ' '\n' <<<"${got[$server]}" | grep . | median)"
  done
}

# row LABEL LOCALWEB LIGHTTPD MINI: one line of figures and ratios.
row() {
  printf '| %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4" "$(ratio "$2" "$3")" "$(ratio "$2" "$4")"
}

header() {
  echo
  echo "| $1 | localweb | lighttpd | mini_httpd | /lighttpd | /mini_httpd |"
  echo "|---|---:|---:|---:|---:|---:|"
}

static_row() {
  local label=$1 tool=$2 path=$3 clients=$4 figures
  mapfile -t figures < <(rates "$tool" "$path" "$clients" localweb lighttpd mini-httpd)
  row "$label" "${figures[@]}"
}

bench_begin "$@"
echo "localweb against lighttpd $(lighttpd -v 2>&1 | sed -n 's/^lighttpd\/\([^ ]*\).*/\1/p') and mini_httpd" \
  "on 127.0.0.1; requests per second, median of $runs runs of $seconds s"

header "16 clients"
static_row "2 KB page, ab" ab /page.htm 16
static_row "2 KB page, wrk" wrk /page.htm 16
static_row "200 KB image, ab" ab /image.jpg 16
static_row "200 KB image, wrk" wrk /image.jpg 16
static_row "2 MB image, ab" ab /large.jpg 16

header "2 KB page, ab"
for clients in 1 16 64; do
  static_row "$clients client$( ((clients > 1)) && echo s)" ab /page.htm "$clients"
done

echo
echo "| galleria as CGI, 16 clients | localweb | lighttpd | /lighttpd |"
echo "|---|---:|---:|---:|"
for tool in ab wrk; do
  mapfile -t figures < <(rates "$tool" "/cgi-bin/galleria.cgi?$query" 16 localweb lighttpd)
  printf '| %s | %s | %s | %s |\n' "$tool" "${figures[0]}" "${figures[1]}" "$(ratio "${figures[0]}" "${figures[1]}")"
done

# --- Slow clients ----------------------------------------------------------------

# slow_figures SERVER: with 500 slow clients connected, the 2 KB page with ab
# at 16 clients: requests per second (best of the runs), the longest answer
# in milliseconds (of all the runs) and how many slow clients the server
# still held at the end; "failed" when a request failed or was not answered.
slow_figures() {
  local server=$1 log="$work/slow-$1.out" slow i out rate longest best=0 worst=0 failed=""
  python3 "$top/bench/slow_clients.py" "${port[$server]}" 500 5 >"$log" 2>&1 &
  slow=$!
  for i in $(seq 200); do
    grep -q '^ready' "$log" && break
    sleep 0.05
  done
  for ((i = 0; i < runs; i++)); do
    out=$(ab -q -t "$seconds" -n 10000000 -c 16 "http://127.0.0.1:${port[$server]}/page.htm" 2>&1)
    if ! grep -q '^Failed requests: *0$' <<<"$out" || grep -q '^Non-2xx' <<<"$out" ||
      ! grep -q '^Requests per second' <<<"$out"; then
      failed=1
      break
    fi
    rate=$(awk '/^Requests per second/ { print $4 }' <<<"$out")
    longest=$(awk '/longest request/ { print $2 }' <<<"$out")
    less "$best" "$rate" && best=$rate
    less "$worst" "$longest" && worst=$longest
  done
  kill "$slow" 2>/dev/null
  wait "$slow" 2>/dev/null
  if [ -n "$failed" ]; then
    echo "failed failed -"
    return
  fi
  echo "$best $worst $(awk '/^held/ { print $2 }' "$log")"
}

# md_row LABEL LOCALWEB LIGHTTPD MINI: one row of the Markdown table.
md_row() {
  echo "| $1 | $2 | $3 | $4 | $(ratio "$2" "$3") | $(ratio "$2" "$4") |"
}

declare -A slow_rate slow_longest slow_held
for server in localweb lighttpd mini-httpd; do
  read -r slow_rate[$server] slow_longest[$server] slow_held[$server] < <(slow_figures "$server")
done
echo
echo "Slow clients: the 2 KB page, ab with 16 clients, while 500 connections each send a header byte every 5 s"
echo
echo "| 500 slow clients, 2 KB page, ab | localweb | lighttpd | mini_httpd | /lighttpd | /mini_httpd |"
echo "|---|---:|---:|---:|---:|---:|"
md_row "requests per second" "${slow_rate[localweb]}" "${slow_rate[lighttpd]}" "${slow_rate[mini-httpd]}"
md_row "longest answer, ms" "${slow_longest[localweb]}" "${slow_longest[lighttpd]}" "${slow_longest[mini-httpd]}"
echo
echo "Slow clients still connected at the end: localweb ${slow_held[localweb]}, lighttpd ${slow_held[lighttpd]}," \
  "mini_httpd ${slow_held[mini-httpd]} of 500."
bench_end
