#!/usr/bin/env bash
# qbxtool's command line as a user expects it: help and version on stdout with
# status 0, "--" ending the options, negative and out-of-range record numbers
# read as records that cannot be read, and no refusal of a book that a reader
# holds open.
set -uo pipefail
qbxtool=${1:?usage: qbxtool_cli.sh PATH/TO/qbxtool}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run EXPECTED_RC NAME CMD...: stdout to $work/NAME.out, stderr to $work/NAME.err
run() {
  local want=$1 name=$2
  shift 2
  "$@" >"$work/$name.out" 2>"$work/$name.err"
  local rc=$?
  [ "$rc" -eq "$want" ] || fail "$name: exit $rc, expected $want ($(head -c 300 "$work/$name.err"))"
}

expect_in() {  # FILE TEXT
  grep -qF -- "$2" "$1" || fail "$(basename "$1") lacks: $2"
}

run 0 help "$qbxtool" --help
expect_in "$work/help.out" "usage: qbxtool COMMAND"
expect_in "$work/help.out" "record FILE N"
run 0 record_help "$qbxtool" record --help
expect_in "$work/record_help.out" "usage: qbxtool record FILE N"
run 0 pack_help "$qbxtool" pack -h
expect_in "$work/pack_help.out" "usage: qbxtool pack DIR -o OUT.qbx"
run 0 version "$qbxtool" --version
expect_in "$work/version.out" "qbxtool "
run 2 bare "$qbxtool"
run 2 unknown "$qbxtool" frobnicate
run 2 bad_option "$qbxtool" info --bogus

# A book whose file name starts with a dash needs "--".
mkdir -p "$work/book"
printf '<title>One</title><p>one</p>' >"$work/book/one.htm"
run 0 pack "$qbxtool" pack "$work/book" -o "$work/-book.qbx"
(cd "$work" && "$qbxtool" info -book.qbx >/dev/null 2>&1)
[ $? -eq 2 ] || fail "info -book.qbx was not refused as an unknown option"
(cd "$work" && "$qbxtool" info -- -book.qbx >"$work/dashed.out" 2>"$work/dashed.err") ||
  fail "info -- -book.qbx: $(cat "$work/dashed.err")"
expect_in "$work/dashed.out" "DirectoryCount:"
book=$work/-book.qbx

# Record numbers: the contents record reads; anything that names no record
# prints nothing and exits 1, like a damaged record; a non-number is bad usage.
run 0 contents_record "$qbxtool" record "$book" 1
for n in -1 -2147483648 0x10 99999 2147483648 -99999999999; do
  case $n in 0x10) want=2 ;; *) want=1 ;; esac
  run "$want" "record_$n" "$qbxtool" record -- "$book" "$n"
  [ -s "$work/record_$n.out" ] && fail "record $n printed something"
done
run 1 negative_without_dashes "$qbxtool" record "$book" -1

# The reader window holds its document with an exclusive lock; the tool only
# reads, and is not refused.
flock -x "$book" "$qbxtool" info "$book" >"$work/locked.out" 2>"$work/locked.err" ||
  fail "info beside a reader: $(cat "$work/locked.err")"
expect_in "$work/locked.out" "DirectoryCount:"
flock -x "$book" "$qbxtool" verify "$book" >/dev/null 2>&1 || fail "verify beside a reader"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "qbxtool command line: all checks passed"
