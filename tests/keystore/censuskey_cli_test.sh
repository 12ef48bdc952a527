#!/bin/bash
# zipdemographics-cli census-key as a user runs it: set from standard input and
# at a terminal prompt that does not show the key, status, clear, and the
# stored key used by a census run against the sample site's imitation of the
# API, the key in no output, log, other file or command line.
#   censuskey_cli_test.sh CLI SITE keyring|file
# keyring: in the session of with-keyring.sh; file: with no session bus.
set -u
cli=$1 site=$2 mode=$3
key=ab12cd34ef56ab12cd34ef56ab12cd34ef56ab12
work=$(mktemp -d)
site_pid=
cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config"
unset CENSUS_API_KEY ZIPDEMOGRAPHICS_SOURCE ZIPDEMOGRAPHICS_CENSUS_YEAR http_proxy https_proxy
if [ "$mode" = file ]; then
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
  unset DISPLAY
  place="$XDG_CONFIG_HOME/zipdemographics/census-api-key"
else
  place="the desktop's keyring"
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Runs the command line; its status in $status, its outputs in out and err.
run() { "$cli" "$@" >"$work/out" 2>"$work/err"; status=$?; }
said() { grep -qF -- "$1" "$work/out" "$work/err"; }
expect() {  # expect STATUS TEXT WHAT
  [ "$status" = "$1" ] || fail "$3: status $status, not $1 ($(cat "$work/out" "$work/err"))"
  said "$2" || fail "$3: does not say \"$2\": $(cat "$work/out" "$work/err")"
  ! grep -qF "$key" "$work/out" "$work/err" || fail "$3: the key is in its output"
}

# Nothing stored yet.
run census-key status
expect 1 "has no key" "status before set"

# Bad input stores nothing.
printf '' >"$work/in"; run census-key set <"$work/in"
expect 2 "no key was given" "set without input"
printf 'two words\n' >"$work/in"; run census-key set <"$work/in"
expect 2 "space or a control character" "set of two words"
run census-key status
expect 1 "has no key" "status after refused sets"

# From standard input.
printf '%s\n' "$key" >"$work/in"; run census-key set <"$work/in"; rm "$work/in"
expect 0 "$place" "set from standard input"
if [ "$mode" = file ]; then
  [ "$(stat -c %a "$place")" = 600 ] || fail "the key file's mode is $(stat -c %a "$place")"
  [ "$(stat -c %a "$(dirname "$place")")" = 700 ] || fail "the key folder's mode is not 700"
  [ "$(cat "$place")" = "$key" ] || fail "the key file does not hold the key"
else
  [ ! -e "$XDG_CONFIG_HOME/zipdemographics/census-api-key" ] || fail "a key file was written beside the keyring"
fi
run census-key status
expect 0 "uses the key stored in" "status after set"
CENSUS_API_KEY=from-environment run census-key status
expect 0 "the key of CENSUS_API_KEY" "status with CENSUS_API_KEY"

# A census run takes the stored key, sends it on every request, and shows it
# nowhere: not in its outputs, the site's log or its command line.
"$site" --log "$work/site.log" --latency 300 >"$work/site.port" &
site_pid=$!
for _ in $(seq 50); do [ -s "$work/site.port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/site.port")
ZIPDEMOGRAPHICS_CENSUS_URL="http://127.0.0.1:$port" "$cli" show --source census 03053 \
  >"$work/out" 2>"$work/err" &
run_pid=$!
sleep 0.2
tr '\0' ' ' <"/proc/$run_pid/cmdline" >"$work/cmdline" 2>/dev/null
wait "$run_pid"
status=$?
expect 0 "Londonderry" "census show with the stored key"
grep -qF "show --source census 03053" "$work/cmdline" || fail "the run's command line was not read"
! grep -qF "$key" "$work/cmdline" || fail "the key is on the run's command line"
requests=$(grep -c '/acs/acs5/profile' "$work/site.log")
with_key=$(grep '/acs/acs5/profile' "$work/site.log" | grep -c 'key=\*\*\*')
[ "$requests" -gt 1 ] && [ "$requests" = "$with_key" ] \
  || fail "$with_key of $requests requests to the API (variable lists and figures) carried the key"
! grep -qF "$key" "$work/site.log" || fail "the key is in the site's log"

# A key file of the command line comes before the stored key; one that others
# may read is used, with the remedy.
printf 'from-file-key\n' >"$work/key.txt"
chmod 644 "$work/key.txt"
ZIPDEMOGRAPHICS_CENSUS_URL="http://127.0.0.1:$port" run show --source census --census-key-file "$work/key.txt" 03053
expect 0 "Londonderry" "census show with a key file"
said "chmod 600 $work/key.txt" || fail "a key file others may read was not warned of: $(cat "$work/err")"

# A stored key that cannot be used is named, and the run goes on without it.
if [ "$mode" = file ]; then
  cp "$place" "$work/kept"
  : >"$place"
  ZIPDEMOGRAPHICS_CENSUS_URL="http://127.0.0.1:$port" run show --source census 03053
  said "the stored key cannot be used" || fail "an empty key file was not named: $(cat "$work/err")"
  cp "$work/kept" "$place"
  rm "$work/kept"
fi

# At a terminal the key is asked for and not shown as it is typed.
if command -v script >/dev/null; then
  { sleep 1; printf 'typed-key-9\n'; sleep 1; } \
    | script -qec "'$cli' census-key set" /dev/null >"$work/terminal" 2>&1
  grep -qF "not shown as you type" "$work/terminal" || fail "no prompt at the terminal: $(cat "$work/terminal")"
  ! grep -qF "typed-key-9" "$work/terminal" || fail "the typed key was shown: $(cat "$work/terminal")"
  grep -qF "$place" "$work/terminal" || fail "set at the terminal does not say where: $(cat "$work/terminal")"
  if [ "$mode" = file ]; then
    [ "$(cat "$place")" = typed-key-9 ] || fail "the typed key was not stored"
  fi
fi

run census-key clear
expect 0 "The key was removed from" "clear"
run census-key status
expect 1 "has no key" "status after clear"
run census-key clear
expect 0 "No key was stored" "clear again"
[ ! -e "$XDG_CONFIG_HOME/zipdemographics/census-api-key" ] || fail "the key file is still there"
run census-key frobnicate
expect 2 "census-key takes set, status or clear" "an unknown action"

# No file anywhere in the work folder holds the key but the store.
for file in $(grep -rlF "$key" "$work" 2>/dev/null); do
  fail "$file holds the key"
done
[ "$failures" = 0 ] && echo "PASS: census-key ($mode)"
[ "$failures" = 0 ]
