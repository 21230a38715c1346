#!/usr/bin/env bash
# Takes the documentation's pictures: the windows at 1280x800 into docs/screenshots
# (and at 1024x768 into the folder given as $1, default /tmp/tessaro-1024, to look at),
# and the first page of each report. Needs the test build (./test.sh) and xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
small=${1:-/tmp/tessaro-1024}
bin=build/sanitize
export ASAN_OPTIONS=detect_leaks=0
mkdir -p docs/screenshots "$small"
xvfb-run -a -s "-screen 0 1280x800x24" "$bin/tests/ui_screenshots" docs/screenshots
xvfb-run -a -s "-screen 0 1024x768x24" "$bin/tests/ui_screenshots" "$small"

# The reports of a calculation followed by the glaze properties, on a copy of the bundled data.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r 数据库 "$work/"
cli="$bin/bin/tessaro-cli"
"$cli" calc --dir "$work" >/dev/null 2>&1
"$cli" glaze --dir "$work" >/dev/null 2>&1
"$cli" report --dir "$work" --pdf "$work/report.pdf" >/dev/null
pdftoppm -r 60 -png "$work/report.pdf" "$work/page"
cp "$work/page-1.png" docs/screenshots/report-formula.png
cp "$work/page-2.png" docs/screenshots/report-property.png
cp "$work/page-3.png" docs/screenshots/report-stull.png
"$cli" batch --dir "$work" --weight 100 --water 40 --pdf "$work/batch.pdf" >/dev/null
pdftoppm -r 60 -png "$work/batch.pdf" "$work/batch"
cp "$work/batch-1.png" docs/screenshots/report-batch.png
cp "$work/report.pdf" "$small/report.pdf"
echo "docs/screenshots and $small written"
