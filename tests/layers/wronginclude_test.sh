#!/usr/bin/env bash
# The layer check on a tree of its own: an include that points up or sideways is
# named with its file and line, and one that points down passes.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/core" "$tree/retrieval" "$tree/export" "$tree/ziplist"
printf '#include "core/listmodel.h"\n' > "$tree/export/fine.cpp"
printf '#include "retrieval/pagefetch.h"\n' > "$tree/export/alsofine.h"

if ! "$check" "$tree" > "$tree/out"; then
  echo "the check failed on includes that all point down:"; cat "$tree/out"; exit 1
fi

printf '// a comment\n#include "window/form1.h"\n' > "$tree/core/upward.cpp"
printf '#include "ziplist/ziplistreader.h"\n' > "$tree/retrieval/sideways.h"
printf '#include "../export/csvwriter.h"\n' > "$tree/ziplist/relative.cpp"
status=0
"$check" "$tree" > "$tree/out" 2>/dev/null || status=$?
expect() {
  grep -qxF "$1" "$tree/out" || { echo "missing: $1"; echo "got:"; cat "$tree/out"; exit 1; }
}
[ "$status" = 1 ] || { echo "the check exited $status on wrong includes"; exit 1; }
expect 'core/upward.cpp:2: includes "window/form1.h" (not a layer below core)'
expect 'retrieval/sideways.h:1: includes "ziplist/ziplistreader.h" (not a layer below retrieval)'
expect 'ziplist/relative.cpp:1: includes "../export/csvwriter.h" (not a layer below ziplist)'
[ "$(wc -l < "$tree/out")" = 3 ] || { echo "the fine includes were named too:"; cat "$tree/out"; exit 1; }
