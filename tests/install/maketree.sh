#!/usr/bin/env bash
# Makes an installed tree from the build for the tests that follow:
#   maketree.sh prefix BUILD DIR    cmake --install BUILD --prefix DIR
#   maketree.sh package BUILD DIR   cpack's Debian package in DIR, unpacked into DIR/root
set -euo pipefail
source "$(dirname "$0")/lib.sh"
kind="$1" build="$2" dir="$3"

rm -rf "$dir"
mkdir -p "$dir"
case "$kind" in
  prefix)
    cmake --install "$build" --prefix "$dir" > "$dir.log" || { cat "$dir.log" >&2; fail "cmake --install"; }
    ;;
  package)
    need_tool dpkg-deb dpkg
    need_tool dpkg-shlibdeps dpkg-dev
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$dir" > "$dir.log" 2>&1 \
      || { cat "$dir.log" >&2; fail "cpack"; }
    packages=("$dir"/zipdemographics_*.deb)
    [ ${#packages[@]} = 1 ] && [ -f "${packages[0]}" ] || fail "cpack made no single .deb: ${packages[*]}"
    dpkg-deb -x "${packages[0]}" "$dir/root"
    ;;
  *) fail "unknown kind of tree: $kind" ;;
esac
