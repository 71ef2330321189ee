#!/usr/bin/env bash
# An installation as a packager or `make install` makes it: the build is
# installed into a fresh prefix and the installed programs run from there.
# qbxtool packs a book and reads it back; the reader answers --version and
# --help without a display, then, started with no document on a virtual
# display, opens the help book of its own installation from the Help menu,
# leaving the desktop association to the installed files.
set -uo pipefail
cmake=${1:?usage: install_prefix.sh CMAKE BUILD_DIR WITH_READER(0|1)}
build=${2:?usage: install_prefix.sh CMAKE BUILD_DIR WITH_READER(0|1)}
with_reader=${3:-0}
if [ "$with_reader" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null 2>&1; }

prefix=$work/prefix
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi
share=$prefix/share
app=net.quillon3.Reader

files=(bin/qbxtool share/man/man1/qbxtool.1.gz share/doc/quillon3/copyright
       share/doc/quillon3/changelog.gz)
if [ "$with_reader" = 1 ]; then
  files+=(bin/quillon3 share/quillon3/Quillon3.qbx share/man/man1/quillon3.1.gz
          "share/applications/$app.desktop" share/mime/packages/quillon3.xml
          "share/metainfo/$app.metainfo.xml" "share/icons/hicolor/scalable/apps/$app.svg")
fi
for f in "${files[@]}"; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done
for page in "$share"/man/man1/*.1.gz; do
  gzip -t "$page" 2>/dev/null || fail "not a gzip file: $page"
  zcat "$page" | head -n 20 | grep -q '^\.TH ' || fail "not a manual page: $page"
done

# --- qbxtool: a book written by the installed tool and read back.
mkdir -p "$work/site"
printf '<html><head><title>第一页</title></head><body>你好</body></html>\n' >"$work/site/index.htm"
"$prefix/bin/qbxtool" pack "$work/site" -o "$work/book.qbx" --to-gbk --subject "安装测试" \
  >"$work/pack.log" 2>&1 || fail "qbxtool pack: $(cat "$work/pack.log")"
info=$("$prefix/bin/qbxtool" info "$work/book.qbx" 2>&1) || fail "qbxtool info: $info"
echo "$info" | grep -qx 'Subject: 安装测试' || fail "qbxtool info printed: $info"
"$prefix/bin/qbxtool" --help >/dev/null 2>&1 || fail "qbxtool --help failed"

if [ "$with_reader" != 1 ]; then
  [ "$failures" -eq 0 ] || exit 1
  echo "install: ok (without the reader)"
  exit 0
fi

# --- What the desktop reads: the entry, the metadata, the icons, the type.
if have desktop-file-validate; then
  out=$(desktop-file-validate "$share/applications/$app.desktop" 2>&1) || fail "desktop entry: $out"
fi
if have appstreamcli; then
  out=$(appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" 2>&1) ||
    fail "AppStream metadata: $out"
fi
for size in 16 22 24 32 48 64 128 256 512; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$app.png
  got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
  [ "$got" = "${size}x${size}" ] || fail "icon $icon is '$got'"
done
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_DATA_DIRS=$share:/usr/local/share:/usr/share
if have update-mime-database && have gio; then
  # The type is known by the name and, without one, by the document's first bytes.
  mkdir -p "$work/types"
  cp -r "$share/mime" "$work/types/mime"
  update-mime-database "$work/types/mime" >/dev/null 2>&1
  cp "$work/book.qbx" "$work/no-extension"
  cp "$work/site/index.htm" "$work/named.QBX"
  for f in no-extension named.QBX; do
    type=$(XDG_DATA_DIRS=$work/types:/usr/share gio info -a standard::content-type "$work/$f" |
      sed -n 's/^ *standard::content-type: //p')
    [ "$type" = application/x-qbx ] || fail "$f has the type '$type'"
  done
  rm -rf "$work/types"
fi

# --- The reader's options need no display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quillon3" --version 2>&1)
rc=$?
[ "$rc" -eq 0 ] || fail "quillon3 --version exit status $rc"
echo "$version" | grep -Eqx 'quillon3 \(Quillon3\) [0-9.]+, build [0-9]+' ||
  fail "quillon3 --version printed: $version"
help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quillon3" --help 2>&1)
rc=$?
[ "$rc" -eq 0 ] || fail "quillon3 --help exit status $rc"
echo "$help" | grep -q '^Usage: quillon3' || fail "quillon3 --help printed: $help"

# --- The installed reader opens the help book of its installation.
"$prefix/bin/quillon3" >"$work/reader.log" 2>&1 &
pid=$!
home_caption='首页 - Quillon3'
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^$home_caption\$" | head -n 1)
if [ -z "$wid" ]; then
  fail "the reader's window did not appear"
  cat "$work/reader.log" >&2
  exit 1
fi
sleep 2
# Focus follows the pointer without a window manager.
xdotool mousemove --window "$wid" 500 400
sleep 0.5
# Help is the last menu of the menu bar: F10 opens the first, Left wraps
# round to it, and its first entry is 打开帮助.
xdotool key F10
sleep 0.5
xdotool key Left
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Return
# The caption names the document's page instead of the home page.
opened=
for _ in $(seq 1 150); do
  caption=$(xdotool getwindowname "$wid" 2>/dev/null)
  if [ "$caption" != "$home_caption" ] && [ "${caption% - Quillon3}" != "$caption" ]; then
    opened=1
    break
  fi
  sleep 0.2
done
[ -n "$opened" ] || fail "the help book did not open; the caption is '$caption'"
xdotool key F10
sleep 0.5
xdotool key Up
sleep 0.3
xdotool key Return # 退出: the quit question comes up
sleep 1
xdotool key Return # OK
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the reader is still running after the quit question was answered"
else
  wait "$pid" || fail "the reader's exit status was $?"
fi
pid=

history=$XDG_DATA_HOME/quillon3/RURLs.dat
grep -qF "$share/quillon3/Quillon3.qbx" "$history" 2>/dev/null ||
  fail "the history does not name the installed help book: $(cat "$history" 2>&1)"
# The installed desktop entry and type stand for the reader; no copy of them
# is made in the user's data folder.
[ ! -e "$XDG_DATA_HOME/applications" ] || fail "a desktop entry was written: $(ls "$XDG_DATA_HOME/applications")"
[ ! -e "$XDG_DATA_HOME/mime" ] || fail "a type definition was written to the user's data folder"

if [ "$failures" -ne 0 ]; then
  cat "$work/reader.log" >&2
  exit 1
fi
echo "install: ok"
