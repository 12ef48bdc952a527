#!/usr/bin/env bash
# The layer check on a scratch copy of the tree's sources and its layer table: the
# clean copy passes; then one breach of each form is planted, and each is named with
# its file, line and include, and nothing else is; so are the breaches of the headers
# held back for the upper layers. Last, a table that breaks its own rule and a tree
# with no table fail, and so does a check that cannot tell Qt's modules apart.
#
#   wronginclude_test.sh CHECK SOURCE-ROOT [--qt-headers DIR]
set -euo pipefail
check="$1"
source_root="$2"
shift 2
qt_options=("$@")
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
tree="$scratch/tree"
mkdir -p "$tree/docs"

fail() { echo "$1"; echo "the check said:"; cat "$scratch/out"; exit 1; }
run_check() {
  status=0
  python3 "$check" "${qt_options[@]}" "$@" > "$scratch/out" 2> "$scratch/err" || status=$?
}
expect() { grep -qxF "$1" "$scratch/out" || fail "not named: $1"; }
# expect_breach HEAD WHAT: a line that starts with HEAD ("file:line: #include ...: folder
# may use only ") and ends with ", not WHAT", whatever the folder's row lists between.
expect_breach() {
  local line
  while IFS= read -r line; do
    [[ "$line" == "$1"* && "$line" == *", not $2" ]] && return 0
  done < "$scratch/out"
  fail "not named: $1... not $2"
}
expect_count() {
  [ "$(wc -l < "$scratch/out")" = "$1" ] || fail "expected $1 line(s), the check named other includes too"
}
plant() {  # plant FILE LINE...: a source file of the given lines in the scratch tree
  local file="$tree/$1"
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\n' "$@" > "$file"
}

# The sources, as the check itself lists them, and the document with the table.
python3 "$check" --list-sources "$source_root" > "$scratch/sources"
[ -s "$scratch/sources" ] || { echo "the check listed no sources in $source_root"; exit 1; }
tar -C "$source_root" -cf - -T "$scratch/sources" docs/architecture.md | tar -C "$tree" -xf -

cp "$tree/docs/architecture.md" "$scratch/architecture.md"
run_check "$tree"
[ "$status" = 0 ] || fail "the check failed on a clean copy of the tree (exit $status)"
[ ! -s "$scratch/out" ] || fail "the check named includes of a clean copy"

# Includes that keep to the table, in the forms the breaches below use.
plant export/planted_fine.cpp \
  '#include <core/listmodel.h>' \
  '#include "../retrieval/include/retrieval/pagefetch.h"' \
  '// #include "window/form1.h" (a comment, not an include)' \
  '#include <QString>' '#include <vector>' '#include <map>' '#include <xlsxwriter.h>'
plant tests/window/planted_fine_test.cpp '#include <QMessageBox>' '#include "window/form1.h"'
run_check "$tree"
[ "$status" = 0 ] || fail "the check failed on includes that keep to the table (exit $status)"

