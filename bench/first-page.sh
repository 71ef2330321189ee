#!/usr/bin/env bash
# Start-up benchmark: the reader against a bare WebKitGTK view (bare_view) on
# the same generated book, on the X display in $DISPLAY, the bare view both
# with the engine's defaults and in its fastest configuration (accelerated
# compositing off, what the reader chooses without a hardware GL renderer).
# For books of 1 000 and 100 000 items, and the reader also on a one-page book,
# it measures the time
# from the start until the first page's pixels are on the screen and the peak
# memory of each program with all its processes; every figure is the median
# of RUNS runs, taken in turns so that a change of load hits both sides alike.
#   bench/first-page.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: first-page.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-5}
[ -n "${DISPLAY:-}" ] || { echo "first-page.sh: needs an X display" >&2; exit 1; }

reader=$build/quillon3
bare=$build/bench/bare_view
watch=$build/bench/first_page_watch
make_book=$build/bench/make_book
books=$build/bench/startup-books
mkdir -p "$books"

# Books are kept between runs: the big one takes a while to write.
for items in 1 1000 100000; do
  if [ ! -s "$books/book-$items.qbx" ] || [ ! -s "$books/first-$items.htm" ]; then
    echo "writing a book of $items items" >&2
    "$make_book" "$books/book-$items.qbx" "$items" "$books/first-$items.htm"
  fi
done

# Both programs start as a returning user's would: settings and caches of
# their own, kept from the warm-up run on.
home=$(mktemp -d)
trap 'rm -rf "$home" 2>/dev/null || { sleep 1; rm -rf "$home"; }' EXIT
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache

measure() {  # measure NAME ITEMS: one run, appended to $home/NAME-ITEMS
  local name=$1 items=$2 line
  if [ "$name" = bare ]; then
    line=$("$watch" -- "$bare" "file://$books/first-$items.htm") || true
  elif [ "$name" = fastest ]; then
    line=$(WEBKIT_DISABLE_COMPOSITING_MODE=1 "$watch" -- "$bare" "file://$books/first-$items.htm") || true
  else
    line=$("$watch" -- "$reader" "$books/book-$items.qbx") || true
  fi
  echo "$line" >>"$home/$name-$items"
  echo "  $name $items: $line" >&2
}

median() {  # median FILE FIELD
  sed -n "s/.*$2=\([-0-9]*\).*/\1/p" "$1" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "load average before: $load_before, $(nproc) cores" >&2
pairs=("bare 1000" "fastest 1000" "reader 1000" "bare 100000" "fastest 100000" "reader 100000" "reader 1")
echo "warm-up run (not counted): files in the page cache, settings written" >&2
for pair in "${pairs[@]}"; do measure $pair; done
rm -f "$home"/bare-* "$home"/fastest-* "$home"/reader-*
for ((r = 1; r <= runs; ++r)); do
  echo "run $r of $runs" >&2
  for pair in "${pairs[@]}"; do measure $pair; done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

figure() { median "$home/$1-$2" "$3"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0 && a >= 0) printf "%.2f", a / b; else print "nan" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

echo
echo "Start to first page shown, and peak memory of all processes (medians of $runs runs)"
echo "load average: before $load_before, after $load_after, on $(nproc) cores"
printf '%-8s %8s %10s %10s %10s %10s %10s\n' items program first_ms tree_rss_mb tree_pss_mb main_rss_mb processes
for items in 1000 100000 1; do
  for name in bare fastest reader; do
    [ -f "$home/$name-$items" ] || continue
    printf '%-8s %8s %10s %10s %10s %10s %10s\n' "$items" "$name" \
      "$(figure $name $items first_page_ms)" "$(mb "$(figure $name $items tree_rss_kb)")" \
      "$(mb "$(figure $name $items tree_pss_kb)")" "$(mb "$(figure $name $items main_rss_kb)")" \
      "$(figure $name $items processes)"
  done
done
echo
for items in 1000 100000; do
  t_ratio=$(ratio "$(figure reader $items first_page_ms)" "$(figure fastest $items first_page_ms)")
  over=$(mb $(($(figure reader $items tree_rss_kb) - $(figure fastest $items tree_rss_kb))))
  echo "$items items: reader/fastest bare view time to first page $t_ratio (goal <= 1.10); reader's processes over the fastest bare view's: $over MB RSS (goal <= 30)"
done
echo "100000 items against one page: first page $(($(figure reader 100000 first_page_ms) - $(figure reader 1 first_page_ms))) ms later (goal <= 300), reader process $(mb $(($(figure reader 100000 main_rss_kb) - $(figure reader 1 main_rss_kb)))) MB larger (goal <= 30)"
