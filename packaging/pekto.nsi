; The Windows installer: a per-machine installation into Program Files with a Start-menu entry,
; lesson files (.lck) opening in Pekto, and an uninstaller that removes the program and leaves
; the learner's data (C:\ProgramData\Pekto) alone. Built by the pekto_windows_packages target:
;   makensis -DVERSION=<version> -DSTAGE=<cmake --install folder> -DOUTFILE=<setup.exe> pekto.nsi
; A 64-bit installer for a 64-bit program (and Wine without its 32-bit part runs it).
Target amd64-unicode
!include "MUI2.nsh"

Name "Pekto"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pekto"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pekto"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Hungarian"

Section "Pekto"
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Pekto.lnk" "$INSTDIR\pekto.exe"

  WriteRegStr HKLM "Software\Classes\.lck" "" "Pekto.Lecke"
  WriteRegStr HKLM "Software\Classes\Pekto.Lecke" "" "Pekto lecke"
  WriteRegStr HKLM "Software\Classes\Pekto.Lecke\DefaultIcon" "" "$INSTDIR\pekto.exe,0"
  WriteRegStr HKLM "Software\Classes\Pekto.Lecke\shell\open\command" "" '"$INSTDIR\pekto.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pekto"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brenmar"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pekto.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  Delete "$SMPROGRAMS\Pekto.lnk"
  ; The program folder holds only what the installer put there; the learner's lessons, scores
  ; and settings are in the common application-data folder and stay.
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "Software\Classes\Pekto.Lecke"
  ReadRegStr $0 HKLM "Software\Classes\.lck" ""
  StrCmp $0 "Pekto.Lecke" 0 +2
    DeleteRegKey HKLM "Software\Classes\.lck"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
