#!/bin/sh
# The HTML page as a real browser renders it: headless Chromium loads the page written
# for a known log, and the rendered DOM must hold the totals, 24 and 31 bars, 744
# heat-map cells per map, both pies, and the page names from the log as text only.
# Then the page of a large generated whole log: at three widths, every chart label lies
# inside its chart and over no other (html-geometry.html measures the rendered boxes);
# a screenshot of it at 1200 px is kept as SCREENSHOT.
#   html-browser-test.sh PAGE-WRITER REPORT SAMPLEGEN SCREENSHOT
# Exit 77 (skipped) when no browser is installed, unless CI=true: then it fails.
set -eu
writer=$1
report=$2
samplegen=$3
screenshot=$4
geometry=$(dirname "$0")/html-geometry.html

browser=""
for candidate in chromium chromium-browser; do
  if command -v "$candidate" >/dev/null 2>&1; then
    browser=$candidate
    break
  fi
done
if [ -z "$browser" ]; then
  if [ "${CI:-}" = true ]; then
    echo "FAIL: no chromium installed, and CI must run the browser test (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
  echo "SKIP: no chromium installed (scripts/install-deps.sh installs it); browser test not run" >&2
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The log: three main-page records (13 h, 13 h, 2 h; days 15, 15, 16), four page records,
# two of whose names would run script or load an image if they became markup.
cat >"$tmp/known.utf8" <<'EOF'
①101
②Wednesday, 15-Jul-98 13:45:12 JST
③host1.example.ne.jp
④Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)
⑤http://search.example.co.jp/bin/search?p=ログ
①102
②Wednesday, 15-Jul-98 13:50:00 JST
③host2.example.ac.jp
④Mozilla/4.05 [ja] (Win95; I)
⑤
①103
②Thursday, 16-Jul-98 02:10:00 JST
③host1.example.ne.jp
④Mozilla/2.0 (compatible; MSIE 3.02; Win32)
⑤
⑥<script>document.title='INJECTED';document.body.id='injected'</script>
⑦Thursday, 16-Jul-1998 21:03:44 JST
⑥<img src="x" id="injected-img" onerror="document.title='INJECTED'">
⑦Thursday, 16-Jul-1998 21:04:44 JST
⑥ページ.html
⑦Friday, 17-Jul-1998 09:00:00 JST
⑥ページ.html
⑦Friday, 17-Jul-1998 09:05:00 JST
EOF
# The counter writes cp932 with CR LF.
sed 's/$/\r/' "$tmp/known.utf8" | iconv -f UTF-8 -t CP932 >"$tmp/known.log"
"$writer" "$tmp/known.log" "$tmp/page.html"

# run_browser PAGE OPTION...
run_browser() {
  page=$1
  shift
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
    --user-data-dir="$tmp/profile" "$@" "file://$page" 2>>"$tmp/browser.err"
}
if ! run_browser "$tmp/page.html" --dump-dom >"$tmp/dom.html" || [ ! -s "$tmp/dom.html" ]; then
  cat "$tmp/browser.err" >&2
  echo "FAIL: $browser --dump-dom gave no DOM" >&2
  exit 1
fi

# The text of the element with that id.
text_of() {
  sed -n "s/.*id=\"$1\"[^>]*>\([^<]*\)<.*/\1/p" "$tmp/dom.html" | head -n 1
}
expect_text() {
  actual=$(text_of "$1")
  [ "$actual" = "$2" ] || fail "#$1 holds '$actual', expected '$2'"
}
# How often the pattern occurs inside the svg with that id.
count_in_svg() {
  awk -v open="id=\"$1\"" 'index($0, open) { inside = 1 } inside { print } inside && /<\/svg>/ { exit }' \
    "$tmp/dom.html" | grep -o "$2" | wc -l
}
expect_count() {
  actual=$(count_in_svg "$1" "$2")
  [ "$actual" -eq "$3" ] || fail "#$1 holds $actual of '$2', expected $3"
}

