#!/usr/bin/env bash
# Peak memory of the census source reading one large answer from the API
# (figures only, no pass/fail): a loopback stand-in answers a table of about
# MEGABYTES (default 200) with 50 variables a row; the command line asks for
# two ZCTAs of it, with and without --cache. Peak RSS and wall time come from
# /usr/bin/time; bytes of peak per byte of answer are printed beside them.
#   bench/census_memory_bench.sh [--megabytes N] [--against OTHER_BIN_DIR] [BUILD_DIR]
# --against measures another build's zipdemographics-cli the same way, beside.
set -euo pipefail
cd "$(dirname "$0")/.."

megabytes=200
against=
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    --megabytes) megabytes="$2"; shift 2 ;;
    --against) against="$2"; shift 2 ;;
    *) build="$1"; shift ;;
  esac
done

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

python3 bench/census_answer_server.py "$work/port" "$megabytes" &
server_pid=$!
for _ in $(seq 1 600); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(cat "$work/port")"
for n in $(seq 1 50); do printf 'DP02_%04dE\n' "$n"; done > "$work/variables.txt"
answer_bytes=$(curl -s "$url/data/2023/acs/acs5/profile?get=x" | wc -c)
awk -v b="$answer_bytes" 'BEGIN { printf "answer: %d bytes (%.1f MB)\n", b, b / 1048576 }'

measure() {
  local label="$1" bin="$2"; shift 2
  rm -rf "$work/cache"
  local status=0
  CENSUS_API_KEY=bench-key /usr/bin/time -v -o "$work/time" "$bin/zipdemographics-cli" export --source census -o "$work/out.csv" \
    --census-url "$url" --year 2023 --variables "$work/variables.txt" "$@" 00001 00002 \
    > "$work/out" 2> "$work/err" || status=$?
  local rss_kb wall
  rss_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time")
  awk -v l="$label" -v s="$status" -v r="$rss_kb" -v b="$answer_bytes" -v w="$wall" 'BEGIN {
    printf "%-34s exit %d  peak RSS %7.1f MB  %5.2f bytes per answer byte  wall %s\n", l, s, r / 1024, r * 1024 / b, w }'
}

for dir in "$build/bin" ${against:+"$against"}; do
  name=$([ "$dir" = "$build/bin" ] && echo "this build" || echo "$dir")
  measure "$name" "$dir"
  measure "$name, --cache" "$dir" --cache "$work/cache"
done
