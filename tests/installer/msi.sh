#!/usr/bin/env bash
# The machine-wide MSI of one bitness in a fresh 64-bit Wine prefix: a silent install into
# Program Files with every key in HKLM in the package's own registry view and none under HKCU,
# a recording end to end with the installed zelt.dll, a major upgrade that leaves one product
# and keeps the administrator's zelt.ini, a repeated install that changes nothing, and an
# uninstall that leaves no file and no key.
# Usage: msi.sh x64|x86 <installer/msi.sh> <version> <zelt.dll> <lame_enc.dll> <zelt.chm>
#               <outlook_sim.exe> <scenario folder>
set -u
arch=$1 build_msi=$2 version=$3 dll=$4 lame=$5 chm=$6 sim=$7 scenarios=$8
work="$(pwd)/msi-test-$arch"
. "$(dirname "$0")/fresh-prefix.sh"
if [ "$arch" = x86 ]; then
  why=$("$(dirname "$0")/../../scripts/wine-loader" win32) || { echo "skipped: $why"; exit 77; }
  folder="Program Files (x86)" own=32 other=64
else
  folder="Program Files" own=64 other=32
fi
mkdir -p "$work/files"
cp "$dll" "$lame" "$chm" "$work/files/"

next=${version%.*}.$((${version##*.} + 1))
first="$work/Kestova-for-Outlook-$version-$arch.msi" second="$work/Kestova-for-Outlook-$next-$arch.msi"
"$build_msi" "$arch" "$version" "$work/files" "$first" && "$build_msi" "$arch" "$next" "$work/files" "$second" \
  || { echo "FAIL: building the MSI"; exit 1; }
echo "MSI: $(stat -c %s "$first") bytes"
msiexec() { wine msiexec "$1" "$(wine winepath -w "$2" 2>/dev/null | tr -d '\r')" /qn; }

# Each view's section starts with a line "view 32" or "view 64"; reg.exe prints in the
# console's code page, so texts are matched byte by byte.
keys() {
  local root view key
  for view in 64 32; do
    printf '@echo view %s\r\n' $view
    for root in HKCU HKLM; do
      for key in 'Software\Classes\CLSID\{EAAC1A3F-B4C7-4F88-8119-F1957B88F74B}' 'Software\Classes\zelt.zelAddin' \
                 'Software\Classes\TypeLib\{464C493C-3E29-4F6F-BEC7-F9461CA3CB17}' \
                 'Software\Classes\Interface\{99BA4891-2449-42D8-BE19-B127F92FF806}' \
                 'Software\Microsoft\Office\Outlook\Addins\zelt.zelAddin'; do
        printf '@reg query "%s\\%s" /s /reg:%s 2>nul\r\n' "$root" "$key" $view
      done
    done
  done >"$WINEPREFIX/drive_c/keys.cmd"
  wine cmd /c 'C:\keys.cmd' 2>/dev/null | tr -d '\r' | sed '/^$/d; /^reg: /d'
}
view() { sed -n "/^view $1\$/,/^view /{/^view /d;p}" <<<"$2"; }
# The Add/Remove Programs entries of the product, one line each: product code and version.
products() {
  local listing
  listing=$(for v in 64 32; do wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$v; done \
    2>/dev/null | tr -d '\r')
  awk '/^HKEY/ {key = $0} /DisplayName +REG_SZ +Kestova for Outlook$/ {name[key] = 1}
       /DisplayVersion/ {version[key] = $3} END {for (k in name) print k, version[k]}' <<<"$listing" | sort -u
}

wine wineboot -i </dev/null >/dev/null 2>&1
"${loader%/*}/wineserver" -p
install="$WINEPREFIX/drive_c/$folder/Kestova for Outlook"

start=$SECONDS
msiexec /i "$first" || fail "msiexec /i exited with $?"
echo "install: $((SECONDS - start)) s"
for f in zelt.dll lame_enc.dll zelt.chm; do [ -f "$install/$f" ] || fail "not in $folder: $f"; done
listing=$(keys)
echo "--- files after install"; (cd "$install" && ls -l | tail -n +2)
echo "--- registry after install"; echo "$listing"
mine=$(view $own "$listing")
for pattern in 'CLSID\\\{[^}]*\}\\InprocServer32$' '^ +\(Default\) +REG_SZ +C:\\PROG[^ ]*\\zelt\.dll$' \
               '^ +ThreadingModel +REG_SZ +Apartment$' 'zelt\.zelAddin\\Clsid$' "TypeLib.*\\\\409\\\\win$own\$" \
               'Interface\\\{[^}]*\}\\TypeLib$' '^ +LoadBehavior +REG_DWORD +0x3$'; do
  matches "$pattern" "$mine" || fail "no key in the $own-bit view matching: $pattern"
done
! matches '^HKEY_CURRENT_USER' "$listing" || fail "the MSI wrote under HKCU"
# ProgIDs and type libraries are one for both views; classes, interfaces and the add-in key are not.
! matches 'CLSID|Interface|Addins' "$(view $other "$listing")" || fail "keys in the $other-bit view"
[ "$(products | wc -l)" = 1 ] || fail "not one Add/Remove Programs entry: $(products)"

(cd "$scenarios" && wine "$sim" record.scn) || fail "no recording attached with the installed zelt.dll"

printf '[Audio]\r\nBitRate=96\r\n' >"$install/zelt.ini"  # the administrator's: the upgrade keeps it
msiexec /i "$second" || fail "the upgrade exited with $?"
msiexec /i "$second" || fail "installing the same version again exited with $?"
entries=$(products)
echo "--- Add/Remove Programs after the upgrade"; echo "$entries"
[ "$(wc -l <<<"$entries")" = 1 ] && matches " $next\$" "$entries" || fail "not one product of version $next"
[ -f "$install/zelt.ini" ] || fail "the upgrade removed the administrator's zelt.ini"
[ -f "$install/zelt.dll" ] || fail "the upgrade left no zelt.dll"

start=$SECONDS
msiexec /x "$second" || fail "msiexec /x exited with $?"
echo "uninstall: $((SECONDS - start)) s"
[ -e "$install" ] && fail "left in $folder: $(find "$install")"
listing=$(keys | grep -v '^view ')
echo "--- registry after uninstall"; echo "${listing:-(none)}"
[ -z "$listing" ] || fail "keys left after uninstall"
[ -z "$(products)" ] || fail "an Add/Remove Programs entry left"

[ $failures -eq 0 ] && echo "msi $arch: all checks passed"
exit $((failures > 0))
