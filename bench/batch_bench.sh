#!/usr/bin/env bash
# Times a long export against the sample site and prints figures (no pass/fail).
#   bench/batch_bench.sh [--count N] [--skip-defaults] [BUILD_DIR]
# 1. N entries (default 2000) from `zipdemographics-site --every-zip --latency 100`,
#    exported with --jobs 8 --rate 0: wall time against the ideal N x 0.1 s / 8 and
#    against `curl --parallel --parallel-max 8` fetching the same N addresses;
#    requests the site saw; peak memory (/usr/bin/time -v).
# 2. The same export with the default pace, and the rate the site saw.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
source bench/lib.sh

count=2000
defaults=1
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    --count) count="$2"; shift 2 ;;
    --skip-defaults) defaults=0; shift ;;
    -h|--help) sed -n '2,8p' "$0"; exit 0 ;;
    *) build="$1"; shift ;;
  esac
done

bench_install_tools
bench_prepare "$build"

start_site() { bench_start_site --every-zip --latency 100; }
stop_site() { kill "$site_pid"; wait "$site_pid" 2>/dev/null || true; site_pid=; }

# No line end after the last entry: a final line end would add an empty entry.
seq 10000 $((10000 + count - 1)) | head -c -1 > "$work/zips.txt"

# Requests in the site's log, the pages among them, and the rate they arrived at:
# on average, and the most that arrived within any one second.
site_figures() {
  python3 - "$work/site.log" <<'PY'
import sys, datetime
times, pages = [], 0
for line in open(sys.argv[1]):
    fields = line.split(' ')
    times.append(datetime.datetime.fromisoformat(fields[0].replace('Z', '+00:00')).timestamp())
    pages += '/index.php?zip=' in fields[3]
times.sort()
span = times[-1] - times[0] if len(times) > 1 else 0
most, first = 0, 0
for last in range(len(times)):
    while times[last] - times[first] >= 1.0:
        first += 1
    most = max(most, last - first + 1)
rate = (len(times) - 1) / span if span else 0
print(f"site saw {len(times)} requests ({pages} pages), {rate:.2f} per second on average, "
      f"at most {most} in any one second")
PY
}

# Runs a command under /usr/bin/time -v; prints wall seconds and peak kilobytes.
timed() {
  /usr/bin/time -v -o "$work/time" "$@"
  python3 - "$work/time" <<'PY'
import sys
wall = peak = None
for line in open(sys.argv[1]):
    key, _, value = line.strip().rpartition(': ')
    if key.startswith('Elapsed (wall clock) time'):
        parts = [float(p) for p in value.split(':')]
        wall = sum(p * 60 ** i for i, p in enumerate(reversed(parts)))
    elif key == 'Maximum resident set size (kbytes)':
        peak = int(value)
print(f"{wall:.2f} {peak}")
PY
}

ideal=$(python3 -c "print($count * 0.1 / 8)")
echo "== $count entries, site latency 100 ms, --jobs 8 --rate 0 (ideal ${ideal} s)"
start_site
read -r cli_wall cli_peak < <(timed "$cli" export --site "127.0.0.1:$port" --jobs 8 --rate 0 --quiet \
  --zips "$work/zips.txt" -o "$work/out.txt" 2>"$work/cli.err" | tail -n1)
echo "zipdemographics-cli: ${cli_wall} s wall, peak RSS ${cli_peak} KB ($(tail -n1 "$work/cli.err"))"
site_figures
stop_site

start_site
while read -r zip; do
  printf 'url = "http://127.0.0.1:%s/index.php?zip=%s&amppagetype=main"\noutput = "/dev/null"\n' "$port" "$zip"
done < <(cat "$work/zips.txt"; echo) > "$work/curl.cfg"
read -r curl_wall curl_peak < <(timed curl --silent --show-error --no-progress-meter --parallel --parallel-max 8 --config "$work/curl.cfg" | tail -n1)
echo "curl --parallel --parallel-max 8: ${curl_wall} s wall, peak RSS ${curl_peak} KB"
site_figures
stop_site
python3 -c "print(f'cli / ideal = {$cli_wall / $ideal:.3f}   cli / curl = {$cli_wall / $curl_wall:.3f}')"

if [ "$defaults" = 1 ]; then
  echo "== $count entries, the default pace (--jobs 2 --rate 2)"
  start_site
  read -r wall peak < <(timed "$cli" export --site "127.0.0.1:$port" --quiet \
    --zips "$work/zips.txt" -o "$work/out-defaults.txt" 2>"$work/cli.err" | tail -n1)
  echo "zipdemographics-cli: ${wall} s wall, peak RSS ${peak} KB ($(tail -n1 "$work/cli.err"))"
  site_figures
  stop_site
  cmp -s "$work/out.txt" "$work/out-defaults.txt" && echo "both exports are byte-identical"
fi
