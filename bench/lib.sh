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
