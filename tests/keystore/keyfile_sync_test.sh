#!/bin/bash
# The key file is on the disk before it takes the old one's place: traced
# through the system calls of "census-key set" without a keyring, the new file
# is synced (fsync or fdatasync on its descriptor), then renamed over the key
# file, then its folder is synced. Skipped (77) without strace, or where this
# process may not be traced.
#   keyfile_sync_test.sh CLI
set -u
cli=$1
command -v strace >/dev/null || { echo "SKIP: strace is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! strace -f -qq -o /dev/null true 2>"$work/err"; then
  echo "SKIP: strace may not trace here (ptrace not permitted?): $(head -n 1 "$work/err")"
  exit 77
fi
export XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
unset CENSUS_API_KEY DISPLAY
# The leak checker of a sanitized build cannot run under a tracer: the traced
# run checks the calls only (the suite's other runs check the leaks).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
place="$XDG_CONFIG_HOME/zipdemographics/census-api-key"
printf 'ab12cd34ef56ab12cd34ef56ab12cd34ef56ab12\n' >"$work/in"
if ! strace -f -y -qq -e trace=fsync,fdatasync,rename,renameat,renameat2 -o "$work/trace" \
    "$cli" census-key set <"$work/in" >"$work/out" 2>&1; then
  echo "FAIL: census-key set: $(cat "$work/out")"
  exit 1
fi
# The line number of the first traced call that holds every given text.
first() { grep -n -F -- "$1" "$work/trace" | grep -F -- "$2" | head -n 1 | cut -d: -f1; }
synced=$(first "sync(" "<$place.")
renamed=$(first "rename" "\"$place\")")
folder_synced=$(first "sync(" "<$(dirname "$place")>)")
if [ -z "$synced" ] || [ -z "$renamed" ] || [ "$synced" -gt "$renamed" ]; then
  echo "FAIL: the new key file is not synced before it is renamed over \"$place\":"
  cat "$work/trace"
  exit 1
fi
if [ -z "$folder_synced" ] || [ "$folder_synced" -lt "$renamed" ]; then
  echo "FAIL: the key's folder is not synced after the rename:"
  cat "$work/trace"
  exit 1
fi
echo "PASS: synced at call $synced, renamed at $renamed, folder synced at $folder_synced"
