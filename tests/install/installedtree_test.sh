#!/usr/bin/env bash
# Checks an installed tree (a prefix such as /usr) the way a user meets it:
#   installedtree_test.sh layout ROOT             every file in its place, nothing stray in bin/
#   installedtree_test.sh programs ROOT EXPECTED  --version, and an export against the tree's sample site
#   installedtree_test.sh window ROOT CHECKER PNG the desktop program on Xvfb, in its skin
set -euo pipefail
source "$(dirname "$0")/lib.sh"
what="$1" root="$2"
app_id=net.example.zipdemographics

check_layout() {
  local expected=(
    bin/zipdemographics bin/zipdemographics-cli bin/zipdemographics-site
    share/zipdemographics/x/o.cjs share/zipdemographics/HAND-M.CUR
    share/zipdemographics/census-variables.tsv share/zipdemographics/place-names.tsv
    share/zipdemographics/place-names.SOURCE share/zipdemographics/zcta-2010.SOURCE share/zipdemographics/zcta-2020.SOURCE
    share/zipdemographics/us-outlines.bin share/zipdemographics/us-outlines.SOURCE
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$app_id.svg"
    share/man/man1/zipdemographics.1.gz share/man/man1/zipdemographics-cli.1.gz
    share/man/man1/zipdemographics-site.1.gz
    share/bash-completion/completions/zipdemographics-cli
  )
  local size
  for size in 16 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$app_id.png")
    file -b "$root/share/icons/hicolor/${size}x$size/apps/$app_id.png" | grep -q "PNG image data, $size x $size" \
      || fail "the $size px icon is not a PNG of $size x $size pixels"
  done
  local path
  for path in "${expected[@]}"; do
    [ -f "$root/$path" ] || fail "missing: $path"
  done
  local in_bin
  in_bin="$(cd "$root/bin" && ls -A | tr '\n' ' ')"
  [ "$in_bin" = "zipdemographics zipdemographics-cli zipdemographics-site " ] \
    || fail "bin/ should hold the three executables only, holds: $in_bin"
}

check_programs() {
  local expected_export="$1" program version
  local work
  work="$(mktemp -d)"
  for program in zipdemographics zipdemographics-cli zipdemographics-site; do
    version="$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/$program" --version)" \
      || fail "$program --version failed"
    [ "$version" = "$program $ZD_VERSION" ] || fail "$program --version printed \"$version\", not \"$program $ZD_VERSION\""
    if "$root/bin/$program" --version > /dev/full 2> "$work/error"; then
      fail "$program --version to a full disk exited with 0"
    fi
    [ -s "$work/error" ] || fail "$program --version to a full disk said nothing on standard error"
  done
  start_site "$root/bin/zipdemographics-site" "$work/port"
  "$root/bin/zipdemographics-cli" export --site "127.0.0.1:$site_port" 03053 01830 -o "$work/result.txt" \
    || fail "the export against the sample site failed"
  cmp "$work/result.txt" "$expected_export" || fail "the export differs from $expected_export"
  rm -rf "$work"
}

check_window() {
  local checker="$1" grab="$2"
  need_tool xvfb-run xvfb
  # The checker runs Qt on the X server; leaks inside the X and font libraries at its
  # exit are not this program's to find.
  QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    xvfb-run -a -s "-screen 0 1024x768x24" \
    "$checker" "$root/bin/zipdemographics" "$root/share/zipdemographics" "$grab" \
    || fail "the installed desktop program did not show its skinned window"
}

case "$what" in
  layout) check_layout ;;
  programs) check_programs "$3" ;;
  window) check_window "$3" "$4" ;;
  *) fail "unknown check: $what" ;;
esac
