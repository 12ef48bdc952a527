#!/bin/sh
# Writes the expected files of the format baseline: the export of samples.txt
# from the sample site (--every-zip) in every format. Run from this folder with
# the build's programs; the workbook's sheet of results is kept as its XML.
set -eu
bin=${1:?usage: make-expected.sh BUILD/bin}
out=$(mktemp -d)
"$bin/zipdemographics-site" --every-zip > "$out/port" &
site=$!
trap 'kill $site; rm -rf "$out"' EXIT
while [ ! -s "$out/port" ]; do sleep 0.05; done
host=127.0.0.1:$(head -n1 "$out/port")
run() { "$bin/zipdemographics-cli" export --site "$host" --rate 0 --jobs 4 --retries 0 --quiet --zips samples.txt "$@" || true; }
run -o expected.txt 2> expected.err
run -o expected.csv 2>/dev/null
run --csv-long -o expected-long.csv 2>/dev/null
run -o expected.jsonl 2>/dev/null
run -o "$out/r.xlsx" 2>/dev/null
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml"))' "$out/r.xlsx" > expected-sheet1.xml