# One breach of each form.
plant core/planted_upward.cpp '// an angle-bracket include upward' '#include <window/form1.h>'
plant ziplist/planted_relative.cpp '#  include "../export/include/export/csvwriter.h"'
plant retrieval/include/retrieval/planted_deep.h '#include "../../../batch/include/batch/pagebatch.h"'
plant core/planted_escape.cpp '#include "../../outside.h"'
plant retrieval/planted_header.hpp '#include "census/censusanswer.h"'
plant export/include/export/planted_inline.inl '#include "batch/pagebatch.h"'
plant tests/core/planted_test.cpp '#include "tests/support/testsite.h"' '#include "retrieval/pagefetch.h"'
plant tests/support/planted_support.cc '#include "window/form1.h"'
plant retrieval/planted_sideways.h '#include "ziplist/ziplistreader.h"'
plant export/planted_sideways.cpp '#include "ziplist/ziplistreader.h"'
plant commands/planted_box.cpp '#include <QMessageBox>'
plant census/planted_widget.cxx '#include <QtWidgets/QWidget>' '#include <qdialog.h>'
plant census/planted_curl.cpp '#include <curl/curl.h>'
plant core/planted_framework.h '#include <gtest/gtest.h>'
printf '\xef\xbb\xbf#include "batch/pagebatch.h"\n' > "$tree/ziplist/planted_bom.cpp"
plant ziplist/planted_continued.h '#include \' '  "batch/pagebatch.h"'
plant core/planted_macro.cpp '#define WINDOW_HEADER "window/form1.h"' '#include WINDOW_HEADER'
plant core/planted_absolute.cpp '#include "/usr/include/QtWidgets/QWidget"'
plant core/planted_data.cpp '#include "../data/planted.h"'
plant tools/planted_stray.cpp '#include "core/listmodel.h"'
run_check "$tree"
[ "$status" = 1 ] || fail "the check exited $status on the planted breaches"
expect_breach 'core/planted_upward.cpp:2: #include <window/form1.h>: core may use only ' 'window'
expect_breach 'ziplist/planted_relative.cpp:1: #include "../export/include/export/csvwriter.h": reaches export/include/export/csvwriter.h; ziplist may use only ' 'export'
expect_breach 'retrieval/include/retrieval/planted_deep.h:1: #include "../../../batch/include/batch/pagebatch.h": reaches batch/include/batch/pagebatch.h; retrieval may use only ' 'batch'
expect 'core/planted_escape.cpp:1: #include "../../outside.h": reaches outside the source tree'
expect_breach 'retrieval/planted_header.hpp:1: #include "census/censusanswer.h": retrieval may use only ' 'census'
expect_breach 'export/include/export/planted_inline.inl:1: #include "batch/pagebatch.h": export may use only ' 'batch'
expect_breach 'tests/core/planted_test.cpp:2: #include "retrieval/pagefetch.h": tests/core may use only ' 'retrieval'
expect_breach 'tests/support/planted_support.cc:1: #include "window/form1.h": tests/support may use only ' 'window'
expect_breach 'retrieval/planted_sideways.h:1: #include "ziplist/ziplistreader.h": retrieval may use only ' 'ziplist'
expect_breach 'export/planted_sideways.cpp:1: #include "ziplist/ziplistreader.h": export may use only ' 'ziplist'
expect_breach 'commands/planted_box.cpp:1: #include <QMessageBox>: a QtWidgets header; commands may use only ' 'QtWidgets'
expect_breach 'census/planted_widget.cxx:1: #include <QtWidgets/QWidget>: a QtWidgets header; census may use only ' 'QtWidgets'
expect_breach 'census/planted_widget.cxx:2: #include <qdialog.h>: a QtWidgets header; census may use only ' 'QtWidgets'
expect_breach 'census/planted_curl.cpp:1: #include <curl/curl.h>: a libcurl header; census may use only ' 'libcurl'
expect_breach 'core/planted_framework.h:1: #include <gtest/gtest.h>: a GoogleTest header; core may use only ' 'GoogleTest'
expect 'tools/planted_stray.cpp: in no folder of the layer table (docs/architecture.md)'
expect 'core/planted_data.cpp:1: #include "../data/planted.h": reaches data/planted.h, in no folder of the layer table'
expect 'core/planted_absolute.cpp:1: #include "/usr/include/QtWidgets/QWidget": an absolute path, outside the include folders'
expect_breach 'ziplist/planted_bom.cpp:1: #include "batch/pagebatch.h": ziplist may use only ' 'batch'
expect_breach 'ziplist/planted_continued.h:1: #include "batch/pagebatch.h": ziplist may use only ' 'batch'
expect 'core/planted_macro.cpp:2: #include WINDOW_HEADER: a header named by a macro, which the check cannot follow'
expect_count 21

# Headers held back for the upper layers: the boxes of core/dialogs.h below the
# commands, a held header included from below its level, a known breach let pass, one
# that is gone, and a held header with no level.
rm -rf "$tree/tools"
find "$tree" -name 'planted_*' -delete
awk '{ print }
     /^## Layers and what each may include/ {
       print ""
       print "| header | only from | why | known breach |"
       print "|---|---|---|---|"
       print "| `core/planted_held.h` | 2 | planted | `retrieval/planted_known.cpp`, `ziplist/planted_gone.cpp` |"
       print "| `core/planted_nolevel.h` | — | planted | |"
       print ""
     }' "$scratch/architecture.md" > "$tree/docs/architecture.md"
