#!/usr/bin/env bash
# Times how long a run waits on a server that trickles (2.5 bytes a second, so
# that no stall limit ever trips) and prints figures (no pass/fail):
#   bench/trickle_bench.sh [BUILD_DIR]
# 1. lookup of one site page with --timeout 5, then with the defaults (--timeout
#    60, 3 retries): the page's deadline ends it, and it is not asked again.
# 2. export of one ZCTA from the census source with --timeout 5: a census
#    answer may take 5 x --timeout.
# 3. lookup of three pages with --timeout 60 and --time-limit 8: the run's limit
#    ends it, every entry failed.
# Each line: the case, the wall seconds, the exit status and why it ended.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

build="${1:-build}"
bench_install_tools
bench_prepare "$build"

python3 bench/trickle_server.py "$work/port" 2.5 &
site_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/port")

# Runs the cli with the arguments given; prints the case's line.
measure() {
  local what="$1"; shift
  local start end status=0
  start=$(date +%s.%N)
  "$cli" "$@" > /dev/null 2> "$work/err" || status=$?
  end=$(date +%s.%N)
  printf '%-44s %7.1f s  exit %d  %s\n' "$what" "$(awk "BEGIN { print $end - $start }")" "$status" \
    "$(grep -o 'took longer than [0-9]* seconds\|time limit[^)]*)' "$work/err" | sort -u | head -n1)"
}

measure "site page, --timeout 5" lookup --site "127.0.0.1:$port" --delay 0 --timeout 5 --quiet 03053
measure "site page, the defaults" lookup --site "127.0.0.1:$port" --delay 0 --quiet 03053
echo DP05_0001E > "$work/v.txt"
CENSUS_API_KEY=bench-key measure "census answer, --timeout 5" export --source census \
  --census-url "http://127.0.0.1:$port" --year 2023 --variables "$work/v.txt" --timeout 5 --quiet 03053 -o "$work/out.csv"
measure "three site pages, --time-limit 8" lookup --site "127.0.0.1:$port" --delay 0 --jobs 1 \
  --time-limit 8 --quiet 03053 01830 10001
