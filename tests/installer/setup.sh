#!/usr/bin/env bash
# The setup program in a fresh Wine prefix whose user name holds non-ASCII letters and a space:
# install, a recording end to end with the installed zelt.dll, a setup refused while zelt.dll
# is loaded, an upgrade that keeps zelt.ini and repairs a missing file, and an uninstall that
# leaves nothing.
# The test runs from the 64-bit build alone, so the setup is built with the 64-bit half only (X64_ONLY).
# Usage: setup.sh <kestova.nsi> <version> <zelt.dll> <lame_enc.dll> <zelt.chm> <outlook_sim.exe> <scenario folder>
set -u
nsi=$1 version=$2 dll=$3 lame=$4 chm=$5 sim=$6 scenarios=$7
here=$(pwd)
work="$here/setup-test"
command -v makensis >/dev/null || { echo "skipped: makensis missing (Debian package nsis)"; exit 77; }
. "$(dirname "$0")/fresh-prefix.sh"
export USER="Jürgen Øster" LOGNAME="Jürgen Øster"
mkdir -p "$work/dist/win64"
cp "$dll" "$lame" "$chm" "$work/dist/win64/"

setup_exe() {  # setup_exe VERSION: builds the setup of that version, prints its path
  local out="$work/Kestova-for-Outlook-$1-setup.exe"
  makensis -V1 -DVERSION="$1" -DDIST="$work/dist" -DOUTFILE="$out" -DX64_ONLY "$nsi" >&2 || return 1
  echo "$out"
}
keys() {  # every key the product may write, in both views, HKCU and HKLM: one reg.exe run each
  local root view key
  for root in HKCU HKLM; do
    for view in /reg:64 /reg:32; do
      for key in 'Software\Classes\CLSID\{EAAC1A3F-B4C7-4F88-8119-F1957B88F74B}' 'Software\Classes\zelt.zelAddin' \
                 'Software\Classes\TypeLib\{464C493C-3E29-4F6F-BEC7-F9461CA3CB17}' \
                 'Software\Microsoft\Office\Outlook\Addins\zelt.zelAddin' \
                 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestova for Outlook'; do
        printf '@reg query "%s\\%s" /s %s 2>nul\r\n' "$root" "$key" "$view"
      done
    done
  done >"$WINEPREFIX/drive_c/keys.cmd"
  wine cmd /c 'C:\keys.cmd' 2>/dev/null | tr -d '\r' | sed '/^$/d; /^reg: /d'
}
scenario() { (cd "$scenarios" && wine "$sim" "$1"); }

wine wineboot -i </dev/null >/dev/null 2>&1
"${loader%/*}/wineserver" -p  # one server for the whole test: each Wine start costs seconds less
profile=$(ls -d "$WINEPREFIX/drive_c/users/Jürgen Øster") || fail "no profile folder with the user's name"
install="$profile/AppData/Local/Programs/Kestova for Outlook"
next=${version%.*}.$((${version##*.} + 1))
first=$(setup_exe "$version") && second=$(setup_exe "$next") || { echo "FAIL: makensis"; exit 1; }
echo "setup program: $(stat -c %s "$first") bytes"

start=$SECONDS
wine "$first" /S || fail "setup /S exited with $?"
echo "install: $((SECONDS - start)) s"
for f in zelt.chm uninstall.exe x64/zelt.dll x64/lame_enc.dll; do [ -f "$install/$f" ] || fail "not installed: $f"; done
listing=$(keys)
echo "--- registry after install"; echo "$listing"
for pattern in 'HKEY_CURRENT_USER.*CLSID.*InprocServer32$' 'HKEY_CURRENT_USER.*zelt\.zelAddin\\Clsid$' \
               'HKEY_CURRENT_USER.*TypeLib.*win64$' '^ +LoadBehavior +REG_DWORD +0x3$' \
               "^ +DisplayVersion +REG_SZ +$version\$" '^ +QuietUninstallString +REG_SZ +.*uninstall\.exe" /S'; do
  matches "$pattern" "$listing" || fail "no key matching: $pattern"
done
! matches HKEY_LOCAL_MACHINE "$listing" || fail "setup wrote under HKLM"
scenario record.scn || fail "no recording attached with the installed zelt.dll"

printf '[Audio]\r\nBitRate=96\r\n' >"$install/x64/zelt.ini"
before=$(md5sum "$install/x64/zelt.dll")
rm -f "$install/x64/Kestova_for_Outlook.mp3"
scenario hold.scn & held=$!
for _ in $(seq 120); do [ -f "$install/x64/Kestova_for_Outlook.mp3" ] && break; sleep 0.5; done
wine "$second" /S && fail "setup over a loaded zelt.dll succeeded"
wait $held || fail "the running simulated Outlook failed during the refused setup"
[ "$(md5sum "$install/x64/zelt.dll")" = "$before" ] || fail "the refused setup changed zelt.dll"
matches "^ +DisplayVersion +REG_SZ +$version\$" "$(keys)" || fail "the refused setup changed the version"

rm "$install/x64/lame_enc.dll"  # damaged: the upgrade repairs it
wine "$second" /S || fail "upgrade exited with $?"
[ -f "$install/x64/lame_enc.dll" ] || fail "the upgrade left lame_enc.dll missing"
listing=$(keys)
[ "$(LC_ALL=C grep -c '^HKEY_CURRENT_USER.*Uninstall\\Kestova for Outlook$' <<<"$listing")" = 2 ] \
  || fail "not one Uninstall entry (seen once per view)"
matches "^ +DisplayVersion +REG_SZ +$next\$" "$listing" || fail "DisplayVersion is not $next"
[ "$(tr -d '\r' <"$install/x64/zelt.ini")" = "$(printf '[Audio]\nBitRate=96')" ] || fail "zelt.ini not kept"
strings -el "$second" | grep -qx "$next" || fail "the setup program carries no version $next"
for f in zelt.dll lame_enc.dll; do
  strings -el "$install/x64/$f" | grep -qx "$version" || fail "$f carries no FileVersion $version"
done

start=$SECONDS
wine "$install/uninstall.exe" /S || fail "uninstall /S exited with $?"
for _ in $(seq 120); do [ -e "$install" ] || break; sleep 0.5; done  # it runs on from a copy
echo "uninstall: $((SECONDS - start)) s"
left=$(find "$profile/AppData/Local/Programs" -mindepth 1 2>/dev/null)
[ -z "$left" ] || fail "files left: $left"
listing=$(keys)
echo "--- registry after uninstall"; echo "${listing:-(none)}"
[ -z "$listing" ] || fail "keys left after uninstall"

[ $failures -eq 0 ] && echo "setup: all checks passed"
exit $((failures > 0))
