#!/usr/bin/env bash
# Bash completion for zipdemographics-cli as bash-completion loads it from an
# installed tree (through XDG_DATA_DIRS): commands, options, and file names where
# an option takes a file.
#   completion_test.sh ROOT
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root="$1"
bash_completion=/usr/share/bash-completion/bash_completion
[ -f "$bash_completion" ] || { echo "SKIP: bash-completion is not installed (package bash-completion)"; exit 77; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/lists"
touch "$work/lists/north.txt" "$work/lists/south.txt" "$work/lists/notes.md"

# What completing the command line (the cursor at its end) offers, sorted, one a line.
complete_line() {
  XDG_DATA_DIRS="$root/share" PATH="$root/bin:$PATH" LINE="$1" bash --norc --noprofile -c '
    cd "'"$work"'/lists"
    source "'"$bash_completion"'"
    __load_completion zipdemographics-cli || { echo "no completion found" >&2; exit 1; }
    read -ra COMP_WORDS <<< "$LINE"
    [[ $LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$LINE" COMP_POINT=${#LINE}
    _zipdemographics_cli zipdemographics-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort' | sed '/^$/d' | tr '\n' ' '
}

expect() {
  local line="$1" expected="$2" got
  got="$(complete_line "$line")"
  [ "$got" = "$expected" ] || fail "completing \"$line\" offered \"$got\", not \"$expected\""
}

expect "zipdemographics-cli " "census-key export lookup map near show zips "
expect "zipdemographics-cli near 03053 --d" "--distance "
expect "zipdemographics-cli zips --" "--all --city --details --help --state --year "
expect "zipdemographics-cli zips --state NH " ""
expect "zipdemographics-cli ex" "export "
expect "zipdemographics-cli census-key " "clear set status "
expect "zipdemographics-cli census-key s" "set status "
expect "zipdemographics-cli census-key set " ""
expect "zipdemographics-cli --site example.net:8080 l" "lookup "
expect "zipdemographics-cli export --zi" "--zips "
expect "zipdemographics-cli export --zips " "north.txt notes.md south.txt "
expect "zipdemographics-cli export --zips n" "north.txt notes.md "
expect "zipdemographics-cli export 03053 -o s" "south.txt "
expect "zipdemographics-cli export 03053 --output " "north.txt notes.md south.txt "
expect "zipdemographics-cli lookup --site " ""
expect "zipdemographics-cli lookup --delay " ""
expect "zipdemographics-cli lookup 03053 " ""
options="$(complete_line "zipdemographics-cli lookup -")"
for option in --site --delay --zips --output --help; do
  [[ " $options" == *" $option "* ]] || fail "completing options offered \"$options\", without $option"
done
# Each option once, although the usage lines and the option table both name it.
duplicates="$(tr ' ' '\n' <<< "$options" | sed '/^$/d' | uniq -d | tr '\n' ' ')"
[ -z "$duplicates" ] || fail "completing options offered these more than once: $duplicates"
# Options with a fixed set of values complete them; show writes no workbook.
expect "zipdemographics-cli export --format " "aligned csv jsonl xlsx "
expect "zipdemographics-cli export 03053 -o out --format j" "jsonl "
expect "zipdemographics-cli show --format " "aligned csv jsonl "
expect "zipdemographics-cli --site example.net show 03053 --format " "aligned csv jsonl "
mkdir "$work/lists/pages"
expect "zipdemographics-cli export --cache " "pages "
