#!/bin/sh
# Runs a command in a D-Bus session of its own with a Secret Service: a
# gnome-keyring-daemon whose login keyring is unlocked with a known password,
# its files and the user's configuration in a temporary home.
#   with-keyring.sh COMMAND [ARGUMENT]...
set -eu
for tool in dbus-run-session gnome-keyring-daemon; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (packages dbus, gnome-keyring)"; exit 77; }
done
home=$(mktemp -d)
# The keyring daemon ends once its session bus is gone; its home goes after it.
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
dbus-run-session -- sh -c '
  printf "%s" zipdemographics-test | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  exec "$@"' with-keyring "$@" || status=$?
exit "$status"
