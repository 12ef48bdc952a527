# Shared steps of the benchmark scripts, after scripts/lib/common.sh. Sourced, not run.

# Installs what the scripts measure with when it is missing: curl and GNU time.
bench_install_tools() {
  local need=()
  command -v curl >/dev/null || need+=(curl)
  [ -x /usr/bin/time ] || need+=(time)
  [ ${#need[@]} -eq 0 ] && return 0
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${need[@]}"
}

# Sets cli and site to the programs of the build folder $1 (exits when they are
# missing) and work to a temporary folder; at exit the sample site started with
# its process id in site_pid is stopped and the folder removed.
bench_prepare() {
  cli="$1/bin/zipdemographics-cli"
  site="$1/bin/zipdemographics-site"
  [ -x "$cli" ] && [ -x "$site" ] || { echo "build first: $cli and $site are missing" >&2; exit 2; }
  work=$(mktemp -d)
  site_pid=
  trap 'bench_cleanup' EXIT
}

bench_cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null
  rm -rf "$work"
}

# Starts the build's sample site with the arguments given ($@), logging each
# request to $work/site.log (emptied first); sets site_pid and port.
bench_start_site() {
  : > "$work/site.log"
  "$site" --log "$work/site.log" "$@" > "$work/port" 2>/dev/null &
  site_pid=$!
  for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  port=$(head -n1 "$work/port")
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Starts the sample site with every ZIP code (and any further arguments) as the
# census source's API: exports ZIPDEMOGRAPHICS_CENSUS_URL and a key, which the
# imitation wants on every request.
bench_start_census_site() {
  bench_start_site --every-zip "$@"
  export ZIPDEMOGRAPHICS_CENSUS_URL="http://127.0.0.1:$port"
  export CENSUS_API_KEY="bench-key"
}

# Writes every ZCTA the site's API has to the file $1, one a line (no line end
# after the last).
bench_every_zcta() {
  curl -s "$ZIPDEMOGRAPHICS_CENSUS_URL/data/2023/acs/acs5/profile?get=DP05_0001E&for=zip%20code%20tabulation%20area:*&key=$CENSUS_API_KEY" |
    python3 -c 'import json, sys; print("\n".join(r[-1] for r in json.load(sys.stdin)[1:]), end="")' > "$1"
}
