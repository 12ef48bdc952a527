#!/usr/bin/env bash
# The man pages' sources and the README say the same, and name every option that
# the programs' --help texts name:
#   docs_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source_dir="$1" bin_dir="$2"

"$source_dir/scripts/man-readme" --check || fail "README.md and docs/man/ differ"

for program in zipdemographics-cli zipdemographics-site; do
  help="$("$bin_dir/$program" --help)" || fail "$program --help failed"
  # Options as the help text writes them: "-o, --output OUT", "[--site HOST]", "--delay=N".
  options="$(grep -oE -- '(^|[ [,])--?[a-zA-Z][-a-zA-Z]*([] ,=]|$)' <<< "$help" |
    sed -E 's/^[ [,]//; s/[] ,=]$//' | sort -u)"
  [ -n "$options" ] || fail "$program --help names no option"
  for option in $options; do
    grep -qF -- "\`$option" "$source_dir/docs/man/$program.1.md" \
      || fail "docs/man/$program.1.md does not name $option, which $program --help names"
  done
done
grep -qF -- '`--version`' "$source_dir/docs/man/zipdemographics.1.md" \
  || fail "docs/man/zipdemographics.1.md does not name --version"
