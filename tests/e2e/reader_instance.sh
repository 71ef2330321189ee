#!/usr/bin/env bash
# One reader per session and settings folder, as a user meets it: the reader
# started on a book at a page of it; a second start on another book, from
# another folder and by a relative name, hands the book to the running window
# and exits 0 by itself, and the window shows that book at the page asked
# for; a start without a book only brings the window forward; a reader with
# settings of its own keeps a window of its own; bad usage is refused with
# exit status 2 and no window. Runs itself on a virtual display and a
# session bus of its own.
set -uo pipefail
reader=${1:?usage: reader_instance.sh PATH/TO/quillon3 PATH/TO/qbxtool}
qbxtool=${2:?usage: reader_instance.sh PATH/TO/quillon3 PATH/TO/qbxtool}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi
# A bus of the test's own: no reader of the desktop's session takes part.
if [ -z "${READER_INSTANCE_BUS:-}" ]; then
  READER_INSTANCE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.5
  rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; }
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# book NAME SUBJECT: a book of two pages, the second in a folder and with a
# section; page titles are "NAME cover" and "NAME deep page".
book() {
  local dir=$work/src/$1
  mkdir -p "$dir/deep"
  printf '<html><head><title>%s cover</title></head><body><p>%s cover</p></body></html>' "$1" "$1" \
    >"$dir/index.htm"
  printf '<html><head><title>%s deep page</title></head><body><p>lantern</p><h2 id="part">Part</h2></body></html>' \
    "$1" >"$dir/deep/page.htm"
  cat >"$work/src/$1.hhc" <<HHC
<UL>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Cover"><param name="Local" value="index.htm"></OBJECT>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Deep"><param name="Local" value="deep/page.htm"></OBJECT>
</UL>
HHC
  mkdir -p "$work/books"
  "$qbxtool" pack "$dir" -o "$work/books/$1.qbx" --contents "$work/src/$1.hhc" --subject "$2" \
    >"$work/pack-$1.log" 2>&1 || fail "packing $1: $(cat "$work/pack-$1.log")"
}
book alpha "Alpha book"
book beta "Beta book"

# wait_title TEXT: the id of the one window whose caption is TEXT.
wait_title() {
  timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}
windows() { xdotool search --onlyvisible --name ' - Quillon3$' 2>/dev/null | wc -l; }

# Bad usage: a message and status 2, before any window or bus name.
"$reader" --page >"$work/bad.out" 2>"$work/bad.err"
rc=$?
[ "$rc" -eq 2 ] || fail "--page without a value: exit $rc"
grep -qF -- "--page" "$work/bad.err" || fail "--page without a value: told '$(cat "$work/bad.err")'"
"$reader" --search lantern "$work/books/none.qbx" >/dev/null 2>"$work/bad.err"
rc=$?
[ "$rc" -eq 2 ] || fail "--search with a missing book: exit $rc"
grep -qF "none.qbx" "$work/bad.err" || fail "missing book: told '$(cat "$work/bad.err")'"

# The first reader, at a page of its book.
"$reader" --page deep/page.htm "$work/books/alpha.qbx" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wid=$(wait_title "alpha deep page - Alpha book - Quillon3")
if [ -z "$wid" ]; then
  fail "the first reader did not show the page asked for"
  cat "$work/first.log" >&2
  exit 1
fi

# A second start, by a name relative to its own folder.
(cd "$work/books" && timeout 60 "$reader" beta.qbx) >"$work/second.log" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "the second start exited with $rc: $(cat "$work/second.log")"
other=$(wait_title "beta cover - Beta book - Quillon3")
[ -n "$other" ] || fail "the running window does not show the book handed to it"
[ "$other" = "$wid" ] || fail "the book came up in window $other, not in the running one $wid"
kill -0 "$first" 2>/dev/null || fail "the first reader ended"

# A page of the open book, handed over with its section.
(cd "$work" && timeout 60 "$reader" --page 'deep/page.htm#part' books/beta.qbx) >>"$work/second.log" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "the start with --page exited with $rc"
[ -n "$(wait_title "beta deep page - Beta book - Quillon3")" ] ||
  fail "--page handed to the running window did not show the page"

# No book: the window is only brought forward; nothing else changes.
timeout 60 "$reader" >>"$work/second.log" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "the start without a book exited with $rc"
sleep 1
[ "$(windows)" -eq 1 ] || fail "$(windows) reader windows after the starts handed over"

# Settings of its own: a reader of its own, which keeps its book.
XDG_CONFIG_HOME=$work/config2 XDG_DATA_HOME=$work/data2 \
  "$reader" "$work/books/alpha.qbx" >"$work/own.log" 2>&1 &
own=$!
pids+=("$own")
[ -n "$(wait_title "alpha cover - Alpha book - Quillon3")" ] ||
  fail "a reader with settings of its own did not show its own window"
kill -0 "$own" 2>/dev/null || fail "the reader with settings of its own ended: $(cat "$work/own.log")"
[ -n "$(xdotool search --onlyvisible --name '^beta deep page - Beta book - Quillon3$')" ] ||
  fail "the first window lost its book to the reader with settings of its own"

if [ "$failures" -ne 0 ]; then
  cat "$work/first.log" "$work/second.log" >&2
  exit 1
fi
echo "reader instance: ok"
