#!/usr/bin/env bash
# The reader as a user meets it: started on a document, its window appears
# at its design size; F12 hides the side bar and shows it again; then it is
# closed from the File menu with the keyboard and the quit question is
# answered with Enter. The address history it stores on the way out holds
# the document. Runs itself on a virtual display when there is none.
set -uo pipefail
reader=${1:?usage: reader_window.sh PATH/TO/quillon3 PATH/TO/book.qbx}
book=${2:?usage: reader_window.sh PATH/TO/quillon3 PATH/TO/book.qbx}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$reader" "$book" >"$work/reader.log" 2>&1 &
pid=$!

# The caption names the page and the document once the first page shows.
wid=$(timeout 60 xdotool search --sync --onlyvisible --name ' - Quillon3$' | head -n 1)
if [ -z "$wid" ]; then
  fail "the window did not appear"
  cat "$work/reader.log" >&2
  exit 1
fi
geometry=$(xdotool getwindowgeometry "$wid")
echo "$geometry" | grep -q 'Geometry: 1016x600' || fail "window size: $geometry"

# A screenshot of a window that has drawn something other than one colour.
sleep 3
import -window root "$work/shot.png"
colours=$(convert "$work/shot.png" -format %k info:)
[ "${colours:-0}" -gt 50 ] || fail "the screen shows only $colours colours"

# Focus follows the pointer without a window manager; the status bar has
# no tooltip to cover the screenshots.
xdotool mousemove --window "$wid" 500 592
sleep 0.5
import -window root "$work/before.png"
xdotool key F12
sleep 1
import -window root "$work/hidden.png"
xdotool key F12
sleep 1
import -window root "$work/shown.png"
# Pixels that differ in the side bar's place (the window is centred on the
# screen); the rest of the window has incidental changes (focus, scroll bar).
eval "$(xdotool getwindowgeometry --shell "$wid")"
side="230x460+$((X + 40))+$((Y + 100))"
changed() {
  convert "$1" -crop "$side" +repage "$work/a.png"
  convert "$2" -crop "$side" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
hidden=$(changed "$work/before.png" "$work/hidden.png")
shown=$(changed "$work/before.png" "$work/shown.png")
[ "${hidden%.*}" -gt 20000 ] || fail "F12 changed only $hidden pixels"
[ "${shown%.*}" -lt 2000 ] || fail "after F12 twice $shown pixels differ"
xdotool key F10
sleep 0.5
xdotool key Up
sleep 0.3
xdotool key Return   # 退出: the quit question comes up
sleep 1
xdotool key Return   # OK

for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the reader is still running after the quit question was answered"
else
  wait "$pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "exit status $rc"
fi
pid=

history=$XDG_DATA_HOME/quillon3/RURLs.dat
if [ -f "$history" ]; then
  grep -qF "$(basename "$book")" "$history" || fail "the history lacks the document: $(cat "$history")"
else
  fail "no address history was stored on quitting"
fi
[ -f "$XDG_DATA_HOME/quillon3/SearchKey.dat" ] || fail "the search words were not stored"

if [ "$failures" -ne 0 ]; then
  cat "$work/reader.log" >&2
  exit 1
fi
echo "reader window: ok"
