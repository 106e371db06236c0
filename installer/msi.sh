#!/usr/bin/env bash
# Builds the machine-wide MSI of one bitness with Debian's wixl, the COM ids taken from the
# type library's source so that the package can never register other ones.
# Usage: msi.sh x64|x86 <version> <folder with zelt.dll, lame_enc.dll, zelt.chm> <out.msi>
# (wixl takes a file's source relative to the .wxs only.)
set -euo pipefail
arch=$1 version=$2 source=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
idl="$here/../addin/zelt.idl"
for tool in wixl msibuild; do
  command -v $tool >/dev/null || { echo "msi.sh: $tool missing (Debian packages wixl, msitools)" >&2; exit 1; }
done
# The n-th uuid(...) of the IDL: library, interface, coclass.
uuid() { sed -n 's/.*uuid(\([0-9A-Fa-f-]*\)).*/\1/p' "$idl" | sed -n "$1p" | tr a-f A-F; }
wixl -a "$arch" -o "$out" -D Arch="$arch" -D Version="$version" -D Source="$(realpath --relative-to="$here" "$source")" \
  -D LibId="$(uuid 1)" -D InterfaceId="$(uuid 2)" -D ClassId="$(uuid 3)" "$here/kestova.wxs"
# A user who may write to the program folder (an administrator, or any user under Wine) gets
# the recording and zelt.ini there; uninstalling removes them (InstallMode 2) with the rest.
# The older version goes only after the newer one is in (after InstallExecute), so the
# components both share stay, and with them the administrator's zelt.ini.
msibuild "$out" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)
  VALUES ('Settings', 'AddIn', 'zelt.ini', 'INSTALLDIR', 2)" \
  -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)
  VALUES ('Recording', 'AddIn', 'Kestova_for_Outlook.mp3', 'INSTALLDIR', 2)" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('InstallExecute', 6500)" \
  -q "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 6550 WHERE \`Action\` = 'RemoveExistingProducts'"