expect_text lines-read 23
expect_text main-accesses 3
expect_text page-accesses 4
expect_text check-errors 0
expect_text hourly-main-total 3
expect_text daily-main-total 3
expect_text detail-main-total 3
expect_text hourly-page-total 4
expect_text share-total 3
expect_text period-first "1998-07-15 13:45"
expect_text period-last "1998-07-16 02:10"
for records in main page; do
  expect_count "hourly-$records" 'class="bar"' 24
  expect_count "daily-$records" 'class="bar"' 31
  expect_count "detail-$records" 'class="cell ' 744
done
# The busiest hour's bar carries its count as a tooltip.
expect_count hourly-main '<title>13時: 2 回</title>' 1
[ "$(grep -o 'class="pie"' "$tmp/dom.html" | wc -l)" -eq 2 ] || fail "not two pies"
expect_count pie-version '<path' 3
expect_count pie-family '<path' 2

# The injected names stayed text: no script or img element, title and body untouched.
title=$(sed -n 's/.*<title>\([^<]*\)<\/title>.*/\1/p' "$tmp/dom.html" | head -n 1)
[ "$title" = "アクセス解析 — known.log" ] || fail "document title is '$title'"
grep -q '<script' "$tmp/dom.html" && fail "a script element is in the DOM"
grep -q '<img' "$tmp/dom.html" && fail "an img element is in the DOM"
grep -q '<body[^>]* id=' "$tmp/dom.html" && fail "the injected script ran (body has an id)"
grep -q "&lt;script&gt;document.title='INJECTED'" "$tmp/dom.html" || fail "the script page name is not shown as text"
grep -q 'ページ.html' "$tmp/dom.html" || fail "the cp932 page name is not decoded"

# A screenshot of the rendered page: a PNG of some substance.
run_browser "$tmp/page.html" --screenshot="$tmp/page.png" --window-size=1000,1400 >/dev/null || fail "$browser --screenshot failed"
if [ -s "$tmp/page.png" ]; then
  [ "$(head -c 4 "$tmp/page.png" | tail -c 3)" = PNG ] || fail "screenshot is no PNG"
  [ "$(wc -c <"$tmp/page.png")" -gt 20000 ] || fail "screenshot is nearly empty"
else
  fail "no screenshot written"
fi

# A large whole log over some five years: counts of four and five digits, some sixty months.
mkdir "$tmp/whole"
"$samplegen" --lines 300000 --seed 7 --output "$tmp/whole.log"
"$report" --whole --format html "$tmp/whole.log" all >"$tmp/whole/page.html"
cp "$geometry" "$tmp/whole/geometry.html"
run_browser "$tmp/whole/geometry.html" --allow-file-access-from-files --dump-dom >"$tmp/geometry.html" ||
  fail "$browser could not load the geometry check"
sed -n '/<pre id="result">/,/<\/pre>/p' "$tmp/geometry.html" | sed 's/<[^>]*>//g' >"$tmp/geometry.txt"
grep '^FAIL' "$tmp/geometry.txt" | head -n 20 | while read -r line; do echo "$line" >&2; done
bad=$(grep -c '^FAIL' "$tmp/geometry.txt" || true)
[ "$bad" -eq 0 ] || fail "$bad chart labels out of place in the whole log's page"
charts=$(grep -o '<svg class="chart"' "$tmp/whole/page.html" | wc -l)
[ "$charts" -ge 20 ] || fail "the whole log's page has $charts charts"
for width in 360 768 1200; do
  grep -q "^CHECKED $width charts $charts labels" "$tmp/geometry.txt" ||
    fail "the labels of all $charts charts were not checked at $width px"
done
# The period reads as dates people write, whichever year layout the log used.
first=$(sed -n 's/.*id="period-first"[^>]*>\([^<]*\)<.*/\1/p' "$tmp/whole/page.html")
echo "$first" | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}$' || fail "the period begins '$first'"
mkdir -p "$(dirname "$screenshot")"
run_browser "$tmp/whole/page.html" --screenshot="$screenshot" --window-size=1200,2600 >/dev/null ||
  fail "$browser --screenshot of the whole log's page failed"
[ -s "$screenshot" ] || fail "no screenshot of the whole log's page"

if [ "$failures" -ne 0 ]; then
  echo "--- browser messages" >&2
  tail -n 20 "$tmp/browser.err" >&2
  exit 1
fi
echo "browser test passed ($browser)"
