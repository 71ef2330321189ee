#!/usr/bin/env bash
# `make run` as a new user meets it: no display and no settings yet. The
# script must exit 0 and leave a screenshot whose page area shows the help
# book's first page: dark text on a light ground, neither blank nor black.
set -uo pipefail
run_reader=${1:?usage: run_reader.sh PATH/TO/run-reader BUILD_DIR}
build=${2:?usage: run_reader.sh PATH/TO/run-reader BUILD_DIR}

work=$(mktemp -d)
# WebKit's helper processes may still be writing their caches for a moment.
trap 'rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; }' EXIT
shot=$work/shot.png

env -u DISPLAY -u WAYLAND_DISPLAY \
  XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
  QUILLON3_SCREENSHOT="$shot" \
  timeout 150 bash "$run_reader" "$build" >"$work/out.log" 2>&1
rc=$?
cat "$work/out.log"
if [ "$rc" -ne 0 ]; then
  echo "FAIL: run-reader exited with $rc" >&2
  exit 1
fi
grep -qF "$shot" "$work/out.log" || { echo "FAIL: run-reader did not say where the screenshot is" >&2; exit 1; }
[ -s "$shot" ] || { echo "FAIL: no screenshot at $shot" >&2; exit 1; }

# The page area at the reader's design size (1016x600): right of the 241
# pixel side bar and the splitter, below the tool rows and the tab strip.
read -r width height < <(identify -format '%w %h\n' "$shot")
if [ "$width" -lt 1000 ] || [ "$height" -lt 590 ]; then
  echo "FAIL: the screenshot is ${width}x${height}, not the reader's window" >&2
  exit 1
fi
convert "$shot" -crop 680x420+300+120 +repage -colorspace Gray "$work/page.png"
# Fractions of the area that are near white and clearly dark, and its shades.
read -r light dark shades < <(convert "$work/page.png" \
  \( +clone -threshold 85% -format '%[fx:mean] ' -write info: +delete \) \
  \( +clone -threshold 45% -negate -format '%[fx:mean] ' -write info: +delete \) \
  -format '%k\n' info:)
echo "page area: light $light, dark $dark, $shades shades"
failures=0
awk -v v="$light" 'BEGIN { exit !(v > 0.6) }' || { echo "FAIL: the page area is not light (black or unpainted)" >&2; failures=1; }
awk -v v="$dark" 'BEGIN { exit !(v > 0.01 && v < 0.4) }' || { echo "FAIL: the page area shows no text" >&2; failures=1; }
[ "$shades" -ge 32 ] || { echo "FAIL: the page area has only $shades shades" >&2; failures=1; }
[ "$failures" -eq 0 ] || exit 1
echo "run-reader: ok"
