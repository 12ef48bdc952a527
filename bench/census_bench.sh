#!/usr/bin/env bash
# Times an export of every ZCTA from the sample site's imitation of the Census
# Data API and prints figures (no pass/fail):
#   bench/census_bench.sh [--site-count N] [--skip-site] [BUILD_DIR]
# 1. Every ZCTA of `zipdemographics-site --every-zip` (about 34,900), exported with
#    --source census and the built-in figures, to CSV: requests the site saw, wall
#    time, peak memory (/usr/bin/time -v); then with --moe, as a workbook, and
#    with --moe as JSON Lines.
# 2. The first N (default 2000) of the same list from the site source (one page
#    each, --jobs 8 --rate 0), beside it: a whole-list run of pages takes about
#    the list's length / N times as long.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

build=build
site_source=1
site_count=2000
while [ $# -gt 0 ]; do
  case "$1" in
    --skip-site) site_source=0; shift ;;
    --site-count) site_count="$2"; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done

bench_install_tools
bench_prepare "$build"

bench_start_census_site

# Every ZCTA the API has, as a zip list (no line end after the last entry).
bench_every_zcta "$work/zips.txt"
head -n "$site_count" "$work/zips.txt" | head -c -1 > "$work/site-zips.txt"

# Entries of a zip list without a line end after the last one.
entries_of() { echo $(($(wc -l < "$1") + 1)); }

# One export: its requests in the site's log, wall time and peak RSS.
measure() {
  local name="$1" zips="$2"; shift 2
  local before entries
  before=$(wc -l < "$work/site.log")
  entries=$(entries_of "$zips")
  # Status 1 is an entry that broke off (the site's fault-mode ZIP codes); the run is whole.
  local status=0
  /usr/bin/time -v -o "$work/time" "$cli" export --quiet --zips "$zips" "$@" > /dev/null 2> "$work/err" || status=$?
  [ "$status" -le 1 ] || { cat "$work/err" >&2; exit 1; }
  local requests wall peak
  requests=$(($(wc -l < "$work/site.log") - before))
  wall=$(sed -nE 's/.*Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (.*)/\1/p' "$work/time")
  peak=$(sed -nE 's/.*Maximum resident set size \(kbytes\): (.*)/\1/p' "$work/time")
  printf '%-44s %7d entries %7d requests %10s wall %8.1f MB peak RSS\n' "$name" "$entries" "$requests" "$wall" \
    "$(awk -v kb="$peak" 'BEGIN { print kb / 1024 }')"
}

echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
measure "census, built-in figures (41), csv" "$work/zips.txt" --source census -o "$work/census.csv"
measure "census, built-in figures and --moe, csv" "$work/zips.txt" --source census --moe -o "$work/census-moe.csv"
measure "census, built-in figures, xlsx" "$work/zips.txt" --source census -o "$work/census.xlsx"
measure "census, built-in figures and --moe, jsonl" "$work/zips.txt" --source census --moe -o "$work/census-moe.jsonl"
if [ "$site_source" = 1 ]; then
  measure "site pages, --jobs 8 --rate 0, csv" "$work/site-zips.txt" --site "127.0.0.1:$port" --jobs 8 --rate 0 -o "$work/site.csv"
fi
