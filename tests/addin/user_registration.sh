#!/usr/bin/env bash
# regsvr32 /n /i:user on a copy of zelt.dll in a folder named with non-ASCII letters and
# "a b" (whose short form "AB~1" is longer): every key goes under HKCU and none under HKLM,
# the simulated Outlook loads the add-in from there and a recording is attached end to end,
# and /u removes every key again.
# Usage: user_registration.sh <wine-run> <zelt.dll> <outlook_sim.exe> <scenario>
set -u
run=$1
dll=$2
sim=$3
scenario=$4
clsid='{EAAC1A3F-B4C7-4F88-8119-F1957B88F74B}'
libid='{464C493C-3E29-4F6F-BEC7-F9461CA3CB17}'
folder="$(dirname "$dll")/Jürgen Øster/a b"
copy="$folder/zelt.dll"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
query() { local out; out=$("$run" reg query "$1" /s 2>/dev/null) && tr -d '\r' <<<"$out"; }
user_keys() {
  query "HKCU\\Software\\Classes\\CLSID\\$clsid"; query 'HKCU\Software\Classes\zelt.zelAddin'
  query "HKCU\\Software\\Classes\\TypeLib\\$libid"; query 'HKCU\Software\Microsoft\Office\Outlook\Addins\zelt.zelAddin'
}
machine_keys() {
  query "HKLM\\Software\\Classes\\CLSID\\$clsid"; query 'HKLM\Software\Classes\zelt.zelAddin'
  query "HKLM\\Software\\Classes\\TypeLib\\$libid"; query 'HKLM\Software\Microsoft\Office\Outlook\Addins\zelt.zelAddin'
}
cleanup() { "$run" regsvr32 /u /s /n /i:user "$copy" >/dev/null 2>&1; rm -rf "$(dirname "$dll")/Jürgen Øster"; }
trap cleanup EXIT

mkdir -p "$folder"
cp "$dll" "$(dirname "$dll")/lame_enc.dll" "$folder/"
"$run" regsvr32 /s /n /i:user "$copy"
rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -eq 0 ] || fail "regsvr32 /n /i:user exited with $rc"

keys=$(user_keys)
for pattern in '^ +ThreadingModel +REG_SZ +Apartment$' '^ +FriendlyName +REG_SZ +Kestova for Outlook$' \
               '^ +Description +REG_SZ +.+' '^ +LoadBehavior +REG_DWORD +0x3$' "\\\\1\\.0\\\\409\\\\win(32|64)\$" \
               "^ +\\(Default\\) +REG_SZ +\\$clsid\$"; do
  grep -Eq "$pattern" <<<"$keys" || fail "no HKCU entry matching: $pattern"
done
[ -z "$(machine_keys)" ] || fail "per-user registration wrote under HKLM: $(machine_keys)"
server=$(query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" | sed -n 's/^ *(Default) *REG_SZ *//p')
short=$("$run" winepath -s "$("$run" winepath -w "$copy" | tr -d '\r')" 2>/dev/null | tr -d '\r')
[ -n "$server" ] && [ "${server,,}" = "${short,,}" ] || fail "InprocServer32 '$server' is not the short path '$short'"

if [ -n "${DISPLAY:-}" ]; then
  (cd "$(dirname "$scenario")" && "$run" "$sim" "$scenario") || fail "the scenario failed with the per-user registration"
else
  echo "no display: the recording end to end is left out (run it inside ./kestova harness)"
fi

"$run" regsvr32 /u /s /n /i:user "$copy" || fail "regsvr32 /u /n /i:user exited with $?"
[ -z "$(user_keys)" ] || fail "HKCU entries left after /u: $(user_keys)"
[ -z "$(machine_keys)" ] || fail "HKLM entries after /u: $(machine_keys)"

[ $failures -eq 0 ] && echo "user registration: all checks passed"
exit $((failures > 0))
