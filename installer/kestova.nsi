; Kestova for Outlook setup: installs for the current user without elevation, both builds side
; by side, each registered per user by the regsvr32 of its own bitness (zelt.dll's DllInstall
; writes every COM key; this script never does).
; makensis -DVERSION=x.y.z -DDIST=<folder with win32/ and win64/> -DOUTFILE=<setup.exe>
; -DX64_ONLY builds a setup carrying only the 64-bit half (for machines that run no 32-bit code).
Unicode true
!ifdef X64_ONLY
  Target amd64-unicode
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define PRODUCT "Kestova for Outlook"
!define PUBLISHER "Kestova"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

Page instfiles
UninstPage instfiles

; $0: the regsvr32 for the half in $1 ("x86" or "x64"); the 64-bit one only with the file
; system redirection off, which a 32-bit setup has on.
!macro Regsvr32 ARGS HALF
  ${If} "${HALF}" == "x64"
    ${DisableX64FSRedirection}
    ExecWait '"$WINDIR\System32\regsvr32.exe" ${ARGS} "$INSTDIR\x64\zelt.dll"' $0
    ${EnableX64FSRedirection}
  ${ElseIf} ${RunningX64}
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" ${ARGS} "$INSTDIR\x86\zelt.dll"' $0
  ${Else}
    ExecWait '"$WINDIR\System32\regsvr32.exe" ${ARGS} "$INSTDIR\x86\zelt.dll"' $0
  ${EndIf}
!macroend

; A zelt.dll that Outlook holds loaded cannot be opened for writing: ask to close Outlook, or
; in silent mode fail, before any file of the old version is touched.
!macro WaitUntilFree FILE
  ${Do}
    ClearErrors
    ${IfNot} ${FileExists} "${FILE}"
      ${Break}
    ${EndIf}
    FileOpen $0 "${FILE}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    IfSilent 0 +3
      SetErrorLevel 5
      Quit
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Please close Outlook, then click Retry." IDRETRY +3
      SetErrorLevel 5
      Quit
  ${Loop}
!macroend

Section "Install"
  !insertmacro WaitUntilFree "$INSTDIR\x64\zelt.dll"
  !insertmacro WaitUntilFree "$INSTDIR\x86\zelt.dll"
  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${DIST}/win64/zelt.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"
!ifndef X64_ONLY
  SetOutPath "$INSTDIR\x86"
  File "${DIST}/win32/zelt.dll"
  File "${DIST}/win32/lame_enc.dll"
  !insertmacro Regsvr32 "/s /n /i:user" "x86"
  ${If} $0 != 0
    SetErrorLevel 6
  ${EndIf}
!endif
  ${If} ${RunningX64}
    SetOutPath "$INSTDIR\x64"
    File "${DIST}/win64/zelt.dll"
    File "${DIST}/win64/lame_enc.dll"
    !insertmacro Regsvr32 "/s /n /i:user" "x64"
    ${If} $0 != 0
      SetErrorLevel 6
    ${EndIf}
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ${If} ${FileExists} "$INSTDIR\x86\zelt.dll"
    !insertmacro Regsvr32 "/u /s /n /i:user" "x86"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\x64\zelt.dll"
    !insertmacro Regsvr32 "/u /s /n /i:user" "x64"
  ${EndIf}
  Delete "$INSTDIR\x86\zelt.dll"
  Delete "$INSTDIR\x86\lame_enc.dll"
  Delete "$INSTDIR\x64\zelt.dll"
  Delete "$INSTDIR\x64\lame_enc.dll"
  ; What the add-in itself leaves in its folder.
  Delete "$INSTDIR\x86\zelt.ini"
  Delete "$INSTDIR\x86\Kestova_for_Outlook.mp3"
  Delete "$INSTDIR\x64\zelt.ini"
  Delete "$INSTDIR\x64\Kestova_for_Outlook.mp3"
  Delete "$INSTDIR\zelt.chm"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR\x64"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