held="$(grep -n 'core/planted_held.h' "$tree/docs/architecture.md" | cut -d: -f1)"
[ -n "$held" ] || { echo "the Layers section was not where this test looks for it"; exit 1; }
plant export/planted_question.cpp '#include "core/dialogs.h"' '#include "../core/include/core/dialogs.h"'
plant retrieval/planted_known.cpp '#include "core/planted_held.h"'
plant retrieval/planted_held.cpp '#include <core/planted_held.h>'
plant export/planted_held.cpp '#include "core/planted_held.h"'
plant core/planted_own.cpp '#include "core/planted_held.h"'
plant tests/retrieval/planted_held_test.cpp '#include "core/planted_held.h"'
run_check "$tree"
[ "$status" = 1 ] || fail "the check exited $status on the held headers' breaches"
expect 'export/planted_question.cpp:1: #include "core/dialogs.h": only layers from level 4 up may include it; export is on level 2'
expect 'export/planted_question.cpp:2: #include "../core/include/core/dialogs.h": only layers from level 4 up may include it; export is on level 2'
expect 'retrieval/planted_held.cpp:1: #include <core/planted_held.h>: only layers from level 2 up may include it; retrieval is on level 1'
expect "docs/architecture.md:$held: the known breach ziplist/planted_gone.cpp no longer includes core/planted_held.h: remove it from the table"
expect "docs/architecture.md:$((held + 1)): core/planted_nolevel.h's row gives no level it is used from"
expect_count 5

# The table keeps its own rule: a layer lists only lower levels and names it knows.
find "$tree" -name 'planted_*' -delete
cp "$scratch/architecture.md" "$tree/docs/architecture.md"
sed -i 's/^| 1 | `ziplist\/` | `zd_ziplist` | core |/| 1 | `ziplist\/` | `zd_ziplist` | core, batch, census, export, Qt Widgets |/' \
  "$tree/docs/architecture.md"
grep -qF 'core, batch, census, export, Qt Widgets |' "$tree/docs/architecture.md" ||
  { echo "the ziplist row of the table was not where this test looks for it"; exit 1; }
line="$(grep -n '`zd_ziplist`' "$tree/docs/architecture.md" | cut -d: -f1)"
run_check "$tree"
[ "$status" = 1 ] || fail "the check exited $status on a table that breaks its own rule"
expect "docs/architecture.md:$line: ziplist (level 1) may use only lower levels, not batch"
expect "docs/architecture.md:$line: ziplist (level 1) may use only lower levels, not census"
expect "docs/architecture.md:$line: ziplist (level 1) may use only lower levels, not export"
expect "docs/architecture.md:$line: ziplist's row names Qt Widgets, neither a folder of the table nor a library the check knows"
expect_count 4

# No table is no pass: a renamed section or a missing document fails the check.
sed -i 's/^## Layers and what each may include/## What each folder holds/' "$tree/docs/architecture.md"
run_check "$tree"
[ "$status" = 1 ] || fail "the check exited $status on a document without the layer table"
grep -qF 'has no layer table' "$scratch/err" || fail "no word of the missing table: $(cat "$scratch/err")"
rm "$tree/docs/architecture.md"
run_check "$tree"
[ "$status" = 1 ] || fail "the check exited $status without the document"

# Without Qt's headers a widget include could not be told from any other: no pass.
status=0
python3 "$check" --qt-headers "$scratch/no-qt" "$tree" > "$scratch/out" 2> "$scratch/err" || status=$?
[ "$status" = 2 ] || fail "the check exited $status without Qt's headers"
grep -qF "Qt's headers were not found" "$scratch/err" || fail "no word of Qt's headers: $(cat "$scratch/err")"
echo "the layer check named every planted breach"
