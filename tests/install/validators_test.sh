#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the man pages of an installed tree,
# through the validators that desktops, software centres and man use:
#   validators_test.sh desktop|metainfo|manpages ROOT   (ROOT: a prefix such as /usr)
#   validators_test.sh tree SYSTEM_ROOT                 (the metainfo with the files it names)
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

# appstreamcli says one line when all is well, pedantic hints included; the mark
# before it depends on the locale.
appstream_passes() {
  need_tool appstreamcli appstream
  local output
  output="$(appstreamcli "$1" --no-net --pedantic --no-color "$2" 2>&1)" || fail "appstreamcli $1: $output"
  [[ $output =~ ^[^$'\n']*' Validation was successful.'$ ]] || fail "appstreamcli $1: $output"
}

case "$what" in
  desktop)
    need_tool desktop-file-validate desktop-file-utils
    silent_pass desktop-file-validate "$root/share/applications/$app_id.desktop"
    # The census action starts the installed program on the census source: there a
    # year before the first release is refused at start, on standard error before
    # the box (which waits for a click until the program is ended), a setting the
    # site source does not look at.
    action_exec="$(sed -n '/^\[Desktop Action census\]/,/^\[/s/^Exec=//p' "$root/share/applications/$app_id.desktop")"
    [ -n "$action_exec" ] || fail "the desktop entry has no census action"
    read -r -a action <<<"$action_exec"
    output="$(ZIPDEMOGRAPHICS_CENSUS_YEAR=1999 QT_QPA_PLATFORM=offscreen timeout 5 \
      "$root/bin/${action[0]}" "${action[@]:1}" 2>&1)" || true
    [[ $output == *'zipdemographics: ZIPDEMOGRAPHICS_CENSUS_YEAR expects a year'* ]] \
      || fail "the census action did not start the census source: $output"
    ;;
  metainfo)
    appstream_passes validate "$root/share/metainfo/$app_id.metainfo.xml"
    ;;
  tree)
    appstream_passes validate-tree "$root"
    ;;
  manpages)
    need_tool groff groff-base
    for page in "$root"/share/man/man1/*.1.gz; do
      silent_pass bash -c 'zcat "$1" | groff -ww -z -man' - "$page"
      # As man --warnings shows them on an 80-column terminal, tables laid out by tbl.
      silent_pass bash -c 'zcat "$1" | groff -t -z -man -rLL=78n -Wall -wmac' - "$page"
      # Every line, code included, fits those 80 columns.
      width="$(zcat "$page" | groff -t -man -Tutf8 -rLL=78n -P-cbou 2>/dev/null | wc -L)"
      [ "$width" -le 80 ] || fail "$(basename "$page") has lines of $width columns on an 80-column terminal"
    done
    # The save dialog's filters keep their asterisks on the way through Markdown.
    zcat "$root/share/man/man1/zipdemographics.1.gz" | groff -t -man -Tutf8 -rLL=78n -P-cbou 2>/dev/null |
      tr -s ' \n' ' ' | grep -qF 'Text Files (*.txt) and All Files (*.*)' \
      || fail "zipdemographics(1) does not show the filters as written"
    ;;
  *) fail "unknown check: $what" ;;
esac
