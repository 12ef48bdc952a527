#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the man pages of an installed tree,
# through the validators that desktops, software centres and man use:
#   validators_test.sh desktop|metainfo|manpages ROOT
set -euo pipefail
source "$(dirname "$0")/lib.sh"
what="$1" root="$2"
app_id=net.example.zipdemographics

# Runs a validator; any line it prints (a warning, a hint) fails the check.
silent_pass() {
  local output
  output="$("$@" 2>&1)" || fail "$* failed: $output"
  [ -z "$output" ] || fail "$* reported: $output"
}

case "$what" in
  desktop)
    need_tool desktop-file-validate desktop-file-utils
    silent_pass desktop-file-validate "$root/share/applications/$app_id.desktop"
    ;;
  metainfo)
    need_tool appstreamcli appstream
    output="$(appstreamcli validate --no-net --pedantic --no-color "$root/share/metainfo/$app_id.metainfo.xml" 2>&1)" \
      || fail "appstreamcli validate: $output"
    [ "$output" = "✔ Validation was successful." ] || fail "appstreamcli validate: $output"
    ;;
  manpages)
    need_tool groff groff-base
    for page in "$root"/share/man/man1/*.1.gz; do
      silent_pass bash -c "zcat '$page' | groff -ww -z -man"
      # As man --warnings shows them on an 80-column terminal, tables laid out by tbl.
      silent_pass bash -c "zcat '$page' | groff -t -z -man -rLL=78n -Wall -wmac"
    done
    ;;
  *) fail "unknown check: $what" ;;
esac
