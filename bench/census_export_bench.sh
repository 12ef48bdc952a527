#!/usr/bin/env bash
# Times a whole country's census export to CSV and prints figures (no pass/fail):
#   bench/census_export_bench.sh [--runs N] [--against OTHER_BIN_DIR] [--profile] [--moe] [BUILD_DIR]
# The list is every ZIP code of the place table (data/place-names.tsv, 42,555
# entries), so the run asks for every ZCTA in one answer of about 11 MB. Each
# figure is the median of N runs (default 3), with its peak RSS (/usr/bin/time):
#   online   an export against the sample site (--every-zip), with --cache; also
#            with --rate 0, unpaced as curl is
#   offline  the same export from that cache: --offline --year 2023
#   curl     curl fetching the same addresses, in the same order, from the site
# --against measures another build's zipdemographics-cli the same way, beside.
# --profile then prints perf's functions with the most time (children included)
# of one offline export of each build.
# --moe gives every export --moe (the margins, CVs and words), so that --against
# compares two builds' --moe.
# --totals measures instead the offline export with --moe, and with --total --moe,
# against the plain one (each from a cache of its own), and prints the ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

build=build
runs=3
against=
profile=0
totals=0
moe=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --against) against="$2"; shift 2 ;;
    --profile) profile=1; shift ;;
    --totals) totals=1; shift ;;
    --moe) moe=(--moe); shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done

bench_install_tools
bench_prepare "$build"

bench_start_site --every-zip
url="http://127.0.0.1:$port"
export CENSUS_API_KEY="bench-key"  # the imitation wants a key on every request
cut -f1 data/place-names.tsv > "$work/zips.txt"

# Runs "$@" under /usr/bin/time; appends "wall-seconds peak-kB user-seconds system-seconds" to the file $1.
timed() {
  local into="$1"; shift
  local status=0
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@" > /dev/null 2> "$work/err" || status=$?
  [ "$status" -le 1 ] || { cat "$work/err" >&2; exit 1; }
  cat "$work/time" >> "$into"
}

# Prints the medians of a figures file.
report() {
  local name="$1" figures="$2"
  printf '%-40s median of %d: %6.2f s wall %6.2f s CPU %8.1f MB peak RSS\n' "$name" "$runs" \
    "$(cut -d' ' -f1 "$figures" | median)" "$(awk '{ print $3 + $4 }' "$figures" | median)" \
    "$(cut -d' ' -f2 "$figures" | median | awk '{ print $1 / 1024 }')"
}

# What every export here is given.
census=(--quiet --source census --census-url "$url" --cache "$work/cache" --zips "$work/zips.txt" "${moe[@]}")

measure() {
  local label="$1" cli_bin="$2"
  local online="$work/online.$RANDOM" unpaced="$work/unpaced.$RANDOM" offline="$work/offline.$RANDOM"
  for _ in $(seq "$runs"); do
    rm -rf "$work/cache"
    timed "$unpaced" "$cli_bin" export "${census[@]}" --rate 0 -o "$work/online.csv"
    rm -rf "$work/cache"
    timed "$online" "$cli_bin" export "${census[@]}" -o "$work/online.csv"
    timed "$offline" "$cli_bin" export "${census[@]}" --offline --year 2023 -o "$work/offline.csv"
  done
  report "$label: online, csv" "$online"
  report "$label: online --rate 0, csv" "$unpaced"
  report "$label: offline --year 2023, csv" "$offline"
  [ "$profile" = 0 ] || profile_offline "$cli_bin"
}

# The offline export's functions with the most time, callees included.
profile_offline() {
  command -v perf > /dev/null || { echo "(perf is missing: no profile)"; return 0; }
  perf record -q -F 2000 --call-graph dwarf,16384 -o "$work/perf.data" \
    "$1" export "${census[@]}" --offline --year 2023 -o "$work/offline.csv" > /dev/null 2>&1
  perf report -i "$work/perf.data" --children --stdio -g none --percent-limit 4 2> /dev/null |
    grep -E '\] zd::' | awk '{ $2 = ""; $3 = ""; $4 = ""; $5 = ""; print }' | cut -c1-120 | head -25
}

# curl asks for what the last export asked for, one address after another.
measure_curl() {
  local figures="$work/curl.figures"
  awk '$4 ~ /^\/data\// { print $4 }' "$work/site.log" | sort -u > "$work/targets"
  for _ in $(seq "$runs"); do
    timed "$figures" bash -c 'while read -r t; do curl -s -o /dev/null "$0$t"; done < "$1"' "$url" "$work/targets"
  done
  report "curl: the same $(wc -l < "$work/targets") addresses" "$figures"
}

# The offline export plain, with --moe and with --total --moe, each from its own
# cache filled by one online run first; the medians and their ratios.
measure_totals() {
  local name figures options
  declare -A wall rss
  for name in plain moe total; do
    case "$name" in
      plain) options=() ;;
      moe) options=(--moe) ;;
      total) options=(--total --moe) ;;
    esac
    local given=(--quiet --source census --census-url "$url" --cache "$work/cache-$name" --zips "$work/zips.txt" --year 2023)
    "$cli" export "${given[@]}" "${options[@]}" -o "$work/$name.csv" > /dev/null 2>&1 || true
    figures="$work/$name.figures"
    for _ in $(seq "$runs"); do
      timed "$figures" "$cli" export "${given[@]}" "${options[@]}" --offline -o "$work/$name.csv"
    done
    report "offline, csv ${options[*]:-(plain)}" "$figures"
    wall[$name]=$(cut -d' ' -f1 "$figures" | median)
    rss[$name]=$(cut -d' ' -f2 "$figures" | median)
  done
  awk -v p="${wall[plain]}" -v m="${wall[moe]}" -v t="${wall[total]}" -v pr="${rss[plain]}" -v mr="${rss[moe]}" -v tr="${rss[total]}" \
    'BEGIN { printf "--total --moe: %.2fx the time of the plain export, %.2fx that of --moe; peak RSS %.2fx, %.2fx\n", t / p, t / m, tr / pr, tr / mr }'
  tail -n 1 "$work/total.csv" | cut -c1-120
}

echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); $(wc -l < "$work/zips.txt") entries"
if [ "$totals" = 1 ]; then
  measure_totals
  exit 0
fi
measure "this build" "$cli"
[ -z "$against" ] || measure "$against" "$against/zipdemographics-cli"
measure_curl
