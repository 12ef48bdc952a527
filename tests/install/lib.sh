# Shared steps of the install tests. Sourced, not run.
# A test fails with a message on standard error; it skips (exit 77) only where a
# tool it needs is missing, and says which.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need_tool() {
  command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed (package $2)"; exit 77; }
}

# Starts the sample site of a tree in the background; sets site_pid and site_port.
start_site() {
  local program="$1" port_file="$2"
  "$program" > "$port_file" &
  site_pid=$!
  local tries=0
  until [ -s "$port_file" ] && [ "$(wc -l < "$port_file")" -ge 1 ]; do
    kill -0 "$site_pid" 2>/dev/null || fail "$program ended before it printed its port"
    [ $((tries += 1)) -le 300 ] || fail "$program printed no port"
    sleep 0.1
  done
  site_port="$(head -n1 "$port_file")"
  trap stop_site EXIT
}

stop_site() {
  [ -n "${site_pid-}" ] && kill -TERM "$site_pid" 2>/dev/null && wait "$site_pid" 2>/dev/null
  site_pid=""
}
