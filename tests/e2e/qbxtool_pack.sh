#!/usr/bin/env bash
# qbxtool pack as a user runs it: pack a folder with Chinese names, a password
# and an author's sitemap, then look at the document with info, verify, record
# and contents; and the refusals, with their exit codes.
set -uo pipefail
qbxtool=${1:?usage: qbxtool_pack.sh PATH/TO/qbxtool}
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

book=$work/book
mkdir -p "$book/第一章" "$book/图片"
printf '<html><head><meta charset="utf-8"><title>封面</title></head><body>欢迎阅读</body></html>' \
  >"$book/index.htm"
printf '<title>第一节</title><p>正文</p>' >"$book/第一章/一.htm"
printf '\x89PNG\r\n\x1a\n\x00\x01\x02\xff' >"$book/图片/标志.png"
cat >"$work/toc.hhc" <<'HHC'
<UL>
  <LI> <OBJECT type="text/sitemap">
    <param name="Name" value="封面">
    <param name="Local" value="index.htm">
    </OBJECT>
  <LI> <OBJECT type="text/sitemap">
    <param name="Name" value="第一章">
    </OBJECT>
  <UL>
    <LI> <OBJECT type="text/sitemap">
      <param name="Name" value="第一节">
      <param name="Local" value="第一章/一.htm#top">
      </OBJECT>
  </UL>
</UL>
HHC
out=$work/book.qbx

run 0 pack "$qbxtool" pack "$book" -o "$out" --contents "$work/toc.hhc" --to-gbk \
  --subject "测试之书" --author "作者" --producer "Quillon3" --remarks "备注" --password "密码"
expect_in "$work/pack.out" "packed 3 files"
[ -s "$work/pack.err" ] && fail "pack warned: $(cat "$work/pack.err")"

run 0 info "$qbxtool" info "$out" --password "密码"
expect_in "$work/info.out" "Subject: 测试之书"
expect_in "$work/info.out" "BookAuthor: 作者"
expect_in "$work/info.out" "Remarks: 备注"
expect_in "$work/info.out" "DirectoryCount: 5"
expect_in "$work/info.out" "Protected: yes"

run 2 info_nopass "$qbxtool" info "$out"
expect_in "$work/info_nopass.err" "密码错误"

run 0 verify "$qbxtool" verify "$out" --password "密码"
expect_in "$work/verify.out" "all 5 records ok"

# The last record lists every file with its record number.
run 0 list "$qbxtool" record "$out" 5 --password "密码"
iconv -f GBK -t UTF-8 "$work/list.out" >"$work/list.txt" || fail "file list is not GBK"
record_of() { awk -F'\t' -v p="$1" '{ sub(/\r$/, "") } $2 == p { print $1 }' "$work/list.txt"; }
png=$(record_of '图片\标志.png')
page=$(record_of '第一章\一.htm')
index=$(record_of 'index.htm')
[ -n "$png" ] && [ -n "$page" ] && [ -n "$index" ] || fail "file list: $(cat "$work/list.txt")"

run 0 png "$qbxtool" record "$out" "$png" --password "密码"
cmp -s "$work/png.out" "$book/图片/标志.png" || fail "the picture's record differs from the file"

run 0 index "$qbxtool" record "$out" "$index" --password "密码"
printf '<html><head><meta charset="gbk"><title>封面</title></head><body>欢迎阅读</body></html>' |
  iconv -f UTF-8 -t GBK >"$work/index.expected"
cmp -s "$work/index.out" "$work/index.expected" || fail "index.htm was not stored as GBK"

run 0 contents_record "$qbxtool" record "$out" 1 --password "密码"
iconv -f GBK -t UTF-8 "$work/contents_record.out" >"$work/contents.txt" || fail "contents not GBK"
expect_in "$work/contents.txt" "id=\"$page\" value=\"第一节\""
expect_in "$work/contents.txt" 'value="第一章\一.htm#top"'
expect_in "$work/contents.txt" 'id="-1" value="第一章"'
expect_in "$work/contents.txt" "<res value=\"图片\\标志.png\" id=\"$png\">"

run 0 contents "$qbxtool" contents "$out" --password "密码"
expect_in "$work/contents.out" "封面	$index	index.htm"
expect_in "$work/contents.out" "  第一节	$page	第一章\\一.htm#top"

# Refusals: exit 2, a message, and no document left behind.
run 2 no_out "$qbxtool" pack "$book"
run 2 no_dir "$qbxtool" pack "$work/missing" -o "$work/missing.qbx"
expect_in "$work/no_dir.err" "is not a folder"
run 2 not_gbk "$qbxtool" pack "$book" -o "$work/emoji.qbx" --subject "笑脸 😀"
expect_in "$work/not_gbk.err" "subject cannot be written in GBK"
run 2 bad_sitemap "$qbxtool" pack "$book" -o "$work/nositemap.qbx" --contents "$work/none.hhc"
for f in missing.qbx emoji.qbx nositemap.qbx nositemap.qbx.part; do
  [ -e "$work/$f" ] && fail "$f was written"
done

# Without a sitemap the contents are made from the folder and the titles.
run 0 pack_generated "$qbxtool" pack "$book" -o "$work/generated.qbx"
run 0 contents_generated "$qbxtool" contents "$work/generated.qbx"
expect_in "$work/contents_generated.out" "封面	$index	index.htm"
expect_in "$work/contents_generated.out" "第一章	-"
expect_in "$work/contents_generated.out" "  第一节	$page	第一章\\一.htm"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "qbxtool pack end to end: all checks passed"
