#!/usr/bin/env bash
# regsvr32 on zelt.dll in the build's own Wine prefix: registering twice leaves the same
# entries, unregistering removes them all (the Outlook add-in key included), and a library
# path with a space is registered in its short form. Leaves the prefix unregistered.
# Usage: registration.sh <wine-run> <zelt.dll>
set -u
run=$1
dll=$2
clsid='{EAAC1A3F-B4C7-4F88-8119-F1957B88F74B}'
addin_key='HKLM\Software\Microsoft\Office\Outlook\Addins\zelt.zelAddin'
spaced_dir="$(dirname "$dll")/dir with space"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cleanup() {
  "$run" regsvr32 /u /s "$dll" >/dev/null 2>&1
  [ -f "$spaced_dir/zelt.dll" ] && "$run" regsvr32 /u /s "$spaced_dir/zelt.dll" >/dev/null 2>&1
  rm -rf "$spaced_dir"
}
trap cleanup EXIT

query() {  # prints the key's tree, nothing when it is missing
  local out
  out=$("$run" reg query "$1" /s 2>/dev/null) && tr -d '\r' <<<"$out"
}
entries() { query "HKCR\\CLSID\\$clsid"; query 'HKCR\zelt.zelAddin'; query "$addin_key"; }
register() {
  "$run" regsvr32 /s "$@"
  local rc=$?
  [ $rc -eq 77 ] && exit 77  # this machine cannot run the prefix's Wine
  [ $rc -eq 0 ] || fail "regsvr32 $* exited with $rc"
}
expect_line() {  # expect_line <text> <regex>
  grep -Eq "$2" <<<"$1" || fail "no entry matching: $2"
}

register "$dll"
first=$(entries)
windows_path=$("$run" winepath -w "$dll" | tr -d '\r')
expect_line "$first" "InprocServer32\$"
expect_line "$first" "^ +\(Default\) +REG_SZ +$(sed 's/[\\.]/\\&/g' <<<"$windows_path")\$"
expect_line "$first" '^ +ThreadingModel +REG_SZ +Apartment$'
expect_line "$first" '^ +\(Default\) +REG_SZ +zelt\.zelAddin$'
expect_line "$first" '^ +\(Default\) +REG_SZ +1\.0$'
expect_line "$first" '^ +\(Default\) +REG_SZ +\{464C493C-3E29-4F6F-BEC7-F9461CA3CB17\}$'
expect_line "$first" "^ +\(Default\) +REG_SZ +\\$clsid\$"
expect_line "$first" '^ +FriendlyName +REG_SZ +Kestova for Outlook$'
expect_line "$first" '^ +LoadBehavior +REG_DWORD +0x3$'
[ -n "$(query 'HKCR\TypeLib\{464C493C-3E29-4F6F-BEC7-F9461CA3CB17}')" ] || fail "type library not registered"

register "$dll"
[ "$(entries)" = "$first" ] || fail "a second registration changed the entries"

"$run" regsvr32 /u /s "$dll" || fail "regsvr32 /u exited with $?"
[ -z "$(entries)" ] || fail "entries left after unregistering: $(entries)"
[ -z "$(query 'HKCR\TypeLib\{464C493C-3E29-4F6F-BEC7-F9461CA3CB17}')" ] || fail "type library left registered"

mkdir -p "$spaced_dir"
cp "$dll" "$spaced_dir/zelt.dll"
register "$spaced_dir/zelt.dll"
server=$(query "HKCR\\CLSID\\$clsid\\InprocServer32" | sed -n 's/^ *(Default) *REG_SZ *//p')
short=$("$run" winepath -s "$("$run" winepath -w "$spaced_dir/zelt.dll" | tr -d '\r')" 2>/dev/null | tr -d '\r')
case $server in
  *' '*|'') fail "InprocServer32 is not a short path: '$server'" ;;
esac
[ "${server,,}" = "${short,,}" ] || fail "InprocServer32 '$server' is not the short path '$short'"

[ $failures -eq 0 ] && echo "registration: all checks passed"
exit $((failures > 0))
