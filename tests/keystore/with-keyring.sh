#!/bin/sh
# Runs a command in a D-Bus session of its own with a Secret Service: a
# gnome-keyring-daemon whose login keyring is unlocked with a known password,
# its files and the user's configuration in a temporary home.
#   with-keyring.sh COMMAND [ARGUMENT]...
set -eu
for tool in dbus-run-session dbus-send gnome-keyring-daemon; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (packages dbus, dbus-bin, gnome-keyring)"; exit 77; }
done
home=$(mktemp -d)
# The home goes once the keyring daemon, ended below, has let go of it.
remove_home() {
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    rm -rf "$home" 2>/dev/null && return 0
    sleep 0.5
  done
  rm -rf "$home"
}
trap remove_home EXIT
mkdir -m 700 "$home/runtime"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
export ZD_TEST_KEYRING=1
unset DISPLAY WAYLAND_DISPLAY
status=0
# The command's status is kept; the keyring daemon, found through the bus, is
# ended after it, so that none outlives the session.
dbus-run-session -- sh -c '
  printf "%s" zipdemographics-test | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  status=0
  "$@" || status=$?
  daemon=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.secrets 2>/dev/null |
    sed -n "s/^ *uint32 //p")
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null
  exit "$status"' with-keyring "$@" || status=$?
exit "$status"
