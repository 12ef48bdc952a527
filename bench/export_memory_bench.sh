#!/usr/bin/env bash
# Peak memory and wall time of long exports against the sample site, per format
# and list length, and the cost of filling a page cache (figures, no pass/fail).
#   bench/export_memory_bench.sh [--counts "10000 41000"] [--formats "aligned csv"]
#                                [--cache-count N] [--repeat R] [--against OTHER_BIN_DIR]
#                                [BUILD_DIR]
# Every export: `zipdemographics-site --every-zip` (no latency), --jobs 16 --rate 0,
# N distinct ZIP codes from 10000 on; peak RSS and wall time from /usr/bin/time.
# --against runs the same exports with another build's programs beside (today's).
# The cache run exports N pages (default 20000) R times (default 3) without and
# into an empty --cache folder, in turn, and prints the medians with the CPU
# seconds in the program and in the kernel: the folders are removed only at the
# end, since a file system slows down creating files just after removing many.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

counts="10000 41000"
formats="aligned csv csv-long jsonl xlsx"
cache_count=20000
repeat=3
against=
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    --counts) counts="$2"; shift 2 ;;
    --formats) formats="$2"; shift 2 ;;
    --cache-count) cache_count="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --against) against="$2"; shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done

bench_install_tools
bench_prepare "$build"
bench_start_site --every-zip
host=127.0.0.1:$port

extension() { case "$1" in aligned) echo txt ;; csv-long) echo csv ;; *) echo "$1" ;; esac; }

# One export; prints "wall-seconds peak-MB user-seconds system-seconds".
measure() {
  local cli="$1" count="$2" format="$3"; shift 3
  local options=(--format "${format%-long}")
  [ "$format" = csv-long ] && options+=(--csv-long)
  seq -w 10000 $((10000 + count - 1)) > "$work/list"
  rm -f "$work/out"
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$cli" export --site "$host" --jobs 16 --rate 0 --retries 0 \
    --quiet "${options[@]}" "$@" --zips "$work/list" -o "$work/out.$(extension "$format")" 2>/dev/null || true
  awk '{ printf "%.1f %.0f %.1f %.1f\n", $1, $2 / 1024, $3, $4 }' "$work/time"
}

printf '%-9s %8s | %10s %10s' format entries "wall s" "peak MB"
[ -n "$against" ] && printf ' | %10s %10s' "before s" "before MB"
printf '\n'
for count in $counts; do
  for format in $formats; do
    read -r wall peak _ < <(measure "$build/bin/zipdemographics-cli" "$count" "$format")
    printf '%-9s %8s | %10s %10s' "$format" "$count" "$wall" "$peak"
    if [ -n "$against" ]; then
      read -r wall peak _ < <(measure "$against/zipdemographics-cli" "$count" "$format")
      printf ' | %10s %10s' "$wall" "$peak"
    fi
    printf '\n'
  done
done


if [ "$cache_count" -gt 0 ]; then
  : > "$work/plain"
  : > "$work/cached"
  for run in $(seq "$repeat"); do
    measure "$build/bin/zipdemographics-cli" "$cache_count" csv >> "$work/plain"
    measure "$build/bin/zipdemographics-cli" "$cache_count" csv --cache "$work/cache$run" >> "$work/cached"
  done
  column_median() { awk -v c="$2" '{ print $c }' "$1" | median; }
  plain=$(column_median "$work/plain" 1)
  cached=$(column_median "$work/cached" 1)
  echo "cache fill, $cache_count pages, median of $repeat: ${plain} s without a cache" \
       "(CPU $(column_median "$work/plain" 3) s user, $(column_median "$work/plain" 4) s system)," \
       "${cached} s into an empty one (CPU $(column_median "$work/cached" 3) s user," \
       "$(column_median "$work/cached" 4) s system)" \
       "($(awk -v a="$cached" -v b="$plain" 'BEGIN { printf "%.2f", a / b }')x)"
fi
