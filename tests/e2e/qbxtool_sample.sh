#!/usr/bin/env bash
# qbxtool against the book packed by an independent producer: the fields,
# records, served bytes and search results its description lists, and the exit
# codes a user sees for a wrong password, a damaged copy and a missing file.
set -uo pipefail
qbxtool=${1:?usage: qbxtool_sample.sh PATH/TO/qbxtool SAMPLES_DIR}
samples=${2:?usage: qbxtool_sample.sh PATH/TO/qbxtool SAMPLES_DIR}
desc=$samples/debian-reference.md
if [ ! -f "$samples/debian-reference.qbx" ] || [ ! -f "$desc" ]; then
  echo "no sample book beside the checkout; nothing to check"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private copy: other tests hold the shared file open, and a document is
# opened by one reader at a time.
book=$work/debian-reference.qbx
cp "$samples/debian-reference.qbx" "$book"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pw=示例密码

# run EXPECTED_RC NAME CMD...: stdout to $work/NAME.out, stderr to $work/NAME.err
run() {
  local want=$1 name=$2
  shift 2
  "$@" >"$work/$name.out" 2>"$work/$name.err"
  local rc=$?
  [ "$rc" -eq "$want" ] || fail "$name: exit $rc, expected $want ($(head -c 300 "$work/$name.err"))"
}

# Fields, as the description states them.
run 0 info "$qbxtool" info "$book" --password "$pw"
for field in "Subject: Debian 参考手册" "BookAuthor: Osamu Aoki" "Producer: 独立样本生成器" \
             "FormatVersion: 20090626" "DirectoryCount: 16" "DocumentCheck: CCDC4178" \
             "CreatedAt: 2009-09-15 09:30:00" "Protected: yes"; do
  grep -qxF -- "$field" "$work/info.out" || fail "info lacks: $field"
done

# Every record reads, and record 1 is the contents.
run 0 verify "$qbxtool" verify "$book" --password "$pw"
run 0 records "$qbxtool" records "$book" --password "$pw"
[ "$(grep -c $'\tok$' "$work/records.out")" -eq 16 ] || fail "records: not 16 ok lines"
run 0 record1 "$qbxtool" record "$book" 1 --password "$pw"
grep -qi '<param name="local"' "$work/record1.out" || fail "record 1 is not the contents sitemap"

# The contents tree, as listed in the description.
sed -n '/^## Contents tree/,/^## /p' "$desc" | sed -n '/^```$/,/^```$/p' | sed '1d;$d' \
  >"$work/tree.expected"
run 0 contents "$qbxtool" contents "$book" --password "$pw"
diff -u "$work/tree.expected" "$work/contents.out" >"$work/tree.diff" || fail "contents differ: $(head -20 "$work/tree.diff")"

# Served bodies: size and SHA-256 of each address in the table.
grep '^| `qbx://' "$desc" | while IFS='|' read -r _ address bytes sha _; do
  address=$(echo "$address" | tr -d ' `')
  bytes=$(echo "$bytes" | tr -d ' ')
  sha=$(echo "$sha" | tr -d ' `')
  "$qbxtool" cat "$book" "$address" --password "$pw" >"$work/body" 2>/dev/null
  [ "$(stat -c %s "$work/body")" = "$bytes" ] || echo "FAIL: $address: size $(stat -c %s "$work/body"), expected $bytes" >&2
  [ "$(sha256sum <"$work/body" | cut -d' ' -f1)" = "$sha" ] || echo "FAIL: $address: bytes differ" >&2
done 2>"$work/cat.err"
[ -s "$work/cat.err" ] && fail "served bodies: $(cat "$work/cat.err")"
run 1 placeholder "$qbxtool" cat "$book" qbx://reader/nothing.htm --password "$pw"
# A link to a section that is no contents item prints the page it is in.
run 0 section "$qbxtool" cat "$book" 'qbx://reader/ch01.htm#_command_alias' --password "$pw"
cmp -s "$work/section.out" <("$qbxtool" cat "$book" qbx://reader/ch01.htm --password "$pw") ||
  fail "a section link does not print its page"

# Search results, in the reader's order.
grep '^- `' "$desc" | while read -r line; do
  word=$(echo "$line" | sed 's/^- `\(.*\)`: .*/\1/')
  want=$(echo "$line" | sed 's/^- `.*`: //')
  got=$("$qbxtool" search "$book" "$word" --password "$pw" | sed '$d' | cut -f2 | paste -sd, | sed 's/,/, /g')
  [ "$got" = "$want" ] || echo "FAIL: search $word: $got" >&2
done 2>"$work/search.err"
[ -s "$work/search.err" ] && fail "search: $(cat "$work/search.err")"

# What goes wrong, and how it is reported.
run 2 wrong_password "$qbxtool" info "$book" --password wrong
grep -qF "密码错误, 请输入正确的密码" "$work/wrong_password.err" || fail "wrong password message"
run 2 no_password "$qbxtool" info "$book"
run 2 missing "$qbxtool" info "$work/missing.qbx"
grep -qF "文件不存在" "$work/missing.err" || fail "missing file message"
cp "$book" "$work/damaged.qbx"
printf '\xff\xff\xff\xff' | dd of="$work/damaged.qbx" bs=1 seek=3500 conv=notrunc status=none
run 1 damaged_verify "$qbxtool" verify "$work/damaged.qbx" --password "$pw"
grep -q '^2'$'\t' "$work/damaged_verify.out" || fail "verify does not name record 2"
run 1 damaged_record "$qbxtool" record "$work/damaged.qbx" 2 --password "$pw"

# Extract writes the pages under their names.
run 0 extract "$qbxtool" extract "$book" "$work/out" --password "$pw"
[ -f "$work/out/前言.htm" ] || fail "extract did not write 前言.htm"
cmp -s "$work/out/ch03.htm" <("$qbxtool" record "$book" 6 --password "$pw") || fail "extracted ch03.htm differs"

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "all checks passed"
