#!/usr/bin/env bash
# Times whole-country maps and prints figures (no pass/fail):
#   bench/map_bench.sh [--runs N] [BUILD_DIR]
# Every ZCTA of `zipdemographics-site --every-zip` (about 33,000 dots) with the
# census source, its answers fetched once into a cache; then, N times each
# (default 5), from the cache alone (--offline), so that no transfer is timed:
#   export of the same list to CSV, every built-in figure  (no drawing)
#   export of the map's one figure (--variables), as the map asks for it alone
#   map as PNG (1600 px) and as SVG (reading the one figure's answers and drawing)
# Prints the medians of wall time and peak memory (/usr/bin/time -f %M); the
# drawing's share is the map's time less the one figure's export.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

build=build
runs=5
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done

bench_install_tools
bench_prepare "$build"
bench_start_census_site

bench_every_zcta "$work/zips.txt"
common=(--quiet --source census --year 2023 --cache "$work/cache" --zips "$work/zips.txt")
printf 'DP03_0062E\tdollars\n' > "$work/one-figure.txt"
# The whole set's answers and the map's figure's answers are kept apart in the cache.
"$cli" export "${common[@]}" -o "$work/warm.csv" 2> /dev/null
"$cli" map "${common[@]}" --figure DP03_0062E -o "$work/warm.png" 2> /dev/null

# One command $runs times from the cache: the medians of wall seconds and peak MB.
measure() {
  local name="$1"; shift
  : > "$work/walls"; : > "$work/peaks"
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %M' -o "$work/time" "$cli" "$@" "${common[@]}" --offline 2> /dev/null
    cut -d' ' -f1 "$work/time" >> "$work/walls"
    cut -d' ' -f2 "$work/time" >> "$work/peaks"
  done
  printf '%-34s %8s s %8.1f MB   (medians of %d)\n' "$name" "$(median < "$work/walls")" \
    "$(awk -v kb="$(median < "$work/peaks")" 'BEGIN { print kb / 1024 }')" "$runs"
}

echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); $(grep -c "" "$work/zips.txt") ZCTAs"
measure "export csv (no drawing)" export -o "$work/all.csv"
measure "export csv, the map's figure" export --variables "$work/one-figure.txt" -o "$work/one.csv"
measure "map png, 1600 px" map --figure DP03_0062E -o "$work/all.png"
measure "map svg" map --figure DP03_0062E -o "$work/all.svg"
echo "svg $(($(stat -c %s "$work/all.svg") / 1024)) KB, png $(($(stat -c %s "$work/all.png") / 1024)) KB"
